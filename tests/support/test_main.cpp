#include "support/test_main.h"

// Core tests run with a QCoreApplication, so a display is not even possible;
// window tests link Qt Widgets, for which Qt defines QT_WIDGETS_LIB.
#ifdef QT_WIDGETS_LIB
#include <QApplication>
#include <QFont>
#else
#include <QCoreApplication>
#endif
#include <QMultiHash>
#include <QStringList>
#include <QTest>

namespace spinlog::test {

static std::vector<Factory> &registry()
{
    static std::vector<Factory> tests;
    return tests;
}

int registerTest(Factory factory)
{
    registry().push_back(std::move(factory));
    return int(registry().size());
}

}  // namespace spinlog::test

int main(int argc, char **argv)
{
#ifdef QT_WIDGETS_LIB
    QApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
#else
    QCoreApplication app(argc, argv);
#endif
    // "Class::function" arguments pick test classes; the rest go to every class.
    QStringList common;
    QMultiHash<QString, QString> picked;
    for (int i = 0; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const qsizetype sep = arg.indexOf(QLatin1String("::"));
        if (i > 0 && sep > 0 && !arg.startsWith(QLatin1Char('-')))
            picked.insert(arg.left(sep), arg.mid(sep + 2));
        else
            common << arg;
    }
    int failed = 0;
    for (const auto &factory : spinlog::test::registry()) {
        auto test = factory();
        const QString name =
            QString::fromLatin1(test->metaObject()->className()).section(QLatin1String("::"), -1);
        QStringList args = common;
        if (!picked.isEmpty()) {
            if (!picked.contains(name))
                continue;
            args << picked.values(name);
        }
        failed += QTest::qExec(test.get(), args) != 0 ? 1 : 0;
    }
    return failed == 0 ? 0 : 1;
}
