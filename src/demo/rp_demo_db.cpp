#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include "demo/DemoDatabase.h"

// rp_demo_db --out FOLDER [--articles N]: writes the demo databases into FOLDER.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QString usage = QStringLiteral(
        "Uso: rp_demo_db --out CARPETA [--articles N] [--voucher-lines N] [--voucher-invoices N]\n"
        "Escribe DEMO.db y KZQ_ESTADISTICAS.db en CARPETA (N artículos, %1 si no se indica);\n"
        "--voucher-lines agrega la factura FC 000200009000A de N líneas y --voucher-invoices N\n"
        "facturas de cinco líneas desde FC 000200010001A.")
                              .arg(DemoDatabase::kDefaultArticles);

    DemoDatabase::Options options;
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QLatin1String("--help"))) {
        QTextStream(stdout) << usage << "\n";
        return 0;
    }
    for (int k = 0; k < args.size(); ++k) {
        const QString& arg = args.at(k);
        if ((arg == QLatin1String("--out") || arg == QLatin1String("--articles"))
            && k + 1 < args.size()) {
            const QString value = args.at(++k);
            if (arg == QLatin1String("--out")) {
                options.folder = value;
                continue;
            }
            bool ok = false;
            options.articles = value.toInt(&ok);
            if (!ok || options.articles < 1) {
                err << "La cantidad de artículos no es válida: " << value << "\n" << usage << "\n";
                return 2;
            }
            continue;
        }
        if ((arg == QLatin1String("--voucher-lines") || arg == QLatin1String("--voucher-invoices"))
            && k + 1 < args.size()) {
            bool ok = false;
            const int count = args.at(++k).toInt(&ok);
            if (!ok || count < 0) {
                err << "La cantidad no es válida: " << args.at(k) << "\n" << usage << "\n";
                return 2;
            }
            (arg == QLatin1String("--voucher-lines") ? options.voucherLines
                                                     : options.voucherInvoices)
                = count;
            continue;
        }
        err << "Argumento desconocido: " << arg << "\n" << usage << "\n";
        return 2;
    }
    if (options.folder.isEmpty()) {
        err << usage << "\n";
        return 2;
    }

    const QString error = DemoDatabase::write(options);
    if (!error.isEmpty()) {
        err << "No se pudo generar la base de demostración: " << error << "\n";
        return 1;
    }
    return 0;
}
