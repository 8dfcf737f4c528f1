#pragma once

#include <QString>

// A modal one-line input box. Reached through Service<InputDialog>.
class InputDialog
{
public:
    virtual ~InputDialog() = default;

    // Asks for one line of text under `prompt`, starting from `defaultText`. Returns the text
    // typed, or an empty text when the operator cancels (the program cannot tell the two apart,
    // and does not need to).
    virtual QString ask(const QString& prompt, const QString& title, const QString& defaultText)
        = 0;
};

// Shorthand for Service<InputDialog>::get().ask(prompt, title, defaultText).
QString InputBox(const QString& prompt, const QString& title = QString(),
    const QString& defaultText = QString());
