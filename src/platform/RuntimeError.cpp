#include "platform/RuntimeError.h"

#include <utility>

RuntimeError::RuntimeError(int number, QString description, QString source)
    : m_number(number)
    , m_description(std::move(description))
    , m_source(std::move(source))
    , m_what(QStringLiteral("%1: %2").arg(m_number).arg(m_description).toUtf8())
{
}

const char* RuntimeError::what() const noexcept
{
    return m_what.constData();
}
