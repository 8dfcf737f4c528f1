#include "vouchers/ImpresionComprobante.h"

#include <cmath>

#include "data/ConsultasDatos.h"
#include "data/DB_Dll.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/CampoLeido.h"
#include "platform/Utilidades.h"
#include "reports/ArchivosReporte.h"
#include "reports/DLL_Print.h"
#include "services/Configuracion.h"
#include "services/ConfiguracionGlobal.h"
#include "services/Formatos.h"
#include "services/ManejoErrores.h"
#include "services/VariablesInicio.h"
#include "vouchers/ImpresionesAnexas.h"
#include "vouchers/ImprimirComprobante.h"
#include "vouchers/ImpresoraComprobante.h"
#include "vouchers/MediosDePagoCpte.h"

namespace ImpresionCpte {

namespace {

using ConsultasDatos::literal;

// A payment total as the footer shows it: nothing for 0, else its plain text.
QString textoTotal(Currency total)
{
    return total == Currency() ? QString() : total.toString(SeparadorDecimal().at(0));
}

const QString TablaTipos = QStringLiteral("V_TA_CPTE");

} // namespace

ImpresionComprobante::ImpresionComprobante(const QString& TC, const QString& IdComprobante,
    const QString& IdComplemento, QString& Reporte, QStringList& OrdenReporte,
    QString& FormulaSeleccion, const QStringList& FormulasAdicionales, int& Destino,
    bool OmitirFiltroComprobante, const QString& Fecha, QString& Formulario, bool& EsContable,
    bool UnaCopia)
    : m_tc(TC)
    , m_idComprobante(IdComprobante)
    , m_idComplemento(IdComplemento)
    , m_reporte(Reporte)
    , m_orden(OrdenReporte)
    , m_seleccion(FormulaSeleccion)
    , m_formulasAdicionales(FormulasAdicionales)
    , m_destino(Destino)
    , m_omitirFiltro(OmitirFiltroComprobante)
    , m_fecha(Fecha)
    , m_formulario(Formulario)
    , m_esContable(EsContable)
    , m_unaCopia(UnaCopia)
    , m_pasos(reportAs(QStringLiteral("ImprimirComprobante")))
    , m_reporteOriginal(Reporte)
{
}

void ImpresionComprobante::ejecuta()
{
    if (prepara())
        salida();
}

bool ImpresionComprobante::esUno(const QString& texto, std::initializer_list<const char*> lista)
{
    for (const char* valor : lista)
        if (texto.compare(QLatin1String(valor), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool ImpresionComprobante::tcEs(std::initializer_list<const char*> tipos) const
{
    return esUno(m_tc, tipos);
}

bool ImpresionComprobante::tcRecortadoEs(std::initializer_list<const char*> tipos) const
{
    return esUno(m_tc.trimmed(), tipos);
}

void ImpresionComprobante::agregaFormula(const QString& formula)
{
    // The list always ends in one empty element, which the report object expects.
    m_formulas.last() = formula;
    m_formulas.append(QString());
}

void ImpresionComprobante::agregaCondicion(const QString& condicion)
{
    if (!m_seleccion.trimmed().isEmpty())
        m_seleccion += QStringLiteral(" AND ");
    m_seleccion += condicion;
}

void ImpresionComprobante::resuelve(
    const QString& nombre, const QString& puesto, const QString& idComprobante)
{
    QString reporte = nombre;
    ArchivosReporte::ArchivosCopias archivos;
    m_reporte = ArchivosReporte::NombreReporte(reporte, puesto, &archivos, idComprobante);
    m_archivos = archivos;
}

bool ImpresionComprobante::prepara()
{
    if (!tipoDeComprobante())
        return false;
    if (m_esContable) {
        // Accounting vouchers print their journal entries only; that print ends its own run.
        const bool conCentroCosto
            = m_formulario.compare(
                  QLatin1String("Asientos con Centro de Costo"), Qt::CaseInsensitive)
            == 0;
        m_pasos.run([&] {
            if (auto* anexas = Service<ImpresionesAnexas>::tryGet())
                anexas->ImprimeAsientoDelCpte(m_tc, m_idComprobante, m_fecha, conCentroCosto);
        });
        return false;
    }
    if (!esDeStock())
        return false;
    if (!datosEmpresa() || !formulasEmpresa() || !impresoraYCopias())
        return false;
    // A retried decision starts again from where it first started: the conditions it had
    // appended before failing are not appended twice.
    const QString seleccion = m_seleccion;
    const QStringList orden = m_orden;
    const QString reporte = m_reporte;
    const auto archivos = m_archivos;
    if (!m_pasos.run([&] {
            m_seleccion = seleccion;
            m_orden = orden;
            m_reporte = reporte;
            m_archivos = archivos;
            decideSegunTipo();
        }))
        return false;
    return piePago();
}

bool ImpresionComprobante::esDeStock()
{
    // A stock type's form reads the stock movement: an id that has none (a sales voucher under
    // the same type) would print an empty page under another title.
    if (!m_esStock || m_omitirFiltro)
        return true;
    bool hay = true;
    if (!m_pasos.run([&] {
            hay = gDB().ExisteEnTabla(QStringLiteral("V_MV_STOCK"), QString(),
                QStringLiteral("IDCOMPROBANTE"), nullptr, Value(qint32(8)),
                QStringLiteral("TC=") + literal(m_tc) + QStringLiteral(" AND IDCOMPROBANTE=")
                    + literal(m_idComprobante.trimmed()));
        }))
        return false;
    if (!hay)
        MsgBox(QStringLiteral("El comprobante ") + m_tc.trimmed() + u' ' + m_idComprobante.trimmed()
                + QStringLiteral(" no es un comprobante de stock: no tiene movimiento de stock que "
                                 "imprimir."),
            Msg::Information, QStringLiteral("Atención"));
    return hay;
}

bool ImpresionComprobante::tipoDeComprobante()
{
    const QString tipo = literal(m_tc);
    return m_pasos.run([&] {
        if (gDB().ExisteEnTabla(TablaTipos, QString(), QStringLiteral("Codigo"), nullptr,
                Value(qint32(8)),
                QStringLiteral("CODIGO=") + tipo + QStringLiteral(" AND SISTEMA='CONTABLE'"))
            || tcEs({ "NCPE", "RN" }))
            m_esContable = true;
    }) && m_pasos.run([&] {
        m_esStock = gDB().ExisteEnTabla(TablaTipos, QString(), QStringLiteral("Codigo"), nullptr,
            Value(qint32(8)),
            QStringLiteral("CODIGO=") + tipo + QStringLiteral(" AND SISTEMA='STOCK'"));
    });
}

bool ImpresionComprobante::datosEmpresa()
{
    const bool conUnidad = tcEs({ "OT", "PR", "RM", "FC", "FCE", "NC", "NCFP", "ND", "FP", "NP",
        "GF", "TK", "TKFC", "CB", "CBFP", "CBCT", "OPG", "PG", "REC" });
    if (conUnidad && !m_pasos.run([&] {
            AdoRecordset rs;
            gDB().AbrirRecordset(QStringLiteral("Select UNegocio from v_mv_cpte WHERE TC = ")
                    + literal(m_tc) + QStringLiteral(" AND IDCOMPROBANTE = ")
                    + literal(m_idComprobante),
                rs);
            m_unegocio = rs.Bof()
                ? QString()
                : gUtilidades().ValorCampo(rs.Fields(QStringLiteral("UNegocio")).Value());
            gDB().CierraRecordset(rs);
        }))
        return false;
    return m_pasos.run([&] {
        DatosEmpresaUNegocio(m_unegocio, m_nombre, m_cuit, m_inicioActividades, m_ingresosBrutos,
            m_condicionIva, m_puntoVenta, m_domicilio);
    });
}

bool ImpresionComprobante::formulasEmpresa()
{
    QString localidad;
    QString codigoPostal;
    QString telefono;
    if (!m_esStock
        && !m_pasos.runAll({ [&] { localidad = Configuracion::Cfg(QStringLiteral("LOCALIDAD")); },
            [&] { codigoPostal = Configuracion::Cfg(QStringLiteral("CPOSTAL")); },
            [&] { telefono = Configuracion::Cfg(QStringLiteral("TELEFONO")).trimmed(); } }))
        return false;

    // Values are quoted as the formula language reads text, as SQL does: an apostrophe in a
    // name or an address is doubled and prints once.
    const QString direccion = QStringLiteral("Direccion = ") + literal(m_domicilio);
    const QString lugar = QStringLiteral("Localidad= ") + literal(localidad);
    const QString postal = QStringLiteral("CodigoPostal= ") + literal(codigoPostal);
    const QString telefonos
        = QStringLiteral("Telefono= ") + literal(QStringLiteral("Telefono:") + telefono);
    if (!tcEs({ "IR" }) && !m_esStock) {
        agregaFormula(QStringLiteral("NombreEmpresa = ") + literal(m_nombre));
        for (const QString& formula : { direccion, lugar, postal, telefonos })
            agregaFormula(formula);
    }
    if (!m_esStock) {
        m_textoDireccion = direccion;
        m_textoLocalidad = u' ' + lugar;
        m_textoCodigoPostal = postal;
        m_textoTelefono = telefonos;
    }

    if (!esUno(m_reporte.trimmed(), { "STK5", "STK7", "RMC", "STK5CLIENTE" })
        && !tcEs({ "T3", "IR" }) && !m_esStock) {
        QString condicion;
        if (!m_pasos.run([&] {
                condicion = gUtilidades().ValorCampo(gDB().DatosTabla(
                    QStringLiteral("TA_CONDIVA"), m_condicionIva, QStringLiteral("DESCRIPCION")));
            }))
            return false;
        agregaFormula(
            QStringLiteral("Condicion IVA= ") + literal(QStringLiteral("IVA:") + condicion));
        agregaFormula(QStringLiteral("CUIT= ") + literal(QStringLiteral("CUIT:") + m_cuit));
    }

    if (!m_esStock)
        for (const QString& formula : m_formulasAdicionales)
            agregaFormula(formula);
    return true;
}

bool ImpresionComprobante::impresoraYCopias()
{
    m_letra = m_idComprobante.mid(12, 1);
    if (!m_pasos.run([&] {
            QString usuario;
            ObtieneImpresoraComprobante(tcEs({ "PEC" }) ? QStringLiteral("PE") : m_tc, m_letra,
                m_impresora, m_cantCopias, m_cantLineas, m_destinoDefault, usuario);
        }))
        return false;
    if (!m_pasos.run([&] {
            if (!gDB().ExisteEnTabla(QStringLiteral("V_MV_CPTE_ELECTRONICOS"), QString(),
                    QStringLiteral("Codigo"), nullptr, Value(qint32(8)),
                    QStringLiteral(" TC=") + literal(m_tc) + QStringLiteral(" AND IDCOMPROBANTE=")
                        + literal(m_idComprobante)))
                return;
            const Currency copias
                = gUtilidades().ValorMoneda(Configuracion::Cfg(QStringLiteral("copias_efactura")));
            m_cantCopias = int(std::nearbyint(copias.toDouble()));
            if (m_cantCopias == 0)
                m_cantCopias = 1;
            m_esFacturaElectronica = true;
        }))
        return false;
    if (m_unaCopia)
        m_cantCopias = 1;
    return true;
}

void ImpresionComprobante::decideSegunTipo()
{
    const QString t4 = gUtilidades().FormateaCodigo(m_tc, 4);
    const QString id = m_idComprobante.trimmed();
    // A type read from a fixed-width column comes padded ("FC  "): its forms are named without
    // the blanks.
    const QString tcLetra = m_tc.trimmed() + u'-' + m_letra;
    const QString claveEstacion = ClaveEstacion();
    const QString numero = QStringLiteral("{V_MV_CPTE.IDCOMPROBANTE} = ") + literal(id);

    if (m_esStock) {
        agregaCondicion(QStringLiteral(" {V_MV_STOCK.TC} = ") + literal(m_tc));
        if (!m_omitirFiltro)
            agregaCondicion(QStringLiteral("{V_MV_STOCK.IDCOMPROBANTE} = ") + literal(id) + u' ');
        if (!m_orden.isEmpty())
            m_orden[0].clear();
        resuelve(QStringLiteral("STK5"));
    }

    // The commercial vouchers read the buffer rows the buffer filler wrote for this workstation.
    const QString delUsuario = QStringLiteral(" AND {V_MV_CPTE.IDCOMPLEMENTO} = ") + m_idComplemento
        + QStringLiteral(" AND {Aux_MV_CPte.USUARIO} = ") + literal(claveEstacion);
    const bool esWithholding = esUno(m_reporte, { "RETIGAN", "RETIBR", "RETIVA", "RETSUSS" });

    if (tcRecortadoEs({ "OT", "PR", "RM", "FC", "FCE", "NC", "NCFP", "ND", "FP", "NP", "GF", "TK",
            "TKFC", "REC", "EEFC", "EENC", "EEND" })) {
        agregaCondicion(QStringLiteral(" {V_MV_CPTE.TC} = ") + literal(t4));
        if (!m_omitirFiltro)
            agregaCondicion(numero + delUsuario);
        const bool ot2
            = m_reporte.trimmed().compare(QLatin1String("OT2"), Qt::CaseInsensitive) == 0;
        resuelve(tcLetra, QString(), id);
        if (ot2) {
            // The second work-order form sits beside the first as "<form>2.rpt"; an entry too
            // short to carry an extension is kept as it is.
            auto segundo = [](QString& archivo) {
                if (archivo.size() >= 4)
                    archivo = archivo.left(archivo.size() - 4) + QStringLiteral("2.rpt");
            };
            segundo(m_reporte);
            for (int k = 1; k <= 4; ++k)
                segundo(m_archivos[k]);
        }
    } else if (tcRecortadoEs({ "OP" })) {
        agregaCondicion(QStringLiteral(" {V_MV_CPTE.TC} = ") + literal(t4));
        if (!m_omitirFiltro)
            agregaCondicion(numero + u' ');
        if (!m_orden.isEmpty())
            m_orden[0] = QStringLiteral("+{V_Mv_CpteInsumos.Id}");
        resuelve(tcLetra);
    } else if (tcRecortadoEs({ "PE" })) {
        if (!m_orden.isEmpty())
            m_orden[0].clear();
        resuelve(QStringLiteral("ParteConsumoPE"));
    } else if (tcRecortadoEs({ "IR" })) {
        agregaCondicion(QStringLiteral(" {V_MV_STOCK.TC} = 'IR'"));
        if (!m_omitirFiltro)
            agregaCondicion(QStringLiteral("{V_MV_STOCK.IDCOMPROBANTE} = ") + literal(id) + u' ');
        if (!m_orden.isEmpty())
            m_orden[0].clear();
        resuelve(QStringLiteral("IR-OC"));
    } else if (tcRecortadoEs({ "PEC", "PECO", "PEBA", "PEBR" })) {
        agregaCondicion(numero + QStringLiteral(" AND {V_MV_CPTE.TC} = 'PE'"));
        const QString tc = m_tc.trimmed().toUpper();
        resuelve(tc == QLatin1String("PECO")  ? QStringLiteral("COMANDA_COCINA")
                : tc == QLatin1String("PEBA") ? QStringLiteral("COMANDA_BAR")
                : tc == QLatin1String("PEBR") ? QStringLiteral("COMANDA_BAR2")
                                              : QStringLiteral("COMANDA"));
        if (m_destinoDefault.compare(QLatin1String("Impresora"), Qt::CaseInsensitive) == 0) {
            m_destino = DLL_Print::DestinoImpresora;
            gReporte().DestinoImpresion(DLL_Print::DestinoImpresora);
        } else {
            gReporte().DestinoImpresion(DLL_Print::DestinoPantalla);
        }
    } else if (tcRecortadoEs({ "T3" })) {
        if (!m_omitirFiltro)
            m_seleccion
                = QStringLiteral("({v_mv_cpte.tc} = 'OT') and (") + numero + QStringLiteral(" )");
        resuelve(QStringLiteral("RP_MV_3ros"), claveEstacion);
    } else if (tcRecortadoEs({ "LQ" })) {
        m_seleccion = numero + QStringLiteral(" AND {V_MV_CPTE.TC} = 'OT'");
        resuelve(QStringLiteral("RP_Liq_Com"), claveEstacion);
    } else if (tcRecortadoEs({ "STK5", "STK7" })) {
        if (m_reporte.compare(QLatin1String("STK5CLIENTE"), Qt::CaseInsensitive) != 0)
            resuelve(tcLetra);
    } else if (tcRecortadoEs({ "OPG" })) {
        m_seleccion = QStringLiteral("{V_MV_CPTE.TC} = ") + literal(t4);
        if (!m_omitirFiltro)
            agregaCondicion(QStringLiteral(" {V_MV_CPTE.IDCOMPROBANTE} = ") + literal(id)
                + (esWithholding ? QString()
                                 : QStringLiteral(" and {AUX_MV_CPTE.USUARIO} = ")
                            + literal(claveEstacion)));
        // A withholding certificate of the order prints on the certificate's own form, as a
        // payment's does.
        resuelve(esWithholding ? m_reporte : tcLetra);
    } else if (tcRecortadoEs({ "PG", "PGFP" })) {
        if (esWithholding) {
            m_seleccion = QStringLiteral("{V_MV_CPTE.TC} = ") + literal(t4);
            if (!m_omitirFiltro)
                agregaCondicion(QStringLiteral(" {V_MV_CPTE.IDCOMPROBANTE} = ") + literal(id));
            resuelve(m_reporte);
        } else {
            m_seleccion = QStringLiteral("{AUX_MV_CPTE.TC} = ") + literal(t4);
            agregaCondicion(QStringLiteral("{AUX_MV_CPTE.USUARIO} = ") + literal(claveEstacion));
            if (!m_omitirFiltro)
                agregaCondicion(QStringLiteral(" {AUX_MV_CPTE.IDCOMPROBANTE} = ") + literal(id)
                    + QStringLiteral(" AND {AUX_MV_CPTE.IDCOMPLEMENTO} = ") + m_idComplemento);
            resuelve(QStringLiteral("LiqOPG"));
        }
    } else if (tcRecortadoEs({ "CB", "CBCT", "CBFP" })) {
        // Receipts always name their number, whatever the caller asked.
        agregaCondicion(QStringLiteral(" {AUX_MV_CPTE.TC} = ") + literal(t4));
        agregaCondicion(QStringLiteral(" {AUX_MV_CPTE.IDCOMPROBANTE} = ") + literal(id)
            + QStringLiteral(" AND {AUX_MV_CPTE.IDCOMPLEMENTO} = ") + m_idComplemento);
        agregaCondicion(QStringLiteral(" {AUX_MV_CPTE.USUARIO} = ") + literal(claveEstacion));
        m_orden = QStringList { QString() };
        resuelve(tcLetra);
    } else if (tcRecortadoEs({ "AutOt" })) {
        agregaCondicion(QStringLiteral(" {V_MV_CPTE.TC} = ")
            + literal(gUtilidades().FormateaCodigo(QStringLiteral("OT"), 4)));
        if (!m_omitirFiltro)
            agregaCondicion(numero + delUsuario);
        if (!m_orden.isEmpty())
            m_orden[0] = QStringLiteral("+{Aux_Mv_Cpte.ID}");
        resuelve(QStringLiteral("AutOT"));
        for (int k = 1; k <= 4; ++k)
            m_archivos[k] = m_reporte;
    } else if (tcRecortadoEs(
                   { "RMC", "OC", "FCC", "NCC", "LNCC", "NCCP", "NDC", "LNDC", "FPC", "LQCO" })) {
        agregaCondicion(QStringLiteral("{C_MV_CPTE.IDCOMPROBANTE} = ") + literal(id)
            + QStringLiteral(" AND {C_MV_CPTE.TC} = ") + literal(m_tc.trimmed()));
        resuelve(tcLetra);
    }
}

namespace {
QStringList datosInvalidos;
} // namespace

const QStringList& DatosInvalidos()
{
    return datosInvalidos;
}

bool ImpresionComprobante::leeDatos(const std::function<void()>& paso)
{
    QString invalido;
    const bool sigue = m_pasos.run([&] {
        invalido.clear();
        try {
            paso();
        } catch (const CampoLeido::Invalido& error) {
            invalido = error.description();
            throw;
        }
    });
    if (invalido.isEmpty())
        return sigue;
    datosInvalidos.append(invalido);
    return false;
}

bool ImpresionComprobante::piePago()
{
    if (!tcEs({ "FC", "FP" }))
        return true;
    MediosDePago medios;
    if (!leeDatos([&] { medios = ObtieneMediosDePagoCpte(m_tc, m_idComprobante); }))
        return false;
    const bool sinMedios = medios.DescEfectivo.trimmed().isEmpty()
        && medios.DescTarjeta.trimmed().isEmpty() && medios.DescOtros.trimmed().isEmpty()
        && medios.DescCheque.trimmed().isEmpty();
    // The media are the accounts' own names: quoted like any text, apostrophes included.
    agregaFormula(QStringLiteral("PieDePagina = ")
        + literal((sinMedios ? QString() : QStringLiteral("Su pago: ")) + medios.DescEfectivo + u' '
            + textoTotal(medios.TotalEfectivo) + u' ' + medios.DescTarjeta + u' '
            + textoTotal(medios.TotalTarjeta) + u' ' + medios.DescOtros + u' '
            + textoTotal(medios.TotalOtros) + u' ' + medios.DescCheque + u' '
            + textoTotal(medios.TotalCheque)));
    return true;
}

} // namespace ImpresionCpte
