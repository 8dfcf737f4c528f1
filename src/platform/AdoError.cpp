#include "platform/AdoError.h"

#include <utility>

AdoError::AdoError(
    int number, QString description, QString sqlState, int nativeError, QString source)
    : m_number(number)
    , m_description(std::move(description))
    , m_sqlState(std::move(sqlState))
    , m_nativeError(nativeError)
    , m_source(std::move(source))
{
}
