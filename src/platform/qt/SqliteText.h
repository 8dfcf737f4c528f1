#pragma once

#include <QByteArray>

class QSqlDatabase;
struct sqlite3;

// Text semantics of the suite's SQL Server on the embedded engine. Every SQLite connection the
// program opens gets them before its first statement.
//
// Collation "TEXTO" (the demo schema declares it on every text column): equality ignores case,
// Unicode-aware ("Ñ" = "ñ", "Á" = "á"), and trailing blanks ("ABC  " = "abc"); accents count
// ("a" <> "á"). Order is dictionary order: an accented letter sorts beside its base letter, "ñ"
// between "n" and "o", and letters that differ only by accent are ordered by the accent after
// the whole text compared equal without accents.
//
// LIKE is replaced by one that folds case beyond ASCII, keeps accents, honours ESCAPE and, as the
// suite's server does, ignores trailing blanks of the matched text (not of the pattern).

// Name of the collation, for schema files and statements.
inline constexpr const char* kSqliteTextCollation = "TEXTO";

// Registers the collation and the like() function on the handle, and turns off the join
// optimisations that compare raw bytes instead of the collation (Bloom filters). Safe to call
// again on the same handle (the later registration replaces the earlier one).
void registerSqliteText(sqlite3* db);

// Same for an open QSQLITE connection; false when the connection is not an open SQLite one.
bool registerSqliteText(const QSqlDatabase& db);

// The collation's comparison on UTF-8 texts: negative, zero or positive. Exposed for code that
// must order texts the way the database does.
int compareSqliteText(const char* a, int aLength, const char* b, int bLength);
int compareSqliteText(const QByteArray& a, const QByteArray& b);
