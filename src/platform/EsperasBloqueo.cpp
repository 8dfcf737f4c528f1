#include "platform/EsperasBloqueo.h"

#include "platform/AdoConnection.h"

EsperasBloqueo::EsperasBloqueo(const AdoConnection& cnn)
    : m_cnn(&cnn)
    , m_esperas(cnn.timeoutCount())
{
}

void EsperasBloqueo::reinicia()
{
    m_esperas = m_cnn->timeoutCount();
}

bool EsperasBloqueo::hubo() const
{
    return m_cnn->timeoutCount() != m_esperas;
}

QString EsperasBloqueo::mensaje() const
{
    if (!hubo())
        return QString();
    return m_cnn->timeoutError(m_cnn->LastError()).description();
}
