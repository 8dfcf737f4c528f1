// rp_voucher buffer: fills the voucher print buffer for this workstation (or the one named) and
// shows what was written.

#include <QElapsedTimer>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"
#include "services/VariablesInicio.h"
#include "tools/SesionVoucher.h"
#include "tools/SubcomandosVoucher.h"
#include "vouchers/AuxiliarComprobantes.h"

const char* const kUsoBuffer
    = "buffer --db ARCHIVO.db --tc TC --id ID [--hasta ID] [--ids 1,2] [--comprobantes LISTA] "
      "[--tarea ID] [--no-borrar] [--equipo EQUIPO --usuario USUARIO] [--filas] [--tiempo]";

using ConsultasDatos::literal;

namespace {

QString escalar(const QString& sql)
{
    AdoRecordset rs;
    gDB().AbrirRecordset(sql, rs);
    const QString valor = rs.Eof() ? QString() : gUtilidades().ValorCampo(rs.Fields(0).Value());
    gDB().CierraRecordset(rs);
    return valor;
}

QString ultimoIdDelPuesto()
{
    const QString id = escalar(QStringLiteral("SELECT MAX(ID) FROM AUX_MV_CPTE WHERE USUARIO = ")
        + literal(ClaveEstacion()));
    return id.isEmpty() ? QStringLiteral("0") : id;
}

} // namespace

int subcomandoBuffer(const QStringList& argumentos, QTextStream& salida, QTextStream& errores)
{
    const OpcionesVoucher o = leeOpciones(argumentos,
        { "--db", "--tc", "--id", "--hasta", "--ids", "--comprobantes", "--tarea", "--equipo",
            "--usuario" },
        { "--no-borrar", "--filas", "--tiempo" });
    if (!o.error.isEmpty() || !o.tiene("--db") || !o.tiene("--tc"))
        return usoSubcomando(errores, o.error, kUsoBuffer);

    int fallaSesion = 2;
    const auto sesion = abreSesion(o, errores, fallaSesion);
    if (!sesion)
        return fallaSesion;
    return bufferEnSesion(o, salida, errores);
}

int bufferEnSesion(const OpcionesVoucher& o, QTextStream& salida, QTextStream& errores)
{
    QString tc = o.valor("--tc");
    if (tc.compare(QLatin1String("todo"), Qt::CaseInsensitive) != 0
        && !gDB().ExisteEnTabla(QStringLiteral("V_TA_CPTE"), gUtilidades().FormateaCodigo(tc, 4))) {
        errores << "Tipo de comprobante desconocido: " << tc << "\n";
        return 2;
    }

    const QString desde = o.valor("--id");
    const QString hasta = o.valor("--hasta");
    // A run that deletes first leaves only its own rows; one that keeps them adds after them.
    const QString ultimoId = o.bandera("--no-borrar") ? ultimoIdDelPuesto() : QStringLiteral("0");

    QElapsedTimer reloj;
    reloj.start();
    ResultadoAuxiliar r;
    // Each step traps its own failures; one that escapes them (a failure of the file while a
    // step closes what it opened) ends the run with its reason, never aborts it.
    try {
        r = GeneraAuxiliarComprobantes(tc, desde.mid(0, 4), desde.mid(4, 8), desde.mid(12),
            QStringLiteral("0"), 3, hasta.mid(0, 4), hasta.mid(4, 8), hasta.mid(12),
            QStringLiteral("0"), o.valor("--ids"), o.valor("--comprobantes"), o.valor("--tarea"),
            o.bandera("--no-borrar"));
    } catch (const RuntimeError& error) {
        errores << "Omitido en " << tc.trimmed() << " " << desde.trimmed() << ": "
                << error.description() << "\n";
        return 1;
    }
    const qint64 ms = reloj.elapsed();

    if (r.rechazada()) {
        errores << r.error << "\n";
        return 2;
    }
    if (r.comprobantes == 0 && r.omitidas.isEmpty()) {
        errores << "No se encontró el comprobante " << tc << " " << desde
                << (hasta.isEmpty() ? QString() : QStringLiteral(" a ") + hasta) << "\n";
        return 2;
    }
    // The rows this run wrote (after the workstation's rows before a run that keeps them),
    // every column in table order.
    const int filas = muestraFilas(QStringLiteral("SELECT * FROM AUX_MV_CPTE WHERE USUARIO = ")
            + literal(ClaveEstacion()) + QStringLiteral(" AND ID > ") + ultimoId
            + QStringLiteral(" ORDER BY ID"),
        o.bandera("--filas"), salida);
    if (o.bandera("--tiempo"))
        errores << "Tiempo: " << ms << " ms, " << r.comprobantes << " comprobantes, " << filas
                << " filas\n";
    // Each skipped step is told with the vouchers of the run, as the print names its voucher.
    const QString seleccion = tc.trimmed() + u' ' + desde.trimmed()
        + (hasta.isEmpty() ? QString() : QStringLiteral(" a ") + hasta.trimmed());
    for (const QString& omitida : r.omitidas)
        errores << "Omitido en " << seleccion << ": " << omitida << "\n";
    return r.omitidas.isEmpty() ? 0 : 1;
}
