// rp_voucher ticket: prints an order's kitchen, bar or plain ticket on this workstation's ticket
// printer, as the voucher print does for the order types.

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "tools/SesionVoucher.h"
#include "tools/SubcomandosVoucher.h"
#include "vouchers/ModImprimeEnComandera.h"

const char* const kUsoTicket
    = "ticket --db ARCHIVO.db --tc TC --id ID [--cocina|--barra] [--impresora NOMBRE] "
      "[--equipo EQUIPO --usuario USUARIO]";

int subcomandoTicket(const QStringList& argumentos, QTextStream&, QTextStream& errores)
{
    const OpcionesVoucher o = leeOpciones(argumentos,
        { "--db", "--tc", "--id", "--impresora", "--equipo", "--usuario" },
        { "--cocina", "--barra" });
    const bool cocina = o.bandera("--cocina");
    const bool barra = o.bandera("--barra");
    if (!o.error.isEmpty() || !o.tiene("--db") || !o.tiene("--tc") || !o.tiene("--id")
        || (cocina && barra))
        return usoSubcomando(errores,
            o.error.isEmpty() && cocina && barra
                ? QStringLiteral("Un ticket es de cocina o de barra, no de ambas")
                : o.error,
            kUsoTicket);
    int fallaSesion = 2;
    const auto sesion = abreSesion(o, errores, fallaSesion);
    if (!sesion)
        return fallaSesion;
    const QString tc = o.valor("--tc").trimmed();
    const QString id = o.valor("--id").trimmed();
    AdoRecordset rs;
    gDB().AbrirRecordset(
        QStringLiteral("SELECT 1 FROM V_MV_CPTE WHERE TC = %1 AND IDCOMPROBANTE = %2")
            .arg(ConsultasDatos::literal(tc), ConsultasDatos::literal(id)),
        rs);
    const bool existe = !rs.Eof();
    gDB().CierraRecordset(rs);
    if (!existe) {
        errores << "No se encontró el comprobante " << tc << " " << id << "\n";
        return 2;
    }
    const QString impresora = o.valor("--impresora");
    return ModImprimeEnComandera::ImprimeEnComandera(tc, id,
               impresora.isEmpty() ? QString() : QStringLiteral("Comandera : ") + impresora, cocina,
               barra)
        ? 0
        : 1;
}
