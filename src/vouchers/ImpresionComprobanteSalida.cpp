#include "vouchers/ImpresionComprobante.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/MessageDialog.h"
#include "reports/DLL_Print.h"
#include "services/Configuracion.h"
#include "services/Globales.h"
#include "services/ModArchivos.h"
#include "vouchers/ImpresionesAnexas.h"
#include "vouchers/ImprimirComprobante.h"

namespace ImpresionCpte {

namespace {

using ConsultasDatos::literal;

bool igual(const QString& a, const char* b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

QString leyenda(int numeroCopia)
{
    if (numeroCopia <= 1)
        return QStringLiteral("ORIGINAL");
    if (numeroCopia == 2)
        return QStringLiteral("DUPLICADO");
    return QStringLiteral("TRIPLICADO");
}

bool esComandera(const QString& destino)
{
    return destino.contains(QLatin1String("Comandera"), Qt::CaseInsensitive);
}

// The fiscal-printer destination prints only in the program that drives the fiscal printer.
bool imprimeConFiscal()
{
    return QFileInfo(QCoreApplication::applicationFilePath())
               .completeBaseName()
               .compare(QLatin1String("RP_TORVELA"), Qt::CaseInsensitive)
        == 0;
}

} // namespace

void ConfiguraImpresora(const QString& Configuracion)
{
    const qsizetype barra = Configuracion.indexOf(u'|');
    const QString nombre = (barra < 0 ? Configuracion : Configuracion.left(barra)).trimmed();
    const QString complemento = barra < 0 ? QString() : Configuracion.mid(barra + 1).trimmed();
    gReporte().NombreImpresora(nombre);
    gReporte().SeleccionaImpresora(nombre);
    gReporte().ComplementoImpresora(complemento);
}

bool ImpresionComprobante::salida()
{
    if (!m_pasos.run([&] { gReporte().AsignaFormulas(m_formulas, 0); }) || !asignaDestino())
        return false;
    if (m_cantCopias == 0)
        m_cantCopias = 1;

    bool sigue = true;
    if (igual(m_destinoDefault, "Selectivo")
        || (igual(m_destinoDefault, "Controlador Fiscal:") && !imprimeConFiscal())) {
        // Printed elsewhere: nothing here but the end of the run.
    } else if (esComandera(m_destinoDefault)) {
        sigue = m_pasos.run([&] {
            auto* anexas = Service<ImpresionesAnexas>::tryGet();
            if (!anexas)
                return;
            const bool pedido = m_tc.left(2).compare(QLatin1String("PE"), Qt::CaseInsensitive) == 0;
            anexas->ImprimeEnComandera(pedido ? QStringLiteral("PE") : m_tc, m_idComprobante,
                m_destinoDefault, tcEs({ "PECO" }), tcEs({ "PEBA", "PEBR" }));
        });
    } else {
        const QString formulario = m_formulario.trimmed();
        sigue = formulario.isEmpty() || igual(formulario, "Todos") ? copias() : formularioUnico();
    }
    return sigue && m_pasos.run([&] { gReporte().FinalizaImpresion(30); });
}

bool ImpresionComprobante::asignaDestino()
{
    DLL_Print& reporte = gReporte();
    if (m_destino == -1) {
        const QString& d = m_destinoDefault;
        if (igual(d, "Pantalla") || igual(d, "Ninguno"))
            m_destino = DLL_Print::DestinoPantalla;
        else if (igual(d, "Impresora"))
            m_destino = DLL_Print::DestinoImpresora;
        else if (igual(d, "E-M@ail"))
            m_destino = DLL_Print::DestinoMail;
    }
    if (m_destino == -1)
        m_destino = 0;
    return m_pasos.run([&] { reporte.DestinoImpresion(m_destino); }) && m_pasos.run([&] {
        if (reporte.DestinoImpresion() == DLL_Print::DestinoImpresora)
            ConfiguraImpresora(m_impresora);
    });
}

namespace {
int formulariosFaltantes = 0;
} // namespace

int FormulariosNoEncontrados()
{
    return formulariosFaltantes;
}

bool ImpresionComprobante::faltaFormulario(const QString& formulario)
{
    if (!formulario.trimmed().isEmpty() && ModArchivos::ExisteArchivo(formulario))
        return false;
    ++formulariosFaltantes;
    // A key no form answers for leaves no file name: the key is named instead.
    const QString buscado = formulario.trimmed().isEmpty()
        ? QStringLiteral("(ninguno para %1 %2)").arg(m_tc.trimmed(), m_reporteOriginal.trimmed())
        : formulario;
    MsgBox(QStringLiteral("No se encuentra el Formulario ") + buscado, Msg::Information,
        QStringLiteral("Atención"));
    return true;
}

bool ImpresionComprobante::imprime(
    const QString& reporte, const Formulas5& formulas, const std::array<QString, 3>& subreportes)
{
    return m_pasos.run([&] {
        gReporte().Imprimir(reporte, m_orden, m_seleccion, gGlobales().gCadenaODBC, formulas[0],
            formulas[1], formulas[2], formulas[3], formulas[4], subreportes[0], subreportes[1],
            subreportes[2]);
    });
}

bool ImpresionComprobante::imprimeT(const QString& formulario)
{
    QString empresa;
    if (!m_pasos.run([&] { empresa = Configuracion::Cfg(QStringLiteral("Nombre")); }))
        return false;
    return imprime(formulario,
        { QStringLiteral("Empresa=") + literal(empresa), m_textoDireccion, m_textoLocalidad,
            m_textoCodigoPostal, m_textoTelefono });
}

bool ImpresionComprobante::imprimeE(const QString& formulario, bool enCopias)
{
    // The electronic forms read the business unit's data under these names: gross income in
    // "Localidad", start of activities in "Direccion", the unit's address in "Encabezado" and
    // the copy caption in "CodigoPostal".
    return imprime(formulario,
        { QStringLiteral("NombreEmpresa=") + literal(m_nombre),
            QStringLiteral("Localidad=")
                + literal(QStringLiteral("Ingresos Brutos: ") + m_ingresosBrutos),
            QStringLiteral("Direccion=")
                + literal(QStringLiteral("Inicio de Actividades: ") + m_inicioActividades),
            QStringLiteral("Encabezado=") + literal(m_domicilio),
            QStringLiteral("CodigoPostal=") + literal(m_leyendaCopia)
                + (enCopias ? QStringLiteral(" ") : QString()) });
}

bool ImpresionComprobante::copias()
{
    int indice = 0;
    QString anterior;
    for (int numeroCopia = 1; numeroCopia <= m_cantCopias; ++numeroCopia) {
        if (!m_pasos.run([&] {
                if (gReporte().DestinoImpresion() == DLL_Print::DestinoImpresora)
                    ConfiguraImpresora(m_impresora);
            }))
            return false;
        indice = qMin(indice + 1, 4);
        const QString archivo = m_archivos[indice];
        bool sigue = true;
        if (faltaFormulario(archivo)) {
        } else if (tcEs({ "T3", "LQ" })) {
            sigue = imprimeT(archivo);
        } else if (gReporte().DestinoImpresion() == DLL_Print::DestinoPantalla
            && !anterior.isEmpty() && archivo.compare(anterior, Qt::CaseInsensitive) == 0) {
            // A preview shows each form once: the next copy on the same form adds nothing.
        } else if (tcEs({ "RMC", "OC", "FCC", "NCCP", "NCC", "LNCC", "NDC", "LNDC", "FPC" })) {
            sigue = imprime(archivo, {},
                { QStringLiteral("RP_CPTESER"), QString(), QStringLiteral("RP_CpteObs") });
        } else if (esUno(m_reporteOriginal,
                       { "RETIGAN", "RETIBR", "RETIVA", "RETSUSS", "STK5CLIENTE" })) {
            sigue = imprime(m_reporte);
        } else if (tcRecortadoEs({ "OPG", "PG" })) {
            QString conSubreporte;
            sigue = m_pasos.run([&] {
                conSubreporte = Configuracion::Cfg(QStringLiteral("ImpresionPagosConSubReporte"));
            })
                && imprime(archivo, {},
                    { igual(conSubreporte.trimmed(), "SI") ? QStringLiteral("OPGSR") : QString(),
                        QString(), QString() });
        } else if (tcEs({ "OP" })) {
            sigue = imprime(archivo, {}, { QStringLiteral("opSub"), QString(), QString() });
        } else {
            m_leyendaCopia = leyenda(numeroCopia);
            if (m_esFacturaElectronica) {
                sigue = imprimeE(archivo, true);
            } else {
                Formulas5 formulas;
                formulas[3] = QStringLiteral("Encabezado = ") + literal(m_leyendaCopia);
                sigue = imprime(archivo, formulas);
                if (sigue && tcEs({ "NP" }))
                    sigue = m_pasos.run([&] {
                        if (auto* anexas = Service<ImpresionesAnexas>::tryGet())
                            anexas->ImprimeSegunReglas(m_tc, m_idComprobante, archivo, m_orden,
                                m_seleccion, m_leyendaCopia);
                    });
            }
        }
        if (!sigue)
            return false;
        anterior = archivo;
    }
    return true;
}

bool ImpresionComprobante::formularioUnico()
{
    if (faltaFormulario(m_formulario))
        return true;
    if (tcEs({ "T3", "LQ" }))
        return imprimeT(m_formulario);
    if (tcEs({ "RMC", "OC", "FCC", "NCC", "LNCC", "NDC", "LNDC", "FPC" }))
        return imprime(m_formulario, {},
            { QStringLiteral("RP_CPTESER"), QString(), QStringLiteral("RP_CpteObs") });
    if (esUno(m_reporte, { "RETIGAN", "RETIBR", "RETIVA", "STK5CLIENTE" }))
        return imprime(m_reporte);
    if (m_esFacturaElectronica) {
        m_leyendaCopia.clear();
        return imprimeE(m_formulario, false);
    }
    return imprime(m_formulario);
}

} // namespace ImpresionCpte
