#include "platform/qt/QtAdoProvider.h"

#include <utility>

namespace {

// Placeholder until the engines are wired: every command fails with "provider not found".
class PendingConnection final : public AdoConnection
{
protected:
    bool driverOpen(const QString&, const QString&, const QString&) override { return unavailable(); }
    void driverClose() override { }
    bool driverExecute(const QString&, qint64*, std::unique_ptr<AdoCursor>*) override
    {
        return unavailable();
    }
    std::unique_ptr<AdoCursor> driverOpenCursor(const QString&, bool) override
    {
        unavailable();
        return nullptr;
    }
    bool driverBeginTrans() override { return unavailable(); }
    bool driverCommitTrans() override { return unavailable(); }
    bool driverRollbackTrans() override { return unavailable(); }
    std::unique_ptr<AdoCursor> driverOpenSchema(int, const QList<Value>&) override
    {
        unavailable();
        return nullptr;
    }
    bool driverInsert(const QString&, const QStringList&, const QList<Value>&, const QStringList&,
        QList<Value>*) override
    {
        return unavailable();
    }
    bool driverUpdate(const QString&, const QStringList&, const QList<Value>&, const QStringList&,
        const QList<Value>&) override
    {
        return unavailable();
    }
    bool driverDelete(const QString&, const QStringList&, const QList<Value>&) override
    {
        return unavailable();
    }

private:
    bool unavailable()
    {
        failWith(AdoErrorNumber::ProviderNotFound, QStringLiteral("No se encuentra el proveedor."));
        return false;
    }
};

} // namespace

QtAdoProvider::QtAdoProvider(Settings settings)
    : m_settings(std::move(settings))
{
}

std::unique_ptr<AdoConnection> QtAdoProvider::createConnection()
{
    return std::make_unique<PendingConnection>();
}
