#include <gtest/gtest.h>

#include "sending/EnvioWhatsapp.h"

namespace {

TEST(EnvioWhatsapp, message_from_the_mail_fields_and_the_links)
{
    const struct
    {
        const char* nombre;
        QString mensaje;
        QString asunto;
        QString links;
        QString texto;
    } casos[] = {
        { "plain", QStringLiteral("Hola\r\nVa la lista"), QStringLiteral(" Lista "),
            QStringLiteral("\r\nhttps://d/2\r\nhttps://d/1\r\n"),
            QStringLiteral("Hola\r\nVa la lista\r\n \r\n\r\nLista\r\n\r\nLink del documento : "
                           "https://d/2\r\nhttps://d/1\r\n") },
        { "no links, no message", QStringLiteral("   "), QStringLiteral("Lista"), QString(),
            QStringLiteral("\r\nLista\r\n") },
        // The budget's anchor keeps its link and legend, the legend on a line of its own.
        { "budget anchor",
            QStringLiteral("<a href='https://w/b?id=1'> 'LINK PARA VISUALIZAR Y FIRMAR NUESTRA "
                           "PROPUESTA, AQUI' </a>."),
            QStringLiteral("Presupuesto"), QString(),
            QStringLiteral("https://w/b?id=1LINK PARA VISUALIZAR Y FIRMAR NUESTRA PROPUESTA, "
                           "AQUI\r\n\r\n \r\n\r\nPresupuesto\r\n") },
        { "cash balance body left out", QStringLiteral("SALDO CONSOLIDADO DE CAJA al dia"),
            QStringLiteral("Caja"), QStringLiteral("https://d/1"),
            QStringLiteral("\r\nCaja\r\n\r\nLink del documento : https://d/1\r\n") },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        EXPECT_EQ(EnvioWhatsapp::componeMensaje(c.mensaje, c.asunto, c.links), c.texto);
    }
}

TEST(EnvioWhatsapp, number_and_address)
{
    const struct
    {
        QString tecleado;
        QString numero;
    } numeros[] = {
        { QStringLiteral("11 5555-0001"), QStringLiteral("+5491155550001") },
        { QStringLiteral("+54 9 11/5555"), QStringLiteral("+549115555") },
        { QStringLiteral("0351\t4000 int."), QStringLiteral("+54903514000") },
    };
    for (const auto& n : numeros)
        EXPECT_EQ(EnvioWhatsapp::numero(n.tecleado), n.numero) << n.tecleado.toStdString();

    // Every line break is one "%0A"; "&", "+" and accents cannot end or bend the query.
    EXPECT_EQ(EnvioWhatsapp::direccion(QStringLiteral("wa.example"),
                  QStringLiteral("+5491155550001"), QStringLiteral("Año 1+1 & más\r\nfin\rya\nok")),
        QStringLiteral("https://wa.example/send?phone=+5491155550001&text="
                       "A%C3%B1o%201%2B1%20%26%20m%C3%A1s%0Afin%0Aya%0Aok"));
}

} // namespace
