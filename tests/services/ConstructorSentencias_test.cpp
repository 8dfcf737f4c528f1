#include "services/ConstructorSentencias.h"

#include <functional>

#include <QFile>

#include <gtest/gtest.h>

#include "data/DataObjects.h"
#include "platform/AdoField.h"
#include "platform/AdoRecordset.h"
#include "platform/RuntimeError.h"
#include "platform/Service.h"
#include "services/Globales.h"
#include "support/DemoDatabaseTest.h"
#include "support/FakeDialogs.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

using testsupport::readFile;

using namespace ConstructorSentencias;

namespace {

class ConstructorSentenciasTest : public ::testing::Test
{
protected:
    QList<CampoValor>& lista() { return *m_globales.gCamposValores; }

    void agrega(const char* campo, const char* valor, const char* tipo, bool nueva = false)
    {
        QString v = QString::fromUtf8(valor);
        AgregaCampoValor(QString::fromUtf8(campo), v, QString::fromUtf8(tipo), nueva);
    }

    static int errorOf(const std::function<void()>& call)
    {
        try {
            call();
        } catch (const RuntimeError& error) {
            return error.number();
        }
        return 0;
    }

    DataObjects m_data;
    ScopedService<DataObjects> m_dataService { m_data };
    Globales m_globales;
    ScopedService<Globales> m_globalesService { m_globales };
};

} // namespace

TEST_F(ConstructorSentenciasTest, values_are_written_as_sql_without_apostrophes)
{
    QString nombre = QStringLiteral("D'Angelo");

    AgregaCampoValor(QStringLiteral("Nombre"), nombre, QStringLiteral("'"), true);
    agrega("Importe", "1234,5", "@");
    agrega("Baja", "null", "'");
    agrega("Codigo", "12", "");

    EXPECT_EQ(nombre, QStringLiteral("DAngelo")); // the caller's variable loses it too
    ASSERT_EQ(lista().size(), 4);
    EXPECT_EQ(lista()[0].Valor, QStringLiteral("'DAngelo'"));
    EXPECT_EQ(lista()[1].Valor, QStringLiteral("1234.5"));
    EXPECT_EQ(lista()[2].Valor, QStringLiteral("Null"));
    EXPECT_EQ(lista()[3].Valor, QStringLiteral("12"));
    EXPECT_EQ(lista()[3].Campo, QStringLiteral("Codigo"));
}

TEST_F(ConstructorSentenciasTest, adding_to_a_list_never_started_is_out_of_range)
{
    EXPECT_EQ(errorOf([&] { agrega("a", "1", ""); }), 9);

    agrega("a", "1", "", true);
    QString sentencia = QStringLiteral("INSERT INTO T ");
    ArmaListaValores(sentencia, m_globales.gCamposValores, true);

    EXPECT_EQ(sentencia, QStringLiteral("INSERT INTO T (a) VALUES (1)"));
    EXPECT_FALSE(m_globales.gCamposValores.has_value());
    EXPECT_EQ(errorOf([&] { agrega("b", "2", ""); }), 9);
}

TEST_F(ConstructorSentenciasTest, statements_are_separated_by_empty_elements)
{
    QStringList& sentencias = m_globales.gSentenciasSQL;
    sentencias = QStringList { QString() };
    agrega("a", "1", "", true);
    agrega("b", "x", "'");
    QString condicion = QStringLiteral("Id = 5");
    QString conWhere = QStringLiteral("where Id = 6");

    ArmaSentenciaSQL(
        m_globales.gCamposValores, sentencias, QStringLiteral("T"), true, condicion, true);
    ArmaSentenciaSQL(
        m_globales.gCamposValores, sentencias, QStringLiteral("T"), true, conWhere, true);
    ArmaSentenciaSQL(
        m_globales.gCamposValores, sentencias, QStringLiteral("T"), false, condicion, false);

    EXPECT_EQ(sentencias,
        (QStringList { QString(), QStringLiteral("UPDATE T SET a = 1,b = 'x'  WHERE Id = 5"),
            QString(), QStringLiteral("UPDATE T SET a = 1,b = 'x' where Id = 6"), QString(),
            QStringLiteral("INSERT INTO T (a,b) VALUES (1,'x')"), QString() }));
    EXPECT_EQ(condicion, QStringLiteral(" WHERE Id = 5"));
    // Not kept: one empty entry, so the next list starts with NuevaLista.
    ASSERT_EQ(lista().size(), 1);
    EXPECT_TRUE(lista()[0].Campo.isEmpty());
}

TEST_F(ConstructorSentenciasTest, statements_adapt_to_oracle_only)
{
    const QString top = QStringLiteral("Select TOP 1 * from T");
    EXPECT_EQ(AdaptaSQLMotor(top), top);
    EXPECT_EQ(AdaptaSQLMotor(QStringLiteral("LEN")), QStringLiteral("LEN"));

    m_data.gDB.gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=XE;");

    EXPECT_EQ(AdaptaSQLMotor(top), QStringLiteral("Select  *  from T WHERE ROWNUM <=  1 "));
    EXPECT_EQ(AdaptaSQLMotor(QStringLiteral("len")), QStringLiteral("LENGTH"));
    EXPECT_EQ(AdaptaSQLMotor(QStringLiteral("LTRIM")), QStringLiteral("LTRIM"));
    EXPECT_EQ(AdaptaSQLMotor(QStringLiteral("SELECT * FROM T")), QStringLiteral("SELECT * FROM T"));
    EXPECT_EQ(errorOf([] { AdaptaSQLMotor(QStringLiteral("SELECT TOP 5 Codigo FROM T")); }), 5);
}

TEST_F(ConstructorSentenciasTest, apostrophes_are_found)
{
    EXPECT_TRUE(ContieneApostrofe(QStringLiteral("D'Angelo")));
    EXPECT_FALSE(ContieneApostrofe(QStringLiteral("D´Angelo")));
    EXPECT_FALSE(ContieneApostrofe(QString()));
}

namespace {

class CargaArchivoTest : public testsupport::DemoDatabaseTest
{
protected:
    QString archivo(const char* name, int size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            bytes[i] = char((i * 7 + i / 1024) % 256); // a chunk out of place would show
        const QString path = m_dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }

    // Stores the file as LOGO_EMPRESA of a new print-buffer row and reads it back.
    Value guardaYLee(const QString& usuario, const std::function<void(AdoField&)>& carga)
    {
        DB_Dll& db = m_objects.gDB;
        AdoRecordset rs;
        db.AbrirRecordset(QStringLiteral("SELECT * FROM AUX_MV_CPTEQR WHERE 1 = 0"), rs, nullptr,
            adOpenDynamic, adLockOptimistic);
        rs.AddNew();
        rs.Fields(QStringLiteral("Usuario")).setValue(Value(usuario));
        carga(rs.Fields(QStringLiteral("LOGO_EMPRESA")));
        EXPECT_TRUE(rs.Update()) << rs.LastError().description().toStdString();
        db.CierraRecordset(rs);
        QString lectura = QStringLiteral("SELECT LOGO_EMPRESA FROM AUX_MV_CPTEQR WHERE Usuario = '")
            + usuario + u'\'';
        db.AbrirRecordset(lectura, rs);
        const Value stored = rs.Fields(0).Value();
        db.CierraRecordset(rs);
        return stored;
    }
};

} // namespace

TEST_F(CargaArchivoTest, a_file_comes_back_identical_from_a_binary_column)
{
    abrePrincipal();
    // 3,000 bytes: a piece of 952, then two of 1,024; 2,048: an empty piece, then two.
    const QString piezas = archivo("logo.bmp", 3000);
    const QString justo = archivo("justo.bmp", 2048);
    const QString entero = archivo("qr.png", 5000);

    const Value porPartes = guardaYLee(
        QStringLiteral("A"), [&](AdoField& campo) { CargaArchivoEnCampoPorPartes(campo, piezas); });
    const Value exacto = guardaYLee(
        QStringLiteral("B"), [&](AdoField& campo) { CargaArchivoEnCampoPorPartes(campo, justo); });
    const Value deUnaVez = guardaYLee(
        QStringLiteral("C"), [&](AdoField& campo) { CargaArchivoEnCampo(campo, entero); });

    EXPECT_EQ(porPartes.toBytes(), readFile(piezas));
    EXPECT_EQ(exacto.toBytes(), readFile(justo));
    EXPECT_EQ(deUnaVez.toBytes(), readFile(entero));
}

TEST_F(CargaArchivoTest, a_missing_file_leaves_the_field_as_it_was)
{
    abrePrincipal();
    const QString falta = m_dir.filePath(QStringLiteral("no-esta.png"));

    const Value uno = guardaYLee(QStringLiteral("A"), [&](AdoField& campo) {
        campo.setValue(Value(QByteArray("previo")));
        CargaArchivoEnCampo(campo, falta);
    });
    const Value otro = guardaYLee(
        QStringLiteral("B"), [&](AdoField& campo) { CargaArchivoEnCampoPorPartes(campo, falta); });

    EXPECT_EQ(uno.toBytes(), QByteArray("previo"));
    EXPECT_TRUE(otro.isNull());
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}
