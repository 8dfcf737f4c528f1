#pragma once

#include <QList>
#include <QString>

// The "KEY=value;KEY=value;" connection text the program builds, read the way the providers read
// it: keys match ignoring case and surrounding blanks ("Database =" is "Database"), values are
// trimmed, a later key does not replace an earlier one, and a part without "=" is ignored.
class AdoConnectionString
{
public:
    explicit AdoConnectionString(const QString& text);

    bool contains(const QString& key) const;
    // The first value for `key`, or `fallback` when the key is missing.
    QString value(const QString& key, const QString& fallback = QString()) const;
    // The first value among several spellings of one key ("UId", "User Id", "UID").
    QString valueOf(const QList<QString>& keys, const QString& fallback = QString()) const;

    // Which engine the text names: the provider, else an ODBC driver or DSN.
    struct Entry
    {
        QString key;
        QString value;
    };
    // Every "key=value" part in order, keys as written (trimmed).
    const QList<Entry>& entries() const { return m_pairs; }

    enum class Kind
    {
        Unknown,
        SqlServer, // PROVIDER=SQLOLEDB (or SQLNCLI..., MSOLEDBSQL)
        Oracle, // Provider=OraOLEDB.Oracle.1 (or MSDAORA)
        Jet, // Microsoft.Jet.OLEDB.4.0 / 3.51, Microsoft.ACE.OLEDB
        Odbc, // DRIVER=... or DSN=... without an OLE DB provider
    };
    Kind kind() const;

private:
    QList<Entry> m_pairs;
};
