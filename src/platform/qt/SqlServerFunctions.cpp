#include "platform/qt/SqlServerFunctions.h"

#include <cmath>

#include <sqlite3.h>

#include "platform/Clock.h"

namespace {

QString textOf(sqlite3_value* v)
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QString::fromUtf8(data, sqlite3_value_bytes(v));
}

void resultText(sqlite3_context* ctx, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void resultError(sqlite3_context* ctx, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_error(ctx, utf8.constData(), int(utf8.size()));
}

bool anyNull(int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    }
    return false;
}

QDateTime dateArgument(sqlite3_context* ctx, sqlite3_value* v)
{
    const QDateTime when = parseSqlDateTime(textOf(v));
    if (!when.isValid())
        resultError(
            ctx, QStringLiteral("La conversión de texto a fecha falló: '%1'.").arg(textOf(v)));
    return when;
}

QString partOf(sqlite3_value* v)
{
    return textOf(v).trimmed().toLower();
}

int numberArgument(sqlite3_value* v)
{
    return int(std::trunc(sqlite3_value_double(v)));
}

// Sunday-based week number within the year, as the server counts it by default.
int weekOfYear(QDate d)
{
    const QDate first(d.year(), 1, 1);
    const int offset = first.dayOfWeek() % 7; // Sunday = 0
    return (d.dayOfYear() + offset - 1) / 7 + 1;
}

qint64 secondsOf(const QDateTime& when)
{
    return when.toSecsSinceEpoch();
}

void fnLen(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    QString text = textOf(argv[0]);
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == u' ')
        --n;
    sqlite3_result_int64(ctx, n);
}

void fnCharindex(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const QString find = textOf(argv[0]);
    const QString in = textOf(argv[1]);
    qsizetype from = argc > 2 ? qMax(1, sqlite3_value_int(argv[2])) - 1 : 0;
    if (find.isEmpty())
        return sqlite3_result_int(ctx, 0);
    sqlite3_result_int64(ctx, in.indexOf(find, from, Qt::CaseInsensitive) + 1);
}

void fnLeft(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const int n = sqlite3_value_int(argv[1]);
    if (n < 0)
        return resultError(ctx, QStringLiteral("Longitud negativa en LEFT."));
    resultText(ctx, textOf(argv[0]).left(n));
}

void fnRight(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const int n = sqlite3_value_int(argv[1]);
    if (n < 0)
        return resultError(ctx, QStringLiteral("Longitud negativa en RIGHT."));
    resultText(ctx, textOf(argv[0]).right(n));
}

void fnUpper(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    resultText(ctx, textOf(argv[0]).toUpper());
}

void fnLower(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    resultText(ctx, textOf(argv[0]).toLower());
}

void fnReplicate(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const int n = sqlite3_value_int(argv[1]);
    resultText(ctx, n < 0 ? QString() : textOf(argv[0]).repeated(n));
}

void fnSpace(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const int n = sqlite3_value_int(argv[0]);
    resultText(ctx, n < 0 ? QString() : QString(n, u' '));
}

void fnGetdate(sqlite3_context* ctx, int, sqlite3_value**)
{
    const QDateTime now = NowOrSystemTime();
    resultText(ctx, now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

void fnSoloFecha(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const QDateTime when = dateArgument(ctx, argv[0]);
    if (when.isValid())
        resultText(ctx, sqlDateText(QDateTime(when.date(), QTime(0, 0), Qt::UTC)));
}

void fnDatePiece(sqlite3_context* ctx, sqlite3_value* v, const QString& part)
{
    const QDateTime when = dateArgument(ctx, v);
    if (!when.isValid())
        return;
    const QDate d = when.date();
    const QTime t = when.time();
    qint64 r = 0;
    if (part == u"year" || part == u"yy" || part == u"yyyy")
        r = d.year();
    else if (part == u"quarter" || part == u"qq" || part == u"q")
        r = (d.month() - 1) / 3 + 1;
    else if (part == u"month" || part == u"mm" || part == u"m")
        r = d.month();
    else if (part == u"dayofyear" || part == u"dy" || part == u"y")
        r = d.dayOfYear();
    else if (part == u"day" || part == u"dd" || part == u"d")
        r = d.day();
    else if (part == u"week" || part == u"wk" || part == u"ww")
        r = weekOfYear(d);
    else if (part == u"weekday" || part == u"dw" || part == u"w")
        r = d.dayOfWeek() % 7 + 1;
    else if (part == u"hour" || part == u"hh")
        r = t.hour();
    else if (part == u"minute" || part == u"mi" || part == u"n")
        r = t.minute();
    else if (part == u"second" || part == u"ss" || part == u"s")
        r = t.second();
    else
        return resultError(ctx, QStringLiteral("Parte de fecha desconocida: %1.").arg(part));
    sqlite3_result_int64(ctx, r);
}

void fnDatepart(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    fnDatePiece(ctx, argv[1], partOf(argv[0]));
}

void fnYear(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    fnDatePiece(ctx, argv[0], QStringLiteral("year"));
}

void fnMonth(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    fnDatePiece(ctx, argv[0], QStringLiteral("month"));
}

void fnDay(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    fnDatePiece(ctx, argv[0], QStringLiteral("day"));
}

void fnDateadd(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const QString part = partOf(argv[0]);
    const int n = numberArgument(argv[1]);
    QDateTime when = dateArgument(ctx, argv[2]);
    if (!when.isValid())
        return;
    if (part == u"year" || part == u"yy" || part == u"yyyy")
        when = when.addYears(n);
    else if (part == u"quarter" || part == u"qq" || part == u"q")
        when = when.addMonths(3 * n);
    else if (part == u"month" || part == u"mm" || part == u"m")
        when = when.addMonths(n);
    else if (part == u"day" || part == u"dd" || part == u"d" || part == u"dayofyear"
        || part == u"dy" || part == u"y" || part == u"weekday" || part == u"dw" || part == u"w")
        when = when.addDays(n);
    else if (part == u"week" || part == u"wk" || part == u"ww")
        when = when.addDays(7 * qint64(n));
    else if (part == u"hour" || part == u"hh")
        when = when.addSecs(3600 * qint64(n));
    else if (part == u"minute" || part == u"mi" || part == u"n")
        when = when.addSecs(60 * qint64(n));
    else if (part == u"second" || part == u"ss" || part == u"s")
        when = when.addSecs(n);
    else
        return resultError(ctx, QStringLiteral("Parte de fecha desconocida: %1.").arg(part));
    resultText(ctx, sqlDateText(when));
}

// Boundaries crossed between the two dates, as the server counts.
void fnDatediff(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const QString part = partOf(argv[0]);
    const QDateTime a = dateArgument(ctx, argv[1]);
    if (!a.isValid())
        return;
    const QDateTime b = dateArgument(ctx, argv[2]);
    if (!b.isValid())
        return;
    const QDate da = a.date();
    const QDate db = b.date();
    qint64 r = 0;
    const qint64 days = da.daysTo(db);
    auto floorDiv = [](qint64 x, qint64 y) { return x >= 0 ? x / y : -((-x + y - 1) / y); };
    if (part == u"year" || part == u"yy" || part == u"yyyy")
        r = db.year() - da.year();
    else if (part == u"quarter" || part == u"qq" || part == u"q")
        r = (db.year() * 4 + (db.month() - 1) / 3) - (da.year() * 4 + (da.month() - 1) / 3);
    else if (part == u"month" || part == u"mm" || part == u"m")
        r = (db.year() * 12 + db.month()) - (da.year() * 12 + da.month());
    else if (part == u"day" || part == u"dd" || part == u"d" || part == u"dayofyear"
        || part == u"dy" || part == u"y")
        r = days;
    else if (part == u"week" || part == u"wk" || part == u"ww") {
        // Sunday starts a week: count the Sundays passed.
        const QDate sunday(2000, 1, 2);
        r = floorDiv(sunday.daysTo(db), 7) - floorDiv(sunday.daysTo(da), 7);
    } else if (part == u"hour" || part == u"hh")
        r = floorDiv(secondsOf(b), 3600) - floorDiv(secondsOf(a), 3600);
    else if (part == u"minute" || part == u"mi" || part == u"n")
        r = floorDiv(secondsOf(b), 60) - floorDiv(secondsOf(a), 60);
    else if (part == u"second" || part == u"ss" || part == u"s")
        r = secondsOf(b) - secondsOf(a);
    else
        return resultError(ctx, QStringLiteral("Parte de fecha desconocida: %1.").arg(part));
    sqlite3_result_int64(ctx, r);
}

bool looksLikeDate(const QString& text)
{
    return text.size() >= 10 && text.at(4) == u'-' && text.at(7) == u'-'
        && parseSqlDateTime(text).isValid();
}

// T-SQL "+": texts join, numbers add, a date plus a number moves by days, a number and a text
// add when the text reads as a number. NULL on either side gives NULL.
void fnAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const int ta = sqlite3_value_type(argv[0]);
    const int tb = sqlite3_value_type(argv[1]);
    const bool na = ta == SQLITE_INTEGER || ta == SQLITE_FLOAT;
    const bool nb = tb == SQLITE_INTEGER || tb == SQLITE_FLOAT;
    if (ta == SQLITE_BLOB && tb == SQLITE_BLOB) {
        QByteArray joined(
            static_cast<const char*>(sqlite3_value_blob(argv[0])), sqlite3_value_bytes(argv[0]));
        joined.append(
            static_cast<const char*>(sqlite3_value_blob(argv[1])), sqlite3_value_bytes(argv[1]));
        return sqlite3_result_blob(ctx, joined.constData(), int(joined.size()), SQLITE_TRANSIENT);
    }
    if (!na && !nb)
        return resultText(ctx, textOf(argv[0]) + textOf(argv[1]));
    if (na && nb) {
        if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER)
            return sqlite3_result_int64(
                ctx, sqlite3_value_int64(argv[0]) + sqlite3_value_int64(argv[1]));
        return sqlite3_result_double(
            ctx, sqlite3_value_double(argv[0]) + sqlite3_value_double(argv[1]));
    }
    sqlite3_value* textArg = na ? argv[1] : argv[0];
    sqlite3_value* numberArg = na ? argv[0] : argv[1];
    const QString text = textOf(textArg);
    if (looksLikeDate(text)) {
        const double days = sqlite3_value_double(numberArg);
        const QDateTime when = parseSqlDateTime(text).addSecs(qint64(std::llround(days * 86400)));
        return resultText(ctx, sqlDateText(when));
    }
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok)
        return resultError(
            ctx, QStringLiteral("Error de conversión del texto '%1' a un número.").arg(text));
    if (sqlite3_value_type(numberArg) == SQLITE_INTEGER && number == std::trunc(number))
        return sqlite3_result_int64(ctx, qint64(number) + sqlite3_value_int64(numberArg));
    sqlite3_result_double(ctx, number + sqlite3_value_double(numberArg));
}

void fnText(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    resultText(ctx, textOf(argv[0]));
}

void fnInt(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_INTEGER)
        return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
    if (type == SQLITE_FLOAT)
        return sqlite3_result_int64(ctx, qint64(std::trunc(sqlite3_value_double(argv[0]))));
    // The server converts a blank to 0 (a NULL amount written into a text column reads so).
    bool ok = false;
    const QString text = textOf(argv[0]).trimmed();
    if (text.isEmpty())
        return sqlite3_result_int64(ctx, 0);
    const qint64 n = text.toLongLong(&ok);
    if (!ok)
        return resultError(
            ctx, QStringLiteral("Error de conversión del texto '%1' a entero.").arg(text));
    sqlite3_result_int64(ctx, n);
}

void fnReal(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
        return sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
    bool ok = false;
    const QString text = textOf(argv[0]).trimmed();
    if (text.isEmpty())
        return sqlite3_result_double(ctx, 0);
    const double n = text.toDouble(&ok);
    if (!ok)
        return resultError(
            ctx, QStringLiteral("Error de conversión del texto '%1' a número.").arg(text));
    sqlite3_result_double(ctx, n);
}

void fnBit(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
        return sqlite3_result_int(ctx, sqlite3_value_double(argv[0]) != 0 ? 1 : 0);
    const QString text = textOf(argv[0]).trimmed().toLower();
    if (text == u"true" || text == u"1")
        return sqlite3_result_int(ctx, 1);
    if (text == u"false" || text == u"0")
        return sqlite3_result_int(ctx, 0);
    resultError(ctx, QStringLiteral("Error de conversión del texto '%1' a bit.").arg(text));
}

void fnFormatDate(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const int style = argc > 1 ? sqlite3_value_int(argv[1]) : 0;
    const int type = sqlite3_value_type(argv[0]);
    const QDateTime when = type == SQLITE_TEXT ? parseSqlDateTime(textOf(argv[0])) : QDateTime();
    if (!when.isValid())
        return resultText(ctx, textOf(argv[0]));
    const char* format = nullptr;
    switch (style) {
    case 1:
        format = "MM/dd/yy";
        break;
    case 101:
        format = "MM/dd/yyyy";
        break;
    case 3:
        format = "dd/MM/yy";
        break;
    case 103:
        format = "dd/MM/yyyy";
        break;
    case 4:
        format = "dd.MM.yy";
        break;
    case 104:
        format = "dd.MM.yyyy";
        break;
    case 5:
        format = "dd-MM-yy";
        break;
    case 105:
        format = "dd-MM-yyyy";
        break;
    case 8:
    case 108:
        format = "hh:mm:ss";
        break;
    case 10:
        format = "MM-dd-yy";
        break;
    case 110:
        format = "MM-dd-yyyy";
        break;
    case 11:
        format = "yy/MM/dd";
        break;
    case 111:
        format = "yyyy/MM/dd";
        break;
    case 12:
        format = "yyMMdd";
        break;
    case 112:
        format = "yyyyMMdd";
        break;
    case 21:
    case 121:
        format = "yyyy-MM-dd hh:mm:ss.zzz";
        break;
    case 23:
        format = "yyyy-MM-dd";
        break;
    case 126:
        format = "yyyy-MM-ddThh:mm:ss.zzz";
        break;
    default:
        format = "yyyy-MM-dd hh:mm:ss";
        break;
    }
    resultText(ctx, when.toString(QLatin1String(format)));
}

void fnParseDate(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const int style = argc > 1 ? sqlite3_value_int(argv[1]) : 0;
    QString text = textOf(argv[0]).trimmed();
    // The server reads an empty text as its first day.
    if (text.isEmpty())
        return resultText(ctx, QStringLiteral("1900-01-01 00:00:00"));
    // Month-first styles swap into the day-first form the reader knows.
    if ((style == 1 || style == 101 || style == 10 || style == 110) && text.size() >= 5) {
        const QChar sep = text.at(2);
        const QStringList parts
            = text.left(text.indexOf(u' ') < 0 ? text.size() : text.indexOf(u' ')).split(sep);
        if (parts.size() == 3)
            text = parts.at(1) + u'/' + parts.at(0) + u'/' + parts.at(2)
                + (text.indexOf(u' ') < 0 ? QString() : text.mid(text.indexOf(u' ')));
    } else if (style == 104 || style == 105 || style == 4 || style == 5) {
        text.replace(u'.', u'/');
        text.replace(u'-', u'/');
    }
    const QDateTime when = parseSqlDateTime(text);
    if (!when.isValid())
        return resultError(
            ctx, QStringLiteral("La conversión de texto a fecha falló: '%1'.").arg(text));
    resultText(ctx, sqlDateText(when));
}

struct Function
{
    const char* name;
    int args;
    void (*call)(sqlite3_context*, int, sqlite3_value**);
    bool deterministic;
};

const Function functions[] = {
    { "LEN", 1, fnLen, true },
    { "CHARINDEX", 2, fnCharindex, true },
    { "CHARINDEX", 3, fnCharindex, true },
    { "rp_left", 2, fnLeft, true },
    { "rp_right", 2, fnRight, true },
    { "upper", 1, fnUpper, true },
    { "lower", 1, fnLower, true },
    { "REPLICATE", 2, fnReplicate, true },
    { "SPACE", 1, fnSpace, true },
    { "GETDATE", 0, fnGetdate, false },
    { "FN_SOLO_FECHA", 1, fnSoloFecha, true },
    { "DATEADD", 3, fnDateadd, true },
    { "DATEDIFF", 3, fnDatediff, true },
    { "DATEPART", 2, fnDatepart, true },
    { "YEAR", 1, fnYear, true },
    { "MONTH", 1, fnMonth, true },
    { "DAY", 1, fnDay, true },
    { "rp_add", 2, fnAdd, true },
    { "rp_text", 1, fnText, true },
    { "rp_int", 1, fnInt, true },
    { "rp_real", 1, fnReal, true },
    { "rp_bit", 1, fnBit, true },
    { "rp_format_date", 2, fnFormatDate, true },
    { "rp_parse_date", 2, fnParseDate, true },
};

int twoDigits(QStringView s, bool& ok)
{
    return s.toInt(&ok);
}

} // namespace

void registerSqlServerFunctions(sqlite3* db)
{
    for (const Function& f : functions) {
        const int flags = SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
        sqlite3_create_function_v2(
            db, f.name, f.args, flags, nullptr, f.call, nullptr, nullptr, nullptr);
    }
}

QDateTime parseSqlDateTime(const QString& input)
{
    const QString text = input.trimmed();
    if (text.isEmpty())
        return {};
    QDate date;
    QString rest;
    bool ok = true;
    if (text.size() >= 10 && text.at(4) == u'-' && text.at(7) == u'-') {
        date = QDate(twoDigits(QStringView(text).mid(0, 4), ok), text.mid(5, 2).toInt(),
            text.mid(8, 2).toInt());
        rest = text.mid(10);
    } else if (text.size() == 8 && text.at(0).isDigit() && !text.contains(u'/')) {
        date = QDate(text.left(4).toInt(&ok), text.mid(4, 2).toInt(), text.mid(6, 2).toInt());
    } else if (text.contains(u'/')) {
        const qsizetype blank = text.indexOf(u' ');
        const QStringList parts = text.left(blank < 0 ? text.size() : blank).split(u'/');
        if (parts.size() != 3)
            return {};
        bool okD = false;
        bool okM = false;
        bool okY = false;
        const int d = parts.at(0).toInt(&okD);
        const int m = parts.at(1).toInt(&okM);
        int y = parts.at(2).toInt(&okY);
        if (!okD || !okM || !okY || parts.at(2).size() == 3 || parts.at(2).size() > 4)
            return {};
        if (parts.at(2).size() <= 2)
            y += y < 50 ? 2000 : 1900;
        date = QDate(y, m, d);
        rest = blank < 0 ? QString() : text.mid(blank);
    } else {
        return {};
    }
    if (!ok || !date.isValid())
        return {};
    QTime time(0, 0);
    rest = rest.trimmed();
    if (rest.startsWith(u'T'))
        rest = rest.mid(1);
    if (!rest.isEmpty()) {
        const QStringList parts = rest.split(u':');
        if (parts.size() < 2 || parts.size() > 3)
            return {};
        bool okH = false;
        bool okM = false;
        const int h = parts.at(0).toInt(&okH);
        const int mi = parts.at(1).toInt(&okM);
        double sec = 0;
        bool okS = true;
        if (parts.size() == 3)
            sec = parts.at(2).toDouble(&okS);
        if (!okH || !okM || !okS)
            return {};
        const int whole = int(sec);
        time = QTime(h, mi, whole, int(std::lround((sec - whole) * 1000)) % 1000);
        if (!time.isValid())
            return {};
    }
    return QDateTime(date, time, Qt::UTC);
}

QString sqlDateText(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}
