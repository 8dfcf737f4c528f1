#include "vouchers/FmtNroAS400.h"

#include <cmath>

#include <QRegularExpression>

#include "platform/LeadingNumber.h"
#include "services/Formatos.h"

namespace FmtNroAS400 {
namespace {

// The integer read from `text`, at least `width` digits, "-" in front when negative (or when the
// text is a negative number whose integer part is 0: "-0,5" must not come out positive).
QString integerField(const QString& text, int width, bool negativeFraction)
{
    const qint64 value = std::llround(leadingNumber(text));
    QString digits = QString::number(value < 0 ? -value : value);
    if (digits.size() < width)
        digits = digits.rightJustified(width, u'0');
    return value < 0 || (value == 0 && negativeFraction) ? u'-' + digits : digits;
}

} // namespace

QString FormateaNroAS400(const QString& Numero, int Ancho, int Decimales)
{
    const QChar separator = SeparadorDecimal() == u"," ? u',' : u'.';
    const qsizetype position = Numero.indexOf(separator);
    if (position < 0)
        return integerField(Numero, Ancho, false) + QString(qMax(Decimales, 0), u'0');

    const QString whole = Numero.left(position);
    QString decimals = Numero.mid(position + 1).trimmed();
    if (decimals.size() < Decimales)
        decimals += QString(Decimales - decimals.size(), u'0');
    else
        decimals = decimals.left(qMax(Decimales, 0));
    const bool negative = whole.trimmed().startsWith(u'-')
        && decimals.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return integerField(whole, Ancho, negative) + decimals;
}

} // namespace FmtNroAS400
