#include "platform/LeadingNumber.h"

#include <QByteArray>

#include "platform/RuntimeError.h"

namespace {

bool skipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

} // namespace

double leadingNumber(QStringView text)
{
    // The characters that make the number, with the skipped ones taken out, handed to the C
    // reader in its own (locale-free) form.
    QByteArray number;
    bool digits = false;
    bool point = false;
    bool exponent = false;
    bool exponentDigits = false;
    qsizetype exponentStart = -1;

    for (const QChar c : text) {
        if (skipped(c))
            continue;
        const bool first = number.isEmpty();
        if (first && (c == u'+' || c == u'-')) {
            number += char(c.unicode());
        } else if (c.unicode() >= u'0' && c.unicode() <= u'9') {
            number += char(c.unicode());
            (exponent ? exponentDigits : digits) = true;
        } else if (c == u'.' && !point && !exponent) {
            number += '.';
            point = true;
        } else if ((c == u'E' || c == u'e' || c == u'D' || c == u'd') && digits && !exponent) {
            exponentStart = number.size();
            number += 'e';
            exponent = true;
        } else if ((c == u'+' || c == u'-') && exponent && number.size() == exponentStart + 1) {
            number += char(c.unicode());
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    // "12E" or "12E+" stop before the exponent.
    if (exponent && !exponentDigits)
        number.truncate(exponentStart);
    return number.toDouble();
}

qint64 leadingWholeNumber(QStringView text)
{
    const double number = leadingNumber(text);
    // Every double in this range truncates to a qint64; infinity is outside it.
    if (!(number >= -0x1p63 && number < 0x1p63))
        throw RuntimeError(6, QStringLiteral("Desbordamiento: ") + text.trimmed().toString());
    return static_cast<qint64>(number);
}

QString numberText(double value)
{
    if (value == 0.0)
        return QStringLiteral("0"); // never "-0"
    // Fifteen significant digits, as the suite's own conversion writes them; 'g' keeps the
    // exponent out below 1e15.
    return QString::number(value, 'g', 15);
}
