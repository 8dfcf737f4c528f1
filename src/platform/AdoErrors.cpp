#include "platform/AdoErrors.h"

#include "platform/AdoTypes.h"
#include "platform/RuntimeError.h"

const AdoError& AdoErrors::Item(int index) const
{
    if (index < 0 || index >= m_items.size())
        throw RuntimeError(AdoErrorNumber::ItemNotFound,
            QStringLiteral("No se encontró el elemento en la colección."),
            QStringLiteral("Errors"));
    return m_items.at(index);
}

void AdoErrors::add(const AdoError& error)
{
    if (error.SQLState() == u"HYT00")
        ++m_timeouts;
    m_items.append(error);
}
