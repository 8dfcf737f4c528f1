#include "reports/RT_Crystal2.h"

#include <cmath>

#include <QFile>
#include <QFileInfo>

#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/FileNames.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "reports/DLL_Print.h"
#include "reports/EnvioCorreo.h"
#include "reports/ReportControl.h"
#include "reports/ReportEngineControl.h"
#include "reports/RutasReporte.h"
#include "services/ModArchivos.h"

namespace RT_Crystal2 {

namespace {

// The driver's own box: Retry runs the failed setting again, Ignore goes on with the next one,
// Abort leaves the whole print.
int cajaDelDriver(const RuntimeError& error)
{
    return MsgBox(QStringLiteral("Ha ocurrido el siguiente error: ")
            + QString::number(error.number()) + u' ' + error.description()
            + QStringLiteral(" ContErr% = 0"),
        Msg::Critical + Msg::AbortRetryIgnore, QStringLiteral("Aviso al operador"));
}

struct PartesConexion
{
    QString origen;
    QString usuario;
    QString clave;
};

// "DSN=name; UID=user; PWD=password", searched ignoring case. A part the text lacks reads empty.
PartesConexion parteConexion(const QString& conexion)
{
    PartesConexion partes;
    const qsizetype puntoYComa = conexion.indexOf(u';');
    partes.origen
        = puntoYComa < 0 ? conexion.mid(4) : conexion.mid(4, qMax<qsizetype>(0, puntoYComa - 4));
    const qsizetype uid = conexion.indexOf(QLatin1String("; uid="), 0, Qt::CaseInsensitive);
    const qsizetype pwd = conexion.indexOf(QLatin1String("pwd"), 0, Qt::CaseInsensitive);
    const qsizetype soloUid = conexion.indexOf(QLatin1String("uid"), 0, Qt::CaseInsensitive);
    if (uid >= 0 && pwd >= 0)
        partes.usuario = conexion.mid(uid + 6, qMax<qsizetype>(0, pwd - soloUid - 6));
    else if (uid >= 0)
        partes.usuario = conexion.mid(uid + 6);
    const qsizetype clave = conexion.indexOf(QLatin1String("; pwd="), 0, Qt::CaseInsensitive);
    if (clave >= 0)
        partes.clave = conexion.mid(clave + 6);
    return partes;
}

qint32 comoLong(const Value& valor)
{
    if (valor.isEmpty() || valor.isNull())
        return 0;
    if (!valor.isNumeric()) {
        bool ok = false;
        const double numero = valor.toString().trimmed().toDouble(&ok);
        if (!ok)
            throw RuntimeError(
                RuntimeError::TypeMismatch, QStringLiteral("No coinciden los tipos"));
        return qint32(std::nearbyint(numero));
    }
    return qint32(std::nearbyint(valor.toDouble()));
}

bool esRuta(const QString& reporte)
{
    return reporte.contains(u'\\') || reporte.contains(u'/');
}

bool esArchivoNormal(const QString& path)
{
    return !path.trimmed().isEmpty() && QFileInfo(FileNames::resolve(path)).isFile();
}

void avisaReporteInexistente(const QString& archivo)
{
    MsgBox(QStringLiteral("No se encontró el Reporte: ") + QStringLiteral("\r\n") + archivo,
        Msg::Information + Msg::OkOnly, QStringLiteral("Aviso al Operador!!!"));
}

} // namespace

bool ImprimeSecuencia(const PedidoImpresion& pedido)
{
    ReportControl& control = Service<ReportControl>::get();
    Steps pasos(cajaDelDriver);
    auto poner
        = [&](int id, const Value& valor) { return pasos.run([&] { control.set(id, valor); }); };
    auto ponerConexion = [&] {
        PartesConexion partes;
        return pasos.run([&] { partes = parteConexion(pedido.conexion); })
            && poner(ReportControl::Conexion, pedido.conexion)
            && poner(ReportControl::OrigenDatos, partes.origen)
            && poner(ReportControl::Usuario, partes.usuario)
            && poner(ReportControl::Clave, partes.clave);
    };

    if (!pasos.run([&] { control.nuevoTrabajo(); }))
        return false;
    if (!pedido.conexion.trimmed().isEmpty() && !ponerConexion())
        return false;

    // A bare report name is a definition of the reports folder under the program folder.
    QString archivo;
    if (!pasos.run([&] {
            archivo = esRuta(pedido.reporte)
                ? pedido.reporte
                : gUtilidades().RutaConBarra(gReporte().pPathSistema + QStringLiteral("reports"))
                    + pedido.reporte + QStringLiteral(".rpt");
        }))
        return false;
    if (!poner(ReportControl::ArchivoReporte, archivo)
        || !poner(ReportControl::Seleccion, pedido.seleccion)
        || !poner(ReportControl::DescartarDatos, true))
        return false;

    for (int i = 0; i < 5; ++i) {
        if (pedido.formulas[i] && !pasos.run([&] {
                control.setIndexed(ReportControl::Formula, i, *pedido.formulas[i]);
            }))
            return false;
    }
    for (int i = 0; i < pedido.camposOrden.size(); ++i) {
        if (!pasos.run([&] { control.setIndexed(ReportControl::Orden, i, pedido.camposOrden[i]); }))
            return false;
    }

    for (int k = 0; k < 5; ++k) {
        const QString& sub = pedido.subreportes[k];
        if (sub.trimmed().isEmpty())
            continue;
        // Only the first and the fourth sub-report carry a selection of their own.
        const bool conSeleccion = (k == 0 || k == 3) && sub.contains(u'|');
        if (conSeleccion) {
            if (!poner(ReportControl::Subreporte, sub.section(u'|', 0, 0))
                || !poner(ReportControl::Seleccion, sub.mid(sub.indexOf(u'|') + 1)))
                return false;
        } else if (!poner(ReportControl::Subreporte, sub)) {
            return false;
        }
        if (!ponerConexion())
            return false;
    }

    qint32 destino = 0;
    return poner(ReportControl::Subreporte, QString())
        && pasos.run([&] { destino = comoLong(pedido.destino); })
        && poner(ReportControl::Destino, destino)
        && pasos.run([&] { control.invoke(ReportControl::Imprimir); })
        && poner(ReportControl::Propio124, true)
        && poner(ReportControl::OpcionMotor, pedido.opcionMotor)
        && poner(ReportControl::Propio67, qint32(2)) && poner(ReportControl::Copias, qint16(1))
        && pasos.run([&] { control.invoke(ReportControl::Cerrar); });
}

void ImprimirReporteCrystal(const QString& Reporte, const QStringList& CamposOrden,
    const QString& Seleccion, const QString& Conexion, const FormulaOpcional& Formula1,
    const FormulaOpcional& Formula2, const FormulaOpcional& Formula3,
    const FormulaOpcional& Formula4, const FormulaOpcional& Formula5, QString& Subreporte1,
    QString& Subreporte2, const QString& Subreporte3, const QString& Subreporte4,
    const Value& DestinoReporte, bool OpcionMotor, bool EnviarPorMail, QString& TituloEnvio,
    const QString& Subreporte5)
{
    if (gReporte().pPathSistema.trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Se debe informar la Variable pPathSistema$ del Control DLL_Print"),
            Msg::Critical, QStringLiteral("Aviso al operador"));
        return;
    }

    if (EnviarPorMail) {
        // The current-account reports always mail with their delivery-note sub-reports.
        if (gUtilidades().EstaEnLista(Reporte, { QStringLiteral("RP_CTACTE2") })) {
            Subreporte1 = QStringLiteral("RP_RM");
            Subreporte2 = QStringLiteral("RP_RMC");
        }
        if (Reporte.compare(QLatin1String("RP_CtaCteSaldos02a"), Qt::CaseInsensitive) == 0)
            Subreporte1 = QStringLiteral("RP_RM");
        if (TituloEnvio.isEmpty())
            TituloEnvio = executableName();
    }
    // Without a sender (tools and checks of the print alone) e-mail mode prints to the file set
    // on the report object (PrintFileName, PrintFileType) and stops there.
    const bool entregaAlEmisor = EnviarPorMail && Service<EnvioCorreo>::installed();
    Steps pasosCorreo(cajaDelDriver);
    EnvioCorreoEnCurso envio;
    if (entregaAlEmisor && !PreparaEnvioCorreo(pasosCorreo, envio))
        return;

    PedidoImpresion pedido;
    pedido.reporte = Reporte;
    pedido.camposOrden = CamposOrden;
    pedido.seleccion = Seleccion;
    pedido.conexion = Conexion;
    pedido.formulas = { Formula1, Formula2, Formula3, Formula4, Formula5 };
    pedido.subreportes = { Subreporte1, Subreporte2, Subreporte3, Subreporte4, Subreporte5 };
    pedido.destino = DestinoReporte;
    pedido.opcionMotor = OpcionMotor;
    if (ImprimeSecuencia(pedido) && entregaAlEmisor)
        EntregaEnvioCorreo(pasosCorreo, envio, TituloEnvio);
}

void AsignarPropiedadReporte(const QString& Propiedad, const Value& ValorPropiedad)
{
    try {
        Service<ReportControl>::get().setByName(Propiedad, ValorPropiedad);
    } catch (const RuntimeError& error) {
        MsgBox(QStringLiteral("Se ha producido el siguiente Error: ")
                + QString::number(error.number()) + u' ' + error.description(),
            Msg::Critical + Msg::OkOnly, QStringLiteral("Aviso al operador!!!"));
    }
}

QString ArchivoTemporal(const QString& NombreTmp, QString& ExtensionTmp)
{
    if (!ExtensionTmp.startsWith(u'.'))
        ExtensionTmp.prepend(u'.');
    const QString carpeta = gUtilidades().RutaConBarra(temporaryFolder());
    const QString nombre
        = NombreTmp.isEmpty() ? Now().toString(QStringLiteral("HHmmss")) : NombreTmp;
    const QString ruta = carpeta + nombre + ExtensionTmp;
    if (ModArchivos::ExisteArchivo(ruta))
        QFile::remove(FileNames::resolve(ruta));
    return ruta;
}

bool ExportarArchivoReporte(
    const QString& ArchivoOrigen, const QString& ArchivoDestino, int TipoFormato)
{
    if (!esArchivoNormal(ArchivoOrigen)) {
        avisaReporteInexistente(ArchivoOrigen);
        return false;
    }
    QString error;
    return exportaReporteGuardado(ArchivoOrigen, ArchivoDestino, TipoFormato, &error);
}

void ExportarArchivo(
    const QString& ArchivoReporte, const QString& ArchivoDestino, int FormatoExportacion)
{
    if (!esArchivoNormal(ArchivoReporte)) {
        avisaReporteInexistente(ArchivoReporte);
        return;
    }
    Steps pasos([](const RuntimeError& error) {
        return MsgBox(QStringLiteral("Ha ocurrido el siguiente error al intentar exportar el "
                                     "Archivo ")
                + QString::number(error.number()) + u' ' + error.description(),
            Msg::Question + Msg::AbortRetryIgnore, QStringLiteral("ExportarArchivo"));
    });
    pasos.run([&] {
        QString error;
        if (!exportaReporteGuardado(ArchivoReporte, ArchivoDestino, FormatoExportacion, &error))
            throw RuntimeError(RuntimeError::InvalidCall, error);
    });
}

} // namespace RT_Crystal2
