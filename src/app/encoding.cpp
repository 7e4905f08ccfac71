#include "app/encoding.h"
// Placeholder: filled in by the foundation work.
#include <QStringEncoder>
#include <QStringDecoder>
namespace spinlog {
QByteArray toCp932(const QString &text) { QStringEncoder e("Shift_JIS"); return e(text); }
QString fromCp932(const QByteArray &bytes) { QStringDecoder d("Shift_JIS"); return d(bytes); }
}
