#include <stdexcept>

#include <QCoreApplication>
#include <QDialog>
#include <QTimer>

// Preloaded into a tool by AplicacionConUltimoRecurso's tests, so that the tool needs no hook of
// its own: the first events the tool lets run open a modal dialog, as a preview's print or export
// dialog does, and an event handler of that dialog's loop throws.
namespace {

void armaFalla()
{
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        QDialog dialogo;
        QTimer::singleShot(
            0, &dialogo, [] { throw std::runtime_error("falla en un dialogo de prueba"); });
        dialogo.exec();
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(armaFalla)
