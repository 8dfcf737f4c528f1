#include "platform/Steps.h"

#include <QStringList>

#include <gtest/gtest.h>

#include "platform/MessageDialog.h"

namespace {

// A three-step procedure whose second step fails `failures` times before it succeeds.
struct Procedure
{
    int failures = 0;
    QStringList done;

    bool run(Steps& steps)
    {
        return steps.run([&] { done << QStringLiteral("uno"); }) && steps.run([&] {
            if (failures > 0) {
                --failures;
                throw RuntimeError(53, QStringLiteral("No se ha encontrado el archivo"));
            }
            done << QStringLiteral("dos");
        }) && steps.run([&] { done << QStringLiteral("tres"); });
    }
};

} // namespace

TEST(Steps, retry_runs_the_failed_step_again_until_it_succeeds)
{
    Procedure procedure { 2, {} };
    int asked = 0;
    Steps steps([&](const RuntimeError& error) {
        ++asked;
        EXPECT_EQ(error.number(), 53);
        return int(Msg::Retry);
    });

    const bool completed = procedure.run(steps);

    EXPECT_TRUE(completed);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(procedure.done, (QStringList { "uno", "dos", "tres" }));
}

TEST(Steps, ignore_goes_on_with_the_next_step)
{
    Procedure procedure { 1, {} };
    Steps steps([](const RuntimeError&) { return int(Msg::Ignore); });

    const bool completed = procedure.run(steps);

    EXPECT_TRUE(completed);
    EXPECT_EQ(procedure.done, (QStringList { "uno", "tres" }));
    ASSERT_TRUE(steps.lastError().has_value());
    EXPECT_EQ(steps.lastError()->number(), 53);
}

TEST(Steps, any_other_answer_leaves_the_procedure)
{
    for (const int answer : { int(Msg::Abort), int(Msg::Cancel), int(Msg::Ok), int(Msg::No), 0 }) {
        Procedure procedure { 1, {} };
        Steps steps([answer](const RuntimeError&) { return answer; });

        const bool completed = procedure.run(steps);

        EXPECT_FALSE(completed) << answer;
        EXPECT_EQ(procedure.done, QStringList { "uno" }) << answer;
        EXPECT_EQ(steps.lastAnswer(), answer);
    }
}

TEST(Steps, silent_style_skips_every_failing_step)
{
    QStringList done;
    Steps steps = Steps::silent();

    const bool completed = steps.runAll({
        [&] { throw RuntimeError(13, QStringLiteral("No coinciden los tipos")); },
        [&] { done << QStringLiteral("dos"); },
        [&] { throw RuntimeError(9, QStringLiteral("Subíndice fuera del intervalo")); },
        [&] { done << QStringLiteral("cuatro"); },
    });

    EXPECT_TRUE(completed);
    EXPECT_EQ(done, (QStringList { "dos", "cuatro" }));
}

TEST(Steps, other_exceptions_are_not_trapped)
{
    Steps steps = Steps::silent();

    EXPECT_THROW(steps.run([] { throw std::logic_error("programmer error"); }), std::logic_error);
}
