#include "platform/IniFile.h"

#include <optional>

#include <QFile>
#include <QSaveFile>

#include "platform/Windows1252.h"

namespace {

const QByteArray Utf8Mark("\xEF\xBB\xBF");

// The name of a section header line ("[name]"), or nothing when the line is not one.
std::optional<QString> sectionName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(u']');
    const QString name = close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1);
    return name.trimmed();
}

// The key of a "key=value" line, or nothing when the line is a comment or has no "=".
std::optional<QString> keyName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'['))
        return std::nullopt;
    const qsizetype eq = trimmed.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    return trimmed.left(eq).trimmed();
}

QString valueOf(const QString& line)
{
    QString value = line.mid(line.indexOf(u'=') + 1).trimmed();
    // Quotes around the whole value are the writer's way of keeping blanks; they are not part of
    // the value.
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front()) {
        value = value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

bool IniFile::load(const QString& path)
{
    m_lines.clear();
    m_utf8 = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    if (bytes.startsWith(Utf8Mark)) {
        m_utf8 = true;
        setText(QString::fromUtf8(bytes.mid(Utf8Mark.size())));
    } else {
        setText(Windows1252::decode(bytes));
    }
    return true;
}

bool IniFile::save(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QString content = m_lines.join(QStringLiteral("\r\n"));
    if (!m_lines.isEmpty())
        content += QStringLiteral("\r\n");
    const QByteArray bytes = m_utf8 ? Utf8Mark + content.toUtf8() : Windows1252::encode(content);
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

void IniFile::setText(const QString& text)
{
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normal.replace(u'\r', u'\n');
    m_lines = normal.split(u'\n');
    if (!m_lines.isEmpty() && m_lines.back().isEmpty())
        m_lines.removeLast();
}

QString IniFile::text() const
{
    return m_lines.isEmpty() ? QString() : m_lines.join(u'\n') + u'\n';
}

int IniFile::findSection(const QString& section) const
{
    const QString wanted = section.trimmed();
    for (int i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i]);
        if (name && name->compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int IniFile::sectionEnd(int header) const
{
    int i = header + 1;
    while (i < m_lines.size() && !sectionName(m_lines[i]))
        ++i;
    return i;
}

int IniFile::findKey(int header, const QString& key) const
{
    const QString wanted = key.trimmed();
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const auto name = keyName(m_lines[i]);
        if (name && name->compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool IniFile::hasKey(const QString& section, const QString& key) const
{
    const int header = findSection(section);
    return header >= 0 && findKey(header, key) >= 0;
}

QString IniFile::value(
    const QString& section, const QString& key, const QString& defaultValue) const
{
    const int header = findSection(section);
    if (header < 0)
        return defaultValue;
    const int line = findKey(header, key);
    return line < 0 ? defaultValue : valueOf(m_lines[line]);
}

void IniFile::setValue(const QString& section, const QString& key, const QString& rawValue)
{
    // One key is one line: a line break inside the value would start a key or a section of its
    // own when the file is read again.
    QString value = rawValue;
    value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    const QString entry = key.trimmed() + u'=' + value;
    const int header = findSection(section);
    if (header < 0) {
        m_lines.append(u'[' + section.trimmed() + u']');
        m_lines.append(entry);
        return;
    }
    const int line = findKey(header, key);
    if (line >= 0) {
        // Keep the key as it was spelled in the file.
        m_lines[line] = *keyName(m_lines[line]) + u'=' + value;
        return;
    }
    // After the section's last non-blank line, so the blank line before the next section stays.
    int at = sectionEnd(header);
    while (at - 1 > header && m_lines[at - 1].trimmed().isEmpty())
        --at;
    m_lines.insert(at, entry);
}

QStringList IniFile::sections() const
{
    QStringList names;
    for (const QString& line : m_lines) {
        if (const auto name = sectionName(line))
            names.append(*name);
    }
    return names;
}
