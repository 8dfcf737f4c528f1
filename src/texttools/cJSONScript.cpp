#include "texttools/cJSONScript.h"

#include "platform/InputDialog.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "texttools/ErroresEjecucion.h"
#include "texttools/JSON.h"
#include "texttools/JsonCollection.h"
#include "texttools/cStringBuilder.h"

namespace {

const QString kOrigen = QStringLiteral("cJSONScript");

constexpr int kProfundidadMaxima = 40;

[[noreturn]] void lanza(int numero)
{
    ErroresEjecucion::Lanza(numero, kOrigen);
}

// The item `nombre` of a command's argument object, not evaluated; Empty when it has none.
JsonValue item(const JsonValue& argumento, const QString& nombre)
{
    if (const JsonDictionary* d = argumento.toDictionary())
        return d->Item(nombre);
    // An array has no named items; a command given a text (or nothing) has no object at all.
    if (argumento.type() == JsonValue::Type::Collection)
        lanza(RuntimeError::InvalidCall);
    lanza(ErroresEjecucion::SeRequiereObjeto);
}

// A value as text, not evaluated: names, cases, a "return" text and placeholder arguments.
QString textoDe(const JsonValue& valor)
{
    switch (valor.type()) {
    case JsonValue::Type::Empty:
        return QString();
    case JsonValue::Type::Null:
        return QStringLiteral("null");
    case JsonValue::Type::Boolean:
        return valor.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case JsonValue::Type::Decimal:
    case JsonValue::Type::String:
        return valor.text();
    case JsonValue::Type::Dictionary:
    case JsonValue::Type::Collection:
        break;
    }
    lanza(RuntimeError::TypeMismatch);
}

// Holds one level of nesting for as long as it lives, so every way out gives it back.
class Nivel
{
public:
    explicit Nivel(int& profundidad)
        : m_profundidad(profundidad)
    {
        ++m_profundidad;
    }
    ~Nivel() { --m_profundidad; }
    Nivel(const Nivel&) = delete;
    Nivel& operator=(const Nivel&) = delete;

private:
    int& m_profundidad;
};

bool compara(const QString& tipo, const QString& a, const QString& b)
{
    if (tipo == u"eq")
        return a.compare(b, Qt::CaseInsensitive) == 0;
    // The others compare character codes: "10" is less than "9".
    const int orden = a.compare(b, Qt::CaseSensitive);
    if (tipo == u"gt")
        return orden > 0;
    if (tipo == u"lt")
        return orden < 0;
    if (tipo == u"gte")
        return orden >= 0;
    if (tipo == u"lte")
        return orden <= 0;
    return false;
}

} // namespace

QString cJSONScript::Eval(const QString& sJSON)
{
    const JsonValue raiz = JSON::ParseJsonText(sJSON);
    const QString errores = JSON::ParserErrorText();
    if (!errores.isEmpty() || !raiz.isObject()) {
        MsgBox(errores, Msg::Exclamation, QStringLiteral("Parser Error"));
        return QString();
    }
    if (raiz.type() == JsonValue::Type::Dictionary)
        return ExecCommand(raiz);

    cStringBuilder salida;
    const JsonCollection& elementos = *raiz.toCollection();
    for (int i = 1; i <= elementos.Count(); ++i) {
        const JsonValue elemento = elementos.Item(i);
        switch (elemento.type()) {
        case JsonValue::Type::Null:
            salida.Append(QStringLiteral("null"));
            break;
        case JsonValue::Type::String:
            salida.Append(elemento.text());
            break;
        case JsonValue::Type::Dictionary:
        case JsonValue::Type::Collection:
            salida.Append(ExecCommand(elemento));
            break;
        default:
            lanza(ErroresEjecucion::SeRequiereObjeto);
        }
    }
    return salida.toString();
}

QString cJSONScript::ExecCommand(const JsonValue& obj)
{
    if (m_scriptDepth > kProfundidadMaxima)
        return QStringLiteral("ERROR: Nesting level exceeded.");
    const Nivel nivel(m_scriptDepth);

    if (const JsonDictionary* comando = obj.toDictionary())
        return comandos(*comando);
    if (const JsonCollection* elementos = obj.toCollection()) {
        cStringBuilder salida;
        for (int i = 1; i <= elementos->Count(); ++i)
            salida.Append(ExecCommand(elementos->Item(i)));
        return salida.toString();
    }
    // Numbers are always written with a point, whatever the workstation's separator.
    return textoDe(obj);
}

QString cJSONScript::comandos(const JsonDictionary& comando)
{
    cStringBuilder salida;
    // The keys as they are now: commands may not add to the object they are read from.
    const QStringList claves = comando.keys();
    for (const QString& clave : claves) {
        const JsonValue valor = comando.Item(clave);
        // A text value is the command's whole argument; an object holds its named parameters.
        // A text never inherits the parameters of an earlier key of the same object.
        JsonValue argumento;
        if (valor.isObject())
            argumento = valor;
        else if (valor.type() != JsonValue::Type::String)
            lanza(ErroresEjecucion::SeRequiereObjeto);
        const auto parametro = [&](const char* nombre) {
            return ExecCommand(item(argumento, QLatin1String(nombre)));
        };

        const QString nombre = clave.toLower();
        if (nombre == u"alert") {
            const QString mensaje = parametro("message");
            MsgBox(mensaje, Msg::Information, parametro("title"));
        } else if (nombre == u"input") {
            const QString pregunta = parametro("prompt");
            const QString titulo = parametro("title");
            salida.Append(InputBox(pregunta, titulo, parametro("default")));
        } else if (nombre == u"switch") {
            QString resultado = parametro("default");
            const QString caso = parametro("case").toLower();
            const JsonValue casos = item(argumento, QStringLiteral("items"));
            if (casos.type() != JsonValue::Type::Collection)
                lanza(ErroresEjecucion::SeRequiereObjeto);
            for (int i = 1; i <= casos.toCollection()->Count(); ++i) {
                const JsonValue opcion = casos.toCollection()->Item(i);
                const JsonValue suCaso = item(opcion, QStringLiteral("case"));
                // A null case never matches, as null equals nothing.
                if (suCaso.type() != JsonValue::Type::Null && textoDe(suCaso).toLower() == caso) {
                    resultado = ExecCommand(item(opcion, QStringLiteral("return")));
                    break;
                }
            }
            salida.Append(resultado);
        } else if (nombre == u"set") {
            const QString contenido = parametro("value");
            m_scriptVariables.setItem(
                textoDe(item(argumento, QStringLiteral("name"))), JsonValue::string(contenido));
        } else if (nombre == u"get") {
            const QString variable = textoDe(item(argumento, QStringLiteral("name")));
            QString contenido = ExecCommand(m_scriptVariables.Item(variable));
            if (contenido.isEmpty())
                contenido = parametro("default");
            salida.Append(contenido);
        } else if (nombre == u"if") {
            const QString a = parametro("value1");
            const QString b = parametro("value2");
            const QString tipo = textoDe(item(argumento, QStringLiteral("type"))).toLower();
            salida.Append(parametro(compara(tipo, a, b) ? "true" : "false"));
        } else if (nombre == u"return") {
            salida.Append(textoDe(valor));
        } else {
            QString argumentos;
            if (const JsonDictionary* d = argumento.toDictionary()) {
                QStringList textos;
                for (const QString& k : d->keys())
                    textos << textoDe(d->Item(k));
                argumentos = textos.join(u',');
            } else if (valor.type() == JsonValue::Type::String) {
                argumentos = valor.text();
            }
            salida.Append(
                QStringLiteral("<%") + clave.toUpper() + u'(' + argumentos + QStringLiteral(")%>"));
        }
    }
    return salida.toString();
}
