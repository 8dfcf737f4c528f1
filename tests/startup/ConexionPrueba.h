#pragma once

// A provider for the login dialog's tests: a connection opens when its text names a server the
// test declared reachable (an "accepted" text), and every open and close is logged across all the
// connections the provider made, so a test sees which connection was opened and closed.

#include <memory>

#include <QList>
#include <QPair>
#include <QStringList>

#include "platform/AdoConnection.h"
#include "platform/AdoCursor.h"
#include "platform/AdoProvider.h"

struct RegistroPrueba
{
    QStringList aceptadas; // connection texts that open
    QStringList log;       // "open #<n> <text>", "close #<n>", "cursor #<n> <sql>"
    int creadas = 0;
    // Tables the schema lists.
    QStringList tablas;
    // Reads: the first entry whose text the statement contains gives the value of one column
    // "Administrador"; a read matching none returns no rows.
    QList<QPair<QString, Value>> administradores;
};

class ConexionPrueba final : public AdoConnection
{
public:
    ConexionPrueba(RegistroPrueba& registro, int numero) : m_registro(registro), m_numero(numero) { }

protected:
    bool driverOpen(const QString& text, const QString&, const QString&) override
    {
        m_registro.log << QStringLiteral("open #%1 %2").arg(m_numero).arg(text);
        if (m_registro.aceptadas.contains(text))
            return true;
        Errors().add(AdoError(int(0x80004005u), QStringLiteral("Login failed for user"),
                              QStringLiteral("28000"), 18456, QStringLiteral("Proveedor")));
        return false;
    }
    void driverClose() override { m_registro.log << QStringLiteral("close #%1").arg(m_numero); }
    bool driverExecute(const QString&, qint64*, std::unique_ptr<AdoCursor>*) override { return false; }
    std::unique_ptr<AdoCursor> driverOpenCursor(const QString& sql, bool) override
    {
        m_registro.log << QStringLiteral("cursor #%1 %2").arg(m_numero).arg(sql);
        QList<QList<Value>> filas;
        for (const auto& [texto, valor] : m_registro.administradores) {
            if (sql.contains(texto)) {
                filas.append({ valor });
                break;
            }
        }
        return std::make_unique<AdoMemoryCursor>(
            QList<AdoColumn> { { QStringLiteral("Administrador"), adVarChar, 10 } }, filas);
    }
    bool driverBeginTrans() override { return false; }
    bool driverCommitTrans() override { return false; }
    bool driverRollbackTrans() override { return false; }
    std::unique_ptr<AdoCursor> driverOpenSchema(int, const QList<Value>&) override
    {
        QList<QList<Value>> filas;
        for (const QString& tabla : m_registro.tablas)
            filas.append({ Value(), Value(), Value(tabla), Value(QStringLiteral("TABLE")) });
        return std::make_unique<AdoMemoryCursor>(
            QList<AdoColumn> { { QStringLiteral("TABLE_CATALOG"), adVarWChar, 128 },
                               { QStringLiteral("TABLE_SCHEMA"), adVarWChar, 128 },
                               { QStringLiteral("TABLE_NAME"), adVarWChar, 128 },
                               { QStringLiteral("TABLE_TYPE"), adVarWChar, 128 } },
            filas);
    }
    bool driverInsert(const QString&, const QStringList&, const QList<Value>&, const QStringList&,
                      QList<Value>*) override
    {
        return false;
    }
    bool driverUpdate(const QString&, const QStringList&, const QList<Value>&, const QStringList&,
                      const QList<Value>&) override
    {
        return false;
    }
    bool driverDelete(const QString&, const QStringList&, const QList<Value>&) override
    {
        return false;
    }

private:
    RegistroPrueba& m_registro;
    int m_numero;
};

class ProveedorPrueba final : public AdoProvider
{
public:
    RegistroPrueba registro;

    std::unique_ptr<AdoConnection> createConnection() override
    {
        return std::make_unique<ConexionPrueba>(registro, ++registro.creadas);
    }
};
