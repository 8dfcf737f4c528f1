#include "formhelpers/Lbf_CtrlDisplay.h"

#include <cmath>

#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QScreen>

#include "ui_Lbf_CtrlDisplay.h"

namespace {

constexpr int LadoCuadro = 48;

// Frame `n` (0..11) of the busy wheel: twelve spokes, the leading one dark and the ones behind it
// fading, turned one spoke further on each frame.
QPixmap dibujaCuadro(int n)
{
    QPixmap pixmap(LadoCuadro, LadoCuadro);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(LadoCuadro / 2.0, LadoCuadro / 2.0);

    constexpr int Rayos = Lbf_CtrlDisplay::Cuadros;
    for (int rayo = 0; rayo < Rayos; ++rayo) {
        const int atraso = (n - rayo + Rayos) % Rayos;
        QColor color(0, 70, 140);
        color.setAlpha(255 - atraso * 200 / (Rayos - 1));
        painter.save();
        painter.rotate(rayo * 360.0 / Rayos);
        painter.setPen(QPen(color, 4.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -LadoCuadro * 0.22), QPointF(0, -LadoCuadro * 0.42));
        painter.restore();
    }
    return pixmap;
}

} // namespace

Lbf_CtrlDisplay::Lbf_CtrlDisplay(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , ui(std::make_unique<Ui::Lbf_CtrlDisplay>())
{
    ui->setupUi(this);
    m_lblCtrol = { ui->LblCtrol_0, ui->LblCtrol_1, ui->LblCtrol_2 };
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(IntervaloMs);

    connect(&m_timer1, &QTimer::timeout, this, &Lbf_CtrlDisplay::Timer1_Timer);
    connect(ui->CmdDisplayCancelar, &QPushButton::clicked, this,
        &Lbf_CtrlDisplay::CmdDisplayCancelar_Click);

    for (int n = 0; n < Cuadros; ++n)
        m_imageList1[n] = dibujaCuadro(n);

    ui->CmdDisplayCancelar->setText(QStringLiteral("&Cancelar"));
    ui->Image1->setPixmap(m_imageList1[0]);
    setWindowOpacity(Opacidad / 255.0);
    setAttribute(Qt::WA_ShowWithoutActivating);

    adjustSize();
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect area = pantalla->availableGeometry();
        move(area.left() + (area.width() - width()) / 2,
            area.top() + (area.height() - height()) / 2);
    }
    m_timer1.start();
    qApp->installEventFilter(this);
}

Lbf_CtrlDisplay::~Lbf_CtrlDisplay() = default;

void Lbf_CtrlDisplay::ponTitulo(const QString& titulo)
{
    setWindowTitle(titulo);
    ui->LblTitulo->setText(titulo);
}

QLabel* Lbf_CtrlDisplay::LblCtrol(int index) const
{
    Q_ASSERT(index >= 0 && index < int(m_lblCtrol.size()));
    return m_lblCtrol.at(index);
}

QLabel* Lbf_CtrlDisplay::Image1() const
{
    return ui->Image1;
}

QPushButton* Lbf_CtrlDisplay::CmdDisplayCancelar() const
{
    return ui->CmdDisplayCancelar;
}

void Lbf_CtrlDisplay::Timer1_Timer()
{
    ++m_contador;
    ui->Image1->setPixmap(m_imageList1[m_contador - 1]);
    if (m_contador == Cuadros)
        m_contador = 0;
}

bool Lbf_CtrlDisplay::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show && event->type() != QEvent::Hide
        && event->type() != QEvent::Destroy)
        return false;
    auto* ventana = qobject_cast<QWidget*>(watched);
    if (!ventana || ventana == this || !ventana->isWindow())
        return false;
    if (event->type() == QEvent::Show) {
        // Message boxes are dialogs; any other window shown modally counts too.
        if (qobject_cast<QDialog*>(ventana) || ventana->windowModality() != Qt::NonModal)
            dejaPasar(ventana);
    } else if (m_dialogos.remove(ventana) && m_dialogos.isEmpty()) {
        vuelveArriba();
    }
    return false;
}

void Lbf_CtrlDisplay::dejaPasar(QWidget* dialogo)
{
    m_dialogos.insert(dialogo);
    if (isVisible() && windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        // Changing the flag hides the window; it comes back where it was, under the dialog,
        // which is shown after it.
        const QRect lugar = geometry();
        setWindowFlag(Qt::WindowStaysOnTopHint, false);
        setGeometry(lugar);
        show();
        m_cedido = true;
    }
    const QPointer<QWidget> arriba(dialogo);
    QTimer::singleShot(0, dialogo, [arriba] {
        if (arriba && arriba->isVisible()) {
            arriba->raise();
            arriba->activateWindow();
        }
    });
}

void Lbf_CtrlDisplay::vuelveArriba()
{
    if (!m_cedido)
        return;
    m_cedido = false;
    const bool visible = isVisible();
    const QRect lugar = geometry();
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (visible) {
        setGeometry(lugar);
        show();
    }
}

void Lbf_CtrlDisplay::CmdDisplayCancelar_Click()
{
    ui->CmdDisplayCancelar->setText(QStringLiteral("Abortado"));
}
