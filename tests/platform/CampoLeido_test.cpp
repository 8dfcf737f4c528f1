#include "platform/CampoLeido.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "platform/AdoTypes.h"

namespace {

// The description the value raised, or "" when it was read.
QString motivo(const Value& valor, int tipoAdo)
{
    try {
        CampoLeido::comoColumna(valor, tipoAdo, QStringLiteral("T.C"));
    } catch (const CampoLeido::Invalido& error) {
        return error.description();
    }
    return QString();
}

} // namespace

// What each kind of column accepts: NULL always, a value of its kind; what it does not is named
// with the field and the value. A blank is no figure and no date; a text column takes anything.
TEST(CampoLeido, a_value_that_is_not_what_its_column_holds_is_named)
{
    const double infinito = std::numeric_limits<double>::infinity();
    const struct
    {
        Value valor;
        int tipo;
        const char* motivo; // "" when it is read
    } filas[] = {
        { Value::null(), adDouble, "" },
        { Value(2.5), adDouble, "" },
        { Value(QStringLiteral("2.5")), adDouble, "" },
        { Value(QString()), adDouble, "T.C: '' no es un número" },
        { Value(QStringLiteral("abc")), adInteger, "T.C: 'abc' no es un número" },
        { Value(QStringLiteral("NaN")), adDouble, "T.C: 'NaN' no es un número" },
        { Value(infinito), adDouble, "T.C: 'inf' no es un número" },
        { Value(Currency::fromInteger(12)), adCurrency, "" },
        { Value(QStringLiteral("1234,5")), adCurrency, "T.C: '1234,5' no es un importe" },
        // What money cannot hold comes from the engine as a double.
        { Value(1e15), adCurrency,
            "T.C: Desbordamiento: el importe 1000000000000000 excede el rango de la moneda" },
        { Value(QDate(2026, 11, 20)), adDBTimeStamp, "" },
        { Value(QStringLiteral("0000-00-00")), adDBTimeStamp, "T.C: '0000-00-00' no es una fecha" },
        { Value(QString()), adDBTimeStamp, "T.C: '' no es una fecha" },
        { Value(QStringLiteral("abc")), adBoolean, "T.C: 'abc' no es Verdadero ni Falso" },
        { Value(QStringLiteral("abc")), adVarChar, "" },
        { Value(QString()), adVarChar, "" },
    };
    for (const auto& f : filas)
        EXPECT_EQ(motivo(f.valor, f.tipo), QString::fromUtf8(f.motivo))
            << f.valor.toString().toStdString() << " " << f.tipo;
}

// A code kept as text reads 0 when there is none, its number when there is one.
TEST(CampoLeido, a_code_kept_as_text_reads_as_its_number_or_is_named)
{
    EXPECT_EQ(CampoLeido::numeroDeTexto(Value::null(), QStringLiteral("T.C")), Currency());
    EXPECT_EQ(CampoLeido::numeroDeTexto(Value(QString()), QStringLiteral("T.C")), Currency());
    EXPECT_EQ(CampoLeido::numeroDeTexto(Value(QStringLiteral("   6")), QStringLiteral("T.C")),
        Currency::fromInteger(6));
    try {
        CampoLeido::numeroDeTexto(Value(QStringLiteral("abc")), QStringLiteral("T.C"));
        ADD_FAILURE() << "'abc' read as a number";
    } catch (const CampoLeido::Invalido& error) {
        EXPECT_EQ(error.description(), QStringLiteral("T.C: 'abc' no es un número"));
    }
}
