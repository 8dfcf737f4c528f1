#include "vouchers/AnexasComprobante.h"

#include <QDate>
#include <QDateTime>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Utilidades.h"
#include "reports/DLL_Print.h"
#include "services/Globales.h"
#include "vouchers/ImpresionAsiento.h"
#include "vouchers/ImprimirComprobante.h"
#include "vouchers/ModImprimeEnComandera.h"

using ConsultasDatos::literal;

namespace ReglasPedido {

namespace {

// Non-blank codes of one list, each fitted to the code column, joined with " or ".
QString terminos(const QString& lista, const QString& columna)
{
    QString condicion;
    for (const QString& codigo : lista.split(u',')) {
        if (codigo.trimmed().isEmpty())
            continue;
        condicion = (condicion.isEmpty() ? QString() : condicion + QStringLiteral(" or "))
            + QStringLiteral(" ") + columna + QStringLiteral("=")
            + literal(gUtilidades().FormateaCodigo(codigo, 4));
    }
    return condicion;
}

} // namespace

QString CondicionReglas(const QString& valoraux)
{
    const QString v = valoraux.trimmed();
    const qsizetype barra = v.indexOf(u'|');
    if (v.isEmpty() || barra < 0)
        return QString();
    QString condicion = terminos(v.left(barra), QStringLiteral("idrubro"));
    if (!condicion.trimmed().isEmpty())
        condicion = QStringLiteral(" (") + condicion + QStringLiteral(") ");
    const QString unidades = terminos(v.mid(barra + 1), QStringLiteral("unegocio"));
    if (!unidades.trimmed().isEmpty())
        condicion = condicion.trimmed().isEmpty()
            ? QStringLiteral(" (") + unidades + QStringLiteral(") ")
            : condicion + QStringLiteral(" and (") + unidades + QStringLiteral(") ");
    return condicion;
}

QString SeleccionArticulos(const QString& FormulaSeleccion, const QStringList& ids)
{
    QStringList terminos;
    for (const QString& id : ids)
        terminos << QStringLiteral(" {AUX_MV_CPTE.IDARTICULO}=") + literal(id)
                + QStringLiteral(" ");
    const QString grupo = u'(' + terminos.join(QStringLiteral(" OR ")) + u')';
    return FormulaSeleccion.trimmed().isEmpty()
        ? grupo
        : FormulaSeleccion + QStringLiteral(" AND ") + grupo;
}

QString DiaIso(const QString& Fecha)
{
    const QString t = Fecha.trimmed();
    QDate dia = QDate::fromString(t.left(10), QStringLiteral("dd/MM/yyyy"));
    if (!dia.isValid())
        dia = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!dia.isValid())
        dia = QDate::fromString(t, QStringLiteral("d/M/yyyy"));
    return dia.isValid() ? dia.toString(Qt::ISODate) : t;
}

} // namespace ReglasPedido

void AnexasComprobante::ImprimeEnComandera(const QString& TC, const QString& IdComprobante,
    const QString& DestinoDefault, bool Cocina, bool Barra)
{
    // The ticket reports its own failures; the voucher print goes on either way.
    ModImprimeEnComandera::ImprimeEnComandera(TC, IdComprobante, DestinoDefault, Cocina, Barra);
}

void AnexasComprobante::ImprimeSegunReglas(const QString& TC, const QString& IdComprobante,
    const QString& Formulario, const QStringList& OrdenReporte, const QString& FormulaSeleccion,
    const QString& Leyenda)
{
    const Utilidades& util = gUtilidades();
    AdoRecordset reglas;
    gDB().AbrirRecordset(
        QStringLiteral("SELECT * FROM TA_CONFIGURACION WHERE CLAVE LIKE 'NPS_IMPRESION_%'"),
        reglas);
    for (; !reglas.Eof(); reglas.MoveNext()) {
        const QString condicion = ReglasPedido::CondicionReglas(
            util.ValorCampo(reglas.Fields(QStringLiteral("valoraux")).Value()));
        if (condicion.trimmed().isEmpty())
            continue;
        AdoRecordset items;
        gDB().AbrirRecordset(
            QStringLiteral("SELECT a.TC,a.IDCOMPROBANTE,a.unegocio,b.IDARTICULO,b.descripcion, "
                           "c.idrubro  from V_MV_Cpte a LEFT JOIN V_MV_CpteInsumos b on "
                           "a.TC=b.TC and a.IDCOMPROBANTE = b.IDCOMPROBANTE and a.IDCOMPLEMENTO "
                           "= b.IDCOMPLEMENTO  LEFT JOIN V_MA_ARTICULOS c ON "
                           "b.IDARTICULO=c.IDARTICULO WHERE a.TC=")
                + literal(TC) + QStringLiteral(" and a.IDCOMPROBANTE=") + literal(IdComprobante)
                + QStringLiteral("  and ") + condicion,
            items);
        QStringList ids;
        for (; !items.Eof(); items.MoveNext()) {
            const QString id
                = util.ValorCampo(items.Fields(QStringLiteral("IDARTICULO")).Value()).trimmed();
            if (!id.isEmpty() && !ids.contains(id))
                ids << id;
        }
        gDB().CierraRecordset(items);
        if (ids.isEmpty())
            continue;
        // The rule's printer stays selected afterwards, as the report object keeps it.
        ImpresionCpte::ConfiguraImpresora(
            util.ValorCampo(reglas.Fields(QStringLiteral("Valor")).Value()));
        gReporte().Imprimir(Formulario, OrdenReporte,
            ReglasPedido::SeleccionArticulos(FormulaSeleccion, ids), gGlobales().gCadenaODBC,
            std::nullopt, std::nullopt, std::nullopt,
            QStringLiteral("Encabezado = ") + literal(Leyenda));
    }
    gDB().CierraRecordset(reglas);
}

void AnexasComprobante::ImprimeAsientoDelCpte(
    const QString& TC, const QString& IdComprobante, const QString& Fecha, bool ConCentroCosto)
{
    const Utilidades& util = gUtilidades();
    const QString sucursal = IdComprobante.left(4);
    const QString numero = IdComprobante.mid(4, 8);
    const QString letra = IdComprobante.mid(12, 1);
    AdoRecordset asientos;
    gDB().AbrirRecordset(
        QStringLiteral("SELECT TC, SUCURSAL, NUMERO, LETRA, [NUMERO ASIENTO],MES_OPERATIVO,"
                       "PERIODO FROM @ADMIN_MV_ASIENTOS with(nolock) WHERE TC=")
            + literal(TC) + QStringLiteral(" AND SUCURSAL=") + literal(sucursal)
            + QStringLiteral(" AND NUMERO=") + literal(numero) + QStringLiteral(" AND LETRA=")
            + literal(letra) + QStringLiteral(" AND FECHA=") + literal(ReglasPedido::DiaIso(Fecha))
            + QStringLiteral(" GROUP BY TC, SUCURSAL, NUMERO, LETRA, [NUMERO ASIENTO],"
                             "MES_OPERATIVO,PERIODO"),
        asientos);
    ImpresionAsiento* impresion = Service<ImpresionAsiento>::tryGet();
    for (; impresion && !asientos.Eof(); asientos.MoveNext())
        impresion->ImprimeAsiento(TC, sucursal, numero, letra,
            util.ValorCampo(asientos.Fields(QStringLiteral("Mes_Operativo")).Value()),
            util.ValorCampo(asientos.Fields(QStringLiteral("numero asiento")).Value()),
            util.ValorCampo(asientos.Fields(QStringLiteral("Periodo")).Value()), ConCentroCosto);
    gDB().CierraRecordset(asientos);
}
