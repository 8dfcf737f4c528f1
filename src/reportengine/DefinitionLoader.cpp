#include "reportengine/DefinitionLoader.h"

#include <cmath>

#include <initializer_list>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QXmlStreamReader>

#include "reportengine/FormulaParser.h"

QString DefinitionError::toString() const
{
    return QStringLiteral("%1:%2:%3: %4").arg(file).arg(line).arg(column).arg(message);
}

namespace {

struct ParseFailure
{
    qint64 line;
    qint64 column;
    QString message;
};

struct PaperSize
{
    const char* name;
    double width;
    double height;
};

constexpr PaperSize PaperSizes[] = {
    { "A4", 210.0, 297.0 },
    { "A3", 297.0, 420.0 },
    { "A5", 148.0, 210.0 },
    { "Letter", 215.9, 279.4 },
    { "Legal", 215.9, 355.6 },
};

class Parser
{
public:
    explicit Parser(QXmlStreamReader& xml)
        : m_xml(xml)
    {
    }

    ReportDefinition parseDocument()
    {
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            // A document type declaration could define entities that expand without end; our
            // definitions never carry one.
            if (m_xml.isDTD())
                fail(QStringLiteral("la definición no admite una declaración <!DOCTYPE>"));
            if (m_xml.isStartElement()) {
                if (m_xml.name() != u"report")
                    fail(QStringLiteral("se esperaba el elemento <report> y se encontró <%1>")
                             .arg(m_xml.name()));
                ReportDefinition def;
                parseReport(def, true);
                // Whatever follows the report must be blanks, comments or processing notes.
                while (!m_xml.atEnd()) {
                    m_xml.readNext();
                    if (m_xml.isStartElement() || m_xml.isDTD())
                        fail(QStringLiteral("sobra el elemento <%1> después de <report>")
                                 .arg(m_xml.name()));
                }
                checkXml();
                return def;
            }
        }
        checkXml();
        fail(QStringLiteral("el archivo no contiene un elemento <report>"));
    }

private:
    [[noreturn]] void fail(const QString& message)
    {
        throw ParseFailure { m_xml.lineNumber(), m_xml.columnNumber(), message };
    }

    void checkXml()
    {
        if (m_xml.hasError())
            fail(QStringLiteral("XML mal formado") + xmlFault());
    }

    // What is wrong with the XML, in the program's words: the reader's own text is English.
    // Empty where the line and column say enough.
    QString xmlFault() const
    {
        if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            return QStringLiteral(": el archivo termina antes de cerrar sus elementos");
        static const std::pair<const char*, const char*> faults[] = {
            { "tag mismatch", ": la etiqueta que cierra no es la del elemento abierto" },
            { "Extra content", ": hay texto después del elemento <report>" },
            { "redefined", ": un atributo está repetido" },
            { "incorrectly encoded", ": el texto no está en UTF-8" },
            { "Invalid XML character", ": un carácter no admitido en XML" },
            { "Invalid entity", ": una referencia & que no es válida" },
            { "Namespace prefix", ": un prefijo de nombre sin declarar" },
            { "Entity '", ": una entidad sin declarar" },
        };
        const QString text = m_xml.errorString();
        for (const auto& [english, spanish] : faults) {
            if (text.contains(QLatin1String(english)))
                return QString::fromUtf8(spanish);
        }
        return QString();
    }

    // Refuses any attribute of the current element that is not in `allowed`.
    void allowOnly(std::initializer_list<const char16_t*> allowed)
    {
        for (const QXmlStreamAttribute& a : m_xml.attributes()) {
            bool known = false;
            for (const char16_t* name : allowed)
                known = known || a.name() == QStringView(name);
            if (!known)
                fail(QStringLiteral("atributo desconocido \"%1\" en <%2>")
                         .arg(a.name(), m_xml.name()));
        }
    }

    bool has(const char16_t* name) const
    {
        return m_xml.attributes().hasAttribute(QString::fromUtf16(name));
    }

    QString text(const char16_t* name, const QString& fallback = QString()) const
    {
        const QString key = QString::fromUtf16(name);
        const QXmlStreamAttributes attrs = m_xml.attributes();
        return attrs.hasAttribute(key) ? attrs.value(key).toString() : fallback;
    }

    QString required(const char16_t* name)
    {
        if (!has(name))
            fail(QStringLiteral("falta el atributo \"%1\" en <%2>")
                     .arg(QStringView(name), m_xml.name()));
        return text(name);
    }

    // Lengths are millimetres: nothing on a sheet is longer than 5 m, and a larger figure is a
    // typing slip that would overflow the layout's whole-number coordinates.
    static constexpr double LongestMm = 5000;

    double number(const char16_t* name, double fallback, double largest = LongestMm)
    {
        if (!has(name))
            return fallback;
        bool ok = false;
        const double v = text(name).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < 0)
            fail(QStringLiteral("el atributo \"%1\" de <%2> debe ser un número no negativo: \"%3\"")
                     .arg(QStringView(name), m_xml.name(), text(name)));
        if (v > largest)
            fail(QStringLiteral("el atributo \"%1\" de <%2> vale %3, más que el máximo de %4")
                     .arg(QStringView(name), m_xml.name(), text(name))
                     .arg(largest));
        return v;
    }

    // Coordinates may be negative only for lines; everything else uses number().
    double signedNumber(const char16_t* name, double fallback)
    {
        if (!has(name))
            return fallback;
        bool ok = false;
        const double v = text(name).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v))
            fail(QStringLiteral("el atributo \"%1\" de <%2> debe ser un número: \"%3\"")
                     .arg(QStringView(name), m_xml.name(), text(name)));
        if (std::abs(v) > LongestMm)
            fail(QStringLiteral("el atributo \"%1\" de <%2> vale %3, más que el máximo de %4")
                     .arg(QStringView(name), m_xml.name(), text(name))
                     .arg(LongestMm));
        return v;
    }

    int integer(const char16_t* name, int fallback, int largest)
    {
        const double v = number(name, fallback, largest);
        if (v != std::trunc(v))
            fail(QStringLiteral("el atributo \"%1\" de <%2> debe ser un número entero")
                     .arg(QStringView(name), m_xml.name()));
        return int(v);
    }

    bool boolean(const char16_t* name, bool fallback)
    {
        if (!has(name))
            return fallback;
        const QString v = text(name).trimmed().toLower();
        if (v == u"true" || v == u"1")
            return true;
        if (v == u"false" || v == u"0")
            return false;
        fail(QStringLiteral("el atributo \"%1\" debe ser true o false: \"%2\"")
                 .arg(QStringView(name), text(name)));
    }

    QColor color(const char16_t* name, const QColor& fallback)
    {
        if (!has(name))
            return fallback;
        const QColor c = QColor::fromString(text(name).trimmed());
        if (!c.isValid())
            fail(QStringLiteral("color no válido en \"%1\": \"%2\"")
                     .arg(QStringView(name), text(name)));
        return c;
    }

    template <typename E>
    E choice(const char16_t* name, E fallback,
        std::initializer_list<std::pair<const char16_t*, E>> options)
    {
        if (!has(name))
            return fallback;
        const QString v = text(name).trimmed();
        QStringList names;
        for (const auto& [optionName, value] : options) {
            if (v.compare(QStringView(optionName), Qt::CaseInsensitive) == 0)
                return value;
            names << QString::fromUtf16(optionName);
        }
        fail(QStringLiteral("valor no válido \"%1\" en el atributo \"%2\" (se admite: %3)")
                 .arg(v, QStringView(name), names.join(u", ")));
    }

    QString elementText()
    {
        const QString t = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        checkXml();
        return t;
    }

    // Calls `child` for every child element of the current one, then leaves the reader on its end.
    template <typename F> void children(F child)
    {
        while (m_xml.readNextStartElement())
            child(m_xml.name().toString());
        checkXml();
    }

    [[noreturn]] void unexpected(const QString& parent)
    {
        fail(QStringLiteral("elemento <%1> no admitido dentro de <%2>").arg(m_xml.name(), parent));
    }

    void parseReport(ReportDefinition& def, bool topLevel)
    {
        if (topLevel)
            allowOnly({ u"version", u"name", u"title", u"xmlns" });
        else
            allowOnly({ u"name", u"title" });
        if (topLevel) {
            const QString v = required(u"version");
            bool ok = false;
            def.version = v.toInt(&ok);
            if (!ok || def.version < 1 || def.version > DefinitionLoader::CurrentVersion)
                fail(QStringLiteral("versión de formato no admitida: \"%1\" (se admite hasta %2)")
                         .arg(v)
                         .arg(DefinitionLoader::CurrentVersion));
        } else {
            def.name = required(u"name");
        }
        if (topLevel)
            def.name = text(u"name");
        def.title = text(u"title");
        const ReportDefinition* outer = m_current;
        m_current = &def;
        const QString self = QStringLiteral("report");
        children([&](const QString& n) {
            if (n == u"page" && topLevel)
                parsePage(def.page);
            else if (n == u"fonts" && topLevel)
                parseFonts(def);
            else if (n == u"styles")
                parseStyles(def);
            else if (n == u"data")
                parseData(def.data);
            else if (n == u"formulas")
                parseFormulas(def);
            else if (n == u"selection") {
                allowOnly({});
                def.selection = elementText().trimmed();
            } else if (n == u"sort")
                parseSort(def);
            else if (n == u"group")
                parseGroup(def);
            else if (n == u"reportHeader")
                def.reportHeaders.push_back(parseSection(SectionKind::ReportHeader));
            else if (n == u"pageHeader")
                def.pageHeaders.push_back(parseSection(SectionKind::PageHeader));
            else if (n == u"detail")
                def.details.push_back(parseSection(SectionKind::Detail));
            else if (n == u"pageFooter")
                def.pageFooters.push_back(parseSection(SectionKind::PageFooter));
            else if (n == u"reportFooter")
                def.reportFooters.push_back(parseSection(SectionKind::ReportFooter));
            else if (n == u"labels")
                parseLabels(def.labels);
            else if (n == u"subreports" && topLevel)
                parseSubreports(def);
            else
                unexpected(self);
        });
        m_current = outer;
        validate(def);
    }

    void validate(const ReportDefinition& def)
    {
        // A label grid larger than the sheet of paper would print labels off it, or lay out
        // nothing at all.
        if (def.labels.enabled()) {
            const LabelSheet& l = def.labels;
            const double across = l.columns * l.labelWidthMm + (l.columns - 1) * l.gapXMm;
            const double down = l.rows * l.labelHeightMm + (l.rows - 1) * l.gapYMm;
            if (across > def.page.pageWidthMm() + 0.01 || down > def.page.pageHeightMm() + 0.01)
                fail(QStringLiteral("las etiquetas de <labels> (%1 x %2) no caben en la página")
                         .arg(l.columns)
                         .arg(l.rows));
        }
        if (def.data.tables.empty() && def.data.sql.trimmed().isEmpty())
            fail(QStringLiteral("el informe \"%1\" no tiene origen de datos (<data>)")
                     .arg(def.name));
    }

    void parsePage(PageSetup& page)
    {
        allowOnly({ u"paper", u"width", u"height", u"orientation", u"left", u"top", u"right",
            u"bottom" });
        page.paper = text(u"paper", QStringLiteral("A4")).trimmed();
        bool known = false;
        for (const PaperSize& p : PaperSizes) {
            if (page.paper.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0) {
                page.paper = QLatin1String(p.name);
                page.widthMm = p.width;
                page.heightMm = p.height;
                known = true;
            }
        }
        if (!known) {
            if (page.paper.compare(u"Custom", Qt::CaseInsensitive) != 0)
                fail(QStringLiteral("papel desconocido \"%1\" (A4, A3, A5, Letter, Legal o Custom)")
                         .arg(page.paper));
            page.paper = QStringLiteral("Custom");
            page.widthMm = number(u"width", 0);
            page.heightMm = number(u"height", 0);
            if (page.widthMm <= 0 || page.heightMm <= 0)
                fail(QStringLiteral("el papel Custom necesita \"width\" y \"height\""));
        }
        page.orientation = choice(u"orientation", PageOrientation::Portrait,
            { { u"portrait", PageOrientation::Portrait },
                { u"landscape", PageOrientation::Landscape } });
        page.marginLeftMm = number(u"left", page.marginLeftMm);
        page.marginTopMm = number(u"top", page.marginTopMm);
        page.marginRightMm = number(u"right", page.marginRightMm);
        page.marginBottomMm = number(u"bottom", page.marginBottomMm);
        if (page.marginLeftMm + page.marginRightMm >= page.pageWidthMm()
            || page.marginTopMm + page.marginBottomMm >= page.pageHeightMm())
            fail(QStringLiteral("los márgenes no dejan lugar en la página"));
        children([&](const QString&) { unexpected(QStringLiteral("page")); });
    }

    void parseFonts(ReportDefinition& def)
    {
        allowOnly({});
        children([&](const QString& n) {
            if (n != u"substitute")
                unexpected(QStringLiteral("fonts"));
            allowOnly({ u"from", u"to" });
            def.fontSubstitutions.emplace_back(required(u"from"), required(u"to"));
            children([&](const QString&) { unexpected(QStringLiteral("substitute")); });
        });
    }

    FontSpec parseFont(const FontSpec& base)
    {
        FontSpec f = base;
        f.family = text(u"font", f.family);
        f.sizePt = number(u"size", f.sizePt, 1000);
        if (f.sizePt <= 0)
            fail(QStringLiteral("el tamaño de letra debe ser mayor que cero"));
        f.bold = boolean(u"bold", f.bold);
        f.italic = boolean(u"italic", f.italic);
        f.underline = boolean(u"underline", f.underline);
        return f;
    }

    bool hasAnyFontAttribute() const
    {
        return has(u"font") || has(u"size") || has(u"bold") || has(u"italic") || has(u"underline");
    }

    HAlign align(HAlign fallback)
    {
        return choice(u"align", fallback,
            { { u"left", HAlign::Left }, { u"center", HAlign::Center }, { u"right", HAlign::Right },
                { u"justify", HAlign::Justify } });
    }

    void parseStyles(ReportDefinition& def)
    {
        allowOnly({});
        children([&](const QString& n) {
            if (n != u"style")
                unexpected(QStringLiteral("styles"));
            allowOnly({ u"name", u"font", u"size", u"bold", u"italic", u"underline", u"color",
                u"align", u"basedOn" });
            ReportStyle s;
            const QString base = text(u"basedOn");
            if (!base.isEmpty()) {
                const ReportStyle* b = def.style(base);
                if (!b)
                    fail(QStringLiteral("estilo base desconocido \"%1\"").arg(base));
                s = *b;
            }
            s.name = required(u"name");
            s.font = parseFont(s.font);
            s.color = color(u"color", s.color);
            s.align = align(s.align);
            def.styles.push_back(s);
            children([&](const QString&) { unexpected(QStringLiteral("style")); });
        });
    }

    void parseData(DataDescription& data)
    {
        allowOnly({});
        children([&](const QString& n) {
            if (n == u"table") {
                allowOnly({ u"name", u"alias", u"join", u"on" });
                DataTable t;
                t.name = required(u"name").trimmed();
                t.alias = text(u"alias", t.name).trimmed();
                if (data.tables.empty()) {
                    if (has(u"join"))
                        fail(QStringLiteral("la primera tabla no lleva \"join\""));
                } else {
                    t.join = choice(u"join", JoinKind::Inner,
                        { { u"inner", JoinKind::Inner }, { u"left", JoinKind::Left } });
                    t.on = required(u"on").trimmed();
                }
                data.tables.push_back(t);
                children([&](const QString&) { unexpected(QStringLiteral("table")); });
            } else if (n == u"sql") {
                allowOnly({});
                data.sql = elementText().trimmed();
            } else {
                unexpected(QStringLiteral("data"));
            }
        });
    }

    void parseFormulas(ReportDefinition& def)
    {
        allowOnly({});
        children([&](const QString& n) {
            if (n != u"formula")
                unexpected(QStringLiteral("formulas"));
            allowOnly({ u"name", u"type" });
            FormulaDefinition f;
            f.name = required(u"name").trimmed();
            f.type = choice(u"type", FormulaType::Unknown,
                { { u"text", FormulaType::Text }, { u"number", FormulaType::Number },
                    { u"currency", FormulaType::Currency }, { u"boolean", FormulaType::Boolean },
                    { u"date", FormulaType::Date }, { u"datetime", FormulaType::DateTime } });
            if (def.formula(f.name))
                fail(QStringLiteral("fórmula repetida \"%1\"").arg(f.name));
            const QString declared = text(u"type");
            f.text = elementText().trimmed();
            checkDeclaredType(f, declared);
            def.formulas.push_back(f);
        });
    }

    // A default whose kind is plain from its text must be of the declared type: a "number"
    // formula holding 'abc' would otherwise only fail on some page of some run.
    void checkDeclaredType(const FormulaDefinition& f, const QString& declared)
    {
        if (f.type == FormulaType::Unknown || f.text.isEmpty())
            return;
        const FormulaParseResult parsed = FormulaParser::parse(f.name, f.text);
        if (!parsed.ok() || !parsed.tree)
            return;
        auto family = [](FormulaType t) {
            switch (t) {
            case FormulaType::Currency:
                return FormulaType::Number;
            case FormulaType::DateTime:
                return FormulaType::Date;
            default:
                return t;
            }
        };
        const FormulaType found = parsed.tree->type();
        if (found == FormulaType::Unknown || family(found) == family(f.type))
            return;
        fail(QStringLiteral("la fórmula \"%1\" se declara de tipo \"%2\" y su valor no lo es")
                 .arg(f.name, declared));
    }

    bool order() { return choice(u"order", false, { { u"asc", false }, { u"desc", true } }); }

    void parseSort(ReportDefinition& def)
    {
        allowOnly({});
        children([&](const QString& n) {
            if (n != u"by")
                unexpected(QStringLiteral("sort"));
            allowOnly({ u"field", u"order" });
            def.sort.push_back({ required(u"field").trimmed(), order() });
            children([&](const QString&) { unexpected(QStringLiteral("by")); });
        });
    }

    void parseGroup(ReportDefinition& def)
    {
        allowOnly({ u"name", u"by", u"order", u"newPageBefore", u"newPageAfter", u"repeatHeader",
            u"keepTogether", u"restartPageNumbers" });
        ReportGroup g;
        g.name = required(u"name").trimmed();
        if (def.groupIndex(g.name) >= 0)
            fail(QStringLiteral("grupo repetido \"%1\"").arg(g.name));
        g.expression = required(u"by").trimmed();
        g.descending = order();
        g.newPageBefore = text(u"newPageBefore").trimmed();
        g.newPageAfter = text(u"newPageAfter").trimmed();
        g.repeatHeader = boolean(u"repeatHeader", false);
        g.keepTogether = boolean(u"keepTogether", false);
        g.restartPageNumbers = text(u"restartPageNumbers").trimmed();
        children([&](const QString& n) {
            if (n == u"header")
                g.headers.push_back(parseSection(SectionKind::GroupHeader));
            else if (n == u"footer")
                g.footers.push_back(parseSection(SectionKind::GroupFooter));
            else
                unexpected(QStringLiteral("group"));
        });
        def.groups.push_back(g);
    }

    void parseLabels(LabelSheet& labels)
    {
        allowOnly({ u"columns", u"rows", u"width", u"height", u"gapX", u"gapY", u"direction" });
        labels.columns = integer(u"columns", 0, 1000);
        labels.rows = integer(u"rows", 0, 1000);
        labels.labelWidthMm = number(u"width", 0);
        labels.labelHeightMm = number(u"height", 0);
        labels.gapXMm = number(u"gapX", 0);
        labels.gapYMm = number(u"gapY", 0);
        labels.direction = choice(u"direction", LabelDirection::Across,
            { { u"across", LabelDirection::Across }, { u"down", LabelDirection::Down } });
        if (labels.columns < 1 || labels.rows < 1 || labels.labelWidthMm <= 0
            || labels.labelHeightMm <= 0)
            fail(
                QStringLiteral("<labels> necesita columns, rows, width y height mayores que cero"));
        children([&](const QString&) { unexpected(QStringLiteral("labels")); });
    }

    void parseSubreports(ReportDefinition& def)
    {
        allowOnly({});
        children([&](const QString& n) {
            if (n != u"report")
                unexpected(QStringLiteral("subreports"));
            auto sub = std::make_shared<ReportDefinition>();
            sub->page = def.page;
            sub->styles = def.styles;
            parseReport(*sub, false);
            if (def.subreport(sub->name))
                fail(QStringLiteral("subinforme repetido \"%1\"").arg(sub->name));
            def.subreports.push_back(sub);
        });
    }

    ReportSection parseSection(SectionKind kind)
    {
        allowOnly({ u"name", u"height", u"canGrow", u"keepTogether", u"suppress", u"newPageBefore",
            u"newPageAfter" });
        ReportSection s;
        s.kind = kind;
        const QString element = m_xml.name().toString();
        s.name = text(u"name");
        s.heightMm = number(u"height", 0);
        s.canGrow = boolean(u"canGrow", false);
        s.keepTogether = boolean(u"keepTogether", true);
        s.suppress = text(u"suppress").trimmed();
        s.newPageBefore = text(u"newPageBefore").trimmed();
        s.newPageAfter = text(u"newPageAfter").trimmed();
        children([&](const QString& n) { s.items.push_back(parseItem(n, element)); });
        return s;
    }

    ReportItem parseItem(const QString& n, const QString& parent)
    {
        ReportItem it;
        auto box = [&] {
            it.xMm = number(u"x", 0);
            it.yMm = number(u"y", 0);
            it.widthMm = number(u"width", 0);
            it.heightMm = number(u"height", 0);
        };
        auto look = [&] {
            it.style = text(u"style");
            it.hasFont = hasAnyFontAttribute();
            // Attributes an item leaves out come from its style, then from the default one.
            const ReportStyle* base = m_current ? m_current->style(it.style) : nullptr;
            if (!base && m_current)
                base = m_current->style(QStringLiteral("default"));
            if (!it.style.isEmpty() && m_current && !m_current->style(it.style))
                fail(QStringLiteral("estilo desconocido \"%1\"").arg(it.style));
            it.font = parseFont(base ? base->font : FontSpec());
            it.hasAlign = has(u"align");
            it.align = align(HAlign::Left);
            it.valign = choice(u"valign", VAlign::Top,
                { { u"top", VAlign::Top }, { u"middle", VAlign::Middle },
                    { u"bottom", VAlign::Bottom } });
            it.hasColor = has(u"color");
            it.color = color(u"color", Qt::black);
        };
        if (n == u"text") {
            allowOnly({ u"name", u"x", u"y", u"width", u"height", u"style", u"font", u"size",
                u"bold", u"italic", u"underline", u"align", u"valign", u"color", u"canGrow",
                u"suppress", u"snapRight", u"snapGap" });
            it.kind = ItemKind::Text;
        } else if (n == u"field" || n == u"summary") {
            allowOnly({ u"name", u"x", u"y", u"width", u"height", u"style", u"font", u"size",
                u"bold", u"italic", u"underline", u"align", u"valign", u"color", u"canGrow",
                u"suppress", u"expr", u"format", u"function", u"scope", u"snapRight", u"snapGap",
                u"overflow" });
            it.kind = n == u"field" ? ItemKind::Field : ItemKind::Summary;
            it.expression = required(u"expr").trimmed();
            it.format = text(u"format");
            it.wholeOrFail = choice(u"overflow", false, { { u"marks", false }, { u"fail", true } });
            if (it.kind == ItemKind::Summary) {
                it.function = choice(u"function", SummaryFunction::Sum,
                    { { u"sum", SummaryFunction::Sum }, { u"count", SummaryFunction::Count },
                        { u"avg", SummaryFunction::Average }, { u"min", SummaryFunction::Minimum },
                        { u"max", SummaryFunction::Maximum } });
                it.scope = text(u"scope").trimmed();
            } else if (has(u"function") || has(u"scope")) {
                fail(QStringLiteral("\"function\" y \"scope\" son de <summary>, no de <field>"));
            }
        } else if (n == u"special") {
            allowOnly({ u"name", u"x", u"y", u"width", u"height", u"style", u"font", u"size",
                u"bold", u"italic", u"underline", u"align", u"valign", u"color", u"suppress",
                u"kind", u"format" });
            it.kind = ItemKind::Special;
            it.special = choice(u"kind", SpecialField::PageNumber,
                { { u"pageNumber", SpecialField::PageNumber },
                    { u"totalPages", SpecialField::TotalPages },
                    { u"pageNofM", SpecialField::PageNofM },
                    { u"printDate", SpecialField::PrintDate },
                    { u"printTime", SpecialField::PrintTime },
                    { u"recordNumber", SpecialField::RecordNumber },
                    { u"groupNumber", SpecialField::GroupNumber },
                    { u"continued", SpecialField::Continued } });
            it.format = text(u"format");
        } else if (n == u"line" || n == u"box") {
            allowOnly({ u"name", u"x", u"y", u"width", u"height", u"pen", u"color", u"fill",
                u"suppress" });
            it.kind = n == u"line" ? ItemKind::Line : ItemKind::Box;
            it.penWidthMm = number(u"pen", 0.2);
            it.hasColor = has(u"color");
            it.color = color(u"color", Qt::black);
            if (it.kind == ItemKind::Box)
                it.fillColor = color(u"fill", QColor());
            else if (has(u"fill"))
                fail(QStringLiteral("una línea no tiene relleno"));
        } else if (n == u"image") {
            allowOnly({ u"name", u"x", u"y", u"width", u"height", u"file", u"expr", u"suppress" });
            it.kind = ItemKind::Image;
            it.file = text(u"file").trimmed();
            it.expression = text(u"expr").trimmed();
            if (it.file.isEmpty() == it.expression.isEmpty())
                fail(QStringLiteral("<image> lleva \"file\" o \"expr\", uno de los dos"));
        } else if (n == u"qr") {
            allowOnly({ u"name", u"x", u"y", u"width", u"height", u"expr", u"suppress" });
            it.kind = ItemKind::Qr;
            it.expression = required(u"expr").trimmed();
        } else if (n == u"subreport") {
            allowOnly({ u"name", u"x", u"y", u"width", u"height", u"report", u"links" });
            it.kind = ItemKind::Subreport;
            it.subreport = required(u"report").trimmed();
            for (const QString& link : text(u"links").split(u';', Qt::SkipEmptyParts)) {
                if (!link.contains(u'='))
                    fail(QStringLiteral("vínculo de subinforme sin \"=\": \"%1\"").arg(link));
                it.links << link.trimmed();
            }
        } else {
            unexpected(parent);
        }
        it.name = text(u"name");
        box();
        if (it.kind == ItemKind::Line) {
            // A line may run upwards or leftwards: its extent is signed.
            it.widthMm = signedNumber(u"width", 0);
            it.heightMm = signedNumber(u"height", 0);
        }
        if (it.kind != ItemKind::Line && it.kind != ItemKind::Box && it.kind != ItemKind::Image
            && it.kind != ItemKind::Qr && it.kind != ItemKind::Subreport)
            look();
        it.canGrow = boolean(u"canGrow", false);
        it.snap = choice(u"snapRight", SnapRight::None,
            { { u"stretch", SnapRight::Stretch }, { u"move", SnapRight::Move } });
        it.snapGapMm = number(u"snapGap", 1.5);
        it.suppress = text(u"suppress").trimmed();
        if (it.kind == ItemKind::Text)
            it.text = elementText();
        else
            children([&](const QString&) { unexpected(n); });
        return it;
    }

    QXmlStreamReader& m_xml;
    const ReportDefinition* m_current = nullptr;
};

} // namespace

namespace DefinitionLoader {

std::optional<ReportDefinition> loadFile(const QString& path, DefinitionError* error)
{
    // Told by what stands at the path, before opening it: a FIFO would wait for a writer.
    const QFileInfo info(path);
    QString refusal;
    if (!info.exists())
        refusal = info.isSymLink() ? QStringLiteral("es un enlace a un archivo que no existe")
                                   : QStringLiteral("el archivo no existe");
    else if (info.isDir())
        refusal = QStringLiteral("es una carpeta, no un archivo");
    else if (!info.isFile())
        refusal = QStringLiteral("no es un archivo común");
    QFile file(path);
    if (refusal.isEmpty() && !file.open(QIODevice::ReadOnly))
        refusal = QStringLiteral("no se tiene permiso para leer el archivo");
    if (!refusal.isEmpty()) {
        if (error)
            *error = { path, 0, 0, QStringLiteral("no se puede abrir la definición: ") + refusal };
        return std::nullopt;
    }
    const QByteArray xml = file.readAll();
    // A run of vouchers prints the same few definitions over and over: the file is read every
    // time, and parsed again only when its text is not the one parsed last time.
    struct Parsed
    {
        QByteArray xml;
        ReportDefinition definition;
    };
    static QMutex lock;
    static QHash<QString, Parsed> parsed;
    constexpr qsizetype MaxParsed = 32;
    {
        const QMutexLocker locked(&lock);
        const auto kept = parsed.constFind(path);
        if (kept != parsed.constEnd() && kept->xml == xml)
            return kept->definition;
    }
    std::optional<ReportDefinition> definition = loadData(xml, path, error);
    if (definition) {
        const QMutexLocker locked(&lock);
        if (parsed.size() >= MaxParsed)
            parsed.clear();
        parsed.insert(path, { xml, *definition });
    }
    return definition;
}

std::optional<ReportDefinition> loadData(
    const QByteArray& xml, const QString& fileName, DefinitionError* error)
{
    QXmlStreamReader reader(xml);
    try {
        Parser parser(reader);
        ReportDefinition def = parser.parseDocument();
        def.fileName = fileName;
        return def;
    } catch (const ParseFailure& f) {
        if (error)
            *error = { fileName, f.line, f.column, f.message };
        return std::nullopt;
    }
}

} // namespace DefinitionLoader
