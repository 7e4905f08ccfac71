#include "support/test_main.h"

#include <QApplication>
#include <QFont>
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
    QApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    int failed = 0;
    for (const auto &factory : spinlog::test::registry()) {
        auto test = factory();
        failed += QTest::qExec(test.get(), argc, argv) != 0 ? 1 : 0;
    }
    return failed == 0 ? 0 : 1;
}
