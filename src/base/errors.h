#pragma once
// A failure inside a procedure. Its handler shows the description under the
// procedure's own title and logs it (see error_report.h).

#include <QString>
#include <stdexcept>
#include "base/shown_text.h"

namespace spinlog {

class SpinlogError : public std::runtime_error {
public:
    explicit SpinlogError(const QString &description)
        : std::runtime_error(description.toStdString()), description_(description)
    {
    }
    const QString &description() const { return description_; }

private:
    QString description_;
};

// Descriptions of the failures our own code detects, worded as users of the
// Japanese desktop know them.
namespace describe {
inline QString typeMismatch()
{
    return Text::tr("型が一致しません。");
}
inline QString overflow()
{
    return Text::tr("オーバーフローしました。");
}
inline QString invalidArgument()
{
    return Text::tr("プロシージャの呼び出し、または引数が不正です。");
}
inline QString invalidNull()
{
    return Text::tr("Null の使い方が不正です。");
}
}  // namespace describe

}  // namespace spinlog
