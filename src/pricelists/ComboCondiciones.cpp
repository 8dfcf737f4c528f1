#include "pricelists/ComboCondiciones.h"

#include <QStyleOptionComboBox>
#include <QStylePainter>

#include "pricelists/TarifolioReglas.h"

ComboCondiciones::ComboCondiciones(QWidget* parent)
    : QComboBox(parent)
{
    // Sized by the frame it sits in, not by its longest item, which ends in the hidden surcharge.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(20);
}

void ComboCondiciones::paintEvent(QPaintEvent*)
{
    QStylePainter pintor(this);
    pintor.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox opcion;
    initStyleOption(&opcion);
    opcion.currentText = TarifolioReglas::textoVisibleCondicion(opcion.currentText);
    pintor.drawComplexControl(QStyle::CC_ComboBox, opcion);
    pintor.drawControl(QStyle::CE_ComboBoxLabel, opcion);
}
