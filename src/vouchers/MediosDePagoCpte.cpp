#include "vouchers/MediosDePagoCpte.h"

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "data/DB_Dll.h"
#include "platform/AdoRecordset.h"
#include "platform/CampoLeido.h"
#include "platform/Utilidades.h"

namespace ImpresionCpte {

namespace {

using ConsultasDatos::literal;

struct Medio
{
    Currency* total;
    QString* etiqueta;
    QString primera; // the description of the medium's first line
    const char* palabra;
};

} // namespace

MediosDePago ObtieneMediosDePagoCpte(const QString& TC, const QString& IdComprobante)
{
    MediosDePago medios;
    const QString tipoRecibo = TC.compare(QLatin1String("FP"), Qt::CaseInsensitive) == 0
        ? QStringLiteral("CBFP")
        : QStringLiteral("CBCT");
    const Utilidades& u = gUtilidades();
    const auto campo = [&u](AdoRecordset& rs, const char* nombre) {
        return u.ValorCampo(rs.Fields(QLatin1String(nombre)).Value());
    };

    // The first receipt applied to the invoice, whatever the type of the applied document.
    AdoRecordset aplicaciones;
    gDB().AbrirRecordset(QStringLiteral("select * from mv_aplicacion where (tc = ")
            + literal(tipoRecibo) + QStringLiteral(" ) and sucursal_origen = ")
            + literal(IdComprobante.mid(0, 4)) + QStringLiteral(" and numero_origen = ")
            + literal(IdComprobante.mid(4, 8)) + QStringLiteral(" and letra_origen = ")
            + literal(IdComprobante.mid(12, 1)),
        aplicaciones);
    if (aplicaciones.Bof()) {
        gDB().CierraRecordset(aplicaciones);
        return medios;
    }
    const QString sucursal = campo(aplicaciones, "Sucursal");
    const QString numero = campo(aplicaciones, "Numero");
    const QString letra = campo(aplicaciones, "Letra");
    gDB().CierraRecordset(aplicaciones);

    Medio efectivo { &medios.TotalEfectivo, &medios.DescEfectivo, QString(), "EFECTIVO" };
    Medio tarjeta { &medios.TotalTarjeta, &medios.DescTarjeta, QString(), "TARJETA" };
    Medio cheque { &medios.TotalCheque, &medios.DescCheque, QString(), "CHEQUE" };
    Medio otros { &medios.TotalOtros, &medios.DescOtros, QString(), "OTROS" };

    // The medium is the account's: journal lines may carry a column of the same name, so it is
    // named with its table.
    AdoRecordset lineas;
    gDB().AbrirRecordset(
        QStringLiteral(
            "Select cuenta,importe, ma_cuentas.mediodepago, [DEBE-HABER], DESCRIPCION  from "
            "mv_asientos INNER JOIN ma_cuentas on cuenta = codigo where tc = ")
            + literal(tipoRecibo) + QStringLiteral(" and sucursal = ") + literal(sucursal)
            + QStringLiteral(" and numero = ") + literal(numero) + QStringLiteral(" and letra = ")
            + literal(letra) + QStringLiteral("  and not ma_cuentas.MedioDePago is null"),
        lineas);
    for (; !lineas.Eof(); lineas.MoveNext()) {
        const QString codigo = campo(lineas, "mediodepago").trimmed();
        Medio& medio = codigo.compare(QLatin1String("EF"), Qt::CaseInsensitive) == 0 ? efectivo
            : codigo.compare(QLatin1String("TJ"), Qt::CaseInsensitive) == 0          ? tarjeta
            : codigo.compare(QLatin1String("CH"), Qt::CaseInsensitive) == 0          ? cheque
                                                                                     : otros;
        const QString descripcion = campo(lineas, "DESCRIPCION");
        if (medio.primera.isEmpty())
            medio.primera = descripcion;
        // One account keeps its own name; lines on several accounts print the medium's word.
        *medio.etiqueta = descripcion.compare(medio.primera, Qt::CaseInsensitive) == 0
            ? descripcion
            : QString::fromLatin1(medio.palabra);
        const Currency importe = CampoLeido::importe(
            CampoLeido::valor(lineas, QStringLiteral("MV_ASIENTOS"), QStringLiteral("importe")),
            QStringLiteral("MV_ASIENTOS.importe"));
        if (campo(lineas, "DEBE-HABER").trimmed().compare(QLatin1String("D"), Qt::CaseInsensitive)
            == 0)
            *medio.total += importe;
        else
            *medio.total = *medio.total - importe;
    }
    gDB().CierraRecordset(lineas);
    return medios;
}

} // namespace ImpresionCpte
