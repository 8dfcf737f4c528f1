#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <QToolButton>

#include <gtest/gtest.h>

#include "platform/qt/QtLauncher.h"
#include "sending/CorreoTest.h"
#include "sending/FrmEnviar.h"
#include "sending/XdgOpenGrabador.h"
#include "support/HttpsPeer.h"
#include "support/TestEnvironment.h"

using testsupport::messages;

namespace {

class FrmEnviarWhatsapp : public DocumentosTest
{
protected:
    QtLauncher m_lanzador;
    ScopedService<Launcher> m_lanzadorService { m_lanzador };
};

TEST_F(FrmEnviarWhatsapp, three_attachments_are_uploaded_linked_last_first_opened_and_logged)
{
    HttpsPeer peer;
    ASSERT_TRUE(peer.iniciado());
    ConfiguracionEnvio c;
    c.servidorDocumentos = peer.servidor();
    c.certificadosCA = peer.certificado();
    c.servidorWhatsapp = QStringLiteral("wa.example");
    ASSERT_TRUE(c.guarda());
    XdgOpenGrabador xdg;
    FrmEnviar f;
    f.setTexto(QStringLiteral("Asunto"), QStringLiteral("Lista"));
    f.setTexto(QStringLiteral("Mensaje"), QStringLiteral("Hola"));
    f.control<QLineEdit>("txtAttach")->setText(archivo(QStringLiteral("a.pdf"), "1") + u';'
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
    ASSERT_EQ(messages().shown().size(), 1);
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Error"));
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
    EXPECT_EQ(f.control<QPushButton>("cmdEnviarWhatsapp")->text(),
        QStringLiteral("[F2] Enviar Mensaje"));
    EXPECT_EQ(f.control<QPushButton>("CmdCopiar")->text(), QStringLiteral("Copiar mensaje"));
    QStringList textos;
    for (const QLabel* etiqueta : f.findChildren<QLabel*>()) {
        if (etiqueta->isVisible())
            textos << etiqueta->text();
    }
    EXPECT_TRUE(textos.contains(QStringLiteral("Si lo desea, puede pegar una imagen.")));
    EXPECT_TRUE(textos.contains(QStringLiteral(
        "Al pegar o buscar una imagen, se adjuntara automáticamente al mensaje.")));

    f.control<QRadioButton>("optMetodoEnvio_0")->setChecked(true);

    EXPECT_LE(f.height(), AltoDisponible);
}
