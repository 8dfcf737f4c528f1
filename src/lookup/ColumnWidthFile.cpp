#include "lookup/ColumnWidthFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "platform/FileNames.h"
#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"
#include "platform/Windows1252.h"

namespace ColumnWidthFile {

namespace {

const QString FileName = QStringLiteral("CONSULTASLEN.qzk");
const QString TempName = QStringLiteral("CONSULTASLEN.AUX");

// The fields of one line as the suite's sequential-file reader takes them: separated by commas,
// each the text between its double quotes when quoted, else the text itself trimmed.
QStringList fieldsOf(const QString& line)
{
    QStringList fields;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        while (i < n && line.at(i) == u' ')
            ++i;
        QString field;
        if (i < n && line.at(i) == u'"') {
            const qsizetype close = line.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            field = line.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            while (i < n && line.at(i) != u',')
                ++i;
        } else {
            const qsizetype comma = line.indexOf(u',', i);
            const qsizetype end = comma < 0 ? n : comma;
            field = line.mid(i, end - i).trimmed();
            i = end;
        }
        fields.append(field);
        if (i < n && line.at(i) == u',')
            ++i;
    }
    return fields;
}

QStringList linesOf(const QByteArray& bytes)
{
    QStringList lines = Windows1252::decode(bytes).split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray lineFor(const QString& tabla, const QString& anchos)
{
    return Windows1252::encode(u'"' + tabla + QStringLiteral("\",\"") + anchos + u'"')
        + QByteArrayLiteral("\r\n");
}

[[noreturn]] void fileError(int number, const QString& path, const QString& why)
{
    throw RuntimeError(number,
        QStringLiteral("No se pudo grabar el archivo ") + path + QStringLiteral(": ") + why,
        QStringLiteral("Lib_FrmCons3"));
}

} // namespace

QString ruta()
{
    return FileNames::helperFileToRead(FileName);
}

QString rutaParaGrabar()
{
    return FileNames::checkedHelperFileToWrite(
        FileName, FileNames::FirstWrite::CopyOfProgramFolder);
}

QList<std::optional<double>> leer(const QString& path, const QString& tabla, int columnCount)
{
    QList<std::optional<double>> anchos(qMax(columnCount, 0));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return anchos;
    const QStringList lines = linesOf(file.readAll());
    file.close();

    const Utilidades& util = gUtilidades();
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = fieldsOf(line);
        if (fields.size() < 2)
            return anchos;
        if (fields.at(0).compare(tabla, Qt::CaseInsensitive) != 0)
            continue;
        QString resto = fields.at(1);
        for (int i = 0; i < columnCount; ++i) {
            const qsizetype bar = resto.indexOf(u'|');
            if (bar < 0)
                return anchos;
            try {
                anchos[i] = util.ValorMoneda(resto.left(bar)).toDouble();
            } catch (const RuntimeError&) {
                return anchos;
            }
            resto.remove(0, bar + 1);
        }
    }
    return anchos;
}

void grabar(const QString& path, const QString& tabla, const QList<int>& anchos)
{
    const QString folder = QFileInfo(path).absolutePath();
    const QString tempPath = FileNames::inFolder(folder, TempName);

    QByteArray content;
    QFile old(path);
    if (old.exists()) {
        if (!old.open(QIODevice::ReadOnly))
            fileError(RuntimeError::FileNotFound, path, old.errorString());
        const QStringList lines = linesOf(old.readAll());
        old.close();
        for (const QString& line : lines) {
            if (line.trimmed().isEmpty())
                continue;
            const QStringList fields = fieldsOf(line);
            if (fields.isEmpty() || fields.at(0).compare(tabla, Qt::CaseInsensitive) == 0)
                continue;
            content += lineFor(fields.at(0), fields.value(1));
        }
    }
    QString texto;
    for (const int ancho : anchos)
        texto += QString::number(ancho) + u'|';
    content += lineFor(tabla, texto);

    QFile temp(tempPath);
    if (!temp.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fileError(RuntimeError::PathNotFound, tempPath, temp.errorString());
    if (temp.write(content) != content.size() || !temp.flush()) {
        const QString why = temp.errorString();
        temp.close();
        QFile::remove(tempPath);
        fileError(RuntimeError::PathNotFound, tempPath, why);
    }
    temp.close();
    if (old.exists() && !QFile::remove(path))
        fileError(RuntimeError::PathNotFound, path, old.errorString());
    if (!QFile::rename(tempPath, path))
        fileError(
            RuntimeError::PathNotFound, path, QStringLiteral("no se pudo renombrar ") + tempPath);
}

} // namespace ColumnWidthFile
