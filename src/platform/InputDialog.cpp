#include "platform/InputDialog.h"

#include "platform/Service.h"

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    return Service<InputDialog>::get().ask(prompt, title, defaultText);
}
