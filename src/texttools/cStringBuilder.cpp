#include "texttools/cStringBuilder.h"

#include <algorithm>
#include <limits>

#include "platform/RuntimeError.h"
#include "texttools/ErroresEjecucion.h"

namespace {

constexpr qint64 kMaxBytes = std::numeric_limits<qint32>::max();

const QString kOrigen = QStringLiteral("cStringBuilder");

[[noreturn]] void lanza(int numero)
{
    ErroresEjecucion::Lanza(numero, kOrigen);
}

// Byte count of `characters`, refused when it would not fit the 32-bit counts.
qint64 bytesOf(qint64 characters)
{
    const qint64 bytes = characters * 2;
    if (bytes > kMaxBytes || bytes < std::numeric_limits<qint32>::min())
        lanza(ErroresEjecucion::Desbordamiento);
    return bytes;
}

qint64 sumOf(qint64 a, qint64 b)
{
    if (a + b > kMaxBytes)
        lanza(ErroresEjecucion::Desbordamiento);
    return a + b;
}

} // namespace

int cStringBuilder::Length() const
{
    return static_cast<int>(m_text.size());
}

int cStringBuilder::Capacity() const
{
    return static_cast<int>(m_allocated / 2);
}

int cStringBuilder::ChunkSize() const
{
    return static_cast<int>(m_chunk / 2);
}

void cStringBuilder::setChunkSize(int iChunkSize)
{
    const qint64 bytes = bytesOf(iChunkSize);
    if (bytes <= 0)
        lanza(RuntimeError::InvalidCall);
    m_chunk = bytes;
}

QString cStringBuilder::toString() const
{
    return m_text;
}

void cStringBuilder::setTheString(const QString& sThis)
{
    const qint64 needed = bytesOf(sThis.size());
    if (needed == 0) {
        Clear();
        return;
    }
    // Grows chunk by chunk and never shrinks: a shorter text keeps the storage it had.
    qint64 allocated = m_allocated;
    while (allocated < needed)
        allocated = sumOf(allocated, m_chunk);
    m_allocated = allocated;
    m_text.reserve(m_allocated / 2);
    m_text = sThis;
}

void cStringBuilder::Clear()
{
    m_text = QString();
    m_allocated = 0;
}

void cStringBuilder::AppendNL(const QString& sThis)
{
    Append(sThis);
    Append(QStringLiteral("\r\n"));
}

void cStringBuilder::Append(const QString& sThis)
{
    if (sThis.isEmpty())
        return;
    ensureRoom(sumOf(bytesOf(m_text.size()), bytesOf(sThis.size())));
    m_text.append(sThis);
}

void cStringBuilder::AppendByVal(const QString& sThis)
{
    Append(sThis);
}

void cStringBuilder::Insert(int iIndex, const QString& sThis)
{
    if (iIndex < 0)
        lanza(RuntimeError::InvalidCall);
    if (bytesOf(iIndex) > bytesOf(m_text.size()))
        lanza(RuntimeError::SubscriptOutOfRange);
    ensureRoom(sumOf(bytesOf(m_text.size()), bytesOf(sThis.size())));
    m_text.insert(iIndex, sThis);
}

void cStringBuilder::InsertByVal(int iIndex, const QString& sThis)
{
    Insert(iIndex, sThis);
}

void cStringBuilder::Remove(int iIndex, int lLen)
{
    if (iIndex < 0 || lLen < 0)
        lanza(RuntimeError::InvalidCall);
    const qint64 used = bytesOf(m_text.size());
    if (bytesOf(iIndex) > used)
        lanza(RuntimeError::SubscriptOutOfRange);
    if (bytesOf(qint64(iIndex) + lLen) > used)
        lanza(RuntimeError::SubscriptOutOfRange);
    // The storage keeps its size; only HeapMinimize gives it back.
    m_text.remove(iIndex, lLen);
}

int cStringBuilder::Find(const QString& sToFind, int lStartIndex, int compare) const
{
    const qsizetype start = lStartIndex < 1 ? 0 : lStartIndex - 1;
    if (start >= m_text.size())
        return 0;
    if (sToFind.isEmpty())
        return static_cast<int>(start + 1);
    const Qt::CaseSensitivity mode = compare == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return static_cast<int>(m_text.indexOf(sToFind, start, mode) + 1);
}

void cStringBuilder::HeapMinimize()
{
    qint64 unused = m_allocated - bytesOf(m_text.size());
    qint64 allocated = m_allocated;
    while (unused > m_chunk) {
        allocated -= m_chunk;
        unused -= m_chunk;
    }
    if (allocated == m_allocated)
        return;
    m_allocated = allocated;
    m_text.squeeze();
    m_text.reserve(m_allocated / 2);
}

void cStringBuilder::ensureRoom(qint64 bytesNeeded)
{
    if (bytesNeeded <= m_allocated)
        return;
    // Whole chunks, as many as the addition needs, in one step.
    const qint64 chunks = (bytesNeeded - m_allocated + m_chunk - 1) / m_chunk;
    if (chunks > (kMaxBytes - m_allocated) / m_chunk)
        lanza(ErroresEjecucion::Desbordamiento);
    m_allocated += chunks * m_chunk;
    // The capacity shown grows by chunks, the storage behind it at least doubles: growing it a
    // chunk at a time copied the whole text every 8,192 characters (a 20 MB text took minutes).
    const qsizetype wanted = qsizetype(m_allocated / 2);
    if (m_text.capacity() < wanted)
        m_text.reserve(std::max(wanted, 2 * m_text.capacity()));
}
