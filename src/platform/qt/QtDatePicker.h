#pragma once

#include "platform/DatePicker.h"

// The date picker: a calendar in a small modal dialog; a double click or OK chooses.
class QtDatePicker final : public DatePicker
{
public:
    std::optional<QDate> pickDate(const QDate& initial) override;
};
