#include "vouchers/ModImprimeEnComandera.h"

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Clock.h"
#include "platform/MessageDialog.h"
#include "platform/PuertoSerie.h"
#include "platform/Service.h"
#include "platform/Utilidades.h"
#include "services/Configuracion.h"
#include "services/Formatos.h"
#include "services/ManejoErrores.h"
#include "services/ModArchivos.h"
#include "vouchers/FrmMvVentas.h"

namespace ModImprimeEnComandera {

namespace {

using ConsultasDatos::literal;

const QString Rutina = QStringLiteral("ImprimeEnComandera");

bool marcado(const QString& bandera)
{
    return bandera.trimmed().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0;
}

QString texto(const QString& campoFijo)
{
    return gUtilidades().LimpiaCadenaFija(campoFijo).trimmed();
}

// "COM3", "com3", " COM 3": the number after every "COM". Anything else is no port.
int numeroPuerto(const QString& puerto)
{
    QString numero = texto(puerto);
    numero.remove(QStringLiteral("COM"), Qt::CaseInsensitive);
    bool ok = false;
    const int n = numero.trimmed().toInt(&ok);
    if (!ok)
        throw RuntimeError(RuntimeError::TypeMismatch,
            QStringLiteral("El puerto de la comandera no tiene número: ") + texto(puerto), Rutina);
    return n;
}

QString campo(AdoRecordset& rs, const char* nombre)
{
    return gUtilidades().ValorCampo(rs.Fields(QLatin1String(nombre)).Value());
}

DisenoTicket diseno(const RegistroComandera& r)
{
    DisenoTicket d;
    d.imprimeEncabezado1 = marcado(r.ImprimeEncabezado1);
    d.encabezado1 = texto(r.Encabezado1);
    d.imprimeEncabezado2 = marcado(r.ImprimeEncabezado2);
    d.encabezado2 = texto(r.Encabezado2);
    d.imprimeNumero = marcado(r.ImprimeNumero);
    d.imprimeCliente = marcado(r.ImprimeCliente);
    d.imprimePie = marcado(r.ImprimePie);
    d.pie = texto(r.Pie);
    d.detallePrecio = marcado(r.DetallePrecio);
    return d;
}

// The voucher's type and number come as quoted literals.
QString sentenciaItems(const QString& tc, const QString& id)
{
    return QStringLiteral(
               "SELECT V_MV_CpteInsumos.IDARTICULO,V_MV_CpteInsumos.DESCRIPCION,"
               "V_MV_CpteInsumos.CANTIDAD,V_MV_CpteInsumos.Cantidadpreparada,"
               "V_MV_CpteInsumos.CANTIDADAFACTURAR, V_MV_CpteInsumos.IMPORTE_S_IVA, "
               "V_MV_CpteInsumos.IMPORTE, v_ma_articulos.Pesable, v_ma_articulos.talledefault "
               "FROM V_MV_CPTEINSUMOS LEFT OUTER JOIN dbo.V_MA_ARTICULOS ON "
               "dbo.V_MV_CpteInsumos.IDARTICULO = dbo.V_MA_ARTICULOS.IDARTICULO WHERE TC = ")
        + tc + QStringLiteral(" AND IDCOMPROBANTE = ") + id
        + QStringLiteral(" ORDER BY V_MV_CpteInsumos.ID");
}

ItemTicket item(AdoRecordset& rs)
{
    const Utilidades& util = gUtilidades();
    ItemTicket i;
    i.descripcion = campo(rs, "Descripcion");
    // A weighable article's line already holds the weight in Cantidad: the quantity stays it.
    i.cantidad = util.ValorMoneda(campo(rs, "Cantidad"));
    i.cantidadPreparada = util.ValorMoneda(campo(rs, "Cantidadpreparada"));
    i.cantidadAFacturar = util.ValorMoneda(campo(rs, "CANTIDADAFACTURAR"));
    i.importe = util.ValorMoneda(campo(rs, "Importe"));
    i.talledefault = campo(rs, "talledefault");
    return i;
}

// The port a failed opening names: the stored one, unless the line is fixed to another device,
// which is then the one that was tried.
QString puertoIntentado(const QString& puerto)
{
    const PuertoSerie* linea = Service<PuertoSerie>::tryGet();
    const QString fijo = linea ? linea->dispositivoFijo() : QString();
    return fijo.isEmpty() ? puerto.left(5) : fijo;
}

} // namespace

bool ImprimeEnComandera(const QString& TC, const QString& IdComprobante, const QString& Comandera,
    bool Cocina, bool Barra)
{
    QString impresora = Comandera;
    impresora.remove(QStringLiteral("Comandera :"), Qt::CaseInsensitive);
    const std::optional<RegistroComandera> registro
        = ModArchivos::ExisteComandera(impresora.trimmed());
    if (!registro) {
        MsgBox(QStringLiteral("No se ha configurado una comandera en este equipo, verifiquelo y "
                              "vuelva a intentarlo!!!"),
            Msg::Critical, QStringLiteral("Aviso al operador!!! - 7"));
        return false;
    }

    ControlSerie& serie = gFrmMvVentas().MSComm1;
    Steps pasos = reportAs(Rutina);
    const auto abandona = [&serie] {
        try {
            serie.PortOpen(false);
        } catch (const RuntimeError&) {
            // Giving up already: what did not leave is lost with the ticket.
        }
        return false;
    };

    int numero = 0;
    if (!pasos.run([&] { numero = numeroPuerto(registro->Puerto); }))
        return false;
    try {
        serie.CommPort(numero);
        serie.PortOpen(true);
    } catch (const RuntimeError& error) {
        if (error.number() == ControlSerie::SinControl)
            MsgBox(QStringLiteral("No se pudo crear el objeto MSCOMM o la version que tiene no es "
                                  "compatible con el sistema, por favor, verifiquelo y vuelva a "
                                  "intentarlo, EL COMPROBANTE NO SE HA IMPRESO"),
                Msg::Critical, QStringLiteral("Aviso al operador!!"));
        else
            MsgBox(QStringLiteral("Error de Comunicacion con el Puerto seleccionado (")
                    + puertoIntentado(registro->Puerto)
                    + QStringLiteral(") verifiquelo y vuelva a intentarlo. EL COMPROBANTE NO SE "
                                     "HA IMPRESO"),
                Msg::Critical, QStringLiteral("Aviso al operador!!"));
        return false;
    }

    const QString tc = literal(TC);
    const QString id = literal(IdComprobante);
    AdoRecordset cabecera;
    AdoRecordset items;
    DatosTicket datos;
    datos.TC = TC;
    datos.IdComprobante = IdComprobante;
    datos.momento = Now().toString(QStringLiteral("dd/MM/yy HH:mm"));
    QString vendedor;
    bool conItems = false;
    const Utilidades& util = gUtilidades();
    if (!pasos.run([&] {
            gDB().AbrirRecordset(QStringLiteral("SELECT * FROM V_MV_CPTE WITH(NOLOCK) WHERE TC = ")
                    + tc + QStringLiteral(" AND IDCOMPROBANTE = ") + id,
                cabecera);
        })
        || !pasos.run([&] {
               gDB().AbrirRecordset(sentenciaItems(tc, id), items);
               conItems = true;
           })
        || !pasos.run([&] {
               datos.mesa = campo(cabecera, "transporte");
               vendedor = campo(cabecera, "IdVendedor").trimmed();
               datos.cliente = campo(cabecera, "nombre");
               datos.total = util.ValorMoneda(campo(cabecera, "Importe"));
           })
        || !pasos.run([&] {
               datos.mozo = util.ValorCampo(gDB().DatosTabla(QStringLiteral("V_TA_VENDEDORES"),
                   vendedor, QStringLiteral("NOMBRE"), QStringLiteral("IdVendedor")));
           }))
        return abandona();
    // An ignored failure to read the items, or to move past one, ends the items there.
    while (conItems) {
        conItems = false;
        if (!pasos.run([&] {
                if (!items.Eof()) {
                    datos.items.append(item(items));
                    conItems = true;
                }
            }))
            return abandona();
        if (conItems && !pasos.run([&] {
                conItems = false;
                items.MoveNext();
                conItems = true;
            }))
            return abandona();
    }

    DisenoTicket d = diseno(*registro);
    if (!pasos.run([&] {
            if (d.imprimeEncabezado1 && d.encabezado1.isEmpty())
                d.encabezado1 = Configuracion::Cfg(QStringLiteral("NOMBRE"));
            if (d.imprimeEncabezado2 && d.encabezado2.isEmpty())
                d.encabezado2 = Configuracion::Cfg(QStringLiteral("CALLE")) + u' '
                    + Configuracion::Cfg(QStringLiteral("NUMERO")) + QStringLiteral(" - ")
                    + Configuracion::Cfg(QStringLiteral("LOCALIDAD"));
        }))
        return abandona();

    const TipoTicket tipo = Cocina ? TipoTicket::Cocina
        : Barra                    ? TipoTicket::Barra
                                   : TipoTicket::Comun;
    const QString separador = SeparadorDecimal();
    for (const QByteArray& escritura :
        EscriturasTicket(d, datos, tipo, separador.isEmpty() ? QChar(u',') : separador.at(0))) {
        if (!pasos.run([&] { serie.Output(escritura); }))
            return abandona();
    }
    if (!pasos.run([&] { serie.PortOpen(false); }))
        return false;
    return !pasos.lastError().has_value();
}

} // namespace ModImprimeEnComandera
