#pragma once

#include <QByteArray>
#include <QString>

#include "platform/Value.h"

class AdoRecordset;

// One column of an open recordset, as `rs.Fields("X")` gives it. Owned by the recordset; valid
// until it is closed or reopened. Reading or writing a value with no current row raises
// RuntimeError 3021; writing on a read-only recordset raises 3251.
class AdoField
{
public:
    const QString& Name() const;
    // ADO type code (adVarChar 200, adInteger 3, adCurrency 6, ...).
    int Type() const;
    // Characters for text, bytes for binary, the width of the type for numbers.
    qint64 DefinedSize() const;
    // Characters or bytes of the current value (0 for Null).
    qint64 ActualSize() const;

    // The current row's value (the pending one during an edit). Empty, Null and "" stay apart.
    ::Value Value() const;
    // Changes the current row's value; on a row that is not being added this starts an edit that
    // Update stores and CancelUpdate drops.
    void setValue(const ::Value& value);

    // Long binary or text values in pieces: the first AppendChunk on a row replaces the value,
    // later ones append. GetChunk returns the next `length` bytes (characters for text) of the
    // value, from where the previous call on the same row stopped; Null when nothing is left.
    void AppendChunk(const ::Value& piece);
    ::Value GetChunk(qint64 length);

private:
    friend class AdoRecordset;
    AdoField(AdoRecordset* recordset, int index);

    AdoRecordset* m_recordset;
    int m_index;
    quint64 m_chunkRow = 0;
    qint64 m_chunkOffset = 0;
};
