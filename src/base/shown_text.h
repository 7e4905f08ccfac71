#pragma once
// Every text the program shows passes through Qt's translation, under one
// context: the Japanese as written is the source text, so with no translation
// installed (the default) each text is exactly as written. What goes into
// files (the CSV, the log's entries, stored texts) never passes through here.

#include <QCoreApplication>

namespace spinlog {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(Text)
};

}  // namespace spinlog
