#pragma once

class SqliteFile;

// The vouchers of the demo database that show every kind of printed line: invoices of both
// letters, credit notes (one naming the invoice it credits, its lines in kilograms, metres and
// litres) and a proforma whose lines are stored without VAT, lots that name dispatches with and
// without controller and origin, lot lists with zero amounts, notes (one with an apostrophe), a
// dollar invoice, a budget and a work order; and, for benchmarks, one voucher of many lines and
// many small invoices.
namespace DemoVouchers {

struct Options
{
    int articles = 1; // articles of the demo ("000001" and up)
    int lines = 0; // lines of the large invoice FC 000200009000A (none when 0)
    int invoices = 0; // small invoices from FC 000200010001A on
};

void write(SqliteFile& file, const Options& options);

} // namespace DemoVouchers
