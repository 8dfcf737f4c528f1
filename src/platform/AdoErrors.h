#pragma once

#include <QList>

#include "platform/AdoError.h"

// The Errors collection of a connection. Every command on the connection (Open, Execute, a
// recordset's Open/Update/Delete, transactions, OpenSchema) clears it first and fills it when the
// provider reports a failure; nothing here throws. The entries stay until the next command or
// Clear.
class AdoErrors
{
public:
    int Count() const { return int(m_items.size()); }
    // Index 0 is the first error. An index out of range raises RuntimeError 3265.
    const AdoError& Item(int index) const;
    void Clear() { m_items.clear(); }

    // Provider side: appends an entry.
    void add(const AdoError& error);
    const QList<AdoError>& items() const { return m_items; }

    // How many entries ever added said that a command waited out its time-out (state HYT00:
    // another process's lock on an embedded file, a statement past its time on a server). Clear
    // keeps the count, so a caller can tell whether any wait ran out since it last looked.
    int timeoutCount() const { return m_timeouts; }

private:
    QList<AdoError> m_items;
    int m_timeouts = 0;
};
