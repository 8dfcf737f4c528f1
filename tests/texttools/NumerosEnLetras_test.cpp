#include "texttools/NumerosEnLetras.h"

#include <limits>

#include <QLocale>

#include <gtest/gtest.h>

using NumerosEnLetras::EnteroEnLetras;
using NumerosEnLetras::NumeroEnLetras;

namespace {

struct Palabras
{
    const char* numero;
    const char* esperado;
};

const Palabras kEnteros[] = {
    { "0", "cero" },
    { "1", "un" },
    { "7", "siete" },
    { "10", "diez" },
    { "11", "once" },
    { "15", "quince" },
    { "16", "dieciseis" },
    { "19", "diecinueve" },
    { "20", "veinte" },
    { "21", "veintiun" },
    { "22", "veintidos" },
    { "35", "treinta y cinco" },
    { "99", "noventa y nueve" },
    { "100", "cien" },
    { "101", "ciento un" },
    { "115", "ciento quince" },
    { "116", "ciento dieciseis" },
    { "200", "doscientos" },
    { "555", "quinientos cincuenta y cinco" },
    // A thousands group of one is "mil", never "un mil".
    { "1000", "mil" },
    { "1001", "mil un" },
    { "1100", "mil cien" },
    { "1234", "mil doscientos treinta y cuatro" },
    { "2000", "dos mil" },
    { "21000", "veintiun mil" },
    { "100000", "cien mil" },
    { "999999", "novecientos noventa y nueve mil novecientos noventa y nueve" },
    // One million is "un millón", never "un un millón".
    { "1000000", "un millón" },
    { "1000001", "un millón un" },
    { "1500000", "un millón quinientos mil" },
    { "1999999", "un millón novecientos noventa y nueve mil novecientos noventa y nueve" },
    { "2000000", "dos millones" },
    { "2500000", "dos millones quinientos mil" },
    { "21000000", "veintiun millones" },
    { "1000000000", "mil millones" },
    { "1001000000", "mil un millones" },
    { "2001000000", "dos mil un millones" },
    // A million millions is a billón; every digit is said up to the money range.
    { "1000001000000", "un billón un millón" },
    { "2000000000001", "dos billones un" },
    { "1234567890123",
        "un billón doscientos treinta y cuatro mil quinientos sesenta y siete millones "
        "ochocientos noventa mil ciento veintitres" },
    { "123456789012345",
        "ciento veintitres billones cuatrocientos cincuenta y seis mil setecientos ochenta y "
        "nueve millones doce mil trescientos cuarenta y cinco" },
    { "-1234", "menos mil doscientos treinta y cuatro" },
    { "-1000", "menos mil" },
    { "-0", "cero" },
    { " 42 ", "cuarenta y dos" },
    // Grouped as the workstation writes it.
    { "1.234", "mil doscientos treinta y cuatro" },
    // Decimals are not said.
    { "12,99", "doce" },
    { "0,99", "cero" },
    { "", "cero" },
    { "abc", "cero" },
};

struct Frase
{
    const char* numero;
    int ancho;
    const char* moneda; // nullptr: not given
    const char* esperado;
};

const Frase kFrases[] = {
    { "1234,5", 0, "pesos", "mil doscientos treinta y cuatro pesos con 50/100" },
    // The third decimal is cut, not rounded.
    { "1234,567", 0, "pesos", "mil doscientos treinta y cuatro pesos con 56/100" },
    { "1234,05", 0, "pesos", "mil doscientos treinta y cuatro pesos con 05/100" },
    // Zero cents written out say nothing of cents; no decimals at all says "con 00/100".
    { "1234,00", 0, "pesos", "mil doscientos treinta y cuatro pesos" },
    { "1234,", 0, "pesos", "mil doscientos treinta y cuatro pesos" },
    { "1234", 0, "pesos", "mil doscientos treinta y cuatro pesos con 00/100" },
    { ",50", 0, "pesos", "cero pesos con 50/100" },
    { "1 234,50", 0, "pesos", "mil doscientos treinta y cuatro pesos con 50/100" },
    { "-1234,5", 0, "pesos", "menos mil doscientos treinta y cuatro pesos con 50/100" },
    { "1000000,01", 0, "pesos", "un millón pesos con 01/100" },
    { "1234,5", 0, " Pesos ", "mil doscientos treinta y cuatro Pesos con 50/100" },
    { "1234,5", 0, nullptr, "mil doscientos treinta y cuatro con 50/100" },
    { "1234", 0, nullptr, "mil doscientos treinta y cuatro con 00/100" },
    { "1234,00", 0, nullptr, "mil doscientos treinta y cuatro" },
    // An empty currency word still frames itself with two blanks.
    { "1234,5", 0, "", "mil doscientos treinta y cuatro  con 50/100" },
    { "1234,5", 20, "pesos", "mil doscientos trein" },
    { "1,5", 20, "pesos", "un pesos con 50/100 " },
    // The width applies to the words; " con 00/100" follows them.
    { "1234", 20, "pesos", "mil doscientos trein con 00/100" },
    { "12", 10, "pesos", "doce pesos con 00/100" },
    { "", 0, "pesos", "cero pesos con 00/100" },
    { "abc", 0, "pesos", "cero pesos con 00/100" },
};

class RestoreLocale
{
public:
    ~RestoreLocale() { QLocale::setDefault(m_previous); }

private:
    QLocale m_previous;
};

} // namespace

TEST(NumerosEnLetras, whole_numbers_in_words)
{
    for (const Palabras& caso : kEnteros) {
        SCOPED_TRACE(caso.numero);

        const QString palabras = EnteroEnLetras(QString::fromUtf8(caso.numero));

        EXPECT_EQ(palabras.toStdString(), caso.esperado);
    }
}

TEST(NumerosEnLetras, amounts_with_currency_cents_and_width)
{
    for (const Frase& caso : kFrases) {
        SCOPED_TRACE(caso.numero);
        std::optional<QString> moneda;
        if (caso.moneda)
            moneda = QString::fromUtf8(caso.moneda);

        const QString frase = NumeroEnLetras(QString::fromUtf8(caso.numero), caso.ancho, moneda);

        EXPECT_EQ(frase.toStdString(), caso.esperado);
    }
}

// The ends of what money holds, and the step past twelve digits, as vouchers and receipts say
// them.
TEST(NumerosEnLetras, money_from_end_to_end_in_words)
{
    const QString pesos = QStringLiteral("Pesos");
    const QString mayor = QStringLiteral(
        "novecientos veintidos billones trescientos treinta y siete mil doscientos tres millones "
        "seiscientos ochenta y cinco mil cuatrocientos setenta y siete Pesos con 58/100");
    const struct
    {
        Currency importe;
        QString esperado;
    } casos[] = {
        { Currency::fromRaw(9999999999999900),
            QStringLiteral("novecientos noventa y nueve mil novecientos noventa y nueve millones "
                           "novecientos noventa y nueve mil novecientos noventa y nueve Pesos con "
                           "99/100") },
        { Currency::fromRaw(10000000000000000), QStringLiteral("un billón Pesos con 00/100") },
        { Currency::fromRaw(15000000000002500),
            QStringLiteral("un billón quinientos mil millones Pesos con 25/100") },
        { Currency::fromRaw(std::numeric_limits<qint64>::max()), mayor },
        { Currency::fromRaw(-std::numeric_limits<qint64>::max()),
            QStringLiteral("menos ") + mayor },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.esperado.toStdString());
        EXPECT_EQ(NumeroEnLetras(c.importe, 0, pesos), c.esperado);
    }
}

TEST(NumerosEnLetras, cents_word_changes_nothing)
{
    EXPECT_EQ(NumeroEnLetras(
                  QStringLiteral("15,25"), 0, QStringLiteral("Pesos"), QStringLiteral("Centavos")),
        QStringLiteral("quince Pesos con 25/100"));
}

TEST(NumerosEnLetras, money_amounts_read_as_the_workstation_writes_them)
{
    const QString pesos = QStringLiteral("Pesos");

    EXPECT_EQ(NumeroEnLetras(Currency::fromRaw(12345000), 0, pesos),
        QStringLiteral("mil doscientos treinta y cuatro Pesos con 50/100"));
    EXPECT_EQ(NumeroEnLetras(Currency::fromRaw(12340000), 0, pesos),
        QStringLiteral("mil doscientos treinta y cuatro Pesos con 00/100"));
    EXPECT_EQ(NumeroEnLetras(Currency::fromRaw(5), 0, pesos), QStringLiteral("cero Pesos"));
}

TEST(NumerosEnLetras, decimal_separator_follows_the_workstation)
{
    RestoreLocale restore;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    EXPECT_EQ(NumeroEnLetras(QStringLiteral("1234.5"), 0, QStringLiteral("dollars")),
        QStringLiteral("mil doscientos treinta y cuatro dollars con 50/100"));
    EXPECT_EQ(NumeroEnLetras(QStringLiteral("1,234"), 0, QStringLiteral("dollars")),
        QStringLiteral("mil doscientos treinta y cuatro dollars con 00/100"));
}
