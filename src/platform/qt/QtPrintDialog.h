#pragma once

#include <QPrintDialog>

#include "platform/PrintDialog.h"

// The print dialog on QPrintDialog.
class QtPrintDialog final : public PrintDialog
{
public:
    std::optional<PrintChoice> choose(const PrintRequest& request) override;

    // What the operator chose in a dialog accepted on `printer`.
    static PrintChoice choiceOf(QPrinter& printer);
};

// Qt's print dialog whose page list ("Páginas": "5", "5,7-8") prints those pages. Qt 6.4 clears
// the printer's page ranges before it checks them, so it refuses every list as badly written; this
// one leaves a well-written list out of Qt's check and sets it on the printer itself. A badly
// written list is still refused with Qt's message.
class PageListPrintDialog final : public QPrintDialog
{
public:
    using QPrintDialog::QPrintDialog;

    void accept() override;
};
