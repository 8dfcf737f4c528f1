// The data object's existence and lookup queries.

#include "data/DB_Dll.h"

#include <optional>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/LeadingNumber.h"
#include "platform/MessageDialog.h"
#include "platform/Utilidades.h"

namespace {

constexpr auto CI = Qt::CaseInsensitive;

void abre(AdoRecordset& rs, const QString& sql, AdoConnection& cnn, int cursor = adOpenForwardOnly,
    int lock = adLockReadOnly)
{
    if (!rs.Open(sql, &cnn, cursor, lock, -1))
        throw rs.LastError();
}

void cierra(AdoRecordset& rs)
{
    if (rs.State() != adStateClosed && !rs.Close())
        throw rs.LastError();
}

QString valorCampo(AdoRecordset& rs, const QString& campo)
{
    return gUtilidades().ValorCampo(rs.Fields(campo).Value());
}

// The aggregate of the first row as the maximum and minimum queries answer it: Empty without a
// row, else the text or (the usual case) its leading number.
Value agregado(AdoRecordset& rs, const QString& campo, bool comoTexto)
{
    if (rs.Bof())
        return Value();
    const QString texto = valorCampo(rs, campo);
    return comoTexto ? Value(texto) : Value(leadingNumber(texto));
}

// Runs an existence statement: on the caller's recordset, left open on the row found (its own
// cursor and lock types unless read-only is asked for), or on one of its own, closed afterwards.
bool encuentraFila(
    Steps& pasos, const QString& sql, AdoConnection& cnn, AdoRecordset* LRCS, bool SoloLectura)
{
    bool existe = false;
    if (LRCS) {
        if (!pasos.run([&] { cierra(*LRCS); }))
            return existe;
        if (!pasos.run([&] {
                if (SoloLectura)
                    abre(*LRCS, sql, cnn);
                else
                    abre(*LRCS, sql, cnn, LRCS->CursorType(), LRCS->LockType());
            }))
            return existe;
        pasos.run([&] { existe = !LRCS->Bof(); });
        return existe;
    }

    AdoRecordset rs;
    if (!pasos.run([&] { abre(rs, sql, cnn); }))
        return existe;
    if (!pasos.run([&] { existe = !rs.Bof(); }))
        return existe;
    pasos.run([&] { cierra(rs); });
    return existe;
}

} // namespace

Steps::Reporter DB_Dll::reporteConsulta(int& attempts, bool askAtOnce)
{
    return [this, &attempts, askAtOnce](const RuntimeError& error) {
        // The link is judged on the main connection, whichever object runs the query.
        const AdoErrors& errors = gDB().gCnn().Errors();
        if (errors.Count() > 0
            && errors.Item(0).NativeError() == SqlNativeError::GeneralNetworkError
            && reconnectAndRetry(attempts, askAtOnce))
            return int(Msg::Retry);
        return MsgBox(error.description(), Msg::AbortRetryIgnore + Msg::Critical,
            QStringLiteral("Aviso al Operador"));
    };
}

bool DB_Dll::ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
    AdoRecordset* LRCS, const Value& Tipodato, const QString& Condicion, bool SoloLectura)
{
    int attempts = 0;
    Steps pasos(reporteConsulta(attempts, true));
    QString sql;
    // The caller's recordset gets the Oracle form too: the statement is written for SQL Server.
    if (!pasos.run([&] {
            sql = ORACLE_Dicc(SS_TSinonimos(
                ConsultasDatos::existeEnTabla(Tabla, ValorBuscado, Campo, Tipodato, Condicion)));
        }))
        return false;
    return encuentraFila(pasos, sql, gCnn(), LRCS, SoloLectura);
}

bool DB_Dll::ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado,
    const QString& Campo, AdoRecordset* LRCS, const Value& Tipodato, const QString& Condicion,
    bool SoloLectura)
{
    int attempts = 0;
    Steps pasos(reporteConsulta(attempts, true));
    // Sent as built, and always on the main connection.
    const QString sql
        = ConsultasDatos::existeEnTablaST(Tabla, ValorBuscado, Campo, Tipodato, Condicion);
    return encuentraFila(pasos, sql, gDB().gCnn(), LRCS, SoloLectura);
}

Value DB_Dll::DatosTabla(const QString& Tabla, const QString& ValorBuscado,
    const QString& CampoDevuelto, const QString& Campo, const Value& Tipodato,
    const QString& Condicion, bool UsaTrim, bool IgnoraError)
{
    Value dato;
    int attempts = 0;
    const Steps::Reporter reporte = reporteConsulta(attempts, false);
    Steps pasos([&](const RuntimeError& error) {
        if (IgnoraError) {
            dato = Value(QString());
            return int(Msg::Abort);
        }
        return reporte(error);
    });

    QString sql;
    AdoRecordset rs;
    if (!pasos.run([&] {
            sql = ConsultasDatos::datosTabla(
                Tabla, ValorBuscado, Campo, Tipodato, Condicion, UsaTrim);
        }))
        return dato;
    if (!pasos.run(
            [&] { AbrirRecordset(sql, rs, nullptr, adOpenForwardOnly, adLockReadOnly, -1, true); }))
        return dato;
    if (!gOpenFlag)
        return Value();
    if (!pasos.run([&] {
            dato = Value(rs.Bof() || rs.Eof() ? QString() : valorCampo(rs, CampoDevuelto));
        }))
        return dato;
    pasos.run([&] { cierra(rs); });
    return dato;
}

Value DB_Dll::BuscaMaximo(
    const QString& QueTabla, const QString& QueCampo, const Value& Tipo, QString* Condicion)
{
    const bool comoTexto = ConsultasDatos::tipoClave(Tipo) == ConsultasDatos::TipoClave::Fecha;
    std::optional<QString> propia;
    const QString* condicion = Condicion;
    bool sinCeros = false;
    for (;;) {
        AdoRecordset rs;
        abre(rs, ConsultasDatos::buscaMaximo(QueTabla, QueCampo, condicion), gCnn());
        if (rs.Bof())
            return Value();
        // Article codes written with leading zeros sort above every other code; the highest
        // "real" code is read once more without them. Once is enough: the filter leaves no code
        // starting with "0" behind.
        if (!sinCeros && QueTabla.compare(QLatin1String("V_MA_ARTICULOS"), CI) == 0
            && valorCampo(rs, QStringLiteral("MAYOR")).trimmed().startsWith(u'0')) {
            const QString filtro = ConsultasDatos::filtroArticulosSinCero(condicion);
            if (Condicion) {
                *Condicion = filtro;
            } else {
                propia = filtro;
                condicion = &*propia;
            }
            sinCeros = true;
            cierra(rs);
            continue;
        }
        return agregado(rs, QStringLiteral("MAYOR"), comoTexto);
    }
}

Value DB_Dll::BuscaMinimo(
    const QString& QueTabla, const QString& QueCampo, const Value& Tipo, const QString* Condicion)
{
    Q_UNUSED(Tipo);
    AdoRecordset rs;
    abre(rs, ConsultasDatos::buscaMinimo(QueTabla, QueCampo, Condicion), gCnn());
    const Value menor = agregado(rs, QStringLiteral("MENOR"), false);
    cierra(rs);
    return menor;
}

Value DB_Dll::BuscaUltimoCodigo(
    const QString& QueTabla, const QString& QueCampo, const Value& Tipo, const QString& Condicion)
{
    Q_UNUSED(Tipo);
    AdoRecordset rs;
    abre(rs, ConsultasDatos::buscaUltimoCodigo(QueTabla, QueCampo, Condicion), gCnn());
    const Value mayor = agregado(rs, QStringLiteral("MAYOR"), false);
    cierra(rs);
    return mayor;
}
