#include "data/ConsultasDatos.h"

#include "platform/AdoTypes.h"
#include "platform/LeadingNumber.h"
#include "platform/RuntimeError.h"

namespace ConsultasDatos {

namespace {

// A condition that already carries its WHERE only needs a blank in front.
QString unionCondicion(const QString& condicion)
{
    return condicion.contains(QLatin1String(" WHERE "), Qt::CaseInsensitive)
        ? QStringLiteral(" ")
        : QStringLiteral(" WHERE ");
}

// A condition given but blank would leave a bare WHERE behind: it counts as no condition.
bool hayCondicion(const QString* condicion)
{
    return condicion && !condicion->trimmed().isEmpty();
}

} // namespace

TipoClave tipoClave(const Value& tipodato)
{
    if (tipodato.isEmpty() || (tipodato.isText() && tipodato.toString() == u"'"))
        return TipoClave::Texto;
    qint64 tipo = 0;
    try {
        tipo = tipodato.toLongLong();
    } catch (const RuntimeError&) {
        return TipoClave::Literal;
    }
    // Deliberately not adoTypeClass: the callers pass one of the few codes the suite's lookups
    // were written with (8, 7, 3, 4, 5), and any other code keeps the text as written, so a
    // numeric code such as adCurrency must not start quoting or trimming a caller's value.
    switch (tipo) {
    case adBSTR:
        return TipoClave::Texto;
    case adDate:
        return TipoClave::Fecha;
    case adInteger:
    case adSingle:
    case adDouble:
        return TipoClave::Numero;
    default:
        return TipoClave::Literal;
    }
}

QString numeroClave(const QString& valor)
{
    return numberText(leadingNumber(valor));
}

QString literal(const QString& texto)
{
    QString doubled = texto;
    doubled.replace(u'\'', QLatin1String("''"));
    return u'\'' + doubled + u'\'';
}

QString existeEnTabla(const QString& tabla, const QString& valor, const QString& campo,
    const Value& tipodato, const QString& condicion)
{
    if (!condicion.isEmpty())
        return QStringLiteral("SELECT TOP 1 * FROM ") + tabla + QStringLiteral(" with(nolock) ")
            + unionCondicion(condicion) + condicion;

    const QString cabeza = QStringLiteral(" with(nolock)  WHERE ");
    switch (tipoClave(tipodato)) {
    case TipoClave::Texto:
        // Two blanks after TOP 1 here only, as the suite has always sent it.
        return QStringLiteral("SELECT TOP 1  * FROM ") + tabla + cabeza
            + QStringLiteral("LTRIM(RTRIM(") + campo + QStringLiteral(")) =")
            + literal(valor.trimmed());
    case TipoClave::Fecha:
        return QStringLiteral("SELECT TOP 1 * FROM ") + tabla + cabeza + campo
            + QStringLiteral(" = ") + valor.trimmed() + u' ';
    case TipoClave::Numero:
        return QStringLiteral("SELECT TOP 1 * FROM ") + tabla + cabeza + campo
            + QStringLiteral(" = ") + numeroClave(valor);
    case TipoClave::Literal:
        break;
    }
    return QStringLiteral("SELECT TOP 1 * FROM ") + tabla + cabeza + campo + QStringLiteral(" = ")
        + valor;
}

QString existeEnTablaST(const QString& tabla, const QString& valor, const QString& campo,
    const Value& tipodato, const QString& condicion)
{
    if (!condicion.isEmpty())
        return QStringLiteral("SELECT * FROM ") + tabla + QStringLiteral(" with(nolock)  ")
            + unionCondicion(condicion) + condicion;

    const QString cabeza = QStringLiteral("SELECT * FROM ") + tabla
        + QStringLiteral(" with(nolock)   WHERE ") + campo;
    switch (tipoClave(tipodato)) {
    case TipoClave::Texto:
        return cabeza + QStringLiteral(" =") + literal(valor);
    case TipoClave::Fecha:
        return cabeza + QStringLiteral(" = ") + valor.trimmed() + u' ';
    case TipoClave::Numero:
        return cabeza + QStringLiteral(" = ") + numeroClave(valor);
    case TipoClave::Literal:
        break;
    }
    return cabeza + QStringLiteral(" = ") + valor;
}

QString datosTabla(const QString& tabla, const QString& valor, const QString& campo,
    const Value& tipodato, const QString& condicion, bool usaTrim)
{
    const QString y = condicion.trimmed().isEmpty() ? QString() : QStringLiteral(" AND ");
    const QString cabeza
        = QStringLiteral("SELECT TOP 1 * FROM ") + tabla + QStringLiteral(" with(nolock)  WHERE ");
    switch (tipoClave(tipodato)) {
    case TipoClave::Texto:
        if (usaTrim)
            return cabeza + QStringLiteral("LTRIM(RTRIM(") + campo + QStringLiteral(")) =")
                + literal(valor.trimmed()) + u' ' + y + condicion;
        return cabeza + campo + QStringLiteral(" =") + literal(valor) + u' ' + y + condicion;
    case TipoClave::Fecha:
        return cabeza + campo + QStringLiteral(" = #") + valor.trimmed() + QStringLiteral("# ") + y
            + condicion;
    case TipoClave::Numero:
        return cabeza + campo + QStringLiteral(" = ") + numeroClave(valor) + y + condicion;
    case TipoClave::Literal:
        break;
    }
    return cabeza + campo + QStringLiteral(" = ") + valor + y + condicion;
}

QString buscaMaximo(const QString& tabla, const QString& campo, const QString* condicion)
{
    QString sql
        = QStringLiteral("SELECT MAX(") + campo + QStringLiteral(") AS MAYOR FROM ") + tabla;
    if (hayCondicion(condicion))
        sql += QStringLiteral(" WHERE ") + condicion->trimmed();
    return sql;
}

QString buscaMinimo(const QString& tabla, const QString& campo, const QString* condicion)
{
    const QString sql = QStringLiteral("SELECT MIN(") + campo + QStringLiteral(") AS MENOR FROM ")
        + tabla + QStringLiteral("  with(nolock) ");
    if (hayCondicion(condicion))
        return sql + QStringLiteral(" WHERE ") + condicion->trimmed();
    return sql;
}

QString buscaUltimoCodigo(const QString& tabla, const QString& campo, const QString& condicion)
{
    QString sql
        = QStringLiteral("SELECT MAX(") + campo + QStringLiteral(") AS MAYOR FROM ") + tabla;
    if (!condicion.trimmed().isEmpty())
        sql += QStringLiteral(" WHERE ") + condicion;
    return sql;
}

QString filtroArticulosSinCero(const QString* condicion)
{
    const QString filtro = QStringLiteral("substring(ltrim(idarticulo),1,1)<>'0'");
    if (!condicion || condicion->isEmpty())
        return u' ' + filtro;
    return *condicion + QStringLiteral(" and ") + filtro;
}

} // namespace ConsultasDatos
