#include "sending/BloqueoBase.h"

#include "data/DataObjects.h"
#include "platform/MessageDialog.h"
#include "services/ManejoErrores.h"

BloqueoBase::BloqueoBase()
    : m_esperas(gDB().gCnn().timeoutCount())
{
}

Steps BloqueoBase::pasos(const QString& rutina)
{
    return Steps([this, rutina](const RuntimeError& error) {
        return mensaje().isEmpty() ? ManejoErrores(error, rutina) : int(Msg::Abort);
    });
}

QString BloqueoBase::mensaje() const
{
    const AdoConnection& cnn = gDB().gCnn();
    if (cnn.timeoutCount() == m_esperas)
        return QString();
    return cnn.timeoutError(cnn.LastError()).description();
}
