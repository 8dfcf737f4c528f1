#pragma once

#include <optional>

#include <QDate>

// The date-picking dialog. Reached through Service<DatePicker>; tests script the choice.
class DatePicker
{
public:
    virtual ~DatePicker() = default;

    // Shows a calendar starting on `initial` (today when invalid). Returns the chosen date, or
    // nothing when the operator cancelled.
    virtual std::optional<QDate> pickDate(const QDate& initial) = 0;
};
