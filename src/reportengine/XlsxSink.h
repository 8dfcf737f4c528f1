#pragma once

#include <memory>
#include <vector>

#include <QHash>
#include <QString>
#include <QTemporaryFile>

#include "reportengine/OutputFile.h"
#include "reportengine/RecordFileSink.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// The record stream as an XLSX workbook, written row by row in the library's constant-memory
// mode (memory stays flat whatever the row count). A bold header row with the column names, then
// for each group start a bold row with its heading as printed (its key when the heading prints
// nothing), the detail records, and a row with the group's footer as printed (its count) when it
// prints one. Rows carry outline levels (a group's row at its level, its records and footer one
// deeper) so the spreadsheet can fold the groups. Values keep their types: numbers are numbers
// with the column's number format, dates are dates, texts are texts; numbers rounded to the
// decimals their column prints, whole numbers of a column whose decimals are optional without
// the decimal separator. Each column is as wide as its widest value. A list longer than a sheet
// holds goes on in further sheets ("Informe (2)", ...), each with the header row.
class XlsxSink final : public RecordFileSink
{
public:
    // Rows a spreadsheet holds in one sheet, the header row included.
    static constexpr int SheetRows = 1048576;

    // `sheetName` is cut and cleaned to what spreadsheets accept; blank gives "Informe".
    // `rowsPerSheet` is for tests (a sheet is full at that many rows).
    XlsxSink(const QString& path, const QString& sheetName, int rowsPerSheet = SheetRows);
    ~XlsxSink() override;

    void beginRecords(const std::vector<RecordColumn>& columns) override;
    void groupStart(int level, const Value& key, const QString& caption) override;
    void record(const std::vector<Value>& values) override;
    void groupEnd(int level, const QString& caption) override;
    void endRecords() override { }

    bool close() override;
    QString errorString() const override { return m_error; }

    // The spreadsheet's format code for one of our patterns: number patterns keep their
    // characters ("%" stays a literal, as it prints); date patterns change letter case
    // ("dd/MM/yyyy HH:mm" gives "dd/mm/yyyy hh:mm"). Empty when there is no pattern.
    static QString numberFormat(const QString& pattern);
    static bool isDatePattern(const QString& pattern);
    // The code for the column's whole numbers: `code` without its decimals when they are all
    // optional ("#,##0.##" gives "#,##0", which shows 4 where the other shows "4."); empty when
    // the code needs no other.
    static QString wholeNumberFormat(const QString& code);

private:
    lxw_format* format(const QString& code, bool bold);
    void writeValue(int column, const Value& value, lxw_format* numberFormat,
        lxw_format* dateFormat, bool bold);
    void startRow(int level);
    // Adds the next sheet and writes the header row in it.
    bool addSheet();
    void writeHeader();
    void check(int error);
    // Widens the column's record of its widest value to `characters`.
    void fits(int column, qsizetype characters);
    // Sets every sheet's column widths to what their values need.
    void setColumnWidths();
    // Copies the closed workbook into the target's temporary and puts it in the target's place.
    void copyIntoTarget();

    QString m_path;
    QString m_target;
    // The library writes the workbook by name into a scratch file of this process (swept at the
    // next start if the process dies); when whole it is copied into the target's own temporary,
    // which has no name until it replaces the target.
    QTemporaryFile m_partial;
    std::unique_ptr<OutputFile> m_output;
    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    std::vector<lxw_worksheet*> m_sheets;
    QString m_sheetName;
    int m_rowsPerSheet = SheetRows;
    std::vector<QString> m_headers;
    std::vector<int> m_decimals; // per column: the decimals printed, -1 when not a number pattern
    lxw_format* m_bold = nullptr;
    QHash<QString, lxw_format*> m_formats;
    std::vector<lxw_format*> m_numberFormats; // per column
    std::vector<lxw_format*> m_dateFormats; // per column
    std::vector<lxw_format*> m_wholeFormats; // per column: for whole numbers, or null
    std::vector<qsizetype> m_widths; // per column: characters of its widest value
    int m_row = -1;
    int m_openGroups = 0;
    QString m_error;
    bool m_closed = false;
};
