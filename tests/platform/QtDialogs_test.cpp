#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/MessageDialog.h"
#include "platform/qt/QtFileDialog.h"
#include "platform/qt/QtMessageDialog.h"

TEST(QtMessageDialog, style_numbers_give_buttons_icon_and_default)
{
    struct Row
    {
        int style;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton defaultButton;
        QMessageBox::StandardButton escape;
    };
    const Row rows[] = {
        {0, QMessageBox::Ok, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok},
        {1 + 48, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Warning, QMessageBox::Ok,
         QMessageBox::Cancel},
        {2 + 16, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
         QMessageBox::Critical, QMessageBox::Abort, QMessageBox::NoButton},
        {3 + 32 + 512, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
         QMessageBox::Question, QMessageBox::Cancel, QMessageBox::Cancel},
        {4 + 32 + 256, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
         QMessageBox::No, QMessageBox::No},
        {5 + 64, QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Information,
         QMessageBox::Retry, QMessageBox::Cancel},
    };
    for (const Row& row : rows) {
        QMessageBox box;

        QtMessageDialog::prepare(box, QStringLiteral("<b>texto</b>"), row.style,
                                 QStringLiteral("Aviso al Operador"));

        EXPECT_EQ(box.standardButtons(), row.buttons) << row.style;
        EXPECT_EQ(box.icon(), row.icon) << row.style;
        EXPECT_EQ(box.standardButton(box.defaultButton()), row.defaultButton) << row.style;
        EXPECT_EQ(box.escapeButton() ? box.standardButton(box.escapeButton())
                                     : QMessageBox::NoButton,
                  row.escape)
            << row.style;
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Aviso al Operador"));
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
    }
}

TEST(QtMessageDialog, clicked_buttons_give_the_answer_codes)
{
    struct Row
    {
        int style;
        QMessageBox::StandardButton button;
        int answer;
    };
    const Row rows[] = {
        {0, QMessageBox::Ok, Msg::Ok},         {2, QMessageBox::Abort, Msg::Abort},
        {2, QMessageBox::Retry, Msg::Retry},   {2, QMessageBox::Ignore, Msg::Ignore},
        {4, QMessageBox::Yes, Msg::Yes},       {4, QMessageBox::No, Msg::No},
        {3, QMessageBox::Cancel, Msg::Cancel},
    };
    for (const Row& row : rows) {
        QMessageBox box;
        QtMessageDialog::prepare(box, QStringLiteral("x"), row.style, QString());

        box.button(row.button)->click();

        EXPECT_EQ(QtMessageDialog::answerOf(box, row.style), row.answer) << row.style;
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Rp_Tarifolio"));
    }
}

TEST(QtFileDialog, the_programs_filters_become_qt_name_filters)
{
    EXPECT_EQ(QtFileDialog::nameFilters(QStringLiteral("Imagenes|*.jpg;*.png|Todos|*.*")),
              (QStringList{"Imagenes (*.jpg *.png)", "Todos (*)"}));
    EXPECT_EQ(QtFileDialog::nameFilters(QString()), QStringList());
}
