#include "services/Configuracion.h"

#include "platform/AdoRecordset.h"
#include "support/DemoDatabaseTest.h"
#include "support/FakeDialogs.h"
#include "support/QtPrinters.h"

using namespace Configuracion;

namespace {

class ConfiguracionTest : public testsupport::DemoDatabaseTest
{
protected:
    // The stored rows of a key: "GRUPO|CLAVE|VALOR|valoraux|PoliticaNegocio".
    QStringList filas(DB_Dll& db, const QString& clave)
    {
        AdoRecordset rs;
        QString sql = QStringLiteral("SELECT GRUPO, CLAVE, VALOR, valoraux, PoliticaNegocio FROM "
                                     "TA_CONFIGURACION WHERE CLAVE = '%1'")
                          .arg(clave);
        db.AbrirRecordset(sql, rs);
        QStringList result;
        for (; !rs.Eof(); rs.MoveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.FieldCount(); ++i)
                fields << rs.Fields(i).Value().toString();
            result << fields.join(u'|');
        }
        return result;
    }
};

} // namespace

TEST_F(ConfiguracionTest, nothing_is_read_before_the_connection_is_open)
{
    QString aux = QStringLiteral("intacto");

    EXPECT_EQ(Cfg(QStringLiteral("TituloClientes"), aux), QString());
    EXPECT_EQ(aux, QStringLiteral("intacto"));
    EXPECT_EQ(CfgKZQ(QStringLiteral("FTP_CODIGOCTA"), aux), QString());
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(ConfiguracionTest, keys_are_read_ignoring_case_and_blanks)
{
    abrePrincipal();
    GrabaDfg(QStringLiteral("email_de"), Value(QStringLiteral(" ventas@demo.com.ar ")),
        QStringLiteral(" Pie del correo "));
    struct Row
    {
        const char* clave;
        const char* grupo;
        const char* valor;
        const char* aux;
    };
    const Row rows[] = {
        { "Email_De", "DATOS", "ventas@demo.com.ar", "Pie del correo" },
        { "  EMAIL_DE  ", "datos", "ventas@demo.com.ar", "Pie del correo" },
        { "email_de", "BaseDeDatos", " ", "" }, // another group must match too
        { "NoExiste", "DATOS", " ", "" }, { "TituloClientes", "DATOS", "Clientes", "" },
        { "THEME", "DATOS", "1", "" }, // stored blank
    };
    for (const Row& row : rows) {
        QString aux = QStringLiteral("previo");

        const QString valor = Cfg(QString::fromUtf8(row.clave), aux, QString::fromUtf8(row.grupo));

        EXPECT_EQ(valor, QString::fromUtf8(row.valor)) << row.clave;
        EXPECT_EQ(aux, QString::fromUtf8(row.aux)) << row.clave;
    }
    EXPECT_EQ(filas(m_objects.gDB, QStringLiteral("EMAIL_DE")),
        QStringList { QStringLiteral("DATOS|EMAIL_DE|ventas@demo.com.ar|Pie del correo|False") });
    EXPECT_EQ(CfgAux(QStringLiteral("Email_de")), QStringLiteral("Pie del correo"));
    EXPECT_EQ(CfgAux(QStringLiteral("Email_de"), QStringLiteral("otro")), QStringLiteral(" "));
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(ConfiguracionTest, writing_replaces_keeps_and_deletes)
{
    abrePrincipal();
    exec(QStringLiteral("INSERT INTO TA_CONFIGURACION (GRUPO, CLAVE, VALOR, valoraux) "
                        "VALUES ('OTRO', 'COLOR', 'rojo', 'nota')"));

    // Group DATOS finds the key in any group and moves it to DATOS; the note stays.
    GrabaDfg(QStringLiteral("Color"), Value(QStringLiteral("verde")), QString(), true);
    EXPECT_EQ(filas(m_objects.gDB, QStringLiteral("COLOR")),
        QStringList { QStringLiteral("DATOS|COLOR|verde|nota|True") });

    GrabaDfg(QStringLiteral("THEME"), Value(qint32(2)));
    EXPECT_EQ(Cfg(QStringLiteral("theme")), QStringLiteral("2"));

    // Deleting a key that is not there stores nothing.
    GrabaDfg(QStringLiteral("NUEVA"), Value(QStringLiteral("x")), QString(), false,
        QStringLiteral("DATOS"), true, true);
    EXPECT_TRUE(filas(m_objects.gDB, QStringLiteral("NUEVA")).isEmpty());
    GrabaDfg(
        QStringLiteral("color"), Value(), QString(), false, QStringLiteral("DATOS"), true, true);
    EXPECT_TRUE(filas(m_objects.gDB, QStringLiteral("COLOR")).isEmpty());

    // An apostrophe in a key or a value never breaks the statement.
    GrabaDfg(QStringLiteral("D'Angelo"), Value(QStringLiteral("l'eau")));
    EXPECT_EQ(Cfg(QStringLiteral("d'angelo")), QStringLiteral("l'eau"));
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(ConfiguracionTest, date_range_keys_are_read_upper_cased)
{
    abrePrincipal();
    GrabaDfg(QStringLiteral("[fecha desde]"), Value(QStringLiteral("01/03/2024")));

    EXPECT_EQ(Cfg(QStringLiteral("[Fecha Desde]")), QStringLiteral("01/03/2024"));
    EXPECT_EQ(filas(m_objects.gDB, QStringLiteral("[FECHA DESDE]")).size(), 1);
}

TEST_F(ConfiguracionTest, a_blank_table_name_is_repaired_by_the_readers)
{
    abrePrincipal();
    m_globales.gTablaConfiguracion = QStringLiteral("  ");

    EXPECT_EQ(Cfg(QStringLiteral("TituloProveedores")), QStringLiteral("Proveedores"));
    EXPECT_EQ(m_globales.gTablaConfiguracion, QStringLiteral("TA_CONFIGURACION"));
}

TEST_F(ConfiguracionTest, the_statistics_database_keeps_its_own_settings)
{
    abrePrincipal();
    abreEstadisticas();
    QString aux = QStringLiteral("previo");

    EXPECT_EQ(CfgKZQ(QStringLiteral("ftp_codigocta"), aux), QStringLiteral("DEMO0001"));
    EXPECT_EQ(aux, QString());
    EXPECT_EQ(Cfg(QStringLiteral("FTP_CODIGOCTA")), QStringLiteral(" "));

    // Found by key alone: the row of group BaseDeDatos is rewritten with the group given.
    GrabaCfgKZQ(QStringLiteral("timeout"), Value(QStringLiteral(" 120 ")), QStringLiteral(" x "),
        false, QStringLiteral("DATOS"), false);
    EXPECT_EQ(filas(m_objects.gDBEstadisticas, QStringLiteral("TIMEOUT")),
        QStringList { QStringLiteral("DATOS|TIMEOUT| 120 |x|False") });
    EXPECT_EQ(CfgKZQ(QStringLiteral("Timeout")), QStringLiteral(" 120 "));
}

TEST_F(ConfiguracionTest, a_failed_read_asks_and_retry_reads_again)
{
    abrePrincipal();
    m_globales.gTablaConfiguracion = QStringLiteral("TA_NOEXISTE");
    // The data layer reports the statement, the reader its unreadable result; Retry runs the
    // statement again, so both ask again.
    for (int answer : { Msg::Abort, Msg::Retry, Msg::Abort, Msg::Abort })
        testsupport::messages().answer(answer);

    EXPECT_EQ(Cfg(QStringLiteral("TituloClientes")), QString());

    const QList<testsupport::ShownBox>& boxes = testsupport::messages().shown();
    ASSERT_EQ(boxes.size(), 4);
    EXPECT_TRUE(boxes[0].title.contains(QStringLiteral(" - AbrirRecordset Aviso al operador!!!")))
        << boxes[0].title.toStdString();
    EXPECT_TRUE(boxes[1].title.contains(QStringLiteral(" - Cfg Aviso al operador!!!")))
        << boxes[1].title.toStdString();
    EXPECT_TRUE(boxes[2].title.contains(QStringLiteral(" - AbrirRecordset Aviso al operador!!!")));
    EXPECT_TRUE(boxes[3].title.contains(QStringLiteral(" - Cfg Aviso al operador!!!")));
}
