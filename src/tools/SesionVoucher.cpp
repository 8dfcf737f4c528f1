#include "tools/SesionVoucher.h"

#include <QFileInfo>
#include <QLocale>
#include <QTextStream>

#include "app/AsientosImpresos.h"
#include "data/DataObjects.h"
#include "data/TurnoPuesto.h"
#include "platform/AdoRecordset.h"
#include "platform/Environment.h"
#include "platform/MessageDialog.h"
#include "platform/Service.h"
#include "platform/Utilidades.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtPuertoSerie.h"
#include "platform/qt/SystemEnvironment.h"
#include "services/ConfiguracionGlobal.h"
#include "services/VariablesInicio.h"
#include "tools/ServiciosDatos.h"
#include "vouchers/AnexasComprobante.h"

namespace {

// Nobody answers a box on the command line: it is written as one line and answered with the
// choice that goes on without repeating anything.
class MensajesEnConsola final : public MessageDialog
{
public:
    int show(const QString& text, int style, const QString& title) override
    {
        QString linea = title.isEmpty() ? text : title + QStringLiteral(": ") + text;
        linea.replace(u'\r', u' ').replace(u'\n', u' ');
        QTextStream(stderr) << "Aviso: " << linea.simplified() << "\n";
        switch (Msg::buttonsOf(style)) {
        case Msg::AbortRetryIgnore:
            return Msg::Ignore;
        case Msg::YesNo:
            return Msg::No;
        case Msg::OkCancel:
        case Msg::YesNoCancel:
        case Msg::RetryCancel:
            return Msg::Cancel;
        default:
            return Msg::Ok;
        }
    }
};

class EntornoPuesto final : public Environment
{
public:
    EntornoPuesto(QString equipo, QString usuario)
        : m_equipo(std::move(equipo))
        , m_usuario(std::move(usuario))
    {
    }
    QString computerName() const override
    {
        return m_equipo.isEmpty() ? m_sistema.computerName() : m_equipo;
    }
    QString userName() const override
    {
        return m_usuario.isEmpty() ? m_sistema.userName() : m_usuario;
    }
    QString variable(const QString& name) const override { return m_sistema.variable(name); }
    QString systemTempFolder() const override { return m_sistema.systemTempFolder(); }
    QString executableFolder() const override { return m_sistema.executableFolder(); }

private:
    SystemEnvironment m_sistema;
    QString m_equipo;
    QString m_usuario;
};

// The ticket printer's line on the device named by --puerto, when one was named.
QString& puertoComandera()
{
    static QString dispositivo;
    return dispositivo;
}

class PuertoComandera final : public PuertoSerie
{
public:
    Falla abre(const QString& dispositivo) override
    {
        return m_linea.abre(puertoComandera().isEmpty() ? dispositivo : puertoComandera());
    }
    QString dispositivoFijo() const override { return puertoComandera(); }
    Falla escribe(const QByteArray& bytes) override { return m_linea.escribe(bytes); }
    Falla cierra() override { return m_linea.cierra(); }
    bool abierto() const override { return m_linea.abierto(); }

private:
    QtPuertoSerie m_linea;
};

} // namespace

void fijaPuertoComandera(const QString& dispositivo)
{
    // The serial port takes a bare name as a device under /dev: a link in the current folder
    // (a pty made by socat) is named by its whole path.
    const QFileInfo aqui(dispositivo);
    puertoComandera() = aqui.exists() ? aqui.absoluteFilePath() : dispositivo;
}

OpcionesVoucher leeOpciones(
    const QStringList& argumentos, const QStringList& conValor, const QStringList& banderas)
{
    OpcionesVoucher opciones;
    for (qsizetype k = 0; k < argumentos.size(); ++k) {
        const QString& a = argumentos.at(k);
        if (banderas.contains(a))
            opciones.banderas.insert(a);
        else if (conValor.contains(a) && k + 1 < argumentos.size())
            opciones.valores.insert(a, argumentos.at(++k));
        else {
            opciones.error = conValor.contains(a)
                ? QStringLiteral("Falta el valor de %1").arg(a)
                : QStringLiteral("Argumento desconocido: %1").arg(a);
            break;
        }
    }
    return opciones;
}

int usoSubcomando(QTextStream& errores, const QString& error, const char* texto)
{
    if (!error.isEmpty())
        errores << error << "\n";
    errores << "Uso: rp_voucher " << texto << "\n";
    return 2;
}

struct SesionVoucher::Partes
{
    Partes(const QString& equipo, const QString& usuario)
        : entorno(equipo, usuario)
    {
    }

    QtPlatform plataforma;
    MensajesEnConsola mensajes;
    ScopedService<MessageDialog> mensajesServicio { mensajes };
    EntornoPuesto entorno;
    ScopedService<Environment> entornoServicio { entorno };
    ServiciosDatos servicios;
    // Order vouchers print their tickets, orders their rules, accounting vouchers their entries.
    PuertoComandera puerto;
    ScopedService<PuertoSerie> puertoServicio { puerto };
    AnexasComprobante anexas;
    ScopedService<ImpresionesAnexas> anexasServicio { anexas };
    AsientosImpresos asientos;
    ScopedService<ImpresionAsiento> asientosServicio { asientos };
    // Last, so that it is given back before the connection closes.
    std::unique_ptr<TurnoPuesto> turno;
};

SesionVoucher::SesionVoucher(const QString& archivo, const QString& equipo, const QString& usuario)
    : m_partes(std::make_unique<Partes>(equipo, usuario))
{
    // Numbers follow the user's region; one that names none (C, POSIX) writes them as the
    // program's home region does.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    // Only a name that leads nowhere is told here; a folder, a FIFO, a device or a link to
    // nothing is told by the engine, which says what the name is without opening it.
    const QFileInfo nombre(archivo);
    if (!nombre.exists() && !nombre.isSymLink()) {
        m_error = QStringLiteral("No se encuentra la base de datos %1").arg(archivo);
        return;
    }
    DB_Dll& db = gDB();
    db.gServidor = QStringLiteral("SQLITE");
    db.gDBName = QFileInfo(archivo).absoluteFilePath();
    db.OpenServerADODB(false, adUseClient, QString(), false, false);
    if (!db.gOpenFlag) {
        // The provider's reason names the file.
        m_error = db.gCnn().LastError().description();
        return;
    }
    // Before anything reads or writes the workstation's rows.
    m_partes->turno = std::make_unique<TurnoPuesto>(
        db, ClaveEstacion(), [](const QString& aviso) { QTextStream(stderr) << aviso << "\n"; });
    if (!m_partes->turno->tomado()) {
        m_error = m_partes->turno->error();
        m_salida = 1;
        return;
    }
    // A file another process holds locked would make every statement of the settings below wait
    // the time-out in turn: one read tells, and the session ends there with the lock's message.
    {
        AdoRecordset prueba;
        if (!prueba.Open(QStringLiteral("SELECT COUNT(*) FROM TA_CONFIGURACION"), &db.gCnn(),
                adOpenStatic, adLockReadOnly)
            && db.gCnn().timeoutCount() > 0) {
            m_error = db.gCnn().timeoutError(prueba.LastError()).description();
            return;
        }
    }
    gInicio().gPuesto = ClaveEstacion();
    CargaConfiguracionGlobal(programFolder() + u'/');
}

SesionVoucher::~SesionVoucher() = default;

std::unique_ptr<SesionVoucher> abreSesion(
    const OpcionesVoucher& o, QTextStream& errores, int& salida)
{
    auto sesion = std::make_unique<SesionVoucher>(
        o.valor("--db"), o.valor("--equipo"), o.valor("--usuario"));
    if (sesion->error().isEmpty())
        return sesion;
    errores << sesion->error() << "\n";
    salida = sesion->salida();
    return nullptr;
}

int muestraFilas(const QString& consulta, bool mostrar, QTextStream& salida)
{
    AdoRecordset rs;
    gDB().AbrirRecordset(consulta, rs);
    int filas = 0;
    for (; rs.State() == adStateOpen && !rs.Eof(); rs.MoveNext(), ++filas) {
        if (!mostrar)
            continue;
        QStringList columnas;
        for (int c = 0; c < rs.FieldCount(); ++c) {
            QString v = gUtilidades().ValorCampo(rs.Fields(c).Value());
            columnas.append(v.replace(u'\t', u' ').replace(u'\r', u' ').replace(u'\n', u' '));
        }
        salida << columnas.join(u'\t') << "\n";
    }
    gDB().CierraRecordset(rs);
    return filas;
}
