#include "reportengine/FontSubstitution.h"

namespace {

struct Rule
{
    const char* from;
    const char* to;
};

// Windows families found in the suite's report files, and what prints in their place.
constexpr Rule Rules[] = {
    { "Arial", "Liberation Sans" },
    { "Arial Narrow", "DejaVu Sans Condensed" },
    { "Helvetica", "Liberation Sans" },
    { "MS Sans Serif", "Liberation Sans" },
    { "Microsoft Sans Serif", "Liberation Sans" },
    { "Calibri", "Liberation Sans" },
    { "Segoe UI", "DejaVu Sans" },
    { "Tahoma", "DejaVu Sans" },
    { "Verdana", "DejaVu Sans" },
    { "Times New Roman", "Liberation Serif" },
    { "Times", "Liberation Serif" },
    { "MS Serif", "Liberation Serif" },
    { "Cambria", "Liberation Serif" },
    { "Georgia", "DejaVu Serif" },
    { "Courier New", "Liberation Mono" },
    { "Courier", "Liberation Mono" },
    { "Consolas", "DejaVu Sans Mono" },
    { "Lucida Console", "DejaVu Sans Mono" },
};

} // namespace

FontSubstitution::FontSubstitution(std::vector<std::pair<QString, QString>> own)
    : m_own(std::move(own))
{
}

QString FontSubstitution::family(const QString& name) const
{
    const QString trimmed = name.trimmed();
    for (const auto& [from, to] : m_own) {
        if (trimmed.compare(from, Qt::CaseInsensitive) == 0)
            return to;
    }
    for (const Rule& rule : Rules) {
        if (trimmed.compare(QLatin1String(rule.from), Qt::CaseInsensitive) == 0)
            return QLatin1String(rule.to);
    }
    return trimmed.isEmpty() ? QStringLiteral("Liberation Sans") : trimmed;
}

QFont FontSubstitution::font(const FontSpec& spec) const
{
    QFont f(family(spec.family));
    f.setPointSizeF(spec.sizePt);
    f.setBold(spec.bold);
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    f.setStyleStrategy(QFont::PreferOutline);
    return f;
}
