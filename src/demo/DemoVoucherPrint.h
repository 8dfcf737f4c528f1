#pragma once

class SqliteFile;

// What the demo database needs for voucher printing, written after the vouchers themselves: the
// voucher types of the treasury, an accounting voucher with two entries, the print settings of
// this workstation and the copy forms of the A invoices, and an invoice paid by a receipt in cash,
// card and cheque.
namespace DemoVoucherPrint {

void seed(SqliteFile& file);

} // namespace DemoVoucherPrint
