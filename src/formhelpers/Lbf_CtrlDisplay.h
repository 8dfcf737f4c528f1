#pragma once

#include <array>
#include <memory>

#include <QPointer>
#include <QSet>

#include <QPixmap>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace Ui {
class Lbf_CtrlDisplay;
}

// The please-wait window of Dll_DisplayQt: frameless, drawn at alpha 200 of 255, always on top,
// with its caption, three lines of text, a twelve-frame animation and the optional cancel button.
// The cancel request lives in the button's caption ("Abortado"), as the callers poll it.
class Lbf_CtrlDisplay final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Cuadros = 12;
    static constexpr int IntervaloMs = 100;
    static constexpr int Opacidad = 200;

    explicit Lbf_CtrlDisplay(QWidget* parent = nullptr);
    ~Lbf_CtrlDisplay() override;

    // The caption, shown in the window's own title strip (the window has no frame).
    void ponTitulo(const QString& titulo);

    // Line 0, 1 or 2.
    QLabel* LblCtrol(int index) const;
    QLabel* Image1() const;
    QPushButton* CmdDisplayCancelar() const;
    QTimer* Timer1() { return &m_timer1; }

    // The animation frames, 1-based in the program's numbering: ImageList1[n - 1] is frame n.
    const std::array<QPixmap, Cuadros>& ImageList1() const { return m_imageList1; }
    // The frame counter: 0 right after a wrap, then 1..12.
    int contador() const { return m_contador; }

    // One animation step: the next frame, wrapping after frame 12.
    void Timer1_Timer();
    void CmdDisplayCancelar_Click();

protected:
    // Watches every window of the program: a dialog or message box shown while the banner is up
    // goes above it and takes the keyboard; the banner is on top again once they are gone.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dejaPasar(QWidget* dialogo);
    void vuelveArriba();

    std::unique_ptr<Ui::Lbf_CtrlDisplay> ui;
    std::array<QLabel*, 3> m_lblCtrol {};
    std::array<QPixmap, Cuadros> m_imageList1;
    QTimer m_timer1;
    int m_contador = 0;
    // The dialogs shown over the banner, and whether the banner gave up its place on top for them.
    QSet<QWidget*> m_dialogos;
    bool m_cedido = false;
};
