#include "reportengine/SavedReportWriter.h"

#include <QBuffer>

const QByteArray SavedReportWriter::Magic = QByteArray("\x89RPTSAV\n", 8);
const QByteArray SavedReportWriter::EndMagic = QByteArray("RPTSEND\n", 8);

namespace SavedReportFormat {

void writeValue(QDataStream& out, const Value& value)
{
    const ValueType type = value.type();
    out << quint8(type);
    switch (type) {
    case ValueType::Empty:
    case ValueType::Null:
        break;
    case ValueType::Boolean:
        out << value.toBool();
        break;
    case ValueType::Int16:
    case ValueType::Int32:
    case ValueType::Int64:
        out << qint64(value.toLongLong());
        break;
    case ValueType::Currency:
        out << qint64(value.toCurrency().raw());
        break;
    case ValueType::Double:
    case ValueType::Single:
        out << value.toDouble();
        break;
    case ValueType::Date:
        out << value.toDateTime();
        break;
    case ValueType::Text:
        out << value.toString();
        break;
    case ValueType::Bytes:
        out << value.toBytes();
        break;
    }
}

Value readValue(QDataStream& in)
{
    quint8 type = 0;
    in >> type;
    switch (ValueType(type)) {
    case ValueType::Empty:
        return Value();
    case ValueType::Null:
        return Value::null();
    case ValueType::Boolean: {
        bool b = false;
        in >> b;
        return Value(b);
    }
    case ValueType::Int16: {
        qint64 v = 0;
        in >> v;
        return Value(qint16(v));
    }
    case ValueType::Int32: {
        qint64 v = 0;
        in >> v;
        return Value(qint32(v));
    }
    case ValueType::Int64: {
        qint64 v = 0;
        in >> v;
        return Value(v);
    }
    case ValueType::Currency: {
        qint64 v = 0;
        in >> v;
        return Value(Currency::fromRaw(v));
    }
    case ValueType::Double: {
        double v = 0;
        in >> v;
        return Value(v);
    }
    case ValueType::Single: {
        double v = 0;
        in >> v;
        return Value(float(v));
    }
    case ValueType::Date: {
        QDateTime v;
        in >> v;
        return Value(v);
    }
    case ValueType::Text: {
        QString v;
        in >> v;
        return Value(v);
    }
    case ValueType::Bytes: {
        QByteArray v;
        in >> v;
        return Value(v);
    }
    }
    in.setStatus(QDataStream::ReadCorruptData);
    return Value();
}

} // namespace SavedReportFormat

SavedReportWriter::SavedReportWriter(const QString& path)
    : m_path(path)
    , m_file(path)
{
}

SavedReportWriter::~SavedReportWriter() = default;

bool SavedReportWriter::check()
{
    if (m_out.status() != QDataStream::Ok || m_file.error() != QFileDevice::NoError) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("No se pudo escribir el informe guardado %1: %2")
                          .arg(m_path, m_file.reason());
        return false;
    }
    return true;
}

bool SavedReportWriter::begin(const DocumentInfo& info)
{
    if (!m_file.create()) {
        m_error = QStringLiteral("No se pudo crear el informe guardado %1: %2")
                      .arg(m_path, m_file.reason());
        return false;
    }
    m_out.setDevice(&m_file);
    m_out.setVersion(QDataStream::Qt_6_4);
    m_out.writeRawData(Magic.constData(), int(Magic.size()));
    m_out << FormatVersion;
    m_out << info.title << info.creator << info.reportName << qint32(info.pageWidth)
          << qint32(info.pageHeight) << info.landscape;
    return check();
}

bool SavedReportWriter::page(
    const PageDisplayList& page, const DocumentResources& resources, const DeferredValues*)
{
    for (; m_fontsWritten < resources.fonts().size(); ++m_fontsWritten) {
        const FontSpec& f = resources.fonts()[m_fontsWritten];
        m_out << quint8('F') << f.family << f.sizePt << f.bold << f.italic << f.underline;
    }
    for (; m_imagesWritten < resources.images().size(); ++m_imagesWritten) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        resources.images()[m_imagesWritten].save(&buffer, "PNG");
        m_out << quint8('I') << png;
    }
    m_out << quint8('P') << qint32(page.number) << quint32(page.items.size());
    for (const DisplayItem& d : page.items) {
        m_out << quint8(d.kind) << d.flags << d.font << quint32(d.color) << quint32(d.fillColor)
              << d.x << d.y << d.w << d.h << d.pen << d.ref << d.slot;
    }
    m_out << quint32(page.strings.size());
    for (const QString& s : page.strings)
        m_out << s;
    return check();
}

bool SavedReportWriter::finish(const DeferredValues& deferred)
{
    const quint64 offset = quint64(m_file.pos());
    m_out << quint8('D') << quint32(deferred.slots.size());
    for (const QString& s : deferred.slots)
        m_out << s;
    m_out << quint8('E') << offset;
    m_out.writeRawData(EndMagic.constData(), int(EndMagic.size()));
    if (!check())
        return false;
    if (!m_file.finish()) {
        m_error = QStringLiteral("No se pudo escribir el informe guardado %1: %2")
                      .arg(m_path, m_file.reason());
        return false;
    }
    return true;
}

void SavedReportWriter::beginRecords(const std::vector<RecordColumn>& columns)
{
    m_out << quint8('C') << quint32(columns.size());
    for (const RecordColumn& c : columns)
        m_out << c.name << c.format << quint8(c.align);
}

void SavedReportWriter::groupStart(int level, const Value& key, const QString& caption)
{
    m_out << quint8('G') << qint32(level);
    SavedReportFormat::writeValue(m_out, key);
    m_out << caption;
}

void SavedReportWriter::record(const std::vector<Value>& values)
{
    m_out << quint8('R') << quint32(values.size());
    for (const Value& v : values)
        SavedReportFormat::writeValue(m_out, v);
}

void SavedReportWriter::groupEnd(int level, const QString& caption)
{
    m_out << quint8('g') << qint32(level) << caption;
}

void SavedReportWriter::endRecords() { }
