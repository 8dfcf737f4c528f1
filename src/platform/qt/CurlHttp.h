#pragma once

#include "platform/Http.h"

// HTTPS through libcurl: the body streamed from its three pieces, the URL handed over untouched.
class CurlHttpFactory final : public HttpFactory
{
public:
    CurlHttpFactory();
    ~CurlHttpFactory() override;
    std::unique_ptr<Http> crear(const HttpSeguridad& seguridad) override;
};
