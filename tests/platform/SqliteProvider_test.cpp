#include "platform/qt/QtAdoProvider.h"

#include <chrono>
#include <future>
#include <optional>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/AdoRecordset.h"
#include "platform/qt/ExitProgramEnd.h"
#include "platform/qt/QtAdoConnection.h"
#include "platform/qt/SqliteEngine.h"
#include "platform/qt/SqliteText.h"
#include "support/DemoDatabaseFiles.h"

namespace {

QString sqliteText(const QString& database)
{
    return QStringLiteral("PROVIDER=SQLOLEDB;Server=SQLITE;Database =%1;UId=;Pwd=;").arg(database);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The journal files SQLite may leave beside a database.
QStringList journalsBeside(const QString& path)
{
    QStringList found;
    for (const char* suffix : { "-wal", "-shm", "-journal" }) {
        if (QFileInfo::exists(path + QLatin1String(suffix)))
            found << path + QLatin1String(suffix);
    }
    return found;
}

// A query on a copy of the database file alone, as a backup made by copying it would be read.
QString onACopyOfTheFileAlone(const QString& path, const char* sql)
{
    const QString copy = path + QStringLiteral(".copia");
    QFile::remove(copy);
    if (!QFile::copy(path, copy))
        return QStringLiteral("(no se pudo copiar)");
    sqlite3* db = nullptr;
    QString answer;
    if (sqlite3_open_v2(QFile::encodeName(copy).constData(), &db, SQLITE_OPEN_READONLY, nullptr)
        == SQLITE_OK) {
        registerSqliteText(db);
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK
            && sqlite3_step(stmt) == SQLITE_ROW)
            answer = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        else
            answer = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    QFile::remove(copy);
    return answer;
}

// The SQLite handle under the Qt SQL connection made since `namesBefore` (a provider's
// connection opened in between); null when there is none.
sqlite3* handleMadeSince(const QStringList& namesBefore)
{
    for (const QString& name : QSqlDatabase::connectionNames()) {
        if (namesBefore.contains(name))
            continue;
        const QVariant handle = QSqlDatabase::database(name, false).driver()->handle();
        if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
            return *static_cast<sqlite3* const*>(handle.constData());
    }
    return nullptr;
}

// A demo database in its own folder, opened the way the program opens it.
class SqliteProvider : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_file = testsupport::writeDemoDatabases(m_dir.path(), 60);
        ASSERT_FALSE(m_file.isEmpty());
        m_provider = std::make_unique<QtAdoProvider>(QtAdoProvider::Settings {
            m_dir.path(), QStringLiteral("FreeTDS"), QStringLiteral("Oracle") });
        reopen();
    }

    void reopen()
    {
        m_cnn = m_provider->createConnection();
        ASSERT_TRUE(m_cnn->Open(sqliteText(QStringLiteral("DEMO"))))
            << m_cnn->LastError().description().toStdString();
    }

    void exec(const QString& sql)
    {
        ASSERT_TRUE(m_cnn->Execute(sql))
            << sql.toStdString() << ": " << m_cnn->LastError().description().toStdString();
    }

    Value scalar(const QString& sql)
    {
        AdoRecordset rs;
        if (!rs.Open(sql, m_cnn.get())) {
            ADD_FAILURE() << sql.toStdString() << ": "
                          << rs.LastError().description().toStdString();
            return Value();
        }
        if (rs.Eof())
            return Value();
        return rs.Fields(0).Value();
    }

    QTemporaryDir m_dir;
    QString m_file;
    std::unique_ptr<QtAdoProvider> m_provider;
    std::unique_ptr<AdoConnection> m_cnn;
};

TEST_F(SqliteProvider, opens_a_bare_name_in_the_program_folder_and_keeps_the_text)
{
    const QString text = sqliteText(QStringLiteral("demo"));
    auto cnn = m_provider->createConnection();

    ASSERT_TRUE(cnn->Open(text)) << cnn->LastError().description().toStdString();

    EXPECT_EQ(cnn->ConnectionString(), text);
    EXPECT_EQ(cnn->State(), adStateOpen);
    EXPECT_FALSE(cnn->Open(text));
    EXPECT_EQ(cnn->LastError().number(), AdoErrorNumber::ObjectOpen);
    EXPECT_TRUE(cnn->Close());
    EXPECT_FALSE(cnn->Close());
    EXPECT_EQ(cnn->LastError().number(), AdoErrorNumber::ObjectClosed);
    EXPECT_FALSE(cnn->Execute(QStringLiteral("SELECT 1")));
    EXPECT_EQ(cnn->LastError().number(), AdoErrorNumber::InvalidConnection);
    ASSERT_TRUE(cnn->Open(sqliteText(m_file)));
}

TEST_F(SqliteProvider, finds_the_statistics_database_beside_a_main_database_named_by_path)
{
    QTemporaryDir elsewhere;
    const QString main = testsupport::writeDemoDatabases(elsewhere.path(), 5);
    QFile::remove(QDir(m_dir.path()).filePath(QStringLiteral("KZQ_ESTADISTICAS.db")));
    QtAdoProvider provider(QtAdoProvider::Settings { m_dir.path(), {}, {} });
    auto first = provider.createConnection();
    auto second = provider.createConnection();

    ASSERT_TRUE(first->Open(sqliteText(main)));
    ASSERT_TRUE(second->Open(sqliteText(QStringLiteral("KZQ_ESTADISTICAS"))))
        << second->LastError().description().toStdString();
}

// An installation keeps its databases in the data folder: a bare name is found there first, and
// in the program folder while the data folder has none of that name.
TEST_F(SqliteProvider, a_bare_name_is_looked_for_in_the_data_folder_first)
{
    QTemporaryDir datos;
    ASSERT_TRUE(QFile::copy(m_file, datos.filePath(QStringLiteral("Demo.db"))));
    QtAdoProvider provider(
        QtAdoProvider::Settings { .programFolder = m_dir.path(), .dataFolder = datos.path() });
    auto cnn = provider.createConnection();
    ASSERT_TRUE(cnn->Open(sqliteText(m_file)));
    ASSERT_TRUE(cnn->Execute(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = 'programa'")));
    ASSERT_TRUE(cnn->Close());
    const auto valor = [&](const QString& base) {
        auto otra = QtAdoProvider(provider.settings()).createConnection();
        EXPECT_TRUE(otra->Open(sqliteText(base))) << base.toStdString();
        AdoRecordset rs;
        EXPECT_TRUE(rs.Open(QStringLiteral("SELECT MIN(VALOR) FROM TA_CONFIGURACION"), otra.get()));
        return rs.Fields(0).Value().toString();
    };

    EXPECT_NE(valor(QStringLiteral("DEMO")), QStringLiteral("programa"));
    ASSERT_TRUE(QFile::remove(datos.filePath(QStringLiteral("Demo.db"))));
    EXPECT_EQ(valor(QStringLiteral("DEMO")), QStringLiteral("programa"));
}

TEST_F(SqliteProvider, a_missing_file_is_an_error_not_a_new_database)
{
    auto cnn = m_provider->createConnection();

    EXPECT_FALSE(cnn->Open(sqliteText(QStringLiteral("NOEXISTE"))));

    EXPECT_EQ(cnn->LastError().number(), AdoErrorNumber::Fail);
    ASSERT_EQ(cnn->Errors().Count(), 1);
    EXPECT_EQ(cnn->Errors().Item(0).NativeError(), 4060);
    EXPECT_FALSE(QFile::exists(QDir(m_dir.path()).filePath(QStringLiteral("NOEXISTE.db"))));
    // A local-file text reports the file engine's "not found" state the opener tells apart.
    EXPECT_FALSE(
        cnn->Open(QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =/no/x.mdb;")));
    EXPECT_EQ(cnn->Errors().Item(0).SQLState(), QStringLiteral("3024"));
    EXPECT_FALSE(cnn->Open(QStringLiteral("Provider=Nada.1;Data Source=x")));
    EXPECT_EQ(cnn->LastError().number(), AdoErrorNumber::ProviderNotFound);
}

TEST_F(SqliteProvider, reads_configuration_ignoring_case_and_trailing_blanks)
{
    exec(QStringLiteral("INSERT INTO TA_CONFIGURACION (GRUPO, CLAVE, VALOR) VALUES ('DATOS', "
                        "'CLAVEDEPRUEBA', 'Clientes')"));
    AdoRecordset rs;

    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT VALOR, valoraux FROM ta_configuracion with(nolock)  "
                                       "WHERE CLAVE = 'ClaveDePrueba  '"),
        m_cnn.get()));

    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields(QStringLiteral("Valor")).Value(), Value(QStringLiteral("Clientes")));
    EXPECT_TRUE(rs.Fields(QStringLiteral("ValorAux")).Value().isNull());
    EXPECT_EQ(rs.RecordCount(), -1);
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
}

TEST_F(SqliteProvider, an_empty_set_is_at_bof_and_eof_and_field_reads_fail_with_3021)
{
    AdoRecordset rs;

    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM TA_CONFIGURACION WHERE CLAVE = 'nada'"),
        m_cnn.get(), adOpenStatic));

    EXPECT_TRUE(rs.Bof());
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(rs.RecordCount(), 0);
    try {
        rs.Fields(QStringLiteral("VALOR")).Value();
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), AdoErrorNumber::NoCurrentRecord);
    }
    try {
        rs.Fields(QStringLiteral("NOHAY"));
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), AdoErrorNumber::ItemNotFound);
    }
    EXPECT_TRUE(rs.Close());
    EXPECT_FALSE(rs.Close());
    EXPECT_EQ(rs.LastError().number(), AdoErrorNumber::ObjectClosed);
}

struct TypeRow
{
    const char* column;
    int type;
    qint64 size;
    ValueType valueType;
};

TEST_F(SqliteProvider, reports_field_types_sizes_and_keeps_empty_null_and_blank_apart)
{
    exec(QStringLiteral(
        "CREATE TABLE TIPOS (ID INTEGER PRIMARY KEY, T varchar(5) COLLATE TEXTO, N int, S "
        "smallint, B bit, M money, D datetime, F float, R real, X image, DEC decimal(18,2), NT "
        "nvarchar(30), C char(4), L text)"));
    exec(QStringLiteral("INSERT INTO TIPOS VALUES (1, 'ab', 7, 3, 1, 12.5, '2024-03-05 10:11:12', "
                        "1.5, 2.5, X'0102', 3.25, 'Ñandú', 'AB  ', 'largo')"));
    exec(QStringLiteral("INSERT INTO TIPOS (ID, T) VALUES (2, '')"));
    const TypeRow rows[] = {
        { "T", adVarChar, 5, ValueType::Text },
        { "N", adInteger, 4, ValueType::Int32 },
        { "S", adSmallInt, 2, ValueType::Int16 },
        { "B", adBoolean, 2, ValueType::Boolean },
        { "M", adCurrency, 8, ValueType::Currency },
        { "D", adDBTimeStamp, 16, ValueType::Date },
        { "F", adDouble, 8, ValueType::Double },
        { "R", adSingle, 4, ValueType::Single },
        { "X", adLongVarBinary, 2147483647, ValueType::Bytes },
        { "DEC", adNumeric, 19, ValueType::Currency },
        { "NT", adVarWChar, 30, ValueType::Text },
        { "C", adChar, 4, ValueType::Text },
        { "L", adLongVarChar, 2147483647, ValueType::Text },
    };
    AdoRecordset rs;

    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM TIPOS ORDER BY ID"), m_cnn.get(),
        adOpenStatic, adLockReadOnly));

    for (const TypeRow& row : rows) {
        AdoField& f = rs.Fields(QString::fromLatin1(row.column));
        EXPECT_EQ(f.Type(), row.type) << row.column;
        EXPECT_EQ(f.DefinedSize(), row.size) << row.column;
        EXPECT_EQ(f.Value().type(), row.valueType) << row.column;
    }
    EXPECT_EQ(rs.Fields(QStringLiteral("m")).Value(), Value(Currency::fromRaw(125000)));
    EXPECT_EQ(rs.Fields(QStringLiteral("d")).Value(),
        Value(QDateTime(QDate(2024, 3, 5), QTime(10, 11, 12))));
    EXPECT_EQ(rs.Fields(QStringLiteral("nt")).Value(), Value(QStringLiteral("Ñandú")));
    EXPECT_EQ(rs.Fields(QStringLiteral("b")).Value(), Value(true));
    rs.MoveNext();
    EXPECT_EQ(rs.Fields(QStringLiteral("T")).Value(), Value(QStringLiteral("")));
    EXPECT_TRUE(rs.Fields(QStringLiteral("N")).Value().isNull());
    EXPECT_EQ(rs.Fields(QStringLiteral("N")).ActualSize(), 0);
}

TEST_F(SqliteProvider, adds_edits_and_deletes_rows_of_an_updatable_set)
{
    const QString sql
        = QStringLiteral("SELECT * FROM ta_configuracion with(nolock)  WHERE CLAVE = 'prueba_de'");
    AdoRecordset rs;
    ASSERT_TRUE(rs.Open(sql, m_cnn.get(), adOpenDynamic, adLockOptimistic));
    ASSERT_TRUE(rs.Eof());

    ASSERT_TRUE(rs.AddNew());
    rs.Fields(QStringLiteral("Grupo")).setValue(Value(QStringLiteral("DATOS")));
    rs.Fields(QStringLiteral("Clave")).setValue(Value(QStringLiteral("PRUEBA_DE")));
    rs.Fields(QStringLiteral("Valor")).setValue(Value(QStringLiteral("abc")));
    ASSERT_TRUE(rs.Update()) << rs.LastError().description().toStdString();
    ASSERT_TRUE(rs.Close());

    ASSERT_TRUE(rs.Open(sql, m_cnn.get(), adOpenDynamic, adLockOptimistic));
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields(QStringLiteral("VALOR")).Value(), Value(QStringLiteral("abc")));
    // valoraux was not assigned: the table's default (NULL) stays.
    EXPECT_TRUE(rs.Fields(QStringLiteral("valoraux")).Value().isNull());
    rs.MoveFirst();
    rs.Fields(QStringLiteral("Valor")).setValue(Value(QStringLiteral("xyz")));
    ASSERT_TRUE(rs.Update());
    ASSERT_TRUE(rs.Close());
    EXPECT_EQ(scalar(QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE='PRUEBA_DE'")),
        Value(QStringLiteral("xyz")));

    ASSERT_TRUE(rs.Open(sql, m_cnn.get(), adOpenDynamic, adLockOptimistic));
    ASSERT_TRUE(rs.Delete());
    ASSERT_TRUE(rs.Close());
    EXPECT_TRUE(scalar(QStringLiteral("SELECT COUNT(*) FROM TA_CONFIGURACION WHERE "
                                      "CLAVE='PRUEBA_DE'"))
        == Value(qint32(0)));
}

TEST_F(SqliteProvider, top_0_gives_an_empty_set_that_accepts_addnew)
{
    AdoRecordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("select  top 1 * from AUX_ERR  with(nolock) "), m_cnn.get(),
        adOpenDynamic, adLockOptimistic));
    rs.Close();
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT TOP 0 * FROM AUX_ERR"), m_cnn.get(), adOpenDynamic,
        adLockOptimistic));
    ASSERT_TRUE(rs.Eof());

    ASSERT_TRUE(rs.AddNew());
    rs.Fields(QStringLiteral("Proceso")).setValue(Value(QStringLiteral("Rp_Tarifolio")));
    rs.Fields(QStringLiteral("Error")).setValue(Value(qint32(3021)));
    rs.Fields(QStringLiteral("Sql")).AppendChunk(Value(QStringLiteral("SELECT ")));
    rs.Fields(QStringLiteral("Sql")).AppendChunk(Value(QStringLiteral("1")));
    // Closing in the middle of an addition is refused until it is cancelled or stored.
    EXPECT_FALSE(rs.Close());
    EXPECT_EQ(rs.LastError().number(), AdoErrorNumber::IllegalOperation);
    ASSERT_TRUE(rs.Update());
    ASSERT_TRUE(rs.Close());

    EXPECT_EQ(scalar(QStringLiteral("SELECT Sql FROM AUX_ERR WHERE Error = 3021")),
        Value(QStringLiteral("SELECT 1")));
}

TEST_F(SqliteProvider, reads_long_values_in_chunks_and_blocks_of_rows)
{
    exec(QStringLiteral("CREATE TABLE BIN (ID INTEGER PRIMARY KEY, X image)"));
    AdoRecordset rs;
    ASSERT_TRUE(
        rs.Open(QStringLiteral("SELECT * FROM BIN"), m_cnn.get(), adOpenKeyset, adLockOptimistic));
    ASSERT_TRUE(rs.AddNew());
    rs.Fields(QStringLiteral("X")).AppendChunk(Value(QByteArray("abc")));
    rs.Fields(QStringLiteral("X")).AppendChunk(Value(QByteArray("defg")));
    ASSERT_TRUE(rs.Update());
    rs.Close();

    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT X FROM BIN"), m_cnn.get()));
    AdoField& x = rs.Fields(0);
    EXPECT_EQ(x.GetChunk(4), Value(QByteArray("abcd")));
    EXPECT_EQ(x.GetChunk(4), Value(QByteArray("efg")));
    EXPECT_TRUE(x.GetChunk(4).isNull());
    rs.Close();

    ASSERT_TRUE(rs.Open(
        QStringLiteral("SELECT IdFamilia FROM V_TA_FAMILIAS ORDER BY IdFamilia"), m_cnn.get()));
    const QList<QList<Value>> block = rs.GetRows(2);
    ASSERT_EQ(block.size(), 2);
    EXPECT_EQ(block.at(0).size(), 1);
    EXPECT_FALSE(rs.Eof());
}

TEST_F(SqliteProvider, families_tree_finds_each_familys_parent)
{
    AdoRecordset rs;
    ASSERT_TRUE(rs.Open(
        QStringLiteral("SELECT     TOP 100 PERCENT IdFamilia, Descripcion, (SELECT     TOP 1 "
                       "idfamilia FROM v_ta_familias a   Where a.IdFamilia < b.IdFamilia And "
                       "(Len(LTrim(RTrim(a.IdFamilia))) < Len(LTrim(RTrim(b.IdFamilia))))  "
                       "ORDER BY idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b Where "
                       "IdFamilia<>'' ORDER BY IdFamilia"),
        m_cnn.get()));
    QHash<QString, Value> parent;
    int rows = 0;
    while (!rs.Eof()) {
        parent.insert(rs.Fields(QStringLiteral("IdFamilia")).Value().toString(),
            rs.Fields(QStringLiteral("relative")).Value());
        ++rows;
        rs.MoveNext();
    }

    EXPECT_EQ(Value(qint32(rows)),
        scalar(QStringLiteral("SELECT COUNT(*) FROM V_TA_FAMILIAS WHERE IdFamilia <> ''")));
    EXPECT_EQ(parent.value(QStringLiteral("HERMAN")), Value(QStringLiteral("HER")));
    EXPECT_EQ(parent.value(QStringLiteral("ALMSEC")), Value(QStringLiteral("ALM")));
    EXPECT_TRUE(parent.value(QStringLiteral("ALM")).isNull());
}

struct FunctionRow
{
    const char* expression;
    Value expected;
};

TEST_F(SqliteProvider, runs_the_servers_functions)
{
    const FunctionRow rows[] = {
        { "LEN('ab  ')", Value(qint32(2)) },
        { "LEN(NULL)", Value::null() },
        { "CHARINDEX('B', 'abc')", Value(qint32(2)) },
        { "LEFT('Ñandú', 2) + RIGHT('abc', 1)", Value(QStringLiteral("Ñac")) },
        { "UPPER('ñandú')", Value(QStringLiteral("ÑANDÚ")) },
        { "ISNULL(NULL, 'x')", Value(QStringLiteral("x")) },
        { "DATEADD(day, 1, '2024-12-31')", Value(QStringLiteral("2025-01-01 00:00:00")) },
        { "DATEADD(mm, 1, '31/01/2024')", Value(QStringLiteral("2024-02-29 00:00:00")) },
        { "DATEDIFF(month, '2024-01-31', '2024-02-01')", Value(qint32(1)) },
        { "DATEDIFF(day, '2024-02-01 23:00', '2024-02-02 01:00')", Value(qint32(1)) },
        { "DATEPART(dw, '2024-03-03')", Value(qint32(1)) },
        { "CONVERT(varchar(10), '2024-03-05 10:11:12', 103)", Value(QStringLiteral("05/03/2024")) },
        { "CONVERT(varchar(5), '2024-03-05 10:11:12', 108)", Value(QStringLiteral("10:11")) },
        { "CONVERT(datetime, '05/03/2024', 103)", Value(QStringLiteral("2024-03-05 00:00:00")) },
        { "DBO.FN_SOLO_FECHA('2024-03-05 10:11:12')",
            Value(QStringLiteral("2024-03-05 00:00:00")) },
        { "CAST('12' AS int) + 1", Value(qint32(13)) },
        // A blank converts to 0, as the server converts it to a whole number or a float.
        { "CAST('' AS int) + 1", Value(qint32(1)) },
        { "CAST(' ' AS float) + 1", Value(1.0) },
        { "'a' + 'b'", Value(QStringLiteral("ab")) },
        { "SUCURSAL + NUMERO FROM (SELECT '0001' AS SUCURSAL, '00000012' AS NUMERO)",
            Value(QStringLiteral("000100000012")) },
        { "N + 1 FROM (SELECT 41 AS N)", Value(qint32(42)) },
        { "D + N FROM (SELECT '2024-01-31 00:00:00' AS D, 1 AS N)",
            Value(QStringLiteral("2024-02-01 00:00:00")) },
    };
    for (const FunctionRow& row : rows) {
        const QString sql = QStringLiteral("SELECT ") + QString::fromUtf8(row.expression);
        EXPECT_EQ(scalar(sql), row.expected)
            << row.expression << " gave " << scalar(sql).toString().toStdString();
    }
}

TEST_F(SqliteProvider, maps_refused_rows_to_the_servers_native_errors)
{
    exec(QStringLiteral("CREATE TABLE PADRE (Codigo varchar(4) COLLATE TEXTO PRIMARY KEY)"));
    exec(QStringLiteral("CREATE TABLE HIJO (ID INTEGER PRIMARY KEY, Padre varchar(4) REFERENCES "
                        "PADRE(Codigo), Importe money CHECK (Importe >= 0), Nombre varchar(5))"));
    exec(QStringLiteral("INSERT INTO PADRE VALUES ('A')"));
    reopen();
    const struct
    {
        const char* sql;
        int native;
    } rows[] = {
        { "INSERT INTO PADRE VALUES ('a  ')", 2627 }, // same key for the server's collation
        { "INSERT INTO HIJO (Padre) VALUES ('Z')", 547 },
        { "INSERT INTO HIJO (Importe) VALUES (-1)", 547 },
        { "INSERT INTO TA_CONFIGURACION (CLAVE, GRUPO) VALUES (NULL, 'x')", 515 },
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(m_cnn->Execute(QString::fromUtf8(row.sql))) << row.sql;
        ASSERT_EQ(m_cnn->Errors().Count(), 2) << row.sql;
        EXPECT_EQ(m_cnn->Errors().Item(0).NativeError(), row.native) << row.sql;
        EXPECT_EQ(m_cnn->Errors().Item(1).NativeError(), 3621) << row.sql;
        EXPECT_EQ(m_cnn->LastError().number(), AdoErrorNumber::IntegrityViolation) << row.sql;
    }
}

// A text longer than its column is stored cut, as the suite expects of the server, with the
// truncation warning left in Errors: by a statement, by a recordset, and by an update after the
// transaction that first made the column rules was undone (they go with it and are made again).
TEST_F(SqliteProvider, stores_an_overlong_text_cut_with_the_truncation_warning)
{
    exec(QStringLiteral("CREATE TABLE HIJO (ID INTEGER PRIMARY KEY, Nombre varchar(5), "
                        "Nota varchar(3))"));
    reopen();
    ASSERT_TRUE(m_cnn->BeginTrans());
    exec(QStringLiteral("UPDATE TA_CONFIGURACION SET GRUPO = GRUPO WHERE 1 = 0"));
    ASSERT_TRUE(m_cnn->RollbackTrans());

    exec(QStringLiteral("INSERT INTO HIJO (ID, Nombre, Nota) VALUES (1, '123456', 'ab')"));
    ASSERT_EQ(m_cnn->Errors().Count(), 1);
    EXPECT_EQ(m_cnn->Errors().Item(0).NativeError(), 8152);
    // Blanks past the length are dropped silently by the server: no warning for them.
    exec(QStringLiteral("INSERT INTO HIJO (ID, Nombre) VALUES (2, '12345   ')"));
    EXPECT_EQ(m_cnn->Errors().Count(), 0);
    exec(QStringLiteral("UPDATE HIJO SET Nota = 'abcd' WHERE ID = 2"));
    EXPECT_EQ(m_cnn->Errors().Item(0).NativeError(), 8152);
    AdoRecordset rs;
    ASSERT_TRUE(rs.Open(
        QStringLiteral("SELECT * FROM HIJO"), m_cnn.get(), adOpenDynamic, adLockOptimistic));
    ASSERT_TRUE(rs.AddNew());
    rs.Fields(QStringLiteral("ID")).setValue(Value(qint32(3)));
    rs.Fields(QStringLiteral("Nombre")).setValue(Value(QStringLiteral("demasiado")));
    EXPECT_TRUE(rs.Update());
    EXPECT_EQ(m_cnn->Errors().Item(0).NativeError(), 8152);
    EXPECT_TRUE(rs.Close());

    EXPECT_EQ(scalar(QStringLiteral("SELECT group_concat(Nombre || '/' || ifnull(Nota, ''), "
                                    "'|') FROM HIJO")),
        Value(QStringLiteral("12345/ab|12345   /abc|demas/")));
}

// Rows of one shape run from one prepared statement: each keeps its own values, and the column
// rules still cut the one that is too long, also after the rules went with a rolled-back
// transaction. Reads of one shape share theirs the same way.
TEST_F(SqliteProvider, rows_of_one_shape_keep_their_values_and_the_column_rules)
{
    exec(QStringLiteral("CREATE TABLE HIJO (ID INTEGER PRIMARY KEY, Nombre varchar(5))"));
    reopen();
    ASSERT_TRUE(m_cnn->BeginTrans());
    exec(QStringLiteral("INSERT INTO HIJO (ID, Nombre) VALUES (1, 'uno')"));
    ASSERT_TRUE(m_cnn->RollbackTrans());

    exec(QStringLiteral("INSERT INTO HIJO (ID, Nombre) VALUES (1, 'uno')"));
    exec(QStringLiteral("INSERT INTO HIJO (ID, Nombre) VALUES (2, 'demasiado')"));
    ASSERT_EQ(m_cnn->Errors().Count(), 1);
    EXPECT_EQ(m_cnn->Errors().Item(0).NativeError(), 8152);
    EXPECT_FALSE(m_cnn->Execute(QStringLiteral("INSERT INTO HIJO (ID, Nombre) VALUES (2, 'x')")));

    EXPECT_EQ(scalar(QStringLiteral("SELECT group_concat(ID || '/' || Nombre, '|') FROM HIJO")),
        Value(QStringLiteral("1/uno|2/demas")));
    // Two open reads of one shape each keep their own values, and so does the next one.
    AdoRecordset uno;
    AdoRecordset dos;
    ASSERT_TRUE(uno.Open(QStringLiteral("SELECT ID FROM HIJO WHERE Nombre = 'uno'"), m_cnn.get()));
    ASSERT_TRUE(
        dos.Open(QStringLiteral("SELECT ID FROM HIJO WHERE Nombre = 'demas'"), m_cnn.get()));
    EXPECT_EQ(uno.Fields(0).Value().toLongLong(), 1);
    EXPECT_EQ(dos.Fields(0).Value().toLongLong(), 2);
    uno.Close();
    dos.Close();
    EXPECT_EQ(scalar(QStringLiteral("SELECT ID FROM HIJO WHERE Nombre = 'demas'")).toLongLong(), 2);
    // The same text read only and then for changes: the second set can still change its row.
    ASSERT_TRUE(uno.Open(QStringLiteral("SELECT * FROM HIJO WHERE ID = 1"), m_cnn.get()));
    uno.Close();
    ASSERT_TRUE(uno.Open(QStringLiteral("SELECT * FROM HIJO WHERE ID = 1"), m_cnn.get(),
        adOpenDynamic, adLockOptimistic));
    uno.Fields(QStringLiteral("Nombre")).setValue(Value(QStringLiteral("otro")));
    EXPECT_TRUE(uno.Update());
    uno.Close();
    EXPECT_EQ(scalar(QStringLiteral("SELECT Nombre FROM HIJO WHERE ID = 1")),
        Value(QStringLiteral("otro")));
}

// A NUL inside a text is stored with the rest, not the end of the statement.
TEST_F(SqliteProvider, stores_a_text_holding_a_nul_whole)
{
    const QString texto = QStringLiteral("Tornillo") + QChar(0) + QStringLiteral("oculto");

    exec(QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, GRUPO, VALOR) VALUES ('NUL', "
                        "'DATOS', N'%1')")
             .arg(texto));

    EXPECT_EQ(scalar(QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = 'NUL'")),
        Value(texto));
}

TEST_F(SqliteProvider, stores_dates_and_flags_in_one_form_whatever_form_they_come_in)
{
    exec(QStringLiteral("CREATE TABLE FECHAS (ID INTEGER PRIMARY KEY, F datetime, B bit)"));
    reopen();
    exec(QStringLiteral("INSERT INTO FECHAS (F) VALUES ('05/03/2024')"));
    exec(QStringLiteral("INSERT INTO FECHAS (F) VALUES ('2024-03-05')"));
    exec(QStringLiteral("INSERT INTO FECHAS (F) VALUES ('5/3/24 10:30')"));
    exec(QStringLiteral("INSERT INTO FECHAS (F, B) VALUES ('', 'True')"));
    AdoRecordset rs;
    ASSERT_TRUE(rs.Open(
        QStringLiteral("SELECT F FROM FECHAS"), m_cnn.get(), adOpenStatic, adLockOptimistic));
    ASSERT_TRUE(rs.AddNew());
    rs.Fields(0).setValue(Value(QDate(2024, 3, 5)));
    ASSERT_TRUE(rs.Update());
    rs.Close();

    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM FECHAS WHERE F = '05/03/2024'")),
        Value(qint32(3)));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM FECHAS WHERE F BETWEEN '2024-03-05' AND "
                                    "'05/03/2024 23:59'")),
        Value(qint32(4)));
    EXPECT_EQ(scalar(QStringLiteral("SELECT F FROM FECHAS ORDER BY F")),
        Value(QDateTime(QDate(1900, 1, 1), QTime(0, 0))));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM FECHAS WHERE B = 1")), Value(qint32(1)));
    EXPECT_FALSE(m_cnn->Execute(QStringLiteral("UPDATE FECHAS SET F = 'mañana' WHERE ID = 1")));
    EXPECT_EQ(m_cnn->Errors().Item(0).NativeError(), 241)
        << m_cnn->Errors().Item(0).Description().toStdString();
}

TEST_F(SqliteProvider, a_script_batch_goes_on_after_a_refused_row_and_rolls_back)
{
    qint64 affected = 0;
    const QString script
        = QStringLiteral("BEGIN TRANSACTION \r\r\r"
                         "\rINSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('X1', 'uno')"
                         "\rINSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('x1', 'dos')"
                         "\rINSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('X3', 'tres')\r");

    EXPECT_FALSE(m_cnn->Execute(script, &affected));

    EXPECT_EQ(affected, 2);
    ASSERT_GE(m_cnn->Errors().Count(), 1);
    EXPECT_EQ(m_cnn->Errors().Item(0).NativeError(), 2627);
    ASSERT_TRUE(m_cnn->Execute(QStringLiteral("ROLLBACK TRANSACTION")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS WHERE Codigo LIKE 'x%'")),
        Value(qint32(0)));

    ASSERT_TRUE(m_cnn->Execute(QStringLiteral("BEGIN TRANSACTION \r\r\r\rINSERT INTO MA_CUENTAS "
                                              "(Codigo) VALUES ('X9')\r"),
        &affected));
    ASSERT_TRUE(m_cnn->Execute(QStringLiteral("COMMIT TRANSACTION")));
    EXPECT_FALSE(m_cnn->Execute(QStringLiteral("COMMIT TRANSACTION")));
    EXPECT_EQ(m_cnn->Errors().Item(0).NativeError(), 3902);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS WHERE Codigo = 'x9'")),
        Value(qint32(1)));
}

TEST_F(SqliteProvider, transactions_if_exists_and_untranslatable_statements)
{
    ASSERT_TRUE(m_cnn->BeginTrans());
    exec(QStringLiteral("IF NOT EXISTS (SELECT * FROM MA_CUENTAS WHERE Codigo = 'Q1') INSERT INTO "
                        "MA_CUENTAS (Codigo) VALUES ('Q1')"));
    exec(QStringLiteral("IF NOT EXISTS (SELECT * FROM MA_CUENTAS WHERE Codigo = 'q1') INSERT INTO "
                        "MA_CUENTAS (Codigo) VALUES ('Q1')"));
    ASSERT_TRUE(m_cnn->RollbackTrans());
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS WHERE Codigo = 'Q1'")),
        Value(qint32(0)));

    EXPECT_FALSE(m_cnn->Execute(QStringLiteral("DECLARE @n int")));
    ASSERT_EQ(m_cnn->Errors().Count(), 1);
    EXPECT_EQ(m_cnn->Errors().Item(0).Number(), AdoErrorNumber::ErrorsInCommand);
    EXPECT_TRUE(m_cnn->Errors().Item(0).Description().contains(QStringLiteral("DECLARE")));
    // The next command clears what the last one left.
    exec(QStringLiteral("SELECT 1"));
    EXPECT_EQ(m_cnn->Errors().Count(), 0);
}

TEST_F(SqliteProvider, execute_counts_rows_and_can_hand_back_the_rows)
{
    qint64 affected = -5;
    ASSERT_TRUE(m_cnn->Execute(QStringLiteral("UPDATE V_MA_ARTICULOS SET PUNTOPEDIDO = 1 WHERE "
                                              "IDARTICULO IN (SELECT TOP 3 IDARTICULO FROM "
                                              "V_MA_ARTICULOS ORDER BY IDARTICULO)"),
        &affected));
    EXPECT_EQ(affected, 3);

    AdoRecordset rs;
    ASSERT_TRUE(m_cnn->Execute(QStringLiteral("select  getDate() as fecha"), nullptr, -1, &rs));
    EXPECT_EQ(rs.Fields(QStringLiteral("fecha")).Value().type(), ValueType::Text);
    EXPECT_FALSE(rs.Eof());
}

TEST_F(SqliteProvider, schema_rowsets_list_tables_and_columns)
{
    AdoRecordset rs;
    ASSERT_TRUE(m_cnn->OpenSchema(adSchemaTables, {}, rs));
    bool found = false;
    while (!rs.Eof()) {
        found = found
            || rs.Fields(QStringLiteral("TABLE_NAME"))
                    .Value()
                    .toString()
                    .compare(QStringLiteral("ma_cuentas"), Qt::CaseInsensitive)
                == 0;
        rs.MoveNext();
    }
    EXPECT_TRUE(found);
    rs.Close();

    ASSERT_TRUE(m_cnn->OpenSchema(adSchemaColumns,
        { Value(QStringLiteral("DEMO")), Value(), Value(QStringLiteral("ma_cuentas")) }, rs));
    QStringList columns;
    while (!rs.Eof()) {
        columns.append(rs.Fields(QStringLiteral("COLUMN_NAME")).Value().toString());
        rs.MoveNext();
    }
    EXPECT_EQ(columns.join(u','),
        QStringLiteral("Codigo,CodigoOpcional,Descripcion,MedioDePago,TipoVista"));
    rs.Close();

    // Asked again after the table changed, the columns are those of now.
    exec(QStringLiteral("ALTER TABLE ma_cuentas ADD COLUMN Nueva varchar(10)"));
    ASSERT_TRUE(m_cnn->OpenSchema(adSchemaColumns,
        { Value(QStringLiteral("DEMO")), Value(), Value(QStringLiteral("ma_cuentas")) }, rs));
    rs.MoveLast();
    EXPECT_EQ(rs.Fields(QStringLiteral("COLUMN_NAME")).Value(), Value(QStringLiteral("Nueva")));
}

TEST_F(SqliteProvider, forward_only_reads_100000_rows_holding_one_at_a_time)
{
    exec(QStringLiteral("CREATE TABLE MUCHOS (N int, T varchar(20))"));
    exec(QStringLiteral("WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < "
                        "100000) INSERT INTO MUCHOS SELECT n, 'fila ' || n FROM c"));
    AdoRecordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT N, T FROM MUCHOS"), m_cnn.get()));

    qint64 rows = 0;
    qint64 sum = 0;
    qsizetype most = 0;
    while (!rs.Eof()) {
        sum += rs.Fields(0).Value().toLongLong();
        most = qMax(most, rs.bufferedRowCount());
        ++rows;
        rs.MoveNext();
    }

    EXPECT_EQ(rows, 100000);
    EXPECT_EQ(sum, qint64(100000) * 100001 / 2);
    EXPECT_EQ(most, 1);
    // Past the first row MoveFirst runs the statement again.
    rs.MoveFirst();
    EXPECT_EQ(rs.Fields(QStringLiteral("n")).Value(), Value(qint32(1)));
    EXPECT_TRUE(rs.Close());
    // Closed, it holds nothing: the table can be dropped at once.
    exec(QStringLiteral("DROP TABLE MUCHOS"));
}

// However the program ends, its connections are closed on the way out: the last changes are in
// the file itself, and no journal is left beside it.
TEST_F(SqliteProvider, ending_the_program_closes_the_connections_and_leaves_the_file_whole)
{
    m_cnn.reset();
    const QString marca = QStringLiteral("antes de Cerrar");

    EXPECT_EXIT(
        {
            auto cnn = m_provider->createConnection();
            const bool written = cnn->Open(sqliteText(m_file))
                && cnn->Execute(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '%1' WHERE "
                                               "CLAVE = (SELECT MIN(CLAVE) FROM TA_CONFIGURACION)")
                                    .arg(marca));
            ExitProgramEnd().end(written ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");

    EXPECT_EQ(journalsBeside(m_file), QStringList());
    EXPECT_EQ(onACopyOfTheFileAlone(m_file,
                  "SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = (SELECT MIN(CLAVE) FROM "
                  "TA_CONFIGURACION)"),
        marca);
}

namespace {

struct CloseHook
{
    QtAdoProvider* provider;
    bool make;
    std::unique_ptr<AdoConnection> other;
};

// The end of a program whose first connection's close makes another connection (`make`) or
// destroys one still open: the exit status of the process, 0 when every connection was closed
// and the one destroyed is gone, 3 when the end still hangs after 10 s.
int endWithACloseThat(QtAdoProvider& provider, const QString& file, bool make)
{
    auto closing = provider.createConnection();
    const QStringList names = QSqlDatabase::connectionNames();
    const bool opened = closing->Open(sqliteText(file));
    sqlite3* handle = handleMadeSince(names);
    CloseHook hook { &provider, make, nullptr };
    if (!make) {
        hook.other = provider.createConnection();
        hook.other->Open(sqliteText(file));
    }
    // The close rolls the open transaction back, and the hook runs inside it.
    if (!opened || !handle || !closing->BeginTrans())
        return 2;
    sqlite3_rollback_hook(
        handle,
        [](void* data) {
            auto* h = static_cast<CloseHook*>(data);
            if (h->make)
                h->other = h->provider->createConnection();
            else
                h->other.reset();
        },
        &hook);
    std::promise<void> ended;
    std::thread([done = ended.get_future()] {
        if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
            std::_Exit(3);
    }).detach();

    QtAdoConnection::closeAll();

    ended.set_value();
    return closing->State() == adStateClosed && (make || !hook.other) ? 0 : 4;
}

} // namespace

// A close that makes or destroys another connection (here from SQLite's rollback hook, as any
// code a close runs may) does not hang the program's end.
TEST_F(SqliteProvider, the_end_closes_connections_that_a_close_makes_or_destroys)
{
    m_cnn.reset();
    for (const bool make : { true, false }) {
        SCOPED_TRACE(make ? "made during a close" : "destroyed during a close");

        EXPECT_EXIT(std::_Exit(endWithACloseThat(*m_provider, m_file, make)),
            ::testing::ExitedWithCode(0), "");
    }
}

// The last connection out puts the file back in its own journal: a copy of the file alone is the
// whole database, and it can be read where no journal can be made (a read-only folder or mount).
TEST_F(SqliteProvider, the_last_connection_out_leaves_the_file_whole_in_its_own_journal)
{
    auto second = m_provider->createConnection();
    ASSERT_TRUE(second->Open(sqliteText(m_file)));
    exec(QStringLiteral("CREATE TABLE HECHO (N int)"));
    exec(QStringLiteral("INSERT INTO HECHO VALUES (7)"));

    ASSERT_TRUE(m_cnn->Close());
    // The other one is still on the file: the write-ahead journal stays for it.
    EXPECT_TRUE(QFileInfo::exists(m_file + QStringLiteral("-wal")));
    ASSERT_TRUE(second->Close());

    EXPECT_EQ(journalsBeside(m_file), QStringList());
    // Bytes 18 and 19 of the header: 1 for the rollback journal, 2 for the write-ahead one.
    EXPECT_EQ(fileBytes(m_file).mid(18, 2), QByteArray("\x01\x01", 2));
    EXPECT_EQ(onACopyOfTheFileAlone(m_file, "SELECT N FROM HECHO"), QStringLiteral("7"));
}

// A path that holds no database is refused with one message saying what is there, and left as
// it is: SQLite would make an empty file a new database, and a FIFO opened to read would wait.
TEST_F(SqliteProvider, a_path_that_holds_no_database_is_refused_saying_what_it_is)
{
    const QDir dir(m_dir.path());
    const QString fifo = dir.filePath(QStringLiteral("TUBERIA.db"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QString link = dir.filePath(QStringLiteral("ENLACE.db"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("NADA.db")), link));
    ASSERT_TRUE(dir.mkdir(QStringLiteral("CARPETA.db")));
    const struct
    {
        QString path;
        std::optional<QByteArray> bytes; // a regular file's contents
        QString message;
    } rows[] = {
        { dir.filePath(QStringLiteral("VACIO.db")), QByteArray(),
            QStringLiteral("El archivo \"%1\" no es una base de datos.") },
        { dir.filePath(QStringLiteral("TEXTO.db")),
            QByteArray("Lista de precios\nArticulo;Precio\n"),
            QStringLiteral("El archivo \"%1\" no es una base de datos.") },
        // A database's first bytes and then none of its pages: told without SQLite's English.
        { dir.filePath(QStringLiteral("CORTADO.db")), QByteArray("SQLite format 3\0basura", 22),
            QStringLiteral("No se puede abrir la base de datos \"%1\": El archivo no es una base "
                           "de datos.") },
        { link, std::nullopt,
            QStringLiteral("No se puede abrir la base de datos \"%1\": es un enlace a un archivo "
                           "que no existe.") },
        { dir.filePath(QStringLiteral("CARPETA.db")), std::nullopt,
            QStringLiteral("No se puede abrir la base de datos \"%1\": es una carpeta, no un "
                           "archivo.") },
        { fifo, std::nullopt,
            QStringLiteral("No se puede abrir la base de datos \"%1\": es una tubería con nombre "
                           "(FIFO), no un archivo.") },
        { QStringLiteral("/dev/null"), std::nullopt,
            QStringLiteral("No se puede abrir la base de datos \"%1\": es un dispositivo, no un "
                           "archivo.") },
        { QStringLiteral("/dev/zero"), std::nullopt,
            QStringLiteral("No se puede abrir la base de datos \"%1\": es un dispositivo, no un "
                           "archivo.") },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path.toStdString());
        if (row.bytes) {
            QFile file(row.path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(*row.bytes);
        }
        auto cnn = m_provider->createConnection();

        EXPECT_FALSE(cnn->Open(sqliteText(row.path)));

        EXPECT_EQ(cnn->LastError().description(), row.message.arg(row.path));
        EXPECT_EQ(cnn->State(), adStateClosed);
        if (row.bytes) {
            EXPECT_EQ(fileBytes(row.path), *row.bytes);
        }
        EXPECT_EQ(journalsBeside(row.path), QStringList());
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("NADA.db"))));
}

// A file with two names on the disk, used by both at once, is read by each and written by none:
// SQLite keeps a journal beside each name, and two writers by two names damage the file.
TEST_F(SqliteProvider, a_file_with_two_names_is_read_by_both_and_written_by_neither)
{
    m_cnn.reset();
    const QString other = m_dir.filePath(QStringLiteral("DEMO2.db"));
    ASSERT_EQ(
        ::link(QFile::encodeName(m_file).constData(), QFile::encodeName(other).constData()), 0);
    const QByteArray before = fileBytes(m_file);
    std::unique_ptr<AdoConnection> both[]
        = { m_provider->createConnection(), m_provider->createConnection() };
    ASSERT_TRUE(both[0]->Open(sqliteText(m_file)))
        << both[0]->LastError().description().toStdString();
    ASSERT_TRUE(both[1]->Open(sqliteText(other)))
        << both[1]->LastError().description().toStdString();

    for (const auto& cnn : both) {
        AdoRecordset rs;
        ASSERT_TRUE(rs.Open(QStringLiteral("SELECT COUNT(*) FROM TA_CONFIGURACION"), cnn.get()));
        EXPECT_GT(rs.Fields(0).Value().toLongLong(), 0);
        rs.Close();
        EXPECT_FALSE(cnn->Execute(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = 'x'")));
        EXPECT_TRUE(cnn->LastError().description().startsWith(
            QStringLiteral("No se puede escribir en la base de datos: el archivo tiene otro "
                           "nombre en el disco (un enlace duro)")))
            << cnn->LastError().description().toStdString();
    }
    for (const auto& cnn : both)
        cnn->Close();

    EXPECT_EQ(fileBytes(m_file), before);
    EXPECT_EQ(journalsBeside(m_file) + journalsBeside(other), QStringList());

    // Left with a write-ahead journal, its files may lie beside the other name: not read.
    {
        QSqlDatabase shell
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("shell"));
        shell.setDatabaseName(m_file);
        ASSERT_TRUE(shell.open());
        ASSERT_TRUE(QSqlQuery(shell).exec(QStringLiteral("PRAGMA journal_mode = WAL")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("shell"));
    auto cnn = m_provider->createConnection();

    EXPECT_FALSE(cnn->Open(sqliteText(other)));

    EXPECT_TRUE(cnn->LastError().description().endsWith(QStringLiteral(
        "Deje al archivo un solo nombre, y ábrala y ciérrela una vez por ese nombre.")))
        << cnn->LastError().description().toStdString();
}

// What another account that may not write the database (uid 1235) puts at its journals' names in
// a folder open to every account is never taken for the file's journal: the file is refused as it
// is, naming what stands beside it. A write-ahead journal that the owner's own killed run left is
// still taken in.
TEST_F(SqliteProvider, a_journal_planted_by_an_account_that_may_not_write_the_file_is_not_used)
{
    if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) {
        ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true")) << "CI runs as root";
        GTEST_SKIP() << "the other account's side runs as uid 1235 through setpriv, as root";
    }
    m_cnn.reset();
    ASSERT_EQ(::chmod(QFile::encodeName(m_dir.path()).constData(), 01777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(m_file).constData(), 0644), 0);
    // A copy of the database whose changes stay in its journal, as a run killed before its
    // checkpoint (wal) or in the middle of a transaction (journal) leaves them.
    const QString copia = QStringLiteral(
        "import os, shutil, sqlite3, sys\n"
        "shutil.copyfile(sys.argv[1], sys.argv[2])\n"
        "c = sqlite3.connect(sys.argv[2], isolation_level=None)\n"
        "if sys.argv[3] == 'wal':\n"
        "    c.execute('PRAGMA journal_mode = WAL'); c.execute('PRAGMA wal_autocheckpoint = 0')\n"
        "c.execute(\"UPDATE TA_CONFIGURACION SET VALOR = 'plantado'\")\n"
        "if sys.argv[3] == 'journal':\n"
        "    c.execute('PRAGMA cache_size = 1'); c.execute('BEGIN')\n"
        "    c.execute(\"UPDATE TA_CONFIGURACION SET VALOR = 'otro' || VALOR\")\n"
        "os._exit(0)\n");
    const QString copiaDe = m_dir.filePath(QStringLiteral("copia.db"));
    const struct
    {
        const char* caso;
        uid_t cuenta;
        const char* orden; // given the database as $1 and a folder of that account's as $2
        const char* junto; // the journal named, when the file is refused
    } filas[] = {
        { "a write-ahead journal of changes", 1235,
            "python3 -c \"$3\" \"$1\" \"$2\" wal && cp \"$2-wal\" \"$1-wal\" && chmod 666 "
            "\"$1-wal\"",
            "-wal" },
        { "a hot rollback journal", 1235,
            "python3 -c \"$3\" \"$1\" \"$2\" journal && cp \"$2-journal\" \"$1-journal\"",
            "-journal" },
        { "empty write-ahead journal files", 1235,
            ": > \"$1-wal\" && : > \"$1-shm\" && chmod 444 \"$1-wal\" \"$1-shm\"", "-wal" },
        { "an empty shared-memory file", 1235, ": > \"$1-shm\" && chmod 444 \"$1-shm\"", "-shm" },
        { "an empty write-ahead journal", 1235, ": > \"$1-wal\" && chmod 444 \"$1-wal\"", "-wal" },
        { "an empty rollback journal", 1235, ": > \"$1-journal\" && chmod 444 \"$1-journal\"",
            "-journal" },
        // Told by the link's owner, not by what it points at.
        { "a link at the journal's name to the database", 1235, "ln -s \"$1\" \"$1-journal\"",
            "-journal" },
        { "the owner's own killed run's write-ahead journal", 0,
            "python3 -c \"$3\" \"$1\" \"$2\" wal && cp \"$2-wal\" \"$1-wal\"", nullptr },
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(f.caso);
        const QByteArray antes = fileBytes(m_file);
        ASSERT_EQ(
            QProcess::execute(QStringLiteral("setpriv"),
                { QStringLiteral("--reuid=%1").arg(f.cuenta),
                    QStringLiteral("--regid=%1").arg(f.cuenta), QStringLiteral("--clear-groups"),
                    QStringLiteral("/bin/sh"), QStringLiteral("-c"), QString::fromLatin1(f.orden),
                    QStringLiteral("sh"), m_file, copiaDe, copia }),
            0);
        const QStringList plantados = journalsBeside(m_file);
        auto cnn = m_provider->createConnection();

        const bool abierta = cnn->Open(sqliteText(m_file));

        if (f.junto) {
            EXPECT_FALSE(abierta);
            EXPECT_EQ(cnn->LastError().description(),
                QStringLiteral("No se abre la base de datos \"%1\": a su lado está \"%1%2\", del "
                               "usuario 1235, que no puede escribir la base, y SQLite lo tomaría "
                               "por su diario y cambiaría con él la base; solo puede quitarlo 1235 "
                               "o root.")
                    .arg(m_file, QLatin1String(f.junto)));
            EXPECT_TRUE(fileBytes(m_file) == antes) << "the file was changed";
            EXPECT_EQ(journalsBeside(m_file), plantados);
        } else {
            ASSERT_TRUE(abierta) << cnn->LastError().description().toStdString();
            AdoRecordset rs;
            ASSERT_TRUE(rs.Open(QStringLiteral("SELECT COUNT(*) FROM TA_CONFIGURACION WHERE VALOR "
                                               "<> 'plantado'"),
                cnn.get()));
            EXPECT_EQ(rs.Fields(0).Value().toLongLong(), 0);
        }
        cnn.reset();
        for (const QString& nombre :
            journalsBeside(m_file) + journalsBeside(copiaDe) + QStringList { copiaDe })
            QFile::remove(nombre);
    }
    EXPECT_EQ(onACopyOfTheFileAlone(m_file, "PRAGMA integrity_check"), QStringLiteral("ok"));
}

// Failures of the file itself come in the program's words alone: SQLite's English would only
// puzzle the operator.
TEST_F(SqliteProvider, failures_of_the_file_itself_are_told_in_spanish)
{
    exec(QStringLiteral("CREATE TABLE GRANDE (T text)"));
    const struct
    {
        const char* setting;
        const char* text;
    } rows[] = {
        // No page more than the file has: as a full disk.
        { "PRAGMA max_page_count = 1",
            "La base de datos o el disco están llenos: el cambio no se guardó." },
        { "PRAGMA query_only = 1",
            "No se puede escribir en la base de datos: es de solo lectura para este usuario (el "
            "archivo o su carpeta)." },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.setting);
        reopen();
        exec(QString::fromUtf8(row.setting));

        EXPECT_FALSE(m_cnn->Execute(
            QStringLiteral("INSERT INTO GRANDE VALUES ('%1')").arg(QString(20000, u'x'))));

        EXPECT_EQ(m_cnn->LastError().description(), QString::fromUtf8(row.text));
    }
}

// A closed engine lets its kept statements go with its connection: opened again on another file,
// it reads that file.
TEST(SqliteEngineReopen, a_closed_engine_keeps_no_statement_of_its_connection)
{
    QTemporaryDir dir;
    QStringList paths;
    for (const char* value : { "primero", "segundo" }) {
        const QString path = dir.filePath(QLatin1String(value) + QStringLiteral(".db"));
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        const QByteArray sql
            = QByteArray("CREATE TABLE T (ID int, V text); INSERT INTO T VALUES (1, '") + value
            + "');";
        EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        paths << path;
    }
    AdoErrors errors;
    SqliteEngine engine(errors);
    const auto read = [&] {
        std::unique_ptr<AdoCursor> cursor
            = engine.openCursor(QStringLiteral("SELECT V FROM T WHERE ID = 1"), false);
        AdoRow row;
        return cursor && cursor->fetch(row) ? row.values.value(0).toString() : QString();
    };
    ASSERT_TRUE(engine.open(paths.at(0)));
    ASSERT_EQ(read(), QStringLiteral("primero"));

    engine.close();
    ASSERT_TRUE(engine.open(paths.at(1)));

    EXPECT_EQ(read(), QStringLiteral("segundo"));
    engine.close();
}

// A report sorted otherwise than its rows lie searches an index for each row: with SQLite's
// default 2 MB cache it reads a large file's pages over and over, and runs far slower. The
// program's connection keeps what it has read, far beyond that.
TEST_F(SqliteProvider, a_connection_keeps_the_pages_it_read_of_a_large_file)
{
    {
        // About 12 MB of rows, six times SQLite's default cache.
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(m_file).constData(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db,
                      "CREATE TABLE GRANDE (T text); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                      "SELECT i + 1 FROM n WHERE i < 3000) INSERT INTO GRANDE SELECT "
                      "hex(randomblob(2000)) FROM n",
                      nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
    }
    auto cnn = m_provider->createConnection();
    const QStringList names = QSqlDatabase::connectionNames();
    ASSERT_TRUE(cnn->Open(sqliteText(m_file)));
    sqlite3* handle = handleMadeSince(names);
    ASSERT_NE(handle, nullptr);

    AdoRecordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT T FROM GRANDE"), cnn.get()));
    int rows = 0;
    for (; !rs.Eof(); rs.MoveNext())
        ++rows;
    rs.Close();

    ASSERT_EQ(rows, 3000);
    int kept = 0;
    int most = 0;
    ASSERT_EQ(sqlite3_db_status(handle, SQLITE_DBSTATUS_CACHE_USED, &kept, &most, 0), SQLITE_OK);
    EXPECT_GT(kept, 10 * 1024 * 1024);
}

// A command time-out of 0 waits for a lock as long as it is held, as the server does.
TEST_F(SqliteProvider, a_command_timeout_of_0_waits_for_a_lock_without_end)
{
    auto holder = m_provider->createConnection();
    ASSERT_TRUE(holder->Open(sqliteText(m_file)));
    ASSERT_TRUE(holder->BeginTrans());
    m_cnn->setCommandTimeout(0);

    std::future<bool> write = std::async(std::launch::async, [&] {
        return m_cnn->Execute(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = VALOR"));
    });

    // Still waiting while the lock is held (a write that did not wait has failed by now).
    EXPECT_EQ(write.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    ASSERT_TRUE(holder->RollbackTrans());
    EXPECT_TRUE(write.get()) << m_cnn->LastError().description().toStdString();
}

} // namespace

// Under the old journal another process's write lock keeps even the schema from being read: a read
// fails at its first wait instead of waiting the time-out out again in another form.
TEST_F(SqliteProvider, a_read_of_a_file_held_under_the_old_journal_waits_once)
{
    m_cnn->Close();
    m_cnn.reset();
    QSqlDatabase otro
        = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("otro"));
    otro.setDatabaseName(m_file);
    ASSERT_TRUE(otro.open());
    ASSERT_TRUE(QSqlQuery(otro).exec(QStringLiteral("PRAGMA journal_mode = DELETE")));
    ASSERT_TRUE(QSqlQuery(otro).exec(QStringLiteral("BEGIN EXCLUSIVE")));
    QtAdoProvider esperaCorta(
        QtAdoProvider::Settings { .programFolder = m_dir.path(), .lockWaitMs = 5 });
    const std::unique_ptr<AdoConnection> cnn = esperaCorta.createConnection();
    const QStringList names = QSqlDatabase::connectionNames();
    ASSERT_TRUE(cnn->Open(sqliteText(QStringLiteral("DEMO"))));
    sqlite3* handle = handleMadeSince(names);
    ASSERT_NE(handle, nullptr);
    // Each wait for the lock starts with a call of the busy handler that has waited nothing yet;
    // this one gives up at once, as a wait that has run out does.
    int waits = 0;
    sqlite3_busy_handler(
        handle,
        [](void* count, int tries) {
            if (tries == 0)
                ++*static_cast<int*>(count);
            return 0;
        },
        &waits);
    const struct
    {
        const char* sql;
        int cursor;
        int lock;
    } lecturas[] = {
        { "SELECT COUNT(*) FROM TA_CONFIGURACION", adOpenStatic, adLockReadOnly },
        { "SELECT * FROM TA_CONFIGURACION WHERE CLAVE = 'X'", adOpenForwardOnly, adLockReadOnly },
        { "SELECT TOP 1 * FROM TA_CONFIGURACION", adOpenDynamic, adLockOptimistic },
    };
    for (const auto& l : lecturas) {
        SCOPED_TRACE(l.sql);
        const int antes = cnn->timeoutCount();
        waits = 0;
        AdoRecordset rs;

        EXPECT_FALSE(rs.Open(QLatin1String(l.sql), cnn.get(), l.cursor, l.lock));

        EXPECT_EQ(waits, 1);
        EXPECT_EQ(cnn->timeoutCount() - antes, 1);
    }
    cnn->Close();
    QSqlQuery(otro).exec(QStringLiteral("ROLLBACK"));
    otro.close();
    otro = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("otro"));
}
