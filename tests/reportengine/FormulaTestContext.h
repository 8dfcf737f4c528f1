#pragma once

#include <QHash>

#include "reportengine/FormulaContext.h"
#include "reportengine/FormulaNode.h"

// A record for formula tests: fields by "table.field" (any case), formulas by name, a pinned now.
class FormulaTestContext : public FormulaContext
{
public:
    void set(const QString& tableDotField, const Value& value)
    {
        m_fields.insert(tableDotField.toLower(), value);
    }
    void setFormula(const QString& name, const Value& value)
    {
        m_formulas.insert(name.toLower(), value);
    }

    Value fieldValue(const FormulaNode& field) const override;
    FormulaValue formulaValue(const QString& name) const override;
    QDateTime currentDateTime() const override;

private:
    QHash<QString, Value> m_fields;
    QHash<QString, Value> m_formulas;
};
