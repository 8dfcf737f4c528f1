#pragma once

#include <memory>

#include <QDialog>
#include <QImage>
#include <QString>

namespace Ui {
class FrmImgNew;
}

// The picture viewer ("Ver imagen"): the caller sets pImagen (a path, relative ones below the data
// folder), calls Form_Load and shows it modally. The picture is painted fitted and centred, again
// whenever the window is resized.
class FrmImgNew final : public QDialog
{
    Q_OBJECT

public:
    explicit FrmImgNew(QWidget* parent = nullptr);
    ~FrmImgNew() override;

    QString pImagen;

    // The caption becomes the path; the picture is loaded and painted.
    void Form_Load();
    // The picture loaded (Image1 of the suite's viewer); null when the file held none.
    const QImage& Image1() const { return m_imagen; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::unique_ptr<Ui::FrmImgNew> ui;
    QImage m_imagen;
};
