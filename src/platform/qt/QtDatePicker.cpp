#include "platform/qt/QtDatePicker.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDialog>
#include <QDialogButtonBox>
#include <QTableView>
#include <QVBoxLayout>

#include "platform/Clock.h"

std::optional<QDate> QtDatePicker::pickDate(const QDate& initial)
{
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Seleccione la fecha"));
    auto* calendar = new QCalendarWidget(&dialog);
    calendar->setSelectedDate(initial.isValid() ? initial : Today());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(calendar);
    layout->addWidget(buttons);

    // Sized once the window's look is applied: a styled header or cell needs more room than the
    // bare calendar, and the sixth week must not be cut off.
    dialog.ensurePolished();
    calendar->ensurePolished();
    for (QWidget* parte : calendar->findChildren<QWidget*>())
        parte->ensurePolished();
    calendar->setMinimumSize(calendar->sizeHint());
    dialog.adjustSize();
    // A look's borders and padding are not all in the calendar's size hint: its grid (the day
    // names and six weeks, the last one reached by months such as August 2026) is given the
    // height its rows need.
    if (auto* grilla = calendar->findChild<QTableView*>()) {
        dialog.layout()->activate();
        calendar->layout()->activate();
        const int necesario = grilla->model()->rowCount() * (grilla->fontMetrics().height() + 6)
            + 2 * grilla->frameWidth();
        const int falta = necesario - grilla->height();
        if (falta > 0) {
            calendar->setMinimumHeight(calendar->minimumHeight() + falta);
            dialog.adjustSize();
        }
    }

    QObject::connect(calendar, &QCalendarWidget::activated, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return calendar->selectedDate();
}
