#include "lookup/LookupGridRules.h"

#include <cmath>
#include <limits>

#include "platform/AdoTypes.h"

namespace LookupGridRules {

QString tablaConsulta(const QString& sql)
{
    const qsizetype from = sql.indexOf(QLatin1String("from"), 0, Qt::CaseInsensitive);
    if (from < 0)
        return QString();
    // The name starts right after "from" and runs to the first blank past its first character;
    // a name followed by a line break or a tab runs on, as the suite's own dialog reads it.
    const qsizetype start = from + 4;
    const qsizetype blank = sql.indexOf(u' ', start + 1);
    const qsizetype end = blank < 0 ? sql.size() : blank;
    return sql.mid(start, end - start).trimmed();
}

bool esConsultaArticulos(const QString& sql)
{
    return sql.contains(QLatin1String("articulos"), Qt::CaseInsensitive);
}

bool usaNombresDeListas(const QString& sql)
{
    return sql.contains(QLatin1String("V_MA_ARTICULOS"), Qt::CaseInsensitive)
        || sql.contains(QLatin1String("STK_MA_ARTICULOS"), Qt::CaseInsensitive);
}

QString clavePrecio(const QString& fieldName)
{
    if (fieldName.size() != 7
        || !fieldName.startsWith(QLatin1String("PRECIO"), Qt::CaseInsensitive))
        return QString();
    const QChar digit = fieldName.at(6);
    if (digit < u'1' || digit > u'8')
        return QString();
    return QStringLiteral("NOM_PCLASE") + digit;
}

bool esColumnaNumerica(int adoType)
{
    return adoTypeClass(adoType) == AdoTypeClass::Number;
}

int anchoCaracteres(
    int adoType, qint64 definedSize, int captionLength, int longestValue, bool widen10)
{
    // Long texts (text, varchar(max)) report the largest size there is, which says nothing about
    // what they hold: they are sized by their data like a column without a size.
    const bool sinTamanio = definedSize <= 0 || definedSize >= std::numeric_limits<qint32>::max()
        || adoType == adLongVarChar || adoType == adLongVarWChar || adoType == adLongVarBinary;
    qint64 width;
    if (adoType == adCurrency || adoType == adNumeric)
        width = NumericColumnChars;
    else if (!sinTamanio)
        width = definedSize;
    else
        width = qMax(captionLength, longestValue);
    if (width >= MaxColumnChars)
        width = MaxColumnChars;
    if (widen10)
        width += 10;
    return int(width);
}

namespace {

// A field value as an amount, or nothing when it is Null, blank or not a number.
std::optional<Currency> amountOf(const Value& value)
{
    if (value.isNumeric())
        return value.toCurrency();
    if (value.isEmpty() || value.isNull())
        return std::nullopt;
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    return Currency::fromString(text);
}

} // namespace

std::optional<int> nivelStock(const Value& puntoPedido, const Value& stock)
{
    const auto p = amountOf(puntoPedido);
    const auto s = amountOf(stock);
    if (!p || !s)
        return std::nullopt;
    const Currency zero;
    if (*p == zero && *s > zero)
        return 1;
    if (*p > zero && *s > *p)
        return 2;
    if (*p > zero && *s < *p)
        return 3;
    // A stock exactly at the reorder point is level 4, like a negative reorder point or an
    // article with neither.
    return 4;
}

std::optional<QColor> colorDeNivel(const Value& nivel)
{
    if (nivel.isEmpty() || nivel.isNull())
        return std::nullopt;
    qint64 number = 0;
    if (nivel.isNumeric()) {
        number = std::llround(nivel.toDouble());
    } else {
        const QString text = nivel.toString().trimmed();
        if (text.isEmpty())
            return std::nullopt;
        const auto amount = Currency::fromString(text);
        if (!amount)
            return std::nullopt;
        number = std::llround(amount->toDouble());
    }
    const quint32 bgr = quint32(number);
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

double leeCantidad(const QString& text, QChar decimalPoint)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    QString number;
    if (i < t.size() && (t.at(i) == u'-' || t.at(i) == u'+'))
        number.append(t.at(i++));
    bool separatorSeen = false;
    bool digitSeen = false;
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c.isDigit() && c.unicode() < 128) {
            number.append(c);
            digitSeen = true;
        } else if (!separatorSeen && (c == decimalPoint || c == u'.')) {
            number.append(u'.');
            separatorSeen = true;
        } else {
            break;
        }
    }
    if (!digitSeen)
        return 0;
    return number.toDouble();
}

QString formatoCantidad(double value, int decimals, QChar decimalPoint)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(u'-') && text.toDouble() == 0)
        text.remove(0, 1);
    if (decimalPoint != u'.')
        text.replace(u'.', decimalPoint);
    return text;
}

} // namespace LookupGridRules
