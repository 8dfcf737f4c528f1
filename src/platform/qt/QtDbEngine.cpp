#include "platform/qt/QtDbEngine.h"

#include <atomic>

#include <QSqlDatabase>

namespace {

std::atomic<int> s_serial { 0 };

} // namespace

QtDbEngine::QtDbEngine(AdoErrors& errors, const char* kind)
    : m_errors(errors)
    , m_connectionName(QStringLiteral("rp_%1_%2").arg(QLatin1String(kind)).arg(++s_serial))
{
}

void QtDbEngine::removeConnection()
{
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}
