#include "pricelists/TBarRep.h"

#include <QAction>
#include <QToolButton>

#include "formhelpers/Controles.h"

namespace {

struct Boton
{
    const char* clave;
    const char* texto;
    const char* ayuda;
    int tecla;
    const char* nombreTecla;
};

const Boton Botones[] = {
    { "PANTALLA", "Pantalla", "Vista previa en pantalla", VbKey::F5, "F5" },
    { "IMPRESORA", "Impresora", "Imprimir en la impresora", VbKey::F6, "F6" },
    { "MENSAJE", "E-Mail", "Enviar por correo electrónico", VbKey::F7, "F7" },
    { "CONSULTAR", "Consultar", "Consultar el campo actual", VbKey::F3, "F3" },
    { "CERRAR", "Cerrar", "Cerrar el programa", VbKey::F10, "F10" },
};

} // namespace

TBarRep::TBarRep(QWidget* parent)
    : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    // Every button stays in sight: the bar never folds buttons into an overflow menu.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    for (const Boton& boton : Botones) {
        agregaBoton(QLatin1String(boton.clave), QString::fromUtf8(boton.texto),
            QString::fromUtf8(boton.ayuda) + QStringLiteral(" (") + QLatin1String(boton.nombreTecla)
                + u')');
    }
    setStyleBar(m_styleBar);
}

void TBarRep::agregaBoton(const QString& clave, const QString& texto, const QString& ayuda)
{
    QAction* accion = addAction(texto);
    accion->setObjectName(clave);
    accion->setToolTip(ayuda);
    connect(accion, &QAction::triggered, this, [this, clave] { Q_EMIT BotonClick(clave); });
    if (QWidget* boton = widgetForAction(accion)) {
        boton->setObjectName(QStringLiteral("boton") + clave);
        // A tool bar's buttons take no focus of their own: these are reached with Tab too.
        boton->setFocusPolicy(Qt::TabFocus);
    }
}

QAction* TBarRep::boton(const QString& clave) const
{
    const QString buscada = clave.toUpper();
    for (QAction* accion : actions()) {
        if (accion->objectName() == buscada)
            return accion;
    }
    return nullptr;
}

bool TBarRep::ConsultaHabilitada() const
{
    return boton(QStringLiteral("CONSULTAR"))->isEnabled();
}

void TBarRep::setConsultaHabilitada(bool habilitada)
{
    boton(QStringLiteral("CONSULTAR"))->setEnabled(habilitada);
}

void TBarRep::setStyleBar(int estilo)
{
    m_styleBar = estilo;
    for (QToolButton* boton : findChildren<QToolButton*>())
        boton->setAutoRaise(estilo != 0);
}

int TBarRep::teclaDe(const QString& clave)
{
    for (const Boton& boton : Botones) {
        if (clave.compare(QLatin1String(boton.clave), Qt::CaseInsensitive) == 0)
            return boton.tecla;
    }
    return 0;
}

bool TBarRep::ProcesaTecla(int& keyCode)
{
    for (const Boton& boton : Botones) {
        if (boton.tecla != keyCode)
            continue;
        QAction* accion = this->boton(QLatin1String(boton.clave));
        if (!accion->isEnabled() || !accion->isVisible())
            return false;
        keyCode = 0;
        Q_EMIT BotonClick(QLatin1String(boton.clave));
        return true;
    }
    return false;
}
