// Feeds mutated report definitions, formulas and saved reports to the engine for a bounded time
// and counts what happens: a crash ends the process (run it under the sanitizers to see where),
// a case slower than two seconds is counted as a hang. Not part of the test suite:
//
//     rp_fuzz [seconds] [seed]
//
// Seeds are the shipped definitions, a set of formulas the program writes, and a small saved
// report written here.

#include <chrono>
#include <cstdio>
#include <random>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FormulaTestContext.h"
#include "MemoryDataSource.h"
#include "platform/RuntimeError.h"
#include "reportengine/DefinitionLoader.h"
#include "reportengine/FormulaEvaluator.h"
#include "reportengine/FormulaParser.h"
#include "reportengine/ReportRenderer.h"
#include "reportengine/SavedReportReader.h"
#include "reportengine/SavedReportWriter.h"

namespace {

class NullPages final : public PageSink
{
public:
    bool begin(const DocumentInfo&) override { return true; }
    bool page(const PageDisplayList&, const DocumentResources&, const DeferredValues*) override
    {
        return true;
    }
    bool finish(const DeferredValues&) override { return true; }
};

// Pieces that make parsers and sizes misbehave when dropped into a case.
const char* const Tokens[] = { "nan", "inf", "-1", "1e308", "99999999999999999999", "0", "(",
    ")", "Not ", "{@F}", "'", "\"", "<", ">", "&", "<!DOCTYPE x>", "]]>", "Date(2024,2,30)",
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
    NullPages pages;
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

} // namespace

int main(int argc, char** argv)
{
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
