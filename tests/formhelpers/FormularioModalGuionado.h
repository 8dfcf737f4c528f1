#pragma once

#include <deque>
#include <functional>

#include <QDialog>

#include <gtest/gtest.h>

#include "formhelpers/FormularioModal.h"

// Each modal show runs the next scripted step on the form (typing, clicking) instead of a modal
// loop. A show with nothing scripted fails the test and leaves the form as it is.
class FormularioModalGuionado final : public FormularioModal
{
public:
    std::deque<std::function<void(QDialog&)>> pasos;
    int mostrados = 0;

    int muestra(QDialog& form) override
    {
        ++mostrados;
        if (pasos.empty()) {
            ADD_FAILURE() << "modal form without a scripted step: "
                          << form.windowTitle().toStdString();
            return QDialog::Rejected;
        }
        const auto paso = pasos.front();
        pasos.pop_front();
        paso(form);
        return form.result();
    }
};
