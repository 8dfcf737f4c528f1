#include "reportengine/AdoReportDataSource.h"

#include <gtest/gtest.h>

#include "support/FakeAdoProvider.h"

using testsupport::FakeAdoConnection;

class AdoReportDataSourceTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_cnn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=S"))); }

    FakeAdoConnection m_cnn;
};

TEST_F(AdoReportDataSourceTest, column_kinds_come_from_the_schema_rowset)
{
    FakeAdoConnection::Result schema;
    schema.columns = { { QStringLiteral("COLUMN_NAME"), adVarChar, 128 },
        { QStringLiteral("DATA_TYPE"), adInteger, 4 } };
    const QList<QPair<const char*, int>> columns
        = { { "IdLista", adVarChar }, { "PRECIO1", adCurrency }, { "SUSPENDIDO", adBoolean },
              { "FhOfertaDesde", adDBTimeStamp }, { "Foto", adLongVarBinary } };
    for (const auto& [name, type] : columns)
        schema.rows << QList<Value> { Value(QString::fromLatin1(name)), Value(qint32(type)) };
    m_cnn.script(QStringLiteral("OpenSchema 4"), schema);
    AdoReportDataSource data(m_cnn, SqlDialect::SqlServer);

    EXPECT_EQ(data.columnKind(QStringLiteral("V_MA_PRECIOS"), QStringLiteral("idlista")),
        ColumnKind::Text);
    EXPECT_EQ(data.columnKind(QStringLiteral("V_MA_PRECIOS"), QStringLiteral("PRECIO1")),
        ColumnKind::Number);
    EXPECT_EQ(data.columnKind(QStringLiteral("v_ma_precios"), QStringLiteral("SUSPENDIDO")),
        ColumnKind::Boolean);
    EXPECT_EQ(data.columnKind(QStringLiteral("V_MA_PRECIOS"), QStringLiteral("FhOfertaDesde")),
        ColumnKind::Date);
    EXPECT_EQ(data.columnKind(QStringLiteral("V_MA_PRECIOS"), QStringLiteral("Foto")),
        ColumnKind::Unknown);
    EXPECT_EQ(data.columnKind(QStringLiteral("V_MA_PRECIOS"), QStringLiteral("NoExiste")),
        ColumnKind::Unknown);
    // The schema is asked once per table.
    EXPECT_EQ(m_cnn.count(QStringLiteral("OpenSchema")), 1);
}

TEST_F(AdoReportDataSourceTest, runs_the_statement_with_its_values_written_in_and_reads_forward)
{
    FakeAdoConnection::Result rows;
    rows.columns
        = { { QStringLiteral("Nombre"), adVarChar, 50 }, { QStringLiteral("Stock"), adDouble, 8 } };
    rows.rows = { { Value(QStringLiteral("D'Angelo")), Value(2.5) },
        { Value(QStringLiteral("Ruiz")), Value(7.0) } };
    m_cnn.script(QStringLiteral("FROM CLIENTES"), rows);
    AdoReportDataSource data(m_cnn, SqlDialect::SqlServer);
    DataQuery query;
    query.sql = QStringLiteral("SELECT c.Nombre, c.Stock FROM CLIENTES c WHERE c.Nombre >= ?");
    query.parameters = { Value(QStringLiteral("D'A")) };

    auto source = data.open(query);

    EXPECT_EQ(m_cnn.log().last(),
        QStringLiteral("Query SELECT c.Nombre, c.Stock FROM CLIENTES c WHERE c.Nombre >= 'D''A'"));
    EXPECT_EQ(
        source->columnNames(), QStringList({ QStringLiteral("Nombre"), QStringLiteral("Stock") }));
    ASSERT_TRUE(source->next());
    EXPECT_EQ(source->value(0).toString(), QStringLiteral("D'Angelo"));
    ASSERT_TRUE(source->next());
    EXPECT_EQ(source->value(1).toDouble(), 7.0);
    EXPECT_FALSE(source->next());
}

// A money column hands a plain number only for what money cannot hold: that row is refused,
// named, never printed as a price.
TEST_F(AdoReportDataSourceTest, a_money_value_beyond_the_range_is_refused_naming_its_row)
{
    FakeAdoConnection::Result rows;
    rows.columns = { { QStringLiteral("IdArticulo"), adVarChar, 25 },
        { QStringLiteral("PRECIO1"), adCurrency, 8 } };
    rows.rows = { { Value(QStringLiteral("000001")), Value(*Currency::fromString(u"10.5")) },
        { Value(QStringLiteral("000002")), Value(1e15) } };
    m_cnn.script(QStringLiteral("FROM V_MA_PRECIOS"), rows);
    AdoReportDataSource data(m_cnn, SqlDialect::SqlServer);
    DataQuery query;
    query.sql = QStringLiteral("SELECT p.IdArticulo, p.PRECIO1 FROM V_MA_PRECIOS p");
    query.columns = { QStringLiteral("p.IdArticulo"), QStringLiteral("p.PRECIO1") };

    auto source = data.open(query);

    ASSERT_TRUE(source->next());
    EXPECT_EQ(source->value(1).toCurrency().toString(), QStringLiteral("10.5"));
    ASSERT_TRUE(source->next());
    EXPECT_EQ(source->value(0).toString(), QStringLiteral("000002"));
    try {
        const Value v = source->value(1);
        ADD_FAILURE() << "read " << v.toString().toStdString();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), RuntimeError::Overflow);
        EXPECT_EQ(e.description(),
            QStringLiteral("Desbordamiento: el importe 1000000000000000 de p.PRECIO1 en la fila 2 "
                           "excede el rango de la moneda"));
    }
}

TEST(AdoReportDataSourceLock, a_database_locked_past_the_time_out_is_named)
{
    FakeAdoConnection cnn;
    ASSERT_TRUE(
        cnn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database=/srv/rp/Tarifas.db")));
    // What the provider reports once its busy wait has run out.
    cnn.failNext(FakeAdoConnection::Command::Query,
        { AdoError(int(0x80040E31u),
            QStringLiteral("Se agotó el tiempo de espera: la base de datos "
                           "está ocupada. (database is locked)"),
            QStringLiteral("HYT00"), 1222) });
    AdoReportDataSource data(cnn, SqlDialect::SQLite);
    DataQuery query;
    query.sql = QStringLiteral("SELECT a.Codigo FROM ARTICULOS a");

    try {
        data.open(query);
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.description(),
            QStringLiteral("La base de datos /srv/rp/Tarifas.db está bloqueada "
                           "por otro proceso: se esperó 30 s y no se liberó."));
    }
}
