#include "reportengine/ReportDefinition.h"

double PageSetup::pageWidthMm() const
{
    return orientation == PageOrientation::Portrait ? widthMm : heightMm;
}

double PageSetup::pageHeightMm() const
{
    return orientation == PageOrientation::Portrait ? heightMm : widthMm;
}

const ReportStyle* ReportDefinition::style(const QString& styleName) const
{
    for (const ReportStyle& s : styles) {
        if (s.name.compare(styleName, Qt::CaseInsensitive) == 0)
            return &s;
    }
    return nullptr;
}

const FormulaDefinition* ReportDefinition::formula(const QString& formulaName) const
{
    for (const FormulaDefinition& f : formulas) {
        if (f.name.compare(formulaName, Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

FormulaDefinition* ReportDefinition::formula(const QString& formulaName)
{
    for (FormulaDefinition& f : formulas) {
        if (f.name.compare(formulaName, Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

const ReportDefinition* ReportDefinition::subreport(const QString& subName) const
{
    for (const auto& s : subreports) {
        if (s->name.compare(subName, Qt::CaseInsensitive) == 0)
            return s.get();
    }
    return nullptr;
}

int ReportDefinition::groupIndex(const QString& groupName) const
{
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].name.compare(groupName, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}
