#include "pricelists/FormulaSeleccion.h"

#include <gtest/gtest.h>

using FormulaSeleccion::ArmaFormulaSeleccion;

namespace {

constexpr qint16 adVarChar = 200;
constexpr qint16 adDouble = 5;
constexpr qint16 adDate = 7;
constexpr qint16 adSmallInt = 2;
constexpr qint16 Verdadero = -1;

FiltroSeleccion texto(const QString& desde, const QString& hasta, const QString& campo = "{x}",
    const QString& conector = QString())
{
    return FiltroSeleccion { desde, hasta, campo, adVarChar, Verdadero, conector };
}

QString arma(const QList<FiltroSeleccion>& filas, QString* mensaje = nullptr)
{
    QString formula = QStringLiteral("<sin tocar>");
    ArmaFormulaSeleccion(filas, formula, mensaje);
    return formula;
}

} // namespace

TEST(FormulaSeleccion, writes_the_row_condition_of_each_bound_shape)
{
    struct Fila
    {
        const char* desde;
        const char* hasta;
        const char* esperado;
    };
    const Fila filas[] = {
        { "A", "C", "{x} >= 'A'  AND {x} <= 'C' " }, { "A", "", "{x} >= 'A' " },
        { "", "C", "{x} <= 'C' " }, { "CAF*", "", " ({x} LIKE 'CAF*' )" },
        { "A*", "B*", " ({x} LIKE 'A*'  OR {x} LIKE 'B*' )" },
        { "A*", "M", " ({x} LIKE 'A*'  AND {x} <= 'M' )" },
        { "A", "M*", "{x} >= 'A'  AND {x} LIKE 'M*' " }, // a pattern only above: no parentheses
        { "a", "A", "{x} >= 'a'  AND {x} <= 'A' " }, // equal ignoring case passes
        { "D'Angelo", "", "{x} >= 'D''Angelo' " }, // the apostrophe stays inside the text
    };
    for (const Fila& fila : filas) {
        EXPECT_EQ(arma({ texto(fila.desde, fila.hasta) }), QString::fromUtf8(fila.esperado))
            << fila.desde << " / " << fila.hasta;
    }
}

TEST(FormulaSeleccion, wraps_text_fields_in_trims_and_doubles_in_tonumber)
{
    FiltroSeleccion recortado = texto("A", "");
    recortado.SinRecorte = 0;
    const FiltroSeleccion doble { "10", "20", "{x}", adDouble, 0, QString() };

    EXPECT_EQ(arma({ recortado }), QStringLiteral("TrimLeft(TrimRight({x})) >= 'A' "));
    EXPECT_EQ(arma({ doble }), QStringLiteral("tonumber({x}) >= 10  AND tonumber({x}) <= 20 "));
    // Equal bounds are one value, not a range upside down.
    const FiltroSeleccion uno { "5", "5", "{x}", adDouble, 0, QString() };
    EXPECT_EQ(arma({ uno }), QStringLiteral("tonumber({x}) >= 5  AND tonumber({x}) <= 5 "));
}

TEST(FormulaSeleccion, joins_rows_with_their_connector_as_written)
{
    EXPECT_EQ(arma({ texto("1", "", "{a}"), texto("", "9", "{b}") }),
        QStringLiteral("{a} >= '1'  AND {b} <= '9' "));
    EXPECT_EQ(arma({ texto("1", "", "{a}"), texto("", "9", "{b}", " or ") }),
        QStringLiteral("{a} >= '1'  or {b} <= '9' "));
    // The first contributing row's connector only gets checked.
    EXPECT_EQ(arma({ texto("", "", "{a}", "OR"), texto("1", "", "{b}", "OR") }),
        QStringLiteral("{b} >= '1' "));
    EXPECT_EQ(arma({ texto("", "", "{a}"), texto(" ", "", "{b}") }), QString());
}

TEST(FormulaSeleccion, writes_dates_as_formula_date_literals)
{
    const FiltroSeleccion fechas { "01/03/2024", "31/03/2024", "{f}", adDate, 0, QString() };

    EXPECT_EQ(
        arma({ fechas }), QStringLiteral("{f} >= Date(2024,03,01)  AND {f} <= Date(2024,03,31) "));
}

TEST(FormulaSeleccion, refuses_the_first_bad_row_and_leaves_the_formula_alone)
{
    struct Caso
    {
        FiltroSeleccion fila;
        const char* mensaje;
    };
    const Caso casos[] = {
        { texto("", "", "{x}", "XOR"), "Operador logico incorrecto" },
        { texto("b", "A", "{x}"), "Desde Mayor que Hasta, Campo : {x}" },
        { FiltroSeleccion { "01/04/2024", "31/03/2024", "{f}", adDate, 0, QString() },
            "Fecha Desde Mayor que Hasta , Campo : {f}" },
        { FiltroSeleccion { "01/03/2024", "xx", "{f}", adDate, 0, QString() },
            "Fecha Desde Incorrecta , Campo : {f}" },
        { FiltroSeleccion { "", "32/13/2024", "{f}", adDate, 0, QString() },
            "Fecha Desde Incorrecta , Campo : {f}" },
        { FiltroSeleccion { "9", "10", "{n}", adSmallInt, 0, QString() }, nullptr },
        { FiltroSeleccion { "11", "10", "{n}", adSmallInt, 0, QString() },
            "Desde Mayor que Hasta, Campo : {n}" },
        { FiltroSeleccion { "1,5", "1.25", "{n}", adDouble, 0, QString() },
            "Desde Mayor que Hasta, Campo : {n}" },
    };
    for (const Caso& caso : casos) {
        QString mensaje = QStringLiteral("<sin mensaje>");

        const QString formula
            = arma({ texto("A", "", "{a}"), texto("B", "", "{b}"), caso.fila }, &mensaje);

        if (caso.mensaje) {
            EXPECT_EQ(formula, QStringLiteral("<sin tocar>")) << caso.mensaje;
            EXPECT_EQ(mensaje, QString::fromUtf8(caso.mensaje));
        } else {
            EXPECT_EQ(mensaje, QStringLiteral("<sin mensaje>"));
        }
    }
}

TEST(FormulaSeleccion, a_lone_lower_date_is_not_range_checked_but_must_be_a_date)
{
    QString mensaje;
    const FiltroSeleccion soloDesde { "01/03/2024", "", "{f}", adDate, 0, QString() };
    const FiltroSeleccion noFecha { "mañana", "", "{f}", adDate, 0, QString() };

    EXPECT_EQ(arma({ soloDesde }), QStringLiteral("{f} >= Date(2024,03,01) "));
    EXPECT_EQ(arma({ noFecha }, &mensaje), QStringLiteral("<sin tocar>"));
    EXPECT_EQ(mensaje, QStringLiteral("Fecha Desde Incorrecta , Campo : {f}"));
}
