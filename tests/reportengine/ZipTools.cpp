#include "ZipTools.h"

#include <QFile>
#include <QtEndian>

#include <zlib.h>

namespace ZipTools {

namespace {

quint32 u32(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 u16(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

QByteArray inflateRaw(const QByteArray& data, qsizetype size)
{
    QByteArray out(size, '\0');
    z_stream z {};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return {};
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    const int rc = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    return rc == Z_STREAM_END ? out : QByteArray();
}

} // namespace

QByteArray member(const QString& zipFile, const QString& name)
{
    QFile f(zipFile);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = f.readAll();
    const qsizetype end = all.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0)
        return {};
    qsizetype at = u32(all, end + 16);
    const int count = u16(all, end + 10);
    for (int i = 0; i < count && at + 46 <= all.size(); ++i) {
        const quint16 method = u16(all, at + 10);
        const quint32 compressed = u32(all, at + 20);
        const quint32 size = u32(all, at + 24);
        const quint16 nameLen = u16(all, at + 28);
        const quint16 extraLen = u16(all, at + 30);
        const quint16 commentLen = u16(all, at + 32);
        const quint32 local = u32(all, at + 42);
        const QByteArray entry = all.mid(at + 46, nameLen);
        if (entry == name.toUtf8()) {
            const qsizetype data = local + 30 + u16(all, local + 26) + u16(all, local + 28);
            const QByteArray raw = all.mid(data, compressed);
            return method == 0 ? raw : inflateRaw(raw, size);
        }
        at += 46 + nameLen + extraLen + commentLen;
    }
    return {};
}

} // namespace ZipTools
