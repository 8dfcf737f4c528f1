// rp_voucher qr: writes the QR image stored in this workstation's QR row of a voucher.

#include <QFile>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Utilidades.h"
#include "services/VariablesInicio.h"
#include "tools/SesionVoucher.h"
#include "tools/SubcomandosVoucher.h"

const char* const kUsoQr
    = "qr --db ARCHIVO.db --tc TC --id ID --out ARCHIVO.png [--equipo EQUIPO --usuario USUARIO]";

int subcomandoQr(const QStringList& argumentos, QTextStream&, QTextStream& errores)
{
    const OpcionesVoucher o
        = leeOpciones(argumentos, { "--db", "--tc", "--id", "--out", "--equipo", "--usuario" }, {});
    if (!o.error.isEmpty() || !o.tiene("--db") || !o.tiene("--tc") || !o.tiene("--id")
        || !o.tiene("--out"))
        return usoSubcomando(errores, o.error, kUsoQr);
    int fallaSesion = 2;
    const auto sesion = abreSesion(o, errores, fallaSesion);
    if (!sesion)
        return fallaSesion;

    using ConsultasDatos::literal;
    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("SELECT QR_AFIP FROM AUX_MV_CPTEQR WHERE Usuario = ")
            + literal(ClaveEstacion()) + QStringLiteral(" AND TC = ")
            + literal(gUtilidades().FormateaCodigo(o.valor("--tc"), 4))
            + QStringLiteral(" AND IdComprobante = ") + literal(o.valor("--id")),
        rs);
    const QByteArray imagen = rs.Eof() ? QByteArray() : rs.Fields(0).Value().toBytes();
    gDB().CierraRecordset(rs);
    if (imagen.isEmpty()) {
        errores << "El comprobante no tiene imagen QR\n";
        return 2;
    }
    QFile salida(o.valor("--out"));
    if (!salida.open(QIODevice::WriteOnly) || salida.write(imagen) != imagen.size()) {
        errores << "No se puede escribir " << o.valor("--out") << "\n";
        return 2;
    }
    return 0;
}
