#include "pricelists/ImpresionPrecios.h"

#include <optional>

#include <QLocale>

#include "data/ConsultasDatos.h"
#include "platform/Entorno.h"
#include "platform/MessageDialog.h"
#include "platform/Utilidades.h"
#include "pricelists/AnalisisCostos.h"
#include "pricelists/FormulaSeleccion.h"
#include "reports/ArchivosReporte.h"
#include "reports/DLL_Print.h"
#include "reports/RT_Crystal2.h"
#include "services/Configuracion.h"
#include "services/ConfiguracionGlobal.h"
#include "services/Globales.h"
#include "services/ManejoErrores.h"
#include "services/VariablesInicio.h"

namespace {

// A quoted constant of a formula: the engine reads '' as one apostrophe, as SQL does.
using ConsultasDatos::literal;

// " AND " when the selection so far holds something.
QString junta(const QString& seleccion)
{
    return seleccion.trimmed().isEmpty() ? QString() : QStringLiteral(" AND ");
}

// "ConStock=1" when a warehouse was typed and found: the rows are then that warehouse's, and a
// definition shows its stock and prints each row rather than one per article.
QString conStock(const EstadoImpresion& e)
{
    const bool deposito = !e.Deposito.trimmed().isEmpty() && e.lblDescDep != QStringLiteral("...");
    return deposito ? QStringLiteral("ConStock=1") : QStringLiteral("ConStock=0");
}

const QString kListasConMargen[] = {
    QStringLiteral("RP_LISTAPRECIOS"),
    QStringLiteral("RP_LISTAPRECIOS_SEL"),
    QStringLiteral("RP_LISTAPRECIOSFAMILIA"),
    QStringLiteral("RP_LISTAPRECIOSRUBRO"),
    QStringLiteral("RP_LISTAPRECIOSPROVEEDOR"),
    QStringLiteral("RP_LISTAPRECIOSFAMILIA_SEL"),
    QStringLiteral("RP_LISTAPRECIOSRUBRO_SEL"),
    QStringLiteral("RP_LISTAPRECIOSPROVEEDOR_SEL"),
};

} // namespace

QString ImpresionPrecios::ColumnasOcultas(const QList<CasillaPrecio>& chkFiltro)
{
    QString ocultas;
    for (const CasillaPrecio& c : chkFiltro) {
        if (c.Value == 0)
            ocultas += c.Tag + QStringLiteral(" - ");
    }
    return ocultas;
}

QString ImpresionPrecios::DescripcionCondicion(const QString& texto)
{
    return texto.left(std::max<qsizetype>(0, texto.size() - 10)).trimmed();
}

QString ImpresionPrecios::NumeroFormula(double valor)
{
    QString texto = QString::number(valor, 'f', 4);
    while (texto.contains(u'.') && (texto.endsWith(u'0') || texto.endsWith(u'.')))
        texto.chop(1);
    return texto == QStringLiteral("-0") ? QStringLiteral("0") : texto;
}

namespace {

// The criteria rows turned into `seleccion` by the formula builder. A rejected row gives the
// builder's message, and `seleccion` is left as it was; empty when all went well.
QString seleccionCriterios(const EstadoImpresion& e, QString& seleccion)
{
    const Utilidades& u = gUtilidades();
    QList<FiltroSeleccion> filtros(6);
    const auto fila = [&](int i, const QString& campo, const QString& desde, const QString& hasta,
                          qint16 tipo) {
        FiltroSeleccion& f = filtros[i];
        f.Campo = campo;
        f.Desde = desde;
        f.Hasta = hasta;
        f.TipoCampo = tipo;
        f.SinRecorte = -1;
        f.Conector = QString();
    };
    if (e.chkAnalisisCostos == 0 || !e.ModoCompras) {
        fila(0, u'{' + e.TablaPrecios + QStringLiteral(".IdLista}"),
            u.FormateaCodigo(e.ListaDesde.trimmed(), 4),
            u.FormateaCodigo(e.ListaHasta.trimmed(), 4), 200);
        fila(1, u'{' + e.TablaPrecios + QStringLiteral(".Nombre}"), e.NombreDesde.trimmed(),
            e.NombreHasta.trimmed(), 129);
    }
    fila(2, QStringLiteral("{v_ma_articulos.idrubro}"), u.FormateaCodigo(e.RubroDesde.trimmed(), 4),
        u.FormateaCodigo(e.RubroHasta.trimmed(), 4), 129);
    fila(3, QStringLiteral("{v_ma_articulos.cuentaproveedor}"), e.ProveedorDesde.trimmed(),
        e.ProveedorHasta.trimmed(), 129);
    fila(4, QStringLiteral("{v_ma_articulos.idfamilia}"), e.FamiliaDesde.trimmed(),
        e.FamiliaHasta.trimmed(), 129);
    QString armada;
    QString mensaje;
    FormulaSeleccion::ArmaFormulaSeleccion(filtros, armada, &mensaje);
    if (mensaje.isEmpty())
        seleccion = armada;
    return mensaje;
}

// The offers' condition added to `seleccion`: the period between the typed dates, or from or to
// the one typed, or any offer when none is. A typed date that is no date gives its message, as a
// rejected criteria row does, and `seleccion` is left as it was: nothing is printed.
QString condicionOfertas(const EstadoImpresion& e, QString& seleccion)
{
    const Utilidades& u = gUtilidades();
    const bool desde = !e.OfDesde.trimmed().isEmpty();
    const bool hasta = !e.OfHasta.trimmed().isEmpty();
    // A typed date that is no date is told with the box and the text typed.
    const auto incorrecta = [](const char* caja, const QString& tipeado) {
        return QStringLiteral("Fecha %1 de Articulos en Oferta incorrecta: \"%2\"")
            .arg(QLatin1String(caja), tipeado.trimmed());
    };
    if (desde && !u.LeeFecha(e.OfDesde).isValid())
        return incorrecta("Desde", e.OfDesde);
    if (hasta && !u.LeeFecha(e.OfHasta).isValid())
        return incorrecta("Hasta", e.OfHasta);
    if (desde && !hasta) {
        seleccion += junta(seleccion) + QStringLiteral(" {v_ma_precios.FhOfertaDesde} = ")
            + u.FechaFormula(e.OfDesde);
    } else if (hasta && !desde) {
        seleccion += junta(seleccion) + QStringLiteral(" {v_ma_precios.FhOfertaHasta} = ")
            + u.FechaFormula(e.OfHasta);
    } else {
        const QString abre
            = seleccion.trimmed().isEmpty() ? QStringLiteral("(") : QStringLiteral(" AND (");
        if (desde)
            seleccion += abre + QStringLiteral(" {v_ma_precios.FhOfertaDesde} >= ")
                + u.FechaFormula(e.OfDesde) + QStringLiteral(" AND ")
                + QStringLiteral(" {v_ma_precios.FhOfertaHasta} <= ") + u.FechaFormula(e.OfHasta)
                + u')';
        else
            // No dates: every article with an offer period.
            seleccion += abre + QStringLiteral(" Not IsNull({v_ma_precios.FhOfertaDesde}))");
    }
    return QString();
}

// The sort list: "+" and the Tag of the selected sort option, or one empty text.
QStringList camposOrden(const EstadoImpresion& e)
{
    QStringList campos { QString() };
    for (const OpcionOrden& o : e.OptOrden) {
        if (o.Value)
            campos[0] = u'+' + o.Tag;
    }
    return campos;
}

// The formula list before the margins: the price columns' captions, the purchase/sales
// conditions of a sales list, the stock switch.
QStringList listaFormulas(const EstadoImpresion& e)
{
    QStringList lista;
    const auto caption
        = [&](int i) { return i < e.ChkFiltro.size() ? e.ChkFiltro[i].Caption : QString(); };
    if (e.ChkSelectivo == 0) {
        for (int i = 1; i <= 8; ++i) {
            const bool tildada = i < e.ChkFiltro.size() && e.ChkFiltro[i].Value != 0;
            lista << QStringLiteral("Precio%1=").arg(i) + literal(tildada ? caption(i) : QString());
        }
    } else {
        lista << QStringLiteral("Precio1=") + literal(caption(4));
    }
    if (!e.ModoCompras) {
        if (e.ChkSelectivo == 0) {
            if (!e.CmbCpra_Vta.trimmed().isEmpty()) {
                lista << QStringLiteral("Cond_Cpra_Vta_Descripcion=")
                        + literal(ImpresionPrecios::DescripcionCondicion(e.CmbCpra_Vta));
                lista << QStringLiteral("PorcRecargoCPRAVTA=")
                        + ImpresionPrecios::NumeroFormula(e.PorcentajeCpra_Vta);
            } else {
                lista << QStringLiteral("Cond_Cpra_Vta_Descripcion=''");
            }
        } else {
            int n = 0;
            for (const CondicionCpraVta& c : e.lstCondiciones) {
                if (n == 5)
                    break;
                if (!c.Selected)
                    continue;
                ++n;
                lista << QStringLiteral("Cond_Cpra_Vta_Descripcion%1=").arg(n)
                        + literal(ImpresionPrecios::DescripcionCondicion(c.Texto));
                lista << QStringLiteral("PorcRecargoCPRAVTA%1=").arg(n)
                        + ImpresionPrecios::NumeroFormula(c.Porcentaje);
            }
            lista << QStringLiteral("CantCondiciones=%1").arg(n);
            lista << QStringLiteral("QuePrecio=4");
        }
    }
    lista << conStock(e);
    return lista;
}

// The warehouse's condition, when a warehouse was typed and found (not for the cost analysis).
QString condicionDeposito(const EstadoImpresion& e)
{
    if (e.chkAnalisisCostos != 0 || e.Deposito.isEmpty() || e.lblDescDep == QStringLiteral("..."))
        return QString();
    return QStringLiteral(" AND  ({STK_MA_ARTICULOS.DEPOSITO} = ")
        + literal(gUtilidades().FormateaCodigo(e.Deposito, 4))
        + QStringLiteral(" OR {STK_MA_ARTICULOS.DEPOSITO}='' OR "
                         "ISNULL({STK_MA_ARTICULOS.DEPOSITO}))");
}

// The report of the first selected grouping option, by mode and selective box; nullopt when no
// option is selected.
std::optional<QString> reportePorAgrupamiento(const EstadoImpresion& e)
{
    int grupo = -1;
    for (int i = 0; i < e.OptGROUP.size() && grupo < 0; ++i) {
        if (e.OptGROUP[i])
            grupo = i;
    }
    static const QString agrupamientos[] = { QStringLiteral("Rubro"), QStringLiteral("Familia"),
        QStringLiteral("Proveedor"), QString() };
    if (grupo < 0 || grupo > 3)
        return std::nullopt;
    if (e.ModoCompras && e.UsaRetail)
        return QStringLiteral("RP_ListaPreciosDescRecPN") + agrupamientos[grupo];
    return QStringLiteral("RP_ListaPrecios") + agrupamientos[grupo]
        + (e.ChkSelectivo == 0 ? QString() : QStringLiteral("_Sel"));
}

// Zero prices left out: a row stays when a shown column is not zero. Empty when zero prices are
// included, for the cost analysis, or when no column is shown.
QString condicionPreciosCero(const EstadoImpresion& e)
{
    if (e.chkIncluirEnCero != 0 || e.chkAnalisisCostos != 0)
        return QString();
    QString z;
    for (int i = 0; i < e.ChkFiltro.size(); ++i) {
        if (e.ChkFiltro[i].Value != 1)
            continue;
        if (i == 0)
            z += QStringLiteral("{V_MA_PRECIOS.COSTO}<>0");
        else
            z += (z.trimmed().isEmpty() ? QString() : QStringLiteral(" OR "))
                + QStringLiteral(" {V_MA_PRECIOS.PRECIO") + e.ChkFiltro[i].Tag
                + QStringLiteral("}<>0 ");
    }
    if (z.trimmed().isEmpty())
        return QString();
    return QStringLiteral(" AND (") + z + QStringLiteral(") ");
}

// The margins' entries, for the sales layouts only.
void agregaMargenes(const EstadoImpresion& e, const QString& reporte, QStringList& lista)
{
    for (const QString& nombre : kListasConMargen) {
        if (reporte.compare(nombre, Qt::CaseInsensitive) == 0) {
            lista << QStringLiteral("IncluirMargen=%1").arg(e.chkIncluirMargen);
            lista << QStringLiteral("MargenResumido=%1").arg(e.chkMargenResumido);
            return;
        }
    }
}

// The labels' list: eleven entries, the seventh the price of the first ticked box.
QStringList listaEtiquetas(const EstadoImpresion& e)
{
    QStringList lista(11, QString());
    for (const CasillaPrecio& c : e.ChkFiltro) {
        if (c.Value != 0) {
            lista[6] = QStringLiteral("QuePrecio=") + literal(QStringLiteral("Precio") + c.Tag);
            break;
        }
    }
    return lista;
}

} // namespace

ImpresionPrecios::Resultado ImpresionPrecios::armaTrabajo(
    const EstadoImpresion& e, const QString& empresa, const QString& claveAnalisis)
{
    Resultado r;
    TrabajoImpresion& t = r.trabajo;
    t.Destino = e.Destino;
    t.EnviarPorMail = e.EnviarPorMail;

    QString seleccion;
    QString mensaje = seleccionCriterios(e, seleccion);
    if (!mensaje.isEmpty()) {
        r.ok = false;
        r.mensaje = mensaje;
        return r;
    }

    t.Formula1 = QStringLiteral("Nombreempresa = ") + literal(empresa);
    t.Formula4 = e.ChkListaPPagina != 0 ? QStringLiteral("CortePorLista = '-1'") : QString();
    t.Formula5 = QStringLiteral("OcultarColumnas = '") + ColumnasOcultas(e.ChkFiltro) + u'\'';

    // The conditions every price list has: its list type, the offers asked for, no suspended
    // article.
    if (e.chkAnalisisCostos == 0)
        seleccion += junta(seleccion) + QStringLiteral(" {V_MA_PRECIOS.TIPOLISTA} = ")
            + literal(e.TipoLista) + QStringLiteral(" ");
    if (e.ChkArticulosEnOferta == 1) {
        mensaje = condicionOfertas(e, seleccion);
        if (!mensaje.isEmpty()) {
            r.ok = false;
            r.mensaje = mensaje;
            return r;
        }
    }
    seleccion += junta(seleccion) + QStringLiteral(" {v_ma_articulos.SUSPENDIDO} = False");

    t.CamposOrden = camposOrden(e);
    QStringList& lista = t.ListaFormulasReporte;
    lista = listaFormulas(e);
    seleccion += condicionDeposito(e);

    const std::optional<QString> reporte = reportePorAgrupamiento(e);
    if (reporte)
        t.NombreReporte = *reporte;
    else
        r.sinAgrupamiento = true;

    seleccion += condicionPreciosCero(e);

    if (e.chkAnalisisCostos == 1 && e.ModoCompras) {
        t.NombreReporte = QStringLiteral("RP_LISTAPRECIOSAC");
        t.AnalisisCostos = true;
        seleccion += QStringLiteral(" and {aux_analisiscostos.usuario}=") + literal(claveAnalisis);
    }

    // Purchases leave out what is suspended for purchasing too.
    if (e.chkAnalisisCostos == 0 && e.ModoCompras)
        seleccion += QStringLiteral(" AND {V_MA_ARTICULOS.SUSPENDIDO}=FALSE AND "
                                    "{V_MA_ARTICULOS.SUSPENDIDOC}=FALSE ");

    agregaMargenes(e, t.NombreReporte, lista);
    while (lista.size() < 16)
        lista << QString();

    // Labels replace the report and keep only the price they show.
    if (e.ChkEtiquetas != 0) {
        t.Etiquetas = true;
        t.NombreReporte = QStringLiteral("MA_PRE2");
        lista = listaEtiquetas(e);
    }
    t.Seleccion = seleccion;
    return r;
}

double ImpresionPrecios::PorcentajeCondicion(const QString& texto)
{
    const std::optional<Currency> valor = Currency::fromString(texto.right(10).trimmed(), u'.');
    return valor ? valor->toDouble() : 0.0;
}

void ImpresionPrecios::imprimeConReportes(const TrabajoImpresion& t)
{
    DLL_Print& reporte = gReporte();
    reporte.DestinoImpresion(t.Destino);
    reporte.OpcionC = true;
    reporte.OpcionA = true;
    reporte.OpcionB = true;
    reporte.AsignaFormulas(t.ListaFormulasReporte, 5);
    QString nombre = t.NombreReporte;
    const QString archivo = ArchivosReporte::NombreReporte(nombre, QString(), nullptr, QString());
    const QString conexion = gGlobales().gCadenaODBC;
    // Mailed labels go through the driver like any list, so they reach the sender too.
    if (t.Etiquetas && !t.EnviarPorMail) {
        reporte.Imprimir(archivo, t.CamposOrden, t.Seleccion, conexion);
    } else if (t.Etiquetas) {
        QString subreporte1;
        QString subreporte2;
        QString titulo;
        RT_Crystal2::ImprimirReporteCrystal(archivo, t.CamposOrden, t.Seleccion, conexion,
            std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, subreporte1,
            subreporte2, QString(), QString(), Value(qint32(0)), false, true, titulo, QString());
    } else {
        QString subreporte1;
        QString subreporte2;
        QString titulo;
        RT_Crystal2::ImprimirReporteCrystal(archivo, t.CamposOrden, t.Seleccion, conexion,
            t.Formula1, t.Formula2, t.Formula3, t.Formula4, t.Formula5, subreporte1, subreporte2,
            QString(), QString(), Value(qint32(0)), false, t.EnviarPorMail, titulo, QString());
    }
    reporte.Finaliza(20);
}

QString ImpresionPrecios::DatosEmpresa()
{
    Globales& g = gGlobales();
    // The lookup also sets the unit's VAT condition, which the start-up read already: the
    // heading must not change it.
    const QString condicionUN = g.gCondicionIvaUN;
    const qint16 condIva = g.gCondIva;
    QString nombre, cuit, inicio, ingresos, condicion, puntoVenta, domicilio, telefono;
    try {
        DatosEmpresaUNegocio(
            g.gUNegocio, nombre, cuit, inicio, ingresos, condicion, puntoVenta, domicilio);
        telefono = Configuracion::Cfg(QStringLiteral("TELEFONO"));
    } catch (const RuntimeError&) {
        // Only the VAT condition's conversion fails after the address and tax number are
        // read; the heading then shows what was read, and a list still prints without it.
    }
    g.gCondicionIvaUN = condicionUN;
    g.gCondIva = condIva;
    QStringList partes;
    if (!domicilio.simplified().isEmpty())
        partes << domicilio.simplified();
    if (!cuit.trimmed().isEmpty())
        partes << QStringLiteral("CUIT ") + cuit.trimmed();
    if (!telefono.trimmed().isEmpty())
        partes << QStringLiteral("Tel. ") + telefono.trimmed();
    return partes.join(QStringLiteral("  -  "));
}

ImpresionPrecios::ImpresionPrecios(Salida salida)
    : m_salida(std::move(salida))
{
}

bool ImpresionPrecios::ImprimirReportePrecios(const EstadoImpresion& estado)
{
    // Runs from a toolbar event: a failure is reported here and nothing is printed.
    try {
        return imprime(estado);
    } catch (const RuntimeError& error) {
        ManejoErrores(error, QStringLiteral("ImprimirReportePrecios"));
        return false;
    }
}

bool ImpresionPrecios::imprime(const EstadoImpresion& estado)
{
    const QString clave
        = AnalisisCostos::claveUsuario(gInicio().gUsuarioLogeado, gEntorno().NombrePC());
    Resultado r = armaTrabajo(estado, Configuracion::Cfg(QStringLiteral("NOMBRE")), clave);
    if (!r.ok) {
        MsgBox(r.mensaje, Msg::OkOnly + Msg::Exclamation, QStringLiteral("Aviso al Operador"));
        return false;
    }
    if (r.sinAgrupamiento) {
        MsgBox(QStringLiteral("DEBE seleccionar un tipo de listado"), Msg::OkOnly + Msg::Critical,
            QStringLiteral("Error"));
        if (r.trabajo.NombreReporte.isEmpty() && estado.ChkEtiquetas == 0)
            return false;
    }
    // What the definitions show besides the price columns and conditions chosen in the window:
    // the company's data in the heading, the analysed lists' blocks, each label's list when the
    // labels cover several.
    QStringList& formulas = r.trabajo.ListaFormulasReporte;
    if (r.trabajo.Etiquetas) {
        const QString desde = estado.ListaDesde.trimmed();
        const bool unaLista = !desde.isEmpty() && desde == estado.ListaHasta.trimmed();
        formulas << QStringLiteral("VariasListas=%1").arg(unaLista ? 0 : 1);
        // The labels drop the list's formulas, the page cut among them: it is passed again.
        if (estado.ChkListaPPagina != 0)
            formulas << QStringLiteral("CortePorLista='-1'");
        // So is the stock switch: without it a warehouse's row that is not the article's first
        // warehouse would be taken for a repeat, and a chosen warehouse print no label.
        formulas << conStock(estado);
    } else {
        formulas << QStringLiteral("DatosEmpresa=") + literal(DatosEmpresa());
        if (r.trabajo.AnalisisCostos) {
            formulas << QStringLiteral("ListasAnalizadas=%1")
                            .arg(std::min<qsizetype>(4, estado.ListasAnalisis.size()));
            // The heading names each analysed list over its columns (and so do a spreadsheet's
            // column names): known now, not only once every row is read.
            for (qsizetype n = 0; n < std::min<qsizetype>(4, estado.ListasAnalisis.size()); ++n)
                formulas << QStringLiteral("NombreLista%1=").arg(n + 1)
                        + literal(estado.ListasAnalisis[n].trimmed());
        }
    }
    if (r.trabajo.AnalisisCostos) {
        CriteriosAnalisis criterios { estado.RubroDesde, estado.RubroHasta, estado.ProveedorDesde,
            estado.ProveedorHasta, estado.FamiliaDesde, estado.FamiliaHasta };
        AnalisisCostos analisis;
        if (!analisis.ArmarAnalisisCostos(criterios, estado.ListasAnalisis, clave))
            return false;
    }
    if (m_salida)
        m_salida(r.trabajo);
    return true;
}
