// rp_voucher print: fills the print buffer of one voucher and prints it as the program does;
// with --hasta every voucher of the type up to that one, one after another in the same run.
// rp_voucher asiento: prints one accounting entry.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "data/DB_Dll.h"
#include "platform/AdoRecordset.h"
#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"
#include "receipts/ImprimeAsiento.h"
#include "reports/DLL_Print.h"
#include "tools/ImpresionEnConsola.h"
#include "tools/SesionVoucher.h"
#include "tools/SubcomandosVoucher.h"
#include "vouchers/AuxiliarComprobantes.h"
#include "vouchers/ImprimirComprobante.h"

const char* const kUsoPrint
    = "print --db ARCHIVO.db --tc TC --id ID [--hasta ID] [--formulario Todos|ARCHIVO] "
      "[--una-copia] [--fecha FECHA] [--destino pantalla|impresora] [--pdf CARPETA] "
      "[--sin-buffer] [--equipo EQUIPO --usuario USUARIO] [--tiempo]";

const char* const kUsoAsiento
    = "asiento --db ARCHIVO.db --tc TC --id ID --mes MES --numero NUMERO --periodo PERIODO "
      "[--cc] [--80mm] --pdf CARPETA";

using ConsultasDatos::literal;

namespace {

bool hayFila(const QString& sql)
{
    AdoRecordset rs;
    gDB().AbrirRecordset(sql, rs);
    const bool hay = !rs.Eof();
    gDB().CierraRecordset(rs);
    return hay;
}

// The types the print knows besides those of the type table.
const QStringList kTiposPropios { QStringLiteral("PEC"), QStringLiteral("PECO"),
    QStringLiteral("PEBA"), QStringLiteral("PEBR"), QStringLiteral("T3"), QStringLiteral("LQ"),
    QStringLiteral("AutOt"), QStringLiteral("NCPE"), QStringLiteral("RN"), QStringLiteral("STK5"),
    QStringLiteral("STK7") };

// The type a print's voucher is stored under: the kitchen and bar prints of an order (PEC,
// PECO, PEBA, PEBR) print the stored "PE", the third-party, settlement and authorisation prints
// (T3, LQ, AutOt) the stored work order "OT". Their forms read the buffer under that type.
QString tipoGuardado(const QString& tc)
{
    if (tc.size() > 2 && tc.startsWith(QLatin1String("PE"), Qt::CaseInsensitive)
        && kTiposPropios.contains(tc, Qt::CaseInsensitive))
        return QStringLiteral("PE");
    for (const char* deOrden : { "T3", "LQ", "AutOt" })
        if (tc.compare(QLatin1String(deOrden), Qt::CaseInsensitive) == 0)
            return QStringLiteral("OT");
    return tc;
}

// Where a voucher of the type is stored: sales and treasury headers, purchases, stock, entries.
bool existeComprobante(const QString& tc, const QString& id)
{
    const QString t = literal(tc);
    const QString i = literal(id);
    return hayFila(QStringLiteral("SELECT 1 FROM V_MV_CPTE WHERE TC = %1 AND IDCOMPROBANTE = %2")
                       .arg(t, i))
        || hayFila(QStringLiteral("SELECT 1 FROM C_MV_CPTE WHERE TC = %1 AND IDCOMPROBANTE = %2")
                       .arg(t, i))
        || hayFila(QStringLiteral("SELECT 1 FROM V_MV_STOCK WHERE TC = %1 AND IDCOMPROBANTE = %2")
                       .arg(t, i))
        || hayFila(QStringLiteral("SELECT 1 FROM MV_ASIENTOS WHERE TC = %1 AND SUCURSAL = %2 AND "
                                  "NUMERO = %3 AND LETRA = %4")
                       .arg(t, literal(id.left(4)), literal(id.mid(4, 8)), literal(id.mid(12, 1))));
}

// The vouchers of the type from `desde` to `hasta`, in order (a run of many prints).
QStringList comprobantesEntre(const QString& tc, const QString& desde, const QString& hasta)
{
    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("SELECT IDCOMPROBANTE FROM V_MV_CPTE WHERE TC = %1 AND "
                                        "IDCOMPROBANTE >= %2 AND IDCOMPROBANTE <= %3 "
                                        "ORDER BY IDCOMPROBANTE")
                             .arg(literal(tc), literal(desde), literal(hasta)),
        rs);
    QStringList ids;
    for (; !rs.Eof(); rs.MoveNext())
        ids.append(gUtilidades().ValorCampo(rs.Fields(0).Value()).trimmed());
    gDB().CierraRecordset(rs);
    return ids;
}

// The process's resident memory and its peak, in kB ("VmRSS", "VmHWM" of /proc/self/status).
QString memoria()
{
    QFile estado(QStringLiteral("/proc/self/status"));
    if (!estado.open(QIODevice::ReadOnly))
        return QString();
    QStringList partes;
    for (const QByteArray& linea : estado.readAll().split('\n'))
        if (linea.startsWith("VmRSS:") || linea.startsWith("VmHWM:"))
            partes.append(QString::fromLatin1(linea.simplified()));
    return partes.join(QStringLiteral(", "));
}

} // namespace

namespace {

int imprime(const OpcionesVoucher& o, QTextStream& errores, QString& enCurso);

} // namespace

int subcomandoPrint(const QStringList& argumentos, QTextStream&, QTextStream& errores)
{
    const OpcionesVoucher o = leeOpciones(argumentos,
        { "--db", "--tc", "--id", "--hasta", "--formulario", "--fecha", "--destino", "--pdf",
            "--equipo", "--usuario" },
        { "--una-copia", "--sin-buffer", "--tiempo" });
    if (!o.error.isEmpty() || !o.tiene("--db") || !o.tiene("--tc") || !o.tiene("--id"))
        return usoSubcomando(errores, o.error, kUsoPrint);
    const QString destinoPedido = o.valor("--destino").toLower();
    if (!destinoPedido.isEmpty() && destinoPedido != QLatin1String("pantalla")
        && destinoPedido != QLatin1String("impresora"))
        return usoSubcomando(errores,
            QStringLiteral("Destino desconocido: %1").arg(o.valor("--destino")), kUsoPrint);

    // Numbers are ordered as their text (point of sale, number, letter): a range that ends
    // before it starts holds no voucher.
    if (o.tiene("--hasta") && o.valor("--hasta").trimmed() < o.valor("--id").trimmed()) {
        errores << "El comprobante final (--hasta " << o.valor("--hasta").trimmed()
                << ") es anterior al inicial (--id " << o.valor("--id").trimmed() << ")\n";
        return 2;
    }
    int fallaSesion = 2;
    const auto sesion = abreSesion(o, errores, fallaSesion);
    if (!sesion)
        return fallaSesion;
    return printEnSesion(o, errores);
}

int printEnSesion(const OpcionesVoucher& o, QTextStream& errores)
{
    // Each step of a print traps its own failures; one that escapes them (a table the print
    // reads that is not there) is told naming the voucher it stopped, never left to abort.
    QString enCurso = o.valor("--id").trimmed();
    try {
        return imprime(o, errores, enCurso);
    } catch (const RuntimeError& error) {
        avisaNoImpreso(errores, o.valor("--tc").trimmed(), enCurso, error.description());
        return 1;
    }
}

namespace {

int imprime(const OpcionesVoucher& o, QTextStream& errores, QString& enCurso)
{
    const QString destinoPedido = o.valor("--destino").toLower();
    const QString tc = o.valor("--tc").trimmed();
    const QString id = o.valor("--id").trimmed();
    const bool contable = hayFila(
        QStringLiteral("SELECT 1 FROM V_TA_CPTE WHERE Codigo = %1 AND SISTEMA = 'CONTABLE'")
            .arg(literal(tc)));
    if (!contable && !kTiposPropios.contains(tc, Qt::CaseInsensitive)
        && !hayFila(QStringLiteral("SELECT 1 FROM V_TA_CPTE WHERE Codigo = %1").arg(literal(tc)))) {
        errores << "Tipo de comprobante desconocido: " << tc << "\n";
        return 2;
    }
    const QString guardado = tipoGuardado(tc);
    if (!existeComprobante(guardado, id)) {
        errores << "No se encontró el comprobante " << tc << " " << id << "\n";
        return 2;
    }
    if (contable && o.valor("--fecha").trimmed().isEmpty()) {
        errores << "Falta --fecha: los comprobantes contables imprimen los asientos de su fecha\n";
        return 2;
    }

    ImpresionEnConsola impresion(o.valor("--pdf"));
    if (!impresion.listo()) {
        errores << "No se puede crear la carpeta " << o.valor("--pdf") << "\n";
        return 2;
    }
    const QStringList ids = o.tiene("--hasta") && !contable
        ? comprobantesEntre(guardado, id, o.valor("--hasta").trimmed())
        : QStringList { id };
    QElapsedTimer reloj;
    reloj.start();
    QString memoriaPrimero;
    QStringList sinDatos;
    QStringList incompletos;
    // A run's captured files are drawn while the next voucher is filled and laid out; a file
    // that could not be written is told once its writer is done, naming its voucher.
    const bool enParalelo = ids.size() > 1 && o.tiene("--pdf");
    const auto cuentaFallidas = [&](bool todas) {
        for (const QString& falla : impresion.capturasFallidas(todas))
            errores << "No se pudo guardar el comprobante " << falla << "\n";
    };
    for (const QString& actual : ids) {
        enCurso = actual;
        if (enParalelo)
            impresion.capturaEnParalelo(tc + u' ' + actual);
        if (!o.bandera("--sin-buffer") && !contable) {
            QString tipo = guardado;
            const ResultadoAuxiliar r = GeneraAuxiliarComprobantes(tipo, actual.left(4),
                actual.mid(4, 8), actual.mid(12, 1), QStringLiteral("0"), 3, QString(), QString(),
                QString(), QString(), QString(), QString(), QString(), false);
            if (r.rechazada()) {
                errores << r.error << "\n";
                if (enParalelo)
                    cuentaFallidas(true);
                return 2;
            }
            // A voucher whose rows were not all written would print wrong: it is named with
            // what failed and left without a file.
            if (!r.omitidas.isEmpty()) {
                for (const QString& omitida : r.omitidas)
                    avisaNoImpreso(errores, tc, actual, omitida);
                incompletos.append(actual);
                continue;
            }
        }
        int destino = destinoPedido.isEmpty()            ? -1
            : destinoPedido == QLatin1String("pantalla") ? DLL_Print::DestinoPantalla
                                                         : DLL_Print::DestinoImpresora;
        QString reporte = tc;
        QStringList orden { QString() };
        QString seleccion;
        QString formulario
            = o.tiene("--formulario") ? o.valor("--formulario") : QStringLiteral("Todos");
        bool esContable = false;
        const int impresionesAntes = impresion.impresionesHechas();
        const qint64 registrosAntes = impresion.registrosImpresos();
        const int fallasAntes = impresion.fallas();
        const int faltantesAntes = ImpresionCpte::FormulariosNoEncontrados();
        const qsizetype invalidosAntes = ImpresionCpte::DatosInvalidos().size();
        ImpresionCpte::ImprimirComprobante(tc, actual, QStringLiteral("0"), reporte, orden,
            seleccion, {}, destino, false, o.valor("--fecha"), formulario, esContable,
            o.bandera("--una-copia"));
        // The orders' kitchen and bar prints go to the ticket printers, which tell their own
        // failures; any other voucher printed nothing when no report ran (a stock type's id
        // without stock movement) or the report read nothing. A print that failed was told as
        // such.
        const bool corrioReporte = impresion.impresionesHechas() > impresionesAntes;
        // A figure of the voucher's data it could not read stopped the print.
        const QStringList invalidos = ImpresionCpte::DatosInvalidos().mid(invalidosAntes);
        if (!invalidos.isEmpty()) {
            for (const QString& invalido : invalidos)
                avisaNoImpreso(errores, tc, actual, invalido);
            incompletos.append(actual);
            continue;
        }
        if (impresion.fallas() > fallasAntes)
            avisaNoImpreso(errores, tc, actual, impresion.ultimaFalla());
        else if (ImpresionCpte::FormulariosNoEncontrados() > faltantesAntes) {
            avisaNoImpreso(errores, tc, actual, QStringLiteral("no se encuentra el formulario"));
            incompletos.append(actual);
            continue;
        }
        if (impresion.fallas() == fallasAntes
            && (corrioReporte ? impresion.registrosImpresos() == registrosAntes : guardado != "PE"))
            sinDatos.append(actual);
        if (memoriaPrimero.isEmpty())
            memoriaPrimero = memoria();
        if (enParalelo)
            cuentaFallidas(false);
    }
    if (enParalelo)
        cuentaFallidas(true);
    if (o.bandera("--tiempo"))
        errores << "Tiempo: " << reloj.elapsed() << " ms, " << ids.size()
                << " comprobantes; memoria tras el primero: " << memoriaPrimero
                << "; al final: " << memoria() << "\n";
    impresion.esperaVistasPrevias();
    for (const QString& vacio : std::as_const(sinDatos))
        avisaNoImpreso(
            errores, tc, vacio, QStringLiteral("no hay datos para los criterios elegidos"));
    return sinDatos.isEmpty() && incompletos.isEmpty() && impresion.fallas() == 0 ? 0 : 1;
}

} // namespace

int subcomandoAsiento(const QStringList& argumentos, QTextStream&, QTextStream& errores)
{
    const OpcionesVoucher o = leeOpciones(argumentos,
        { "--db", "--tc", "--id", "--mes", "--numero", "--periodo", "--pdf", "--equipo",
            "--usuario" },
        { "--cc", "--80mm" });
    if (!o.error.isEmpty() || !o.tiene("--db") || !o.tiene("--tc") || !o.tiene("--id")
        || !o.tiene("--pdf"))
        return usoSubcomando(errores, o.error, kUsoAsiento);
    int fallaSesion = 2;
    const auto sesion = abreSesion(o, errores, fallaSesion);
    if (!sesion)
        return fallaSesion;
    ImpresionEnConsola impresion(o.valor("--pdf"));
    if (!impresion.listo()) {
        errores << "No se puede crear la carpeta " << o.valor("--pdf") << "\n";
        return 2;
    }
    const QString id = o.valor("--id").trimmed();
    try {
        ImpresionAsientos::ImprimeAsiento(o.valor("--tc"), id.left(4), id.mid(4, 8), id.mid(12, 1),
            o.valor("--mes"), o.valor("--numero"), o.valor("--periodo"), o.bandera("--cc"), true,
            o.bandera("--80mm"));
    } catch (const RuntimeError& error) {
        avisaNoImpreso(errores, o.valor("--tc"), id, error.description());
        return 1;
    }
    if (impresion.fallas() == 0)
        return 0;
    avisaNoImpreso(errores, o.valor("--tc"), id, impresion.ultimaFalla());
    return 1;
}
