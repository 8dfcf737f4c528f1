#include "receipts/ImprimeAsiento.h"

#include "data/DB_Dll.h"
#include "data/DataObjects.h"
#include "platform/LeadingNumber.h"
#include "reports/DLL_Print.h"
#include "services/Configuracion.h"
#include "services/Globales.h"

namespace ImpresionAsientos {

namespace {

QString q(const QString& texto)
{
    return gDB().SQLValue(Value(texto), QStringLiteral("'"));
}

} // namespace

QString SeleccionAsiento(const QString& TC, const QString& Sucursal, const QString& Numero,
    const QString& Letra, const QString& MesOperativo, const QString& NumeroAsiento,
    const QString& Periodo)
{
    const QString comprobante = QStringLiteral("{MV_ASIENTOS.TC} = ") + q(TC.trimmed())
        + QStringLiteral(" AND {MV_ASIENTOS.SUCURSAL} = ") + q(Sucursal.trimmed())
        + QStringLiteral(" AND {MV_ASIENTOS.NUMERO} = ") + q(Numero.trimmed())
        + QStringLiteral(" AND {MV_ASIENTOS.LETRA} = ") + q(Letra.trimmed());
    // A blank period counts as none: the whole voucher prints.
    if (leadingNumber(Periodo) == 0)
        return comprobante;
    return QStringLiteral("{MV_ASIENTOS.PERIODO} = ") + q(Periodo) + QStringLiteral(" AND ")
        + comprobante + QStringLiteral(" AND {MV_ASIENTOS.MES_OPERATIVO} = ") + MesOperativo
        + QStringLiteral(" AND {MV_ASIENTOS.NUMERO ASIENTO} = ") + NumeroAsiento.trimmed();
}

void ImprimeAsiento(const QString& TC, const QString& Sucursal, const QString& Numero,
    const QString& Letra, const QString& MesOperativo, const QString& NumeroAsiento,
    const QString& Periodo, bool ConCentroCosto, bool EnPantalla, bool Formato80mm)
{
    const QString seleccion
        = SeleccionAsiento(TC, Sucursal, Numero, Letra, MesOperativo, NumeroAsiento, Periodo);
    const QString reporte = ConCentroCosto ? QStringLiteral("AsientoCCosto")
        : Formato80mm                      ? QStringLiteral("Asientos_80mm")
                                           : QStringLiteral("Asientos");
    DLL_Print& impresion = gReporte();
    impresion.DestinoImpresion(
        EnPantalla ? DLL_Print::DestinoPantalla : DLL_Print::DestinoImpresora);
    impresion.OpcionEspecial = true;
    const QString empresa = Configuracion::Cfg(QStringLiteral("Nombre"));
    impresion.Imprimir(reporte, { QString() }, seleccion, gGlobales().gCadenaODBC,
        QStringLiteral("EMPRESA = ") + q(empresa), QStringLiteral("ENQUEMONEDA = '1'"),
        std::nullopt, std::nullopt, std::nullopt,
        ConCentroCosto ? QStringLiteral("AsientoSueldosCC") : QString());
    impresion.FinalizaImpresion(10);
}

} // namespace ImpresionAsientos
