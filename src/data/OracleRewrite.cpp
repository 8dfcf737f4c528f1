#include "data/OracleRewrite.h"

#include <array>

#include <QDate>
#include <QRegularExpression>
#include <QStringList>
#include <QTime>

#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"

namespace OracleRewrite {

namespace {

constexpr auto CI = Qt::CaseInsensitive;

[[noreturn]] void invalidArgument(const QString& why)
{
    throw RuntimeError(RuntimeError::InvalidCall,
        QStringLiteral("Llamada a procedimiento o argumento no válidos (%1)").arg(why),
        QStringLiteral("ORACLE_Dicc"));
}

qsizetype firstBlank(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isSpace())
            return i;
    }
    return -1;
}

// SELECT TOP n ... has no Oracle form; the limit becomes a ROWNUM condition placed before the
// GROUP BY or ORDER BY tail. (ROWNUM is applied before ORDER BY on Oracle: the suite has always
// accepted that the first n rows read are not the first n in order.)
QString rowLimit(const QString& valor)
{
    if (!valor.contains(QLatin1String("top "), CI))
        return valor;
    // The first "top" anywhere, even inside a word: a column such as "laptop " starts the rewrite
    // just as "TOP " does, and statements of the suite are written knowing it.
    const qsizetype p = valor.indexOf(QLatin1String("top"), 0, CI);
    const QString head = valor.left(p);
    const QString rest = valor.mid(p + 3).trimmed();
    const qsizetype blank = firstBlank(rest);
    if (blank < 0)
        invalidArgument(QStringLiteral("TOP sin sentencia"));
    const QString limit = rest.left(blank);
    QString body = rest.mid(blank + 1);

    QString group;
    QString order;
    if (const qsizetype g = valor.indexOf(QLatin1String(" GROUP BY "), 0, CI); g >= 0)
        group = valor.mid(g);
    else if (const qsizetype o = valor.indexOf(QLatin1String("ORDER BY "), 0, CI); o >= 0)
        order = valor.mid(o);

    const QString condition = valor.contains(QLatin1String(" WHERE "), CI)
        ? QStringLiteral(" AND ROWNUM <= ") + limit
        : QStringLiteral(" WHERE ROWNUM <= ") + limit;
    if (!group.trimmed().isEmpty())
        body.replace(group.trimmed(), QStringLiteral(" "), CI);
    if (!order.trimmed().isEmpty())
        body.replace(order.trimmed(), QStringLiteral(" "), CI);
    return head + u' ' + body + u' ' + condition + u' ' + group + u' ' + order;
}

// A quoted literal that reads as a date ("05/03/2024", "5-3-24", "2024-03-05", with or without a
// time) becomes its day; a time of day is dropped, as the suite's rewrite has always done.
std::optional<QString> oracleDate(const QString& literal)
{
    QString datePart = literal.trimmed();
    QString timePart;
    if (const qsizetype cut = datePart.indexOf(QRegularExpression(QStringLiteral("[ T]")));
        cut > 0) {
        timePart = datePart.mid(cut + 1).trimmed();
        datePart.truncate(cut);
    }
    const QDate date = gUtilidades().LeeFecha(datePart);
    if (!date.isValid())
        return std::nullopt;
    if (!timePart.isEmpty()) {
        static const QRegularExpression clock(
            QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.\\d{1,3})?)?$"));
        const auto m = clock.match(timePart);
        if (!m.hasMatch())
            return std::nullopt;
        if (!QTime(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()).isValid())
            return std::nullopt;
    }
    return QStringLiteral("TO_DATE('%1','DD/MM/YYYY')")
        .arg(date.toString(QStringLiteral("dd/MM/yyyy")));
}

// Every quoted literal that is a date becomes TO_DATE(...). Positions are taken in the text as it
// came in, replacements are made in a copy; a literal already inside TO_DATE(...) ends up wrapped
// twice and the double wrapping is folded back.
QString dateLiterals(const QString& w)
{
    QString r = w;
    qsizetype i = 0;
    for (;;) {
        const qsizetype a = w.indexOf(u'\'', i);
        if (a < 0)
            break;
        const qsizetype b = w.indexOf(u'\'', a + 1);
        if (b < 0)
            invalidArgument(QStringLiteral("apóstrofo sin cerrar"));
        const QString literal = w.mid(a + 1, b - a - 1);
        if (const auto date = oracleDate(literal))
            r.replace(u'\'' + literal + u'\'', *date, CI);
        i = b + 1;
    }
    while (r.contains(QLatin1String("TO_DATE(TO_DATE("), CI)) {
        r.replace(QLatin1String("TO_DATE(TO_DATE("), QLatin1String("TO_DATE("), CI);
        r.replace(QLatin1String("'DD/MM/YYYY'),'DD/MM/YYYY')"), QLatin1String("'DD/MM/YYYY')"), CI);
        r.replace(QLatin1String("'DD/MM/YYYY HH24:MI:SS'),'DD/MM/YYYY HH24:MI:SS')"),
            QLatin1String("'DD/MM/YYYY HH24:MI:SS')"), CI);
    }
    return r;
}

// Oracle stores the empty text as NULL, so a test for '' must become IS NULL. Only after the first
// WHERE: an empty literal in the select list or a join is a value, not a test.
QString emptyTextTests(const QString& w)
{
    const qsizetype where = w.indexOf(QLatin1String("WHERE "), 0, CI);
    if (where < 0)
        return w;
    QString tail = w.mid(where);
    tail.replace(QLatin1String("= ''"), QLatin1String(" IS NULL "), CI);
    tail.replace(QLatin1String("=''"), QLatin1String(" IS NULL "), CI);
    return w.left(where) + tail;
}

// CONVERT(NVARCHAR, x, 103) has by now become TO_CHAR( x, 103); style 103 is day/month/year.
QString dateStyle103(QString w)
{
    qsizetype j = 0;
    while ((j = w.indexOf(QLatin1String("103"), j)) >= 0) {
        const qsizetype k = w.lastIndexOf(u'(', j);
        if (k >= 7 && w.mid(k - 7, 8).compare(QLatin1String("TO_CHAR("), CI) == 0)
            w.replace(j, 3, QStringLiteral("'DD/MM/YYYY'"));
        j += 3;
    }
    return w;
}

} // namespace

QString ORACLE_Dicc(const QString& valor)
{
    if (gUtilidades().ClasificaTexto(valor) <= 1) {
        if (valor.trimmed().compare(QLatin1String("LEN"), CI) == 0)
            return QStringLiteral("LENGTH");
        return valor;
    }
    QString w = rowLimit(valor);
    for (const char* len : { " LEN(", " LEN (", " LEN  (", " LEN   (", " LEN    (" })
        w.replace(QLatin1String(len), QLatin1String(" LENGTH("), CI);
    w.replace(u'[', u'"');
    w.replace(u']', u'"');
    w = dateLiterals(w);
    w.replace(QLatin1String("Charindex"), QLatin1String("InStr"), CI);
    w.replace(QLatin1String("CONVERT(NVARCHAR,"), QLatin1String("TO_CHAR("), CI);
    w.replace(QLatin1String("CONVERT(INT,"), QLatin1String("TO_NUMBER("), CI);
    w = emptyTextTests(w);
    w = dateStyle103(w);
    w.replace(QLatin1String("SUBSTRING("), QLatin1String("SUBSTR("), CI);
    w.replace(QLatin1String("ISNULL("), QLatin1String("NVL("), CI);
    return w;
}

QString FiltraSentenciaOracle(QString& sentencia)
{
    if (sentencia.contains(QLatin1String("SET NOCOUNT"), CI)) {
        sentencia.clear();
        return QString();
    }
    if (sentencia.contains(QLatin1String("IF NOT EXIST"), CI))
        return QString();
    return sentencia;
}

QString normalizaLote(const QString& loteIn)
{
    QString lote = loteIn;
    const std::array<std::pair<const char*, const char*>, 12> normalise = { {
        { "SET NOCOUNT ON", "" },
        { "SET NOCOUNT OFF", "" },
        { " GO ", " " },
        { "\r\nGO ", " " },
        { "\r\nGO\r\n", " " },
        { "\r", " " },
        { "BEGIN TRANSACTION", "SET TRANSACTION" },
        { "BEGIN TRANS", "SET TRANSACTION" },
        { "COMMIT TRANSACTION", "COMMIT" },
        { "COMMIT TRANS", "COMMIT" },
        { "ROLLBACK TRANSACTION", "ROLLBACK" },
        { "ROLLBACK TRANS", "ROLLBACK" },
    } };
    for (const auto& [from, to] : normalise)
        lote.replace(QLatin1String(from), QLatin1String(to), CI);
    // A GO line the rules above miss (the batch's last line, or lines ended by a bare line feed as
    // files written here are) would otherwise be sent to the server as part of a statement.
    QStringList lines = lote.split(u'\n');
    for (QString& line : lines) {
        if (line.trimmed().compare(QLatin1String("GO"), CI) == 0)
            line = QStringLiteral(" ");
    }
    return lines.join(u'\n');
}

std::vector<BatchStep> divideLote(const QString& lote)
{

    static const char* const keywords[] = { "INSERT ", "DELETE ", "UPDATE ", "CREATE ", "DROP ",
        "ALTER ", "SET TRANSACTION", "COMMIT", "ROLLBACK", "IF NOT EXIST", "IF EXIST", "GRANT " };
    const auto firstKeyword = [&lote](qsizetype from) {
        qsizetype best = -1;
        for (const char* keyword : keywords) {
            const qsizetype at = lote.indexOf(QLatin1String(keyword), from, CI);
            if (at >= 0 && (best < 0 || at < best))
                best = at;
        }
        return best;
    };

    std::vector<BatchStep> steps;
    qsizetype start = firstKeyword(0);
    while (start >= 0) {
        const qsizetype next = firstKeyword(start + 1);
        // Line feeds stay in the batch; a statement ending a line is still the same word.
        const QString statement
            = (next < 0 ? lote.mid(start) : lote.mid(start, next - start)).trimmed();
        if (statement.compare(QLatin1String("SET TRANSACTION"), CI) == 0)
            steps.push_back({ BatchStep::Kind::BeginTrans, QString(), start });
        else if (statement.compare(QLatin1String("COMMIT"), CI) == 0)
            steps.push_back({ BatchStep::Kind::CommitTrans, QString(), start });
        else if (statement.compare(QLatin1String("ROLLBACK"), CI) == 0)
            steps.push_back({ BatchStep::Kind::RollbackTrans, QString(), start });
        else
            steps.push_back({ BatchStep::Kind::Statement, statement, start });
        start = next;
    }
    return steps;
}

} // namespace OracleRewrite
