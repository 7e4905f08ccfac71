#pragma once
// Several test classes in one test program: each registers itself with
// SPINLOG_TEST(Class) and test_main.cpp runs them all.

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace spinlog::test {

using Factory = std::function<std::unique_ptr<QObject>()>;
int registerTest(Factory factory);

}  // namespace spinlog::test

#define SPINLOG_TEST(Class)                                                                  \
    static const int spinlog_registered_##Class = spinlog::test::registerTest(              \
        [] { return std::unique_ptr<QObject>(new Class); });
