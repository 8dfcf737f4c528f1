#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QTest>
#include <QToolButton>

#include <atomic>
#include <functional>

#include <gtest/gtest.h>

#include "platform/qt/QtLauncher.h"
#include "sending/CorreoTest.h"
#include "sending/FrmEnviar.h"
#include "sending/XdgOpenGrabador.h"
#include "sending/eMailAux.h"
#include "support/HttpsPeer.h"
#include "support/TestEnvironment.h"

using testsupport::messages;

namespace {

class FrmEnviarWhatsapp : public DocumentosTest
{
protected:
    // The document server at the peer, its certificate trusted; the messaging client's host.
    static void apunta(const HttpsPeer& peer, const QString& whatsapp = QString())
    {
        ASSERT_TRUE(peer.iniciado());
        ConfiguracionEnvio c;
        c.servidorDocumentos = peer.servidor();
        c.certificadosCA = peer.certificado();
        if (!whatsapp.isEmpty())
            c.servidorWhatsapp = whatsapp;
        ASSERT_TRUE(c.guarda());
    }

    QtLauncher m_lanzador;
    ScopedService<Launcher> m_lanzadorService { m_lanzador };
};

// A mail server whose first connection runs `mientras` on the window's thread and waits until the
// test lets it go; later ones connect at once. Every message is taken.
class CorreoRetenido final : public MailFactory
{
public:
    QObject* ventana = nullptr;
    std::function<void()> mientras;
    QSemaphore suelta;
    std::atomic<int> conexiones = 0;

    std::unique_ptr<Mail> crear(const MailSeguridad&) override
    {
        return std::make_unique<Sesion>(*this);
    }

private:
    class Sesion final : public Mail
    {
    public:
        explicit Sesion(CorreoRetenido& servidor)
            : m_servidor(servidor)
        {
        }
        bool Conectar(const QString&, const QString&, const QString&, int) override
        {
            if (m_servidor.conexiones.fetch_add(1) == 0) {
                QMetaObject::invokeMethod(
                    m_servidor.ventana, m_servidor.mientras, Qt::QueuedConnection);
                m_servidor.suelta.acquire();
            }
            return true;
        }
        bool Crear() override { return true; }
        void setRemitente(const QString&) override { }
        void setNombreRemitente(const QString&) override { }
        void setResponderA(const QString&) override { }
        void setMotivo(const QString&) override { }
        void setMensajeTexto(const QString&) override { }
        void setMensajeHTML(const QString&) override { }
        bool AgregarDestinatario(const QString&) override { return true; }
        bool Adjuntar(const QString&) override { return true; }
        bool Enviar() override { return true; }
        MailFallo fallo() const override { return MailFallo::Ninguno; }
        QString descripcionFallo() const override { return QString(); }
        QString respuestaServidor() const override { return QString(); }

    private:
        CorreoRetenido& m_servidor;
    };
};

TEST_F(FrmEnviarWhatsapp, no_second_send_or_upload_starts_while_a_send_is_under_way)
{
    HttpsPeer peer;
    apunta(peer);
    CorreoRetenido correo;
    const ScopedService<MailFactory> correoService(correo);
    FrmEnviar f;
    f.setTexto(QStringLiteral("Para"), QStringLiteral("uno@example.com"));
    f.setTexto(QStringLiteral("Asunto"), QStringLiteral("Lista"));
    f.control<QLineEdit>("txtAttach")->setText(archivo(QStringLiteral("a.pdf"), "1"));
    f.show();
    // While the connection waits, the operator picks WhatsApp, goes back to e-mail and sends.
    correo.ventana = &f;
    correo.mientras = [&] {
        f.control<QRadioButton>("optMetodoEnvio_1")->click();
        f.control<QRadioButton>("optMetodoEnvio_0")->click();
        QTest::keyClick(&f, Qt::Key_F2);
        correo.suelta.release();
    };

    f.control<QPushButton>("cmdSend")->click();

    EXPECT_EQ(correo.conexiones, 1);
    EXPECT_TRUE(peer.peticiones(false).isEmpty());
    EXPECT_TRUE(f.control<QRadioButton>("optMetodoEnvio_0")->isChecked());
    EXPECT_EQ(registro().size(), 1);
}

TEST_F(FrmEnviarWhatsapp, three_attachments_are_uploaded_linked_last_first_opened_and_logged)
{
    HttpsPeer peer;
    apunta(peer, QStringLiteral("wa.example"));
    XdgOpenGrabador xdg;
    FrmEnviar f;
    f.setTexto(QStringLiteral("Asunto"), QStringLiteral("Lista"));
    f.setTexto(QStringLiteral("Mensaje"), QStringLiteral("Hola"));
    f.control<QLineEdit>("txtAttach")
        ->setText(archivo(QStringLiteral("a.pdf"), "1") + u';'
            + archivo(QStringLiteral("b.pdf"), "2") + u';' + archivo(QStringLiteral("c.pdf"), "3"));
    f.show();

    // Chosen by its picture: the attachments go up once, not once for the picture and once for
    // the option it selects.
    f.control<QToolButton>("Image1")->click();
    const QString texto = f.control<QPlainTextEdit>("txtMensajeWhatsapp")->toPlainText();
    f.control<QLineEdit>("txtParaWhatsapp")->setText(QStringLiteral("11 5555-0001"));
    f.control<QPushButton>("cmdEnviarWhatsapp")->click();

    ASSERT_EQ(peer.peticiones().size(), 3);
    const QString carpeta = QStringLiteral("https://") + peer.servidor()
        + QStringLiteral("/Clientes/DEMO0001/202403/20240315_");
    const qsizetype tercero = texto.indexOf(carpeta + u'2');
    const qsizetype primero = texto.indexOf(carpeta + u'0');
    EXPECT_TRUE(texto.startsWith(QStringLiteral("Hola\n \n\nLista\n\nLink del documento : ")))
        << texto.toStdString();
    EXPECT_GT(tercero, 0);
    EXPECT_GT(texto.indexOf(carpeta + u'1'), tercero);
    EXPECT_GT(primero, texto.indexOf(carpeta + u'1'));
    const QStringList abiertos = xdg.abiertos(1);
    ASSERT_EQ(abiertos.size(), 1);
    EXPECT_TRUE(abiertos[0].startsWith(QStringLiteral(
        "https://wa.example/send?phone=+5491155550001&text=Hola%0A%20%0A%0ALista%0A%0ALink")))
        << abiertos[0].toStdString();
    EXPECT_EQ(registro(), QStringList({ QStringLiteral("OK|Whatsapp|E|1155550001") }));
    EXPECT_TRUE(f.pSalir);
    EXPECT_FALSE(f.control<QWidget>("frmEspera")->isVisible());
    EXPECT_TRUE(messages().shown().isEmpty());
}

TEST_F(FrmEnviarWhatsapp, copy_puts_the_text_on_the_clipboard_and_says_so)
{
    FrmEnviar f;
    f.show();
    f.control<QRadioButton>("optMetodoEnvio_1")->setChecked(true);
    f.control<QPlainTextEdit>("txtMensajeWhatsapp")->setPlainText(QStringLiteral("Hola\nfin"));

    f.control<QPushButton>("CmdCopiar")->click();

    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Hola\nfin"));
    EXPECT_TRUE(f.control<QLabel>("lblAviso")->isVisible());
}

TEST_F(FrmEnviarWhatsapp, agregar_appends_the_chosen_files_and_a_cancel_says_so)
{
    FrmEnviar f;
    f.control<QLineEdit>("txtAttach")->setText(QStringLiteral("/x/lista.pdf"));
    testsupport::fileDialogs().answerSeveral(
        QStringList { QStringLiteral("/d/a b.pdf"), QStringLiteral("/d/c.pdf") });
    testsupport::fileDialogs().answerSeveral(std::nullopt);
    messages().answer(Msg::Ok);

    f.control<QPushButton>("cmdBrowse")->click();
    f.control<QPushButton>("cmdBrowse")->click();

    EXPECT_EQ(f.control<QLineEdit>("txtAttach")->text(),
        QStringLiteral("/x/lista.pdf;/d/a b.pdf;/d/c.pdf"));
    ASSERT_EQ(testsupport::fileDialogs().requests().size(), 2);
    EXPECT_EQ(testsupport::fileDialogs().requests()[0].title,
        QStringLiteral("Select File Attachment(s)"));
    EXPECT_EQ(testsupport::fileDialogs().requests()[0].filter,
        QStringLiteral("All Files (*.*)|*.*|HTML Files (*.htm;*.html;*.shtml)|*.htm;*.html;*.shtml|"
                       "Images (*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif"));
    EXPECT_EQ(testsupport::fileDialogs().requests()[0].filterIndex, 1);
    ASSERT_EQ(messages().shown().size(), 1);
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(messages().shown()[0].style, Msg::Critical);
    EXPECT_EQ(messages().shown()[0].text, QStringLiteral("Se canceló la selección de archivos."));
}

TEST_F(FrmEnviarWhatsapp, abrir_opens_each_attachment)
{
    XdgOpenGrabador xdg;
    const QString a = archivo(QStringLiteral("con blancos.pdf"), "1");
    const QString b = archivo(QStringLiteral("b.pdf"), "2");
    FrmEnviar f;
    f.control<QLineEdit>("txtAttach")->setText(a + u';' + b);

    f.control<QPushButton>("CmdAbrir")->click();

    QStringList abiertos = xdg.abiertos(2);
    abiertos.sort();
    EXPECT_EQ(abiertos, QStringList({ b, a }));
}

} // namespace

TEST_F(FrmEnviarWhatsapp, either_method_fits_a_laptop_screen_with_the_panels_captions)
{
    // A 768-pixel screen keeps about 740 for a window under its title bar.
    constexpr int AltoDisponible = 740;
    FrmEnviar f;
    f.show();
    const int altoCorreo = f.height();

    f.control<QRadioButton>("optMetodoEnvio_1")->setChecked(true);

    EXPECT_LE(altoCorreo, AltoDisponible);
    EXPECT_LE(f.height(), AltoDisponible);
    EXPECT_EQ(
        f.control<QPushButton>("cmdEnviarWhatsapp")->text(), QStringLiteral("[F2] Enviar Mensaje"));
    EXPECT_EQ(f.control<QPushButton>("CmdCopiar")->text(), QStringLiteral("Copiar mensaje"));
    QStringList textos;
    for (const QLabel* etiqueta : f.findChildren<QLabel*>()) {
        if (etiqueta->isVisible())
            textos << etiqueta->text();
    }
    EXPECT_TRUE(textos.contains(QStringLiteral("Si lo desea, puede pegar una imagen.")));
    EXPECT_TRUE(textos.contains(
        QStringLiteral("Al pegar o buscar una imagen, se adjuntara automáticamente al mensaje.")));

    f.control<QRadioButton>("optMetodoEnvio_0")->setChecked(true);

    EXPECT_LE(f.height(), AltoDisponible);
}

// Both panels read "[ESC] Salir": with WhatsApp chosen, Esc leaves through the messaging panel's
// button, which keeps the mail result the caller had.
TEST_F(FrmEnviarWhatsapp, escape_leaves_the_messaging_panel_as_its_button_says)
{
    FrmEnviar f;
    f.show();
    QApplication::setActiveWindow(&f);
    f.control<QRadioButton>("optMetodoEnvio_1")->click();
    f.control<QPlainTextEdit>("txtMensajeWhatsapp")->setFocus();
    eMailAux::gResultadoEnvio = 1;

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(f.pSalir);
    EXPECT_EQ(eMailAux::gResultadoEnvio, 1);
}
