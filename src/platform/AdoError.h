#pragma once

#include <QString>

// One entry of a connection's Errors collection: what the provider reported for a failed command.
// `Number` is the result code the program compares (E_FAIL and friends as signed 32-bit numbers),
// `NativeError` the server's own number (2627 duplicate key, 547 constraint, 11 lost link, ...).
class AdoError
{
public:
    AdoError() = default;
    AdoError(int number, QString description, QString sqlState = QString(), int nativeError = 0,
        QString source = QString());

    int Number() const { return m_number; }
    const QString& Description() const { return m_description; }
    const QString& SQLState() const { return m_sqlState; }
    int NativeError() const { return m_nativeError; }
    const QString& Source() const { return m_source; }

    bool operator==(const AdoError&) const = default;

private:
    int m_number = 0;
    QString m_description;
    QString m_sqlState;
    int m_nativeError = 0;
    QString m_source;
};
