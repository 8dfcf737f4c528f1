#include "reportengine/SavedReportReader.h"

#include <QDataStream>

#include "reportengine/SavedReportWriter.h"

namespace {

// A file cut short or changed after it was written: the user's word for it, then which file.
QString damagedFile(const QString& path)
{
    return QStringLiteral("El archivo de reporte está dañado: %1").arg(path);
}

// Fewest bytes each kind of entry takes in the file: a count larger than what is left of the
// file divided by this is damage, and is refused before anything is allocated for it.
constexpr qint64 BytesPerString = 4; // the length, even for an empty text
constexpr qint64 BytesPerItem = 26; // kind, flags, colours, position and size at the least
constexpr qint64 BytesPerValue = 1; // the type
// Columns of one record: a report has tens; more than this is not a report of ours.
constexpr quint32 MostColumns = 100000;

bool fits(quint32 count, qint64 bytesLeft, qint64 bytesEach)
{
    return bytesLeft >= 0 && qint64(count) <= bytesLeft / bytesEach;
}

} // namespace

bool SavedReportReader::fail(const QString& message)
{
    m_error = message;
    return false;
}

bool SavedReportReader::open(const QString& path)
{
    m_path = path;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("No se encontró el informe guardado %1").arg(path));
    const QString notSaved = QStringLiteral("El archivo %1 no es un informe guardado").arg(path);
    const qint64 size = m_file.size();
    const QByteArray magic = m_file.read(SavedReportWriter::Magic.size());
    if (magic != SavedReportWriter::Magic || size < 32)
        return fail(notSaved);
    QDataStream in(&m_file);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 version = 0;
    in >> version;
    m_version = version;
    if (version < 1)
        return fail(damagedFile(path));
    if (version > SavedReportWriter::FormatVersion)
        return fail(QStringLiteral("El informe guardado %1 tiene un formato (%2) que esta versión "
                                   "no conoce")
                        .arg(path)
                        .arg(version));
    qint32 width = 0;
    qint32 height = 0;
    in >> m_info.title >> m_info.creator >> m_info.reportName >> width >> height
        >> m_info.landscape;
    m_info.pageWidth = width;
    m_info.pageHeight = height;
    m_bodyStart = m_file.pos();

    // The trailer says where the deferred values are; a truncated file (an interrupted run)
    // has none and is refused rather than shown half.
    if (!m_file.seek(size - 16))
        return fail(notSaved);
    quint64 offset = 0;
    in >> offset;
    const QByteArray endMagic = m_file.read(SavedReportWriter::EndMagic.size());
    if (in.status() != QDataStream::Ok || endMagic != SavedReportWriter::EndMagic
        || offset < quint64(m_bodyStart) || offset >= quint64(size))
        return fail(damagedFile(path));
    m_deferredOffset = qint64(offset);
    m_file.seek(m_deferredOffset);
    quint8 tag = 0;
    quint32 count = 0;
    in >> tag >> count;
    if (tag != 'D' || !fits(count, size - m_file.pos(), BytesPerString))
        return fail(damagedFile(path));
    m_deferred.slots.clear();
    m_deferred.slots.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        QString s;
        in >> s;
        m_deferred.slots.push_back(s);
    }
    if (in.status() != QDataStream::Ok)
        return fail(damagedFile(path));
    return true;
}

int SavedReportReader::pageCount() const
{
    if (m_deferred.slots.empty())
        return 0;
    return m_deferred.slots.front().toInt();
}

bool SavedReportReader::replay(PageSink& pages, RecordSink* records)
{
    if (!m_file.isOpen() || !m_file.seek(m_bodyStart))
        return fail(QStringLiteral("El informe guardado %1 no está abierto").arg(m_path));
    QDataStream in(&m_file);
    in.setVersion(QDataStream::Qt_6_4);
    const QString damaged = damagedFile(m_path);
    if (!pages.begin(m_info))
        return fail(pages.errorString());
    DocumentResources resources;
    PageDisplayList page;
    std::vector<Value> values;
    while (m_file.pos() < m_deferredOffset) {
        quint8 tag = 0;
        in >> tag;
        switch (tag) {
        case 'F': {
            FontSpec f;
            in >> f.family >> f.sizePt >> f.bold >> f.italic >> f.underline;
            resources.addFont(f);
            break;
        }
        case 'I': {
            QByteArray png;
            in >> png;
            QImage img = QImage::fromData(png, "PNG");
            if (img.isNull())
                return fail(damaged);
            resources.addImage(img);
            break;
        }
        case 'P': {
            page.clear();
            qint32 number = 0;
            quint32 count = 0;
            in >> number >> count;
            if (!fits(count, m_deferredOffset - m_file.pos(), BytesPerItem))
                return fail(damaged);
            page.number = number;
            page.items.resize(count);
            for (DisplayItem& d : page.items) {
                quint8 kind = 0;
                quint32 color = 0;
                quint32 fill = 0;
                in >> kind >> d.flags >> d.font >> color >> fill >> d.x >> d.y >> d.w >> d.h
                    >> d.pen >> d.ref >> d.slot;
                if (kind > quint8(DisplayKind::Image))
                    return fail(damaged);
                d.kind = DisplayKind(kind);
                d.color = color;
                d.fillColor = fill;
            }
            quint32 strings = 0;
            in >> strings;
            if (!fits(strings, m_deferredOffset - m_file.pos(), BytesPerString))
                return fail(damaged);
            page.strings.resize(strings);
            for (QString& s : page.strings)
                in >> s;
            if (in.status() != QDataStream::Ok)
                return fail(damaged);
            for (DisplayItem& d : page.items) {
                const bool textOk
                    = d.kind != DisplayKind::Text || (d.ref >= 0 && quint32(d.ref) < strings);
                const bool fontOk
                    = d.kind != DisplayKind::Text || d.font < resources.fonts().size();
                const bool imageOk = d.kind != DisplayKind::Image
                    || (d.ref >= 0 && std::size_t(d.ref) < resources.images().size());
                if (!textOk || !fontOk || !imageOk)
                    return fail(damaged);
                if (d.kind == DisplayKind::Text && d.slot >= 0) {
                    page.strings[std::size_t(d.ref)]
                        = m_deferred.resolve(page.strings[std::size_t(d.ref)], d.slot);
                    d.slot = -1;
                }
            }
            if (!pages.page(page, resources, &m_deferred))
                return fail(pages.errorString());
            break;
        }
        case 'C': {
            quint32 count = 0;
            in >> count;
            if (count > MostColumns
                || !fits(count, m_deferredOffset - m_file.pos(), 2 * BytesPerString + 1))
                return fail(damaged);
            std::vector<RecordColumn> columns(count);
            for (RecordColumn& c : columns) {
                quint8 align = 0;
                in >> c.name >> c.format >> align;
                c.align = HAlign(align);
            }
            if (records)
                records->beginRecords(columns);
            break;
        }
        case 'G': {
            qint32 level = 0;
            in >> level;
            const Value key = SavedReportFormat::readValue(in);
            QString caption;
            if (m_version >= 2)
                in >> caption;
            if (records)
                records->groupStart(level, key, caption);
            break;
        }
        case 'R': {
            quint32 count = 0;
            in >> count;
            if (count > MostColumns || !fits(count, m_deferredOffset - m_file.pos(), BytesPerValue))
                return fail(damaged);
            values.resize(count);
            for (Value& v : values)
                v = SavedReportFormat::readValue(in);
            if (records)
                records->record(values);
            break;
        }
        case 'g': {
            qint32 level = 0;
            in >> level;
            QString caption;
            if (m_version >= 2)
                in >> caption;
            if (records)
                records->groupEnd(level, caption);
            break;
        }
        default:
            return fail(damaged);
        }
        if (in.status() != QDataStream::Ok)
            return fail(damaged);
    }
    if (records)
        records->endRecords();
    if (!pages.finish(m_deferred))
        return fail(pages.errorString());
    return true;
}
