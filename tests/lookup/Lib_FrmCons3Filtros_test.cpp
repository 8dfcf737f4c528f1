#include "lookup/Lib_FrmCons3.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "data/DataObjects.h"
#include "lookup/MemoryConnection.h"
#include "platform/AdoProvider.h"
#include "platform/MessageDialog.h"
#include "services/VariablesInicio.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

namespace {

using testsupport::FakeAdoConnection;

FakeAdoConnection::Result filas()
{
    return { { { QStringLiteral("IDARTICULO"), adVarChar, 25 },
                 { QStringLiteral("DESCRIPCION"), adVarChar, 100 } },
        { { QStringLiteral("A1"), QStringLiteral("CASA BLANCA") },
            { QStringLiteral("B2"), QStringLiteral("Tuerca") } } };
}

// The grid's server-side filters and its buttons, on statements answered from memory.
class Lib_FrmCons3Filtros : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::environment().setVariable(
            QStringLiteral("RP_TARIFOLIO_HOME"), m_folder.path());
        m_objects.gDB.gEsAdmin = true;
    }
    void TearDown() override
    {
        testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), QString());
    }

    FakeAdoConnection& cnn() { return static_cast<FakeAdoConnection&>(m_objects.gDB.gCnn()); }
    QComboBox* box(int i)
    {
        return dlg.findChild<QComboBox*>(QStringLiteral("CmbSearch_%1").arg(i));
    }
    // Loads `sql`, then types each text into its box and presses F5; returns the statements run.
    QStringList filtra(const QString& sql, const QList<std::pair<int, QString>>& tecleos)
    {
        cnn().scriptStatement(sql, filas());
        dlg.Sql = sql;
        dlg.Form_Load();
        for (const auto& [indice, texto] : tecleos) {
            box(indice)->setEditText(texto);
            EXPECT_TRUE(dlg.CmbSearch_KeyDown(indice, 116, 0));
        }
        return cnn().statements();
    }

    QTemporaryDir m_folder;
    testsupport::FakeAdoProvider m_provider { lookuptest::memoryDatabase };
    ScopedService<AdoProvider> m_providerService { m_provider };
    DataObjects m_objects;
    ScopedService<DataObjects> m_objectsService { m_objects };
    VariablesInicio m_inicio;
    ScopedService<VariablesInicio> m_inicioService { m_inicio };
    Lib_FrmCons3 dlg;
};

} // namespace

TEST_F(Lib_FrmCons3Filtros, f5_narrows_the_statement_on_the_server)
{
    const QString base
        = QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM V_MA_ARTICULOS ORDER BY DESCRIPCION");
    const struct
    {
        // The statement the load ran: the filtered one plus the blank each load appends.
        const char* nombre;
        bool like;
        QString sql;
        QList<std::pair<int, QString>> tecleos;
        QString ultima;
        QString enCaja {}; // what the box showed before it was cleared (prefix mode)
    } casos[] = {
        { "words", true, base, { { 1, QStringLiteral("casa blanca") } },
            QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM V_MA_ARTICULOS  where DESCRIPCION "
                           "like '%casa%blanca%' ORDER BY DESCRIPCION  ") },
        { "prefix", false, base, { { 1, QStringLiteral("cas*bl") } },
            QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM V_MA_ARTICULOS  where DESCRIPCION "
                           "like 'cas%bl%' ORDER BY DESCRIPCION  ") },
        // An empty box keeps every row whose field is not Null.
        { "empty", false, base, { { 0, QString() } },
            QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM V_MA_ARTICULOS  where IDARTICULO "
                           "like '%' ORDER BY DESCRIPCION  ") },
        // Filters pile up before the ORDER BY tail.
        { "two", false, base, { { 0, QStringLiteral("a") }, { 1, QStringLiteral("b") } },
            QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM V_MA_ARTICULOS  where IDARTICULO "
                           "like 'a%'  and DESCRIPCION like 'b%' ORDER BY DESCRIPCION  ") },
        { "group", false,
            QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM T WHERE X=1 GROUP BY IDARTICULO, "
                           "DESCRIPCION ORDER BY DESCRIPCION"),
            { { 1, QStringLiteral("t") } },
            // The statement's own filter stays whole, in parentheses.
            QStringLiteral(
                "SELECT IDARTICULO, DESCRIPCION FROM T WHERE (X=1)  and DESCRIPCION like "
                "'t%' GROUP BY IDARTICULO, DESCRIPCION ORDER BY DESCRIPCION  ") },
        { "qualified", false,
            QStringLiteral("SELECT v_ma_articulos.IDARTICULO, v_ma_articulos.DESCRIPCION FROM "
                           "v_ma_articulos"),
            { { 0, QStringLiteral("12*34") } },
            QStringLiteral("SELECT v_ma_articulos.IDARTICULO, v_ma_articulos.DESCRIPCION FROM "
                           "v_ma_articulos  where v_ma_articulos.IDARTICULO like '12%34%'  ") },
        // A typed apostrophe is doubled: the box can only search.
        { "quote", true, base, { { 1, QStringLiteral("d'angelo") } },
            QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM V_MA_ARTICULOS  where DESCRIPCION "
                           "like '%d''angelo%' ORDER BY DESCRIPCION  ") },
    };
    for (const auto& c : casos) {
        cnn().scriptStatement(c.ultima, filas());
        // Intermediate statements of the two-filter case.
        cnn().scriptStatement(
            QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM V_MA_ARTICULOS  where "
                           "IDARTICULO like 'a%' ORDER BY DESCRIPCION"),
            filas());
        dlg.CfgUsaConsultaLIKE = c.like;

        const QStringList corridas = filtra(c.sql, c.tecleos);

        ASSERT_FALSE(corridas.isEmpty()) << c.nombre;
        EXPECT_EQ(corridas.last(), c.ultima) << c.nombre;
        EXPECT_EQ(dlg.Sql, c.ultima) << c.nombre;
        EXPECT_EQ(dlg.modelo().rowCount(), 2) << c.nombre;
        EXPECT_EQ(box(c.tecleos.last().first)->currentText(), QString()) << c.nombre;
        dlg.Sql.clear();
        dlg.CmdNueva_Click(); // back to the first statement for the next case
    }
}

TEST_F(Lib_FrmCons3Filtros, new_search_brings_back_the_first_statement)
{
    const QString sql = QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM T");
    cnn().scriptStatement(
        QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM T  where IDARTICULO like "
                       "'x%'"),
        { filas().columns, {} });
    filtra(sql, { { 0, QStringLiteral("x") } });
    ASSERT_EQ(dlg.modelo().rowCount(), 0);

    dlg.CmdNueva_Click();

    EXPECT_EQ(cnn().statements().last(), sql + u' ' + u' ');
    EXPECT_EQ(dlg.modelo().rowCount(), 2);
    EXPECT_EQ(dlg.sqlInicial(), sql + u' ');
}

TEST_F(Lib_FrmCons3Filtros, mark_turns_every_check_round)
{
    const QString sql = QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM T");
    cnn().scriptStatement(sql, filas());
    dlg.Sql = sql;
    dlg.CheckBoxes = true;
    dlg.Form_Load();
    dlg.modelo().setChecked(1, true);

    dlg.findChild<QPushButton*>(QStringLiteral("CmdTodos"))->click();

    EXPECT_TRUE(dlg.modelo().checked(0));
    EXPECT_FALSE(dlg.modelo().checked(1));
    dlg.CmdTodos_Click();
    EXPECT_FALSE(dlg.modelo().checked(0));
    EXPECT_TRUE(dlg.modelo().checked(1));
}

TEST_F(Lib_FrmCons3Filtros, new_record_starts_the_tables_maintenance_program)
{
    const struct
    {
        const char* tabla;
        const char* programa;
        const char* parametro;
    } casos[] = {
        { "VT_CLIENTES", "V_MA_CLIENTES", "1" },
        { "vt_proveedores", "V_MA_CLIENTES", "0" },
        { "V_TA_RUBROS", "V_TA_TABLAS", "V_TA_RUBROS" },
        { "V_TA_TECNICOS", "V_TA_Tecnicos", "" },
        { "VT_MA_ARTICULOS", "V_MA_ARTICULOS", "" },
        { "MA_CONTACTOS", "V_TA_TABLAS", "MA_CONTACTOS" },
    };
    for (const auto& c : casos) {
        Lib_FrmCons3 lookup;
        const QString sql
            = QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM ") + QLatin1String(c.tabla);
        cnn().scriptStatement(sql, filas());
        lookup.Sql = sql;
        lookup.Form_Load();
        const qsizetype antes = testsupport::launcher().started().size();

        lookup.findChild<QPushButton*>(QStringLiteral("CmdNuevo"))->click();

        ASSERT_EQ(testsupport::launcher().started().size(), antes + 1) << c.tabla;
        const QString linea = testsupport::launcher().started().last();
        EXPECT_TRUE(linea.contains(QStringLiteral("/") + QLatin1String(c.programa)))
            << linea.toStdString();
        EXPECT_TRUE(linea.contains(
            QStringLiteral("@ParametroAdicional=") + QLatin1String(c.parametro) + u';'))
            << linea.toStdString();
        EXPECT_EQ(lookup.modelo().rowCount(), 2) << c.tabla;
    }
}

TEST_F(Lib_FrmCons3Filtros, new_record_says_so_when_the_maintenance_program_is_not_here)
{
    const QString sql = QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM VT_CLIENTES");
    cnn().scriptStatement(sql, filas());
    dlg.Sql = sql;
    dlg.Form_Load();
    testsupport::launcher().setSucceeds(false);
    testsupport::messages().answer(Msg::Ok);

    dlg.CmdNuevo_Click();

    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_TRUE(testsupport::messages().shown().at(0).text.startsWith(
        QStringLiteral("Opcion no Implementada!")));
}
