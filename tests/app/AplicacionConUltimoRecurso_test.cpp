#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/DemoDatabaseFiles.h"
#include "support/ToolProcess.h"

namespace {

struct Corrida
{
    QProcess::ExitStatus estado = QProcess::CrashExit;
    int salida = -1;
    QString salidaTexto;
    QString errores;
};

Corrida corre(
    const QString& programa, const QStringList& argumentos, const QString& precarga = QString())
{
    static QTemporaryDir runtime;
    QProcessEnvironment entorno = testsupport::toolEnvironment();
    entorno.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!precarga.isEmpty())
        entorno.insert(QStringLiteral("LD_PRELOAD"), precarga);
    QProcess proceso;
    proceso.setProcessEnvironment(entorno);
    proceso.start(programa, argumentos);
    Corrida corrida;
    if (!proceso.waitForFinished(120000)) {
        ADD_FAILURE() << programa.toStdString() << " did not end";
        proceso.kill();
        proceso.waitForFinished();
        return corrida;
    }
    corrida.estado = proceso.exitStatus();
    corrida.salida = proceso.exitCode();
    corrida.salidaTexto = QString::fromUtf8(proceso.readAllStandardOutput());
    corrida.errores = QString::fromUtf8(proceso.readAllStandardError());
    return corrida;
}

} // namespace

// An exception out of an event handler is told once, on the error output and in a critical box,
// and the program ends there with 3: also inside a dialog's loop before the main loop runs, where
// ending the loops alone would let the window load on.
TEST(AplicacionConUltimoRecurso, an_error_of_an_event_handler_is_told_and_ends_with_3)
{
    const struct
    {
        const char* caso;
        const char* mensaje;
    } casos[] = {
        { "runtime", "Error no previsto: 5: Falla de prueba" },
        // Nothing to say of it but that it happened.
        { "ajena", "Error no previsto" },
        { "dialogo", "Error no previsto: 5: Falla de prueba" },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);

        const Corrida r = corre(QStringLiteral(RP_APLICACION_PRUEBA_EXE), { c.caso });

        EXPECT_EQ(r.estado, QProcess::NormalExit);
        EXPECT_EQ(r.salida, 3);
        EXPECT_TRUE(r.errores.split(u'\n').contains(QString::fromUtf8(c.mensaje)))
            << r.errores.toStdString();
        EXPECT_EQ(r.salidaTexto, QStringLiteral("Caja: Rp_Tarifolio | %1 | 16\n").arg(c.mensaje));
    }
}

TEST(AplicacionConUltimoRecurso, a_run_without_error_ends_well_with_no_box)
{
    const Corrida r = corre(QStringLiteral(RP_APLICACION_PRUEBA_EXE), { "nada" });

    EXPECT_EQ(r.estado, QProcess::NormalExit);
    EXPECT_EQ(r.salida, 0);
    EXPECT_EQ(r.salidaTexto, QString());
    EXPECT_FALSE(r.errores.contains(QStringLiteral("Error no previsto")))
        << r.errores.toStdString();
}

// A tool's dialog whose event handler throws ends the tool with 3 and its line, as an error that
// reaches the tool's main does, where the throw through the dialog's loop ended it with a signal.
TEST(AplicacionConUltimoRecurso, an_error_in_a_tools_dialog_ends_the_tool_with_3)
{
    QTemporaryDir carpeta;
    const QString base = testsupport::writeDemoDatabases(carpeta.path());
    ASSERT_FALSE(base.isEmpty());
    const struct
    {
        const char* herramienta;
        QStringList argumentos;
    } casos[] = {
        { RP_VOUCHER_EXE,
            { QStringLiteral("buffer"), QStringLiteral("--db"), base, QStringLiteral("--tc"),
                QStringLiteral("FC"), QStringLiteral("--id"), QStringLiteral("000200001201A") } },
        { RP_SEND_EXE,
            { QStringLiteral("--db"), base, QStringLiteral("--usuario"), QStringLiteral("ANA"),
                QStringLiteral("contactos"), QStringLiteral("--tc"), QStringLiteral("FC"),
                QStringLiteral("--cuenta"), QStringLiteral("1") } },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.herramienta);

        const Corrida r = corre(QString::fromLocal8Bit(c.herramienta), c.argumentos,
            QStringLiteral(RP_FALLA_EN_DIALOGO_LIB));

        EXPECT_EQ(r.estado, QProcess::NormalExit);
        EXPECT_EQ(r.salida, 3) << r.errores.toStdString();
        EXPECT_TRUE(r.errores.split(u'\n').contains(
            QStringLiteral("Error no previsto: falla en un dialogo de prueba")))
            << r.errores.toStdString();
    }
}
