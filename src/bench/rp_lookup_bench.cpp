#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLocale>
#include <QTextStream>

#include "data/DataObjects.h"
#include "lookup/ArmadoConsulta.h"
#include "lookup/Lib_FrmCons3.h"
#include "platform/AdoRecordset.h"
#include "bench/BenchComun.h"
#include "bench/SesionBench.h"

// rp_lookup_bench [--articles N] [--db FOLDER] [--keys TEXT]
// Opens the article lookup over a demo database of N articles as the lookup object opens it (an
// article mask that shows the stock, the row limit as large as the file) and types a search into
// it. The statement read to its end forward-only is the reference: ratio= is the time to open
// the lookup over the time to read the statement. Without --keys the text typed is the start of
// a description nine tenths down the list, so the search has to look past the rows on screen.
// The last line is the one to compare between runs.
namespace {

double ms(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// A key typed where the focus is, as the keyboard types it.
void teclea(QChar c)
{
    QWidget* foco = QApplication::focusWidget();
    if (!foco)
        return;
    const int tecla = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - u'A')
        : c.isDigit()              ? Qt::Key_0 + (c.unicode() - u'0')
                                   : int(c.unicode());
    QKeyEvent press(QEvent::KeyPress, tecla, Qt::NoModifier, QString(c));
    QApplication::sendEvent(foco, &press);
    QKeyEvent release(QEvent::KeyRelease, tecla, Qt::NoModifier, QString(c));
    QApplication::sendEvent(foco, &release);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    QTextStream out(stdout);
    QTextStream err(stderr);

    int articles = 100000;
    QString folder;
    QString keys;
    const char* const usage = "Uso: rp_lookup_bench [--articles N] [--db CARPETA] [--keys TEXTO]\n";
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--help"))) {
        out << usage;
        return 0;
    }
    for (qsizetype k = 0; k + 1 < args.size(); k += 2) {
        if (args[k] == u"--articles")
            articles = args[k + 1].toInt();
        else if (args[k] == u"--db")
            folder = args[k + 1];
        else if (args[k] == u"--keys")
            keys = args[k + 1];
        else {
            err << "Argumento desconocido: " << args[k] << "\n";
            return 2;
        }
    }
    if (args.size() % 2 != 0 || articles < 1) {
        err << usage;
        return 2;
    }
    if (folder.isEmpty())
        folder = QDir::tempPath() + QStringLiteral("/rp_bench_%1").arg(articles);
    QString error;
    const QString dbPath = baseDeMedicion(articles, folder, out, error);
    if (dbPath.isEmpty()) {
        err << error << "\n";
        return 1;
    }
    SesionBench sesion(dbPath);
    if (!sesion.error().isEmpty()) {
        err << sesion.error() << "\n";
        return 1;
    }

    // An article mask that shows the stock, as a site configures it.
    const MascarasConsulta::RegistroMascaraConsulta mascara { QStringLiteral("ARTICULOS"),
        QStringLiteral("V_MA_ARTICULOS"),
        QStringLiteral("|DESCRIPCION|IDARTICULO|PUNTOPEDIDO|Stock|PRECIO1|"), QString() };
    QString campoBusqueda;
    const QString sql
        = *ArmadoConsulta::sentenciaDeMascara(mascara, articles, campoBusqueda, QString());
    out << "SQL: " << sql << "\n";

    // The reference: the statement read to its end, forward-only.
    qint64 queryRows = 0;
    QElapsedTimer raw;
    raw.start();
    {
        AdoRecordset rs;
        QString sentencia = sql;
        gDB().AbrirRecordset(sentencia, rs);
        while (rs.State() == adStateOpen && !rs.Eof()) {
            const QList<QList<Value>> block = rs.GetRows(512);
            for (const QList<Value>& row : block) {
                // The default text: a plain-letter description nine tenths down.
                if (keys.isEmpty() && queryRows >= articles * 9 / 10) {
                    const QString d = row.at(0).toString().left(8);
                    if (std::all_of(d.begin(), d.end(),
                            [](QChar c) { return c.isLetter() && c.unicode() < 128; }))
                        keys = d;
                }
                ++queryRows;
            }
        }
        gDB().CierraRecordset(rs);
    }
    const double queryMs = ms(raw);

    Lib_FrmCons3 dlg;
    dlg.Sql = sql;
    dlg.CampoDevuelto = QStringLiteral("IDARTICULO");
    dlg.OrdenarPorLwv = false;
    dlg.MuestraStock = QStringLiteral("SI");
    dlg.StkNivel1 = Value(qint32(0x0000FF));
    dlg.StkNivel2 = Value(qint32(0x008000));
    dlg.StkNivel3 = Value(qint32(0xFF0000));
    dlg.StkNivel4 = Value(qint32(0x808080));

    QElapsedTimer open;
    open.start();
    dlg.Form_Load();
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    QApplication::processEvents();
    const double openMs = ms(open);
    const int rowsAtOpen = dlg.modelo().rowCount();
    out << "Abierta: " << rowsAtOpen << " filas leídas de " << queryRows << "\n";

    // Each key: the time until the window takes the next one, and until the row that starts
    // with the text so far is selected.
    double keyMax = 0;
    double foundMax = 0;
    QString typed;
    for (const QChar c : std::as_const(keys)) {
        typed += c;
        QElapsedTimer key;
        key.start();
        teclea(c);
        QApplication::processEvents();
        const double keyMs = ms(key);
        const LookupGridModel& model = dlg.modelo();
        auto found = [&] {
            const int row = dlg.filaSeleccionada();
            return row >= 0 && model.texto(row, 0).startsWith(typed, Qt::CaseInsensitive);
        };
        while (!found() && model.quedanFilas())
            QApplication::processEvents();
        const double foundMs = ms(key);
        keyMax = qMax(keyMax, keyMs);
        foundMax = qMax(foundMax, foundMs);
        out << "tecla '" << c << "': " << QString::number(keyMs, 'f', 1) << " ms, fila "
            << dlg.filaSeleccionada() + 1 << " en " << QString::number(foundMs, 'f', 1) << " ms\n";
    }
    out << "rows=" << queryRows << " rows_at_open=" << rowsAtOpen
        << " open_ms=" << QString::number(openMs, 'f', 1)
        << " query_ms=" << QString::number(queryMs, 'f', 1)
        << " ratio=" << QString::number(openMs / std::max(queryMs, 1e-9), 'f', 3)
        << " key_ms_max=" << QString::number(keyMax, 'f', 1)
        << " found_ms_max=" << QString::number(foundMax, 'f', 1)
        << " rows_read=" << dlg.modelo().rowCount()
        << " peak_rss_mb=" << QString::number(picoMemoriaMb(), 'f', 1) << "\n";
    dlg.Form_Unload();
    return sesion.cuadros() == 0 ? 0 : 1;
}
