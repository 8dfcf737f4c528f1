// Feeds mutated report definitions, formulas and saved reports to the engine for a bounded time
// and counts what happens: a crash ends the process (run it under the sanitizers to see where),
// a case slower than two seconds is counted as a hang. Not part of the test suite:
//
//     rp_fuzz [seconds] [seed]
//     rp_fuzz --layout       (the hostile layouts, timed: each should take seconds, not minutes)
//
// Seeds are the shipped definitions, a set of formulas the program writes, and a small saved
// report written here.

#include <chrono>
#include <cstdio>
#include <random>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "FormulaTestContext.h"
#include "DiscardedPages.h"
#include "MemoryDataSource.h"
#include "platform/RuntimeError.h"
#include "reportengine/DefinitionLoader.h"
#include "reportengine/FormulaEvaluator.h"
#include "reportengine/FormulaParser.h"
#include "reportengine/ReportRenderer.h"
#include "reportengine/SavedReportReader.h"
#include "reportengine/SavedReportWriter.h"

namespace {

// Pieces that make parsers and sizes misbehave when dropped into a case.
const char* const Tokens[] = { "nan", "inf", "-1", "1e308", "99999999999999999999", "0", "(", ")",
    "Not ", "{@F}", "'", "\"", "<", ">", "&", "<!DOCTYPE x>", "]]>", "Date(2024,2,30)",
    "Remainder(-9223372036854775807 - 1, -1)", " + ", " Or ", "[", "\xff\xfe", "\0" };

class Mutator
{
public:
    explicit Mutator(unsigned seed)
        : m_random(seed)
    {
    }

    QByteArray mutate(QByteArray data)
    {
        const int steps = 1 + int(next(4));
        for (int i = 0; i < steps; ++i) {
            const qsizetype at = data.isEmpty() ? 0 : qsizetype(next(std::size_t(data.size())));
            switch (next(6)) {
            case 0:
                if (!data.isEmpty())
                    data[at] = char(data[at] ^ (1 << next(8)));
                break;
            case 1:
                data.insert(at, char(next(256)));
                break;
            case 2:
                data.remove(at, qsizetype(next(16)));
                break;
            case 3: {
                // A repeated piece: deep nesting and long chains.
                const QByteArray piece = data.mid(at, 1 + qsizetype(next(8)));
                data.insert(at, piece.repeated(qsizetype(next(2000))));
                break;
            }
            case 4: {
                const char* token = Tokens[next(std::size(Tokens))];
                data.insert(at, QByteArray(token, token[0] ? qsizetype(qstrlen(token)) : 1));
                break;
            }
            default:
                data.truncate(at);
                break;
            }
        }
        return data;
    }

    std::size_t next(std::size_t bound) { return std::size_t(m_random() % bound); }

private:
    std::mt19937 m_random;
};

void tryDefinition(const QByteArray& xml)
{
    const auto def = DefinitionLoader::loadData(xml, QStringLiteral("fuzz.rpt"), nullptr);
    if (!def)
        return;
    ReportRenderer renderer(*def, RenderOptions());
    MemoryDataSource data;
    renderer.prepare(data);
}

void tryFormula(const QByteArray& text)
{
    const FormulaParseResult r = FormulaParser::parse(QStringLiteral("F"), QString::fromUtf8(text));
    if (!r.ok() || !r.tree)
        return;
    r.tree->toText();
    FormulaTestContext context;
    context.setFormula(QStringLiteral("F"), Value(qint64(1)));
    try {
        FormulaEvaluator(context, QStringLiteral("F")).evaluate(*r.tree);
    } catch (const RuntimeError&) {
    }
}

void trySaved(const QByteArray& bytes, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(bytes);
    file.close();
    SavedReportReader reader;
    if (!reader.open(path))
        return;
    DiscardedPages pages;
    reader.replay(pages);
}

QByteArray savedSeed(const QString& path)
{
    SavedReportWriter writer(path);
    DocumentInfo info;
    info.title = QStringLiteral("Prueba");
    writer.begin(info);
    DocumentResources resources;
    resources.addFont(FontSpec());
    PageDisplayList page;
    page.number = 1;
    DisplayItem text;
    text.ref = 0;
    page.items.push_back(text);
    page.strings.push_back(QStringLiteral("Hoja 1"));
    writer.page(page, resources, nullptr);
    writer.beginRecords({ RecordColumn { QStringLiteral("a"), QString(), HAlign::Left } });
    writer.record({ Value(qint64(1)) });
    writer.endRecords();
    writer.finish(DeferredValues());
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Lays out `xml` over table P's rows into pages that go nowhere; prints the time and pages.
void timeLayout(
    const char* name, const QByteArray& xml, const QStringList& columns, QList<QList<Value>> rows)
{
    const auto def = DefinitionLoader::loadData(xml, QStringLiteral("hostil.rpt"), nullptr);
    if (!def) {
        std::printf("%s: definition refused\n", name);
        return;
    }
    MemoryDataSource data;
    data.addTable(QStringLiteral("P"), columns, std::move(rows));
    ReportRenderer renderer(*def, RenderOptions());
    const auto before = std::chrono::steady_clock::now();
    DiscardedPages pages;
    const bool ok = renderer.prepare(data) && renderer.run(data, pages, nullptr);
    const double s
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
    std::printf("%s: %s pages=%d seconds=%.2f %s\n", name, ok ? "ok" : "failed",
        renderer.pageCount(), s, qPrintable(renderer.errorString()));
}

int hostileLayouts()
{
    const QByteArray head
        = "<report version=\"1\" name=\"RP_Hostil\">\n"
          "  <page paper=\"A4\" left=\"10\" top=\"10\" right=\"10\" bottom=\"10\"/>\n"
          "  <styles><style name=\"default\" font=\"Arial\" size=\"9\"/></styles>\n"
          "  <data><table name=\"P\"/></data>\n";
    const QStringList columns = { QStringLiteral("P.Grupo"), QStringLiteral("P.Texto") };

    // One word of 5 MB in a field that grows: broken wherever it must, line after line.
    timeLayout("can-grow 5 MB word",
        head
            + "  <detail height=\"5\"><field x=\"0\" y=\"0\" width=\"60\" height=\"5\" "
              "expr=\"{P.Texto}\" canGrow=\"true\"/></detail>\n</report>",
        columns, { { Value(u"A"), Value(QString(5 * 1024 * 1024, u'x')) } });

    // Groups kept together that are taller than a page: they start a page and break anyway.
    QList<QList<Value>> tall;
    for (int g = 0; g < 40; ++g) {
        for (int r = 0; r < 400; ++r)
            tall.append({ Value(QString::number(g)), Value(QStringLiteral("renglón %1").arg(r)) });
    }
    timeLayout("keep-together groups taller than a page",
        head
            + "  <group name=\"G\" by=\"{P.Grupo}\" keepTogether=\"true\">\n"
              "    <header height=\"6\"><field x=\"0\" y=\"0\" width=\"60\" height=\"5\" "
              "expr=\"{P.Grupo}\"/></header>\n"
              "  </group>\n"
              "  <detail height=\"5\" keepTogether=\"true\"><field x=\"0\" y=\"0\" width=\"60\" "
              "height=\"5\" "
              "expr=\"{P.Texto}\" canGrow=\"true\"/></detail>\n</report>",
        columns, std::move(tall));

    // 20,000 items in one section.
    QByteArray items;
    for (int i = 0; i < 20000; ++i)
        items += "<text x=\"" + QByteArray::number(i % 180) + "\" y=\""
            + QByteArray::number((i / 180) % 250) + "\" width=\"10\" height=\"4\">t"
            + QByteArray::number(i) + "</text>";
    timeLayout("20,000 items in one section",
        head
            + "  <detail height=\"260\"><field x=\"0\" y=\"255\" width=\"60\" height=\"5\" "
              "expr=\"{P.Texto}\"/>"
            + items + "</detail>\n</report>",
        columns,
        { { Value(u"A"), Value(u"a") }, { Value(u"B"), Value(u"b") },
            { Value(u"C"), Value(u"c") } });
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "--layout") {
        // Text is measured with the fonts: a GUI application, with no screen.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return hostileLayouts();
    }
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const unsigned seed = argc > 2 ? unsigned(std::atoi(argv[2])) : 1;
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("seed.rps"));
    const QString scratch = dir.filePath(QStringLiteral("case.rps"));

    std::vector<QByteArray> definitions;
    const QDir reports(QStringLiteral(RP_SOURCE_DIR "/share/reports"));
    for (const QString& name : reports.entryList({ QStringLiteral("*.rpt") })) {
        QFile f(reports.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            definitions.push_back(f.readAll());
    }
    const std::vector<QByteArray> formulas = { " {V_MA_PRECIOS.TIPOLISTA} = 'V'  AND  "
                                               "{v_ma_articulos.SUSPENDIDO} = False",
        "If IsNull({t.a}) Then 'x' Else ToText({t.b}, 2) & Left('abc', 2)",
        "{t.a} in ['1', '2'] or {t.b} in 1 to 5 and Date(2024,1,5) < CurrentDate",
        "Round(1234.5678, 2) + Remainder(7, 3) * 2 ^ 3 - {@F}", "'a'[1 to 2] like 'a*'" };
    const QByteArray savedBytes = savedSeed(saved);

    Mutator mutator(seed);
    long cases = 0;
    long hangs = 0;
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        const auto before = std::chrono::steady_clock::now();
        switch (cases % 3) {
        case 0:
            tryDefinition(mutator.mutate(definitions[mutator.next(definitions.size())]));
            break;
        case 1:
            tryFormula(mutator.mutate(formulas[mutator.next(formulas.size())]));
            break;
        default:
            trySaved(mutator.mutate(savedBytes), scratch);
            break;
        }
        ++cases;
        if (std::chrono::steady_clock::now() - before > std::chrono::seconds(2))
            ++hangs;
    }
    std::printf("casos: %ld, cuelgues (más de 2 s): %ld, caídas: 0\n", cases, hangs);
    return hangs == 0 ? 0 : 1;
}
