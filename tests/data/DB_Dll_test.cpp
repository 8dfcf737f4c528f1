#include "data/DB_Dll.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "data/DataObjects.h"
#include "platform/Environment.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

using testsupport::readFile;

TEST(DB_DllText, builds_the_connection_texts_byte_for_byte)
{
    struct Row
    {
        const char* servidor;
        const char* dbName;
        const char* usuario;
        const char* password;
        const char* extended;
        const char* text;
    };
    const Row rows[] = {
        // Nothing set: every value empty, and the open will fail on it.
        { "", "", "", "", "", "PROVIDER=SQLOLEDB;Server=;Database =;UId=;Pwd=;" },
        { "SRV01\\INST", "GESTION", "sa", "clave", "",
            "PROVIDER=SQLOLEDB;Server=SRV01\\INST;Database =GESTION;UId=sa;Pwd=clave;" },
        // Extra attributes follow the last ";" with no separator of their own.
        { "SRV", "DB", "u", "p", "Connect Timeout=5;",
            "PROVIDER=SQLOLEDB;Server=SRV;Database =DB;UId=u;Pwd=p;Connect Timeout=5;" },
        // A "#" anywhere marks Oracle: the server itself is not written, nor the extras.
        { "#", "", "", "", "x=1;", "Provider=OraOLEDB.Oracle.1;Data Source=;User Id=;Password=;" },
        { "ORA#1", "XE", "ventas", "v1", "x=1;",
            "Provider=OraOLEDB.Oracle.1;Data Source=XE;User Id=ventas;Password=v1;" },
    };
    for (const Row& row : rows) {
        DB_Dll db;
        db.gServidor = QString::fromUtf8(row.servidor);
        db.gDBName = QString::fromUtf8(row.dbName);
        db.gUsuario = QString::fromUtf8(row.usuario);
        db.gUserPassWord = QString::fromUtf8(row.password);
        db.gExtended = QString::fromUtf8(row.extended);

        EXPECT_EQ(db.connectionTextFromMembers(), QString::fromUtf8(row.text)) << row.servidor;
    }
}

TEST(DB_DllText, renders_values_as_sql_literals)
{
    struct Row
    {
        Value value;
        const char16_t* tipo;
        const char16_t* literal;
    };
    const Row rows[] = {
        { QStringLiteral("ABC"), u"'", u"'ABC'" },
        { QString(), u"'", u"''" },
        { Value(), u"'", u"''" }, // Empty reads as the empty text
        { Value::null(), u"'", u"NULL" },
        { Value::null(), u"", u"NULL" },
        { Value::null(), u"@", u"0" },
        // Apostrophes inside are doubled, so the name stays one literal.
        { QStringLiteral("D'Angelo"), u"'", u"'D''Angelo'" },
        { QStringLiteral("x' OR '1'='1"), u"'", u"'x'' OR ''1''=''1'" },
        // Amounts: a point whatever the workstation writes, no trailing zeros.
        { QStringLiteral("12,5"), u"@", u"12.5" },
        { 12.5, u"@", u"12.5" },
        { QStringLiteral("3"), u"@", u"3" },
        { QStringLiteral("-0,25"), u"@", u"-0.25" },
        { Currency::fromRaw(123456789), u"@", u"12345.6789" },
        { QStringLiteral("X"), u"", u"X" },
        { qint32(7), u"'", u"'7'" },
        // Only "@" and "'" mean something; "@ " is neither.
        { QStringLiteral("5"), u"@ ", u"5" },
        { QDate(2024, 3, 5), u"'", u"'2024-03-05'" },
    };
    DB_Dll db;
    for (const Row& row : rows) {
        const QString tipo = QString::fromUtf16(row.tipo);

        EXPECT_EQ(db.SQLValue(row.value, tipo), QString::fromUtf16(row.literal))
            << row.value.toString().toStdString() << " " << tipo.toStdString();
        EXPECT_EQ(db.SQLValue2(row.value, tipo), db.SQLValue(row.value, tipo));
    }
    EXPECT_EQ(db.SQLValue(QStringLiteral("ABC")), QStringLiteral("'ABC'"));
}

TEST(DB_DllText, an_amount_that_is_no_number_raises_type_mismatch)
{
    DB_Dll db;

    try {
        db.SQLValue(QStringLiteral("doce"), QStringLiteral("@"));
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), RuntimeError::TypeMismatch);
    }
}

TEST(DB_DllText, classifies_field_types_into_groups)
{
    struct Row
    {
        int type;
        bool date, text, number, currency, boolean;
    };
    const Row rows[] = {
        { 135, true, false, false, false, false },
        { 7, true, false, false, false, false },
        { 64, true, false, false, false, false },
        { 137, true, false, false, false, false },
        { 202, false, true, false, false, false },
        { 8, false, true, false, false, false },
        { 129, false, true, false, false, false },
        { 3, false, false, true, false, false },
        { 131, false, false, true, false, false },
        { 21, false, false, true, false, false },
        { 6, false, false, false, true, false },
        { 11, false, false, false, false, true },
        { 0, false, false, false, false, false },
        { 205, false, false, false, false, false },
        { 72, false, false, false, false, false },
    };
    DB_Dll db;
    for (const Row& row : rows) {
        EXPECT_EQ(db.adodate(row.type), row.date) << row.type;
        EXPECT_EQ(db.ADOText(row.type), row.text) << row.type;
        EXPECT_EQ(db.ADONumeric(row.type), row.number) << row.type;
        EXPECT_EQ(db.ADOCurrency(row.type), row.currency) << row.type;
        EXPECT_EQ(db.ADOBoolean(row.type), row.boolean) << row.type;
        EXPECT_EQ(db.ADOComilla(row.type), row.date || row.text ? QStringLiteral("'") : QString())
            << row.type;
    }
}

TEST(DB_DllText, rewrites_for_oracle_only_on_an_oracle_connection_text)
{
    DB_Dll db;
    const QString sql = QStringLiteral("SELECT TOP 1 ISNULL(A,0) FROM [T]");

    db.gConnString = QStringLiteral("PROVIDER=SQLOLEDB;Server=S;Database =D;UId=u;Pwd=p;");
    EXPECT_EQ(db.ORACLE_Dicc(sql), sql);
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("LEN")), QStringLiteral("LEN"));

    db.gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=XE;");
    EXPECT_EQ(
        db.ORACLE_Dicc(sql), QStringLiteral("SELECT  NVL(A,0) FROM \"T\"  WHERE ROWNUM <= 1  "));
}

TEST(DB_DllText, restricts_views_by_the_administrator_flag_and_confidentiality)
{
    DB_Dll db;
    const QString journal = QStringLiteral("SELECT * FROM MV_ASIENTOS WHERE 1=1");

    EXPECT_EQ(db.SS_TSinonimos(journal), journal); // confidentiality unknown: off

    DataSettings settings;
    settings.gConfidencialidad = true;
    ScopedService<DataSettings> installed(settings);
    EXPECT_EQ(db.SS_TSinonimos(journal), QStringLiteral("SELECT * FROM SS_MV_ASIENTOS WHERE 1=1"));

    db.gEsAdmin = true;
    EXPECT_EQ(db.SS_TSinonimos(journal), journal);
}

class TratamientoErroresTest : public ::testing::Test
{
protected:
    void SetUp() override { testsupport::environment().setExecutableFolder(m_programDir.path()); }

    // The program's own log, in the data folder: an installed program folder is read-only.
    static QString programLog()
    {
        return QDir(dataFolder()).filePath(QStringLiteral("KZQERR.LOG"));
    }

    QTemporaryDir m_programDir;
    DB_Dll m_db;
    const RuntimeError m_error { 3219, QStringLiteral("Operacion no permitida en este contexto. "),
        QStringLiteral("ADODB.Recordset") };
};

TEST_F(TratamientoErroresTest, shows_the_error_and_logs_it_in_the_data_folder)
{
    testsupport::messages().answer(Msg::Ignore);

    const int answer = m_db.TratamientoErrores(m_error, 18, QStringLiteral("CierraRecordset"));

    EXPECT_EQ(answer, Msg::Ignore);
    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    const testsupport::ShownBox& box = testsupport::messages().shown()[0];
    EXPECT_EQ(
        box.title, QStringLiteral("ADODB.Recordset - CierraRecordset Aviso al operador!!! - 5 "));
    EXPECT_EQ(box.text,
        QStringLiteral("Ha ocurrido el Siguiente Error (3219) Operacion no "
                       "permitida en este contexto."));
    EXPECT_EQ(box.style, 18);
    EXPECT_EQ(readFile(programLog()),
        QByteArray("03-15-2024 10:30:45 Rutina: - CierraRecordset Mensaje Ha ocurrido el "
                   "Siguiente Error (3219) Operacion no permitida en este contexto. "
                   "Respondi\xf3 : Ignorar\r\n"));
    EXPECT_FALSE(QFile::exists(QDir(programFolder()).filePath(QStringLiteral("KZQERR.LOG"))));
}

TEST_F(TratamientoErroresTest, writes_to_the_chosen_log_file_and_creates_it)
{
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("errores_datos.log"));
    m_db.setArchivoErrores(chosen);
    testsupport::messages().answer(Msg::Abort);

    m_db.TratamientoErrores(m_error);

    EXPECT_EQ(m_db.ArchivoErrores(), chosen);
    EXPECT_EQ(m_db.gLogErr, chosen);
    EXPECT_EQ(testsupport::messages().shown()[0].title,
        QStringLiteral("ADODB.Recordset Aviso al operador!!! - 5 "));
    EXPECT_TRUE(readFile(chosen).endsWith("Rutina:  Mensaje Ha ocurrido el Siguiente Error (3219) "
                                          "Operacion no permitida en este contexto. "
                                          "Respondi\xf3 : Abortar\r\n"));
    EXPECT_FALSE(QFile::exists(programLog()));
}

TEST_F(TratamientoErroresTest, error_number_zero_shows_and_logs_nothing)
{
    const int answer = m_db.TratamientoErrores(RuntimeError(0, QString()));

    EXPECT_EQ(answer, 0);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    EXPECT_FALSE(QFile::exists(programLog()));
}
