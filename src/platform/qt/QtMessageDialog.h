#pragma once

#include "platform/MessageDialog.h"

class QMessageBox;

// Message boxes on QMessageBox: the buttons, icon and default button of the style number, plain
// text exactly as given; an empty title shows the program's name, as the original did.
class QtMessageDialog final : public MessageDialog
{
public:
    int show(const QString& text, int style, const QString& title) override;

    // Sets up `box` for the style without showing it.
    static void prepare(QMessageBox& box, const QString& text, int style, const QString& title);
    // The answer code of the button the box was closed with (its escape answer when none).
    static int answerOf(const QMessageBox& box, int style);
};
