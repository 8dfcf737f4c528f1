#pragma once

#include "platform/InputDialog.h"

// Input boxes on QInputDialog.
class QtInputDialog final : public InputDialog
{
public:
    QString ask(const QString& prompt, const QString& title, const QString& defaultText) override;
};
