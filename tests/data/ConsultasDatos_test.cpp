#include "data/ConsultasDatos.h"

#include <gtest/gtest.h>

#include "data/DB_Dll.h"
#include "platform/RuntimeError.h"
#include "support/QtPrinters.h"

namespace {

const Value Texto = Value(qint32(8));
const Value Fecha = Value(qint32(7));
const Value Entero = Value(qint32(3));
const Value Otro = Value(qint32(11));

QString q(const char* text)
{
    return QString::fromUtf8(text);
}

// The statement an existence builder writes on MA_X, key column Codigo, for a key of a data
// type with a condition.
struct Existencia
{
    const char* valor;
    Value tipo;
    const char* condicion;
    const char* sql;
};

using ConstructorExistencia = QString (*)(const QString& tabla, const QString& valor,
    const QString& campo, const Value& tipodato, const QString& condicion);

void verifica(ConstructorExistencia construye, std::initializer_list<Existencia> rows)
{
    for (const Existencia& row : rows) {
        EXPECT_EQ(construye(QStringLiteral("MA_X"), q(row.valor), QStringLiteral("Codigo"),
                      row.tipo, q(row.condicion)),
            q(row.sql));
    }
}

} // namespace

// A typed text, a name or a key stays inside its literal whatever it holds.
TEST(ConsultasDatos, text_stays_inside_its_literal)
{
    const struct
    {
        const char* texto;
        const char* literal;
    } casos[] = {
        { "d'angelo", "'d''angelo'" },
        { "x' OR 1=1 --", "'x'' OR 1=1 --'" },
        { "';DROP TABLE T;--", "''';DROP TABLE T;--'" },
        { "order by", "'order by'" },
        { "", "''" },
    };
    for (const auto& caso : casos)
        EXPECT_EQ(ConsultasDatos::literal(q(caso.texto)), q(caso.literal));
}

TEST(ConsultasDatos, existence_statements_keep_their_blanks)
{
    verifica(&ConsultasDatos::existeEnTabla,
        {
            { " ABC ", Texto, "",
                "SELECT TOP 1  * FROM MA_X with(nolock)  WHERE LTRIM(RTRIM(Codigo)) ='ABC'" },
            // The apostrophe of a name never ends the literal.
            { "D'Angelo", Texto, "",
                "SELECT TOP 1  * FROM MA_X with(nolock)  WHERE LTRIM(RTRIM(Codigo)) ='D''Angelo'" },
            { "ABC", Value(QStringLiteral("'")), "",
                "SELECT TOP 1  * FROM MA_X with(nolock)  WHERE LTRIM(RTRIM(Codigo)) ='ABC'" },
            { "ABC", Value(), "",
                "SELECT TOP 1  * FROM MA_X with(nolock)  WHERE LTRIM(RTRIM(Codigo)) ='ABC'" },
            { " '2024-03-15' ", Fecha, "",
                "SELECT TOP 1 * FROM MA_X with(nolock)  WHERE Codigo = '2024-03-15' " },
            { "12abc", Entero, "", "SELECT TOP 1 * FROM MA_X with(nolock)  WHERE Codigo = 12" },
            { "1 2", Value(qint32(5)), "",
                "SELECT TOP 1 * FROM MA_X with(nolock)  WHERE Codigo = 12" },
            { "x", Value(qint32(4)), "",
                "SELECT TOP 1 * FROM MA_X with(nolock)  WHERE Codigo = 0" },
            // Written with "." whatever the workstation's decimal separator.
            { "2.5", Entero, "", "SELECT TOP 1 * FROM MA_X with(nolock)  WHERE Codigo = 2.5" },
            { " 7 ", Otro, "", "SELECT TOP 1 * FROM MA_X with(nolock)  WHERE Codigo =  7 " },
            // With a condition the key is not used at all.
            { "ABC", Entero, "Nombre = 'X'",
                "SELECT TOP 1 * FROM MA_X with(nolock)  WHERE Nombre = 'X'" },
            // " where " anywhere, any case, means the condition brings its own WHERE.
            { "ABC", Texto, "a=1 where b=2",
                "SELECT TOP 1 * FROM MA_X with(nolock)  a=1 where b=2" },
            { "ABC", Texto, " where b=2", "SELECT TOP 1 * FROM MA_X with(nolock)   where b=2" },
            // No blank before it: a second WHERE, as the suite has always sent it.
            { "ABC", Texto, "WHERE b=2", "SELECT TOP 1 * FROM MA_X with(nolock)  WHERE WHERE b=2" },
        });
}

TEST(ConsultasDatos, existence_statements_without_translation)
{
    verifica(&ConsultasDatos::existeEnTablaST,
        {
            // The text key is not trimmed here, on either side.
            { " ABC ", Texto, "", "SELECT * FROM MA_X with(nolock)   WHERE Codigo =' ABC '" },
            { " 5 ", Fecha, "", "SELECT * FROM MA_X with(nolock)   WHERE Codigo = 5 " },
            { "12abc", Entero, "", "SELECT * FROM MA_X with(nolock)   WHERE Codigo = 12" },
            { "5", Otro, "", "SELECT * FROM MA_X with(nolock)   WHERE Codigo = 5" },
            { "", Texto, "b=2", "SELECT * FROM MA_X with(nolock)   WHERE b=2" },
            { "", Texto, "a=1 WHERE b=2", "SELECT * FROM MA_X with(nolock)   a=1 WHERE b=2" },
        });
}

TEST(ConsultasDatos, lookup_statements_keep_the_key_and_add_the_condition)
{
    struct Row
    {
        const char* valor;
        Value tipo;
        const char* condicion;
        bool usaTrim;
        const char* sql;
    };
    const Row rows[] = {
        { " 1 ", Texto, "", true,
            "SELECT TOP 1 * FROM ta_usuarios with(nolock)  WHERE LTRIM(RTRIM(nombre)) ='1' " },
        { " 1 ", Texto, "", false,
            "SELECT TOP 1 * FROM ta_usuarios with(nolock)  WHERE nombre =' 1 ' " },
        { "ana", Texto, "SISTEMA='X'", true,
            "SELECT TOP 1 * FROM ta_usuarios with(nolock)  WHERE LTRIM(RTRIM(nombre)) ='ana'  AND "
            "SISTEMA='X'" },
        // A blank condition adds no AND but is appended as it is.
        { "ana", Texto, "  ", true,
            "SELECT TOP 1 * FROM ta_usuarios with(nolock)  WHERE LTRIM(RTRIM(nombre)) ='ana'   " },
        { " 01/02/2024 ", Fecha, "", true,
            "SELECT TOP 1 * FROM ta_usuarios with(nolock)  WHERE nombre = #01/02/2024# " },
        { "3x", Entero, "a=1", true,
            "SELECT TOP 1 * FROM ta_usuarios with(nolock)  WHERE nombre = 3 AND a=1" },
        { "3", Otro, "", true, "SELECT TOP 1 * FROM ta_usuarios with(nolock)  WHERE nombre = 3" },
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ConsultasDatos::datosTabla(QStringLiteral("ta_usuarios"), q(row.valor),
                      QStringLiteral("nombre"), row.tipo, q(row.condicion), row.usaTrim),
            q(row.sql));
    }
}

TEST(ConsultasDatos, maximum_and_minimum_statements)
{
    const QString condicion = QStringLiteral("  a = 1 ");
    const QString blancos = QStringLiteral("   ");

    EXPECT_EQ(ConsultasDatos::buscaMaximo(QStringLiteral("T"), QStringLiteral("F"), nullptr),
        q("SELECT MAX(F) AS MAYOR FROM T"));
    EXPECT_EQ(ConsultasDatos::buscaMaximo(QStringLiteral("T"), QStringLiteral("F"), &condicion),
        q("SELECT MAX(F) AS MAYOR FROM T WHERE a = 1"));
    // A blank condition leaves no bare WHERE behind.
    EXPECT_EQ(ConsultasDatos::buscaMaximo(QStringLiteral("T"), QStringLiteral("F"), &blancos),
        q("SELECT MAX(F) AS MAYOR FROM T"));
    EXPECT_EQ(ConsultasDatos::buscaMinimo(QStringLiteral("T"), QStringLiteral("F"), nullptr),
        q("SELECT MIN(F) AS MENOR FROM T  with(nolock) "));
    EXPECT_EQ(ConsultasDatos::buscaMinimo(QStringLiteral("T"), QStringLiteral("F"), &condicion),
        q("SELECT MIN(F) AS MENOR FROM T  with(nolock)  WHERE a = 1"));
    EXPECT_EQ(ConsultasDatos::buscaUltimoCodigo(QStringLiteral("T"), QStringLiteral("F"), blancos),
        q("SELECT MAX(F) AS MAYOR FROM T"));
    EXPECT_EQ(
        ConsultasDatos::buscaUltimoCodigo(QStringLiteral("T"), QStringLiteral("F"), condicion),
        q("SELECT MAX(F) AS MAYOR FROM T WHERE   a = 1 "));
    EXPECT_EQ(ConsultasDatos::filtroArticulosSinCero(nullptr),
        q(" substring(ltrim(idarticulo),1,1)<>'0'"));
    EXPECT_EQ(ConsultasDatos::filtroArticulosSinCero(&condicion),
        q("  a = 1  and substring(ltrim(idarticulo),1,1)<>'0'"));
}

TEST(DB_DllNombres, object_names_are_taken_apart_and_put_together)
{
    struct Row
    {
        const char* name;
        qint16 part;
        const char* result;
        const char* left; // the caller's variable afterwards
    };
    const Row stf[] = {
        { "dbo.Clientes", 0, "dbo", "dbo.Clientes" },
        { "dbo.Clientes", 1, "Clientes", "dbo.Clientes" },
        { "Clientes", 0, "Clientes", "Clientes" },
        { "base.dbo.Clientes", 0, "dbo.Clientes", "dbo.Clientes" },
        { "base.dbo.Clientes", 1, "dbo.Clientes", "dbo.Clientes" },
        { "dbo.", 1, "", "dbo." },
    };
    for (const Row& row : stf) {
        QString name = q(row.name);
        EXPECT_EQ(DB_Dll::stSTF(name, row.part), q(row.result)) << row.name;
        EXPECT_EQ(name, q(row.left)) << row.name;
    }
    QString owner = QStringLiteral("a.b.c");
    EXPECT_EQ(DB_Dll::StripOwner(owner), q("b.c"));
    EXPECT_EQ(owner, q("b.c"));

    const char* const pairs[][3] = {
        // operation, argument, result
        { "AddBrackets", "Mi Tabla", "[Mi Tabla]" },
        { "AddBrackets", "MiTabla", "MiTabla" },
        { "AddBrackets", "[Mi Tabla]", "[Mi Tabla]" },
        { "AddBrackets", "", "" },
        { "StripConnect", "Clientes -> base", "Clientes" },
        { "StripConnect", "Clientes->base", "Cliente" }, // no blank: a letter goes
        { "StripConnect", "Clientes", "Clientes" },
        { "StripConnect", "a->b", "" },
        { "StripBrackets", "[Mi Tabla]", "Mi Tabla" },
        { "StripBrackets", "[]", "" },
        { "StripBrackets", "[abc", "ab" },
        { "StripBrackets", "abc]", "abc]" },
        { "StripFileName", "C:\\datos\\base.mdb", "C:\\datos" },
        { "StripFileName", "\\base.mdb", "" },
        { "StripFileName", "base.mdb", "" },
        { "StripFileName", "C:\\datos\\", "C:\\datos" },
        { "StripFileName", "/srv/datos/base.db", "/srv/datos" },
    };
    for (const auto& row : pairs) {
        const QString op = q(row[0]);
        const QString arg = q(row[1]);
        const QString result = op == u"AddBrackets" ? DB_Dll::AddBrackets(arg)
            : op == u"StripConnect"                 ? DB_Dll::StripConnect(arg)
            : op == u"StripBrackets"                ? DB_Dll::StripBrackets(arg)
                                                    : DB_Dll::StripFileName(arg);
        EXPECT_EQ(result, q(row[2])) << row[0] << " " << row[1];
    }
}

TEST(DB_DllNombres, names_with_nothing_to_cut_raise_invalid_argument)
{
    const auto numberOf = [](auto&& call) {
        try {
            call();
        } catch (const RuntimeError& error) {
            return error.number();
        }
        return 0;
    };

    EXPECT_EQ(numberOf([] { DB_Dll::StripConnect(QStringLiteral("->base")); }), 5);
    EXPECT_EQ(numberOf([] { DB_Dll::StripBrackets(QStringLiteral("[")); }), 5);
}
