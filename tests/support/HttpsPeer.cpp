#include "support/HttpsPeer.h"

#include <QDir>

#include <gtest/gtest.h>

#include "support/TestFiles.h"

HttpsPeer::HttpsPeer(int status, const QString& texto, bool goteo)
{
    m_proceso.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList argumentos { QStringLiteral(RP_HTTPS_PEER), QStringLiteral("--out"), m_dir.path(),
        QStringLiteral("--status"), QString::number(status), QStringLiteral("--text"), texto };
    if (goteo)
        argumentos << QStringLiteral("--drip");
    m_proceso.start(QStringLiteral("/usr/bin/python3"), argumentos);
    if (!m_proceso.waitForStarted(30000))
        return;
    while (!m_proceso.canReadLine() && m_proceso.waitForReadyRead(30000)) { }
    m_puerto = m_proceso.readLine().trimmed().toInt();
    EXPECT_GT(m_puerto, 0) << "https_peer.py did not start";
}

HttpsPeer::~HttpsPeer()
{
    m_proceso.closeWriteChannel();
    if (!m_proceso.waitForFinished(10000))
        m_proceso.kill();
    m_proceso.waitForFinished(10000);
}

QString HttpsPeer::servidor() const
{
    return QStringLiteral("127.0.0.1:") + QString::number(m_puerto);
}

QString HttpsPeer::certificado() const
{
    return m_dir.filePath(QStringLiteral("cert.pem"));
}

QString HttpsPeer::Peticion::cabecera(const QString& nombre) const
{
    for (const QString& c : cabeceras) {
        if (c.section(u':', 0, 0).trimmed().compare(nombre, Qt::CaseInsensitive) == 0)
            return c.section(u':', 1).trimmed();
    }
    return QString();
}

QList<HttpsPeer::Peticion> HttpsPeer::peticiones(bool leeCuerpos) const
{
    QList<Peticion> lista;
    const QDir dir(m_dir.path());
    for (const QString& n : dir.entryList({ QStringLiteral("*.req") }, QDir::Files, QDir::Name)) {
        Peticion p;
        const QStringList lineas = QString::fromLatin1(testsupport::readFile(dir.filePath(n)))
                                       .split(u'\n', Qt::SkipEmptyParts);
        p.linea = lineas.value(0).trimmed();
        for (const QString& l : lineas.mid(1))
            p.cabeceras << l.trimmed();
        p.archivoCuerpo = dir.filePath(n.chopped(4) + QStringLiteral(".body"));
        if (leeCuerpos)
            p.cuerpo = testsupport::readFile(p.archivoCuerpo);
        lista << p;
    }
    return lista;
}
