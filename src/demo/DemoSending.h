#pragma once

class SqliteFile;

// What the demo database needs for mailing documents by rule, written after the receipts: the
// withholding certificates in the report table, payment orders to a supplier with all three
// withholdings, with the VAT one only and with none, a mail rule for payment orders and a budget.
namespace DemoSending {

void write(SqliteFile& file);

} // namespace DemoSending
