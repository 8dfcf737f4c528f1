#include <QProcess>

#include <gtest/gtest.h>

#include "sending/CorreoTest.h"

namespace {

class RpSend : public CorreoTest
{
};

TEST_F(RpSend, sends_as_an_automatic_caller_prints_the_log_row_and_exits_by_outcome)
{
    SmtpPeer peer({});
    ASSERT_TRUE(peer.iniciado());
    const QString pdf = archivo(QStringLiteral("lista.pdf"), "%PDF-1.4");
    const QString smtp = QStringLiteral("127.0.0.1:") + QString::number(peer.puerto());
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TEMP"), temporal());
    p.setProcessEnvironment(env);

    p.start(QStringLiteral(RP_SEND_EXE), { QStringLiteral("--db"), m_file,
        QStringLiteral("--usuario"), QStringLiteral("ADMIN"), QStringLiteral("--smtp"), smtp,
        QStringLiteral("enviar"), QStringLiteral("--para"), QStringLiteral("uno@example.com"),
        QStringLiteral("--asunto"), QStringLiteral("Lista"), QStringLiteral("--adjunto"), pdf });
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString salida = QString::fromUtf8(p.readAllStandardOutput());
    const int primero = p.exitCode();
    p.start(QStringLiteral(RP_SEND_EXE), { QStringLiteral("--db"), m_file,
        QStringLiteral("--usuario"), QStringLiteral("ADMIN"), QStringLiteral("--smtp"), smtp,
        QStringLiteral("enviar"), QStringLiteral("--para"), QStringLiteral("uno@example.com"),
        QStringLiteral("--asunto"), QStringLiteral("Lista"), QStringLiteral("--adjunto"),
        QStringLiteral("/no/existe.pdf") });
    ASSERT_TRUE(p.waitForFinished(120000));
    const int segundo = p.exitCode();
    const QString salidaSegundo = QString::fromUtf8(p.readAllStandardOutput());
    p.start(QStringLiteral(RP_SEND_EXE), { QStringLiteral("enviar") });
    ASSERT_TRUE(p.waitForFinished(120000));

    EXPECT_TRUE(salida.contains(QStringLiteral("Status=OK"))) << salida.toStdString();
    EXPECT_EQ(peer.mensajes().size(), 1);
    EXPECT_EQ(primero, 0);
    EXPECT_EQ(segundo, 1);
    EXPECT_TRUE(salidaSegundo.contains(QStringLiteral("Aviso al operador | No se ha podido "
                                                      "Adjuntar al correo")))
        << salidaSegundo.toStdString();
    EXPECT_EQ(p.exitCode(), 2);
}

} // namespace
