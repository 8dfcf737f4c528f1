#include <QApplication>
#include <QTextStream>

#include "formhelpers/AplicacionConUltimoRecurso.h"
#include "platform/ProcessTuning.h"
#include "startup/TextosQt.h"
#include "tools/UltimoRecurso.h"
#include "tools/SesionVoucher.h"
#include "tools/SubcomandosVoucher.h"

// rp_voucher: the voucher printing of the program, run from the command line on a database file
// (support, tests, benchmarks). Built with the project, not installed with the program.
namespace {

const SubcomandoVoucher kSubcomandos[] = {
    { "buffer", kUsoBuffer, subcomandoBuffer },
    { "qr", kUsoQr, subcomandoQr },
    { "print", kUsoPrint, subcomandoPrint },
    { "asiento", kUsoAsiento, subcomandoAsiento },
    { "recibo", kUsoRecibo, subcomandoRecibo },
    { "ticket", kUsoTicket, subcomandoTicket },
};

void uso(QTextStream& errores)
{
    errores << "Uso: rp_voucher SUBCOMANDO [OPCIONES]\n";
    for (const SubcomandoVoucher& s : kSubcomandos)
        errores << "  " << s.uso << "\n";
    errores << "  (cualquier subcomando) --puerto DISPOSITIVO: la comandera en ese dispositivo\n";
}

// "--puerto DEV", valid with any subcommand, is taken out before the subcommand reads the rest.
// False when it lacks its value.
bool tomaPuerto(QStringList& argumentos, QTextStream& errores)
{
    const qsizetype k = argumentos.indexOf(QStringLiteral("--puerto"));
    if (k < 0)
        return true;
    if (k + 1 >= argumentos.size()) {
        errores << "Falta el valor de --puerto\n";
        return false;
    }
    fijaPuertoComandera(argumentos.at(k + 1));
    argumentos.remove(k, 2);
    return true;
}

} // namespace

static int ejecutaHerramienta(int argc, char* argv[])
{
    ProcessTuning::apply();
    // The print subcommands lay out pages and may show previews: a widget application, drawn
    // off screen when there is no display to show it on.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // An error of an event handler (a preview's, a dialog's) ends the tool as one that reaches
    // main does.
    AplicacionConUltimoRecurso app(argc, argv, AplicacionConUltimoRecurso::Aviso::SoloLinea);
    // Its previews offer Qt's print and file dialogs.
    const TextosQt textosQt;
    QTextStream salida(stdout);
    QTextStream errores(stderr);
    QStringList argumentos = app.arguments().mid(1);
    if (!tomaPuerto(argumentos, errores)) {
        uso(errores);
        return 2;
    }
    if (argumentos.isEmpty()) {
        uso(errores);
        return 2;
    }
    if (argumentos.first() == QLatin1String("--help")) {
        uso(salida);
        return 0;
    }
    for (const SubcomandoVoucher& s : kSubcomandos) {
        if (argumentos.first() == QLatin1String(s.nombre))
            return s.ejecuta(argumentos.mid(1), salida, errores);
    }
    errores << "Subcomando desconocido: " << argumentos.first() << "\n";
    uso(errores);
    return 2;
}

int main(int argc, char* argv[])
{
    return conUltimoRecurso([&] { return ejecutaHerramienta(argc, argv); });
}
