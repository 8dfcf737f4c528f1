#pragma once

#include <QDateTime>
#include <QString>

struct sqlite3;

// The SQL Server functions the program's statements call, registered on an SQLite handle beside
// the text semantics of SqliteText: LEN (trailing blanks not counted), CHARINDEX (case ignored, as
// the server's collation), DATEADD / DATEDIFF / DATEPART with the part as text, YEAR, MONTH, DAY,
// GETDATE (from the program's clock), the suite's FN_SOLO_FECHA (the date without its time),
// REPLICATE, SPACE, Unicode UPPER and LOWER, and the helpers the translator's rewrites call:
// rp_left, rp_right, rp_add ("+" decided by the operands' types when the row is read),
// rp_text, rp_int, rp_real, rp_bit (CONVERT/CAST), rp_format_date and rp_parse_date (CONVERT
// with a date style: 103 dd/mm/yyyy, 3 dd/mm/yy, 112 yyyymmdd, 108 hh:mm:ss, 120/121 ISO, ...).
//
// Dates are stored as ISO texts "yyyy-MM-dd hh:mm:ss" (midnight for a plain date), so text order
// is time order.
void registerSqlServerFunctions(sqlite3* db);

// Reads "yyyy-MM-dd[ hh:mm[:ss[.zzz]]]" (also with "T"), "yyyyMMdd" and the day-first
// "dd/mm/yyyy[ hh:mm[:ss]]" or "dd/mm/yy" the suite writes (two-digit years below 50 are 20xx).
// Invalid when the text is none of these or not a real date.
QDateTime parseSqlDateTime(const QString& text);

// The stored form of a date and time (see above).
QString sqlDateText(const QDateTime& when);
