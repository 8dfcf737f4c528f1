#pragma once

#include "platform/Environment.h"

// The machine's names, environment and folders.
class SystemEnvironment final : public Environment
{
public:
    QString computerName() const override;
    QString userName() const override;
    QString variable(const QString& name) const override;
    QString systemTempFolder() const override;
    QString executableFolder() const override;
};
