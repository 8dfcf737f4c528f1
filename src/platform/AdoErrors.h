#pragma once

#include <QList>

#include "platform/AdoError.h"

// The Errors collection of a connection. Every command on the connection (Open, Execute, a
// recordset's Open/Update/Delete, transactions, OpenSchema) clears it first and fills it when the
// provider reports a failure; nothing here throws. The entries stay until the next command or Clear.
class AdoErrors
{
public:
    int Count() const { return int(m_items.size()); }
    // Index 0 is the first error. An index out of range raises RuntimeError 3265.
    const AdoError& Item(int index) const;
    void Clear() { m_items.clear(); }

    // Provider side: appends an entry.
    void add(const AdoError& error) { m_items.append(error); }
    const QList<AdoError>& items() const { return m_items; }

private:
    QList<AdoError> m_items;
};
