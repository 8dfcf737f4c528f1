#include "tools/ImpresionEnConsola.h"

#include <QApplication>
#include <QDir>
#include <QWidget>

#include "data/DB_Dll.h"
#include "data/DataObjects.h"
#include "services/Globales.h"

ImpresionEnConsola::ImpresionEnConsola(const QString& capturas)
{
    // The reports read the database the session opened.
    gGlobales().gCadenaODBC = QStringLiteral("DSN=%1; UID=; PWD=").arg(gDB().gDBName);
    if (capturas.isEmpty())
        return;
    m_listo = QDir().mkpath(capturas);
    if (m_listo)
        m_control.capturaEn(QDir(capturas).absolutePath());
}

void ImpresionEnConsola::esperaVistasPrevias()
{
    auto* aplicacion = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!aplicacion)
        return;
    bool abiertas = false;
    for (QWidget* ventana : QApplication::topLevelWidgets())
        abiertas = abiertas || ventana->isVisible();
    if (abiertas) {
        QApplication::setQuitOnLastWindowClosed(true);
        QApplication::exec();
    }
}
