#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "platform/Service.h"

class QLineEdit;
class QWidget;

// Key codes as the program's key handlers compare them (the original's numbering: letters and
// digits are their upper-case character codes).
namespace VbKey {

enum : int
{
    Back = 8,
    Tab = 9,
    Return = 13,
    Escape = 27,
    Space = 32,
    PageUp = 33,
    PageDown = 34,
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Insert = 45,
    Delete = 46,
    F1 = 112,
    F2 = 113,
    F3 = 114,
    F4 = 115,
    F5 = 116,
    F6 = 117,
    F7 = 118,
    F8 = 119,
    F9 = 120,
    F10 = 121,
    F11 = 122,
    F12 = 123,
};

// The program's key code for a Qt key (Qt::Key); 0 for keys the program has no code for.
int fromQt(int qtKey);

// The Shift argument of the program's key and mouse handlers: 1 Shift, 2 Ctrl, 4 Alt, added.
int shiftFromQt(Qt::KeyboardModifiers modifiers);

// The Button argument of the program's mouse handlers: 1 left, 2 right, 4 middle; 0 for others.
int buttonFromQt(Qt::MouseButton button);

} // namespace VbKey

// The utility library's control services: finding a member of a control array by its data field,
// and the key rules of data-entry fields. One program-wide instance, reached through gControles().
class Controles
{
public:
    // The index of the member whose property `property` (the DataField by default) equals `key`
    // ignoring case: the member's "Index" property, else its position in the list. -1 when none
    // matches.
    template <typename Control>
    int IndiceControl(const QString& key, const QList<Control*>& controls,
        const char* property = "DataField") const
    {
        for (qsizetype i = 0; i < controls.size(); ++i) {
            if (matches(controls[i], key, property))
                return indexOf(controls[i], int(i));
        }
        return -1;
    }
    // The same, leaving the index in `index`, as the program's callers expect.
    template <typename Control>
    void IndiceControl(
        const QString& key, const QList<Control*>& controls, const char* property, int& index) const
    {
        index = IndiceControl(key, controls, property);
    }

    // Key-down rule of a data-entry field (key in the program's numbering, by reference): Enter
    // and the down arrow move to the next field, the up arrow to the previous one, and are then
    // consumed (the key becomes 0). Other keys pass unchanged.
    void TeclaAbajo(int& keyCode) const;

    // Character rule of a data-entry field (character code by reference): Enter is swallowed (the
    // key-down rule already moved on). Other characters pass unchanged.
    void FiltraTecla(QLineEdit* box, int& keyAscii) const;

    // Prepares a window that is not a child of another: centred on its screen when it has not
    // been placed, the program's icon.
    void PreparaVentana(QWidget* form) const;

private:
    static bool matches(const QObject* control, const QString& key, const char* property);
    static int indexOf(const QObject* control, int position);
};

inline Controles& gControles()
{
    return Service<Controles>::get();
}
