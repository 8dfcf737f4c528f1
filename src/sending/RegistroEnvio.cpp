#include "sending/RegistroEnvio.h"

#include "data/ConsultasDatos.h"
#include "data/DB_Dll.h"
#include "data/DataObjects.h"
#include "platform/AdoField.h"
#include "platform/AdoRecordset.h"
#include "sending/BloqueoBase.h"
#include "services/FechaServidor.h"
#include "services/ManejoErrores.h"

namespace RegistroEnvio {

namespace {

// Every send keeps its row: a text longer than its column (a subject of a thousand characters)
// is stored cut rather than refused.
Value cabe(const AdoField& campo, const Value& valor)
{
    const qint64 largo = campo.DefinedSize();
    if (!valor.isText() || largo <= 0 || valor.toString().size() <= largo)
        return valor;
    return Value(valor.toString().left(largo));
}

} // namespace

bool graba(const Fila& fila, QString* motivo)
{
    BloqueoBase bloqueo;
    Steps pasos = bloqueo.pasos(QStringLiteral("RegistrarEnvio"));
    AdoRecordset rs;
    const auto pon = [&](const char* campo, const Value& valor) {
        return pasos.run([&] {
            AdoField& f = rs.Fields(QString::fromLatin1(campo));
            f.setValue(cabe(f, valor));
        });
    };
    const auto ok = [&](bool hecho) {
        if (!hecho)
            throw rs.LastError();
    };
    const bool guardado = pasos.run([&] {
        gDB().AbrirRecordset(QStringLiteral("select top 1 * from v_ma_emailmov"), rs, nullptr,
            adOpenDynamic, adLockOptimistic, -1);
    }) && pasos.run([&] { ok(rs.AddNew()); })
        && pon("De", fila.De) && pon("Para", fila.Para) && pon("Asunto", fila.Asunto)
        && pon("Mensaje", fila.Mensaje) && pon("Adjunto", fila.Adjunto)
        && pon("CodigoActivador", fila.CodigoActivador) && pon("FechaHora", FechaServidor())
        && pon("Usuario", fila.Usuario) && pon("TC", fila.TC)
        && pon("IdComprobante", fila.IdComprobante) && pon("Status", fila.Status)
        && pon("Cuenta", fila.Cuenta) && pon("CuentaEmail", fila.CuentaEmail)
        && pon("Tipo", QStringLiteral("E")) && pasos.run([&] { ok(rs.Update()); });
    if (rs.EditMode() != adEditNone)
        rs.CancelUpdate();
    gDB().CierraRecordset(rs);
    if (!guardado && motivo) {
        *motivo = bloqueo.mensaje();
        if (motivo->isEmpty() && pasos.lastError())
            *motivo = pasos.lastError()->description();
    }
    return guardado;
}

void ActualizaContestado(const QString& Usuario, const QString& UIDL)
{
    if (UIDL.trimmed().isEmpty())
        return;
    using ConsultasDatos::literal;
    gDB().EjecutaConsultaSQL(QStringLiteral("Update V_MA_EMAILMOV set STATUS='HTML',contestadopor=")
        + literal(Usuario.trimmed()) + QStringLiteral(" where uidl=") + literal(UIDL));
}

} // namespace RegistroEnvio
