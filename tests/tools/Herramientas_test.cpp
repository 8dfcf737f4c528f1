#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include "support/ToolProcess.h"

// Asked for help, a tool prints its usage alone and ends well, also on a machine without a
// runtime folder, where Qt would otherwise put a notice of its own before it.
TEST(Herramientas, help_prints_the_usage_alone_and_ends_well)
{
    const struct
    {
        const char* exe;
        const char* uso;
    } casos[] = {
        { RP_DEMO_DB_EXE, "Uso: rp_demo_db " },
        { RP_VOUCHER_EXE, "Uso: rp_voucher " },
        { RP_RENDER_EXE, "Uso: rp_render " },
        { RP_SEND_EXE, "Uso: rp_send " },
        { RP_BENCH_EXE, "Uso: rp_bench " },
        { RP_LOOKUP_BENCH_EXE, "Uso: rp_lookup_bench " },
        { RP_FETCH_BENCH_EXE, "Uso: rp_fetch_bench " },
        { RP_ARRANQUE_BENCH_EXE, "Uso: rp_arranque_bench " },
    };
    QProcessEnvironment environment = testsupport::toolEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    for (const auto& c : casos) {
        SCOPED_TRACE(c.exe);
        QProcess tool;
        tool.setProcessEnvironment(environment);

        tool.start(QString::fromLocal8Bit(c.exe), { QStringLiteral("--help") });

        ASSERT_TRUE(tool.waitForFinished(60000));
        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tool.exitCode(), 0);
        EXPECT_TRUE(tool.readAllStandardOutput().startsWith(c.uso));
        EXPECT_EQ(tool.readAllStandardError(), QByteArray());
    }
}
