#pragma once
// Several test classes in one test program: each registers itself with
// SPINLOG_TEST(Class) and test_main.cpp runs them all.

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace spinlog::test {

using Factory = std::function<std::unique_ptr<QObject>()>;
// Filled while the program starts, before main().
inline std::vector<Factory> &registry()
{
    static std::vector<Factory> tests;
    return tests;
}
struct Registered {
    explicit Registered(Factory factory) { registry().push_back(std::move(factory)); }
};

}  // namespace spinlog::test

#define SPINLOG_TEST(Class)                                 \
    static const spinlog::test::Registered spinlog_##Class( \
        [] { return std::unique_ptr<QObject>(new Class); });
