#pragma once

#include <memory>

#include <QDialog>
#include <QTimer>

namespace Ui {
class FrmMsgBox;
}

// The timed notice: a caption and one message that hide themselves `Espera` seconds after the
// notice is shown, or when the operator presses "Aceptar". The caller sets the public fields,
// shows it (modally: exec() returns once it hides) and deletes it afterwards.
class FrmMsgBox final : public QDialog
{
    Q_OBJECT

public:
    explicit FrmMsgBox(QWidget* parent = nullptr);
    ~FrmMsgBox() override;

    QString Titulo;
    QString Mensaje;
    // Seconds to stay shown; 0 or less: until dismissed.
    int Espera = 0;
    // Held for the caller; the notice neither sets nor reads it.
    int Boton = 0;

    // Shows the current Titulo and Mensaje on an open notice.
    void ActualizarLeyenda();

    // The wait, started when the notice is shown (single shot, Espera seconds).
    QTimer* TmrEspera() { return &m_tmrEspera; }

    // The wait is over: the notice hides (a modal show returns to its caller).
    void TmrEspera_Timer();
    void CmdAceptar_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::FrmMsgBox> ui;
    QTimer m_tmrEspera;
};
