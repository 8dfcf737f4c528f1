#include "support/CupsPrivado.h"

#include <QDir>
#include <QFile>
#include <QEventLoop>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QTimer>

namespace testsupport {

namespace {

QString guion()
{
    return QStringLiteral(RP_TEST_SUPPORT_DIR "/cupsd_privado.sh");
}

} // namespace

CupsPrivado::CupsPrivado()
    : m_servidorAnterior(qgetenv("CUPS_SERVER"))
{
    QProcess proceso;
    proceso.start(
        QStringLiteral("/bin/sh"), { guion(), QStringLiteral("start"), m_carpeta.path() });
    proceso.waitForFinished(120000);
    const QString salida = QString::fromLocal8Bit(proceso.readAllStandardOutput()).trimmed();
    if (proceso.exitStatus() != QProcess::NormalExit || proceso.exitCode() != 0
        || salida.isEmpty()) {
        m_motivo = QString::fromLocal8Bit(proceso.readAllStandardError()).trimmed();
        if (m_motivo.isEmpty())
            m_motivo = QStringLiteral("cupsd_privado.sh termino con %1").arg(proceso.exitCode());
        return;
    }
    m_servidor = salida;
    qputenv("CUPS_SERVER", m_servidor.toLocal8Bit());
}

CupsPrivado::~CupsPrivado()
{
    QProcess::execute(
        QStringLiteral("/bin/sh"), { guion(), QStringLiteral("stop"), m_carpeta.path() });
    if (m_servidorAnterior.isEmpty())
        qunsetenv("CUPS_SERVER");
    else
        qputenv("CUPS_SERVER", m_servidorAnterior);
}

QString CupsPrivado::esperaPdf(int ms) const
{
    // cups-pdf opens the file up once it is whole, but a reader running as root reads it all
    // along: the file is whole once its last lines close the document.
    const QString carpeta = m_carpeta.filePath(QStringLiteral("pdf"));
    QString hecho;
    QFileSystemWatcher vigia({ carpeta });
    QEventLoop espera;
    const auto entero = [](const QFileInfo& pdf) {
        QFile f(pdf.filePath());
        if (!(pdf.permissions() & QFileDevice::ReadOwner) || !f.open(QIODevice::ReadOnly))
            return false;
        f.seek(qMax<qint64>(0, f.size() - 64));
        return f.readAll().trimmed().endsWith("%%EOF");
    };
    const auto revisa = [&] {
        for (const QFileInfo& pdf :
            QDir(carpeta).entryInfoList({ QStringLiteral("*.pdf") }, QDir::Files)) {
            if (entero(pdf)) {
                hecho = pdf.filePath();
                espera.quit();
                return;
            }
            if (!vigia.files().contains(pdf.filePath()))
                vigia.addPath(pdf.filePath());
        }
    };
    QObject::connect(&vigia, &QFileSystemWatcher::directoryChanged, &espera, revisa);
    QObject::connect(&vigia, &QFileSystemWatcher::fileChanged, &espera, revisa);
    QTimer::singleShot(ms, &espera, &QEventLoop::quit);
    // The last write and the change of mode can come as one notice, or none: look again now
    // and then as well.
    QTimer otraVez;
    QObject::connect(&otraVez, &QTimer::timeout, &espera, revisa);
    otraVez.start(100);
    revisa();
    if (hecho.isEmpty())
        espera.exec();
    return hecho;
}

} // namespace testsupport
