#include "FormulaTestContext.h"

#include "platform/RuntimeError.h"

Value FormulaTestContext::fieldValue(const FormulaNode& field) const
{
    const QString key = (field.table() + u'.' + field.field()).toLower();
    const auto it = m_fields.constFind(key);
    if (it == m_fields.constEnd())
        throw RuntimeError(RuntimeError::InvalidCall, QStringLiteral("campo ") + field.name());
    return *it;
}

FormulaValue FormulaTestContext::formulaValue(const QString& name) const
{
    const auto it = m_formulas.constFind(name.toLower());
    if (it == m_formulas.constEnd())
        return FormulaContext::formulaValue(name);
    return *it;
}

QDateTime FormulaTestContext::currentDateTime() const
{
    return QDateTime(QDate(2026, 12, 9), QTime(10, 30));
}
