#include "platform/qt/CurlMail.h"

#include <gtest/gtest.h>

// Any control character in an envelope address would end the SMTP command or smuggle bytes into
// it, wherever the address came from: the recipient is refused before a session is opened.
TEST(CurlMail, an_envelope_address_with_a_control_character_is_refused)
{
    const struct
    {
        const char* caso;
        QString direccion;
        bool valida;
    } casos[] = {
        { "plain", QStringLiteral("uno@example.com"), true },
        { "blanks around it", QStringLiteral("  uno@example.com "), true },
        { "line break", QStringLiteral("uno@example.com\r\nRCPT TO:<otro@example.com>"), false },
        { "NUL", QStringLiteral("uno") + QChar(0) + QStringLiteral("@example.com"), false },
        { "ESC", QStringLiteral("uno\x1b@example.com"), false },
        { "DEL", QStringLiteral("uno\x7f@example.com"), false },
        { "two addresses", QStringLiteral("uno@example.com,otro@example.com"), false },
    };
    CurlMailFactory fabrica;
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        const std::unique_ptr<Mail> correo = fabrica.crear(MailSeguridad());
        ASSERT_TRUE(correo->Crear());

        const bool aceptada = correo->AgregarDestinatario(c.direccion);

        EXPECT_EQ(aceptada, c.valida);
        if (!c.valida) {
            EXPECT_EQ(correo->fallo(), MailFallo::Datos);
            EXPECT_EQ(correo->descripcionFallo(),
                QStringLiteral("Destinatario no valido: ") + c.direccion);
        }
    }
}
