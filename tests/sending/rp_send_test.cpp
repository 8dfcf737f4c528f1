#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "reportengine/PdfTools.h"
#include "sending/CorreoTest.h"
#include "support/ToolProcess.h"

namespace {

class RpSend : public CorreoTest
{
};

TEST_F(RpSend, sends_as_an_automatic_caller_prints_the_log_row_and_exits_by_outcome)
{
    SmtpPeer peer({});
    ASSERT_TRUE(peer.iniciado());
    const QString pdf = archivo(QStringLiteral("lista.pdf"), "%PDF-1.4");
    const QString smtp = QStringLiteral("127.0.0.1:") + QString::number(peer.puerto());
    QProcess p;
    QProcessEnvironment env = testsupport::toolEnvironment();
    env.insert(QStringLiteral("TEMP"), temporal());
    p.setProcessEnvironment(env);

    p.start(QStringLiteral(RP_SEND_EXE),
        { QStringLiteral("--db"), m_file, QStringLiteral("--usuario"), QStringLiteral("ADMIN"),
            QStringLiteral("--smtp"), smtp, QStringLiteral("enviar"), QStringLiteral("--para"),
            QStringLiteral("uno@example.com"), QStringLiteral("--asunto"), QStringLiteral("Lista"),
            QStringLiteral("--adjunto"), pdf });
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString salida = QString::fromUtf8(p.readAllStandardOutput());
    const QByteArray avisos = p.readAllStandardError();
    const int primero = p.exitCode();
    p.start(QStringLiteral(RP_SEND_EXE),
        { QStringLiteral("--db"), m_file, QStringLiteral("--usuario"), QStringLiteral("ADMIN"),
            QStringLiteral("--smtp"), smtp, QStringLiteral("enviar"), QStringLiteral("--para"),
            QStringLiteral("uno@example.com"), QStringLiteral("--asunto"), QStringLiteral("Lista"),
            QStringLiteral("--adjunto"), QStringLiteral("/no/existe.pdf") });
    ASSERT_TRUE(p.waitForFinished(120000));
    const int segundo = p.exitCode();
    const QString salidaSegundo = QString::fromUtf8(p.readAllStandardOutput());
    p.start(QStringLiteral(RP_SEND_EXE), { QStringLiteral("enviar") });
    ASSERT_TRUE(p.waitForFinished(120000));

    EXPECT_TRUE(salida.contains(QStringLiteral("Status=OK"))) << salida.toStdString();
    EXPECT_EQ(peer.mensajes().size(), 1);
    EXPECT_EQ(primero, 0);
    // Nothing the user did not ask for: the sender's windows are built off screen unseen.
    EXPECT_EQ(avisos.toStdString(), "");
    EXPECT_EQ(segundo, 1);
    EXPECT_TRUE(salidaSegundo.contains(QStringLiteral("Aviso al operador | No se ha podido "
                                                      "Adjuntar al correo")))
        << salidaSegundo.toStdString();
    EXPECT_EQ(p.exitCode(), 2);
}

} // namespace

namespace {

// The document commands: a payment order with its certificates rendered and mailed by its rule,
// one of its saved reports exported again, a text file shown to an account, a wrong call refused.
TEST_F(RpSend, renders_and_mails_a_document_exports_a_saved_report_and_shows_a_text_file)
{
    SmtpPeer peer({});
    ASSERT_TRUE(peer.iniciado());
    const QString texto = archivo(QStringLiteral("aviso.txt"), "Uno\r\nDos\r\n");
    QProcess p;
    QProcessEnvironment env = testsupport::toolEnvironment();
    env.insert(QStringLiteral("TEMP"), temporal());
    p.setProcessEnvironment(env);
    const auto corre = [&](const QStringList& comando) {
        p.start(QStringLiteral(RP_SEND_EXE),
            QStringList { QStringLiteral("--db"), m_file, QStringLiteral("--usuario"),
                QStringLiteral("ADMIN"), QStringLiteral("--smtp"),
                QStringLiteral("127.0.0.1:") + QString::number(peer.puerto()) }
                + comando);
        EXPECT_TRUE(p.waitForFinished(120000));
        return QString::fromUtf8(p.readAllStandardOutput());
    };

    const QString documento = corre({ QStringLiteral("documento"), QStringLiteral("--tc"),
        QStringLiteral("PG"), QStringLiteral("--id"), QStringLiteral("000200000930X"),
        QStringLiteral("--cuenta"), QStringLiteral("2110001") });
    const int salidaDocumento = p.exitCode();
    const QString carpeta = documento.section(QStringLiteral("carpeta: "), 1).section(u'\n', 0, 0);
    const QString exportado = m_dir.filePath(QStringLiteral("iva.pdf"));
    corre({ QStringLiteral("exportar"), carpeta + QStringLiteral("/2110001_IVA1.RPT"), exportado,
        QStringLiteral("31") });
    const int salidaExportar = p.exitCode();
    const QString especial = corre({ QStringLiteral("especial"), QStringLiteral("--cuenta"),
        QStringLiteral("1120002"), QStringLiteral("--archivo"), texto });
    corre({ QStringLiteral("exportar"), exportado });
    const int salidaMal = p.exitCode();

    EXPECT_EQ(salidaDocumento, 0) << documento.toStdString();
    EXPECT_TRUE(documento.contains(QStringLiteral("Status=OK")));
    ASSERT_EQ(peer.mensajes().size(), 1);
    QStringList adjuntos;
    for (const QJsonValue& parte :
        SmtpPeer::resumen(peer.mensajes().first())[QStringLiteral("parts")].toArray())
        adjuntos << parte[QStringLiteral("filename")].toString();
    EXPECT_EQ(adjuntos,
        QStringList({ QString(), QString(), QStringLiteral("2110001_PG1.PDF"),
            QStringLiteral("2110001_IBR1.PDF"), QStringLiteral("2110001_GAN1.PDF"),
            QStringLiteral("2110001_IVA1.PDF") }));
    EXPECT_EQ(salidaExportar, 0);
    EXPECT_TRUE(PdfTools::text(exportado).contains(QStringLiteral("12.000,00")));
    EXPECT_TRUE(especial.contains(QStringLiteral("Para=info@constructoralosa.example")))
        << especial.toStdString();
    EXPECT_TRUE(especial.contains(QStringLiteral("Mensaje=UnoDos")));
    EXPECT_EQ(salidaMal, 2);

    // A payment order typed OPG goes with the certificates of its withholdings, as a PG does.
    exec(QStringLiteral("UPDATE MV_ASIENTOS SET LIVA_Ret_IBtos = 5000, LIVA_Ret_Ganancias = 8000, "
                        "LIVA_Ret_Perc = 12000 WHERE TC = 'OPG' AND NUMERO = '00000910' AND "
                        "CUENTA = '2110001'"));
    const QString orden = corre({ QStringLiteral("documento"), QStringLiteral("--tc"),
        QStringLiteral("OPG"), QStringLiteral("--id"), QStringLiteral("000200000910X"),
        QStringLiteral("--cuenta"), QStringLiteral("2110001"), QStringLiteral("--forzar") });
    EXPECT_EQ(p.exitCode(), 0) << orden.toStdString();
    EXPECT_FALSE(orden.contains(QStringLiteral("No se encuentra el Formulario")));
    EXPECT_TRUE(orden.contains(QStringLiteral("2110001_OPG1.PDF;"))) << orden.toStdString();
    for (const char* certificado : { "2110001_IBR1.PDF", "2110001_GAN1.PDF", "2110001_IVA1.PDF" })
        EXPECT_TRUE(orden.contains(QLatin1String(certificado))) << certificado;
}

// In a folder every account writes (1777, as /tmp), the run's TEMP and TMPDIR, another account
// (uid 1235) made first, open to all, the names the program would use there: "Rp_Tarifolio-<uid>"
// (its own folder), "E-MAILS" (the mail's) and "Rp_Tarifolio" (the report engine's). The mailed
// document goes whole, and its files, scratch files too, are made only in a folder of the sender's
// own.
TEST_F(RpSend, a_mailed_document_is_written_only_into_a_folder_of_the_sender_s_own)
{
    if (!testsupport::mayPlayAnotherAccount()) {
        ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true")) << "CI runs as root";
        GTEST_SKIP() << "the planting side runs as uid 1235, which needs root and setpriv";
    }
    QTemporaryDir compartida;
    ASSERT_EQ(::chmod(QFile::encodeName(compartida.path()).constData(), 01777), 0);
    const QStringList plantadas { compartida.filePath(
                                      QStringLiteral("Rp_Tarifolio-%1").arg(::geteuid())),
        compartida.filePath(QStringLiteral("E-MAILS")),
        compartida.filePath(QStringLiteral("Rp_Tarifolio")) };
    ASSERT_TRUE(testsupport::runAsAnotherAccount("mkdir -m 777 \"$@\"", plantadas));
    // A file made in theirs and removed at once leaves no trace but the notice.
    const int avisos = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(avisos, 0);
    const auto cierra = qScopeGuard([&] { ::close(avisos); });
    for (const QString& plantada : plantadas)
        ASSERT_GE(::inotify_add_watch(
                      avisos, QFile::encodeName(plantada).constData(), IN_CREATE | IN_MOVED_TO),
            0);
    SmtpPeer peer({});
    ASSERT_TRUE(peer.iniciado());
    QProcess p;
    QProcessEnvironment env = testsupport::toolEnvironment();
    env.insert(QStringLiteral("TEMP"), compartida.path());
    env.insert(QStringLiteral("TMPDIR"), compartida.path());
    p.setProcessEnvironment(env);

    p.start(QStringLiteral(RP_SEND_EXE),
        { QStringLiteral("--db"), m_file, QStringLiteral("--usuario"), QStringLiteral("ADMIN"),
            QStringLiteral("--smtp"), QStringLiteral("127.0.0.1:") + QString::number(peer.puerto()),
            QStringLiteral("documento"), QStringLiteral("--tc"), QStringLiteral("OPG"),
            QStringLiteral("--id"), QStringLiteral("000200000910X"), QStringLiteral("--cuenta"),
            QStringLiteral("2110001"), QStringLiteral("--forzar") });
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString salida = QString::fromUtf8(p.readAllStandardOutput());
    const QString carpeta = salida.section(QStringLiteral("carpeta: "), 1).section(u'\n', 0, 0);

    EXPECT_EQ(p.exitCode(), 0) << salida.toStdString();
    EXPECT_EQ(peer.mensajes().size(), 1);
    EXPECT_TRUE(QFileInfo::exists(carpeta + QStringLiteral("/2110001_OPG1.PDF")))
        << salida.toStdString();
    // The folder it went to is under one of the sender's alone, none of theirs.
    const QString propia
        = compartida.filePath(carpeta.mid(compartida.path().size() + 1).section(u'/', 0, 0));
    EXPECT_TRUE(carpeta.startsWith(propia + u'/')) << carpeta.toStdString();
    EXPECT_FALSE(plantadas.contains(propia)) << propia.toStdString();
    const QFileInfo suya(propia);
    EXPECT_TRUE(suya.isDir() && !suya.isSymLink());
    EXPECT_EQ(suya.ownerId(), ::geteuid());
    EXPECT_EQ(suya.permissions() & 0x0077, QFile::Permissions());
    for (const QString& plantada : plantadas)
        EXPECT_TRUE(QDir(plantada).isEmpty()) << plantada.toStdString();
    char notados[4096];
    EXPECT_EQ(::read(avisos, notados, sizeof notados), -1);
}

} // namespace

#include "support/HttpsPeer.h"

namespace {

// The sender's other commands, each printing what it did.
TEST_F(RpSend, uploads_keeps_a_contact_and_prints_the_messaging_link)
{
    HttpsPeer peer;
    ASSERT_TRUE(peer.iniciado());
    ConfiguracionEnvio c;
    c.certificadosCA = peer.certificado();
    const QString ini = m_dir.filePath(QStringLiteral("Envio.ini"));
    ASSERT_TRUE(c.guarda(ini));
    const QString pdf = archivo(QStringLiteral("lista.pdf"), "%PDF-1.4");
    const auto corre = [&](const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = testsupport::toolEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("datos")));
        env.insert(QStringLiteral("TEMP"), temporal());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(RP_SEND_EXE),
            QStringList { QStringLiteral("--db"), m_file, QStringLiteral("--usuario"),
                QStringLiteral("ADMIN"), QStringLiteral("--config"), ini }
                + args);
        EXPECT_TRUE(p.waitForFinished(120000));
        return QString::number(p.exitCode()) + u' ' + QString::fromUtf8(p.readAllStandardOutput());
    };

    const QString subida = corre({ QStringLiteral("subir"), QStringLiteral("--archivo"), pdf,
        QStringLiteral("--nombre"), QStringLiteral("P1"), QStringLiteral("--presupuesto"),
        QStringLiteral("--mantener"), QStringLiteral("--documentos"), peer.servidor() });
    const QString contacto = corre({ QStringLiteral("contacto"), QStringLiteral("--para"),
        QStringLiteral("nuevo@x.example"), QStringLiteral("--nombre"), QStringLiteral("Nuevo"),
        QStringLiteral("--cuenta"), QStringLiteral("C1") });
    const QString whatsapp = corre({ QStringLiteral("whatsapp"), QStringLiteral("--numero"),
        QStringLiteral("351 400"), QStringLiteral("--texto"), QStringLiteral("Hola") });

    EXPECT_EQ(subida,
        QStringLiteral("0 https://") + peer.servidor()
            + QStringLiteral("/Clientes/DEMO0001/PRESUPUESTOS/P1.pdf\n"));
    EXPECT_EQ(peer.peticiones().size(), 1);
    EXPECT_TRUE(contacto.startsWith(QStringLiteral("0 Contacto:  | Ingrese el Cargo | Ingrese el "
                                                   "Celular (")));
    EXPECT_TRUE(contacto.contains(QStringLiteral("Nombre_y_Apellido=Nuevo; Cargo=; CELULAR=; "
                                                 "email=nuevo@x.example; CUENTA=C1\n")))
        << contacto.toStdString();
    EXPECT_TRUE(whatsapp.startsWith(QStringLiteral(
        "0 Abrir | https://web.whatsapp.com/send?phone=+549351400&text=Hola\nv_ma_emailmov: ")))
        << whatsapp.toStdString();
    EXPECT_TRUE(whatsapp.contains(QStringLiteral("CuentaEmail=Whatsapp; Tipo=E; Status=OK")));
}

} // namespace
