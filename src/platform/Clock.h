#pragma once

#include <QDate>
#include <QDateTime>

// The workstation's clock (local time). Reached through Service<Clock>; tests pin it.
class Clock
{
public:
    virtual ~Clock() = default;

    virtual QDateTime now() const = 0;
};

// Local date and time now, and today's date, from the installed clock.
QDateTime Now();
QDate Today();
// Now() where a clock is installed, else the system's time (code that also runs in tools that
// install no services).
QDateTime NowOrSystemTime();
