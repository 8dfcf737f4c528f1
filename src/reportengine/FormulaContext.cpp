#include "reportengine/FormulaContext.h"

#include "platform/RuntimeError.h"
#include "reportengine/FormulaNode.h"

namespace {

[[noreturn]] void notHere(const QString& what)
{
    throw RuntimeError(RuntimeError::InvalidCall,
        what + QStringLiteral(" no se puede usar en esta fórmula"), QStringLiteral("Fórmula"));
}

} // namespace

FormulaValue FormulaContext::formulaValue(const QString& name) const
{
    throw RuntimeError(RuntimeError::InvalidCall,
        QStringLiteral("No existe la fórmula «%1»").arg(name), QStringLiteral("Fórmula"));
}

FormulaValue FormulaContext::formulaRefValue(const FormulaNode& reference) const
{
    return formulaValue(reference.name());
}

qint64 FormulaContext::pageNumber() const
{
    notHere(QStringLiteral("PageNumber"));
}

qint64 FormulaContext::totalPageCount() const
{
    notHere(QStringLiteral("TotalPageCount"));
}

qint64 FormulaContext::recordNumber() const
{
    notHere(QStringLiteral("RecordNumber"));
}

qint64 FormulaContext::groupNumber() const
{
    notHere(QStringLiteral("GroupNumber"));
}

Value FormulaContext::summaryValue(const FormulaNode& summary) const
{
    notHere(formulaFunctionName(summary.function()));
}
