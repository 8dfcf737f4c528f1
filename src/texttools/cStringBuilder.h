#pragma once

#include <QString>

// Builds long texts without reallocating on every addition: the storage grows by whole chunks
// (8,192 characters unless told otherwise) and is only given back by HeapMinimize, Clear or an
// empty TheString. Sizes are counted in characters (UTF-16 code units). Positions of Insert and
// Remove are 0-based; Find answers 1-based positions.
//
// Failures raise RuntimeError and leave the text unchanged: 9 for a position beyond the text,
// 6 when a size no longer fits the 32-bit byte counts the builder keeps, 5 for a negative
// position, length or chunk size.
class cStringBuilder
{
public:
    int Length() const;
    int Capacity() const;
    int ChunkSize() const;
    void setChunkSize(int iChunkSize);

    QString toString() const;
    void setTheString(const QString& sThis);

    void Clear();
    void AppendNL(const QString& sThis);
    void Append(const QString& sThis);
    void AppendByVal(const QString& sThis);
    // Inserts before the character at `iIndex`; `iIndex` equal to Length appends.
    void Insert(int iIndex, const QString& sThis);
    void InsertByVal(int iIndex, const QString& sThis);
    void Remove(int iIndex, int lLen);
    // 1-based position of the first occurrence that lies wholly within the text, or 0. A start
    // below 1 searches from the beginning; `compare` 0 is a binary comparison, any other value
    // ignores case.
    int Find(const QString& sToFind, int lStartIndex = 1, int compare = 1) const;
    // Gives back whole chunks of unused storage, leaving at most one chunk free.
    void HeapMinimize();

private:
    void ensureRoom(qint64 bytesNeeded);

    QString m_text;
    // Byte counts, two per character, kept as the 32-bit values whose limits the caller sees.
    qint64 m_used = 0;
    qint64 m_allocated = 0;
    qint64 m_chunk = 16384;
};
