#include "sending/FrmImgNew.h"
#include "ui_FrmImgNew.h"

#include "sending/Rt_ImgThumbs.h"

FrmImgNew::FrmImgNew(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::FrmImgNew>())
{
    ui->setupUi(this);
}

FrmImgNew::~FrmImgNew() = default;

void FrmImgNew::Form_Load()
{
    setWindowTitle(pImagen);
    m_imagen = Rt_ImgThumbs::cargaImagen(Rt_ImgThumbs::RutaAbsoluta(pImagen));
    Rt_ImgThumbs::Escalar_Imagen(m_imagen, ui->Picture1);
}

void FrmImgNew::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Rt_ImgThumbs::Escalar_Imagen(m_imagen, ui->Picture1);
}
