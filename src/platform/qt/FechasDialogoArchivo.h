#pragma once

#include <QObject>

// Qt's file dialogs write a file's date and size in the system's locale, which on a workstation
// with no regional setting is English ("9 Dec 2026"), whatever the program's own locale. Installed
// on the application, this gives every file dialog shown the program's short date and size form
// ("9/12/26 21:31"). Dialogs drawn by the desktop itself are left as they are.
class FechasDialogoArchivo final : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
