#include "formhelpers/Controles.h"

#include <QApplication>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

TEST(Controles, IndiceControl_finds_the_member_by_data_field_ignoring_case)
{
    QWidget form;
    QList<QLineEdit*> txtfields;
    const char* fields[] = { "ListaDesde", "Nombre", "FamiliaDesde" };
    for (int i = 0; i < 3; ++i) {
        auto* box = new QLineEdit(&form);
        box->setObjectName(QStringLiteral("txtfields_%1").arg(i));
        box->setProperty("DataField", QString::fromLatin1(fields[i]));
        box->setProperty("Index", i + 10);
        txtfields.append(box);
    }
    Controles controles;
    int index = 0;

    controles.IndiceControl(QStringLiteral("familiadesde"), txtfields, "DataField", index);

    EXPECT_EQ(index, 12);
    EXPECT_EQ(controles.IndiceControl(QStringLiteral("NOMBRE"), txtfields), 11);
    EXPECT_EQ(controles.IndiceControl(QStringLiteral("Otro"), txtfields), -1);
}

TEST(Controles, Enter_moves_to_the_next_field_and_is_consumed)
{
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* first = new QLineEdit(&form);
    auto* second = new QLineEdit(&form);
    layout->addWidget(first);
    layout->addWidget(second);
    form.show();
    QApplication::setActiveWindow(&form);
    first->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), first);
    Controles controles;
    int key = VbKey::Return;
    int other = VbKey::F5;
    int character = VbKey::Return;

    controles.TeclaAbajo(key);
    controles.TeclaAbajo(other);
    controles.FiltraTecla(second, character);

    EXPECT_EQ(key, 0);
    EXPECT_EQ(QApplication::focusWidget(), second);
    EXPECT_EQ(other, VbKey::F5);
    EXPECT_EQ(character, 0);
}

TEST(Controles, handler_arguments_from_qt_keys_modifiers_and_buttons)
{
    const struct
    {
        int qtKey;
        int keyCode;
    } keys[] = {
        { Qt::Key_Return, VbKey::Return },
        { Qt::Key_Enter, VbKey::Return },
        { Qt::Key_F3, VbKey::F3 },
        { Qt::Key_F12, VbKey::F12 },
        { Qt::Key_A, 'A' },
        { Qt::Key_7, '7' },
        { Qt::Key_Down, VbKey::Down },
        { Qt::Key_Comma, 0 },
    };
    for (const auto& k : keys)
        EXPECT_EQ(VbKey::fromQt(k.qtKey), k.keyCode) << k.qtKey;

    EXPECT_EQ(VbKey::shiftFromQt(Qt::NoModifier), 0);
    EXPECT_EQ(VbKey::shiftFromQt(Qt::ShiftModifier), 1);
    EXPECT_EQ(VbKey::shiftFromQt(Qt::ControlModifier | Qt::AltModifier), 6);
    EXPECT_EQ(VbKey::shiftFromQt(Qt::ShiftModifier | Qt::ControlModifier | Qt::KeypadModifier), 3);

    EXPECT_EQ(VbKey::buttonFromQt(Qt::LeftButton), 1);
    EXPECT_EQ(VbKey::buttonFromQt(Qt::RightButton), 2);
    EXPECT_EQ(VbKey::buttonFromQt(Qt::MiddleButton), 4);
    EXPECT_EQ(VbKey::buttonFromQt(Qt::BackButton), 0);
}
