#include "PdfTools.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QRegularExpression>

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// "n g R" references, outside stream data, to objects the cross-reference table does not hold
// in use; one line each. Only a file with one classic table is understood (what QPdfWriter and
// the join write).
QString danglingReferences(const QString& pdf)
{
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("no se puede leer %1\n").arg(pdf);
    const QByteArray bytes = file.readAll();
    const qsizetype xref = bytes.lastIndexOf("\nxref");
    if (xref < 0)
        return QStringLiteral("sin tabla de referencias\n");
    QSet<int> inUse;
    const QList<QByteArray> lines
        = bytes.mid(xref + 6, bytes.indexOf("trailer", xref) - xref - 6).split('\n');
    int number = -1;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 2) {
            number = fields[0].toInt();
        } else if (fields.size() == 3 && number >= 0) {
            if (fields[2] == "n")
                inUse.insert(number);
            ++number;
        }
    }
    QString found;
    static const QRegularExpression reference(QStringLiteral("(?<![0-9])([0-9]+) [0-9]+ R\\b"));
    qsizetype from = 0;
    while (from < bytes.size()) {
        qsizetype to = bytes.indexOf("stream", from);
        // "endstream" ends data; "stream" after a dictionary starts it.
        while (to >= 3 && bytes.mid(to - 3, 3) == "end")
            to = bytes.indexOf("stream", to + 6);
        const QString text = QString::fromLatin1(bytes.mid(from, to < 0 ? -1 : to - from));
        for (auto m = reference.globalMatch(text); m.hasNext();) {
            const int n = m.next().captured(1).toInt();
            if (!inUse.contains(n))
                found += QStringLiteral("referencia a %1, que no está en uso\n").arg(n);
        }
        if (to < 0)
            break;
        from = bytes.indexOf("endstream", to);
        if (from < 0)
            break;
        from += 9;
    }
    return found;
}

} // namespace

namespace PdfTools {

QString text(const QString& pdf)
{
    return run(
        QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
}

QString info(const QString& pdf)
{
    return run(QStringLiteral("pdfinfo"), { pdf });
}

int pageCount(const QString& pdf)
{
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info(pdf));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString faults(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), { pdf, QStringLiteral("/dev/null") });
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("pdftotext failed: ") + QString::fromUtf8(p.readAllStandardError());
    QString found = QString::fromUtf8(p.readAllStandardError());
    // qpdf reads the structure pdftotext forgives: the page tree, the cross-reference table.
    QProcess check;
    check.start(QStringLiteral("qpdf"), { QStringLiteral("--check"), pdf });
    if (!check.waitForStarted(30000))
        return found + QStringLiteral("qpdf no se pudo ejecutar (paquete qpdf)\n");
    check.waitForFinished(60000);
    if (check.exitStatus() != QProcess::NormalExit || check.exitCode() != 0)
        found += QString::fromUtf8(check.readAllStandardOutput() + check.readAllStandardError());
    return found + danglingReferences(pdf);
}

QString fonts(const QString& pdf)
{
    return run(QStringLiteral("pdffonts"), { pdf });
}

Words words(const QString& pdf)
{
    const QString html
        = run(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") });
    static const QRegularExpression element(
        QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">|<word xMin=\"([\\d.]+)\" "
                       "yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    Words found;
    for (auto it = element.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!m.captured(1).isEmpty()) {
            found.pages.push_back({ m.captured(1).toDouble(), m.captured(2).toDouble() });
        } else if (!found.pages.empty()) {
            found.words.push_back(
                { m.captured(7), int(found.pages.size()) - 1, m.captured(3).toDouble(),
                    m.captured(4).toDouble(), m.captured(5).toDouble(), m.captured(6).toDouble() });
        }
    }
    return found;
}

} // namespace PdfTools
