#pragma once

class QDialog;

// How the program shows its own forms modally. src/app installs the real one
// (Service<FormularioModal>), which runs the form's exec(); a test installs a scripted one that
// works the form's controls instead and returns, so no test runs a real modal loop.
class FormularioModal
{
public:
    virtual ~FormularioModal() = default;

    // Shows `form` modally; returns when the form is hidden, with its result code.
    virtual int muestra(QDialog& form) = 0;
};

// The real one: QDialog::exec().
class FormularioModalQt final : public FormularioModal
{
public:
    int muestra(QDialog& form) override;
};

// Shows `form` through the installed FormularioModal.
int MuestraModal(QDialog& form);
