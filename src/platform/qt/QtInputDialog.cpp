#include "platform/qt/QtInputDialog.h"

#include <QApplication>
#include <QInputDialog>

#include "platform/Environment.h"

QString QtInputDialog::ask(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(),
        title.isEmpty() ? executableName() : title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}
