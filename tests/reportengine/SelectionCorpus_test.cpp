#include <gtest/gtest.h>

#include <set>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <sqlite3.h>

#include "support/DemoDatabaseFiles.h"
#include "FormulaTestContext.h"
#include "reportengine/FormulaEvaluator.h"
#include "reportengine/FormulaParser.h"
#include "reportengine/FormulaText.h"
#include "reportengine/SelectionPlanner.h"

// Rows selected with the WHERE clause plus the residual must be exactly the rows the whole
// formula selects on every row, for every shape of selection the program builds; with bound
// values and with the values written into the statement alike. The databases get the program's
// text rules from its SQLite extension, as every connection of the program gets them, so the
// engine's FormulaText and the database's collation and LIKE are held to the same answers.

namespace {

struct Row
{
    QString key;
    QHash<QString, Value> fields;
};

struct Column
{
    QString formulaName; // "table.field" in lower case, as formulas reach it
    QString sql;
    ColumnKind kind;
};

class RowContext final : public FormulaTestContext
{
public:
    explicit RowContext(const Row& row)
        : m_row(row)
    {
    }
    Value fieldValue(const FormulaNode& field) const override
    {
        return m_row.fields.value((field.table() + u'.' + field.field()).toLower());
    }

private:
    const Row& m_row;
};

struct CorpusCase
{
    const char* formula;
    bool fullyPushed; // on SQLite
};

// A database file with the program's text rules, the columns of one statement, and the check.
class CorpusDatabase : public ::testing::Test
{
protected:
    void open(const QString& file)
    {
        m_connection = QUuid::createUuid().toString();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        sqlite3* handle = *static_cast<sqlite3* const*>(db.driver()->handle().constData());
        sqlite3_enable_load_extension(handle, 1);
        char* message = nullptr;
        ASSERT_EQ(
            sqlite3_load_extension(handle, RP_SQLITE_TEXT_MODULE, nullptr, &message), SQLITE_OK)
            << (message ? message : "");
        sqlite3_free(message);
    }

    void TearDown() override
    {
        if (m_connection.isEmpty())
            return;
        QSqlDatabase::database(m_connection).close();
        QSqlDatabase::removeDatabase(m_connection);
    }

    QSqlDatabase db() const { return QSqlDatabase::database(m_connection); }

    void exec(const QString& sql)
    {
        QSqlQuery q(db());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }

    std::optional<SqlColumn> resolve(const QString& table, const QString& field) const
    {
        const QString key = (table + u'.' + field).toLower();
        for (const Column& c : m_columns) {
            if (c.formulaName == key)
                return SqlColumn { c.sql, c.kind };
        }
        return std::nullopt;
    }

    std::vector<Row> fetch(const QString& where, const QList<Value>& parameters)
    {
        QStringList columns;
        for (const Column& c : m_columns)
            columns << c.sql;
        const QString sql = QStringLiteral("SELECT ") + m_key + QStringLiteral(", ")
            + columns.join(QStringLiteral(", ")) + u' ' + m_from
            + (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where);
        QSqlQuery q(db());
        q.setForwardOnly(true);
        EXPECT_TRUE(q.prepare(sql)) << sql.toStdString() << q.lastError().text().toStdString();
        for (const Value& p : parameters) {
            switch (p.type()) {
            case ValueType::Text:
                q.addBindValue(p.toString());
                break;
            case ValueType::Date:
                // As the embedded database stores dates.
                q.addBindValue(p.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
                break;
            case ValueType::Int16:
            case ValueType::Int32:
            case ValueType::Int64:
                q.addBindValue(p.toLongLong());
                break;
            default:
                q.addBindValue(p.toDouble());
                break;
            }
        }
        EXPECT_TRUE(q.exec()) << sql.toStdString() << q.lastError().text().toStdString();
        std::vector<Row> rows;
        while (q.next()) {
            Row row;
            row.key = q.value(0).toString();
            int i = 1;
            for (const Column& c : m_columns)
                row.fields.insert(c.formulaName, valueOf(q.value(i++), c.kind));
            rows.push_back(std::move(row));
        }
        return rows;
    }

    // What the provider hands the engine for a column of each kind.
    static Value valueOf(const QVariant& v, ColumnKind kind)
    {
        if (v.isNull())
            return Value::null();
        switch (kind) {
        case ColumnKind::Text:
            return Value(v.toString());
        case ColumnKind::Number:
            return Value(v.toDouble());
        case ColumnKind::Boolean:
            return Value(qint32(v.toInt()));
        case ColumnKind::Date: {
            const QString t = v.toString();
            QDateTime dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            if (!dt.isValid())
                dt = QDate::fromString(t, Qt::ISODate).startOfDay();
            return Value(dt);
        }
        case ColumnKind::Unknown:
            break;
        }
        return Value(v.toString());
    }

    static std::set<QString> select(const std::vector<Row>& rows, const FormulaNodePtr& formula)
    {
        std::set<QString> keys;
        for (const Row& row : rows) {
            const RowContext context(row);
            if (!formula
                || FormulaEvaluator(context, QStringLiteral("Seleccion")).selects(*formula))
                keys.insert(row.key);
        }
        return keys;
    }

    template <std::size_t N>
    void checkCorpus(const CorpusCase (&corpus)[N], std::size_t minimumRows = 100)
    {
        const std::vector<Row> all = fetch(QString(), {});
        ASSERT_GE(all.size(), minimumRows);
        const ColumnResolver resolver
            = [this](const QString& t, const QString& f) { return resolve(t, f); };
        std::size_t properSubsets = 0;
        for (const CorpusCase& c : corpus) {
            SCOPED_TRACE(c.formula);
            const FormulaParseResult parsed
                = FormulaParser::parse(QStringLiteral("Seleccion"), QString::fromUtf8(c.formula));
            ASSERT_TRUE(parsed.ok()) << parsed.error.message().toStdString();
            const std::set<QString> local = select(all, parsed.tree);

            const SelectionPlan plan
                = SelectionPlanner::plan(parsed.tree, SqlDialect::SQLite, resolver);
            const std::set<QString> bound
                = select(fetch(plan.where, plan.parameters), plan.residual);
            const std::set<QString> written = select(
                fetch(
                    SelectionPlanner::withLiterals(plan.where, plan.parameters, SqlDialect::SQLite),
                    {}),
                plan.residual);

            EXPECT_EQ(bound, local) << "WHERE " << plan.where.toStdString();
            EXPECT_EQ(written, local) << "WHERE " << plan.where.toStdString();
            EXPECT_EQ(!plan.residual, c.fullyPushed) << "WHERE " << plan.where.toStdString();
            if (!local.empty() && local.size() < all.size())
                ++properSubsets;
        }
        // The data must make the formulas choose: nearly all select some rows, not every row.
        EXPECT_GT(properSubsets + std::min<std::size_t>(6, N / 2), N);
    }

    QString m_connection;
    QString m_key;
    QString m_from;
    std::vector<Column> m_columns;
};

// Data of this test, made to hit the rules: blanks at the end, case and accents, apostrophes,
// % and _ inside codes, flags stored as -1, Nulls everywhere, articles without a stock row.
class SelectionCorpus : public CorpusDatabase
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        open(m_dir.filePath(QStringLiteral("corpus.db")));
        seed();
        m_key = QStringLiteral("P.rowid || '/' || IFNULL(S.rowid, '-')");
        m_from = QStringLiteral("FROM PRECIOS P JOIN ARTICULOS A ON A.IDARTICULO = P.IDARTICULO "
                                "LEFT JOIN STOCK S ON S.IDARTICULO = A.IDARTICULO");
        const struct
        {
            const char* name;
            const char* sql;
            ColumnKind kind;
        } columns[] = {
            { "v_ma_precios.idlista", "P.IDLISTA", ColumnKind::Text },
            { "v_ma_precios.nombre", "P.NOMBRE", ColumnKind::Text },
            { "v_ma_precios.tipolista", "P.TIPOLISTA", ColumnKind::Text },
            { "v_ma_precios.costo", "P.COSTO", ColumnKind::Number },
            { "v_ma_precios.precio1", "P.PRECIO1", ColumnKind::Number },
            { "v_ma_precios.precio2", "P.PRECIO2", ColumnKind::Number },
            { "v_ma_precios.fhofertadesde", "P.FHOFERTADESDE", ColumnKind::Date },
            { "v_ma_precios.fhofertahasta", "P.FHOFERTAHASTA", ColumnKind::Date },
            { "v_ma_articulos.idarticulo", "A.IDARTICULO", ColumnKind::Text },
            { "v_ma_articulos.descripcion", "A.DESCRIPCION", ColumnKind::Text },
            { "v_ma_articulos.idrubro", "A.IDRUBRO", ColumnKind::Text },
            { "v_ma_articulos.idfamilia", "A.IDFAMILIA", ColumnKind::Text },
            { "v_ma_articulos.cuentaproveedor", "A.CUENTAPROVEEDOR", ColumnKind::Text },
            { "v_ma_articulos.suspendido", "A.SUSPENDIDO", ColumnKind::Boolean },
            { "v_ma_articulos.suspendidoc", "A.SUSPENDIDOC", ColumnKind::Boolean },
            { "v_ma_articulos.peso", "A.PESO", ColumnKind::Number },
            { "stk_ma_articulos.deposito", "S.DEPOSITO", ColumnKind::Text },
        };
        for (const auto& c : columns)
            m_columns.push_back(
                { QString::fromLatin1(c.name), QString::fromLatin1(c.sql), c.kind });
    }

    // A deterministic mix of the values that make text, Null and number rules matter.
    void seed()
    {
        exec(QStringLiteral(
            "CREATE TABLE ARTICULOS (IDARTICULO TEXT COLLATE TEXTO, DESCRIPCION TEXT COLLATE "
            "TEXTO, IDRUBRO TEXT COLLATE TEXTO, IDFAMILIA TEXT COLLATE TEXTO, CUENTAPROVEEDOR "
            "TEXT COLLATE TEXTO, SUSPENDIDO INTEGER, SUSPENDIDOC INTEGER, PESO REAL)"));
        exec(QStringLiteral(
            "CREATE TABLE PRECIOS (IDLISTA TEXT COLLATE TEXTO, NOMBRE TEXT COLLATE TEXTO, "
            "TIPOLISTA TEXT COLLATE TEXTO, IDARTICULO TEXT COLLATE TEXTO, COSTO REAL, PRECIO1 "
            "REAL, PRECIO2 REAL, FHOFERTADESDE TEXT, FHOFERTAHASTA TEXT)"));
        exec(QStringLiteral("CREATE TABLE STOCK (IDARTICULO TEXT COLLATE TEXTO, DEPOSITO "
                            "TEXT COLLATE TEXTO, CANTIDAD REAL)"));
        const QStringList descriptions
            = { QStringLiteral("Ñandú de madera"), QStringLiteral("ñandu chico"),
                  QStringLiteral("Clavo 2\" "), QStringLiteral("café molido"),
                  QStringLiteral("CAFÉ en grano"), QStringLiteral("Alambre 10% extra"),
                  QStringLiteral("Aceite_de_lino"), QStringLiteral("martillo  "), QString(),
                  QStringLiteral("Arandela [x]"), QStringLiteral("zapallo") };
        const QStringList rubros = { QStringLiteral("0001"), QStringLiteral("0002"),
            QStringLiteral("0003 "), QStringLiteral("A"), QStringLiteral("b"), QString() };
        const QStringList familias = { QStringLiteral("CAF01"), QStringLiteral("caf02"),
            QStringLiteral("B10"), QStringLiteral("10%A"), QStringLiteral("10_B"),
            QStringLiteral("M  "), QStringLiteral("Ñ1"), QString() };
        const QStringList proveedores = { QStringLiteral("D'Angelo"), QStringLiteral("d'angelo  "),
            QStringLiteral("Pérez"), QStringLiteral("perez"), QStringLiteral("O'Neil"), QString() };
        const QStringList flags = { QStringLiteral("0"), QStringLiteral("-1"), QStringLiteral("1"),
            QStringLiteral("NULL") };
        const QStringList pesos = { QStringLiteral("0"), QStringLiteral("1.5"),
            QStringLiteral("10"), QStringLiteral("12.25"), QStringLiteral("NULL") };
        auto quoted = [](const QString& s) {
            if (s.isNull())
                return QStringLiteral("NULL");
            QString d = s;
            d.replace(u'\'', QStringLiteral("''"));
            return u'\'' + d + u'\'';
        };
        for (int i = 0; i < 40; ++i) {
            const QString id = QStringLiteral("ART%1").arg(i, 3, 10, QChar(u'0'));
            exec(QStringLiteral("INSERT INTO ARTICULOS VALUES (%1, %2, %3, %4, %5, %6, %7, %8)")
                     .arg(quoted(id), quoted(descriptions[i % descriptions.size()]),
                         quoted(rubros[i % rubros.size()]),
                         quoted(familias[(i * 3) % familias.size()]),
                         quoted(proveedores[(i * 5) % proveedores.size()]), flags[i % flags.size()],
                         flags[(i / 2) % flags.size()], pesos[i % pesos.size()]));
            if (i % 5 != 4) {
                exec(QStringLiteral("INSERT INTO STOCK VALUES (%1, %2, 3)")
                         .arg(quoted(id),
                             quoted(i % 3 == 0    ? QStringLiteral("0001")
                                     : i % 3 == 1 ? QStringLiteral("0002")
                                                  : QString(i % 2 ? "" : "0001 "))));
            }
            if (i % 7 == 0)
                exec(QStringLiteral("INSERT INTO STOCK VALUES (%1, NULL, 1)").arg(quoted(id)));
        }
        const QStringList listas
            = { QStringLiteral("0001"), QStringLiteral("0002"), QStringLiteral("0003") };
        const QStringList nombres = { QStringLiteral("Mayorista"), QStringLiteral("minorista"),
            QStringLiteral("D'Angelo especial") };
        const QStringList costos = { QStringLiteral("0"), QStringLiteral("10.5"),
            QStringLiteral("NULL"), QStringLiteral("20"), QStringLiteral("0.1") };
        const QStringList fechas = { QStringLiteral("'2024-01-05'"),
            QStringLiteral("'2024-01-05 00:00:00'"), QStringLiteral("'2024-01-31 12:00:00'"),
            QStringLiteral("'2024-02-01'"), QStringLiteral("NULL") };
        for (int i = 0; i < 40; ++i) {
            for (int l = 0; l < listas.size(); ++l) {
                if ((i + l) % 4 == 3)
                    continue;
                exec(
                    QStringLiteral(
                        "INSERT INTO PRECIOS VALUES (%1, %2, %3, %4, %5, %6, %7, %8, %9)")
                        .arg(quoted(listas[l]), quoted(nombres[l]),
                            quoted(l == 2 ? QStringLiteral("C") : (i % 9 == 0 ? "v " : "V")),
                            // Some price rows name their article in other case and with
                            // trailing blanks: the join must still find it.
                            quoted(i % 6 == 1 ? QStringLiteral("art%1 ").arg(i, 3, 10, QChar(u'0'))
                                              : QStringLiteral("ART%1").arg(i, 3, 10, QChar(u'0'))),
                            costos[(i + l) % costos.size()], costos[(i * 2 + l) % costos.size()],
                            costos[(i + 2 * l) % costos.size()], fechas[(i + l) % fechas.size()],
                            fechas[(i + l + 2) % fechas.size()]));
            }
        }
    }

    QTemporaryDir m_dir;
};

const CorpusCase kCorpus[] = {
    // The price list's worked example, and with a warehouse chosen.
    { " {V_MA_PRECIOS.TIPOLISTA} = 'V'  AND  {v_ma_articulos.SUSPENDIDO} = False AND "
      "({V_MA_PRECIOS.COSTO}<>0 OR  {V_MA_PRECIOS.PRECIO1}<>0 ) ",
        true },
    { " {V_MA_PRECIOS.TIPOLISTA} = 'V'  AND  {v_ma_articulos.SUSPENDIDO} = False AND  "
      "({STK_MA_ARTICULOS.DEPOSITO} = '0001' OR {STK_MA_ARTICULOS.DEPOSITO}='' OR "
      "ISNULL({STK_MA_ARTICULOS.DEPOSITO}))",
        true },
    // Criteria rows as the builder writes them.
    { "{V_MA_PRECIOS.IdLista} >= '0001'  AND {V_MA_PRECIOS.IdLista} <= '0002'  AND "
      "{V_MA_PRECIOS.Nombre} >= 'a'  AND {V_MA_PRECIOS.Nombre} <= 'M' ",
        true },
    { "{v_ma_articulos.idrubro} >= '0002' ", true },
    { "{v_ma_articulos.idrubro} <= '0003' ", true },
    { " ({v_ma_articulos.idfamilia} LIKE 'CAF*' )", true },
    { " ({v_ma_articulos.idfamilia} LIKE 'caf*'  OR {v_ma_articulos.idfamilia} LIKE 'B*' )", true },
    { " ({v_ma_articulos.idfamilia} LIKE 'A*'  AND {v_ma_articulos.idfamilia} <= 'M' )", true },
    { "{v_ma_articulos.idfamilia} >= 'A'  AND {v_ma_articulos.idfamilia} LIKE 'M*' ", true },
    { "{v_ma_articulos.idfamilia} LIKE 'M' ", true },
    { "{v_ma_articulos.idfamilia} LIKE 'M ?' ", true },
    { "{v_ma_articulos.idfamilia} LIKE '10%*' OR {v_ma_articulos.idfamilia} LIKE '10_*'", true },
    { "{v_ma_articulos.idfamilia} LIKE '?1'", true },
    { "TrimLeft(TrimRight({v_ma_articulos.idrubro})) >= '0002'  AND "
      "TrimLeft(TrimRight({v_ma_articulos.idrubro})) <= '0003' ",
        true },
    { "TrimLeft(TrimRight({v_ma_articulos.idfamilia})) LIKE 'M'", true },
    { "TrimRight({v_ma_articulos.DESCRIPCION}) like '*o'", true },
    { "tonumber({v_ma_articulos.PESO}) >= 1.5  AND tonumber({v_ma_articulos.PESO}) <= 10 ", true },
    { "{v_ma_articulos.cuentaproveedor} = 'D''Angelo'", true },
    { "{v_ma_articulos.cuentaproveedor} >= 'D''A' AND {v_ma_articulos.cuentaproveedor} < 'P'",
        true },
    { "{v_ma_articulos.cuentaproveedor} = 'PEREZ' or {v_ma_articulos.cuentaproveedor} = 'pérez'",
        true },
    // Offers.
    { " {v_ma_precios.FhOfertaDesde} = Date(2024,01,05)", true },
    { "( {v_ma_precios.FhOfertaDesde} >= Date(2024,01,05) AND  {v_ma_precios.FhOfertaHasta} <= "
      "Date(2024,01,31))",
        true },
    { "( {v_ma_precios.FhOfertaDesde} >= Date(0,0,0) AND  {v_ma_precios.FhOfertaHasta} <= "
      "Date(0,0,0))",
        false },
    { "{v_ma_precios.FhOfertaHasta} > DateTime(2024,1,31,11,0,0)", true },
    // Purchases and zero prices.
    { "{V_MA_PRECIOS.TIPOLISTA} = 'C'  AND {V_MA_ARTICULOS.SUSPENDIDO}=FALSE AND "
      "{V_MA_ARTICULOS.SUSPENDIDOC}=FALSE ",
        true },
    { "({V_MA_PRECIOS.COSTO}<>0 OR  {V_MA_PRECIOS.PRECIO1}<>0  OR  {V_MA_PRECIOS.PRECIO2}<>0 ) ",
        true },
    { "{V_MA_PRECIOS.COSTO} = 0.1 OR {V_MA_PRECIOS.PRECIO1} in 10 to 20", true },
    { "{V_MA_PRECIOS.PRECIO1} in 10.5 _to_ 20 OR {V_MA_PRECIOS.PRECIO2} in UpTo 0.1", true },
    // Nulls, flags, Not.
    { "not ({STK_MA_ARTICULOS.DEPOSITO} = '0001')", true },
    { "not ISNULL({STK_MA_ARTICULOS.DEPOSITO}) and {STK_MA_ARTICULOS.DEPOSITO} = '0001 '", true },
    { "{v_ma_articulos.SUSPENDIDO}", true },
    { "not {v_ma_articulos.SUSPENDIDO} or {v_ma_articulos.SUSPENDIDOC} = True", true },
    { "{v_ma_articulos.SUSPENDIDO} = 1", false },
    { "{v_ma_articulos.SUSPENDIDO} <> True", true },
    { "{v_ma_articulos.idrubro} in ['0001', 'a', '0003']", true },
    { "{v_ma_articulos.idrubro} in '0001' to '0002'", true },
    { "{v_ma_articulos.DESCRIPCION} startswith 'ñand'", true },
    { "{v_ma_articulos.DESCRIPCION} startswith 'Aceite_'", true },
    { "{v_ma_articulos.DESCRIPCION} like '*[x]*' or {v_ma_articulos.DESCRIPCION} like '*10%*'",
        true },
    { "{v_ma_articulos.DESCRIPCION} = 'CAFÉ EN GRANO' or {v_ma_articulos.DESCRIPCION} = 'cafe "
      "molido'",
        true },
    // Partly or not pushable at all.
    { "{V_MA_PRECIOS.TIPOLISTA} = 'V' and Length({v_ma_articulos.DESCRIPCION}) > 10", false },
    { "{v_ma_articulos.DESCRIPCION} like 'c*' or UpperCase({v_ma_articulos.idrubro}) = 'B'",
        false },
    { "If IsNull({V_MA_PRECIOS.COSTO}) Then True Else {V_MA_PRECIOS.COSTO} > 5", false },
};

TEST_F(SelectionCorpus, pushdown_selects_exactly_the_rows_of_local_evaluation)
{
    checkCorpus(kCorpus);
}

// A comparison with its constant on the left reaches the database mirrored. Every constant here
// equals some rows' value, which a wrong mirror (<= taken for >, < for >=) loses or lets in.
TEST_F(SelectionCorpus, a_constant_on_the_left_selects_the_rows_of_local_evaluation)
{
    const CorpusCase constanteALaIzquierda[] = {
        { "10 < {v_ma_articulos.PESO}", true },
        { "10 <= {v_ma_articulos.PESO}", true },
        { "10 > {v_ma_articulos.PESO}", true },
        { "10 >= {v_ma_articulos.PESO}", true },
        { "10 = {v_ma_articulos.PESO}", true },
        { "10 <> {v_ma_articulos.PESO}", true },
        { "'0002' <= {v_ma_articulos.idrubro} and '0003' > {v_ma_articulos.idrubro}", true },
        { "Date(2024,01,05) >= {v_ma_precios.FhOfertaDesde}", true },
    };
    checkCorpus(constanteALaIzquierda);
}

// Keys that differ by case or trailing blanks join as the suite's server joins them, whatever
// plan the database picks for a selection: pushed down, evaluated here (the same formula wrapped
// in If ... Then True Else False is never pushed), and against the price rows read on their own.
TEST_F(SelectionCorpus, keys_differing_by_case_and_blanks_join_pushed_down_or_not)
{
    const char* const selections[] = {
        "{V_MA_PRECIOS.TIPOLISTA} = 'V' or {v_ma_articulos.idarticulo} in ['ART001', 'art007 ']",
        "{v_ma_articulos.idarticulo} = 'art013'",
        "{V_MA_PRECIOS.IdLista} = '0002' and {v_ma_articulos.cuentaproveedor} = 'd''angelo'",
        "IsNull({STK_MA_ARTICULOS.DEPOSITO}) or {v_ma_articulos.DESCRIPCION} = 'CAFÉ EN GRANO'",
    };
    const ColumnResolver resolver
        = [this](const QString& t, const QString& f) { return resolve(t, f); };
    const std::vector<Row> all = fetch(QString(), {});
    std::set<QString> prices;
    for (const Row& row : all)
        prices.insert(row.key.section(u'/', 0, 0));
    QSqlQuery alone(db());
    ASSERT_TRUE(alone.exec(QStringLiteral("SELECT rowid FROM PRECIOS")));
    std::set<QString> expected;
    while (alone.next())
        expected.insert(alone.value(0).toString());
    EXPECT_EQ(prices, expected);

    for (const char* text : selections) {
        SCOPED_TRACE(text);
        const QString formula = QString::fromUtf8(text);
        const FormulaNodePtr pushed
            = FormulaParser::parse(QStringLiteral("Seleccion"), formula).tree;
        const FormulaNodePtr local = FormulaParser::parse(QStringLiteral("Seleccion"),
            QStringLiteral("If (") + formula + QStringLiteral(") Then True Else False"))
                                         .tree;
        const SelectionPlan plan = SelectionPlanner::plan(pushed, SqlDialect::SQLite, resolver);
        ASSERT_FALSE(plan.residual);

        const std::set<QString> down = select(fetch(plan.where, plan.parameters), nullptr);

        EXPECT_EQ(down, select(all, local)) << "WHERE " << plan.where.toStdString();
        EXPECT_FALSE(down.empty());
    }
}

// A printing rule joins one term per item with Or: hundreds of them must still run, flat.
TEST_F(SelectionCorpus, long_or_chain_is_pushed_flat)
{
    QStringList terms;
    for (int i = 0; i < 1500; ++i)
        terms << QStringLiteral(" {v_ma_articulos.IDARTICULO}='ART%1' ")
                     .arg(i % 50, 3, 10, QChar(u'0'));
    const FormulaParseResult parsed = FormulaParser::parse(QStringLiteral("Seleccion"),
        QStringLiteral("{V_MA_PRECIOS.TIPOLISTA} = 'V' AND (") + terms.join(QStringLiteral("OR"))
            + u')');
    ASSERT_TRUE(parsed.ok());
    const std::vector<Row> all = fetch(QString(), {});

    const SelectionPlan plan = SelectionPlanner::plan(parsed.tree, SqlDialect::SQLite,
        [this](const QString& t, const QString& f) { return resolve(t, f); });

    EXPECT_FALSE(plan.residual);
    EXPECT_EQ(plan.parameters.size(), 1501);
    EXPECT_EQ(select(fetch(plan.where, plan.parameters), nullptr), select(all, parsed.tree));
}

// One table of wildcard cases, each run on the database (the pattern pushed down as LIKE) and in
// the engine (the formula on the fetched row): both roads must pick the same rows, and the right
// ones.
class WildcardRoads : public CorpusDatabase
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        open(m_dir.filePath(QStringLiteral("wildcards.db")));
        exec(QStringLiteral("CREATE TABLE T (K INTEGER PRIMARY KEY, F TEXT COLLATE TEXTO)"));
        m_key = QStringLiteral("T.K");
        m_from = QStringLiteral("FROM T");
        m_columns.push_back({ QStringLiteral("v_ma_articulos.descripcion"), QStringLiteral("T.F"),
            ColumnKind::Text });
    }

    QTemporaryDir m_dir;
};

struct WildcardCase
{
    const char* text;
    const char* op; // LIKE or STARTSWITH
    const char* pattern;
    bool matches;
};

const WildcardCase kWildcards[] = {
    { "ABC", "LIKE", "a*", true },
    { "ÑANDÚ", "LIKE", "ñand?", true },
    { "ñandu", "LIKE", "ÑANDÚ", false },
    { "café", "LIKE", "CAFÉ", true },
    { "abc  ", "LIKE", "abc", true },
    { "abc", "LIKE", "abc ", false },
    { "abc ", "LIKE", "abc ", true },
    { "abc", "LIKE", "a?c?", false },
    { "10%", "LIKE", "10%", true },
    { "100", "LIKE", "10%", false },
    { "A_B", "LIKE", "A_B", true },
    { "AXB", "LIKE", "A_B", false },
    { "a\\b", "LIKE", "a\\b", true },
    { "ab", "LIKE", "a\\b", false },
    { "[x]", "LIKE", "[x]", true },
    { "x", "LIKE", "[x]", false },
    { "banana", "LIKE", "*ana", true },
    { "banana", "LIKE", "b*n?n*", true },
    { "aaa", "LIKE", "a*a*a", true },
    { "aa", "LIKE", "a*a*a", false },
    { "x", "LIKE", "", false },
    { "", "LIKE", "*", true },
    { "\xF0\x9D\x84\x9Ex", "LIKE", "?x", true },
    { "\xF0\x9D\x84\x9Ex", "LIKE", "??x", false },
    { "D'Angelo", "LIKE", "d'*", true },
    { "queso rallado", "STARTSWITH", "QUESO", true },
    { "10%x", "STARTSWITH", "10%", true },
    { "100", "STARTSWITH", "10%", false },
    { "a*b", "STARTSWITH", "a*", true },
    { "ab", "STARTSWITH", "a*", false },
    { "a_b", "STARTSWITH", "a_", true },
    { "abc", "STARTSWITH", "a_", false },
    { "abc", "STARTSWITH", "abc ", false },
};

TEST_F(WildcardRoads, the_database_and_the_engine_match_patterns_alike)
{
    for (std::size_t k = 0; k < std::size(kWildcards); ++k) {
        QSqlQuery insert(db());
        ASSERT_TRUE(insert.prepare(QStringLiteral("INSERT INTO T (K, F) VALUES (?, ?)")));
        insert.addBindValue(qint64(k));
        insert.addBindValue(QString::fromUtf8(kWildcards[k].text));
        ASSERT_TRUE(insert.exec());
    }
    const std::vector<Row> all = fetch(QString(), {});
    const ColumnResolver resolver
        = [this](const QString& t, const QString& f) { return resolve(t, f); };
    for (std::size_t k = 0; k < std::size(kWildcards); ++k) {
        const WildcardCase& c = kWildcards[k];
        const QString formula = QStringLiteral("{v_ma_articulos.Descripcion} ")
            + QLatin1String(c.op) + u' ' + FormulaText::quoted(QString::fromUtf8(c.pattern));
        SCOPED_TRACE(formula.toStdString() + " on '" + c.text + "'");
        const FormulaParseResult parsed
            = FormulaParser::parse(QStringLiteral("Seleccion"), formula);
        ASSERT_TRUE(parsed.ok()) << parsed.error.message().toStdString();
        const SelectionPlan plan
            = SelectionPlanner::plan(parsed.tree, SqlDialect::SQLite, resolver);
        ASSERT_FALSE(plan.residual) << "WHERE " << plan.where.toStdString();
        const QString key = QString::number(k);
        EXPECT_EQ(select(fetch(plan.where, plan.parameters), nullptr).count(key), c.matches)
            << "database, WHERE " << plan.where.toStdString();
        EXPECT_EQ(select(all, parsed.tree).count(key), c.matches) << "engine";
    }
}

// The demo database of the program, read through the statements of the price list, the vouchers
// and the accounting entries; column kinds from the declared types, as the engine reads them from
// the schema.
class DemoSelectionCorpus : public CorpusDatabase
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString file = testsupport::writeDemoDatabases(m_dir.path(), 120);
        ASSERT_FALSE(file.isEmpty());
        open(file);
    }

    void addColumns(const QString& table, const QString& alias)
    {
        QSqlQuery q(db());
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table)));
        while (q.next()) {
            const QString name = q.value(1).toString();
            const QString type = q.value(2).toString().toLower();
            const ColumnKind kind = type.contains(u"char") || type == u"text" ? ColumnKind::Text
                : type == u"bit"                                              ? ColumnKind::Boolean
                : type.contains(u"date")                                      ? ColumnKind::Date
                                                                              : ColumnKind::Number;
            // "NUMERO ASIENTO" and "DEBE-HABER" need quoting in the statement.
            const QString sqlName
                = name.contains(u' ') || name.contains(u'-') ? u'"' + name + u'"' : name;
            m_columns.push_back({ (table + u'.' + name).toLower(), alias + u'.' + sqlName, kind });
        }
    }

    QTemporaryDir m_dir;
};

const CorpusCase kDemoCorpus[] = {
    { " {V_MA_PRECIOS.TIPOLISTA} = 'V'  AND  {v_ma_articulos.SUSPENDIDO} = False AND "
      "({V_MA_PRECIOS.COSTO}<>0 OR  {V_MA_PRECIOS.PRECIO1}<>0 ) ",
        true },
    { " {V_MA_PRECIOS.TIPOLISTA} = 'v'  AND  {v_ma_articulos.SUSPENDIDO} = False AND  "
      "({STK_MA_ARTICULOS.DEPOSITO} = '   1' OR {STK_MA_ARTICULOS.DEPOSITO}='' OR "
      "ISNULL({STK_MA_ARTICULOS.DEPOSITO}))",
        true },
    { "{V_MA_PRECIOS.IdLista} >= '   2'  AND {V_MA_PRECIOS.IdLista} <= '   4'  AND "
      "{V_MA_PRECIOS.TIPOLISTA} = 'V' ",
        true },
    { "{V_MA_PRECIOS.Nombre} >= 'lista g'  AND {V_MA_PRECIOS.Nombre} <= 'LISTA W' ", true },
    { "{v_ma_articulos.idrubro} >= '   2'  AND {v_ma_articulos.idrubro} <= '   7' ", true },
    { "TrimLeft(TrimRight({v_ma_articulos.idrubro})) >= '2'  AND "
      "TrimLeft(TrimRight({v_ma_articulos.idrubro})) <= '7' ",
        true },
    { " ({v_ma_articulos.idfamilia} LIKE 'alm*' )", true },
    { " ({v_ma_articulos.idfamilia} LIKE 'A*'  OR {v_ma_articulos.idfamilia} LIKE 'F*' )", true },
    { "{v_ma_articulos.cuentaproveedor} >= '2110005'  AND {v_ma_articulos.cuentaproveedor} <= "
      "'2110009' ",
        true },
    { "{v_ma_articulos.Descripcion} like '*ñ*' or {v_ma_articulos.Descripcion} startswith 'queso'",
        true },
    { "( {v_ma_precios.FhOfertaDesde} >= Date(2026,11,10) AND  {v_ma_precios.FhOfertaHasta} <= "
      "Date(2027,01,05))",
        true },
    { " {v_ma_precios.FhOfertaDesde} = Date(2026,11,13)", true },
    { "{V_MA_PRECIOS.TIPOLISTA} = 'C'  AND {V_MA_ARTICULOS.SUSPENDIDO}=FALSE AND "
      "{V_MA_ARTICULOS.SUSPENDIDOC}=FALSE ",
        true },
    { "{V_MA_PRECIOS.PRECIO1} in 1000 to 5000 and {STK_MA_ARTICULOS.Stock} < 10", true },
    { "{V_MA_PRECIOS.TIPOLISTA} = 'V' and {V_MA_PRECIOS.PRECIO1} > {V_MA_PRECIOS.COSTO} * 2",
        false },
};

TEST_F(DemoSelectionCorpus, price_list_pushdown_selects_the_rows_of_local_evaluation)
{
    m_key = QStringLiteral("P.IdLista || '/' || P.IdArticulo || '/' || IFNULL(S.DEPOSITO, '-')");
    m_from = QStringLiteral(
        "FROM V_MA_PRECIOS P INNER JOIN V_MA_ARTICULOS A ON A.IDARTICULO = P.IdArticulo "
        "LEFT JOIN STK_MA_ARTICULOS S ON S.IDARTICULO = A.IDARTICULO");
    addColumns(QStringLiteral("V_MA_PRECIOS"), QStringLiteral("P"));
    addColumns(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("A"));
    addColumns(QStringLiteral("STK_MA_ARTICULOS"), QStringLiteral("S"));

    checkCorpus(kDemoCorpus);
}

// Selections of the vouchers (by type), the receipts (by workstation key) and the printing rules
// of an order (by item), on a voucher joined to its print-buffer rows.
const CorpusCase kVoucherCorpus[] = {
    { " {V_MV_CPTE.TC} = 'FC  ' AND {V_MV_CPTE.IDCOMPROBANTE} = '000200000800X' AND "
      "{V_MV_CPTE.IDCOMPLEMENTO} = 0 AND {Aux_MV_CPte.USUARIO} = 'PC1|juan'",
        true },
    { " {V_MV_CPTE.TC} = 'cb'", true },
    { "({v_mv_cpte.tc} = 'CB') and ({V_MV_CPTE.IDCOMPROBANTE} = '000200000801X' )", true },
    { "{V_MV_CPTE.IDCOMPROBANTE} = '000200000802X' AND {V_MV_CPTE.TC} = 'PE'", true },
    { " {AUX_MV_CPTE.TC} = 'CB  ' AND  {AUX_MV_CPTE.IDCOMPROBANTE} = '000200000800X' AND "
      "{AUX_MV_CPTE.IDCOMPLEMENTO} = 0 AND  {AUX_MV_CPTE.USUARIO} = 'PC2|D''Angelo'",
        true },
    { "{V_MV_CPTE.TC} = 'CB' AND ( {AUX_MV_CPTE.IDARTICULO}='000001' OR  "
      "{AUX_MV_CPTE.IDARTICULO}='000003 ' )",
        true },
    { "{V_MV_CPTE.TC} = 'CB' AND IsNull({AUX_MV_CPTE.USUARIO})", true },
};

TEST_F(DemoSelectionCorpus, voucher_pushdown_selects_the_rows_of_local_evaluation)
{
    int row = 0;
    for (const char* user : { "PC1|juan", "PC2|D''Angelo", "pc1|JUAN  " }) {
        for (const char* voucher : { "000200000800X", "000200000801X" }) {
            exec(
                QStringLiteral("INSERT INTO AUX_MV_CPTE (TC, USUARIO, IDCOMPROBANTE, "
                               "IDCOMPLEMENTO, IDARTICULO) SELECT TC, '%1', IDCOMPROBANTE, "
                               "IDCOMPLEMENTO, '00000%2' FROM V_MV_CPTE WHERE IDCOMPROBANTE = '%3'")
                    .arg(QLatin1String(user))
                    .arg(++row % 4)
                    .arg(QLatin1String(voucher)));
        }
    }
    m_key = QStringLiteral("C.ID || '/' || IFNULL(X.ID, '-')");
    m_from
        = QStringLiteral("FROM V_MV_CPTE C LEFT JOIN AUX_MV_CPTE X ON X.TC = C.TC AND "
                         "X.IDCOMPROBANTE = C.IDCOMPROBANTE AND X.IDCOMPLEMENTO = C.IDCOMPLEMENTO");
    addColumns(QStringLiteral("V_MV_CPTE"), QStringLiteral("C"));
    addColumns(QStringLiteral("AUX_MV_CPTE"), QStringLiteral("X"));

    checkCorpus(kVoucherCorpus, 20);
}

// The accounting entry's selection: by voucher only, or with the numeric period written quoted,
// the operating month as it came and the entry number.
const CorpusCase kEntryCorpus[] = {
    { "{MV_ASIENTOS.TC} = 'CB' AND {MV_ASIENTOS.SUCURSAL} = '0002' AND {MV_ASIENTOS.NUMERO} = "
      "'00000800' AND {MV_ASIENTOS.LETRA} = 'X'",
        true },
    { "{MV_ASIENTOS.PERIODO} = '2026' AND {MV_ASIENTOS.TC} = 'CB' AND {MV_ASIENTOS.SUCURSAL} = "
      "'0002' AND {MV_ASIENTOS.NUMERO} = '00000801' AND {MV_ASIENTOS.LETRA} = 'X' AND "
      "{MV_ASIENTOS.MES_OPERATIVO} =  11 AND {MV_ASIENTOS.NUMERO ASIENTO} = 3102",
        true },
    { "{MV_ASIENTOS.PERIODO} = ' 2026 ' AND {MV_ASIENTOS.NUMERO ASIENTO} = 3105", true },
};

TEST_F(DemoSelectionCorpus, entry_pushdown_selects_the_rows_of_local_evaluation)
{
    m_key = QStringLiteral("E.ID");
    m_from = QStringLiteral("FROM MV_ASIENTOS E");
    addColumns(QStringLiteral("MV_ASIENTOS"), QStringLiteral("E"));

    checkCorpus(kEntryCorpus, 10);
}

} // namespace
