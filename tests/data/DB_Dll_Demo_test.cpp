#include "data/DB_Dll.h"

#include <gtest/gtest.h>

#include "support/DemoDatabaseTest.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

// The existence, lookup and schema queries on a demo database of their own.

namespace {

class DB_DllDemoTest : public testsupport::DemoDatabaseTest
{
protected:
    DB_DllDemoTest()
        : DemoDatabaseTest(60)
    {
    }

    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
    }

    DB_Dll& db() { return m_objects.gDB; }
};

} // namespace

TEST_F(DB_DllDemoTest, existence_follows_each_statement_shape)
{
    struct Row
    {
        const char* tabla;
        const char* valor;
        const char* campo;
        Value tipo;
        const char* condicion;
        bool st;
        bool found;
    };
    const Row rows[] = {
        // Warehouse codes are stored right-aligned ("   1"): the trimmed test finds them.
        { "V_TA_DEPOSITO", " 1 ", "IdDeposito", Value(qint32(8)), "", false, true },
        { "V_TA_DEPOSITO", "9", "IdDeposito", Value(qint32(8)), "", false, false },
        // The untrimmed test does not.
        { "V_TA_DEPOSITO", "1", "IdDeposito", Value(qint32(8)), "", true, false },
        { "V_TA_DEPOSITO", "   1", "IdDeposito", Value(qint32(8)), "", true, true },
        // Names compare ignoring case, as on the suite's server, trimmed or not.
        { "ta_usuarios", "admin", "nombre", Value(qint32(8)), "", false, true },
        { "ta_usuarios", "admin", "nombre", Value(qint32(8)), "", true, true },
        { "ta_usuarios", "x", "nombre", Value(qint32(3)), "Administrador = 1", false, true },
        { "ta_usuarios", "", "", Value(), "nombre = 'NADIE'", true, false },
        { "V_MA_ARTICULOS", "000007", "IDARTICULO", Value(), "", false, true },
        { "ta_usuarios", "1abc", "Administrador", Value(qint32(3)), "", false, true },
        { "ta_usuarios", "D'Angelo", "nombre", Value(qint32(8)), "", false, false },
    };
    for (const Row& row : rows) {
        const QString tabla = QString::fromUtf8(row.tabla);
        const QString valor = QString::fromUtf8(row.valor);
        const QString campo = QString::fromUtf8(row.campo);
        const QString condicion = QString::fromUtf8(row.condicion);

        const bool found = row.st
            ? db().ExisteEnTablaST(tabla, valor, campo, nullptr, row.tipo, condicion)
            : db().ExisteEnTabla(tabla, valor, campo, nullptr, row.tipo, condicion);

        EXPECT_EQ(found, row.found) << row.tabla << " " << row.valor;
    }
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(DB_DllDemoTest, the_callers_recordset_is_left_on_the_row_found)
{
    AdoRecordset deposito;
    deposito.Open(QStringLiteral("SELECT * FROM V_TA_DEPOSITO"), &db().gCnn(), adOpenStatic);

    ASSERT_TRUE(db().ExisteEnTabla(QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("2"),
        QStringLiteral("IdDeposito"), &deposito));

    EXPECT_EQ(deposito.State(), adStateOpen);
    EXPECT_EQ(deposito.CursorType(), adOpenForwardOnly);
    EXPECT_EQ(deposito.Fields(QStringLiteral("Descripcion")).Value(),
        Value(QStringLiteral("Salón de Ventas")));
    deposito.Close();
}

TEST_F(DB_DllDemoTest, lookups_answer_a_column_as_text)
{
    exec(QStringLiteral("UPDATE ta_usuarios SET clasepusa = NULL WHERE nombre = 'VENDEDOR'"));

    EXPECT_EQ(db().DatosTabla(QStringLiteral("ta_usuarios"), QStringLiteral(" Admin "),
                  QStringLiteral("Administrador"), QStringLiteral("nombre")),
        Value(QStringLiteral("1")));
    EXPECT_EQ(db().DatosTabla(QStringLiteral("ta_usuarios"), QStringLiteral("vendedor"),
                  QStringLiteral("clasepusa"), QStringLiteral("nombre")),
        Value(QString())); // Null reads as empty text
    EXPECT_EQ(db().DatosTabla(QStringLiteral("ta_usuarios"), QStringLiteral("nadie"),
                  QStringLiteral("clasepusa"), QStringLiteral("nombre")),
        Value(QString()));
    EXPECT_EQ(db().DatosTabla(QStringLiteral("ta_usuarios"), QStringLiteral("admin"),
                  QStringLiteral("clasepusa"), QStringLiteral("nombre"), Value(QStringLiteral("'")),
                  QStringLiteral("Administrador = 0")),
        Value(QString()));
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(DB_DllDemoTest, highest_and_lowest_values)
{
    const QString blancos = QStringLiteral("   ");
    const QString soloUno = QStringLiteral("IdDeposito = '   1'");

    EXPECT_EQ(db().BuscaMinimo(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("IDARTICULO")),
        Value(1.0));
    EXPECT_EQ(db().BuscaUltimoCodigo(
                  QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("IdDeposito"), Value(), blancos),
        Value(3.0));
    EXPECT_EQ(db().BuscaMaximo(QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("IdDeposito"),
                  Value(), const_cast<QString*>(&soloUno)),
        Value(1.0));
    // Another table keeps a highest code starting with "0".
    EXPECT_EQ(db().BuscaMaximo(QStringLiteral("STK_MA_ARTICULOS"), QStringLiteral("IDARTICULO")),
        Value(60.0));
    EXPECT_EQ(db().BuscaMaximo(QStringLiteral("STK_MA_ARTICULOS"), QStringLiteral("IDARTICULO"),
                  Value(qint32(7))),
        Value(QStringLiteral("000060")));
}

TEST_F(DB_DllDemoTest, highest_article_code_leaves_codes_with_leading_zeros_out_once)
{
    QString condicion;

    const Value sinNuevos = db().BuscaMaximo(
        QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("IDARTICULO"), Value(), &condicion);
    exec(QStringLiteral(
        "INSERT INTO V_MA_ARTICULOS (IDARTICULO, Descripcion) VALUES ('7001', 'x')"));
    QString otra = QStringLiteral("Descripcion = 'x'");
    const Value conNuevo = db().BuscaMaximo(
        QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("IDARTICULO"), Value(), &otra);

    // Every demo code starts with "0": the second reading finds none and its Null reads 0.
    EXPECT_EQ(sinNuevos, Value(0.0));
    EXPECT_EQ(condicion, QStringLiteral(" substring(ltrim(idarticulo),1,1)<>'0'"));
    EXPECT_EQ(conNuevo, Value(7001.0));
    EXPECT_EQ(otra, QStringLiteral("Descripcion = 'x'")); // "7001" needed no second reading
}

TEST_F(DB_DllDemoTest, schema_helpers_find_and_add_columns)
{
    EXPECT_TRUE(db().ExisteTablaDB(QStringLiteral(" ma_cuentas ")));
    EXPECT_FALSE(db().ExisteTablaDB(QStringLiteral("MA_NADA")));
    EXPECT_TRUE(
        db().ExisteCampoDB(QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("descripcion ")));
    EXPECT_FALSE(db().ExisteCampoDB(QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("Observa")));

    EXPECT_TRUE(db().VerCampoDB(QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("Observa")));
    EXPECT_FALSE(db().ExisteCampoDB(QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("Observa")));
    EXPECT_TRUE(db().VerCampoDB(
        QStringLiteral("MA_NADA"), QStringLiteral("Observa"), true, QStringLiteral("varchar(50)")));

    EXPECT_TRUE(db().VerCampoDB(QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("Observa"), true,
        QStringLiteral("varchar(50)")));
    db().AddField(QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("Orden"), QStringLiteral("int"),
        false, Value(qint32(0)));

    EXPECT_EQ(db().gCnn().Errors().Count(), 0);
    EXPECT_TRUE(db().ExisteCampoDB(QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("OBSERVA")));
    EXPECT_EQ(db().DatosTabla(QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("1"),
                  QStringLiteral("Orden"), QStringLiteral("IdDeposito")),
        Value(QStringLiteral("0")));

    m_objects.gDB.gProveedor = QStringLiteral("OraOLEDB.Oracle.1");
    EXPECT_TRUE(db().ExisteCampoDB(QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("NoHay")));
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}
