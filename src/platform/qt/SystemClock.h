#pragma once

#include "platform/Clock.h"

// The machine's clock, local time.
class SystemClock final : public Clock
{
public:
    QDateTime now() const override;
};
