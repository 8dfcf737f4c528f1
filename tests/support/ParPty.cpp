#include "support/ParPty.h"

#include <QDeadlineTimer>

namespace testsupport {

ParPty::ParPty()
{
    m_socat.setProcessChannelMode(QProcess::MergedChannels);
    m_socat.start(QStringLiteral("socat"),
        { QStringLiteral("-d"), QStringLiteral("-d"),
            QStringLiteral("pty,raw,echo=0,link=%1").arg(puerto()),
            QStringLiteral("pty,raw,echo=0,link=%1").arg(par()) });
    if (!m_socat.waitForStarted(10000))
        return;
    // socat says so on stderr once both links exist.
    QByteArray dicho;
    QDeadlineTimer plazo(20000);
    while (!plazo.hasExpired() && !dicho.contains("starting data transfer loop")) {
        if (!m_socat.waitForReadyRead(int(plazo.remainingTime())))
            break;
        dicho += m_socat.readAll();
    }
    if (!dicho.contains("starting data transfer loop"))
        return;
    m_lector.setPortName(par());
    m_listo = m_lector.open(QIODevice::ReadOnly);
}

ParPty::~ParPty()
{
    m_lector.close();
    if (m_socat.state() != QProcess::NotRunning) {
        m_socat.terminate();
        if (!m_socat.waitForFinished(5000))
            m_socat.kill();
        m_socat.waitForFinished(5000);
    }
}

QString ParPty::puerto() const
{
    return m_carpeta.filePath(QStringLiteral("com3"));
}

QString ParPty::par() const
{
    return m_carpeta.filePath(QStringLiteral("peer3"));
}

QByteArray ParPty::leeHasta(const QByteArray& fin, int plazoMs)
{
    QByteArray leido = m_lector.readAll();
    while (!leido.endsWith(fin) && m_lector.waitForReadyRead(plazoMs))
        leido += m_lector.readAll();
    return leido;
}

} // namespace testsupport
