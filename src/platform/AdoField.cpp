#include "platform/AdoField.h"

#include "platform/AdoRecordset.h"

AdoField::AdoField(AdoRecordset* recordset, int index)
    : m_recordset(recordset)
    , m_index(index)
{
}

const QString& AdoField::Name() const
{
    return m_recordset->column(m_index).name;
}

int AdoField::Type() const
{
    return m_recordset->column(m_index).type;
}

qint64 AdoField::DefinedSize() const
{
    return m_recordset->column(m_index).definedSize;
}

qint64 AdoField::ActualSize() const
{
    const ::Value v = Value();
    switch (v.type()) {
    case ValueType::Empty:
    case ValueType::Null:
        return 0;
    case ValueType::Text:
        return v.toString().size();
    case ValueType::Bytes:
        return v.toBytes().size();
    default:
        return DefinedSize();
    }
}

::Value AdoField::Value() const
{
    return m_recordset->currentValue(m_index);
}

void AdoField::setValue(const ::Value& value)
{
    m_recordset->setPendingValue(m_index, value);
}

void AdoField::AppendChunk(const ::Value& piece)
{
    const quint64 row = m_recordset->m_rowSerial;
    if (m_chunkRow != row) {
        m_chunkRow = row;
        m_chunkOffset = 0;
        setValue(piece);
        return;
    }
    const ::Value current = Value();
    if (current.type() == ValueType::Bytes || piece.type() == ValueType::Bytes)
        setValue(::Value(current.toBytes() + piece.toBytes()));
    else
        setValue(::Value(current.toString() + piece.toString()));
}

::Value AdoField::GetChunk(qint64 length)
{
    const quint64 row = m_recordset->m_rowSerial;
    if (m_chunkRow != row) {
        m_chunkRow = row;
        m_chunkOffset = 0;
    }
    const ::Value v = Value();
    if (v.isNull() || v.isEmpty() || length <= 0)
        return ::Value::null();
    if (v.type() == ValueType::Bytes) {
        const QByteArray bytes = v.toBytes();
        if (m_chunkOffset >= bytes.size())
            return ::Value::null();
        const QByteArray piece = bytes.mid(m_chunkOffset, length);
        m_chunkOffset += piece.size();
        return ::Value(piece);
    }
    const QString text = v.toString();
    if (m_chunkOffset >= text.size())
        return ::Value::null();
    const QString piece = text.mid(m_chunkOffset, length);
    m_chunkOffset += piece.size();
    return ::Value(piece);
}
