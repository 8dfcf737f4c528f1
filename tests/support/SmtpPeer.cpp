#include "support/SmtpPeer.h"

#include <QDir>
#include <QJsonDocument>
#include <QTcpServer>

#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace {

const QString Python = QStringLiteral("/usr/bin/python3");

bool ejecuta(const QString& programa, const QStringList& argumentos)
{
    QProcess p;
    p.start(programa, argumentos);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

SmtpPeer::SmtpPeer(const Opciones& o)
{
    QStringList args = { QStringLiteral(RP_SMTP_PEER), QStringLiteral("--out"),
        m_dir.filePath(QStringLiteral("out")) };
    if (!o.usuario.isEmpty())
        args << QStringLiteral("--user") << o.usuario << QStringLiteral("--password") << o.clave;
    if (o.tls || o.tlsInmediato) {
        const bool hecho = ejecuta(QStringLiteral("openssl"),
            { QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                QStringLiteral("-keyout"), m_dir.filePath(QStringLiteral("key.pem")),
                QStringLiteral("-out"), certificado(), QStringLiteral("-days"), QStringLiteral("2"),
                QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                QStringLiteral("subjectAltName=IP:127.0.0.1") });
        EXPECT_TRUE(hecho) << "openssl req";
        args << QStringLiteral("--cert") << certificado() << QStringLiteral("--key")
             << m_dir.filePath(QStringLiteral("key.pem"));
        if (o.tlsInmediato)
            args << QStringLiteral("--implicit-tls");
    }
    if (o.authSinTls)
        args << QStringLiteral("--no-auth-tls");
    for (const QString& r : o.rechaza)
        args << QStringLiteral("--refuse") << r;
    if (o.rechazaMensajes)
        args << QStringLiteral("--refuse-data");
    m_proceso.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_proceso.start(Python, args);
    if (!m_proceso.waitForStarted(30000))
        return;
    while (!m_proceso.canReadLine() && m_proceso.waitForReadyRead(30000)) { }
    m_puerto = m_proceso.readLine().trimmed().toInt();
    EXPECT_GT(m_puerto, 0) << "smtp_peer.py did not start";
}

SmtpPeer::~SmtpPeer()
{
    m_proceso.closeWriteChannel();
    if (!m_proceso.waitForFinished(10000))
        m_proceso.kill();
    m_proceso.waitForFinished(10000);
}

QString SmtpPeer::certificado() const
{
    return m_dir.filePath(QStringLiteral("cert.pem"));
}

QStringList SmtpPeer::mensajes() const
{
    QDir out(m_dir.filePath(QStringLiteral("out")));
    QStringList lista;
    for (const QString& n : out.entryList({ QStringLiteral("*.eml") }, QDir::Files, QDir::Name))
        lista << out.filePath(n);
    return lista;
}

QJsonObject SmtpPeer::resumen(const QString& eml)
{
    QProcess p;
    p.start(Python, { QStringLiteral(RP_EML_SUMMARY), eml });
    p.waitForFinished(60000);
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QStringList SmtpPeer::sobre(const QString& eml)
{
    QString env = eml;
    env.chop(4);
    return QString::fromUtf8(testsupport::readFile(env + QStringLiteral(".env")))
        .split(u'\n', Qt::SkipEmptyParts);
}

int SmtpPeer::puertoCerrado()
{
    // Bound and closed again: nothing listens there afterwards.
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    const int puerto = s.serverPort();
    s.close();
    return puerto;
}
