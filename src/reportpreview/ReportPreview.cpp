#include "reportpreview/ReportPreview.h"

#include <algorithm>
#include <new>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageRanges>
#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "platform/FileDialog.h"
#include "platform/MessageDialog.h"
#include "platform/PrintDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Service.h"
#include "reportengine/HtmlSink.h"
#include "reportengine/PagePainter.h"
#include "reportengine/PageText.h"
#include "reportengine/PdfSink.h"
#include "reportengine/PrinterSink.h"
#include "reportengine/RtfSink.h"
#include "reports/AvisoEspera.h"
#include "reports/AvisoImpresora.h"

bool PreviewDocument::begin(const DocumentInfo& info)
{
    m_info = info;
    Q_EMIT begun();
    return true;
}

bool PreviewDocument::page(
    const PageDisplayList& page, const DocumentResources& resources, const DeferredValues*)
{
    if (resources.fonts().size() != m_resources.fonts().size()
        || resources.images().size() != m_resources.images().size())
        m_resources = resources;
    m_pages.push_back(page);
    Q_EMIT pageAdded(int(m_pages.size()));
    // The layout runs on the window's thread: let the window show the first page at once and
    // keep its count moving, without taking the operator's input in between.
    if (QThread::currentThread() == thread()
        && (m_pages.size() == 1 || m_sinceEvents.elapsed() > 100)) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_sinceEvents.start();
    }
    return true;
}

bool PreviewDocument::finish(const DeferredValues& deferred)
{
    m_deferred = deferred;
    m_finished = true;
    Q_EMIT finished(int(m_pages.size()));
    return true;
}

bool PreviewDocument::replay(PageSink& sink) const
{
    if (!sink.begin(m_info))
        return false;
    for (const PageDisplayList& p : m_pages) {
        if (!sink.page(p, m_resources, deferred()))
            return false;
    }
    return sink.finish(m_deferred);
}

// One page on white paper, painted with the same painter as the printer, at the screen's pixel
// ratio (the painter draws vectors, so text stays sharp at any zoom).
class ReportPreviewWindow::PageView final : public QWidget
{
public:
    explicit PageView(ReportPreviewWindow& window)
        : m_window(window)
    {
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        const int page = m_window.m_page;
        if (page < 1)
            return;
        painter.setRenderHint(QPainter::Antialiasing);
        const double scale = m_window.scale();
        if (!m_painter || m_scale != scale) {
            m_painter = std::make_unique<PagePainter>(scale);
            m_scale = scale;
        }
        const PreviewDocument& doc = *m_window.m_document;
        m_painter->paint(painter, doc.pageAt(page - 1), doc.resources(), doc.deferred());
        if (!m_window.m_highlight.isNull()) {
            const QRectF& h = m_window.m_highlight;
            painter.fillRect(
                QRectF(h.x() * scale, h.y() * scale, h.width() * scale, h.height() * scale),
                QColor(255, 220, 0, 110));
        }
    }

private:
    ReportPreviewWindow& m_window;
    std::unique_ptr<PagePainter> m_painter;
    double m_scale = 0;
};

ReportPreviewWindow::ReportPreviewWindow(
    std::shared_ptr<PreviewDocument> document, const PreviewDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_document(std::move(document))
    , m_dialogs(dialogs)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::NonModal);
    setWindowTitle(m_document->info().title.isEmpty() ? m_document->info().reportName
                                                      : m_document->info().title);
    auto* bar = new QHBoxLayout;
    auto button = [&](const QString& text, auto slot) {
        auto* b = new QPushButton(text, this);
        connect(b, &QPushButton::clicked, this, slot);
        // As wide as its caption: the page arrows need no wide buttons, the search box needs room.
        b->setFixedWidth(std::max(32, b->fontMetrics().horizontalAdvance(text) + 24));
        bar->addWidget(b);
    };
    button(QStringLiteral("|<"), &ReportPreviewWindow::firstPage);
    button(QStringLiteral("<"), &ReportPreviewWindow::previousPage);
    m_label = new QLabel(this);
    // The label and the page box keep one width for any count, so the controls after them stay
    // where they are while the pages come in.
    m_label->setFixedWidth(
        m_label->fontMetrics().horizontalAdvance(QStringLiteral("Página 9999 de 9999+")) + 8);
    m_label->setAlignment(Qt::AlignCenter);
    bar->addWidget(m_label);
    button(QStringLiteral(">"), &ReportPreviewWindow::nextPage);
    button(QStringLiteral(">|"), &ReportPreviewWindow::lastPage);
    m_goTo = new QSpinBox(this);
    m_goTo->setMinimum(1);
    m_goTo->setMaximum(9999);
    m_goTo->setFixedWidth(m_goTo->sizeHint().width());
    connect(m_goTo, &QSpinBox::editingFinished, this, [this] { goToPage(m_goTo->value()); });
    bar->addWidget(m_goTo);
    m_zoomBox = new QComboBox(this);
    m_zoomBox->setObjectName(QStringLiteral("zoom"));
    m_zoomBox->addItems({ QStringLiteral("Ancho de página"), QStringLiteral("Página completa"),
        QStringLiteral("50%"), QStringLiteral("75%"), QStringLiteral("100%"),
        QStringLiteral("150%"), QStringLiteral("200%") });
    connect(m_zoomBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index <= 1)
            setZoom(index == 0 ? Zoom::FitWidth : Zoom::FitPage);
        else
            setZoom(Zoom::Percent, m_zoomBox->itemText(index).chopped(1).toInt());
    });
    bar->addWidget(m_zoomBox);
    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(QStringLiteral("Buscar"));
    m_search->setMinimumWidth(m_search->fontMetrics().horizontalAdvance(QString(12, u'x')));
    connect(m_search, &QLineEdit::returnPressed, this, [this] {
        if (!find(m_search->text()))
            m_dialogs.messages.show(QStringLiteral("No se encontró \"%1\"").arg(m_search->text()),
                Msg::Information, windowTitle());
    });
    bar->addWidget(m_search);
    button(QStringLiteral("Imprimir"), &ReportPreviewWindow::print);
    button(QStringLiteral("Exportar"), &ReportPreviewWindow::exportAsked);
    bar->addStretch();

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scroll"));
    scroll->setAlignment(Qt::AlignHCenter);
    scroll->setBackgroundRole(QPalette::Dark);
    m_view = new PageView(*this);
    scroll->setWidget(m_view);
    // Ctrl and the wheel zoom over the page and the margin around it alike.
    scroll->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(scroll);
    placeOver(QApplication::activeWindow());

    // The keys work from any control of the window; a box that uses the key itself (the search
    // box's Home and End, the page box's Page Up and Down) keeps it.
    const auto key = [this](QKeySequence sequence, auto slot) {
        auto* shortcut = new QShortcut(sequence, this);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    key(QKeySequence(Qt::Key_PageDown), &ReportPreviewWindow::nextPage);
    key(QKeySequence(Qt::Key_PageUp), &ReportPreviewWindow::previousPage);
    key(QKeySequence(Qt::Key_Home), &ReportPreviewWindow::firstPage);
    key(QKeySequence(Qt::Key_End), &ReportPreviewWindow::lastPage);
    key(QKeySequence(Qt::Key_Escape), &QWidget::close);
    key(QKeySequence(Qt::CTRL | Qt::Key_P), &ReportPreviewWindow::print);
    key(QKeySequence(QKeySequence::ZoomIn), &ReportPreviewWindow::zoomIn);
    key(QKeySequence(QKeySequence::ZoomOut), &ReportPreviewWindow::zoomOut);
    key(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { setZoom(Zoom::FitPage); });

    connect(m_document.get(), &PreviewDocument::pageAdded, this, [this](int count) {
        if (m_page == 0 && count > 0)
            m_page = 1;
        refresh();
    });
    connect(m_document.get(), &PreviewDocument::finished, this, [this] { refresh(); });
    // The window opens before the report has started, under its file's name: the report's
    // title replaces it once known.
    connect(m_document.get(), &PreviewDocument::begun, this, [this] {
        if (!m_document->info().title.isEmpty())
            setWindowTitle(m_document->info().title);
    });
    if (m_document->pageCount() > 0)
        m_page = 1;
    refresh();
}

ReportPreviewWindow::~ReportPreviewWindow() = default;

QString ReportPreviewWindow::pageLabel() const
{
    return QStringLiteral("Página %1 de %2%3")
        .arg(m_page)
        .arg(m_document->pageCount())
        .arg(m_document->isFinished() ? QString() : QStringLiteral("+"));
}

double ReportPreviewWindow::scale() const
{
    const DocumentInfo& info = m_document->info();
    const auto* scroll = findChild<QScrollArea*>(QStringLiteral("scroll"));
    const QSize room = scroll ? scroll->viewport()->size() - QSize(8, 8) : size();
    const double width = std::max(1, room.width()) / double(info.pageWidth);
    switch (m_zoom) {
    case Zoom::FitWidth:
        return width;
    case Zoom::FitPage:
        return std::min(width, std::max(1, room.height()) / double(info.pageHeight));
    case Zoom::Percent:
        break;
    }
    // 100% is the paper's size on the screen.
    return logicalDpiX() / 2540.0 * m_percent / 100.0;
}

void ReportPreviewWindow::refresh()
{
    m_label->setText(pageLabel());
    m_goTo->setMaximum(std::max(1, m_document->pageCount()));
    const double s = scale();
    const DocumentInfo& info = m_document->info();
    m_view->resize(int(info.pageWidth * s), int(info.pageHeight * s));
    m_view->update();
}

void ReportPreviewWindow::goToPage(int page)
{
    page = std::clamp(page, std::min(1, m_document->pageCount()), m_document->pageCount());
    if (page != m_page)
        m_highlight = QRectF();
    m_page = page;
    m_goTo->setValue(std::max(1, page));
    refresh();
}

void ReportPreviewWindow::setZoom(Zoom zoom, int percent)
{
    m_zoom = zoom;
    m_percent = std::clamp(percent, 10, 800);
    // The list shows the zoom however it was chosen (a key, the wheel, the list itself).
    const QSignalBlocker quiet(m_zoomBox);
    switch (zoom) {
    case Zoom::FitWidth:
        m_zoomBox->setCurrentIndex(0);
        break;
    case Zoom::FitPage:
        m_zoomBox->setCurrentIndex(1);
        break;
    case Zoom::Percent:
        m_zoomBox->setCurrentIndex(m_zoomBox->findText(QString::number(m_percent) + u'%'));
        break;
    }
    refresh();
}

void ReportPreviewWindow::zoomBy(int steps)
{
    // The steps are the list's percentages; from a fitted page the next one beyond its size.
    const double now = m_zoom == Zoom::Percent ? m_percent : scale() * 2540.0 / logicalDpiX() * 100;
    QList<int> percents;
    for (int i = 2; i < m_zoomBox->count(); ++i)
        percents << m_zoomBox->itemText(i).chopped(1).toInt();
    int chosen = 0;
    if (steps > 0) {
        const auto next = std::find_if(
            percents.cbegin(), percents.cend(), [now](int p) { return p > now + 0.5; });
        chosen = next == percents.cend() ? percents.last() : *next;
    } else {
        const auto previous = std::find_if(
            percents.crbegin(), percents.crend(), [now](int p) { return p < now - 0.5; });
        chosen = previous == percents.crend() ? percents.first() : *previous;
    }
    setZoom(Zoom::Percent, chosen);
}

bool ReportPreviewWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            // A notch is one step; a touchpad's small turns add up to one.
            m_wheel += wheel->angleDelta().y();
            for (; m_wheel >= QWheelEvent::DefaultDeltasPerStep;
                 m_wheel -= QWheelEvent::DefaultDeltasPerStep)
                zoomIn();
            for (; m_wheel <= -QWheelEvent::DefaultDeltasPerStep;
                 m_wheel += QWheelEvent::DefaultDeltasPerStep)
                zoomOut();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool ReportPreviewWindow::find(const QString& text)
{
    if (text.isEmpty() || m_document->pageCount() == 0)
        return false;
    const int pages = m_document->pageCount();
    int startPage = m_matchPage > 0 ? m_matchPage : std::max(1, m_page);
    int startItem = m_matchPage > 0 ? m_matchItem + 1 : 0;
    // Once round the document, from just after the last match.
    for (int n = 0; n <= pages; ++n) {
        const int p = (startPage - 1 + n) % pages + 1;
        const PageDisplayList& page = m_document->pageAt(p - 1);
        for (std::size_t i = n == 0 ? std::size_t(startItem) : 0; i < page.items.size(); ++i) {
            const DisplayItem& d = page.items[i];
            if (displayText(page, d, m_document->deferred()).contains(text, Qt::CaseInsensitive)) {
                goToPage(p);
                m_matchPage = p;
                m_matchItem = int(i);
                m_highlight = QRectF(d.x, d.y, d.w, d.h);
                m_view->update();
                return true;
            }
        }
    }
    m_matchPage = 0;
    m_matchItem = -1;
    return false;
}

bool ReportPreviewWindow::exportTo(const QString& file, QString* error) const
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    std::unique_ptr<PageSink> sink;
    if (suffix == u"pdf")
        sink = std::make_unique<PdfSink>(file);
    else if (suffix == u"html" || suffix == u"htm")
        sink = std::make_unique<HtmlSink>(file);
    else if (suffix == u"rtf")
        sink = std::make_unique<RtfSink>(file);
    if (!sink) {
        if (error)
            *error = QStringLiteral("No se puede exportar en el formato %1").arg(suffix);
        return false;
    }
    AvisoEspera espera(sink.get());
    if (!m_document->replay(espera)) {
        if (error)
            *error = sink->errorString();
        return false;
    }
    return true;
}

QString ReportPreviewWindow::exportFileName(const QString& typed, const QString& chosenFilter)
{
    const qsizetype star = chosenFilter.indexOf(QLatin1String("*."));
    if (typed.isEmpty() || star < 0)
        return typed;
    qsizetype end = star + 2;
    while (end < chosenFilter.size() && chosenFilter.at(end).isLetterOrNumber())
        ++end;
    const QString extension = chosenFilter.mid(star + 2, end - star - 2);
    // The format chosen decides: a name with dots ("lista 09.12.2026") or with another
    // format's extension gets the chosen one added.
    const QString suffix = QFileInfo(typed).suffix();
    const bool has = suffix.compare(extension, Qt::CaseInsensitive) == 0
        || (extension == u"html" && suffix.compare(u"htm", Qt::CaseInsensitive) == 0);
    return has ? typed : typed + u'.' + extension;
}

void ReportPreviewWindow::placeOver(const QWidget* caller)
{
    const QScreen* screen = caller ? caller->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    // The frame the window manager adds is not known before the window shows: leave room for it.
    const QSize frame(16, 48);
    const QSize size(std::min(900, room.width() - frame.width()),
        std::min(1000, room.height() - frame.height()));
    resize(size);
    const QPoint centre = caller ? caller->frameGeometry().center() : room.center();
    const int x = std::clamp(centre.x() - size.width() / 2, room.left(),
        std::max(room.left(), room.right() - size.width() - frame.width()));
    const int y = std::clamp(centre.y() - size.height() / 2, room.top(),
        std::max(room.top(), room.bottom() - size.height() - frame.height()));
    move(x, y);
}

namespace {

// Where Qt's CUPS print engine takes the job options the print dialog set.
constexpr auto CupsJobOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// Sets `printer` up as the operator chose in the print dialog.
void setUp(QPrinter& printer, const PrintChoice& choice)
{
    if (!choice.outputFile.isEmpty())
        printer.setOutputFileName(choice.outputFile);
    else
        printer.setPrinterName(choice.printerName);
    printer.setCopyCount(choice.copies);
    printer.setCollateCopies(choice.collate);
    printer.setDuplex(QPrinter::DuplexMode(int(choice.duplex)));
    printer.setColorMode(choice.grayscale ? QPrinter::GrayScale : QPrinter::Color);
    if (!choice.jobOptions.isEmpty() && printer.printEngine())
        printer.printEngine()->setProperty(CupsJobOptions, choice.jobOptions);
    if (!choice.pages.isEmpty()) {
        QPageRanges ranges;
        for (const auto& [from, to] : choice.pages)
            ranges.addRange(from, to);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setPageRanges(ranges);
    }
}

} // namespace

void ReportPreviewWindow::print()
{
    // The range offered is the pages there are (all of them once the layout has ended).
    const std::optional<PrintChoice> choice
        = m_dialogs.printing.choose(PrintRequest { 1, std::max(1, m_document->pageCount()) });
    if (!choice)
        return;
    QPrinter printer(QPrinter::HighResolution);
    setUp(printer, *choice);
    PrinterSink sink(printer);
    QString error;
    {
        // The banner counts the pages as the main window's prints do; it serves events
        // meanwhile, so the window takes no keys or clicks until the last page is out, and takes
        // them again however the print ends.
        setEnabled(false);
        const auto enable = qScopeGuard([this] { setEnabled(true); });
        try {
            AvisoImpresora aviso(sink);
            if (!m_document->replay(aviso))
                error = sink.errorString();
        } catch (const RuntimeError& failure) {
            error = failure.description();
        } catch (const std::bad_alloc&) {
            error = QStringLiteral("No hay memoria suficiente para imprimir el reporte.");
        } catch (...) {
            // Nothing may leave a button's handler: Qt would end the program.
            error = QStringLiteral("La impresión se detuvo por un error inesperado.");
        }
    }
    if (!error.isEmpty())
        m_dialogs.messages.show(error, Msg::Exclamation, windowTitle());
}

void ReportPreviewWindow::exportAsked()
{
    const QString filter = QStringLiteral("PDF|*.pdf|HTML|*.html|RTF|*.rtf");
    const std::optional<SavedFileChoice> chosen = m_dialogs.files.getSaveFileName(
        SaveFileRequest { QStringLiteral("Exportar"), filter, {} });
    if (!chosen)
        return;
    const QString file
        = exportFileName(chosen->path, filter.split(u'|').value(2 * chosen->filterIndex - 1));
    if (file.isEmpty())
        return;
    QString error;
    bool exportado = false;
    {
        // The banner serves events while the file is written: the window takes no keys or
        // clicks until it is done.
        setEnabled(false);
        const auto enable = qScopeGuard([this] { setEnabled(true); });
        exportado = exportTo(file, &error);
    }
    if (!exportado)
        m_dialogs.messages.show(error, Msg::Exclamation, windowTitle());
}

std::shared_ptr<PageSink> ReportPreviewWindows::open(const QString& title)
{
    auto document = std::make_shared<PreviewDocument>();
    auto* window = new ReportPreviewWindow(document,
        PreviewDialogs { Service<MessageDialog>::get(), Service<FileDialog>::get(),
            Service<PrintDialog>::get() });
    if (!title.isEmpty())
        window->setWindowTitle(title);
    window->show();
    return document;
}
