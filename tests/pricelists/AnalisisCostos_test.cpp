#include "pricelists/AnalisisCostos.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <gtest/gtest.h>

#include "formhelpers/Dll_DisplayQt.h"
#include "platform/AdoRecordset.h"
#include "platform/MessageDialog.h"
#include "platform/Utilidades.h"
#include "platform/qt/SqliteText.h"
#include "services/Globales.h"
#include "support/DemoDatabaseTest.h"
#include "support/FakeAdoProvider.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/ServidorGuion.h"
#include "support/TestEnvironment.h"

namespace {

TEST(AnalisisCostosTexts, article_filter_holds_the_given_criteria_in_order)
{
    const struct
    {
        CriteriosAnalisis criterios;
        const char* filtro;
    } cases[] = {
        { {}, "" },
        { { QStringLiteral(" 1 "), QStringLiteral("12"), QStringLiteral("2110001"),
              QStringLiteral("2110009"), QStringLiteral("ALM"), QStringLiteral("FER") },
            " and v_ma_articulos.idrubro>='   1' and v_ma_articulos.idrubro<='  12'"
            " and v_ma_articulos.cuentaproveedor>='2110001'"
            " and v_ma_articulos.cuentaproveedor<='2110009'"
            " and v_ma_articulos.idfamilia>='ALM' and v_ma_articulos.idfamilia<='FER'" },
        // A family pattern: every "*" is the database's "%".
        { { {}, {}, {}, {}, QStringLiteral("A*"), {} }, " and v_ma_articulos.idfamilia like 'A%'" },
        { { {}, {}, {}, {}, {}, QStringLiteral("*B*") },
            " and v_ma_articulos.idfamilia like '%B%'" },
        // An apostrophe typed in a criterion cannot end the literal.
        { { {}, {}, QStringLiteral("O'Brien"), {}, {}, {} },
            " and v_ma_articulos.cuentaproveedor>='O''Brien'" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnalisisCostos::filtroArticulos(c.criterios), QString::fromUtf8(c.filtro));
}

TEST(AnalisisCostosTexts, utility_over_cost_with_and_without_vat)
{
    const struct
    {
        Value precio;
        Value costo;
        bool conIva;
        double tasa;
        double utilidad;
    } cases[] = {
        { Value(121.0), Value(100.0), true, 21, 0 },
        { Value(100.0), Value(100.0), false, 21, 0 },
        { Value(150.0), Value(100.0), false, 21, 50 },
        { Value(60.0), Value(50.0), true, 0, 20 },
        // No cost, or a cost not above zero: 100, with or without VAT.
        { Value(80.0), Value(0.0), false, 21, 100 },
        { Value(80.0), Value(-3.0), true, 21, 100 },
        { Value(80.0), Value::null(), true, 21, 100 },
    };
    for (const auto& c : cases)
        EXPECT_NEAR(
            AnalisisCostos::utilidad(c.precio, c.costo, c.conIva, c.tasa), c.utilidad, 1e-9);
}

TEST(AnalisisCostosTexts, insert_and_update_statements)
{
    EXPECT_EQ(AnalisisCostos::sentenciaInsercion(2, QStringLiteral("000001"),
                  QStringLiteral("Mayoristas"), QStringLiteral("12.5"), QStringLiteral("99.9"),
                  QStringLiteral("'2024-03-01T00:00:00'"), QStringLiteral("NULL"),
                  QStringLiteral("ana/PC1")),
        QStringLiteral("INSERT INTO AUX_ANALISISCOSTOS (IDARTICULO,L2,L2_UTL,L2_PVENTA,L2_IVA,"
                       "L2_FHOFERTA_DESDE,L2_FHOFERTA_HASTA,USUARIO) VALUES('000001','Mayoristas',"
                       "12.5,99.9,0,'2024-03-01T00:00:00',NULL,'ana/PC1')"));
    EXPECT_EQ(AnalisisCostos::sentenciaActualizacion(3, QStringLiteral("000001"),
                  QStringLiteral("   4"), QStringLiteral("100"), QStringLiteral("0"),
                  QStringLiteral("NULL"), QStringLiteral("NULL"), QStringLiteral("ana/PC1")),
        QStringLiteral("UPDATE AUX_ANALISISCOSTOS SET L3='   4',L3_UTL=100, L3_PVENTA=0, "
                       "L3_FHOFERTA_DESDE=NULL, L3_FHOFERTA_HASTA=NULL WHERE IDARTICULO ='000001' "
                       "AND USUARIO='ana/PC1'"));
    EXPECT_EQ(AnalisisCostos::fechaSql(Value::null()), QStringLiteral("NULL"));
    EXPECT_EQ(AnalisisCostos::fechaSql(Value(QString())), QStringLiteral("NULL"));
    EXPECT_EQ(AnalisisCostos::fechaSql(Value(QDateTime(QDate(2024, 3, 5), QTime(0, 0)))),
        QStringLiteral("'2024-03-05T00:00:00'"));
    EXPECT_EQ(AnalisisCostos::claveUsuario(QStringLiteral("ana"), QStringLiteral("PC1")),
        QStringLiteral("ana/PC1"));
}

// The work table filled on a demo database whose prices the test sets.
class AnalisisCostosDemo : public testsupport::DemoDatabaseTest
{
protected:
    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NO_FATAL_FAILURE(abrePrincipal());
        exec(QStringLiteral("DELETE FROM MA_PRECIOS"));
        exec(QStringLiteral("UPDATE V_MA_ARTICULOS SET SUSPENDIDO = 0, EXENTO = 0, TASAIVA = 21"));
        exec(QStringLiteral("UPDATE V_MA_ARTICULOS SET TASAIVA = 0 WHERE IDARTICULO = '000003'"));
        exec(QStringLiteral("UPDATE V_MA_ARTICULOS SET EXENTO = 1 WHERE IDARTICULO = '000004'"));
        exec(
            QStringLiteral("UPDATE V_MA_ARTICULOS SET SUSPENDIDO = 1 WHERE IDARTICULO = '000005'"));
        // List 1 (group "Mostrador" with list 5), list 2 (first of group "Mayoristas").
        price("   1", "000001", 100, 121, true);
        price("   2", "000001", 100, 150, false);
        price("   2", "000002", 0, 80, false);
        price("   1", "000003", 100, 242, true, "'2024-03-01 00:00:00'", "'2024-03-31 00:00:00'");
        price("   1", "000004", 50, 60, true);
        price("   1", "000005", 10, 20, false);
        price("   3", "000006", 10, 20, false);
        exec(QStringLiteral("INSERT INTO AUX_ANALISISCOSTOS (IDARTICULO, USUARIO, L1) "
                            "VALUES ('000009', 'otro/PC9', '   7')"));
        exec(QStringLiteral("INSERT INTO AUX_ANALISISCOSTOS (IDARTICULO, USUARIO, L1) "
                            "VALUES ('000009', 'ana/PC1', '   7')"));
    }

    // A statement the program's provider does not take (triggers), on a connection of its own.
    void direct(const QString& sql)
    {
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(m_file);
            ASSERT_TRUE(db.open() && registerSqliteText(db));
            QSqlQuery query(db);
            EXPECT_TRUE(query.exec(sql))
                << sql.toStdString() << query.lastError().text().toStdString();
        }
        QSqlDatabase::removeDatabase(name);
    }

    void price(const char* list, const char* article, double cost, double price4, bool vat,
        const char* from = "NULL", const char* to = "NULL")
    {
        exec(QStringLiteral("INSERT INTO MA_PRECIOS (IdLista, IdArticulo, COSTO, PRECIO4, ConIVA, "
                            "FhOfertaDesde, FhOfertaHasta) VALUES ('%1', '%2', %3, %4, %5, %6, %7)")
                 .arg(QString::fromLatin1(list), QString::fromLatin1(article))
                 .arg(cost)
                 .arg(price4)
                 .arg(vat ? 1 : 0)
                 .arg(QString::fromLatin1(from), QString::fromLatin1(to)));
    }

    // The rows of a user key: article, then per column group list, utility, price, VAT, offer.
    QStringList rows(const QString& key)
    {
        AdoRecordset rs;
        m_objects.gDB.AbrirRecordset(
            QStringLiteral(
                "SELECT * FROM AUX_ANALISISCOSTOS WHERE USUARIO = '%1' ORDER BY IDARTICULO")
                .arg(key),
            rs);
        QStringList out;
        while (!rs.Eof()) {
            const auto text = [&](const QString& field) {
                return gUtilidades().ValorCampo(rs.Fields(field).Value());
            };
            QStringList row { text(QStringLiteral("IDARTICULO")) };
            for (int n = 1; n <= 2; ++n) {
                const QString c = QStringLiteral("L%1").arg(n);
                const Value util = rs.Fields(c + QStringLiteral("_UTL")).Value();
                const Value desde = rs.Fields(c + QStringLiteral("_FHOFERTA_DESDE")).Value();
                row << text(c)
                    << (util.isNull() ? QStringLiteral("-")
                                      : QString::number(util.toDouble(), 'f', 2))
                    << text(c + QStringLiteral("_PVENTA")) << text(c + QStringLiteral("_IVA"))
                    << (desde.isNull()
                               ? QString()
                               : desde.toDateTime().date().toString(QStringLiteral("dd/MM/yyyy")));
            }
            out << row.join(u'|');
            rs.MoveNext();
        }
        return out;
    }

    Dll_DisplayQt m_display;
    ScopedService<Dll_Display> m_displayService { m_display };
};

TEST_F(AnalisisCostosDemo, fills_one_row_per_article_from_each_chosen_list_or_group)
{
    AnalisisCostos analisis;

    EXPECT_TRUE(analisis.ArmarAnalisisCostos(
        {}, { QStringLiteral("1"), QStringLiteral("Mayoristas") }, QStringLiteral("ana/PC1")));

    EXPECT_EQ(rows(QStringLiteral("ana/PC1")).join(u'\n').toStdString(),
        QStringList({
                        // With VAT at 21: 121 over 100 is no utility; the second list updates its
                        // columns and
                        // leaves its VAT column alone.
                        QStringLiteral("000001|   1|0.00|121|0||Mayoristas|50.00|150||"),
                        // Only in the second list: inserted there, the first list's columns left
                        // empty; no cost
                        // gives 100.
                        QStringLiteral("000002||-||||Mayoristas|100.00|80|0|"),
                        // No rate of its own: the configured 21; the offer period is carried.
                        QStringLiteral("000003|   1|100.00|242|0|01/03/2024||-|||"),
                        // Exempt: no VAT taken off.
                        QStringLiteral("000004|   1|20.00|60|0|||-|||"),
                    })
            .join(u'\n')
            .toStdString());
    // Other users' rows stay.
    EXPECT_EQ(rows(QStringLiteral("otro/PC9")).size(), 1);
    EXPECT_EQ(m_display.formulario(), nullptr);
}

TEST_F(AnalisisCostosDemo, no_list_chosen_leaves_the_users_rows_empty)
{
    AnalisisCostos analisis;

    EXPECT_TRUE(analisis.ArmarAnalisisCostos({}, {}, QStringLiteral("ana/PC1")));

    EXPECT_TRUE(rows(QStringLiteral("ana/PC1")).isEmpty());
    EXPECT_EQ(rows(QStringLiteral("otro/PC9")).size(), 1);
}

TEST_F(AnalisisCostosDemo, criteria_narrow_the_articles)
{
    AnalisisCostos analisis;
    CriteriosAnalisis criterios;
    criterios.ProveedorDesde = QStringLiteral("ZZZ");

    EXPECT_TRUE(analisis.ArmarAnalisisCostos(
        criterios, { QStringLiteral("1") }, QStringLiteral("ana/PC1")));

    EXPECT_TRUE(rows(QStringLiteral("ana/PC1")).isEmpty());
}

TEST_F(AnalisisCostosDemo, failures_ask_the_operator_and_a_stopped_run_leaves_no_half_analysis)
{
    const struct
    {
        const char* caso;
        const char* prepara;
        std::vector<int> respuestas;
        bool termina;
        const char* articulos; // the key's articles afterwards
        const char* mensaje; // in every box shown
    } casos[] = {
        // Rows of an earlier run that cannot be deleted: told, and nothing is added beside them.
        { "delete refused",
            "CREATE TRIGGER t BEFORE DELETE ON AUX_ANALISISCOSTOS WHEN OLD.USUARIO = 'ana/PC1' "
            "BEGIN SELECT RAISE(ABORT, 'tabla bloqueada'); END",
            { Msg::Ok }, false, "000009", "tabla bloqueada" },
        // An insert the database refuses: Ignore leaves that article out and goes on.
        { "insert refused, ignored",
            "CREATE TRIGGER t BEFORE INSERT ON AUX_ANALISISCOSTOS WHEN NEW.IDARTICULO = '000003' "
            "BEGIN SELECT RAISE(ABORT, 'fila rechazada'); END",
            { Msg::Ignore }, true, "000001 000002 000004", "fila rechazada" },
        // Retried and then abandoned: the rows written so far go too.
        { "insert refused, aborted",
            "CREATE TRIGGER t BEFORE INSERT ON AUX_ANALISISCOSTOS WHEN NEW.IDARTICULO = '000003' "
            "BEGIN SELECT RAISE(ABORT, 'fila rechazada'); END",
            { Msg::Retry, Msg::Abort }, false, "", "fila rechazada" },
        // An update refused in the second list, abandoned.
        { "update refused, aborted",
            "CREATE TRIGGER t BEFORE UPDATE ON AUX_ANALISISCOSTOS "
            "BEGIN SELECT RAISE(ABORT, 'fila rechazada'); END",
            { Msg::Abort }, false, "", "fila rechazada" },
        // A default rate that is no number: Ignore goes on without it; Abort stops before
        // anything was deleted.
        { "unreadable rate, ignored",
            "UPDATE TA_CONFIGURACION SET VALOR = 'veintiuno' WHERE CLAVE = 'PIVA'", { Msg::Ignore },
            true, "000001 000002 000003 000004", "" },
        { "unreadable rate, aborted",
            "UPDATE TA_CONFIGURACION SET VALOR = 'veintiuno' WHERE CLAVE = 'PIVA'", { Msg::Abort },
            false, "000009", "" },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        direct(QStringLiteral("DROP TRIGGER IF EXISTS t"));
        exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '21' WHERE CLAVE = 'PIVA'"));
        exec(QStringLiteral("DELETE FROM AUX_ANALISISCOSTOS WHERE USUARIO = 'ana/PC1'"));
        exec(QStringLiteral("INSERT INTO AUX_ANALISISCOSTOS (IDARTICULO, USUARIO, L1) "
                            "VALUES ('000009', 'ana/PC1', '   7')"));
        direct(QString::fromLatin1(c.prepara));
        testsupport::messages().clear();
        for (int r : c.respuestas)
            testsupport::messages().answer(r);
        AnalisisCostos analisis;

        EXPECT_EQ(
            analisis.ArmarAnalisisCostos({}, { QStringLiteral("1"), QStringLiteral("Mayoristas") },
                QStringLiteral("ana/PC1")),
            c.termina);

        QStringList articulos;
        for (const QString& fila : rows(QStringLiteral("ana/PC1")))
            articulos << fila.section(u'|', 0, 0);
        EXPECT_EQ(articulos.join(u' '), QLatin1String(c.articulos));
        EXPECT_EQ(testsupport::messages().shown().size(), int(c.respuestas.size()));
        EXPECT_EQ(testsupport::messages().pending(), 0);
        for (const auto& caja : testsupport::messages().shown())
            EXPECT_TRUE(caja.text.contains(QLatin1String(c.mensaje))) << caja.text.toStdString();
        EXPECT_EQ(rows(QStringLiteral("otro/PC9")).size(), 1);
        EXPECT_EQ(m_display.formulario(), nullptr);
    }
}

TEST_F(AnalisisCostosDemo, a_key_the_work_table_would_cut_stops_the_run_before_writing)
{
    const struct
    {
        const char* caso;
        const char* idArticulo;
        const char* usuario;
        const char* mensaje;
    } casos[] = {
        { "article codes wider than the column", "varchar(4)", "varchar(100)",
            "El código de artículo \"000001\" tiene 6 caracteres y la columna IDARTICULO" },
        { "user key wider than the column", "varchar(25)", "varchar(5)",
            "La clave de usuario \"ana/PC1\" tiene 7 caracteres y la columna USUARIO" },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        direct(QStringLiteral("DROP TABLE AUX_ANALISISCOSTOS"));
        QString columnas;
        for (int n = 1; n <= 4; ++n)
            columnas += QStringLiteral(", L%1 varchar(50), L%1_UTL money, L%1_PVENTA money, "
                                       "L%1_IVA money, L%1_FHOFERTA_DESDE datetime, "
                                       "L%1_FHOFERTA_HASTA datetime")
                            .arg(n);
        direct(QStringLiteral("CREATE TABLE AUX_ANALISISCOSTOS (IDARTICULO %1 NOT NULL, "
                              "USUARIO %2 NOT NULL%3)")
                   .arg(QLatin1String(c.idArticulo), QLatin1String(c.usuario), columnas));
        testsupport::messages().clear();
        testsupport::messages().answer(Msg::Ok);
        AnalisisCostos analisis;

        EXPECT_FALSE(analisis.ArmarAnalisisCostos(
            {}, { QStringLiteral("1"), QStringLiteral("Mayoristas") }, QStringLiteral("ana/PC1")));

        ASSERT_EQ(testsupport::messages().shown().size(), 1);
        EXPECT_TRUE(
            testsupport::messages().shown().first().text.startsWith(QString::fromUtf8(c.mensaje)))
            << testsupport::messages().shown().first().text.toStdString();
        AdoRecordset rs;
        m_objects.gDB.AbrirRecordset(QStringLiteral("SELECT * FROM AUX_ANALISISCOSTOS"), rs);
        EXPECT_TRUE(rs.Eof());
        EXPECT_EQ(m_display.formulario(), nullptr);
    }
}

// The work table written on the scripted connection, which answers as the suite's server does:
// two articles priced in two lists, so one insert carries both rows and list 2 updates each.
class AnalisisCostosGuion : public ::testing::Test
{
protected:
    using Conexion = testsupport::FakeAdoConnection;

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        cnn().script(QStringLiteral("WHERE 1=0"),
            { { { QStringLiteral("IDARTICULO"), adVarChar, 25 },
                  { QStringLiteral("USUARIO"), adVarChar, 100 } },
                {} });
        const QList<AdoColumn> columnas = { { QStringLiteral("IdArticulo"), adVarChar, 25 },
            { QStringLiteral("ConIVA"), adBoolean, 2 }, { QStringLiteral("Costo"), adCurrency, 8 },
            { QStringLiteral("Precio4"), adCurrency, 8 },
            { QStringLiteral("FhOfertaDesde"), adDBTimeStamp, 16 },
            { QStringLiteral("FhOfertaHasta"), adDBTimeStamp, 16 },
            { QStringLiteral("TASAIVA"), adDouble, 8 },
            { QStringLiteral("EXENTO"), adBoolean, 2 } };
        const auto precio = [](const char* articulo, int precio4) {
            return QList<Value> { Value(QString::fromLatin1(articulo)), Value(false),
                Value(Currency::fromInteger(100)), Value(Currency::fromInteger(precio4)),
                Value::null(), Value::null(), Value(21.0), Value(false) };
        };
        cnn().script(QStringLiteral("IDLISTA='   1'"),
            { columnas, { precio("A1", 110), precio("A2", 120) } });
        cnn().script(QStringLiteral("IDLISTA='   2'"),
            { columnas, { precio("A1", 130), precio("A2", 140) } });
        cnn().script(QStringLiteral("INSERT INTO AUX_ANALISISCOSTOS"), { {}, {}, 1 });
        cnn().script(QStringLiteral("UPDATE AUX_ANALISISCOSTOS"), { {}, {}, 1 });
        // The insert of both rows is refused: the text of one of them would be cut.
        cnn().script(QStringLiteral("),("), { {}, {}, 0, {}, { Conexion::truncated() } });
        cnn().clearLog();
    }

    Conexion& cnn() { return m_servidor.cnn(); }

    // The writes in order, short: "INSERT 2 filas", "INSERT A1 L1", "UPDATE A1 L2", and the
    // transaction's commands.
    QStringList escrituras() const
    {
        static const QRegularExpression insercion(
            QStringLiteral(R"(^Execute INSERT INTO AUX_ANALISISCOSTOS \(IDARTICULO,L(\d).*)"
                           R"(VALUES\('([^']*)')"));
        static const QRegularExpression actualizacion(
            QStringLiteral(R"(^Execute UPDATE AUX_ANALISISCOSTOS SET L(\d)=.*)"
                           R"(WHERE IDARTICULO ='([^']*)')"));
        QStringList out;
        for (const QString& linea : m_servidor.cnn().log()) {
            const qsizetype filas = linea.count(QStringLiteral("),(")) + 1;
            if (const auto m = insercion.match(linea); m.hasMatch())
                out << (filas > 1
                        ? QStringLiteral("INSERT %1 filas").arg(filas)
                        : QStringLiteral("INSERT %1 L%2").arg(m.captured(2), m.captured(1)));
            else if (const auto a = actualizacion.match(linea); a.hasMatch())
                out << QStringLiteral("UPDATE %1 L%2").arg(a.captured(2), a.captured(1));
            else if (linea.endsWith(QLatin1String("Trans")))
                out << linea;
        }
        return out;
    }

    QTemporaryDir m_dir;
    testsupport::ServidorGuion m_servidor { m_dir.path() };
    Dll_DisplayQt m_display;
    ScopedService<Dll_Display> m_displayService { m_display };
};

// Every command of a run that goes well, in order: the rate, the delete, each entry's group
// lookup and price rows, the key widths, then the writes in one transaction.
TEST_F(AnalisisCostosGuion, a_run_sends_its_statements_in_this_order)
{
    cnn().script(QStringLiteral("GRUPO='Mayoristas'"),
        { { { QStringLiteral("Grupo"), adVarChar, 20 },
              { QStringLiteral("IdLista"), adVarChar, 4 } },
            { { Value(QStringLiteral("Mayoristas")), Value(QStringLiteral("2")) } } });
    cnn().script(QStringLiteral("),("), { {}, {}, 2 });
    CriteriosAnalisis criterios;
    criterios.RubroDesde = QStringLiteral("1");
    AnalisisCostos analisis;

    EXPECT_TRUE(analisis.ArmarAnalisisCostos(criterios,
        { QStringLiteral("1"), QStringLiteral("Mayoristas") }, QStringLiteral("ana/PC1")));

    const QString precios = QStringLiteral(
        "Query SELECT V_MA_PRECIOS.IdArticulo,V_MA_PRECIOS.ConIVA,V_MA_PRECIOS.Costo,"
        "V_MA_PRECIOS.Precio4,V_MA_PRECIOS.FhOfertaDesde,V_MA_PRECIOS.FhOfertaHasta, "
        "V_MA_ARTICULOS.TASAIVA,V_MA_ARTICULOS.EXENTO FROM V_MA_PRECIOS INNER JOIN V_MA_ARTICULOS "
        "ON V_MA_PRECIOS.IDARTICULO = V_MA_ARTICULOS.IDARTICULO AND (V_MA_ARTICULOS.SUSPENDIDO = 0 "
        "OR V_MA_ARTICULOS.SUSPENDIDO IS NULL) AND V_MA_PRECIOS.TIPOLISTA='V' AND "
        "V_MA_PRECIOS.IDLISTA='%1'  and v_ma_articulos.idrubro>='   1'");
    const QStringList esperado = {
        QStringLiteral("Query SELECT VALOR, valoraux FROM TA_CONFIGURACION with(nolock)  WHERE "
                       "CLAVE = 'PIVA'"),
        QStringLiteral("Execute DELETE AUX_ANALISISCOSTOS WHERE USUARIO ='ana/PC1'"),
        QStringLiteral("Query SELECT TOP 1 * FROM V_MA_PRECIOSCAB with(nolock)  WHERE "
                       "TIPOLISTA='V' and GRUPO='1' ORDER BY IDLISTA"),
        precios.arg(QStringLiteral("   1")),
        QStringLiteral("Query SELECT TOP 1 * FROM V_MA_PRECIOSCAB with(nolock)  WHERE "
                       "TIPOLISTA='V' and GRUPO='Mayoristas' ORDER BY IDLISTA"),
        precios.arg(QStringLiteral("   2")),
        QStringLiteral("Query SELECT IDARTICULO,USUARIO FROM AUX_ANALISISCOSTOS WHERE 1=0"),
        QStringLiteral("BeginTrans"),
        QStringLiteral("Execute INSERT INTO AUX_ANALISISCOSTOS (IDARTICULO,L1,L1_UTL,L1_PVENTA,"
                       "L1_IVA,L1_FHOFERTA_DESDE,L1_FHOFERTA_HASTA,L2,L2_UTL,L2_PVENTA,"
                       "L2_FHOFERTA_DESDE,L2_FHOFERTA_HASTA,USUARIO) VALUES('A1','   1',10,110,0,"
                       "NULL,NULL,'Mayoristas',30,130,NULL,NULL,'ana/PC1'),('A2','   1',20,120,0,"
                       "NULL,NULL,'Mayoristas',40,140,NULL,NULL,'ana/PC1')"),
        QStringLiteral("CommitTrans"),
    };
    EXPECT_EQ(cnn().log().join(u'\n').toStdString(), esperado.join(u'\n').toStdString());
}

TEST_F(AnalisisCostosGuion, a_refused_insert_goes_row_by_row_and_a_refused_row_is_asked_rolled_back)
{
    const struct
    {
        const char* caso;
        const char* rechazada; // statements holding it are refused too ("" none)
        std::vector<int> respuestas;
        bool termina;
        QStringList escrituras;
    } casos[] = {
        // The server's "would be truncated" is cleared by the data layer: the rows are written
        // one by one, list 2 updating the row list 1 made.
        { "insert of two rows refused", "", {}, true,
            { "BeginTrans", "INSERT 2 filas", "INSERT A1 L1", "UPDATE A1 L2", "INSERT A2 L1",
                "UPDATE A2 L2", "CommitTrans" } },
        // A row refused on its own: asked with the transaction rolled back; Ignore writes the run
        // again without that statement.
        { "row refused, ignored", "VALUES('A2','   1'", { Msg::Ignore }, true,
            { "BeginTrans", "INSERT 2 filas", "INSERT A1 L1", "UPDATE A1 L2", "INSERT A2 L1",
                "RollbackTrans", "BeginTrans", "INSERT A1 L1", "UPDATE A1 L2", "INSERT A2 L2",
                "CommitTrans" } },
        { "row refused, aborted", "VALUES('A2','   1'", { Msg::Abort }, false,
            { "BeginTrans", "INSERT 2 filas", "INSERT A1 L1", "UPDATE A1 L2", "INSERT A2 L1",
                "RollbackTrans" } },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        if (*c.rechazada)
            cnn().script(QLatin1String(c.rechazada), { {}, {}, 0, {}, { Conexion::truncated() } });
        cnn().clearLog();
        testsupport::messages().clear();
        for (int r : c.respuestas)
            testsupport::messages().answer(r);
        QStringList alPreguntar;
        testsupport::messages().onShow = [&] { alPreguntar << cnn().log().last(); };
        AnalisisCostos analisis;

        EXPECT_EQ(analisis.ArmarAnalisisCostos(
                      {}, { QStringLiteral("1"), QStringLiteral("2") }, QStringLiteral("ana/PC1")),
            c.termina);

        testsupport::messages().onShow = nullptr;
        EXPECT_EQ(escrituras().join(u'\n').toStdString(), c.escrituras.join(u'\n').toStdString());
        EXPECT_EQ(testsupport::messages().pending(), 0);
        ASSERT_EQ(alPreguntar.size(), qsizetype(c.respuestas.size()));
        for (qsizetype i = 0; i < alPreguntar.size(); ++i) {
            EXPECT_EQ(alPreguntar[i], QStringLiteral("RollbackTrans"));
            EXPECT_TRUE(testsupport::messages().shown()[i].text.contains(QLatin1String("A2")));
        }
    }
}

// What the server answers as the rows written decides what is written again: a count it does not
// report is no refusal, in one insert or row by row; more rows than were sent (a trigger that
// writes rows of its own) is all of them written; and rows an insert did not write are never
// written over the ones it did.
TEST_F(AnalisisCostosGuion, the_rows_an_insert_reports_decide_what_is_written_again)
{
    const struct
    {
        const char* caso;
        qint64 lote; // the rows the insert of both reports
        qint64 fila; // the rows each statement of one row reports
        const char* sinFila; // a statement holding it writes no row and says nothing ("" none)
        std::vector<int> respuestas;
        bool termina;
        QStringList escrituras;
    } casos[] = {
        // SET NOCOUNT ON: the driver answers -1 for a statement that went through.
        { "no count", -1, 1, "", {}, true, { "BeginTrans", "INSERT 2 filas", "CommitTrans" } },
        { "no count, row by row", 0, -1, "", {}, true,
            { "BeginTrans", "INSERT 2 filas", "INSERT A1 L1", "UPDATE A1 L2", "INSERT A2 L1",
                "UPDATE A2 L2", "CommitTrans" } },
        { "more rows than sent", 3, 1, "", {}, true,
            { "BeginTrans", "INSERT 2 filas", "CommitTrans" } },
        // A trigger left one row out: the other is not written a second time in the same
        // transaction; the run starts again with both rows on their own.
        { "fewer rows", 1, 1, "", {}, true,
            { "BeginTrans", "INSERT 2 filas", "RollbackTrans", "BeginTrans", "INSERT A1 L1",
                "UPDATE A1 L2", "INSERT A2 L1", "UPDATE A2 L2", "CommitTrans" } },
        // The row the trigger leaves out is asked about as a row not written.
        { "a row left out", 1, 1, "VALUES('A2','   1'", { Msg::Abort }, false,
            { "BeginTrans", "INSERT 2 filas", "RollbackTrans", "BeginTrans", "INSERT A1 L1",
                "UPDATE A1 L2", "INSERT A2 L1", "RollbackTrans" } },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        cnn().script(QStringLiteral("INSERT INTO AUX_ANALISISCOSTOS"), { {}, {}, c.fila });
        cnn().script(QStringLiteral("UPDATE AUX_ANALISISCOSTOS"), { {}, {}, c.fila });
        cnn().script(QStringLiteral("),("), { {}, {}, c.lote });
        if (*c.sinFila)
            cnn().script(QLatin1String(c.sinFila), { {}, {}, 0 });
        cnn().clearLog();
        testsupport::messages().clear();
        for (int r : c.respuestas)
            testsupport::messages().answer(r);
        AnalisisCostos analisis;

        EXPECT_EQ(analisis.ArmarAnalisisCostos(
                      {}, { QStringLiteral("1"), QStringLiteral("2") }, QStringLiteral("ana/PC1")),
            c.termina);

        EXPECT_EQ(escrituras().join(u'\n').toStdString(), c.escrituras.join(u'\n').toStdString());
        EXPECT_EQ(testsupport::messages().pending(), 0);
        for (const auto& caja : testsupport::messages().shown()) {
            EXPECT_TRUE(caja.text.contains(QStringLiteral(
                "La base de datos no guardó la fila del artículo A2 en AUX_ANALISISCOSTOS: la "
                "sentencia no escribió ninguna fila.")))
                << caja.text.toStdString();
            EXPECT_FALSE(caja.text.contains(QStringLiteral("más largo")));
        }
    }
}

} // namespace
