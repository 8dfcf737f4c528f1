#include "formhelpers/FrmMsgBox.h"

#include <limits>

#include <QGuiApplication>
#include <QScreen>

#include "ui_FrmMsgBox.h"

FrmMsgBox::FrmMsgBox(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::FrmMsgBox>())
{
    ui->setupUi(this);
    m_tmrEspera.setObjectName(QStringLiteral("TmrEspera"));
    m_tmrEspera.setSingleShot(true);

    connect(&m_tmrEspera, &QTimer::timeout, this, &FrmMsgBox::TmrEspera_Timer);
    connect(ui->CmdAceptar, &QPushButton::clicked, this, &FrmMsgBox::CmdAceptar_Click);
}

FrmMsgBox::~FrmMsgBox() = default;

void FrmMsgBox::ActualizarLeyenda()
{
    setWindowTitle(Titulo);
    ui->LblMensaje->setText(Mensaje);
    ui->LblMensaje->repaint();
}

void FrmMsgBox::showEvent(QShowEvent* event)
{
    // The fields are set after the notice exists, so they are applied when it appears.
    ActualizarLeyenda();
    adjustSize();
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect area = pantalla->availableGeometry();
        move(area.left() + (area.width() - width()) / 2,
            area.top() + (area.height() - height()) / 2);
    }
    QDialog::showEvent(event);

    // A timer, not a watch on the time of day: waits across midnight and of any length end when
    // they should.
    if (Espera > 0) {
        constexpr int MaximoSegundos = std::numeric_limits<int>::max() / 1000;
        m_tmrEspera.start(qMin(Espera, MaximoSegundos) * 1000);
    }
}

void FrmMsgBox::TmrEspera_Timer()
{
    m_tmrEspera.stop();
    hide();
}

void FrmMsgBox::CmdAceptar_Click()
{
    m_tmrEspera.stop();
    setWindowTitle(QStringLiteral("ATENCION"));
    ui->LblMensaje->clear();
    reject();
}
