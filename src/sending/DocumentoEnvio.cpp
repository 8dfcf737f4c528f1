#include "sending/DocumentoEnvio.h"

#include "data/ConsultasDatos.h"
#include "data/DB_Dll.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Clock.h"
#include "platform/RuntimeError.h"
#include "platform/Service.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "reports/DLL_Print.h"
#include "reports/ReportOutputs.h"
#include "sending/ComprobantesEnvio.h"
#include "services/Configuracion.h"

namespace {

bool esUno(const QString& tc, std::initializer_list<const char*> tipos)
{
    for (const char* t : tipos)
        if (tc.compare(QLatin1String(t), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

using ConsultasDatos::literal;

// A buffer fill that stopped (the database held by another process past the time-out) left
// earlier rows behind: nothing is rendered from them.
void rechazaSiSeDetuvo(const QString& error)
{
    if (!error.isEmpty())
        throw RuntimeError(
            RuntimeError::InvalidCall, error, QStringLiteral("GeneraAuxiliarComprobantes"));
}

ComprobantesEnvio& comprobantes()
{
    return Service<ComprobantesEnvio>::get();
}

} // namespace

DocumentoEnvio::DocumentoEnvio(Steps& pasos)
    : m_pasos(pasos)
{
}

QString DocumentoEnvio::textoSinComprobante(const QString& TC, const QString& IdComprobante)
{
    return QStringLiteral("No se encontró el comprobante ") + TC.trimmed() + u' '
        + IdComprobante.trimmed();
}

bool DocumentoEnvio::esCompra(const QString& TC)
{
    return esUno(TC.trimmed(), { "FCC", "NCC", "LNCC", "NDC", "LNDC", "RMC", "FPC", "NCCP" });
}

void DocumentoEnvio::registraPresupuesto(const QString& cuenta, const QString& numero, bool conLink)
{
    const QString archivo = numero + QStringLiteral(".PDF");
    const QString codigo = literal(cuenta);
    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("Select * from MA_CUENTAS_ARCHIVOS_RELACIONADOS where "
                                        "CUENTA = ")
            + codigo + QStringLiteral(" AND NroPresupuesto = ") + literal(numero)
            + QStringLiteral(" "),
        rs);
    const bool nuevo = rs.Eof();
    gDB().CierraRecordset(rs);
    if (!nuevo)
        return;
    gDB().EjecutaConsultaSQL(QStringLiteral("INSERT INTO MA_CUENTAS_ARCHIVOS_RELACIONADOS (CUENTA,"
                                            "RUTA_ARCHIVO,OBSERVACIONES, EsPresupuesto,"
                                            "NroPresupuesto) VALUES (")
        + codigo + u',' + literal(archivo) + u',' + literal(archivo) + QStringLiteral(",'")
        + (conLink ? u'1' : u'0') + QStringLiteral("', ") + literal(numero) + u')');
}

bool DocumentoEnvio::existeComprobante(const QString& tc, const QString& id)
{
    // Printing a voucher that is not there would mail an empty form.
    return gDB().ExisteEnTabla(
        esCompra(tc) ? QStringLiteral("C_MV_CPTE") : QStringLiteral("V_MV_CPTE"), QString(),
        QStringLiteral("TC"), nullptr, Value(qint32(8)),
        QStringLiteral("TC = ") + literal(tc.trimmed()) + QStringLiteral(" AND IDCOMPROBANTE = ")
            + literal(id.trimmed()));
}

DocumentoEnvio::Resultado DocumentoEnvio::genera(
    QString& Cuenta, const QString& TC, const QString& IdComprobante, bool PorPantalla)
{
    if (Cuenta.trimmed().isEmpty())
        Cuenta = IdComprobante;
    m_cuenta = Cuenta;
    m_id = IdComprobante;
    m_porPantalla = PorPantalla;
    m_cuerpo.clear();
    m_adjuntos.clear();
    const bool cierreDeCaja = esUno(TC, { "@CJA" });

    bool existe = true;
    if (!cierreDeCaja && !m_pasos.run([&] { existe = existeComprobante(TC, IdComprobante); }))
        return Resultado::Abandonado;
    if (!existe)
        return Resultado::SinComprobante;

    if (!preparaCarpeta())
        return Resultado::Abandonado;
    if (!m_pasos.run([&] {
            gReporte().DestinoImpresion(
                PorPantalla ? DLL_Print::DestinoPantalla : DLL_Print::DestinoArchivo);
        }))
        return Resultado::Abandonado;

    if (cierreDeCaja)
        return Resultado::Hecho;
    if (esUno(TC, { "CB", "CBCT", "CBFP" })) {
        QStringList formulas { QString() };
        if (!recibo(TC, QString(), formulas))
            return Resultado::Abandonado;
        return imprimePar({ TC, TC, QString(), formulas, QString() }, nombre(TC), m_adjuntos)
            ? Resultado::Hecho
            : Resultado::Abandonado;
    }
    if (esUno(TC, { "PG", "PGFP", "OPG", "IBR", "IVA", "GAN" }))
        return pago(TC) ? Resultado::Hecho : Resultado::Abandonado;

    QString tipo = TC;
    if (!m_pasos.run([&] {
            rechazaSiSeDetuvo(comprobantes().llenaComprobante(
                tipo, IdComprobante.mid(0, 4), IdComprobante.mid(4, 8), IdComprobante.mid(12, 1)));
        }))
        return Resultado::Abandonado;
    // A purchase voucher's report reads every supplier's vouchers of that number otherwise.
    const QString seleccion = esCompra(TC)
        ? QStringLiteral("{C_MV_CPTE.CUENTA}= ") + literal(Cuenta.trimmed())
        : QString();
    return imprimePar({ TC, TC, seleccion, {}, QStringLiteral("Todos") }, nombre(TC), m_adjuntos)
        ? Resultado::Hecho
        : Resultado::Abandonado;
}

bool DocumentoEnvio::preparaCarpeta()
{
    if (!m_pasos.run([&] { m_carpeta = RT_Crystal2::PreparaCarpetaEnvio(Now()); }))
        return false;
    // The format is read once for the whole document, so a word nobody accepts is told once.
    if (!m_pasos.run([&] { m_formato = RT_Crystal2::LeeFormatoAdjunto(); }))
        return false;
    if (!m_formato.conocido && !m_porPantalla)
        RT_Crystal2::AvisaFormatoAdjuntoDesconocido();
    return true;
}

bool DocumentoEnvio::recibo(const QString& tc, const QString& cuentaBuffer, QStringList& formulas)
{
    int copias = 0;
    int items = 0;
    if (!m_pasos.runAll({ [&] {
                             copias = gUtilidades().ValorEntero(
                                 Configuracion::Cfg(QStringLiteral("CobranzasCopiasPorPagina")));
                         },
            [&] {
                items = gUtilidades().ValorEntero(
                    Configuracion::Cfg(QStringLiteral("CobranzasItems")));
            } }))
        return false;
    bool lleno = false;
    return m_pasos.run([&] {
        lleno = comprobantes().llenaRecibo(tc, m_id.mid(0, 4), m_id.mid(4, 8), m_id.mid(12, 1),
            cuentaBuffer, formulas, copias, items);
    }) && lleno;
}

bool DocumentoEnvio::pago(const QString& tc)
{
    QStringList formulas { QString() };
    if (!recibo(tc, m_cuenta, formulas))
        return false;
    QString liquidacion;
    if (!imprimePar({ tc, QStringLiteral("LiqOPG"), QString(), formulas, QString() }, nombre(tc),
            liquidacion))
        return false;

    QStringList certificados;
    const struct
    {
        const char* codigo;
        const char* reporte;
        const char* columna;
    } impuestos[] = {
        { "IBR", "RETIBR", "LIVA_Ret_IBtos" },
        { "GAN", "RETIGAN", "LIVA_Ret_Ganancias" },
        { "IVA", "RETIVA", "LIVA_Ret_Perc" },
    };
    for (const auto& impuesto : impuestos) {
        QString archivo;
        if (!certificado(tc, impuesto.codigo, impuesto.reporte, impuesto.columna, archivo))
            return false;
        if (!archivo.isEmpty())
            certificados << archivo;
    }
    m_adjuntos = (QStringList { liquidacion } + certificados).join(u';');
    return true;
}

bool DocumentoEnvio::certificado(const QString& tc, const char* codigo, const char* reporte,
    const char* columna, QString& archivo)
{
    const QString campo = QString::fromLatin1(columna);
    bool hay = false;
    Currency retenido;
    if (!m_pasos.run([&] {
            AdoRecordset rs;
            gDB().AbrirRecordset(QStringLiteral("select * from MV_ASIENTOS where tc = ")
                    + literal(tc) + QStringLiteral(" and SUCURSAL = ") + literal(m_id.mid(0, 4))
                    + QStringLiteral(" and NUMERO = ") + literal(m_id.mid(4, 8))
                    + QStringLiteral(" and LETRA = ") + literal(m_id.mid(12, 1))
                    + QStringLiteral(" and cuenta = ") + literal(m_cuenta) + QStringLiteral(" and ")
                    + campo + QStringLiteral(" > 0 "),
                rs);
            hay = !rs.Eof();
            retenido = Currency();
            while (!rs.Eof()) {
                retenido = retenido + rs.Fields(campo).Value().toCurrency();
                rs.MoveNext();
            }
            gDB().CierraRecordset(rs);
        }))
        return false;
    if (!hay)
        return true;
    // The certificate's own formula: the amount withheld in words, as the receipts write theirs.
    const QStringList formulas { QStringLiteral("Prm_ImporteEnLetras = '")
        + comprobantes().importeEnLetras(retenido) + u'\'' };
    return imprimePar({ tc, QString::fromLatin1(reporte), QString(), formulas, QString() },
        nombre(QString::fromLatin1(codigo)), archivo);
}

QString DocumentoEnvio::nombre(const QString& tc) const
{
    return m_cuenta + u'_' + tc.trimmed();
}

bool DocumentoEnvio::imprimePar(
    const Impresion& impresion, const QString& nombreArchivos, QString& adjunto)
{
    const QString base = gUtilidades().RutaConBarra(m_carpeta) + nombreArchivos;
    m_cuerpo = base + QStringLiteral(".htm");
    if (!asignaSalida(m_cuerpo, FormatoExportacion::Html))
        return false;
    imprime(impresion);

    // A PDF is printed as a saved report first and converted from it.
    const bool pdf = m_formato.codigo == FormatoExportacion::Pdf;
    adjunto = base + QStringLiteral("1.") + (pdf ? QStringLiteral("RPT") : m_formato.extension());
    if (!asignaSalida(adjunto, pdf ? FormatoExportacion::ReporteGuardado : m_formato.codigo))
        return false;
    imprime(impresion);

    // On the screen nothing was written to convert.
    if (pdf && !m_porPantalla) {
        const QString destino = base + QStringLiteral("1.PDF");
        RT_Crystal2::ExportarArchivo(adjunto, destino, FormatoExportacion::Pdf);
        adjunto = destino;
    }
    return true;
}

bool DocumentoEnvio::asignaSalida(const QString& archivo, int codigo)
{
    DLL_Print& reporte = gReporte();
    return m_pasos.runAll({ [&] {
                               reporte.AsignaPropiedad(QStringLiteral("PrintFileName"), archivo);
                           },
        [&] { reporte.AsignaPropiedad(QStringLiteral("PrintFileType"), Value(qint32(codigo))); } });
}

DocumentoEnvio::Resultado DocumentoEnvio::presupuesto(const QString& Cuenta, const QString& TC,
    const QString& IdComprobante, const QString& Suc, const QString& Nro, const QString& Letra)
{
    m_cuenta = Cuenta;
    m_id = IdComprobante;
    m_porPantalla = false;
    m_cuerpo.clear();
    m_adjuntos.clear();
    m_pdf.clear();
    bool existe = true;
    if (!m_pasos.run([&] { existe = existeComprobante(TC, IdComprobante); }))
        return Resultado::Abandonado;
    if (!existe)
        return Resultado::SinComprobante;
    if (!preparaCarpeta()
        || !m_pasos.run([&] { gReporte().DestinoImpresion(DLL_Print::DestinoArchivo); }))
        return Resultado::Abandonado;
    QString tipo = TC;
    if (!m_pasos.run(
            [&] { rechazaSiSeDetuvo(comprobantes().llenaComprobante(tipo, Suc, Nro, Letra)); }))
        return Resultado::Abandonado;
    const Impresion impresion { TC, TC.trimmed(), QString(), {}, QString() };
    if (!imprimePar(impresion, m_cuenta, m_adjuntos))
        return Resultado::Abandonado;

    // The customer opens the budget on the web site as a PDF, whatever the mail attaches.
    if (m_formato.codigo == FormatoExportacion::Pdf) {
        m_pdf = m_adjuntos;
        return Resultado::Hecho;
    }
    const QString base = gUtilidades().RutaConBarra(m_carpeta) + m_cuenta;
    QString guardado = m_adjuntos;
    if (m_formato.codigo != FormatoExportacion::ReporteGuardado) {
        guardado = base + QStringLiteral("1.RPT");
        if (!asignaSalida(guardado, FormatoExportacion::ReporteGuardado))
            return Resultado::Abandonado;
        imprime(impresion);
    }
    m_pdf = base + QStringLiteral("1.PDF");
    RT_Crystal2::ExportarArchivo(guardado, m_pdf, FormatoExportacion::Pdf);
    return Resultado::Hecho;
}

void DocumentoEnvio::imprime(const Impresion& impresion)
{
    // Voucher printing hands back the report it resolved and the selection it built: every print
    // starts from the caller's own.
    QString reporte = impresion.reporte;
    QStringList orden;
    QString seleccion = impresion.seleccion;
    int destino = gReporte().DestinoPredeterminado();
    QString formulario = impresion.formulario;
    bool esContable = false;
    comprobantes().imprime(impresion.tc, m_id, reporte, orden, seleccion, impresion.formulas,
        destino, formulario, esContable);
}
