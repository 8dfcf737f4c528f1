#include "pricelists/FormulaSeleccion.h"

#include <limits>
#include <optional>

#include <QLocale>

#include "data/ConsultasDatos.h"
#include "platform/AdoTypes.h"
#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"
#include "platform/Value.h"

namespace FormulaSeleccion {

namespace {

// The formula language reads a quoted text as SQL does: an apostrophe in a typed name
// ("D'Angelo") is doubled instead of ending the text and breaking the report.
using ConsultasDatos::literal;

enum class Clase
{
    Fecha,
    Numero,
    Texto
};

// The class of a criteria row by its field type code. Deliberately not the columns' classes
// (adoTypeClass): the builder tells apart only the codes it was written for and compares any
// other, an integer (adInteger) among them, as text; the price list's rows are all text.
Clase claseDe(qint16 tipo)
{
    switch (tipo) {
    case adDate:
        return Clase::Fecha;
    case adBigInt:
    case adSmallInt:
    case adDouble:
    case adSingle:
    case adCurrency:
        return Clase::Numero;
    default:
        return Clase::Texto;
    }
}

QString sinNulos(const QString& text)
{
    return gUtilidades().QuitaCaracteres(text, QString(QChar(0)));
}

bool esFecha(const QString& text)
{
    return gUtilidades().LeeFecha(text).isValid();
}

// A bound read as a number of the row's class, with the workstation's decimal separator (a "."
// is also taken). Values are compared as the amounts of their class, so a currency bound with
// more than four decimals compares as the rounded amount the database would hold.
std::optional<long double> numeroDeClase(const QString& text, qint16 tipo)
{
    const QString trimmed = text.trimmed();
    switch (tipo) {
    case adBigInt:
    case adSmallInt: {
        bool ok = false;
        const qlonglong v = trimmed.toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        const qlonglong low = tipo == adSmallInt ? std::numeric_limits<qint16>::min()
                                                 : std::numeric_limits<qint32>::min();
        const qlonglong high = tipo == adSmallInt ? std::numeric_limits<qint16>::max()
                                                  : std::numeric_limits<qint32>::max();
        if (v < low || v > high)
            return std::nullopt;
        return static_cast<long double>(v);
    }
    default: {
        const QChar separator = QLocale().decimalPoint().front();
        std::optional<Currency> amount = Currency::fromString(trimmed, separator);
        if (!amount && separator != u'.')
            amount = Currency::fromString(trimmed, u'.');
        if (amount && tipo == adCurrency)
            return static_cast<long double>(amount->raw()) / Currency::Scale;
        bool ok = false;
        QString normalized = trimmed;
        normalized.replace(separator, u'.');
        const double v = normalized.toDouble(&ok);
        if (!ok)
            return std::nullopt;
        if (tipo == adSingle)
            return static_cast<long double>(static_cast<float>(v));
        return static_cast<long double>(v);
    }
    }
}

// The range check of a row; returns the message when the row is refused.
std::optional<QString> revisaRango(const FiltroSeleccion& fila, Clase clase)
{
    switch (clase) {
    case Clase::Fecha: {
        const QString d = sinNulos(fila.Desde).trimmed();
        const QString h = sinNulos(fila.Hasta).trimmed();
        if (!d.isEmpty() && !h.isEmpty()) {
            if (!esFecha(d) || !esFecha(h))
                return QStringLiteral("Fecha Desde Incorrecta , Campo : ") + fila.Campo;
            if (gUtilidades().LeeFecha(h) < gUtilidades().LeeFecha(d))
                return QStringLiteral("Fecha Desde Mayor que Hasta , Campo : ") + fila.Campo;
        } else if (!h.isEmpty() && !esFecha(h)) {
            return QStringLiteral("Fecha Desde Incorrecta , Campo : ") + fila.Campo;
        }
        return std::nullopt;
    }
    case Clase::Numero: {
        const QString hasta = fila.TipoCampo == adBigInt ? sinNulos(fila.Hasta) : fila.Hasta;
        if (hasta.trimmed().isEmpty())
            return std::nullopt;
        const auto d = numeroDeClase(fila.Desde, fila.TipoCampo);
        const auto h = numeroDeClase(hasta, fila.TipoCampo);
        // A bound that is no number of its class would reach the report as a broken formula.
        if (!d || !h)
            return QStringLiteral("Valor Numerico Incorrecto, Campo : ") + fila.Campo;
        if (*d > *h)
            return QStringLiteral("Desde Mayor que Hasta, Campo : ") + fila.Campo;
        return std::nullopt;
    }
    case Clase::Texto: {
        const QString d = fila.Desde.trimmed();
        const QString h = fila.Hasta.trimmed();
        if (!d.isEmpty() && !h.isEmpty() && QString::compare(d, h, Qt::CaseInsensitive) > 0)
            return QStringLiteral("Desde Mayor que Hasta, Campo : ") + fila.Campo;
        return std::nullopt;
    }
    }
    return std::nullopt;
}

bool vacio(const QString& text)
{
    return text.trimmed().isEmpty();
}

} // namespace

void ArmaFormulaSeleccion(
    const QList<FiltroSeleccion>& Filtros, QString& FormulaSeleccion, QString* MensajeError)
{
    QString formula;
    const auto rechaza = [&](const QString& mensaje) {
        if (MensajeError)
            *MensajeError = mensaje;
    };

    for (const FiltroSeleccion& fila : Filtros) {
        QString conector = fila.Conector.trimmed();
        if (conector.isEmpty())
            conector = QStringLiteral("AND");
        if (conector.compare(QStringLiteral("AND"), Qt::CaseInsensitive) != 0
            && conector.compare(QStringLiteral("OR"), Qt::CaseInsensitive) != 0) {
            rechaza(QStringLiteral("Operador logico incorrecto"));
            return;
        }
        const QString union_ = u' ' + conector + u' ';

        const Clase clase = claseDe(fila.TipoCampo);
        if (const auto mensaje = revisaRango(fila, clase)) {
            rechaza(*mensaje);
            return;
        }

        const QString& d = fila.Desde;
        const QString& h = fila.Hasta;
        QString r;
        if (clase == Clase::Fecha || fila.TipoCampo == adDouble) {
            QString f = fila.Campo;
            if (fila.TipoCampo == adDouble)
                f = QStringLiteral("tonumber(") + fila.Campo + u')';
            try {
                const auto valor = [&](const QString& bound) {
                    return clase == Clase::Fecha
                        ? gUtilidades().FechaFormula(sinNulos(bound).trimmed())
                        : bound;
                };
                if (!vacio(d))
                    r = f + QStringLiteral(" >= ") + valor(d) + u' ';
                if (!vacio(h))
                    r += (vacio(r) ? QString() : QStringLiteral(" AND ")) + f
                        + QStringLiteral(" <= ") + valor(h) + u' ';
            } catch (const RuntimeError&) {
                // A lower date is not range-checked on its own; it still has to be a date to
                // become a literal of the formula.
                rechaza(QStringLiteral("Fecha Desde Incorrecta , Campo : ") + fila.Campo);
                return;
            }
        } else {
            const bool esTexto = clase == Clase::Texto;
            const QString f = esTexto && fila.SinRecorte == 0
                ? QStringLiteral("TrimLeft(TrimRight(") + fila.Campo + QStringLiteral("))")
                : fila.Campo;
            // A text field's bound is quoted; any other goes in as it was typed.
            const auto limite
                = [&](const QString& bound) { return esTexto ? literal(bound) : bound; };
            const bool patronDesde = d.contains(u'*');
            const bool patronHasta = h.contains(u'*');
            if (patronDesde)
                r = QStringLiteral(" (") + f + QStringLiteral(" LIKE ") + literal(d) + u' ';
            else if (!vacio(d))
                r = f + QStringLiteral(" >= ") + limite(d) + u' ';
            if (patronHasta) {
                const QString j = vacio(r) ? QString()
                    : patronDesde          ? QStringLiteral(" OR ")
                                           : QStringLiteral(" AND ");
                r += j + f + QStringLiteral(" LIKE ") + literal(h) + u' ';
            } else if (!vacio(h)) {
                r += (vacio(r) ? QString() : QStringLiteral(" AND ")) + f + QStringLiteral(" <= ")
                    + limite(h) + u' ';
            }
            if (patronDesde)
                r += u')';
        }

        if (vacio(r))
            continue;
        formula += vacio(formula) ? r : union_ + r;
    }
    FormulaSeleccion = formula;
}

} // namespace FormulaSeleccion
