#pragma once

#include <QComboBox>

// The purchase/sales condition box of the price-list window. Its items keep the bare surcharge
// after sixty blanks for the printing to read; the box, closed or open, shows the description and
// percentage only, and its width does not grow with the hidden part.
class ComboCondiciones final : public QComboBox
{
    Q_OBJECT

public:
    explicit ComboCondiciones(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
