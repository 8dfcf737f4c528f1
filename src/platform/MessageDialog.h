#pragma once

#include <QString>

// Button-style numbers and answer codes of the program's message boxes. The program stores and
// compares these numbers, so they are kept as plain integers that combine with "+".
namespace Msg {

enum Style : int
{
    OkOnly = 0,
    OkCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
    DefaultButton1 = 0,
    DefaultButton2 = 256,
    DefaultButton3 = 512,
};

enum Answer : int
{
    Ok = 1,
    Cancel = 2,
    Abort = 3,
    Retry = 4,
    Ignore = 5,
    Yes = 6,
    No = 7,
};

// The parts of a style number: buttons (0..5), icon (0, 16, 32, 48, 64), default button (0, 1, 2).
int buttonsOf(int style);
int iconOf(int style);
int defaultButtonOf(int style);

} // namespace Msg

// A modal message box. Reached through Service<MessageDialog>; src/app installs the Qt one, tests
// a scripted fake. Title and text are shown exactly as given.
class MessageDialog
{
public:
    virtual ~MessageDialog() = default;

    // Shows `text` with the buttons, icon and default button of `style` and returns the answer code
    // (Msg::Answer). Closing the box without a button gives Cancel when the box has one, else the
    // only or last button's answer, as the original did.
    virtual int show(const QString& text, int style, const QString& title) = 0;
};

// Shorthand for Service<MessageDialog>::get().show(text, style, title).
int MsgBox(const QString& text, int style = Msg::OkOnly, const QString& title = QString());
