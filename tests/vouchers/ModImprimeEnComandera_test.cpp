#include "vouchers/ModImprimeEnComandera.h"

#include <gtest/gtest.h>

namespace {

using namespace ModImprimeEnComandera;

Currency importe(const char* texto)
{
    return *Currency::fromString(QString::fromLatin1(texto));
}

QByteArray modo(char n, char m)
{
    return QByteArray("\x1B\x21", 2) + n + QByteArray("\x0D\x1B\x61", 3) + m;
}

const QByteArray Corte("\x1D\x56\x00", 3);
const QByteArray PaginaWindows1252("\x1B\x74\x10", 3);

QByteArray unido(const QList<QByteArray>& escrituras)
{
    QByteArray todo;
    for (const QByteArray& escritura : escrituras)
        todo += escritura;
    return todo;
}

TEST(ModImprimeEnComandera, priced_line_is_always_33_characters_under_either_separator)
{
    struct Row
    {
        const char* descripcion;
        const char* importe;
        char separador;
        const char* esperado;
    };
    const Row rows[] = {
        { "Milanesa napolitana con papas", "300", '.', "Milanesa napolitana con $  300.00" },
        { "Milanesa napolitana con papas", "300", ',', "Milanesa napolitana con $  300,00" },
        { "Agua", "9999.99", ',', "Agua                    $ 9999,99" },
        { "Agua", "2.005", '.', "Agua                    $    2.01" }, // halves away from zero
        // A wider amount is never cut: the description gives up the room.
        { "Agua mineral sin gas grande", "12345.67", '.', "Agua mineral sin gas gr$ 12345.67" },
        { "Devolucion", "-5", ',', "Devolucion              $   -5,00" },
    };
    for (const Row& row : rows) {
        const QString linea = FormateaLineaComandera(QString::fromLatin1(row.descripcion),
            importe(row.importe), 33, QChar::fromLatin1(row.separador));

        SCOPED_TRACE(row.esperado);
        EXPECT_EQ(linea, QString::fromLatin1(row.esperado));
        EXPECT_EQ(linea.size(), 33);
    }
}

DatosTicket pedido()
{
    DatosTicket datos;
    datos.TC = QStringLiteral("PE");
    datos.IdComprobante = QStringLiteral("000100000012X");
    datos.momento = QStringLiteral("15/03/24 10:30");
    datos.mesa = QStringLiteral(" 5 ");
    datos.mozo = QStringLiteral("Juan Perez de la Torre");
    datos.cliente = QStringLiteral(" Consumidor final ");
    datos.total = importe("312.5");
    return datos;
}

TEST(ModImprimeEnComandera, kitchen_ticket_prints_only_what_the_kitchen_still_has_to_prepare)
{
    DatosTicket datos = pedido();
    datos.items = {
        { QStringLiteral("Pizza muzzarella"), importe("3"), importe("1"), {}, importe("90"),
            QStringLiteral("c") },
        { QStringLiteral("Cerveza"), importe("2"), {}, {}, importe("40"), QStringLiteral("B") },
        { QStringLiteral("Empanada"), importe("2"), importe("2"), {}, importe("10"),
            QStringLiteral("CB") },
        { QStringLiteral("Texto libre"), importe("1"), {}, {}, {}, QString() },
        // 28 characters: the last one goes on a second line after the indent.
        { QStringLiteral("Bife de chorizo a caballo xy"), importe("1.5"), {}, {}, importe("10"),
            QStringLiteral("CB") },
        // 100 characters: three lines, the last 19 dropped.
        { QString(100, u'a'), importe("1"), {}, {}, {}, QStringLiteral("C") },
    };

    const QByteArray bytes = unido(EscriturasTicket({}, datos, TipoTicket::Cocina, u','));

    const QByteArray esperado = PaginaWindows1252 + modo(0x00, 2) + "\n" + "15/03/24 10:30\n"
        + "MESA:5  Mozo:Juan Perez de l\n" + "2,00  Pizza muzzarella\n"
        + "1,50  Bife de chorizo a caballo x\n" + "      y\n" + "1,00  " + QByteArray(27, 'a')
        + "\n" + "      " + QByteArray(27, 'a') + "\n" + "      " + QByteArray(27, 'a') + "\n"
        + "\n\n" + modo(0x20, 2) + "\n\n" + "** COCINA **\n" + "\n\n" + "\n\n\n" + Corte;
    EXPECT_EQ(bytes, esperado);
}

TEST(ModImprimeEnComandera, bar_ticket_takes_off_what_was_invoiced_and_never_prints_the_footer)
{
    DatosTicket datos = pedido();
    datos.items = {
        { QStringLiteral("Cerveza"), importe("3"), importe("3"), importe("1"), importe("40"),
            QStringLiteral("b") },
        { QStringLiteral("Pizza"), importe("1"), {}, {}, importe("90"), QStringLiteral("C") },
    };
    DisenoTicket diseno;
    diseno.imprimePie = true;
    diseno.pie = QStringLiteral("Gracias");

    const QByteArray bytes = unido(EscriturasTicket(diseno, datos, TipoTicket::Barra, u'.'));

    EXPECT_TRUE(bytes.contains("\n2.00  Cerveza\n\n\n"));
    EXPECT_FALSE(bytes.contains("Pizza"));
    EXPECT_TRUE(bytes.endsWith("\n\n** BARRA **\n\n\n\n\n\n" + Corte));
    EXPECT_FALSE(bytes.contains("Gracias"));
}

TEST(ModImprimeEnComandera, plain_ticket_with_every_header_prices_total_and_footer)
{
    DatosTicket datos = pedido();
    datos.items = {
        { QStringLiteral("Lomo al champignon con papas"), importe("2"), importe("2"), {},
            importe("150"), QString() },
        { QStringLiteral("Flan"), importe("0"), {}, {}, importe("12.5"), QStringLiteral("C") },
    };
    const DisenoTicket diseno { true, QStringLiteral("La Esquina"), true,
        QStringLiteral("Av. Colón 1234 - Córdoba"), true, true, true, QStringLiteral("Gracias"),
        false };

    const QByteArray bytes = unido(EscriturasTicket(diseno, datos, TipoTicket::Comun, u','));

    // The code page is chosen before the first text, so the accents print as sent.
    const QByteArray esperado = PaginaWindows1252 + modo(0x20, 1) + "La Esquina\n" + modo(0x00, 1)
        + "Av. Col\xF3n 1234 - C\xF3rdoba\n" + modo(0x00, 2) + "\n" + "15/03/24 10:30\n"
        + "MESA:5  Mozo:Juan Perez de l\n" + modo(0x00, 2) + "PE 000100000012X\n" + modo(0x00, 0)
        + "Consumidor final\n\n\n" + "[2,00 X $ 150,00] Lomo a$  300,00\n"
        + "[0,00 X $ 12,50] Flan   $    0,00\n" + "\n\n" + modo(0x20, 2) + "TOTAL $   312,50\n"
        + "\n" + "\n\n" + modo(0x00, 1) + "Gracias\n" + "\n\n\n" + Corte;
    EXPECT_EQ(bytes, esperado);
}

TEST(ModImprimeEnComandera, price_detail_puts_the_bracket_on_its_own_line_and_rounds_cents_to_even)
{
    DatosTicket datos = pedido();
    datos.total = importe("123456789.5");
    datos.items = {
        // 0.5 x 0.25 = 0.125: the half goes to the even cent.
        { QStringLiteral("Pan"), importe("0.5"), {}, {}, importe("0.25"), QString() },
    };
    DisenoTicket diseno;
    diseno.detallePrecio = true;

    const QByteArray bytes = unido(EscriturasTicket(diseno, datos, TipoTicket::Comun, u'.'));

    EXPECT_TRUE(bytes.contains(
        modo(0x00, 0) + "[0.50 X $ 0.25]\n" + "Pan                     $    0.12\n"));
    // A total wider than its 9 characters widens the line instead of losing digits.
    EXPECT_TRUE(bytes.contains("TOTAL $123456789.50\n"));
}

} // namespace
