#include "formhelpers/Controles.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QVariant>
#include <QWidget>

namespace VbKey {

int fromQt(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return F1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Return;
    case Qt::Key_Escape:
        return Escape;
    case Qt::Key_Space:
        return Space;
    case Qt::Key_PageUp:
        return PageUp;
    case Qt::Key_PageDown:
        return PageDown;
    case Qt::Key_End:
        return End;
    case Qt::Key_Home:
        return Home;
    case Qt::Key_Left:
        return Left;
    case Qt::Key_Up:
        return Up;
    case Qt::Key_Right:
        return Right;
    case Qt::Key_Down:
        return Down;
    case Qt::Key_Insert:
        return Insert;
    case Qt::Key_Delete:
        return Delete;
    default:
        return 0;
    }
}

int shiftFromQt(Qt::KeyboardModifiers modifiers)
{
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::ControlModifier)
        shift |= 2;
    if (modifiers & Qt::AltModifier)
        shift |= 4;
    return shift;
}

int buttonFromQt(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

} // namespace VbKey

bool Controles::matches(const QObject* control, const QString& key, const char* property)
{
    if (!control)
        return false;
    const QVariant value = control->property(property ? property : "DataField");
    return value.isValid() && value.toString().compare(key, Qt::CaseInsensitive) == 0;
}

int Controles::indexOf(const QObject* control, int position)
{
    bool ok = false;
    const int index = control->property("Index").toInt(&ok);
    return ok ? index : position;
}

void Controles::TeclaAbajo(int& keyCode) const
{
    if (keyCode != VbKey::Return && keyCode != VbKey::Down && keyCode != VbKey::Up)
        return;
    QWidget* field = QApplication::focusWidget();
    if (!field)
        return;
    // The focus moves as the Tab key would move it, so the form's tab order decides the next field.
    const Qt::Key move = keyCode == VbKey::Up ? Qt::Key_Backtab : Qt::Key_Tab;
    QKeyEvent press(
        QEvent::KeyPress, move, move == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
    QApplication::sendEvent(field, &press);
    keyCode = 0;
}

void Controles::FiltraTecla(QLineEdit* box, int& keyAscii) const
{
    Q_UNUSED(box);
    if (keyAscii == VbKey::Return)
        keyAscii = 0;
}

void Controles::PreparaVentana(QWidget* form) const
{
    if (!form || form->parentWidget())
        return;
    if (form->windowIcon().isNull())
        form->setWindowIcon(QApplication::windowIcon());
    if (!form->testAttribute(Qt::WA_Moved)) {
        const QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame = form->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            form->move(frame.topLeft());
        }
    }
}
