#include "platform/qt/QtPrintDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPageRanges>
#include <QPrintEngine>
#include <QPrinter>
#include <QRadioButton>

namespace {

// Where Qt's CUPS print engine keeps the job options its dialog set (page ranges among them
// when printing to a file).
constexpr auto CupsJobOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

} // namespace

PrintChoice QtPrintDialog::choiceOf(QPrinter& printer)
{
    PrintChoice choice;
    choice.printerName = printer.printerName();
    choice.outputFile = printer.outputFileName();
    choice.copies = printer.copyCount();
    choice.collate = printer.collateCopies();
    choice.duplex = PrintChoice::Duplex(int(printer.duplex()));
    choice.grayscale = printer.colorMode() == QPrinter::GrayScale;
    if (printer.printEngine())
        choice.jobOptions = printer.printEngine()->property(CupsJobOptions).toStringList();
    QPageRanges ranges;
    if (printer.printRange() == QPrinter::PageRange) {
        ranges = printer.pageRanges();
    } else {
        for (qsizetype i = 0; i + 1 < choice.jobOptions.size(); i += 2) {
            if (choice.jobOptions.at(i) == QLatin1String("page-ranges"))
                ranges = QPageRanges::fromString(choice.jobOptions.at(i + 1));
        }
    }
    for (const QPageRanges::Range& r : ranges.toRangeList())
        choice.pages.append({ r.from, r.to });
    return choice;
}

void PageListPrintDialog::accept()
{
    // The dialog's own controls, by the names its form gives them.
    auto* lista = findChild<QRadioButton*>(QStringLiteral("pagesRadioButton"));
    auto* texto = findChild<QLineEdit*>(QStringLiteral("pagesLineEdit"));
    auto* todas = findChild<QRadioButton*>(QStringLiteral("printAll"));
    const QPageRanges paginas = lista && texto && lista->isChecked()
        ? QPageRanges::fromString(texto->text())
        : QPageRanges();
    if (!todas || paginas.isEmpty()) {
        QPrintDialog::accept();
        return;
    }
    // Qt takes "every page"; the list goes on the printer afterwards. Sent as a print job option
    // as well, the print system would pick those pages out of pages already picked.
    todas->setChecked(true);
    QPrintDialog::accept();
    if (result() == QDialog::Accepted) {
        printer()->setPrintRange(QPrinter::PageRange);
        printer()->setPageRanges(paginas);
    } else {
        lista->setChecked(true);
    }
}

std::optional<PrintChoice> QtPrintDialog::choose(const PrintRequest& request)
{
    QPrinter printer(QPrinter::HighResolution);
    PageListPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setMinMax(request.firstPage, request.lastPage);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return choiceOf(printer);
}
