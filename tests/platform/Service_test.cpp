#include "platform/RuntimeError.h"
#include "platform/Service.h"

#include <gtest/gtest.h>

namespace {

struct Counter
{
    int value = 0;
};

} // namespace

TEST(Service, scoped_guard_restores_the_previous_instance)
{
    Counter outer { 1 };
    Counter inner { 2 };
    ScopedService<Counter> installOuter(outer);

    {
        ScopedService<Counter> installInner(inner);
        EXPECT_EQ(Service<Counter>::get().value, 2);
    }

    EXPECT_EQ(Service<Counter>::get().value, 1);
}

TEST(RuntimeError, carries_number_description_and_source)
{
    const RuntimeError error(
        13, QStringLiteral("No coinciden los tipos"), QStringLiteral("Modulo"));

    EXPECT_EQ(error.number(), RuntimeError::TypeMismatch);
    EXPECT_EQ(error.description(), QStringLiteral("No coinciden los tipos"));
    EXPECT_EQ(error.source(), QStringLiteral("Modulo"));
    EXPECT_STREQ(error.what(), "13: No coinciden los tipos");
}
