#include "services/RegistrosAccion.h"

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Clock.h"
#include "platform/Entorno.h"
#include "platform/Environment.h"
#include "platform/EsperasBloqueo.h"
#include "platform/MessageDialog.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "services/ConstructorSentencias.h"
#include "services/FechaServidor.h"
#include "services/Formatos.h"
#include "services/Globales.h"
#include "services/ManejoErrores.h"
#include "services/VariablesInicio.h"

namespace {

constexpr int DuplicateKey = 2627;
constexpr int ReferenceConflict = 547;

using ConsultasDatos::literal;

// An ISO 8601 literal: read the same by every server whatever its date format.
QString literalFecha(const QDateTime& momento)
{
    return u'\'' + momento.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")) + u'\'';
}

} // namespace

void RegistraAccionCpte(const QString& TC, const QString& IdComprobante, QString& IdComplemento,
    bool Alta, bool Modificacion, bool, const QString& Texto, const QString& Cuenta, bool Error)
{
    if (IdComplemento.isEmpty())
        IdComplemento = QStringLiteral("0");
    const Utilidades& u = gUtilidades();
    Globales& g = gGlobales();
    Steps pasos = Steps::silent();

    QString accion = QStringLiteral("'B'");
    if (Error)
        accion = QStringLiteral("'ER'");
    else if (Alta)
        accion = QStringLiteral("'A'");
    else if (Modificacion)
        accion = QStringLiteral("'M'");

    QDateTime fecha;
    pasos.run([&] { fecha = FechaServidor(); });
    // The complement is a number and goes in unquoted; anything else is kept as text.
    bool esNumero = false;
    IdComplemento.trimmed().toLongLong(&esNumero);
    const QString complemento = esNumero ? IdComplemento.trimmed() : literal(IdComplemento);

    g.gCamposValores = QList<ConstructorSentencias::CampoValor> {
        { QStringLiteral("TC"), literal(u.FormateaCodigo(TC.trimmed(), 4)) },
        { QStringLiteral("IdComprobante"), literal(IdComprobante) },
        { QStringLiteral("IdComplemento"), complemento },
        { QStringLiteral("Tipo_accion"), accion },
        { QStringLiteral("FECHAHORA"), literalFecha(fecha) },
        { QStringLiteral("Usuario"), literal(gInicio().gUsuarioLogeado) },
        { QStringLiteral("PC"), literal(gEntorno().NombrePC()) },
        { QStringLiteral("SYSTEMUSER"), literal(u.RellenaDerecha(Texto, 255).trimmed()) },
        { QStringLiteral("Proceso"),
            literal(u.RellenaDerecha(
                executableName().trimmed() + u' ' + gInicio().gParametroAdicional, 255)) },
        { QStringLiteral("ProcesoLote"),
            literal(u.RellenaDerecha(g.gProcesoLote.trimmed(), 25).trimmed()) },
        { QStringLiteral("Cuenta"), literal(u.RellenaDerecha(Cuenta.trimmed(), 15).trimmed()) },
    };
    QString sql = QStringLiteral(" INSERT INTO V_MV_CPTEACCIONES ");
    if (!pasos.run([&] { ConstructorSentencias::ArmaListaValores(sql, g.gCamposValores, true); }))
        return;
    pasos.run([&] { gDB().EjecutaConsultaSQL(sql); });
}

void RegistraErrorAux(
    const QString& Sql, QString& Proceso, qint32 NumeroError, const QString& Descripcion)
{
    if (Proceso.isEmpty())
        Proceso = executableName();
    Steps pasos = Steps::silent();
    AdoRecordset registro;
    pasos.run([&] {
        gDB().AbrirRecordset(QStringLiteral("select  top 1 * from AUX_ERR  with(nolock) "),
            registro, nullptr, adOpenDynamic, adLockOptimistic, -1, true);
    });
    pasos.run([&] { registro.AddNew(); });
    const auto asigna = [&](const char* campo, const Value& valor) {
        pasos.run([&] { registro.Fields(QString::fromLatin1(campo)).setValue(valor); });
    };
    asigna("Proceso", Proceso);
    // The suite's other programs read the error moment as the text "dd/mm/yy hh:mm".
    asigna("fecha", FormateaMomento(Now(), FmtFechaHora()));
    asigna("Error", NumeroError);
    asigna("Descripcion", gUtilidades().RellenaDerecha(Descripcion, 250));
    asigna("Sql", Sql);
    asigna("PC", gEntorno().NombrePC());
    asigna("Usuario", gInicio().gUsuarioLogeado);
    pasos.run([&] { registro.Update(); });
    pasos.run([&] { gDB().CierraRecordset(registro); });
}

void GActualizarDatoScript(const QStringList& Sentencias, bool& HayError, qint32& NumeroError,
    bool ToleraDuplicado, bool ToleraRestriccion, QString& Script, QString& Descripcion,
    bool MostrarMensaje)
{
    const QChar cr = u'\r';
    const QString crlf = QStringLiteral("\r\n");
    HayError = false;
    QString lote;
    for (const QString& sentencia : Sentencias) {
        if (!sentencia.trimmed().isEmpty())
            lote += cr + sentencia;
    }
    if (lote.isEmpty())
        return;
    lote = QStringLiteral("BEGIN TRANSACTION ") + cr + cr + lote + cr;
    Script = lote;

    // The batch reports through the connection's errors, read right after it; what the runner
    // raises on its own changes nothing here.
    const EsperasBloqueo esperas(gDB().gCnn());
    try {
        QString enviado = lote;
        gDB().EjecutaConsultaSQL(enviado);
    } catch (const RuntimeError&) {
    }

    Steps pasos = reportAs(QStringLiteral("GActualizarDatoScript"));
    qint32 numero = 0;
    QString detalle;
    bool bloqueada = false;
    if (!pasos.run([&] {
            AdoErrors& errores = gDB().gCnn().Errors();
            if (errores.Count() == 0)
                return;
            numero = errores.Item(0).NativeError();
            HayError = true;
            // A server's error leads with its number; an embedded file's has none (0), and its
            // sentence stands alone.
            const auto linea = [&](int i) {
                const qint32 nativo = errores.Item(i).NativeError();
                return (nativo == 0 ? QString() : QString::number(nativo) + QStringLiteral(" : "))
                    + errores.Item(i).Description() + crlf;
            };
            // The server's last entry only says that the statement was ended: not listed.
            const int listados = errores.Count() == 1 ? 1 : errores.Count() - 1;
            for (int i = 0; i < listados; ++i)
                detalle += linea(i);
            Descripcion = detalle;
            // A database another process holds: its own words, and nothing more is written
            // (the error row would wait as long again).
            if (esperas.hubo()) {
                bloqueada = true;
                detalle = esperas.mensaje();
                Descripcion = detalle;
            }
            if ((ToleraDuplicado && numero == DuplicateKey)
                || (ToleraRestriccion && numero == ReferenceConflict)) {
                Descripcion = errores.Item(0).Description();
                detalle.clear();
            }
            errores.Clear();
        }))
        return;

    if (HayError) {
        try {
            gDB().EjecutaConsultaSQL(QStringLiteral("ROLLBACK TRANSACTION"));
        } catch (const RuntimeError&) {
        }
        if (!bloqueada && !pasos.run([&] {
                QString proceso = executableName();
                RegistraErrorAux(lote, proceso, numero, detalle);
            }))
            return;
        if (!pasos.run([&] {
                if (!detalle.trimmed().isEmpty() && MostrarMensaje)
                    MsgBox(
                        detalle, Msg::Critical + Msg::OkOnly, QStringLiteral("Aviso al Operador!"));
            }))
            return;
    } else if (!pasos.run(
                   [&] { gDB().EjecutaConsultaSQL(QStringLiteral("COMMIT TRANSACTION")); })) {
        return;
    }
    NumeroError = numero;
}
