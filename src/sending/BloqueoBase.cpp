#include "sending/BloqueoBase.h"

#include "data/DataObjects.h"
#include "platform/MessageDialog.h"
#include "services/ManejoErrores.h"

BloqueoBase::BloqueoBase()
    : m_esperas(gDB().gCnn())
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
    return m_esperas.mensaje();
}
