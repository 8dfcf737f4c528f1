#include "platform/Utilidades.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include <QLocale>
#include <QRegularExpression>

#include "platform/Clock.h"
#include "platform/DatePicker.h"
#include "platform/ErrorLog.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"

namespace {

constexpr int OverflowError = 6;

QString sourceName()
{
    return QStringLiteral("Utilidades");
}

[[noreturn]] void typeMismatch()
{
    throw RuntimeError(
        RuntimeError::TypeMismatch, QStringLiteral("No coinciden los tipos"), sourceName());
}

// Reads an amount with the workstation's separator; where that is "," the point that many people
// type on the numeric keypad is read as the separator too.
std::optional<Currency> readAmount(const QString& trimmed)
{
    const QString separator = QLocale().decimalPoint();
    const QChar sep = separator.isEmpty() ? QChar(u'.') : separator.front();
    if (auto amount = Currency::fromString(trimmed, sep))
        return amount;
    if (sep != u'.')
        return Currency::fromString(trimmed, u'.');
    return std::nullopt;
}

// Letters and digits: the alphabet the scramble substitutes within.
const QString ScrambleAlphabet
    = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
constexpr QChar EscapeMark = u'~';

int scrambleShift(int position, int previous)
{
    return (23 + 17 * position + previous) % 62;
}

} // namespace

QString Utilidades::ValorCampo(const Value& value) const
{
    return value.toString();
}

Currency Utilidades::ValorMoneda(const QString& text) const
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return Currency();
    if (const auto amount = readAmount(trimmed))
        return *amount;
    typeMismatch();
}

qint32 Utilidades::ValorEntero(const QString& text) const
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0;
    const auto amount = readAmount(trimmed);
    if (!amount)
        typeMismatch();
    // Half to even, as the original's integer conversion rounds: 2.5 gives 2, 3.5 gives 4.
    const qint64 raw = amount->raw();
    qint64 whole = raw / Currency::Scale;
    const qint64 rest = raw % Currency::Scale;
    const qint64 half = Currency::Scale / 2;
    if (rest > half || (rest == half && (whole % 2 != 0)))
        ++whole;
    else if (rest < -half || (rest == -half && (whole % 2 != 0)))
        --whole;
    if (whole > std::numeric_limits<qint32>::max() || whole < std::numeric_limits<qint32>::min())
        throw RuntimeError(OverflowError, QStringLiteral("Desbordamiento"), sourceName());
    return static_cast<qint32>(whole);
}

QString Utilidades::RellenaIzquierda(const QString& text, int width) const
{
    if (width <= 0)
        return QString();
    if (text.size() >= width)
        return text.left(width);
    return QString(width - text.size(), u' ') + text;
}

QString Utilidades::RellenaDerecha(const QString& text, int width) const
{
    if (width <= 0)
        return QString();
    return text.leftJustified(width, u' ', true);
}

QString Utilidades::FormateaCodigo(const QString& code, int width) const
{
    const QString trimmed = code.trimmed();
    if (trimmed.isEmpty())
        return QString();
    static const QRegularExpression digitsOnly(QStringLiteral("^[0-9]+$"));
    // Numeric codes are stored right-aligned in their column ("   1"), so they sort and compare
    // as the suite's tables hold them; other codes ("FC", "RM") are stored as typed.
    if (digitsOnly.match(trimmed).hasMatch() && trimmed.size() < width)
        return RellenaIzquierda(trimmed, width);
    return width > 0 ? trimmed.left(width) : trimmed;
}

QString Utilidades::QuitaCaracteres(const QString& text, const QString& characters,
    const QString& more, const QString& evenMore) const
{
    const QString all = characters + more + evenMore;
    if (all.isEmpty())
        return text;
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (!all.contains(c))
            result.append(c);
    }
    return result;
}

QString Utilidades::Reemplaza(
    const QString& text, const QString& search, const QString& replacement) const
{
    if (search.isEmpty())
        return text;
    QString result = text;
    return result.replace(search, replacement, Qt::CaseSensitive);
}

QString Utilidades::ReemplazaCadena(
    const QString& text, const QString& search, const QString& replacement) const
{
    return Reemplaza(text, search, replacement);
}

int Utilidades::ClasificaTexto(const QString& text) const
{
    int words = 0;
    bool inWord = false;
    for (const QChar c : text) {
        if (c.isSpace()) {
            inWord = false;
        } else if (!inWord) {
            inWord = true;
            ++words;
        }
    }
    return words;
}

QString Utilidades::RutaConBarra(const QString& folder) const
{
    QString result = folder;
    while (!result.isEmpty() && (result.endsWith(u'/') || result.endsWith(u'\\')))
        result.chop(1);
    if (result.isEmpty())
        return folder.isEmpty() ? QString() : QStringLiteral("/");
    return result + u'/';
}

QString Utilidades::LimpiaCadenaFija(const QString& text) const
{
    // A fixed-length field never written is full of NULs; one written is padded with blanks.
    QString result = text;
    const qsizetype nul = result.indexOf(QChar(0));
    if (nul >= 0)
        result.truncate(nul);
    qsizetype end = result.size();
    while (end > 0 && result.at(end - 1) == u' ')
        --end;
    result.truncate(end);
    return result;
}

// The scramble. Each letter or digit is replaced by the letter or digit found by moving forward in
// "0-9A-Za-z" (62 characters, wrapping round) by a shift that depends on its position and on the
// previous plain character: shift = (23 + 17 * position + previous) mod 62, where previous is
// the index of the previous plain character in that alphabet (or its code mod 62 when it is not a
// letter or digit; 0 for the first). Any other character is written as "~" and its four-digit
// hexadecimal code (UTF-16), so commas, blanks, quotes, line breaks and accents never appear in the
// result.
QString Utilidades::Encripta(const QString& text) const
{
    QString result;
    result.reserve(text.size());
    int previous = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const qsizetype index = ScrambleAlphabet.indexOf(c);
        if (index >= 0) {
            result.append(ScrambleAlphabet.at((index + scrambleShift(i, previous)) % 62));
            previous = int(index);
        } else {
            result.append(EscapeMark);
            result.append(QStringLiteral("%1").arg(c.unicode(), 4, 16, QChar(u'0')).toUpper());
            previous = c.unicode() % 62;
        }
    }
    return result;
}

QString Utilidades::Desencripta(const QString& text) const
{
    QString result;
    result.reserve(text.size());
    int previous = 0;
    int position = 0;
    for (qsizetype i = 0; i < text.size(); ++position) {
        const QChar c = text.at(i);
        if (c == EscapeMark) {
            bool ok = false;
            const uint code = text.mid(i + 1, 4).toUInt(&ok, 16);
            if (!ok || i + 5 > text.size())
                return text;
            result.append(QChar(char16_t(code)));
            previous = int(code % 62);
            i += 5;
            continue;
        }
        const qsizetype index = ScrambleAlphabet.indexOf(c);
        if (index < 0)
            return text;
        const int plain = int((index - scrambleShift(position, previous) + 62 * 2) % 62);
        result.append(ScrambleAlphabet.at(plain));
        previous = plain;
        ++i;
    }
    return result;
}

QDate Utilidades::LeeFecha(const QString& dateText) const
{
    QString text = dateText.trimmed();
    const qsizetype cut = text.indexOf(QRegularExpression(QStringLiteral("[ T]")));
    if (cut > 0)
        text.truncate(cut);
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    if (const auto m = iso.match(text); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    // The workstation's form: three numbers in the order of its short date.
    static const QRegularExpression local(
        QStringLiteral("^(\\d{1,4})[/.-](\\d{1,2})[/.-](\\d{1,4})$"));
    const auto m = local.match(text);
    if (!m.hasMatch())
        return QDate();
    const QString format = FormatoFechaCorta();
    const qsizetype d = format.indexOf(u'd');
    const qsizetype mo = format.indexOf(u'M');
    const qsizetype y = format.indexOf(u'y');
    // Which captured part holds each of day, month and year: its rank among the three.
    const auto part
        = [&](qsizetype at) { return m.captured(1 + int(at > d) + int(at > mo) + int(at > y)); };
    const QString yearText = part(y);
    if (part(d).size() > 2 || yearText.size() == 1 || yearText.size() == 3)
        return QDate();
    int year = yearText.toInt();
    if (yearText.size() == 2)
        year += year < 30 ? 2000 : 1900; // the suite's two-digit year window
    return QDate(year, part(mo).toInt(), part(d).toInt());
}

QString Utilidades::FechaFormula(const QString& dateText) const
{
    const QDate date = LeeFecha(dateText);
    if (!date.isValid())
        typeMismatch();
    return QStringLiteral("Date(%1,%2,%3)")
        .arg(date.year(), 4, 10, QChar(u'0'))
        .arg(date.month(), 2, 10, QChar(u'0'))
        .arg(date.day(), 2, 10, QChar(u'0'));
}

bool Utilidades::EstaEnLista(const QString& value, const QStringList& list) const
{
    return list.contains(value, Qt::CaseInsensitive);
}

bool Utilidades::EstaEnLista(const Value& value, const QList<Value>& list) const
{
    for (const Value& element : list) {
        if (value.isNumeric() && element.isNumeric()) {
            if (value.toDouble() == element.toDouble())
                return true;
        } else if (value.isNull() || element.isNull()) {
            if (value.isNull() && element.isNull())
                return true;
        } else if (value.toString().compare(element.toString(), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

bool Utilidades::EsArregloControles(const QObject* control) const
{
    if (!control)
        return false;
    if (control->property("Index").isValid())
        return true;
    static const QRegularExpression member(QStringLiteral("^[A-Za-z]\\w*_\\d+$"));
    return member.match(control->objectName()).hasMatch();
}

QString Utilidades::SeleccionaFecha(QString& text) const
{
    QDate initial = LeeFecha(text);
    if (!initial.isValid())
        initial = Today();
    const auto chosen = Service<DatePicker>::get().pickDate(initial);
    if (!chosen)
        return text;
    text = QLocale().toString(*chosen, FormatoFechaCorta());
    return text;
}

QString Utilidades::FormatoFechaCorta()
{
    // The locale's short form, widened: its order and separator, never a one-digit day or month
    // nor a two-digit year, as the suite writes its dates.
    const QString corto = QLocale().dateFormat(QLocale::ShortFormat);
    const qsizetype d = corto.indexOf(u'd');
    const qsizetype m = corto.indexOf(u'M');
    const qsizetype y = corto.indexOf(u'y');
    if (d < 0 || m < 0 || y < 0)
        return QStringLiteral("dd/MM/yyyy");
    QString separador = QStringLiteral("/");
    for (const QChar c : corto) {
        if (!c.isLetter()) {
            separador = c;
            break;
        }
    }
    QList<std::pair<qsizetype, QString>> partes = { { d, QStringLiteral("dd") },
        { m, QStringLiteral("MM") }, { y, QStringLiteral("yyyy") } };
    std::sort(partes.begin(), partes.end());
    return partes[0].second + separador + partes[1].second + separador + partes[2].second;
}

int Utilidades::PreguntaError(const RuntimeError& error) const
{
    return MsgBox(ErrorLog::messageText(error), Msg::AbortRetryIgnore + Msg::Critical,
        QStringLiteral("Aviso al Operador"));
}

QString Utilidades::LimpiaTexto(const QString& text) const
{
    // The apostrophe stays: statements double it where they quote, and the HTML of a mail keeps
    // the quotes of its links.
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() != QChar::Other_Control || c == u'\r' || c == u'\n' || c == u'\t')
            result.append(c);
    }
    return result;
}

QString Utilidades::AjustaDescripcion(const QString& text) const
{
    return text.simplified();
}

void Utilidades::DescomponeRuta(const QString& path, QString& folder, QString& fileName,
    QString& extension, QString& baseName) const
{
    QString normal = path;
    normal.replace(u'\\', u'/');
    const qsizetype slash = normal.lastIndexOf(u'/');
    folder = slash >= 0 ? normal.left(slash + 1) : QString();
    fileName = normal.mid(slash + 1);
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot > 0) {
        extension = fileName.mid(dot + 1);
        baseName = fileName.left(dot);
    } else {
        extension.clear();
        baseName = fileName;
    }
}
