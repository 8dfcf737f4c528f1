#pragma once

#include <memory>
#include <vector>

#include <QElapsedTimer>
#include <QWidget>

#include "reportengine/PageSink.h"
#include "reports/ReportPreviews.h"

class FileDialog;
class MessageDialog;
class PrintDialog;

class QLabel;
class QSpinBox;
class QComboBox;
class QLineEdit;
class PagePainter;

// The pages of one report kept for the preview, filled while the layout runs. It takes the pages
// as they come (no deferred texts resolved: it receives the values at the end), tells the window
// about each page and lets the window paint the first ones before the layout has ended.
class PreviewDocument final : public QObject, public PageSink
{
    Q_OBJECT

public:
    bool begin(const DocumentInfo& info) override;
    bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred) override;
    bool finish(const DeferredValues& deferred) override;
    bool wantsResolvedPages() const override { return false; }

    int pageCount() const { return int(m_pages.size()); }
    bool isFinished() const { return m_finished; }
    const DocumentInfo& info() const { return m_info; }
    const PageDisplayList& pageAt(int index) const { return m_pages.at(std::size_t(index)); }
    const DocumentResources& resources() const { return m_resources; }
    const DeferredValues* deferred() const { return m_finished ? &m_deferred : nullptr; }

    // Sends the kept pages to another output (print, export from the window).
    bool replay(PageSink& sink) const;

Q_SIGNALS:
    void begun(); // info() is known
    void pageAdded(int count);
    void finished(int count);

private:
    DocumentInfo m_info;
    std::vector<PageDisplayList> m_pages;
    DocumentResources m_resources;
    DeferredValues m_deferred;
    bool m_finished = false;
    QElapsedTimer m_sinceEvents;
};

// The dialogs the preview window opens; not owned, they outlive the window.
struct PreviewDialogs
{
    MessageDialog& messages;
    FileDialog& files;
    PrintDialog& printing;
};

// The preview window: modeless, shows the pages as they are laid out with "Página N de M+" until
// the count is final; moves by page, goes to a page, zooms to the width, to the page or by
// percent (and by Ctrl++, Ctrl+-, Ctrl+0 and Ctrl with the wheel), finds text (highlighted) and
// prints or exports the report as shown.
class ReportPreviewWindow final : public QWidget
{
    Q_OBJECT

public:
    enum class Zoom
    {
        FitWidth,
        FitPage,
        Percent
    };

    ReportPreviewWindow(std::shared_ptr<PreviewDocument> document, const PreviewDialogs& dialogs,
        QWidget* parent = nullptr);
    ~ReportPreviewWindow() override;

    int currentPage() const { return m_page; } // 1-based; 0 before the first page
    QString pageLabel() const;
    void goToPage(int page);
    void firstPage() { goToPage(1); }
    void previousPage() { goToPage(m_page - 1); }
    void nextPage() { goToPage(m_page + 1); }
    void lastPage() { goToPage(m_document->pageCount()); }
    void setZoom(Zoom zoom, int percent = 100);
    // The next percentage of the zoom list above or below the page's present size (Ctrl++ and
    // Ctrl+-, Ctrl and the wheel); Ctrl+0 fits the page.
    void zoomIn() { zoomBy(1); }
    void zoomOut() { zoomBy(-1); }
    // Finds `text` (ignoring case) from the page after the current match on; answers whether
    // found and shows that page with the match highlighted.
    bool find(const QString& text);
    QRectF highlight() const { return m_highlight; }
    // Pixels per hundredth of a millimetre at the present zoom.
    double scale() const;

    bool exportTo(const QString& file, QString* error) const;

    // The file name typed in the export dialog with the extension of the format chosen there
    // ("PDF (*.pdf)") added when it does not end with it.
    static QString exportFileName(const QString& typed, const QString& chosenFilter);

    // Size and place within the available screen, centred over `caller` (the screen's centre
    // when there is none).
    void placeOver(const QWidget* caller);

private:
    class PageView;
    void refresh();
    void print();
    void exportAsked();
    void zoomBy(int steps);
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::shared_ptr<PreviewDocument> m_document;
    PreviewDialogs m_dialogs;
    PageView* m_view = nullptr;
    QLabel* m_label = nullptr;
    QSpinBox* m_goTo = nullptr;
    QComboBox* m_zoomBox = nullptr;
    QLineEdit* m_search = nullptr;
    int m_page = 0;
    Zoom m_zoom = Zoom::FitWidth;
    int m_percent = 100;
    int m_wheel = 0; // wheel turns with Ctrl not yet a whole step
    int m_matchPage = 0;
    int m_matchItem = -1;
    QRectF m_highlight; // in 1/100 mm on the current page
};

// The preview windows of the program's prints, their dialogs the installed platform ones. src/app
// installs it as Service<ReportPreviews>.
class ReportPreviewWindows final : public ReportPreviews
{
public:
    std::shared_ptr<PageSink> open(const QString& title) override;
};
