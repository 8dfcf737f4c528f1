// The e-mail steps of ImprimirReporteCrystal: the work folder and the export file before the
// print, the conversion and the hand-off to the document sender after it.
#include "reports/RT_Crystal2.h"

#include <QDir>
#include <QFileInfo>

#include "data/DB_Dll.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/FileNames.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"
#include "reports/EnvioCorreo.h"
#include "reports/ReportOutputs.h"
#include "services/Configuracion.h"

namespace RT_Crystal2 {

namespace {

// Work folders are private to the person sending: owner-only, visible, writable. They are made
// in the temporary folder, which no other account may enter (see privateFolderIn): whatever holds
// a name there, a link too, is this account's own, so a folder found there is taken as it is.
void aseguraCarpeta(const QString& carpeta)
{
    const QString ruta = FileNames::resolve(carpeta);
    if (QFileInfo(ruta).isDir())
        return;
    if (!QDir().mkdir(ruta, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        throw RuntimeError(
            75, QStringLiteral("Error de acceso a la ruta o el archivo: ") + carpeta);
}

QString claveDelPrograma(const char* clave)
{
    return QString::fromLatin1(clave) + executableName().trimmed();
}

} // namespace

FormatoAdjunto LeeFormatoAdjunto()
{
    FormatoAdjunto f;
    f.palabra = Configuracion::Cfg(QStringLiteral("eMail_formatoadjunto")).trimmed();
    if (f.palabra.isEmpty())
        f.palabra = QStringLiteral("PDF");
    const QString p = f.palabra.toUpper();
    if (p == QLatin1String("HTML") || p == QLatin1String("HTM"))
        f.codigo = FormatoExportacion::Html;
    else if (p == QLatin1String("RTF"))
        f.codigo = FormatoExportacion::Rtf;
    else if (p == QLatin1String("XLS"))
        f.codigo = FormatoExportacion::Hoja;
    else if (p == QLatin1String("PDF"))
        f.codigo = FormatoExportacion::Pdf;
    else if (p == QLatin1String("RPT"))
        f.codigo = FormatoExportacion::ReporteGuardado;
    else {
        // A word nobody can open would reach the customer as an unreadable file.
        f.conocido = false;
        f.palabra = QStringLiteral("PDF");
        f.codigo = FormatoExportacion::Pdf;
    }
    return f;
}

QString FormatoAdjunto::extension() const
{
    return palabra.compare(QLatin1String("XLS"), Qt::CaseInsensitive) == 0 ? QStringLiteral("xlsx")
                                                                           : palabra;
}

void AvisaFormatoAdjuntoDesconocido()
{
    MsgBox(QStringLiteral("El formato de adjunto configurado en eMail_formatoadjunto no es "
                          "valido. Formatos aceptados: PDF, HTML, HTM, RTF, XLS, RPT. "
                          "El correo se envia en PDF."),
        Msg::Information, QStringLiteral("Aviso al operador"));
}

QString PreparaCarpetaEnvio(const QDateTime& momento)
{
    QString carpeta = gUtilidades().RutaConBarra(temporaryFolder()) + QStringLiteral("E-MAILS");
    aseguraCarpeta(carpeta);
    for (const QString& nivel :
        { QStringLiteral("ENVIOS"), momento.toString(QStringLiteral("dd-MM-yyyy")),
            momento.toString(QStringLiteral("HH.mm.ss")) }) {
        carpeta = gUtilidades().RutaConBarra(carpeta) + nivel;
        aseguraCarpeta(carpeta);
    }
    return carpeta;
}

bool PreparaEnvioCorreo(Steps& pasos, EnvioCorreoEnCurso& envio)
{
    const QDateTime ahora = Now();
    if (!pasos.run([&] {
            envio.carpeta = PreparaCarpetaEnvio(ahora);
            envio.base = ahora.toString(QStringLiteral("HHmmss"));
        }))
        return false;

    FormatoAdjunto formato;
    if (!pasos.run([&] { formato = LeeFormatoAdjunto(); }))
        return false;
    if (!formato.conocido)
        AvisaFormatoAdjuntoDesconocido();
    // A PDF is made from the saved report afterwards.
    if (formato.codigo == FormatoExportacion::Pdf) {
        formato.palabra = QStringLiteral("RPT");
        formato.codigo = FormatoExportacion::ReporteGuardado;
    }
    envio.adjunto
        = gUtilidades().RutaConBarra(envio.carpeta) + envio.base + u'.' + formato.extension();
    AsignarPropiedadReporte(QStringLiteral("PrintFileName"), Value(envio.adjunto));
    AsignarPropiedadReporte(QStringLiteral("PrintFileType"), Value(qint32(formato.codigo)));
    return true;
}

bool EntregaEnvioCorreo(Steps& pasos, EnvioCorreoEnCurso& envio, QString& TituloEnvio)
{
    FormatoAdjunto formato;
    if (!pasos.run([&] { formato = LeeFormatoAdjunto(); }))
        return false;
    if (formato.codigo == FormatoExportacion::Pdf) {
        const QString pdf
            = gUtilidades().RutaConBarra(envio.carpeta) + envio.base + u'.' + formato.palabra;
        if (!pasos.run([&] { ExportarArchivo(envio.adjunto, pdf, formato.codigo); }))
            return false;
        envio.adjunto = pdf;
    }

    EnvioCorreo* emisor = Service<EnvioCorreo>::tryGet();
    if (!emisor)
        return true;
    EnvioCorreo::Entrega entrega;
    if (!pasos.run(
            [&] { entrega.mensaje = Configuracion::CfgAux(claveDelPrograma("EMAIL_MENSAJE")); })
        || !pasos.run(
            [&] { entrega.de = Configuracion::Cfg(QStringLiteral("email_de")).trimmed(); })
        || !pasos.run([&] {
               AdoRecordset rs;
               if (gDB().ExisteEnTabla(QStringLiteral("ta_usuarios"), gDB().gUsuario,
                       QStringLiteral("nombre"), &rs, Value(qint32(8)), QString(), true))
                   entrega.nombreUsuario = gUtilidades().ValorCampo(
                       rs.Fields(QStringLiteral("Email_Nombre")).Value());
               gDB().CierraRecordset(rs);
           })
        || !pasos.run([&] { entrega.para = Configuracion::Cfg(claveDelPrograma("EMAIL_PARA")); })
        || !pasos.run(
            [&] { entrega.asunto = Configuracion::Cfg(claveDelPrograma("EMAIL_ASUNTO")); }))
        return false;
    if (TituloEnvio.isEmpty())
        TituloEnvio = executableName();
    entrega.adjunto = envio.adjunto;
    entrega.titulo = TituloEnvio;
    if (!pasos.run([&] { emisor->entregar(entrega); }))
        return false;

    // Whatever became of the send, the texts are the next mail's defaults.
    const auto guarda = [&](const char* clave, const QString& valor, const QString& aux) {
        return pasos.run([&] {
            Configuracion::GrabaDfg(
                claveDelPrograma(clave), valor, aux, false, QStringLiteral("DATOS"), true, false);
        });
    };
    if (!guarda("EMAIL_PARA", emisor->emailPara(), QString())
        || !guarda("EMAIL_ASUNTO", emisor->emailAsunto(), QString())
        || !guarda("EMAIL_MENSAJE", QString(), emisor->emailMensaje()))
        return false;
    emisor->descargar();
    return true;
}

} // namespace RT_Crystal2
