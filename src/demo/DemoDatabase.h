#pragma once

#include <QString>

// The demo databases the program runs on when no site database is given: "DEMO.db" (the suite's
// database of a small hardware and grocery business) and "KZQ_ESTADISTICAS.db" (the statistics
// database). The content depends only on the article count: the same options always give the
// same bytes.
namespace DemoDatabase {

inline constexpr int kDefaultArticles = 3000;

// Demo users (TA_USUARIOS, system 'zr417px'): an administrator and an ordinary user.
inline constexpr const char* kAdminUser = "ADMIN";
inline constexpr const char* kAdminPassword = "admin";
inline constexpr const char* kOrdinaryUser = "VENDEDOR";
inline constexpr const char* kOrdinaryPassword = "vendedor";

struct Options
{
    QString folder; // created when missing
    int articles = kDefaultArticles; // 1 or more
    int voucherLines = 0; // lines of one large demo invoice (none when 0)
    int voucherInvoices = 0; // further small demo invoices
    // A file of the same name already in the folder (another run's) is kept instead of replaced.
    bool keepExisting = false;
};

// Writes both files into the folder, replacing earlier ones (unless `keepExisting`). Each file is
// written under a temporary name of its own and put in place in one step when complete, so the
// folder never holds half a database, nor none where there was one, also with other runs writing
// into it at the same time or killed on the way. An earlier file that a program has open is not
// replaced (see DemoWorkFile), nor is the other file then: both are checked before either is
// replaced. Returns an empty text on success, else the reason in the
// program's words.
QString write(const Options& options);

} // namespace DemoDatabase
