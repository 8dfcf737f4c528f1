#include "reportengine/XlsxTools.h"

#include <QHash>
#include <QRegularExpression>

#include "reportengine/ZipTools.h"

namespace XlsxTools {

namespace {

QString columnName(int number)
{
    QString name;
    for (; number > 0; number = (number - 1) / 26)
        name.prepend(QChar(u'A' + (number - 1) % 26));
    return name;
}

QString unescaped(QString text)
{
    return text.replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

} // namespace

SheetCells readSheet(const QString& xlsx, int number)
{
    const QString sheet = QString::fromUtf8(
        ZipTools::member(xlsx, QStringLiteral("xl/worksheets/sheet%1.xml").arg(number)));
    const QString styles
        = QString::fromUtf8(ZipTools::member(xlsx, QStringLiteral("xl/styles.xml")));
    QHash<int, QString> codes;
    static const QRegularExpression numFmt(
        QStringLiteral("<numFmt numFmtId=\"(\\d+)\" formatCode=\"([^\"]*)\""));
    for (auto m = numFmt.globalMatch(styles); m.hasNext();) {
        const auto match = m.next();
        codes.insert(match.captured(1).toInt(), unescaped(match.captured(2)));
    }
    QStringList xfCodes;
    const QString xfs
        = styles.section(QStringLiteral("<cellXfs"), 1).section(QStringLiteral("</cellXfs>"), 0, 0);
    static const QRegularExpression xf(QStringLiteral("<xf numFmtId=\"(\\d+)\""));
    for (auto m = xf.globalMatch(xfs); m.hasNext();)
        xfCodes << codes.value(m.next().captured(1).toInt());
    SheetCells out;
    static const QRegularExpression col(
        QStringLiteral("<col min=\"(\\d+)\" max=\"(\\d+)\" width=\"([\\d.]+)\""));
    for (auto m = col.globalMatch(sheet); m.hasNext();) {
        const auto match = m.next();
        for (int c = match.captured(1).toInt(); c <= match.captured(2).toInt(); ++c)
            out.widths << columnName(c) + u'=' + match.captured(3);
    }
    static const QRegularExpression row(QStringLiteral("<row r=\"(\\d+)\"([^>]*)>"));
    for (auto m = row.globalMatch(sheet); m.hasNext();) {
        const auto match = m.next();
        static const QRegularExpression level(QStringLiteral("outlineLevel=\"(\\d+)\""));
        const auto l = level.match(match.captured(2));
        out.rows << match.captured(1) + u':' + (l.hasMatch() ? l.captured(1) : QStringLiteral("0"));
    }
    static const QRegularExpression cell(
        QStringLiteral("<c r=\"([A-Z]+\\d+)\"(?: s=\"(\\d+)\")?(?: "
                       "t=\"(\\w+)\")?>(?:<is><t[^>]*>([^<]*)</t></is>|<v>([^<]*)</v>)"));
    for (auto m = cell.globalMatch(sheet); m.hasNext();) {
        const auto match = m.next();
        const QString type = match.captured(3);
        QString text = match.captured(1) + u'=';
        if (type == u"inlineStr" || type == u"str") {
            text += match.captured(4);
        } else {
            text += (type == u"b" ? QStringLiteral("bool ") : QString()) + match.captured(5);
            const QString code = xfCodes.value(match.captured(2).toInt());
            if (!code.isEmpty())
                text += QStringLiteral(" [%1]").arg(code);
        }
        out.cells << unescaped(text);
    }
    return out;
}

} // namespace XlsxTools
