// Formulas of any bytes compiled and evaluated as a report prints them. The input's first line is
// the record selection, each further line a formula (F1, F2, ...) that may read the others; the
// report prints every formula on each of a few rows, and sums by group, into pages that go
// nowhere.

#include <cstddef>
#include <cstdint>

#include <QGuiApplication>
#include <QStringList>

#include "DiscardedPages.h"
#include "MemoryDataSource.h"
#include "platform/RuntimeError.h"
#include "reportengine/DefinitionLoader.h"
#include "reportengine/ReportRenderer.h"

namespace {

constexpr int MaxFormulas = 32;

QByteArray definition(const QStringList& lines)
{
    QString formulas;
    QString fields;
    for (int i = 1; i < lines.size() && i <= MaxFormulas; ++i) {
        formulas += QStringLiteral("<formula name=\"F%1\">%2</formula>\n")
                        .arg(i)
                        .arg(lines[i].toHtmlEscaped());
        fields
            += QStringLiteral("<field x=\"%1\" y=\"0\" width=\"5\" height=\"5\" expr=\"{@F%2}\"/>")
                   .arg((i - 1) * 6)
                   .arg(i);
    }
    const QString selection = lines.isEmpty() ? QString() : lines[0].toHtmlEscaped();
    return QStringLiteral(R"RPT(<report version="1" name="RP_Fuzz">
  <page paper="A4" left="10" top="10" right="10" bottom="10"/>
  <styles><style name="default" font="DejaVu Sans" size="8"/></styles>
  <data><table name="t"/></data>
  <formulas>%1</formulas>
  <selection>%2</selection>
  <group name="G" by="{t.g}">
    <footer height="5"><field x="0" y="0" width="30" height="5" expr="Sum({t.n}, {t.g})"/>%3</footer>
  </group>
  <detail height="5">%3</detail>
</report>)RPT")
        .arg(formulas, selection, fields)
        .toUtf8();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Text is measured with the fonts: a GUI application, with no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto def = DefinitionLoader::loadData(
        definition(text.split(u'\n')), QStringLiteral("fuzz.rpt"), nullptr);
    if (!def)
        return 0;
    MemoryDataSource rows;
    rows.addTable(QStringLiteral("t"),
        { QStringLiteral("t.g"), QStringLiteral("t.s"), QStringLiteral("t.n"),
            QStringLiteral("t.d"), QStringLiteral("t.b") },
        { { Value(u"A"), Value(u"uno"), Value(qint64(1)), Value(QDate(2024, 2, 29)), Value(true) },
            { Value(u"A"), Value::null(), Value(2.5), Value::null(), Value(false) },
            { Value(u"B"), Value(u" dos "), Value::null(), Value(QDate(1899, 12, 30)),
                Value::null() } });
    RenderOptions options;
    options.printTime = QDateTime(QDate(2026, 12, 9), QTime(10, 30));
    ReportRenderer renderer(*def, options);
    DiscardedPages pages;
    if (renderer.prepare(rows))
        renderer.run(rows, pages, nullptr);
    return 0;
}
