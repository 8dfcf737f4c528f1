#include <algorithm>
#include <cstdio>
#include <optional>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QWidget>

#include <X11/Xlib.h>
#include <poll.h>

// Start-up time to the first sight of a window, as the operator waits for it: from starting the
// process to the X server mapping the window, the program's main window against an empty Qt
// window, alternately in one run on the same display. Run by hand under an X server (Xvfb with a
// window manager is how it is meant), never by the tests.
//
//   rp_arranque_bench [--veces N] [--programa PATH] [--parametros "@server=...;..."]
//
// Prints one line per start and a summary line:
//   vacia_s=... programa_s=... diferencia_s=... ratio=... primera_ventana_s=...
// (medians; primera_ventana_s is the first window the program maps, the start-up banner.)

namespace {

const char* const TituloVacia = "Ventana vacia de referencia";

int ventanaVacia(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget ventana;
    ventana.setWindowTitle(QString::fromLatin1(TituloVacia));
    ventana.resize(522, 477);
    ventana.show();
    return QApplication::exec();
}

// The window's own name or the name of a window inside it (a window manager maps its frame,
// with the program's window inside).
QString nombreVentana(Display* d, Window w, int profundidad = 0)
{
    char* nombre = nullptr;
    if (XFetchName(d, w, &nombre) && nombre) {
        const QString texto = QString::fromLocal8Bit(nombre);
        XFree(nombre);
        if (!texto.isEmpty())
            return texto;
    }
    if (profundidad >= 3)
        return {};
    Window raiz = 0;
    Window padre = 0;
    Window* hijos = nullptr;
    unsigned int cantidad = 0;
    if (!XQueryTree(d, w, &raiz, &padre, &hijos, &cantidad))
        return {};
    QString encontrado;
    for (unsigned int i = 0; i < cantidad && encontrado.isEmpty(); ++i)
        encontrado = nombreVentana(d, hijos[i], profundidad + 1);
    if (hijos)
        XFree(hijos);
    return encontrado;
}

struct Arranque
{
    double primera = -1; // first window mapped, seconds
    double buscada = -1; // the window whose title holds the text looked for
};

// Starts the process and waits for the map of a top-level window whose title holds `titulo`.
Arranque mide(Display* d, const QString& programa, const QStringList& argumentos,
    const QString& titulo, int esperaMs)
{
    Arranque a;
    // Events left from the previous start do not count.
    while (XPending(d)) {
        XEvent viejo;
        XNextEvent(d, &viejo);
    }
    QProcess proceso;
    proceso.setStandardOutputFile(QProcess::nullDevice());
    proceso.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer reloj;
    reloj.start();
    proceso.start(programa, argumentos);
    while (reloj.elapsed() < esperaMs && a.buscada < 0) {
        if (!XPending(d)) {
            pollfd pfd { ConnectionNumber(d), POLLIN, 0 };
            poll(&pfd, 1, 20);
            continue;
        }
        XEvent ev;
        XNextEvent(d, &ev);
        if (ev.type != MapNotify)
            continue;
        const double t = reloj.nsecsElapsed() / 1e9;
        if (a.primera < 0)
            a.primera = t;
        if (nombreVentana(d, ev.xmap.window).contains(titulo))
            a.buscada = t;
    }
    proceso.kill();
    proceso.waitForFinished(5000);
    return a;
}

// A window gone before it is looked at (a banner closed at once) is not an error here.
int sinErrores(Display*, XErrorEvent*)
{
    return 0;
}

double mediana(QList<double> v)
{
    if (v.isEmpty())
        return -1;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--vacia") == 0)
            return ventanaVacia(argc, argv);
    }
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const char* const uso = "Uso: rp_arranque_bench [--veces N] [--programa RUTA] "
                            "[--parametros \"@server=...\"]\n";
    if (args.contains(QStringLiteral("--help"))) {
        std::fputs(uso, stdout);
        return 0;
    }
    const auto opcion = [&](const char* nombre) -> std::optional<QString> {
        const qsizetype i = args.indexOf(QLatin1String(nombre));
        if (i < 0 || i + 1 >= args.size())
            return std::nullopt;
        return args.at(i + 1);
    };
    const int veces = opcion("--veces").value_or(QStringLiteral("5")).toInt();
    const QString carpeta = QCoreApplication::applicationDirPath();
    const QString programa
        = opcion("--programa").value_or(QDir(carpeta).filePath(QStringLiteral("Rp_Tarifolio")));
    const QString parametros
        = opcion("--parametros")
              .value_or(QStringLiteral("@server=SQLITE;@dbname=DEMO;@usuario=ADMIN;@Password=admin;"
                                       "@ParametroAdicional=;@Caja=1"));
    if (veces < 1 || !QFileInfo(programa).isExecutable()) {
        std::fputs(uso, stderr);
        return 2;
    }

    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "No se puede abrir el display X (DISPLAY=%s)\n",
            qgetenv("DISPLAY").constData());
        return 2;
    }
    XSetErrorHandler(sinErrores);
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XFlush(d);

    QList<double> vacias;
    QList<double> programas;
    QList<double> primeras;
    // A first start of each warms the disk cache and the font cache; it is not counted.
    for (int i = 0; i <= veces; ++i) {
        const Arranque vacia = mide(d, QCoreApplication::applicationFilePath(),
            { QStringLiteral("--vacia") }, QString::fromLatin1(TituloVacia), 15000);
        const Arranque prog
            = mide(d, programa, { parametros }, QStringLiteral("Listas de Precios"), 30000);
        std::printf("%s vacia_s=%.3f programa_s=%.3f primera_ventana_s=%.3f\n",
            i == 0 ? "descartada" : "medida", vacia.buscada, prog.buscada, prog.primera);
        std::fflush(stdout);
        if (i == 0)
            continue;
        if (vacia.buscada >= 0)
            vacias << vacia.buscada;
        if (prog.buscada >= 0) {
            programas << prog.buscada;
            primeras << prog.primera;
        }
    }
    XCloseDisplay(d);

    const double v = mediana(vacias);
    const double p = mediana(programas);
    std::printf(
        "vacia_s=%.3f programa_s=%.3f diferencia_s=%.3f ratio=%.2f primera_ventana_s=%.3f\n", v, p,
        p - v, v > 0 ? p / v : 0.0, mediana(primeras));
    return programas.size() == veces && vacias.size() == veces ? 0 : 1;
}
