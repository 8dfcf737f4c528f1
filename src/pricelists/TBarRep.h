#pragma once

#include <QString>
#include <QToolBar>

class QAction;

// The report toolbar of the suite's report windows: one button per key ("PANTALLA" screen,
// "IMPRESORA" printer, "MENSAJE" e-mail, "CONSULTAR" lookup of the current field, "CERRAR" close)
// and one event, BotonClick, with the pressed button's key. The window decides what a key does.
class TBarRep final : public QToolBar
{
    Q_OBJECT
    Q_PROPERTY(bool ConsultaHabilitada READ ConsultaHabilitada WRITE setConsultaHabilitada)
    Q_PROPERTY(int StyleBar READ StyleBar WRITE setStyleBar)

public:
    explicit TBarRep(QWidget* parent = nullptr);

    // The button of `clave` (any case); null for a key the toolbar does not have.
    QAction* boton(const QString& clave) const;

    // Whether the lookup button can be used.
    bool ConsultaHabilitada() const;
    void setConsultaHabilitada(bool habilitada);

    // 0 standard buttons, anything else flat buttons (the workstation's toolbar setting).
    int StyleBar() const { return m_styleBar; }
    void setStyleBar(int estilo);

    // A key pressed in the window (the program's key code, by reference): when it is the hot key
    // of a usable button, BotonClick is raised with that button's key and the key code becomes 0.
    // Returns whether a button was pressed.
    bool ProcesaTecla(int& keyCode);

    // Hot keys: F5 screen, F6 printer, F7 e-mail, F3 lookup, F10 close (shown in each tool tip).
    static int teclaDe(const QString& clave);

Q_SIGNALS:
    void BotonClick(const QString& clave);

private:
    void agregaBoton(const QString& clave, const QString& texto, const QString& ayuda);

    int m_styleBar = 1;
};
