#include "platform/MessageDialog.h"

#include "platform/Service.h"

namespace Msg {

int buttonsOf(int style)
{
    return style & 0x0F;
}

int iconOf(int style)
{
    return style & 0x70;
}

int defaultButtonOf(int style)
{
    return (style & 0x300) >> 8;
}

} // namespace Msg

int MsgBox(const QString& text, int style, const QString& title)
{
    return Service<MessageDialog>::get().show(text, style, title);
}
