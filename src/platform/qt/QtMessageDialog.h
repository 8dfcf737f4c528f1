#pragma once

#include "platform/MessageDialog.h"

// Message boxes on QMessageBox: the buttons, icon and default button of the style number, plain
// text exactly as given; an empty title shows the program's name, as the original did.
class QtMessageDialog final : public MessageDialog
{
public:
    int show(const QString& text, int style, const QString& title) override;
};
