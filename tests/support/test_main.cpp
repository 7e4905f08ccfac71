#include "support/test_main.h"

// Core tests cannot even reach a display; window tests link Qt Widgets, for
// which Qt defines QT_WIDGETS_LIB.
#ifdef QT_WIDGETS_LIB
#include <QApplication>
#include <QFont>
using Application = QApplication;
#else
#include <QCoreApplication>
using Application = QCoreApplication;
#endif
#include <QRegularExpression>
#include <QTest>

// "Class::function" arguments run just those functions of those classes; the
// other arguments go to every class.
int main(int argc, char **argv)
{
    Application app(argc, argv);
#ifdef QT_WIDGETS_LIB
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
#endif
    QStringList common = app.arguments();
    const QStringList picked = common.filter(QRegularExpression("^\\w+::"));
    common.removeIf([&](const QString &arg) { return picked.contains(arg); });
    int failed = 0;
    for (const auto &factory : spinlog::test::registry()) {
        auto test = factory();
        const QString name = QString(test->metaObject()->className()).section("::", -1) + "::";
        const QStringList mine = picked.filter(name).replaceInStrings(name, QString());
        if (picked.isEmpty() || !mine.isEmpty())
            failed += QTest::qExec(test.get(), common + mine) != 0 ? 1 : 0;
    }
    return failed == 0 ? 0 : 1;
}
