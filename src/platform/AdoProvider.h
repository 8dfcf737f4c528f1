#pragma once

#include <memory>

#include "platform/AdoConnection.h"

// Creates database connections: the program's "New ADODB.Connection". src/app installs the real
// provider (Service<AdoProvider>); tests install their own or a fake.
class AdoProvider
{
public:
    virtual ~AdoProvider() = default;

    // A new, closed connection. The caller owns it; recordsets opened on it must be closed or
    // destroyed before it, or they are left closed when it goes.
    virtual std::unique_ptr<AdoConnection> createConnection() = 0;
};
