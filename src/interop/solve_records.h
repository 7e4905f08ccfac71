#pragma once
// A solve's record in another timer's file read again where the first
// reading found it: its scramble, comment and phases, which the first
// reading passes over to keep memory small.

#include "data/records.h"

#include <QByteArrayView>

namespace spinlog {

// csTimer's [[penalty, ms, phases...], scramble, comment, ...] at `at`.
SolveDetails csTimerRecord(QByteArrayView text, qsizetype at);
// A Twisty Timer record starting at the line that begins at `at`.
SolveDetails twistyRecord(QByteArrayView text, qsizetype at);

}  // namespace spinlog
