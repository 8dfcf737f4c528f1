#include "services/ManejoErrores.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"

namespace {

class ManejoErroresTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::environment().setVariable(QStringLiteral("TEMP"), m_dir.path());
    }

    QByteArray log() const
    {
        QFile file(m_dir.filePath(QStringLiteral("KZQERR.LOG")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    bool logExists() const { return QFile::exists(m_dir.filePath(QStringLiteral("KZQERR.LOG"))); }

    QTemporaryDir m_dir;
    const RuntimeError m_error { 53, QStringLiteral(" No se ha encontrado el archivo "),
        QStringLiteral("Rp_Tarifolio") };
};

} // namespace

TEST_F(ManejoErroresTest, shows_the_error_and_logs_the_answer_byte_for_byte)
{
    testsupport::messages().answer(Msg::Retry);

    const int answer = ManejoErrores(m_error, QStringLiteral("Cfg"));

    EXPECT_EQ(answer, Msg::Retry);
    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    const testsupport::ShownBox& box = testsupport::messages().shown()[0];
    EXPECT_EQ(box.text,
        QStringLiteral("Ha ocurrido el Siguiente Error (53) No se ha encontrado el archivo"));
    EXPECT_EQ(box.title, QStringLiteral("Rp_Tarifolio - Cfg Aviso al operador!!! - 2 "));
    EXPECT_EQ(box.style, 18);
    // Month first, one byte for "ó", CR LF.
    EXPECT_EQ(log(),
        QByteArray("03-15-2024 10:30:45 Rutina: - Cfg Mensaje Ha ocurrido el Siguiente "
                   "Error (53) No se ha encontrado el archivo Respondi\xf3 : "
                   "Reintentar\r\n"));
}

TEST_F(ManejoErroresTest, answers_are_logged_with_their_words)
{
    struct Row
    {
        int buttons;
        int answer;
        const char* word;
    };
    const Row rows[] = {
        { 18, Msg::Ignore, "Ignorar" },
        { 18, Msg::Abort, "Abortar" },
        { 1, Msg::Cancel, "Cancelar" },
        { 4, Msg::Yes, "S\xed" },
        { 4, Msg::No, "No" },
        { 0, Msg::Ok, "" },
    };
    QByteArray expected;
    for (const Row& row : rows) {
        testsupport::messages().answer(row.answer);

        EXPECT_EQ(ManejoErrores(m_error, row.buttons, QStringLiteral("X")), row.answer);

        expected += QByteArray("03-15-2024 10:30:45 Rutina: - X Mensaje Ha ocurrido el Siguiente "
                               "Error (53) No se ha encontrado el archivo Respondi\xf3 : ")
            + row.word + "\r\n";
    }
    EXPECT_EQ(log(), expected);
    EXPECT_EQ(testsupport::messages().shown()[3].style, 4);
}

TEST_F(ManejoErroresTest, without_a_routine_the_labels_meet)
{
    testsupport::messages().answer(Msg::Abort);

    ManejoErrores(m_error);

    EXPECT_EQ(testsupport::messages().shown()[0].title,
        QStringLiteral("Rp_Tarifolio Aviso al operador!!! - 2 "));
    EXPECT_TRUE(log().contains("10:30:45 Rutina:  Mensaje Ha ocurrido"));
}

TEST_F(ManejoErroresTest, error_number_zero_shows_nothing_and_returns_zero)
{
    const int answer = ManejoErrores(RuntimeError(0, QString()), QStringLiteral("Cfg"));

    EXPECT_EQ(answer, 0);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    EXPECT_FALSE(logExists());
}

TEST_F(ManejoErroresTest, the_log_goes_to_TMP_then_to_the_system_folder)
{
    QTemporaryDir tmp;
    QTemporaryDir system;
    testsupport::FixedEnvironment& env = testsupport::environment();
    env.setVariable(QStringLiteral("TEMP"), QString());
    env.setVariable(QStringLiteral("TMP"), tmp.path() + u'/');
    env.setSystemTempFolder(system.path());

    EXPECT_EQ(archivoErroresPrograma(), tmp.filePath(QStringLiteral("KZQERR.LOG")));
    env.setVariable(QStringLiteral("TMP"), QString());
    EXPECT_EQ(archivoErroresPrograma(), system.filePath(QStringLiteral("KZQERR.LOG")));
}

TEST_F(ManejoErroresTest, an_unwritable_log_still_shows_the_box_and_returns_the_answer)
{
    testsupport::environment().setVariable(
        QStringLiteral("TEMP"), m_dir.filePath(QStringLiteral("no/existe")));
    testsupport::messages().answer(Msg::Ignore);

    EXPECT_EQ(ManejoErrores(m_error, QStringLiteral("Cfg")), Msg::Ignore);
    EXPECT_EQ(testsupport::messages().shown().size(), 1);
}

TEST_F(ManejoErroresTest, reportAs_drives_the_steps_with_the_operators_answers)
{
    testsupport::messages().answer(Msg::Retry);
    testsupport::messages().answer(Msg::Ignore);
    int attempts = 0;
    bool lastStepRan = false;
    Steps steps = reportAs(QStringLiteral("MenuExes"));

    const bool completed = steps.runAll({
        [&] {
            ++attempts;
            throw RuntimeError(53, QStringLiteral("No se ha encontrado el archivo"));
        },
        [&] { lastStepRan = true; },
    });

    EXPECT_TRUE(completed);
    EXPECT_EQ(attempts, 2);
    EXPECT_TRUE(lastStepRan);
    EXPECT_EQ(testsupport::messages().shown()[1].title,
        QStringLiteral(" - MenuExes Aviso al operador!!! - 2 "));
}
