#include "app/language.h"

#include "base/settings.h"

#include <QCoreApplication>
#include <QTranslator>

namespace spinlog {

QTranslator *useChosenLanguage(const QString &folder)
{
    const Settings settings(folder + QStringLiteral("/Spinlog.ini"));
    if (settings.read(Setting::Language) != QLatin1String("en"))
        return nullptr;
    auto *english = new QTranslator(QCoreApplication::instance());
    if (!english->load(QStringLiteral(":/i18n/spinlog_en.qm")) ||
        !QCoreApplication::installTranslator(english)) {
        delete english;
        return nullptr;
    }
    return english;
}

}  // namespace spinlog
