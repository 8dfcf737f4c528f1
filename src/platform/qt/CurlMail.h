#pragma once

#include "platform/Mail.h"

// SMTP through libcurl: STARTTLS or TLS from the start on 465, AUTH only with a password, the
// message built with curl's MIME parts (attachments read from disk as they are sent).
class CurlMailFactory final : public MailFactory
{
public:
    CurlMailFactory();
    ~CurlMailFactory() override;
    std::unique_ptr<Mail> crear(const MailSeguridad& seguridad) override;
};
