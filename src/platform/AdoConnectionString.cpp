#include "platform/AdoConnectionString.h"

AdoConnectionString::AdoConnectionString(const QString& text)
{
    const QStringList parts = text.split(u';');
    for (const QString& part : parts) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed();
        if (key.isEmpty())
            continue;
        m_pairs.append({ key, part.mid(eq + 1).trimmed() });
    }
}

bool AdoConnectionString::contains(const QString& key) const
{
    for (const Entry& p : m_pairs) {
        if (p.key.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString AdoConnectionString::value(const QString& key, const QString& fallback) const
{
    for (const Entry& p : m_pairs) {
        if (p.key.compare(key, Qt::CaseInsensitive) == 0)
            return p.value;
    }
    return fallback;
}

QString AdoConnectionString::valueOf(const QList<QString>& keys, const QString& fallback) const
{
    for (const QString& key : keys) {
        if (contains(key))
            return value(key);
    }
    return fallback;
}

AdoConnectionString::Kind AdoConnectionString::kind() const
{
    const QString provider = value(QStringLiteral("Provider")).toUpper();
    if (provider.startsWith(u"SQLOLEDB") || provider.startsWith(u"SQLNCLI")
        || provider.startsWith(u"MSOLEDBSQL"))
        return Kind::SqlServer;
    if (provider.contains(u"ORACLE") || provider.startsWith(u"MSDAORA"))
        return Kind::Oracle;
    if (provider.contains(u"JET") || provider.contains(u"ACE.OLEDB"))
        return Kind::Jet;
    if (contains(QStringLiteral("Driver")) || contains(QStringLiteral("DSN")))
        return Kind::Odbc;
    return Kind::Unknown;
}
