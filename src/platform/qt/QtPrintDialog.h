#pragma once

#include "platform/PrintDialog.h"

// The print dialog on QPrintDialog.
class QtPrintDialog final : public PrintDialog
{
public:
    std::optional<PrintChoice> choose(const PrintRequest& request) override;
};
