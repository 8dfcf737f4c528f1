#include <optional>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImageReader>
#include <QFileInfo>
#include <QTextStream>

#include "app/ComprobantesImpresos.h"
#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "formhelpers/AplicacionConUltimoRecurso.h"
#include "formhelpers/FormularioModal.h"
#include "formhelpers/FrmMsgBox.h"
#include "platform/AdoRecordset.h"
#include "platform/ArchivoImagen.h"
#include "platform/Environment.h"
#include "platform/Launcher.h"
#include "platform/MessageDialog.h"
#include "platform/ProcessTuning.h"
#include "platform/Utilidades.h"
#include "platform/qt/CurlHttp.h"
#include "platform/qt/CurlMail.h"
#include "platform/qt/QtAdoProvider.h"
#include "platform/qt/QtPlatform.h"
#include "reports/DLL_Print.h"
#include "reports/RT_Crystal2.h"
#include "reports/ReportEngineControl.h"
#include "reports/SinkReportOutputs.h"
#include "reportpreview/ReportPreview.h"
#include "sending/EnvioCorreoFormulario.h"
#include "sending/FrmEnviar.h"
#include "sending/Rt_ImgThumbs.h"
#include "sending/eMailAux.h"
#include "services/Globales.h"
#include "services/VariablesInicio.h"
#include "tools/UltimoRecurso.h"
#include "tools/ComandosDocumento.h"

// rp_send: the document sender without the window, for support and for tests. It opens a SQLite
// database as the given user and sends as an automatic caller would; every box the sender would
// show is printed as one line ("Titulo | texto") and answered with its first button.
//
//   rp_send --db F.db --usuario U [--config Envio.ini] [--smtp HOST:PORT] COMMAND
//     enviar --para A[;B] --asunto S [--mensaje M] [--de D] [--adjunto F]...
//     informe --reporte NOMBRE [--para A] [--asunto S]
//                                       a report mailed through the report output's hand-off
//     contactos --tc TC --cuenta C      the contacts' addresses for a voucher type
//     pie                               writes the footer page, prints its path
//     estilo --carpeta DIR              writes the style sheet
//     contestado --uidl U               marks a logged mail as answered by the user
//     subir --archivo F [--nombre N] [--ext E] [--mantener] [--contrato] [--presupuesto]
//                                       uploads to the document server, prints the link
//     documento, especial, exportar     documents mailed on their own (tools/ComandosDocumento.h)
//     contacto --para A [--cuenta C] [--nombre N]
//                                       the recipient's contact data (and the time it took), then
//                                       the recipient kept as a contact with the name typed
//     whatsapp --numero N --texto T     the messaging link as the sender opens it (printed, not
//                                       opened) and its log row
//     miniatura --imagen F --id ID      the picture's working copy and thumbnail in the data folder
//   --documentos HOST:PORT              the document server instead of Envio.ini's
//
// Exit status: 0 sent (or done), 1 not sent, 2 wrong usage or no database.
namespace {

const char* const Usage
    = "Uso: rp_send --db ARCHIVO.db --usuario USUARIO [--config Envio.ini] "
      "[--smtp SERVIDOR:PUERTO] enviar --para DIRECCIONES --asunto ASUNTO [--mensaje TEXTO] "
      "[--de DIRECCION] [--adjunto ARCHIVO]... | informe --reporte NOMBRE [--para DIRECCIONES] "
      "[--asunto ASUNTO] | "
      "contactos --tc TC --cuenta CUENTA | pie | estilo --carpeta CARPETA | contestado --uidl UIDL "
      "| "
      "subir --archivo ARCHIVO [--nombre N] [--ext E] [--mantener] [--contrato] [--presupuesto] "
      "[--documentos SERVIDOR:PUERTO] | contacto --para DIRECCION [--cuenta CUENTA] "
      "[--nombre NOMBRE] | whatsapp --numero NUMERO --texto TEXTO | "
      "miniatura --imagen ARCHIVO --id ID";

QTextStream& salida()
{
    static QTextStream s(stdout);
    return s;
}

QString unaLinea(QString texto)
{
    texto.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
    texto.replace(u'\n', QStringLiteral(" / "));
    return texto;
}

class CajaImpresa final : public MessageDialog
{
public:
    int show(const QString& text, int style, const QString& title) override
    {
        salida() << unaLinea(title) << " | " << unaLinea(text) << Qt::endl;
        switch (Msg::buttonsOf(style)) {
        case Msg::AbortRetryIgnore:
            return Msg::Abort;
        case Msg::YesNo:
        case Msg::YesNoCancel:
            return Msg::Yes;
        case Msg::RetryCancel:
            return Msg::Cancel;
        default:
            return Msg::Ok;
        }
    }
};

// The timed notice is printed and not waited for.
class AvisoImpreso final : public FormularioModal
{
public:
    int muestra(QDialog& form) override
    {
        if (auto* aviso = qobject_cast<FrmMsgBox*>(&form))
            salida() << unaLinea(aviso->Titulo) << " | " << unaLinea(aviso->Mensaje) << Qt::endl;
        return QDialog::Accepted;
    }
};

// Addresses the sender would open are printed, never opened.
class LanzadorImpreso final : public Launcher
{
public:
    qint64 startProgram(const QString&) override { return 0; }
    bool runAndWait(const QString&) override { return false; }
    bool openDocument(const QString& target, bool) override
    {
        salida() << "Abrir | " << target << Qt::endl;
        return true;
    }
};

struct Argumentos
{
    QString db;
    QString usuario;
    QString config;
    QString host;
    int puerto = 0;
    QString comando;
    QHash<QString, QStringList> valores;
    QStringList posicionales;
};

std::optional<Argumentos> lee(const QStringList& args, QString* error)
{
    static const QStringList conValor = { QStringLiteral("--db"), QStringLiteral("--usuario"),
        QStringLiteral("--config"), QStringLiteral("--smtp"), QStringLiteral("--para"),
        QStringLiteral("--asunto"), QStringLiteral("--mensaje"), QStringLiteral("--de"),
        QStringLiteral("--adjunto"), QStringLiteral("--reporte"), QStringLiteral("--tc"),
        QStringLiteral("--cuenta"), QStringLiteral("--carpeta"), QStringLiteral("--uidl"),
        QStringLiteral("--archivo"), QStringLiteral("--nombre"), QStringLiteral("--ext"),
        QStringLiteral("--documentos"), QStringLiteral("--numero"), QStringLiteral("--texto"),
        QStringLiteral("--imagen"), QStringLiteral("--id") };
    static const QStringList banderas = { QStringLiteral("--mantener"),
        QStringLiteral("--contrato"), QStringLiteral("--presupuesto") };
    static const QStringList comandos = { QStringLiteral("enviar"), QStringLiteral("informe"),
        QStringLiteral("contactos"), QStringLiteral("pie"), QStringLiteral("estilo"),
        QStringLiteral("contestado"), QStringLiteral("subir"), QStringLiteral("contacto"),
        QStringLiteral("whatsapp"), QStringLiteral("miniatura") };
    Argumentos a;
    for (qsizetype k = 0; k < args.size(); ++k) {
        const QString& n = args.at(k);
        if ((comandos.contains(n) || ComandosDocumento::comandos().contains(n))
            && a.comando.isEmpty()) {
            a.comando = n;
            continue;
        }
        if (banderas.contains(n) || ComandosDocumento::banderas().contains(n)) {
            a.valores[n] << QStringLiteral("SI");
            continue;
        }
        if (a.comando == u"exportar" && !n.startsWith(u'-')) {
            a.posicionales << n;
            continue;
        }
        if ((!conValor.contains(n) && !ComandosDocumento::opciones().contains(n))
            || k + 1 >= args.size()) {
            *error = QStringLiteral("Argumento no valido: %1").arg(n);
            return std::nullopt;
        }
        a.valores[n] << args.at(++k);
    }
    a.db = a.valores.value(QStringLiteral("--db")).value(0);
    a.usuario = a.valores.value(QStringLiteral("--usuario")).value(0);
    a.config = a.valores.value(QStringLiteral("--config")).value(0);
    const QString smtp = a.valores.value(QStringLiteral("--smtp")).value(0);
    if (!smtp.isEmpty()) {
        a.host = smtp.section(u':', 0, -2);
        bool ok = false;
        a.puerto = smtp.section(u':', -1).toInt(&ok);
        if (!ok || a.host.isEmpty() || a.puerto <= 0) {
            *error = QStringLiteral("--smtp espera SERVIDOR:PUERTO");
            return std::nullopt;
        }
    }
    const auto falta = [&](const char* nombre) {
        return a.valores.value(QString::fromLatin1(nombre)).isEmpty();
    };
    if (a.db.isEmpty() || a.usuario.isEmpty() || a.comando.isEmpty()
        || (a.comando == u"enviar" && (falta("--para") || falta("--asunto")))
        || (a.comando == u"informe" && falta("--reporte"))
        || (a.comando == u"contactos" && (falta("--tc") || falta("--cuenta")))
        || (a.comando == u"estilo" && falta("--carpeta"))
        || (a.comando == u"contestado" && falta("--uidl"))
        || (a.comando == u"subir" && falta("--archivo"))
        || (a.comando == u"contacto" && falta("--para"))
        || (a.comando == u"whatsapp" && (falta("--numero") || falta("--texto")))
        || (a.comando == u"miniatura" && (falta("--imagen") || falta("--id")))
        || !ComandosDocumento::completo(a.comando, a.valores, a.posicionales)) {
        *error = QStringLiteral("Faltan argumentos");
        return std::nullopt;
    }
    return a;
}

qint64 ultimoRegistro()
{
    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("select max(ID) as ID from v_ma_emailmov"), rs);
    const qint64 id = rs.Eof() ? 0 : gUtilidades().ValorCampo(rs.Fields(0).Value()).toLongLong();
    gDB().CierraRecordset(rs);
    return id;
}

// Prints the log rows written after `desde`; true when the last one says "OK".
bool imprimeRegistro(qint64 desde)
{
    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("select * from v_ma_emailmov where ID > ")
            + QString::number(desde) + QStringLiteral(" order by ID"),
        rs);
    QString status;
    while (!rs.Eof()) {
        QStringList campos;
        for (const char* c : { "FechaHora", "De", "Para", "Asunto", "Adjunto", "Usuario",
                 "CuentaEmail", "Tipo", "Status" }) {
            campos << QString::fromLatin1(c) + u'='
                    + gUtilidades().ValorCampo(rs.Fields(QString::fromLatin1(c)).Value());
        }
        status = gUtilidades().ValorCampo(rs.Fields(QStringLiteral("Status")).Value());
        salida() << "v_ma_emailmov: " << unaLinea(campos.join(QStringLiteral("; "))) << Qt::endl;
        rs.MoveNext();
    }
    gDB().CierraRecordset(rs);
    return status == u"OK";
}

// The link of the upload, or its failure text; 0 when the server took the file.
int subir(const Argumentos& a)
{
    const auto valor
        = [&](const char* nombre) { return a.valores.value(QString::fromLatin1(nombre)).value(0); };
    const auto bandera
        = [&](const char* nombre) { return a.valores.contains(QString::fromLatin1(nombre)); };
    FrmEnviar f;
    if (!a.config.isEmpty())
        f.setConfiguracion(a.config);
    f.setServidorDocumentos(valor("--documentos"));
    f.uploadAdjuntoWeb(valor("--archivo"), valor("--nombre"),
        bandera("--ext") ? valor("--ext") : QStringLiteral("pdf"), bandera("--mantener"),
        bandera("--contrato"), bandera("--presupuesto"));
    salida() << f.LinkDocumento << Qt::endl;
    return f.LinkDocumento.startsWith(QLatin1String("https://")) ? 0 : 1;
}

// What the sender shows beside "Para" and what it keeps of the recipient.
int contacto(const Argumentos& a)
{
    const auto valor
        = [&](const char* nombre) { return a.valores.value(QString::fromLatin1(nombre)).value(0); };
    FrmEnviar f;
    f.setTexto(QStringLiteral("Para"), valor("--para"));
    QElapsedTimer reloj;
    reloj.start();
    f.VerificarContacto();
    const QString ms = QString::number(double(reloj.nsecsElapsed()) / 1e6, 'f', 2);
    auto* nombre = f.control<QLineEdit>("TxtNombre");
    salida() << "Contacto: " << nombre->text() << " | " << f.control<QLineEdit>("TxtCargo")->text()
             << " | " << f.control<QLineEdit>("TxtTelefono")->text() << " (" << ms << " ms)"
             << Qt::endl;
    if (a.valores.contains(QStringLiteral("--nombre")))
        nombre->setText(valor("--nombre"));
    f.GrabarContacto(QString(), valor("--cuenta"));

    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("select m.IdContacto, m.Nombre_y_Apellido, m.Cargo, "
                                        "m.CELULAR, m.email, r.CUENTA from MA_CONTACTOS m left "
                                        "join MA_CONTACTOS_CUENTAS r on r.IDCONTACTO = "
                                        "m.IdContacto where m.email = ")
            + ConsultasDatos::literal(valor("--para").trimmed()) + QStringLiteral(" order by 1"),
        rs);
    const bool hay = !rs.Eof();
    while (!rs.Eof()) {
        QStringList campos;
        for (int i = 0; i < rs.FieldCount(); ++i)
            campos << rs.Fields(i).Name() + u'=' + gUtilidades().ValorCampo(rs.Fields(i).Value());
        salida() << "MA_CONTACTOS: " << campos.join(QStringLiteral("; ")) << Qt::endl;
        rs.MoveNext();
    }
    gDB().CierraRecordset(rs);
    return hay ? 0 : 1;
}

} // namespace

static int ejecutaHerramienta(int argc, char* argv[])
{
    ProcessTuning::apply();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // An error of an event handler (a preview's, a dialog's) ends the tool as one that reaches
    // main does.
    AplicacionConUltimoRecurso app(argc, argv, AplicacionConUltimoRecurso::Aviso::SoloLinea);
    QApplication::setApplicationName(QStringLiteral("Rp_Tarifolio"));

    if (QCoreApplication::arguments().mid(1).contains(QStringLiteral("--help"))) {
        QTextStream(stdout) << Usage << '\n' << ComandosDocumento::uso() << Qt::endl;
        return 0;
    }
    QString error;
    const std::optional<Argumentos> a = lee(QCoreApplication::arguments().mid(1), &error);
    if (!a) {
        QTextStream(stderr) << error << '\n'
                            << Usage << '\n'
                            << ComandosDocumento::uso() << Qt::endl;
        return 2;
    }

    const QtPlatform platform;
    CajaImpresa cajas;
    const ScopedService<MessageDialog> cajasService(cajas);
    AvisoImpreso avisos;
    const ScopedService<FormularioModal> avisosService(avisos);
    QtAdoProvider provider(QtAdoProvider::Settings { QFileInfo(a->db).absolutePath() });
    const ScopedService<AdoProvider> providerService(provider);
    DataObjects datos;
    const ScopedService<DataObjects> datosService(datos);
    VariablesInicio inicio;
    inicio.gUsuarioLogeado = a->usuario;
    const ScopedService<VariablesInicio> inicioService(inicio);
    Globales globales;
    globales.gTablaConfiguracion = QStringLiteral("ta_configuracion");
    const ScopedService<Globales> globalesService(globales);
    SinkReportOutputs salidas;
    const ScopedService<ReportOutputs> salidasService(salidas);
    ReportPreviewWindows vistas;
    const ScopedService<ReportPreviews> vistasService(vistas);
    ReportEngineControl control;
    const ScopedService<ReportControl> controlService(control);
    DLL_Print reporte;
    const ScopedService<DLL_Print> reporteService(reporte);
    // The sender renders vouchers and receipts through their printing.
    ComprobantesImpresos comprobantes;
    const ScopedService<ComprobantesEnvio> comprobantesService(comprobantes);
    CurlMailFactory correo;
    const ScopedService<MailFactory> correoService(correo);
    CurlHttpFactory http;
    const ScopedService<HttpFactory> httpService(http);

    datos.gDB.gServidor = QStringLiteral("SQLITE");
    datos.gDB.gDBName = QFileInfo(a->db).absoluteFilePath();
    datos.gDB.gUsuario = a->usuario;
    datos.gDB.OpenServerADODB(false, adUseClient, QString(), false, false);
    if (!datos.gDB.gOpenFlag) {
        // The provider's reason names the file.
        QTextStream(stderr) << datos.gDB.gCnn().LastError().description() << Qt::endl;
        return 2;
    }

    // The customer code of the uploads lives in the statistics database beside the main one.
    const QString estadisticas
        = QFileInfo(a->db).absoluteDir().filePath(QStringLiteral("KZQ_ESTADISTICAS.db"));
    if (QFileInfo::exists(estadisticas)) {
        datos.gDBEstadisticas.gServidor = QStringLiteral("SQLITE");
        datos.gDBEstadisticas.gDBName = estadisticas;
        datos.gDBEstadisticas.OpenServerADODB(false, adUseClient, QString(), false, false);
    }

    const auto valor = [&](const char* nombre) {
        return a->valores.value(QString::fromLatin1(nombre)).value(0);
    };
    if (a->comando == u"subir")
        return subir(*a);
    if (a->comando == u"contacto")
        return contacto(*a);
    if (a->comando == u"miniatura") {
        QString copia;
        Rt_ImgThumbs::gArchivoMiniatura.clear();
        Rt_ImgThumbs::GenerarMiniatura(
            QStringLiteral("IMAGENES/"), valor("--imagen"), valor("--id"), 0, copia, 1100, 950);
        salida() << "Copia: " << dataFolder() << u'/' << copia << Qt::endl;
        const QString miniatura = Rt_ImgThumbs::gArchivoMiniatura;
        if (miniatura.isEmpty()) {
            salida() << "Sin miniatura" << Qt::endl;
            return 1;
        }
        std::optional<QByteArray> bytes = ArchivoImagen::lee(miniatura);
        QBuffer contenido(bytes ? &*bytes : nullptr);
        const QSize tamano = bytes ? QImageReader(&contenido).size() : QSize();
        salida() << "Miniatura: " << miniatura << ' ' << tamano.width() << 'x' << tamano.height()
                 << Qt::endl;
        return 0;
    }
    if (a->comando == u"whatsapp") {
        LanzadorImpreso lanzador;
        const ScopedService<Launcher> lanzadorService(lanzador);
        const qint64 desde = ultimoRegistro();
        FrmEnviar f;
        if (!a->config.isEmpty())
            f.setConfiguracion(a->config);
        f.control<QLineEdit>("txtParaWhatsapp")->setText(valor("--numero"));
        f.control<QPlainTextEdit>("txtMensajeWhatsapp")->setPlainText(valor("--texto"));
        f.cmdEnviarWhatsapp_Click();
        return imprimeRegistro(desde) ? 0 : 1;
    }
    if (a->comando == u"contactos") {
        salida() << eMailAux::ObtieneMailsContactos(valor("--tc"), valor("--cuenta")) << Qt::endl;
        return 0;
    }
    if (a->comando == u"pie") {
        QString ruta;
        eMailAux::GeneraArchivoPie(ruta);
        salida() << ruta << Qt::endl;
        return ruta.isEmpty() ? 1 : 0;
    }
    if (a->comando == u"estilo") {
        eMailAux::GenerarEstiloCtrlDiff(valor("--carpeta"));
        return 0;
    }
    if (a->comando == u"contestado") {
        FrmEnviar f;
        f.ActualizaContestado(a->usuario, valor("--uidl"), QString());
        return datos.gDB.gCnn().Errors().Count() == 0 ? 0 : 1;
    }

    // Sending: the site settings of --config, else the program folder's.
    EnvioCorreoFormulario envioCorreo;
    const ScopedService<EnvioCorreo> envioService(envioCorreo);
    envioCorreo.alCrear = [&](FrmEnviar& f) {
        if (!a->host.isEmpty())
            f.setServidorForzado(a->host, a->puerto);
        if (!a->config.isEmpty())
            f.setConfiguracion(a->config);
    };
    const qint64 desde = ultimoRegistro();
    eMailAux::gResultadoEnvio = 1;
    if (ComandosDocumento::comandos().contains(a->comando))
        return ComandosDocumento::ejecuta(
            a->comando, a->valores, a->posicionales, envioCorreo.alCrear,
            [&] { return imprimeRegistro(desde); }, salida());

    if (a->comando == u"informe") {
        // Without --para the recipients are the ones the last mail of this tool went to.
        envioCorreo.antesDeEnviar = [&](FrmEnviar& f) {
            if (a->valores.contains(QStringLiteral("--para")))
                f.setTexto(QStringLiteral("Para"), valor("--para"));
            if (a->valores.contains(QStringLiteral("--asunto")))
                f.setTexto(QStringLiteral("Asunto"), valor("--asunto"));
        };
        reporte.DestinoImpresion(DLL_Print::DestinoArchivo);
        QString sub1, sub2, titulo;
        RT_Crystal2::ImprimirReporteCrystal(valor("--reporte"), {}, QString(), QString(),
            std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, sub1, sub2,
            QString(), QString(), Value(qint32(0)), false, true, titulo);
    } else {
        FrmEnviar f;
        if (!a->host.isEmpty())
            f.setServidorForzado(a->host, a->puerto);
        if (!a->config.isEmpty())
            f.setConfiguracion(a->config);
        f.MostrarAntes = false;
        f.setTexto(QStringLiteral("Para"), valor("--para"));
        f.setTexto(QStringLiteral("Asunto"), valor("--asunto"));
        if (a->valores.contains(QStringLiteral("--mensaje")))
            f.setTexto(QStringLiteral("Mensaje"), valor("--mensaje"));
        if (a->valores.contains(QStringLiteral("--de")))
            f.setTexto(QStringLiteral("De"), valor("--de"));
        f.control<QLineEdit>("txtAttach")
            ->setText(a->valores.value(QStringLiteral("--adjunto")).join(u';'));
        f.control<QCheckBox>("ChkAutomatico")->setChecked(true);
        f.show();
        f.cmdSend_Click();
    }
    return imprimeRegistro(desde) ? 0 : 1;
}

int main(int argc, char* argv[])
{
    return conUltimoRecurso([&] { return ejecutaHerramienta(argc, argv); });
}
