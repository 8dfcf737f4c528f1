#include "platform/qt/SystemEnvironment.h"

#include <pwd.h>
#include <unistd.h>

#include <QByteArray>

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace {

// Takes the login variables away for the test and puts them back after it.
class SinVariablesDeUsuario
{
public:
    SinVariablesDeUsuario()
    {
        for (const char* nombre : kNombres) {
            m_guardadas.append(qgetenv(nombre));
            m_habia.append(qEnvironmentVariableIsSet(nombre));
            qunsetenv(nombre);
        }
    }
    ~SinVariablesDeUsuario()
    {
        for (int i = 0; i < 3; ++i) {
            if (m_habia.at(i))
                qputenv(kNombres[i], m_guardadas.at(i));
        }
    }

private:
    static constexpr const char* kNombres[] = { "USER", "LOGNAME", "USERNAME" };
    QList<QByteArray> m_guardadas;
    QList<bool> m_habia;
};

// Without USER, LOGNAME or USERNAME the account still comes from the system, so two accounts of
// one machine get two workstation keys.
TEST(SystemEnvironment, takes_the_account_from_the_system_when_the_environment_has_none)
{
    const SinVariablesDeUsuario sinVariables;

    const QString usuario = SystemEnvironment().userName();

    const passwd* cuenta = getpwuid(getuid());
    ASSERT_NE(cuenta, nullptr);
    EXPECT_EQ(usuario, QString::fromLocal8Bit(cuenta->pw_name));
    EXPECT_FALSE(usuario.isEmpty());
}

} // namespace
