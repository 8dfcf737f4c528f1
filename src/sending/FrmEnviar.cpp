#include "sending/FrmEnviar.h"
#include "ui_FrmEnviar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QThread>
#include <QUrl>

#include "formhelpers/Controles.h"
#include "formhelpers/EstadoFormulario.h"
#include "formhelpers/FormularioModal.h"
#include "formhelpers/FrmMsgBox.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/ErrorLog.h"
#include "platform/FileNames.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Steps.h"
#include "platform/Twips.h"
#include "platform/Utilidades.h"
#include "platform/Windows1252.h"
#include "reports/RT_Crystal2.h"
#include "sending/BloqueoBase.h"
#include "sending/ContactosEnvio.h"
#include "sending/MensajeCorreo.h"
#include "sending/RegistroEnvio.h"
#include "sending/eMailAux.h"
#include "services/Configuracion.h"
#include "services/ManejoErrores.h"
#include "services/VariablesInicio.h"

namespace {

// The small round picture beside a sending method: its colour and a letter.
QIcon iconoMetodo(const QColor& color, QChar letra)
{
    QPixmap imagen(48, 48);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(2, 2, 44, 44);
    QFont letraFont = p.font();
    letraFont.setPixelSize(28);
    letraFont.setBold(true);
    p.setFont(letraFont);
    p.setPen(Qt::white);
    p.drawText(imagen.rect(), Qt::AlignCenter, QString(letra));
    return QIcon(imagen);
}

const QString AvisoOperador = QStringLiteral("Aviso al operador");

QString noSeEnvio(const BloqueoBase& bloqueo)
{
    return QStringLiteral("El correo no se envió: ") + bloqueo.mensaje();
}

// The program names under which the sender behaves differently in the suite.
const char* const SinPlantilla = "v_OreriraruriDideruziru";
const char* const VistaAmplia = "VezuzOroziv";

constexpr qint64 ErrorCuenta = 3749;
constexpr qint64 ErrorSinConexion = qint64(qint32(0x80040213));
constexpr qint64 ErrorFaltanDatos = qint64(qint32(0x8004020D));
constexpr qint64 ErrorClave = qint64(qint32(0x80040211));

bool esPrograma(const char* nombre)
{
    return executableName().trimmed().compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0;
}

QString usuarioLogeado()
{
    const VariablesInicio* inicio = Service<VariablesInicio>::tryGet();
    return inicio ? inicio->gUsuarioLogeado : QString();
}

QString clavePlantilla()
{
    return QStringLiteral("UM_") + usuarioLogeado().trimmed() + executableName().trimmed();
}

// A local HTML file as the preview shows it: a page that names no charset is Windows-1252.
QString leeHtml(const QString& ruta)
{
    QFile f(FileNames::resolve(ruta));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = f.readAll();
    if (bytes.contains("charset") || bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes);
    return Windows1252::decode(bytes);
}

} // namespace

FrmEnviar::FrmEnviar(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::FrmEnviar>())
{
    ui->setupUi(this);
    m_txtfields
        = { ui->txtfields_0, ui->txtfields_1, ui->txtfields_2, ui->txtfields_3, ui->txtfields_4 };

    connect(ui->cmdSend, &QPushButton::clicked, this, &FrmEnviar::cmdSend_Click);
    connect(ui->cmdExit, &QPushButton::clicked, this, &FrmEnviar::cmdExit_Click);
    connect(ui->cmdSalir, &QPushButton::clicked, this, &FrmEnviar::cmdSalir_Click);
    connect(ui->CmdConsultar, &QPushButton::clicked, this, &FrmEnviar::CmdConsultar_Click);
    connect(ui->cmdConsultarContacto, &QPushButton::clicked, this,
        &FrmEnviar::cmdConsultarContacto_Click);
    // The method cannot change under a transfer: a choice made meanwhile is put back.
    const auto eligeMetodo = [this](int indice) {
        if (m_enviando) {
            const QSignalBlocker b0(ui->optMetodoEnvio_0), b1(ui->optMetodoEnvio_1);
            (indice == 1 ? ui->optMetodoEnvio_0 : ui->optMetodoEnvio_1)->setChecked(true);
            return;
        }
        optMetodoEnvio_Click(indice);
    };
    connect(ui->optMetodoEnvio_0, &QRadioButton::toggled, this, [eligeMetodo](bool marcado) {
        if (marcado)
            eligeMetodo(0);
    });
    connect(ui->optMetodoEnvio_1, &QRadioButton::toggled, this, [eligeMetodo](bool marcado) {
        if (marcado)
            eligeMetodo(1);
    });
    ui->Image1->setIcon(iconoMetodo(QColor(0x25, 0xd3, 0x66), u'W'));
    ui->Image2->setIcon(iconoMetodo(QColor(0x1e, 0x6f, 0xc8), u'@'));
    connect(ui->Image1, &QToolButton::clicked, this, &FrmEnviar::Image1_Click);
    connect(ui->Image2, &QToolButton::clicked, this, &FrmEnviar::Image2_Click);
    connect(
        ui->cmdEnviarWhatsapp, &QPushButton::clicked, this, &FrmEnviar::cmdEnviarWhatsapp_Click);
    connect(ui->CmdCopiar, &QPushButton::clicked, this, &FrmEnviar::CmdCopiar_Click);
    connect(ui->cmdBrowse, &QPushButton::clicked, this, &FrmEnviar::cmdBrowse_Click);
    connect(ui->CmdAbrir, &QPushButton::clicked, this, &FrmEnviar::CmdAbrir_Click);
    connect(ui->CmdBuscar, &QPushButton::clicked, this, &FrmEnviar::CmdBuscar_Click);
    connect(ui->cmdPegar, &QPushButton::clicked, this, &FrmEnviar::cmdPegar_Click);
    connect(ui->cmdAbrirImg, &QPushButton::clicked, this, &FrmEnviar::cmdAbrirImg_Click);
    for (QWidget* w : std::initializer_list<QWidget*> { ui->TxtNombre, ui->TxtCargo,
             ui->TxtTelefono, ui->txtfields_1, ui->imglogo, ui->PicLogo })
        w->installEventFilter(this);
}

FrmEnviar::~FrmEnviar()
{
    ocupado(false);
}

Ui::FrmEnviar& FrmEnviar::controles()
{
    if (!m_cargado && !m_descargado) {
        m_cargado = true;
        Form_Load();
    }
    return *ui;
}

QWidget* FrmEnviar::txtfields(int index)
{
    controles();
    return m_txtfields.value(index);
}

QString FrmEnviar::texto(const QString& campo)
{
    controles();
    QWidget* w = m_txtfields.value(Controles().IndiceControl(campo, m_txtfields));
    if (auto* linea = qobject_cast<QLineEdit*>(w))
        return linea->text();
    if (auto* caja = qobject_cast<QPlainTextEdit*>(w))
        return caja->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
    return QString();
}

void FrmEnviar::setTexto(const QString& campo, const QString& valor)
{
    controles();
    QWidget* w = m_txtfields.value(Controles().IndiceControl(campo, m_txtfields));
    if (auto* linea = qobject_cast<QLineEdit*>(w))
        linea->setText(valor);
    else if (auto* caja = qobject_cast<QPlainTextEdit*>(w))
        caja->setPlainText(QString(valor).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

QString FrmEnviar::mensaje()
{
    return texto(QStringLiteral("Mensaje"));
}

void FrmEnviar::Form_Load()
{
    Steps pasos = Steps::silent();
    pasos.run([&] {
        if (pSilencioso)
            setWindowState(windowState() | Qt::WindowMinimized);
    });
    pasos.run([&] {
        if (!archAdjunto.contains(QLatin1String(".RPT"), Qt::CaseInsensitive))
            return;
        QString extension = QStringLiteral("PDF");
        const QString pdf = RT_Crystal2::ArchivoTemporal(QString(), extension);
        RT_Crystal2::ExportarArchivoReporte(archAdjunto, pdf, 31);
        archAdjunto = pdf;
        ui->txtAttach->setText(pdf);
    });
    pasos.run([&] {
        ui->frameWhatsapp->move(Twips::toPixels(120), Twips::toPixels(960));
        ui->frmEspera->move(Twips::toPixels(120), Twips::toPixels(1920));
    });
    pasos.run([&] {
        m_generaLinkPresupuesto = Configuracion::Cfg(QStringLiteral("GeneralinkPrespuesto"));
    });
    pasos.run([&] { CargarCuentaCorreo(); });
    pasos.run([&] { CargaMensaje(); });
    pasos.run([&] {
        if (texto(QStringLiteral("De")).trimmed().isEmpty())
            setTexto(QStringLiteral("De"), m_cuenta.CuentaDe);
    });
    pasos.run([&] { ui->txtfields_3->setVisible(true); });
    pasos.run([&] { VerificarContacto(); });
}

void FrmEnviar::CargarCuentaCorreo()
{
    Steps pasos = Steps::silent();
    pasos.run([&] {
        m_envio = m_rutaConfiguracion.isEmpty() ? ConfiguracionEnvio::lee()
                                                : ConfiguracionEnvio::lee(m_rutaConfiguracion);
    });
    if (!pasos.run([&] { m_cuenta.CargarCuentaCorreo(usuarioLogeado(), m_envio); }))
        return;
    pasos.run([&] {
        if (EstadoFormulario* estado = Service<EstadoFormulario>::tryGet())
            estado->PreparaFormulario(this, false);
    });
    eMailAux::gDestinatarios = QStringList { QString() };
    pasos.run([&] { muestraVistaPrevia(); });
}

void FrmEnviar::muestraVistaPrevia()
{
    QTextBrowser* vista = ui->WebBrowser1;
    vista->setAcceptDrops(false);
    const bool muestra = !ArchivoWeb.isEmpty() && MostrarAntes && !EnvioManual;
    if (muestra) {
        vista->setHtml(leeHtml(ArchivoWeb));
        vista->setVisible(true);
    } else {
        vista->setVisible(false);
    }
    ui->txtfields_3->setVisible(true);
    if (esPrograma(VistaAmplia)) {
        if (muestra)
            vista->setFixedHeight(Twips::toPixels(5460));
        return;
    }
    ui->txtfields_3->setFixedHeight(Twips::toPixels(muestra ? 1260 : 5460));
}

void FrmEnviar::navegaVistaPrevia(const QString& ruta)
{
    ui->WebBrowser1->setHtml(leeHtml(ruta));
}

void FrmEnviar::CargaMensaje()
{
    if (!mensaje().trimmed().isEmpty())
        return;
    QString plantilla;
    if (!esPrograma(SinPlantilla)) {
        Configuracion::Cfg(clavePlantilla(), plantilla);
        // A stored message with a link would carry one customer's budget link to the next one.
        if (plantilla.contains(QLatin1String("http:"), Qt::CaseInsensitive)
            || plantilla.contains(QLatin1String("https:"), Qt::CaseInsensitive))
            plantilla.clear();
    }
    setTexto(QStringLiteral("Mensaje"), plantilla);
    if (mensaje().trimmed().isEmpty())
        setTexto(QStringLiteral("Mensaje"),
            QStringLiteral("\r\n\r\n") + Configuracion::Cfg(QStringLiteral("Nombre")).trimmed());
}

void FrmEnviar::cmdSend_Click()
{
    controles();
    if (m_enviando)
        return;
    eMailAux::gResultadoEnvio = ui->ChkAutomatico->isChecked() ? 1 : 0;
    if (texto(QStringLiteral("Asunto")).trimmed().isEmpty()) {
        aviso(QStringLiteral("Debe informar el asunto del mensaje"), Msg::Information,
            QStringLiteral("Aviso al operador!"), true);
        ui->txtfields_2->setFocus();
        return;
    }
    EnviarPyMail();
}

void FrmEnviar::cmdExit_Click()
{
    if (m_enviando)
        return;
    eMailAux::gResultadoEnvio = 2;
    EnvioManual = false;
    pSalir = true;
    Unload();
}

void FrmEnviar::cmdSalir_Click()
{
    if (m_enviando)
        return;
    pSalir = true;
    SalirSinLimpiar = true;
    EnvioManual = false;
    Unload();
}

void FrmEnviar::Unload()
{
    if (m_descargado)
        return;
    if (m_cargado)
        Form_Unload();
    m_descargado = true;
    ocupado(false);
    if (isVisible())
        done(QDialog::Rejected);
    hide();
}

void FrmEnviar::Form_Unload()
{
    eMailAux::gEmailPara = texto(QStringLiteral("para"));
    eMailAux::gEmailAsunto = texto(QStringLiteral("Asunto"));
    eMailAux::gEmailMensaje = mensaje();
    pSalir = true;
    if (!SalirSinLimpiar) {
        Rtf_Html_EliminarTemp(ArchivoWeb);
        EnvioManual = false;
    }
}

void FrmEnviar::Rtf_Html_EliminarTemp(const QString& ruta)
{
    // The preview file belongs to whoever wrote it; the sender leaves it where it is.
    Q_UNUSED(ruta);
}

void FrmEnviar::setServidorForzado(const QString& host, int puerto)
{
    m_hostForzado = host;
    m_puertoForzado = puerto;
}

std::unique_ptr<Mail> FrmEnviar::getPyMail()
{
    MailFactory* fabrica = Service<MailFactory>::tryGet();
    return fabrica ? fabrica->crear(m_envio.seguridad()) : nullptr;
}

int FrmEnviar::aviso(
    const QString& texto, int estilo, const QString& titulo, bool tambienSilencioso)
{
    if (pSilencioso && !tambienSilencioso)
        return Msg::Ok;
    return MsgBox(texto, estilo, titulo);
}

void FrmEnviar::ocupado(bool si)
{
    if (si == m_cursorOcupado)
        return;
    m_cursorOcupado = si;
    if (si)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool FrmEnviar::enSegundoPlano(const std::function<bool()>& trabajo)
{
    // The window keeps painting while the network is waited on; the operator's keys and the
    // close button are ignored until the transfer is over.
    bool resultado = false;
    ++m_enviando;
    ui->cmdSend->setEnabled(false);
    QEventLoop espera;
    QThread* hilo = QThread::create([&] { resultado = trabajo(); });
    connect(hilo, &QThread::finished, &espera, &QEventLoop::quit);
    hilo->start();
    if (!hilo->isFinished())
        espera.exec();
    hilo->wait();
    delete hilo;
    --m_enviando;
    return resultado;
}

bool FrmEnviar::EnviarPyMail()
{
    controles();
    // The database calls before and after the transfer let window events run too: the whole send
    // keeps the form busy, not only the transfer.
    ++m_enviando;
    const auto libre = qScopeGuard([this] { --m_enviando; });
    // A database another process holds would keep the send out of the log too: nothing goes.
    const BloqueoBase bloqueo;
    if (!esPrograma(SinPlantilla))
        Configuracion::GrabaDfg(
            clavePlantilla(), QString(), mensaje(), false, QStringLiteral("DATOS"));
    if (!bloqueo.mensaje().isEmpty()) {
        aviso(noSeEnvio(bloqueo), Msg::Critical, AvisoOperador);
        return false;
    }
    // A multiple choice mails each chosen address; "Para" and the log then name them all, and
    // none of them is kept as a contact.
    const bool seleccionMultiple
        = texto(QStringLiteral("Para"))
              .trimmed()
              .compare(ContactosEnvio::SeleccionMultiple, Qt::CaseInsensitive)
        == 0;
    if (seleccionMultiple && eMailAux::gDestinatarios.size() > 1)
        setTexto(QStringLiteral("Para"), eMailAux::gDestinatarios.mid(1).join(u';'));

    const CuentaCorreo::Servidor servidor
        = m_cuenta.servidor(Configuracion::Cfg(QStringLiteral("email_puerto")).trimmed(), m_envio);
    const QString host = m_hostForzado.isEmpty() ? servidor.host : m_hostForzado;
    const int puerto = m_hostForzado.isEmpty() ? servidor.puerto : m_puertoForzado;
    if (m_cuenta.vacia() || host.isEmpty()) {
        errorDeEnvio(ErrorFaltanDatos, QString());
        return false;
    }

    std::unique_ptr<Mail> mail = getPyMail();
    if (!mail) {
        aviso(QStringLiteral("No se encuentra la biblioteca DoVivaz.DLL o la misma no esta "
                             "registrada correctamente, verifiquelo y vuelva a intentarlo"),
            Msg::Critical, AvisoOperador);
        return false;
    }

    ocupado(true);
    Mail& m = *mail;
    const CuentaCorreo cuenta = m_cuenta;
    const bool conectado = enSegundoPlano(
        [&] { return m.Conectar(host, cuenta.CuentaUsuario, cuenta.CuentaClave, puerto); });
    if (!conectado) {
        ui->cmdSend->setEnabled(true);
        ocupado(false);
        switch (m.fallo()) {
        case MailFallo::Autenticacion:
            aviso(QStringLiteral("No se ha podido autenticar en el server SMTP con los parametros "
                                 "indicados")
                    + QStringLiteral("\r\n")
                    + QStringLiteral("Verifique los puertos habituales son: 587 465 25 ")
                    + QStringLiteral("verifique tambien usuario y contraseña")
                    + QStringLiteral("\r\n") + QStringLiteral("y vuelva a intentarlo"),
                Msg::Critical, AvisoOperador);
            break;
        case MailFallo::SinConexion:
            errorDeEnvio(ErrorSinConexion, m.descripcionFallo());
            break;
        default:
            errorDeEnvio(0, m.descripcionFallo());
            break;
        }
        return false;
    }

    if (!secuenciaMensaje(m, !seleccionMultiple))
        return false;

    EnvioManual = false;
    ui->cmdSend->setEnabled(true);
    pSalir = true;
    const QString de = texto(QStringLiteral("De")).trimmed();
    if (MostrarAntes && !de.isEmpty() && bloqueo.mensaje().isEmpty()
        && Configuracion::Cfg(QStringLiteral("email_de")).trimmed().isEmpty())
        Configuracion::GrabaDfg(
            QStringLiteral("email_de"), de, QString(), false, QStringLiteral("DATOS"));
    ocupado(false);
    Unload();
    return false;
}

// False when the send stopped with the form to stay open (bad sender, recipients or
// attachments, no connection); true when it ran to its end, sent or refused.
bool FrmEnviar::secuenciaMensaje(Mail& m, bool guardaContactos)
{
    ui->cmdSend->setEnabled(false);
    ui->lstStatus->clear();
    ocupado(true);
    const auto detiene = [&](const QString& texto, int estilo) {
        aviso(texto, estilo, AvisoOperador);
        ui->cmdSend->setEnabled(true);
        ocupado(false);
        return false;
    };

    if (!m.Crear()) {
        aviso(QStringLiteral("No se ha podido crear el correo con los parametros indicados, "
                             "verifiquelo y vuelva a intentarlo"),
            Msg::Critical, AvisoOperador);
        return true;
    }

    const MensajeCorreo::Revision revision = MensajeCorreo::revisa(texto(QStringLiteral("De")),
        Configuracion::Cfg(QStringLiteral("email_de")), texto(QStringLiteral("Para")),
        ui->txtAttach->text());
    switch (revision.problema) {
    case MensajeCorreo::Problema::Remitente:
        detiene(QStringLiteral("Por favor escriba el Email De, y vuelva a intentar")
                + MensajeCorreo::nombraItem(revision.item),
            Msg::Information);
        ui->txtfields_0->setFocus();
        return false;
    case MensajeCorreo::Problema::Destinatarios:
        return detiene(QStringLiteral("No se ha podido agregar los destinatarios el correo con "
                                      "los parametros indicados, verifiquelo y vuelva a "
                                      "intentarlo")
                + MensajeCorreo::nombraItem(revision.item),
            Msg::Critical);
    case MensajeCorreo::Problema::Adjuntos:
        return detiene(QStringLiteral("No se ha podido Adjuntar al correo con los parametros "
                                      "indicados, verifiquelo y vuelva a intentarlo")
                + MensajeCorreo::nombraItem(revision.item),
            Msg::Critical);
    case MensajeCorreo::Problema::Ninguno:
        break;
    }

    // Only addresses that passed the check are kept, each on its own; the contact fields beside
    // "Para" belong to a single recipient.
    if (guardaContactos) {
        const BloqueoBase bloqueo;
        for (const QString& d : revision.destinatarios) {
            grabaContacto(d, QString(), QString(), revision.destinatarios.size() == 1);
            if (!bloqueo.mensaje().isEmpty())
                return detiene(noSeEnvio(bloqueo), Msg::Critical);
        }
    }

    m.setRemitente(m_cuenta.CuentaUsuario);
    m.setNombreRemitente(m_cuenta.CuentaNombre);
    m.setResponderA(revision.responderA);
    for (const QString& d : revision.destinatarios)
        m.AgregarDestinatario(d);
    m.setMotivo(texto(QStringLiteral("Asunto")));

    const QString original = mensaje();
    MensajeCorreo::Cuerpos cuerpos;
    if (ui->txtfields_3->isHidden()) {
        if (MensajeCorreo::enlazaAdjuntos(m_cuenta.ServidorTipo))
            pasoEnlace();
        cuerpos = MensajeCorreo::cuerposOcultos(original, m_cuenta.ServidorTipo, LinkDocumento);
    } else {
        cuerpos = MensajeCorreo::cuerpos(original);
    }
    m.setMensajeTexto(cuerpos.texto);
    m.setMensajeHTML(cuerpos.html);
    for (const QString& a : revision.adjuntos)
        m.Adjuntar(a);

    const bool enviado = enSegundoPlano([&] { return m.Enviar(); });
    if (enviado) {
        InformarEnvioCorrecto();
    } else if (m.fallo() == MailFallo::SinConexion) {
        ui->cmdSend->setEnabled(true);
        ocupado(false);
        errorDeEnvio(ErrorSinConexion, m.descripcionFallo());
        return false;
    } else {
        InformarEnvioFallido(
            m.respuestaServidor().isEmpty() ? m.descripcionFallo() : m.respuestaServidor());
    }
    return true;
}

void FrmEnviar::pasoEnlace()
{
    // The second file goes up first under its own name, then the first one under today's date;
    // with a single file there is nothing to link and the bodies stay as typed.
    const QStringList archivos = ui->txtAttach->text().trimmed().split(u';');
    if (archivos.size() < 2)
        return;
    QString carpeta, nombre, extension, base;
    gUtilidades().DescomponeRuta(archivos.at(1), carpeta, nombre, extension, base);
    uploadAdjuntoWeb(archivos.at(1), nombre.section(u'.', 0, 0), extension, true);
    const QString primero = archivos.at(0);
    uploadAdjuntoWeb(
        primero, Today().toString(QStringLiteral("yyyyMMdd")), primero.section(u'.', 1), false);
}

void FrmEnviar::InformarEnvioCorrecto()
{
    Steps pasos = Steps::silent();
    pasos.run([&] { RegistrarEnvio(false); });
    if (!IdEvento.isEmpty()) {
        ui->lblProgress->clear();
        hide();
        return;
    }
    if (eMailAux::gDestinatarios.size() - 1 >= 2) {
        ui->lblProgress->clear();
        return;
    }
    if (!pSilencioso) {
        pasos.run([&] {
            FrmMsgBox aviso(this);
            aviso.Mensaje = QStringLiteral("Mensaje Enviado correctamente");
            aviso.Titulo = QStringLiteral("Aviso del mail");
            aviso.Espera = 2;
            MuestraModal(aviso);
        });
    }
    ui->lblProgress->clear();
}

void FrmEnviar::InformarEnvioFallido(const QString& respuesta)
{
    QString texto = QStringLiteral("No se pudo enviar el correo, verifique la configuracion de "
                                   "la cuenta");
    if (!respuesta.trimmed().isEmpty())
        texto += QStringLiteral("\r\n") + respuesta.trimmed();
    MostrarErrorEnvio(texto);
}

void FrmEnviar::MostrarErrorEnvio(const QString& texto)
{
    if (MostrarAntes)
        aviso(QStringLiteral("El envío del Email falló por las posibles razones:: ")
                + QStringLiteral("\r\n") + texto,
            Msg::OkOnly, QString());
    ui->lblProgress->clear();
    ocupado(false);
    ui->cmdSend->setEnabled(true);
    RegistrarEnvio(true, texto);
}

void FrmEnviar::MostrarProgreso(long valor)
{
    ui->lblProgress->setText(QString::number(valor) + u'%');
}

void FrmEnviar::MostrarUltimoEstado(const QString& texto)
{
    ui->lstStatus->addItem(texto);
    ui->lstStatus->setCurrentRow(ui->lstStatus->count() - 1);
    ui->lstStatus->clearSelection();
}

void FrmEnviar::errorDeEnvio(qint64 numero, const QString& descripcion)
{
    ocupado(false);
    ui->cmdSend->setEnabled(true);
    switch (numero) {
    case ErrorCuenta:
        aviso(QStringLiteral("Los datos de cuenta no son correctos. Por favor verifique la "
                             "configuración de su Cuenta"),
            Msg::Critical, QStringLiteral("Aviso al Operador"));
        break;
    case ErrorSinConexion:
        aviso(QStringLiteral(" No hay conexión a internet. Proceso cancelado."), Msg::Critical,
            QStringLiteral("Error al enviar correo"));
        break;
    case ErrorFaltanDatos:
        aviso(QStringLiteral("Faltan Datos. Verifique su Configuracion"), Msg::Critical,
            QStringLiteral("Error al enviar correo"), true);
        break;
    case ErrorClave:
        aviso(QStringLiteral("La dirección de correo y/o la contraseña") + QStringLiteral("\r\n")
                + QStringLiteral("no son correctas."),
            Msg::Critical, QStringLiteral(" No se envió el correo "));
        break;
    default:
        aviso(descripcion, Msg::Critical, QStringLiteral(" No se envió el correo. "));
        break;
    }
}

void FrmEnviar::RegistrarEnvio(
    bool HayError, const QString& TextoError, const QString& CodigoActivador, bool esWhatsapp)
{
    RegistroEnvio::Fila fila;
    if (esWhatsapp) {
        fila.De = usuarioLogeado();
        fila.Para = gUtilidades().LimpiaTexto(
            gUtilidades().QuitaCaracteres(ui->txtParaWhatsapp->text(), QStringLiteral(" -/")));
        fila.Asunto = QStringLiteral("Enviado Via Whatsapp");
        fila.Mensaje = ui->txtMensajeWhatsapp->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
        fila.CuentaEmail = QStringLiteral("Whatsapp");
    } else {
        fila.De = texto(QStringLiteral("De"));
        fila.Para = texto(QStringLiteral("Para"));
        fila.Asunto = texto(QStringLiteral("Asunto"));
        fila.Mensaje = mensaje();
        fila.Adjunto = ui->txtAttach->text();
        fila.CuentaEmail = m_cuenta.CuentaUsuario;
    }
    fila.CodigoActivador = CodigoActivador;
    fila.Usuario = usuarioLogeado();
    fila.TC = TC;
    fila.IdComprobante = IdComprobante;
    fila.Status = HayError ? TextoError : QStringLiteral("OK");
    fila.Cuenta = Cuenta;
    QString motivo;
    if (RegistroEnvio::graba(fila, &motivo))
        return;
    // The message went (or failed) all the same: the operator must know it is not in the log.
    const QString que = esWhatsapp ? QStringLiteral("El mensaje por WhatsApp no quedó anotado")
        : HayError                 ? QStringLiteral("El envío fallido no quedó anotado")
                                   : QStringLiteral("El correo se envió, pero no quedó anotado");
    const QString texto = que + QStringLiteral(" en el registro de envíos: ") + motivo;
    if (pSilencioso)
        ErrorLog::append(archivoErroresPrograma(),
            ErrorLog::line(Now(), QStringLiteral("RegistrarEnvio"), texto, 0));
    else
        MsgBox(texto, Msg::Exclamation, AvisoOperador);
}

void FrmEnviar::ActualizaContestado(
    const QString& Usuario, const QString& UIDL, const QString& CuentaEmail)
{
    Q_UNUSED(CuentaEmail);
    RegistroEnvio::ActualizaContestado(Usuario, UIDL);
}

QString FrmEnviar::GetStringFile(QString& Value, bool Force)
{
    if (Force)
        Value.replace(u'+', u' ');
    Value.replace(QStringLiteral("%25"), QString(QChar(0)));
    qsizetype por;
    while ((por = Value.indexOf(u'%')) >= 0) {
        bool ok = false;
        const QString hex = Value.mid(por + 1, 2);
        const int codigo = hex.size() == 2 ? hex.toInt(&ok, 16) : 0;
        if (!ok)
            throw RuntimeError(
                RuntimeError::TypeMismatch, QStringLiteral("No coinciden los tipos"));
        Value.replace(u'%' + hex, QString(QChar(codigo)), Qt::CaseInsensitive);
    }
    Value.replace(QChar(0), u'%');
    Value.replace(u'/', u'\\');
    return QString(Value).replace(u' ', u'_');
}

void FrmEnviar::keyPressEvent(QKeyEvent* event)
{
    if (m_enviando) {
        event->accept();
        return;
    }
    const bool correo = ui->optMetodoEnvio_0->isChecked();
    switch (event->key()) {
    case Qt::Key_F2:
        if (correo)
            cmdSend_Click();
        else
            cmdEnviarWhatsapp_Click();
        return;
    case Qt::Key_Escape:
        // Each panel's "[ESC] Salir" is what Esc presses.
        if (correo)
            cmdExit_Click();
        else
            cmdSalir_Click();
        return;
    case Qt::Key_F5:
        if (correo)
            CmdConsultar_Click();
        else
            cmdConsultarContacto_Click();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void FrmEnviar::closeEvent(QCloseEvent* event)
{
    if (m_enviando) {
        event->ignore();
        return;
    }
    Unload();
    event->accept();
}

void FrmEnviar::reject()
{
    if (m_enviando)
        return;
    Unload();
}
