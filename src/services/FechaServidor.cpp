#include "services/FechaServidor.h"

#include <optional>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Clock.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "services/Configuracion.h"
#include "services/Globales.h"

namespace {

QString sentenciaCuenta(const QString& columna, const QString& codigo)
{
    return QStringLiteral("SELECT * FROM MA_CUENTAS  with(nolock)  WHERE ") + columna
        + QStringLiteral(" =  ") + ConsultasDatos::literal(codigo);
}

bool abreCuenta(
    AdoRecordset& registro, const QString& columna, const QString& codigo, bool soloLectura)
{
    QString sql = sentenciaCuenta(columna, codigo);
    gDB().AbrirRecordset(sql, registro, nullptr, soloLectura ? adOpenForwardOnly : adOpenDynamic,
        soloLectura ? adLockReadOnly : adLockOptimistic, -1, true);
    return registro.State() == adStateOpen && !registro.Eof();
}

QString codigoDe(AdoRecordset& registro)
{
    return gUtilidades().ValorCampo(registro.Fields(QStringLiteral("Codigo")).Value());
}

} // namespace

QDateTime FechaServidor()
{
    std::optional<QDateTime> fecha;
    AdoRecordset registro;
    Steps pasos = Steps::silent();
    pasos.run(
        [&] { gDB().AbrirRecordset(QStringLiteral("select  getDate() as fecha"), registro); });
    pasos.run([&] {
        if (registro.State() == adStateOpen && !registro.Eof()) {
            const QDateTime servidor
                = registro.Fields(QStringLiteral("fecha")).Value().toDateTime();
            // Whole seconds: the stamps are compared with values written at that precision.
            const QTime hora = servidor.time();
            fecha = QDateTime(servidor.date(), QTime(hora.hour(), hora.minute(), hora.second()));
        }
    });
    pasos.run([&] { gDB().CierraRecordset(registro); });
    if (fecha)
        return *fecha;

    // No date from the server, whether it answered nothing or the statement failed: a date of
    // 1899 would stamp the logs and name files.
    if (gGlobales().gUtilizarFechaDia) {
        QDate operativa;
        pasos.run([&] {
            operativa
                = gUtilidades().LeeFecha(Configuracion::Cfg(QStringLiteral("FECHAOPERHASTA")));
        });
        if (operativa.isValid())
            return operativa.startOfDay();
    }
    const QDateTime ahora = Now();
    const QTime hora = ahora.time();
    return QDateTime(ahora.date(), QTime(hora.hour(), hora.minute(), hora.second()));
}

bool ExisteCuenta(QString& Codigo, AdoRecordset* Registro, bool SoloLectura, bool& OpcionalPrimero)
{
    AdoRecordset propio;
    AdoRecordset& registro = Registro ? *Registro : propio;
    const QString codigo = QStringLiteral("Codigo");
    const QString opcional = QStringLiteral("CodigoOpcional");

    if (abreCuenta(registro, OpcionalPrimero ? opcional : codigo, Codigo, SoloLectura)) {
        Codigo = codigoDe(registro);
        return true;
    }
    if (OpcionalPrimero)
        return abreCuenta(registro, codigo, Codigo, SoloLectura);
    if (!abreCuenta(registro, opcional, Codigo, SoloLectura))
        return false;
    OpcionalPrimero = true;
    Codigo = codigoDe(registro);
    return true;
}
