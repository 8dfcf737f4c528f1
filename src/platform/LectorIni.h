#pragma once

#include <QString>

#include "platform/Service.h"

// The utility library's INI access. A bare file name ("ZR417px.INI") is read from the data folder
// when it is there, else from the program folder, and written to the data folder (its first
// write there starts from the program folder's file); names are matched ignoring case. Section
// and key names match ignoring case (see IniFile).
class LectorIni
{
public:
    // The key's text, or `defaultValue` when the file, the section or the key is missing.
    QString LeeIni(const QString& file, const QString& section, const QString& key,
        const QString& defaultValue) const;
    // The same, leaving the text also in `value`, as the program's callers expect.
    void LeeIni(const QString& file, const QString& section, const QString& key,
        const QString& defaultValue, QString& value) const;

    // Writes the key, creating the file or the section when missing. False when the file cannot
    // be written.
    bool EscribeIni(const QString& file, const QString& section, const QString& key,
        const QString& value) const;

    // The path a file name is read from: relative names in the data folder, else the program
    // folder, matched ignoring case.
    QString RutaIni(const QString& file) const;
};

inline LectorIni& gLectorIni()
{
    return Service<LectorIni>::get();
}
