#include "platform/qt/QtAdoProvider.h"

#include <utility>

#include "platform/qt/QtAdoConnection.h"

QtAdoProvider::QtAdoProvider(Settings settings)
    : m_settings(std::move(settings))
{
}

std::unique_ptr<AdoConnection> QtAdoProvider::createConnection()
{
    return std::make_unique<QtAdoConnection>(m_settings, m_lastSqliteFolder);
}
