#include "platform/LectorIni.h"

#include "platform/FileNames.h"
#include "platform/IniFile.h"

QString LectorIni::RutaIni(const QString& file) const
{
    return FileNames::helperFileToRead(file);
}

QString LectorIni::LeeIni(const QString& file, const QString& section, const QString& key,
    const QString& defaultValue) const
{
    IniFile ini;
    if (!ini.load(RutaIni(file)))
        return defaultValue;
    return ini.value(section, key, defaultValue);
}

void LectorIni::LeeIni(const QString& file, const QString& section, const QString& key,
    const QString& defaultValue, QString& value) const
{
    value = LeeIni(file, section, key, defaultValue);
}

bool LectorIni::EscribeIni(
    const QString& file, const QString& section, const QString& key, const QString& value) const
{
    const QString path
        = FileNames::helperFileToWrite(file, FileNames::FirstWrite::CopyOfProgramFolder);
    IniFile ini;
    ini.load(path);
    ini.setValue(section, key, value);
    return ini.save(path);
}
