#pragma once

#include <optional>

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// What the print dialog offers: the pages there are to choose from.
struct PrintRequest
{
    int firstPage = 1;
    int lastPage = 1;
};

// What the operator chose in the print dialog.
struct PrintChoice
{
    enum class Duplex
    {
        None,
        Auto,
        LongSide,
        ShortSide
    };

    QString printerName; // the queue chosen
    QString outputFile; // printing to a file: its path (PDF); empty for a queue
    int copies = 1;
    bool collate = true;
    // Page ranges, first and last page each, 1-based; empty for every page.
    QList<QPair<int, int>> pages;
    Duplex duplex = Duplex::None;
    bool grayscale = false;
    // The print system's own job options the dialog set, as name and value pairs.
    QStringList jobOptions;
};

// The print dialog. Reached through Service<PrintDialog>; src/app installs the Qt one, tests a
// scripted fake.
class PrintDialog
{
public:
    virtual ~PrintDialog() = default;

    // Shows the dialog with the page range limited to the request's. Returns the choice, or
    // nothing when the operator cancelled.
    virtual std::optional<PrintChoice> choose(const PrintRequest& request) = 0;
};
