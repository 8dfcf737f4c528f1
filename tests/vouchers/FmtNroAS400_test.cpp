#include "vouchers/FmtNroAS400.h"

#include <gtest/gtest.h>

#include "support/LocalePrueba.h"

namespace {

TEST(FmtNroAS400, writes_fixed_digit_fields_under_both_separators)
{
    const struct
    {
        char separador;
        const char* numero;
        int ancho;
        int decimales;
        const char* resultado;
    } casos[] = {
        { ',', "1234,5", 13, 2, "000000000123450" },
        { ',', "7", 13, 2, "000000000000700" },
        { ',', "7", 13, 0, "0000000000007" },
        // Cut, not rounded.
        { ',', "1,239", 13, 2, "000000000000123" },
        { ',', "-12,5", 4, 1, "-00125" },
        { ',', "123456789012345", 13, 2, "12345678901234500" },
        // Between -1 and 0 the sign stays.
        { ',', "-0,5", 13, 2, "-000000000000050" },
        { ',', "", 4, 2, "000000" },
        { '.', "1234.5", 13, 2, "000000000123450" },
        { '.', "1450.123456789", 13, 6, "0000000001450123456" },
        // With "." as separator a comma ends the number.
        { '.', "1234,5", 13, 2, "000000000123400" },
    };
    for (const auto& c : casos) {
        LocalePrueba locale(c.separador);

        EXPECT_EQ(FmtNroAS400::FormateaNroAS400(QString::fromUtf8(c.numero), c.ancho, c.decimales),
            QString::fromUtf8(c.resultado))
            << c.separador << " " << c.numero;
    }
}

} // namespace
