#pragma once

#include <QString>
#include <QStringList>

namespace XlsxTools {

// One sheet of a workbook as text: its cells as "A1=text" or "C3=1234.5 [#,##0.00]" (a number
// and its format code), its rows' outline levels as "3:1" (row 3 at level 1) and its columns'
// widths as "B=27.5".
struct SheetCells
{
    QStringList cells;
    QStringList rows;
    QStringList widths;
};

SheetCells readSheet(const QString& xlsx, int number = 1);

} // namespace XlsxTools
