#pragma once

#include <QString>
#include <QStringList>

// An INI file with the semantics of the suite's home system: section and key names match ignoring
// case, a section name may hold "|" and other punctuation, the first of repeated sections or keys
// wins, blanks around names and values are dropped, a value wholly between matching quotes loses
// them, lines starting with ";" are comments. Writing keeps every other line as it was. The file
// is read as UTF-8 when it starts with the UTF-8 mark, else in Windows-1252; it is written back
// the same way, lines ended with CR LF.
class IniFile
{
public:
    IniFile() = default;

    // Reads `path`. A missing or unreadable file gives an empty INI (and false).
    bool load(const QString& path);
    // Writes the lines back to `path`. False when the file cannot be written.
    bool save(const QString& path) const;

    // Parses INI text already decoded.
    void setText(const QString& text);
    QString text() const;

    bool hasKey(const QString& section, const QString& key) const;
    // The key's value, or `defaultValue` when the section or the key is missing. A key present
    // with an empty value gives the empty text, not the default.
    QString value(
        const QString& section, const QString& key, const QString& defaultValue = QString()) const;
    // Sets the key's value in place, or adds the key at the end of its section, or adds the section
    // at the end of the file. Line breaks in the value are written as blanks.
    void setValue(const QString& section, const QString& key, const QString& value);

    // Section names in file order, as written.
    QStringList sections() const;

private:
    // Index of the section's header line, or -1.
    int findSection(const QString& section) const;
    // Index of the key's line in the section starting after `header`, or -1.
    int findKey(int header, const QString& key) const;
    // Index one past the last line that belongs to the section at `header`.
    int sectionEnd(int header) const;

    QStringList m_lines;
    bool m_utf8 = false;
};
