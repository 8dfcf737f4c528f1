#include "data/TurnoPuesto.h"

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include "data/ConsultasDatos.h"
#include "data/DB_Dll.h"
#include "platform/AdoRecordset.h"
#include "platform/FileNames.h"

// How the turn is kept, and why this way.
//
// An SQLite file is used only by programs on the machine that holds it, so the turn is the
// kernel's advisory lock (flock) on a file beside the database, named after the database file and
// the key. The lock belongs to the open file: whatever way a run ends, kill -9 included, the
// kernel gives it up with the run's descriptor, so nothing stale can stay behind. The file is
// found from the database's own resolved path, the same whatever the run's environment (TMPDIR,
// HOME, XDG_*, the current folder). It holds nothing and is never written: reading is all flock
// needs, so a run can use a file that another account that may write the database made. It stays
// after the run: removing it would let a later run lock a new file while a waiting one locks the
// old.
//
// The turn file is used only where no account that may not write the database can make files in
// its folder: in a shared folder (a sticky /tmp-like one, say) such an account could rename the
// file while a run holds it and put a new one there, or make it unreadable, and the next run would
// lock something else. There every run locks the database's folder itself, so that every run
// makes the same choice whoever made what at the name. For the same reason a turn file whose
// owner may not write the database is never used, whoever made it: it is what a shared folder
// leaves behind once it is shared no more.
//
// A name that does not serve (a link, a FIFO, a folder, a file this account may not open, a file
// with another name too, as a hard link to the database would be) is never followed, waited on or
// written: the turn is then locked on the database's folder too, so every key of every database
// there takes turns, slower but safe. Not on the database file itself: closing a second
// descriptor of it would drop the locks SQLite holds on it in this process.
//
// On SQL Server the turn is the server's application lock owned by the connection's session
// (sp_getapplock), which the server gives up when the session ends, however the run ended. Oracle's
// lock of that kind (DBMS_LOCK) needs a grant of its own; there the turn is not kept.
//
// Not chosen: a lock file in the temporary folder (each environment has its own, and another
// account's stale file there blocks), a row in the database (a killed run leaves it behind),
// holding an SQLite write transaction for the whole run (every other writer of the file would
// wait on it).
namespace {

constexpr int PausaMs = 100;

enum class Intento
{
    Tomado,
    Ocupado,
    Imposible
};

Intento intenta(int descriptor)
{
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0)
        return Intento::Tomado;
    return errno == EWOULDBLOCK ? Intento::Ocupado : Intento::Imposible;
}

// Who works, and on what: the run of the same workstation on the database, or, where the turn is
// the folder's, whichever run of any workstation of any database there holds it.
QString quienTrabaja(const QString& clave, const QString& base, const QString& carpeta)
{
    if (carpeta.isEmpty())
        return QStringLiteral("Otra ejecución con el puesto %1 trabaja en la base %2")
            .arg(clave, base);
    return QStringLiteral("Otra ejecución trabaja en la carpeta %1, donde todos los puestos de "
                          "todas las bases toman un solo turno")
        .arg(carpeta);
}

QString esperando(const QString& trabaja, const QString& titular)
{
    return QStringLiteral("%1%2: se espera a que termine.")
        .arg(trabaja, titular.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(titular));
}

QString vencido(const QString& trabaja, const QString& titular, int segundos)
{
    return QStringLiteral("%1%2: se esperó %3 s y no se hizo nada; vuelva a intentar cuando "
                          "termine.")
        .arg(trabaja, titular.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(titular))
        .arg(segundos);
}

// A text a process chose, as it may be shown on a terminal: every character that is no plain
// visible one (controls, escapes, line breaks, format characters) shown as "?".
QString visible(const QString& texto)
{
    QString limpio;
    for (const char32_t c : texto.toUcs4()) {
        if (c == U' ' || (QChar::isPrint(c) && !QChar::isSpace(c)))
            limpio += QString::fromUcs4(&c, 1);
        else
            limpio += u'?';
    }
    return limpio;
}

QString leeArchivo(const QString& ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(archivo.readAll())
                                             : QString();
}

// The run that holds the flock on `descriptor`'s file, as far as the kernel tells it: the process
// that took the lock (/proc/locks keeps it), its account and when it started. Empty when it cannot
// be known (it ended meanwhile, or runs where this process cannot see it).
QString titular(int descriptor)
{
    struct stat datos = {};
    if (::fstat(descriptor, &datos) != 0)
        return QString();
    const QString archivo = QString::asprintf("%02x:%02x:%llu", major(datos.st_dev),
        minor(datos.st_dev), static_cast<unsigned long long>(datos.st_ino));
    // "1: FLOCK  ADVISORY  WRITE 1234 fe:00:10953702 0 EOF"; a request still waiting has "->"
    // after the number.
    QString proceso;
    for (const QString& linea : leeArchivo(QStringLiteral("/proc/locks")).split(u'\n')) {
        const QStringList campos = linea.simplified().split(u' ');
        if (campos.size() >= 6 && campos[1] == u"FLOCK" && campos[5] == archivo) {
            proceso = campos[4];
            break;
        }
    }
    if (proceso.toLongLong() <= 0)
        return QString();

    const QString carpeta = QStringLiteral("/proc/") + proceso;
    QString texto = QStringLiteral("proceso ") + proceso;
    // The name is the holder's own choice (any process may rename itself), line breaks and
    // terminal escapes included.
    QString nombre = leeArchivo(carpeta + QStringLiteral("/comm"));
    if (nombre.endsWith(u'\n'))
        nombre.chop(1);
    if (!nombre.isEmpty())
        texto += u' ' + visible(nombre);
    const QString cuenta = QFileInfo(carpeta).owner();
    if (!cuenta.isEmpty())
        texto += QStringLiteral(" del usuario ") + cuenta;
    // The start is field 22 of its stat line, in clock ticks since the machine started; the name
    // before it, in parentheses, may hold blanks.
    const QString estado = leeArchivo(carpeta + QStringLiteral("/stat"));
    const QStringList campos = estado.mid(estado.lastIndexOf(u')') + 1).simplified().split(u' ');
    qint64 arranque = 0;
    for (const QString& linea : leeArchivo(QStringLiteral("/proc/stat")).split(u'\n')) {
        if (linea.startsWith(QLatin1String("btime ")))
            arranque = linea.mid(6).trimmed().toLongLong();
    }
    const long tics = ::sysconf(_SC_CLK_TCK);
    if (campos.size() > 19 && arranque > 0 && tics > 0) {
        const QDateTime inicio
            = QDateTime::fromSecsSinceEpoch(arranque + campos[19].toLongLong() / tics);
        texto += QStringLiteral(", iniciado el ")
            + inicio.toString(QStringLiteral("dd/MM/yy hh:mm:ss"));
    }
    return texto;
}

// Whether some account that may not write the database `base` can make files in its folder
// `carpeta`: whom the folder's mode lets, and its owner (who may change that mode anyway).
bool carpetaCompartida(const struct stat& carpeta, const struct stat& base)
{
    const bool todosEscriben = base.st_mode & S_IWOTH;
    if ((carpeta.st_mode & S_IWOTH) && !todosEscriben)
        return true;
    const bool suGrupoEscribe
        = todosEscriben || ((base.st_mode & S_IWGRP) && base.st_gid == carpeta.st_gid);
    if ((carpeta.st_mode & S_IWGRP) && !suGrupoEscribe)
        return true;
    return !FileNames::accountMayWrite(carpeta.st_uid, base);
}

// The lock file of the database `base` opened for reading, or -1 with `porque` said. It is made
// when missing, readable by every account whatever this one's umask: an account that could not
// open it would lock something else. The name is looked at before it is opened, and a link, a
// FIFO or a file with a second name is not opened at all: closing any descriptor of the database
// file (a hard link to it at this name) would drop the locks SQLite holds on it in this process.
// A file whose owner may not write the database is refused by every run, the one that made it
// included. An account that could put something there between the look and the open may write
// the database anyway.
int abreArchivoTurno(const QString& ruta, const struct stat& base, QString& porque)
{
    const QByteArray nombre = QFile::encodeName(ruta);
    struct stat datos = {};
    int descriptor = -1;
    while (::lstat(nombre.constData(), &datos) != 0) {
        if (errno != ENOENT) {
            porque = QStringLiteral("no se puede leer");
            return -1;
        }
        descriptor = ::open(
            nombre.constData(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0444);
        if (descriptor >= 0) {
            ::fchmod(descriptor, 0444);
            ::fstat(descriptor, &datos);
            break;
        }
        // Another run made it meanwhile: that one is looked at.
        if (errno != EEXIST) {
            porque = QStringLiteral("no se puede crear");
            return -1;
        }
    }
    const auto rechaza = [&](const QString& motivo) {
        if (descriptor >= 0)
            ::close(descriptor);
        porque = motivo;
        return -1;
    };
    if (S_ISLNK(datos.st_mode))
        return rechaza(QStringLiteral("es un enlace"));
    if (!S_ISREG(datos.st_mode))
        return rechaza(QStringLiteral("no es un archivo común"));
    if (datos.st_nlink != 1)
        return rechaza(QStringLiteral("tiene otro nombre en el disco"));
    if (!FileNames::accountMayWrite(datos.st_uid, base))
        return rechaza(QStringLiteral("es de una cuenta que no puede escribir la base"));
    if (descriptor < 0) {
        descriptor = ::open(nombre.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0)
            porque = errno == EACCES ? QStringLiteral("no se puede leer")
                                     : QStringLiteral("no se puede abrir");
    }
    return descriptor;
}

// What sp_getapplock answered, or nothing, with `falla` said, when the statement failed.
std::optional<int> pideTurno(DB_Dll& db, const QString& recurso, int milisegundos, QString& falla)
{
    // The procedure's answer is its return value: 0 or 1 given, -1 the wait ran out, below that
    // refused. Row counts are kept off the batch so that its first result is the answer, and put
    // back as the session had them: the setting outlives the batch.
    const QString sql = QStringLiteral("DECLARE @turno int, @sinCuentas int = @@OPTIONS & 512; "
                                       "SET NOCOUNT ON; EXEC @turno = sp_getapplock @Resource = "
                                       "N%1, @LockMode = 'Exclusive', @LockOwner = 'Session', "
                                       "@LockTimeout = %2; IF @sinCuentas = 0 SET NOCOUNT OFF; "
                                       "SELECT @turno")
                            .arg(ConsultasDatos::literal(recurso))
                            .arg(milisegundos);
    AdoRecordset respuesta;
    if (!respuesta.Open(sql, &db.gCnn(), adOpenForwardOnly, adLockReadOnly)) {
        falla = respuesta.LastError().description();
        return std::nullopt;
    }
    if (respuesta.Eof()) {
        falla = QStringLiteral("el servidor no respondió");
        return std::nullopt;
    }
    return int(respuesta.Fields(0).Value().toLongLong());
}

} // namespace

TurnoPuesto::TurnoPuesto(DB_Dll& db, const QString& clave, const Aviso& aviso)
{
    const int segundos = db.gCnn().CommandTimeout();
    if (db.gServidor.trimmed().compare(QLatin1String("SQLITE"), Qt::CaseInsensitive) == 0)
        tomaEnArchivo(db.gDBName, clave, segundos, aviso);
    else if (!db.gServidor.contains(u'#'))
        tomaEnServidor(db, clave, segundos, aviso);
}

TurnoPuesto::~TurnoPuesto()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    if (m_servidor && m_servidor->gCnn().State() == adStateOpen) {
        m_servidor->gCnn().Execute(QStringLiteral("EXEC sp_releaselock @Resource = N%1, "
                                                  "@LockOwner = 'Session'")
                                       .arg(ConsultasDatos::literal(m_recurso)));
    }
}

QString TurnoPuesto::archivoTurno(const QString& base, const QString& clave)
{
    const QByteArray huella
        = QCryptographicHash::hash(clave.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return base + QStringLiteral("-turno-") + QString::fromLatin1(huella);
}

void TurnoPuesto::tomaEnArchivo(
    const QString& base, const QString& clave, int segundos, const Aviso& aviso)
{
    // A run that may not write the database changes nothing in it (SQLite opens it only to read
    // where the file or its folder may not be written): it needs no turn, and makes nothing
    // beside a file that is not its own.
    const QString archivo = QFileInfo(base).canonicalFilePath();
    if (archivo.isEmpty())
        return;
    const QString carpeta = QFileInfo(archivo).path();
    const QByteArray nombreArchivo = QFile::encodeName(archivo);
    const QByteArray nombreCarpeta = QFile::encodeName(carpeta);
    struct stat datosArchivo = {};
    struct stat datosCarpeta = {};
    // A file with a second name on the disk is opened only to read, by every name.
    if (!FileNames::mayWriteFileAndFolder(archivo)
        || ::stat(nombreArchivo.constData(), &datosArchivo) != 0 || datosArchivo.st_nlink > 1
        || ::stat(nombreCarpeta.constData(), &datosCarpeta) != 0)
        return;
    const auto tomaCarpeta
        = [&] { return ::open(nombreCarpeta.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); };
    // Empty while the turn is the key's own.
    QString turnoDeCarpeta;
    if (carpetaCompartida(datosCarpeta, datosArchivo)) {
        m_descriptor = tomaCarpeta();
        turnoDeCarpeta = carpeta;
    } else {
        const QString ruta = archivoTurno(archivo, clave);
        QString porque;
        m_descriptor = abreArchivoTurno(ruta, datosArchivo, porque);
        if (m_descriptor < 0) {
            aviso(QStringLiteral("El archivo de turno %1 no sirve (%2): el turno se toma sobre la "
                                 "carpeta %3.")
                      .arg(ruta, porque, carpeta));
            m_descriptor = tomaCarpeta();
            turnoDeCarpeta = carpeta;
        }
    }
    const QString trabaja = quienTrabaja(clave, base, turnoDeCarpeta);

    Intento intento = m_descriptor >= 0 ? intenta(m_descriptor) : Intento::Imposible;
    if (intento == Intento::Ocupado) {
        // A holder of the folder's turn may be of any workstation: it is named by its run.
        aviso(esperando(trabaja, turnoDeCarpeta.isEmpty() ? QString() : titular(m_descriptor)));
        const QDeadlineTimer limite = segundos > 0 ? QDeadlineTimer(qint64(segundos) * 1000)
                                                   : QDeadlineTimer(QDeadlineTimer::Forever);
        // flock itself waits without a limit: the lock is tried again every little while.
        while (intento == Intento::Ocupado && !limite.hasExpired()) {
            QThread::msleep(PausaMs);
            intento = intenta(m_descriptor);
        }
    }
    if (intento == Intento::Tomado)
        return;
    if (intento == Intento::Ocupado)
        m_error = vencido(trabaja, titular(m_descriptor), segundos);
    else
        aviso(QStringLiteral("No se puede tomar el turno del puesto %1 en la base %2: se sigue "
                             "sin turno.")
                  .arg(clave, base));
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

void TurnoPuesto::tomaEnServidor(DB_Dll& db, const QString& clave, int segundos, const Aviso& aviso)
{
    // Application locks belong to the current database: the key alone names the turn.
    const QString recurso = QStringLiteral("Rp_Tarifolio puesto ") + clave;
    QString falla;
    std::optional<int> respuesta = pideTurno(db, recurso, 0, falla);
    if (respuesta == -1) {
        aviso(esperando(quienTrabaja(clave, db.gDBName, QString()), QString()));
        // -1 is the server's own "as long as it is held".
        respuesta = pideTurno(db, recurso, segundos > 0 ? segundos * 1000 : -1, falla);
    }
    if (respuesta && *respuesta >= 0) {
        m_servidor = &db;
        m_recurso = recurso;
    } else if (respuesta == -1) {
        m_error = vencido(quienTrabaja(clave, db.gDBName, QString()), QString(), segundos);
    } else {
        m_error = QStringLiteral("No se pudo tomar el turno del puesto %1 en la base %2: %3")
                      .arg(clave, db.gDBName,
                          respuesta ? QStringLiteral("el servidor respondió %1").arg(*respuesta)
                                    : falla);
    }
}
