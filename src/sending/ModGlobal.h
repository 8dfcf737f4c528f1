#pragma once

#include <QString>

// Program-wide helpers of the mail HTML.
namespace ModGlobal {

// A colour number as text (red in the low byte) as an HTML colour "#RRGGBB". Longer hexadecimal
// forms (negative numbers) keep their last six digits. Text that is no number raises run-time
// error 13.
QString ColorAHtml(const QString& Color);

} // namespace ModGlobal
