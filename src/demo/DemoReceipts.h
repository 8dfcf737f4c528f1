#pragma once

class SqliteFile;

// The collection receipts and payment orders of the demo database beyond the plain ones written
// with the invoices: withholdings of every kind, dollars, bank debits, own cheques, cards, credit
// notes and discounts, a receipt that only its header describes, and one large receipt for
// timing the print buffer. Deterministic, like the rest of the demo.
namespace DemoReceipts {

void write(SqliteFile& file);

} // namespace DemoReceipts
