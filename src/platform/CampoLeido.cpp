#include "platform/CampoLeido.h"

#include <cmath>

#include "platform/AdoRecordset.h"
#include "platform/AdoTypes.h"
#include "platform/Utilidades.h"

namespace CampoLeido {

namespace {

[[noreturn]] void noEs(const Value& valor, const QString& campo, const char* que)
{
    throw Invalido(RuntimeError::TypeMismatch,
        QStringLiteral("%1: '%2' no es %3").arg(campo, valor.toString(), QString::fromUtf8(que)));
}

bool finito(const Value& valor)
{
    return !(valor.type() == ValueType::Double || valor.type() == ValueType::Single)
        || std::isfinite(valor.toDouble());
}

Value numero(const Value& valor, const QString& campo)
{
    if (valor.isNumeric()) {
        if (!finito(valor))
            noEs(valor, campo, "un número");
        return valor;
    }
    // A text the engine could not store as a number: read as the statements write numbers.
    if (valor.isText()) {
        bool ok = false;
        const double leido = valor.toString().trimmed().toDouble(&ok);
        if (ok && std::isfinite(leido))
            return Value(leido);
    }
    noEs(valor, campo, "un número");
}

Value fecha(const Value& valor, const QString& campo)
{
    if (valor.type() == ValueType::Date)
        return valor;
    if (valor.isText()) {
        try {
            const QDateTime leida = valor.toDateTime();
            if (leida.isValid())
                return Value(leida);
        } catch (const RuntimeError&) {
        }
    }
    noEs(valor, campo, "una fecha");
}

} // namespace

Invalido::Invalido(int number, const QString& description)
    : RuntimeError(number, description)
{
}

Value comoColumna(const Value& valor, int tipoAdo, const QString& campo)
{
    if (valor.isNull() || valor.isEmpty())
        return valor;
    switch (adoTypeClass(tipoAdo)) {
    case AdoTypeClass::Number:
        if (tipoAdo == adCurrency) {
            if (valor.isText())
                noEs(valor, campo, "un importe");
            importe(valor, campo);
            return valor;
        }
        return numero(valor, campo);
    case AdoTypeClass::Date:
        return fecha(valor, campo);
    case AdoTypeClass::Boolean:
        if (valor.type() == ValueType::Boolean || (valor.isNumeric() && finito(valor)))
            return valor;
        noEs(valor, campo, "Verdadero ni Falso");
    case AdoTypeClass::Text:
    case AdoTypeClass::Other:
        break;
    }
    return valor;
}

Value valor(AdoRecordset& rs, const QString& tabla, const QString& nombre)
{
    const AdoField& campo = rs.Fields(nombre);
    return comoColumna(campo.Value(), campo.Type(), tabla + u'.' + campo.Name());
}

Currency importe(const Value& valor, const QString& campo)
{
    if (valor.isNull() || valor.isEmpty())
        return Currency();
    if (!valor.isNumeric())
        noEs(valor, campo, "un importe");
    try {
        return valor.toCurrency();
    } catch (const RuntimeError& error) {
        throw Invalido(error.number(), campo + QStringLiteral(": ") + error.description());
    }
}

Currency numeroDeTexto(const Value& valor, const QString& campo)
{
    if (valor.isNumeric() && finito(valor))
        return importe(valor, campo);
    const QString texto = valor.toString();
    try {
        return gUtilidades().ValorMoneda(texto);
    } catch (const RuntimeError&) {
        noEs(valor, campo, "un número");
    }
}

} // namespace CampoLeido
