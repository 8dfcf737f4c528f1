#include "startup/AccesoDirecto.h"

#include <gtest/gtest.h>

namespace {

TEST(AccesoDirecto, exec_key_quotes_and_escapes_each_argument)
{
    const struct
    {
        const char* argumentos;
        const char* exec;
    } casos[] = {
        { " ; @server=SRV1; @dbname=Ventas;",
            "Exec=\"/opt/rp/Rp_Tarifolio\" \" ; @server=SRV1; @dbname=Ventas;\"" },
        // Inside quotes: \" \` \$ \\ ; then every backslash doubled by the file's string rule,
        // and "%" doubled because field codes start with it.
        { "a\"b", "Exec=\"/opt/rp/Rp_Tarifolio\" \"a\\\\\"b\"" },
        { "$HOME`x`", "Exec=\"/opt/rp/Rp_Tarifolio\" \"\\\\$HOME\\\\`x\\\\`\"" },
        { "100%", "Exec=\"/opt/rp/Rp_Tarifolio\" \"100%%\"" },
        { "c:\\datos", "Exec=\"/opt/rp/Rp_Tarifolio\" \"c:\\\\\\\\datos\"" },
    };

    for (const auto& caso : casos) {
        const QByteArray contenido = AccesoDirecto::Contenido(QStringLiteral("Rp_Tarifolio"),
            QStringLiteral("/opt/rp/Rp_Tarifolio"), QString::fromUtf8(caso.argumentos), QString());
        EXPECT_TRUE(contenido.contains(QByteArray(caso.exec) + '\n')) << caso.argumentos << "\n"
                                                                      << contenido.constData();
    }
}

TEST(AccesoDirecto, file_named_after_the_trimmed_title)
{
    EXPECT_EQ(AccesoDirecto::ArchivoAccesoDirecto(
                  QStringLiteral("/home/ana/Escritorio"), QStringLiteral(" Listas de precios ")),
        QStringLiteral("/home/ana/Escritorio/Listas de precios.desktop"));
}

} // namespace
