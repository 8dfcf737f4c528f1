#include "PdfTools.h"

#include <QProcess>
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

} // namespace

namespace PdfTools {

QString text(const QString& pdf)
{
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

QString info(const QString& pdf)
{
    return run(QStringLiteral("pdfinfo"), {pdf});
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
    return QString::fromUtf8(p.readAllStandardError());
}

QString fonts(const QString& pdf)
{
    return run(QStringLiteral("pdffonts"), {pdf});
}

} // namespace PdfTools
