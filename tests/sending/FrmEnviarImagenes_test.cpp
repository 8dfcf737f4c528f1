#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtEndian>

#include <gtest/gtest.h>

#include "sending/CorreoTest.h"
#include "sending/FrmEnviar.h"
#include "sending/FrmImgNew.h"
#include "support/HttpsPeer.h"

using testsupport::messages;

namespace {

// A rectangle of 200 x 100 units in a placeable metafile (wmf2gd draws it 150 x 75).
const QByteArray Metarchivo = QByteArray::fromHex(
    "d7cdc69a000000000000c8006400600000000000dd570100090000032c0000000100070000000000050000000b02"
    "00000000050000000c026400c80007000000fc020000ff0000000000040000002d010000070000001b046400c800"
    "0000000004000000f0010000030000000000");

class FrmEnviarImagenes : public DocumentosTest
{
protected:
    void apunta(const HttpsPeer& peer)
    {
        ConfiguracionEnvio c;
        c.servidorDocumentos = peer.servidor();
        c.certificadosCA = peer.certificado();
        ASSERT_TRUE(c.guarda());
    }

    QString imagen(const QString& nombre, int ancho, int alto, const char* formato)
    {
        QImage i(ancho, alto, QImage::Format_RGB32);
        i.fill(Qt::darkCyan);
        const QString ruta = m_dir.filePath(nombre);
        EXPECT_TRUE(i.save(ruta, formato));
        return ruta;
    }

    // "BM", bits per pixel, width x height of a bitmap file's header.
    static QString cabeceraBmp(const QByteArray& b)
    {
        if (b.size() < 54)
            return QStringLiteral("corto");
        const auto entero
            = [&](int desde) { return qFromLittleEndian<qint32>(b.constData() + desde); };
        return QString::fromLatin1(b.left(2)) + u' '
            + QString::number(qFromLittleEndian<quint16>(b.constData() + 28)) + u' '
            + QString::number(entero(18)) + u'x' + QString::number(entero(22));
    }
};

// A chosen file: the thumbnail written, uploaded and linked; a file with no picture stops.
TEST_F(FrmEnviarImagenes, chosen_picture_is_reduced_uploaded_and_linked)
{
    const struct
    {
        const char* nombre;
        QString archivo;
        QString cabecera; // of the thumbnail uploaded; empty: nothing written nor uploaded
    } casos[] = {
        { "bitmap", imagen(QStringLiteral("grande.bmp"), 2000, 1000, "BMP"),
            QStringLiteral("BM 24 1100x550") },
        { "jpeg", imagen(QStringLiteral("alta.jpg"), 1000, 2000, "JPEG"),
            QStringLiteral("BM 24 475x950") },
        { "metafile", archivo(QStringLiteral("rect.wmf"), Metarchivo),
            QStringLiteral("BM 24 150x75") },
        { "not a picture", archivo(QStringLiteral("texto.jpg"), "hola"), QString() },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        messages().clear();
        HttpsPeer peer;
        apunta(peer);
        FrmEnviar f;
        f.show();
        testsupport::fileDialogs().answer(c.archivo);
        if (c.cabecera.isEmpty())
            messages().answer(Msg::Ok);

        f.control<QPushButton>("CmdBuscar")->click();

        const QList<HttpsPeer::Peticion> peticiones = peer.peticiones();
        const QString mensaje = f.control<QPlainTextEdit>("txtMensajeWhatsapp")->toPlainText();
        if (c.cabecera.isEmpty()) {
            EXPECT_TRUE(peticiones.isEmpty());
            ASSERT_EQ(messages().shown().size(), 1);
            EXPECT_EQ(messages().shown()[0].text, QStringLiteral("Imagen no válida"));
            EXPECT_EQ(mensaje, QString());
            continue;
        }
        ASSERT_EQ(peticiones.size(), 1);
        const QString miniatura = f.texto(QStringLiteral("RutaImagen"));
        const QString sello = QFileInfo(miniatura).baseName();
        EXPECT_EQ(miniatura, datos(QStringLiteral("IMAGENES/thumbs5/")) + sello + ".bmp");
        const QByteArray bmp = testsupport::readFile(miniatura);
        EXPECT_EQ(cabeceraBmp(bmp), c.cabecera);
        EXPECT_TRUE(peticiones[0].cuerpo.contains(bmp));
        EXPECT_EQ(mensaje,
            QStringLiteral("\nLink del documento : https://") + peer.servidor()
                + QStringLiteral("/Clientes/DEMO0001/202403/DOCUMENTO_IMAGEN_") + sello
                + QStringLiteral(".bmp"));
        EXPECT_FALSE(QFile::exists(datos(QStringLiteral("IMAGENES/TMP_")) + sello + ".jpg"));
        EXPECT_TRUE(QFile::exists(datos(QStringLiteral("IMAGENES/")) + sello + ".jpg"));
        EXPECT_TRUE(messages().shown().isEmpty());
    }
}

TEST_F(FrmEnviarImagenes, pasted_picture_is_uploaded_and_an_empty_clipboard_says_so)
{
    HttpsPeer peer;
    apunta(peer);
    FrmEnviar f;
    f.show();
    QImage pegada(800, 600, QImage::Format_RGB32);
    pegada.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(pegada);

    f.control<QPushButton>("cmdPegar")->click();
    const QString miniatura = f.texto(QStringLiteral("RutaImagen"));
    QGuiApplication::clipboard()->setText(QStringLiteral("sin imagen"));
    messages().answer(Msg::Ok);
    f.control<QPushButton>("cmdPegar")->click();

    EXPECT_EQ(cabeceraBmp(testsupport::readFile(miniatura)), QStringLiteral("BM 24 800x600"));
    EXPECT_EQ(peer.peticiones(false).size(), 1);
    ASSERT_EQ(messages().shown().size(), 1);
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Aviso"));
    EXPECT_EQ(messages().shown()[0].text, QStringLiteral("Imagen no válida"));
    EXPECT_FALSE(f.control<QWidget>("frmEspera")->isVisible());
}

TEST_F(FrmEnviarImagenes, viewer_shows_the_picture_of_a_relative_path)
{
    QDir().mkpath(datos(QStringLiteral("IMAGENES/thumbs5")));
    QImage i(40, 30, QImage::Format_RGB32);
    i.fill(Qt::blue);
    ASSERT_TRUE(i.save(datos(QStringLiteral("IMAGENES/thumbs5/7.bmp")), "BMP"));
    FrmEnviar f;
    QString titulo;
    QSize tamano;
    m_modales.paso = [&](QDialog& d) {
        auto& visor = dynamic_cast<FrmImgNew&>(d);
        titulo = visor.windowTitle();
        tamano = visor.Image1().size();
    };

    f.control<QPushButton>("cmdAbrirImg")->click();
    const QString sinImagen = titulo;
    f.setTexto(QStringLiteral("RutaImagen"), QStringLiteral("IMAGENES\\thumbs5\\7.bmp"));
    f.control<QPushButton>("cmdAbrirImg")->click();

    EXPECT_EQ(sinImagen, QString());
    EXPECT_EQ(titulo, QStringLiteral("IMAGENES\\thumbs5\\7.bmp"));
    EXPECT_EQ(tamano, QSize(40, 30));
}

} // namespace
