#include "platform/qt/QtMessageDialog.h"

#include <algorithm>

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QList>
#include <QMessageBox>
#include <QPair>
#include <QScreen>
#include <QSpacerItem>

#include "platform/Environment.h"

namespace {

using Button = QPair<QMessageBox::StandardButton, int>;

QList<Button> buttonsFor(int buttons)
{
    switch (buttons) {
    case Msg::OkCancel:
        return { { QMessageBox::Ok, Msg::Ok }, { QMessageBox::Cancel, Msg::Cancel } };
    case Msg::AbortRetryIgnore:
        return { { QMessageBox::Abort, Msg::Abort }, { QMessageBox::Retry, Msg::Retry },
            { QMessageBox::Ignore, Msg::Ignore } };
    case Msg::YesNoCancel:
        return { { QMessageBox::Yes, Msg::Yes }, { QMessageBox::No, Msg::No },
            { QMessageBox::Cancel, Msg::Cancel } };
    case Msg::YesNo:
        return { { QMessageBox::Yes, Msg::Yes }, { QMessageBox::No, Msg::No } };
    case Msg::RetryCancel:
        return { { QMessageBox::Retry, Msg::Retry }, { QMessageBox::Cancel, Msg::Cancel } };
    default:
        return { { QMessageBox::Ok, Msg::Ok } };
    }
}

QMessageBox::Icon iconFor(int icon)
{
    switch (icon) {
    case Msg::Critical:
        return QMessageBox::Critical;
    case Msg::Question:
        return QMessageBox::Question;
    case Msg::Exclamation:
        return QMessageBox::Warning;
    case Msg::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Escape answers Cancel where there is one, else No, else the only button; a box of Abort,
// Retry and Ignore cannot be escaped, as in the original.
QMessageBox::StandardButton escapeFor(const QList<Button>& buttons)
{
    for (const int wanted : { int(Msg::Cancel), int(Msg::No) }) {
        for (const Button& b : buttons) {
            if (b.second == wanted)
                return b.first;
        }
    }
    return buttons.size() == 1 ? buttons.front().first : QMessageBox::NoButton;
}

// Keeps the box as wide as its title needs. Qt sizes a box by its text and leaves its title
// little room beyond its own letters, while the window manager writes the title in bold beside
// the window's icon and buttons: a short text under a longer title ("Depósito inexistente."
// under "Aviso al usuario") had its title cut in the middle. The width goes in as an empty item
// of the box's own layout, the only place the box reads its size from.
void roomForTitle(QMessageBox& box)
{
    QFont bold = box.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    // The icon and three buttons of a title bar, each about two lines of text wide.
    int width = metrics.horizontalAdvance(box.windowTitle()) + 8 * metrics.height();
    if (const QScreen* screen = box.screen())
        width = std::min(width, screen->availableGeometry().width() * 3 / 4);
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
        grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

void QtMessageDialog::prepare(
    QMessageBox& box, const QString& text, int style, const QString& title)
{
    box.setWindowTitle(title.isEmpty() ? executableName() : title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(iconFor(Msg::iconOf(style)));

    const QList<Button> buttons = buttonsFor(Msg::buttonsOf(style));
    QMessageBox::StandardButtons standard;
    for (const Button& b : buttons)
        standard |= b.first;
    box.setStandardButtons(standard);
    const int defaultIndex = qMin<int>(Msg::defaultButtonOf(style), buttons.size() - 1);
    box.setDefaultButton(buttons[defaultIndex].first);

    const QMessageBox::StandardButton escape = escapeFor(buttons);
    if (escape != QMessageBox::NoButton)
        box.setEscapeButton(escape);
    else
        box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    // Last: setting the icon lays the box out anew.
    roomForTitle(box);
}

int QtMessageDialog::answerOf(const QMessageBox& box, int style)
{
    const QList<Button> buttons = buttonsFor(Msg::buttonsOf(style));
    const auto clicked = box.standardButton(box.clickedButton());
    const QMessageBox::StandardButton escape = escapeFor(buttons);
    for (const Button& b : buttons) {
        if (b.first == clicked)
            return b.second;
    }
    for (const Button& b : buttons) {
        if (b.first == escape)
            return b.second;
    }
    return Msg::Cancel;
}

int QtMessageDialog::show(const QString& text, int style, const QString& title)
{
    QMessageBox box(QApplication::activeWindow());
    prepare(box, text, style, title);
    box.exec();
    return answerOf(box, style);
}
