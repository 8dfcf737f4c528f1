#include "texttools/JSON.h"

#include <functional>
#include <memory>

#include "platform/RuntimeError.h"
#include "texttools/ErroresEjecucion.h"
#include "texttools/JsonCollection.h"
#include "texttools/JsonDictionary.h"
#include "texttools/cStringBuilder.h"

namespace JSON {

namespace {

const QString kOrigen = QStringLiteral("JSON");
const QString kFinDeLinea = QStringLiteral("\r\n");

// The largest whole part a decimal number holds, and the digits it keeps in all.
const QString kMayorEntero = QStringLiteral("79228162514264337593543950335");
constexpr int kDigitosDecimal = 29;
constexpr int kEscalaMaxima = 28;

// Containers nested deeper than this stop the parse instead of exhausting the stack.
constexpr int kAnidamientoMaximo = 1000;

QString gErroresJSON;

bool esDigito(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool mayorQueMaximo(const QString& entero)
{
    return entero.size() > kMayorEntero.size()
        || (entero.size() == kMayorEntero.size() && entero > kMayorEntero);
}

// Rounds the digit string `cifras` to its first `conservar` digits, half to even as decimals do.
// Returns the kept digits, one longer when the rounding carries ("995" to 2 gives "100").
QString redondea(const QString& cifras, qsizetype conservar)
{
    if (conservar >= cifras.size())
        return cifras;
    QString resultado = cifras.left(conservar);
    const int siguiente = cifras[conservar].digitValue();
    bool restoNoCero = false;
    for (qsizetype i = conservar + 1; i < cifras.size() && !restoNoCero; ++i)
        restoNoCero = cifras[i] != u'0';
    const bool ultimoImpar = conservar > 0 && resultado.back().digitValue() % 2 == 1;
    if (siguiente < 5 || (siguiente == 5 && !restoNoCero && !ultimoImpar))
        return resultado;
    qsizetype i = resultado.size() - 1;
    while (i >= 0 && resultado[i] == u'9') {
        resultado[i] = u'0';
        --i;
    }
    if (i < 0)
        resultado.prepend(u'1');
    else
        resultado[i] = QChar(resultado[i].unicode() + 1);
    return resultado;
}

// Converts the characters a number was collected from ("+-0123456789.eE" in any order) to the
// normalised text of a decimal. Raises type mismatch (13) when they do not form a number and
// overflow (6) beyond a decimal's range; more digits than a decimal keeps are rounded.
QString textoDecimal(QStringView s)
{
    qsizetype i = 0;
    bool negativo = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negativo = s[i] == u'-';
        ++i;
    }
    QString cifras;
    qint64 coma = 0; // digits before the decimal point
    bool hayPunto = false;
    for (; i < s.size(); ++i) {
        if (esDigito(s[i])) {
            cifras.append(s[i]);
            if (!hayPunto)
                ++coma;
        } else if (s[i] == u'.' && !hayPunto) {
            hayPunto = true;
        } else {
            break;
        }
    }
    if (cifras.isEmpty())
        ErroresEjecucion::Lanza(RuntimeError::TypeMismatch, kOrigen);
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        bool exponenteNegativo = false;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
            exponenteNegativo = s[i] == u'-';
            ++i;
        }
        qint64 exponente = 0;
        const qsizetype inicio = i;
        for (; i < s.size() && esDigito(s[i]); ++i) {
            if (exponente < 1000000)
                exponente = exponente * 10 + s[i].digitValue();
        }
        if (i == inicio)
            ErroresEjecucion::Lanza(RuntimeError::TypeMismatch, kOrigen);
        coma += exponenteNegativo ? -exponente : exponente;
    }
    if (i != s.size())
        ErroresEjecucion::Lanza(RuntimeError::TypeMismatch, kOrigen);

    qsizetype ceros = 0;
    while (ceros < cifras.size() && cifras[ceros] == u'0')
        ++ceros;
    cifras.remove(0, ceros);
    coma -= ceros;
    if (cifras.isEmpty())
        return QStringLiteral("0");
    if (coma > kDigitosDecimal)
        ErroresEjecucion::Lanza(ErroresEjecucion::Desbordamiento, kOrigen);
    if (coma < -kEscalaMaxima - 1)
        return QStringLiteral("0");
    if (coma > cifras.size())
        cifras.append(QString(coma - cifras.size(), u'0'));
    if (coma < 0) {
        cifras.prepend(QString(-coma, u'0'));
        coma = 0;
    }

    const qsizetype decimales
        = qMin<qsizetype>(kEscalaMaxima, qMax<qsizetype>(0, kDigitosDecimal - coma));
    cifras = redondea(cifras, coma + decimales);
    if (cifras.size() > coma + decimales)
        ++coma; // the rounding carried into a new leading digit
    QString entero = cifras.left(coma);
    QString fraccion = cifras.mid(coma);
    if (mayorQueMaximo(entero))
        ErroresEjecucion::Lanza(ErroresEjecucion::Desbordamiento, kOrigen);
    while (!fraccion.isEmpty() && fraccion.back() == u'0')
        fraccion.chop(1);
    while (entero.size() > 1 && entero.front() == u'0')
        entero.remove(0, 1);
    if (entero.isEmpty())
        entero = QStringLiteral("0");
    QString texto = entero;
    if (!fraccion.isEmpty())
        texto += u'.' + fraccion;
    if (negativo && texto != u"0")
        texto.prepend(u'-');
    return texto;
}

// Leading hexadecimal digits of `texto` as a number: "00e9" is 233, "12zz" is 18, "zz" is 0.
int hexadecimalInicial(QStringView texto)
{
    int valor = 0;
    for (QChar c : texto) {
        const int cifra = QStringView(u"0123456789abcdef").indexOf(c.toLower());
        if (cifra < 0)
            break;
        valor = valor * 16 + cifra;
    }
    return valor;
}

// One parse: the text, the current position (0-based here; 1-based in messages) and the error
// text being collected.
class Lector
{
public:
    explicit Lector(const QString& texto)
        : m_texto(texto)
    {
    }

    JsonValue leeTexto();

private:
    QChar actual() const { return m_i < m_texto.size() ? m_texto[m_i] : QChar(); }
    bool alFinal() const { return m_i >= m_texto.size(); }
    QString posicion() const { return QString::number(m_i + 1); }
    void error(const QString& linea) { gErroresJSON += linea + kFinDeLinea; }

    void saltaBlancos();
    // The loop objects and arrays share: opening, members (`leeMiembro` reads one and returns
    // false when the container must end), optional commas, closing or the end of the text.
    void leeContenedor(QChar apertura, QChar cierre, const QString& invalido,
        qsizetype largoMuestra, const std::function<bool()>& leeMiembro);
    JsonValue leeObjeto();
    JsonValue leeArreglo();
    JsonValue leeValor();
    JsonValue leeCadena();
    JsonValue leeNumero();
    JsonValue leeBooleano();
    JsonValue leeNulo();
    QString leeClave();

    const QString& m_texto;
    qsizetype m_i = 0;
    int m_anidamiento = 0;
    // Set when the nesting limit is hit: every open container returns what it has at once.
    bool m_abandonado = false;
};

JsonValue Lector::leeTexto()
{
    saltaBlancos();
    if (actual() == u'{')
        return leeObjeto();
    if (actual() == u'[')
        return leeArreglo();
    gErroresJSON = QStringLiteral("Invalid JSON");
    return JsonValue();
}

void Lector::saltaBlancos()
{
    // "//" comments to the end of the line; "/*" comments until a "/" that follows a "*".
    // Parentheses and a lone "/" or "*" are skipped like blanks.
    bool enComentario = false;
    bool enBloque = false;
    bool pendiente = false;
    for (; !alFinal(); ++m_i) {
        const QChar c = m_texto[m_i];
        if (c == u'\r' || c == u'\n') {
            if (!enBloque) {
                enComentario = false;
                pendiente = false;
            }
        } else if (c == u'\t' || c == u' ' || c == u'(' || c == u')') {
        } else if (c == u'/') {
            if (enBloque) {
                if (pendiente) {
                    enBloque = false;
                    enComentario = false;
                    pendiente = false;
                }
            } else if (pendiente) {
                enComentario = true;
                pendiente = false;
            } else {
                enComentario = false;
                pendiente = true;
            }
        } else if (c == u'*') {
            if (pendiente) {
                enComentario = true;
                enBloque = true;
                pendiente = false;
            } else {
                pendiente = true;
            }
        } else if (!enComentario) {
            return;
        }
    }
}

void Lector::leeContenedor(QChar apertura, QChar cierre, const QString& invalido,
    qsizetype largoMuestra, const std::function<bool()>& leeMiembro)
{
    saltaBlancos();
    if (actual() != apertura) {
        error(invalido + posicion() + QStringLiteral(" : ") + m_texto.mid(m_i, largoMuestra));
        return;
    }
    ++m_i;
    ++m_anidamiento;
    while (!m_abandonado) {
        saltaBlancos();
        if (actual() == cierre) {
            ++m_i;
            break;
        }
        // Commas are optional, and one right after the opening is accepted. After a comma the
        // member is read at once: "[1,]" tries to read "]" as a number.
        if (actual() == u',') {
            ++m_i;
            saltaBlancos();
        } else if (alFinal()) {
            error(QStringLiteral("Missing '") + cierre + QStringLiteral("': ") + m_texto.right(20));
            break;
        }
        if (!leeMiembro())
            break;
    }
    --m_anidamiento;
}

JsonValue Lector::leeObjeto()
{
    auto objeto = std::make_shared<JsonDictionary>();
    leeContenedor(u'{', u'}', QStringLiteral("Invalid Object at position "), -1, [&] {
        const QString clave = leeClave();
        try {
            objeto->Add(clave, leeValor());
        } catch (const RuntimeError& e) {
            error(e.description() + QStringLiteral(": ") + clave);
            return false;
        }
        return true;
    });
    return JsonValue::dictionary(objeto);
}

JsonValue Lector::leeArreglo()
{
    auto arreglo = std::make_shared<JsonCollection>();
    leeContenedor(u'[', u']', QStringLiteral("Invalid Array at position "), 20, [&] {
        const qsizetype antes = m_i;
        try {
            arreglo->Add(leeValor());
        } catch (const RuntimeError& e) {
            error(e.description() + QStringLiteral(": ") + m_texto.mid(m_i, 20));
            return false;
        }
        // A misspelt true, false or null is recorded and consumes nothing; reading on from the
        // same place would never end, so the array ends here.
        return m_i != antes || alFinal();
    });
    return JsonValue::collection(arreglo);
}

JsonValue Lector::leeValor()
{
    saltaBlancos();
    const QChar c = actual();
    if (c == u'{' || c == u'[') {
        if (m_anidamiento >= kAnidamientoMaximo) {
            m_abandonado = true;
            ErroresEjecucion::Lanza(ErroresEjecucion::PilaInsuficiente, kOrigen);
        }
        return c == u'{' ? leeObjeto() : leeArreglo();
    }
    if (c == u'"' || c == u'\'')
        return leeCadena();
    if (c == u't' || c == u'f')
        return leeBooleano();
    if (c == u'n')
        return leeNulo();
    return leeNumero();
}

JsonValue Lector::leeCadena()
{
    saltaBlancos();
    const QChar comilla = actual();
    ++m_i;
    cStringBuilder cadena;
    while (!alFinal()) {
        const QChar c = m_texto[m_i];
        if (c == u'\\') {
            ++m_i;
            const QChar escapado = actual();
            switch (escapado.unicode()) {
            case u'"':
            case u'\\':
            case u'/':
            case u'\'':
                cadena.Append(QString(escapado));
                ++m_i;
                break;
            case u'b':
                cadena.Append(QStringLiteral("\b"));
                ++m_i;
                break;
            case u'f':
                cadena.Append(QStringLiteral("\f"));
                ++m_i;
                break;
            case u'n':
                cadena.Append(QStringLiteral("\n"));
                ++m_i;
                break;
            case u'r':
                cadena.Append(QStringLiteral("\r"));
                ++m_i;
                break;
            case u't':
                cadena.Append(QStringLiteral("\t"));
                ++m_i;
                break;
            case u'u':
                cadena.Append(QString(
                    QChar(char16_t(hexadecimalInicial(QStringView(m_texto).mid(m_i + 1, 4))))));
                m_i += 5;
                break;
            default:
                // An unknown escape drops the backslash; the character is read as it is.
                break;
            }
        } else if (c == comilla) {
            ++m_i;
            break;
        } else {
            cadena.Append(QString(c));
            ++m_i;
        }
    }
    // A string the text ends inside is taken as it is, without complaint.
    return JsonValue::string(cadena.toString());
}

JsonValue Lector::leeNumero()
{
    saltaBlancos();
    const qsizetype inicio = m_i;
    while (!alFinal() && QStringView(u"+-0123456789.eE").contains(m_texto[m_i]))
        ++m_i;
    // A number that runs to the very end of the text is never converted.
    if (alFinal())
        return JsonValue();
    return JsonValue::decimal(textoDecimal(QStringView(m_texto).mid(inicio, m_i - inicio)));
}

JsonValue Lector::leeBooleano()
{
    saltaBlancos();
    if (QStringView(m_texto).mid(m_i, 4) == u"true") {
        m_i += 4;
        return JsonValue::boolean(true);
    }
    if (QStringView(m_texto).mid(m_i, 5) == u"false") {
        m_i += 5;
        return JsonValue::boolean(false);
    }
    error(QStringLiteral("Invalid Boolean at position ") + posicion() + QStringLiteral(" : ")
        + m_texto.mid(m_i));
    return JsonValue::boolean(false);
}

JsonValue Lector::leeNulo()
{
    saltaBlancos();
    if (QStringView(m_texto).mid(m_i, 4) == u"null") {
        m_i += 4;
        return JsonValue::null();
    }
    error(QStringLiteral("Invalid null value at position ") + posicion() + QStringLiteral(" : ")
        + m_texto.mid(m_i));
    return JsonValue();
}

QString Lector::leeClave()
{
    saltaBlancos();
    bool enDobles = false;
    bool enSimples = false;
    QString clave;
    while (!alFinal()) {
        const QChar c = m_texto[m_i];
        ++m_i;
        if (c == u'"' || c == u'\'') {
            bool& abierta = c == u'"' ? enDobles : enSimples;
            abierta = !abierta;
            if (!abierta) {
                saltaBlancos();
                if (actual() != u':') {
                    error(QStringLiteral("Invalid Key at position ") + posicion()
                        + QStringLiteral(" : ") + clave);
                    return clave;
                }
            }
        } else if (c == u':') {
            if (!enDobles && !enSimples)
                return clave;
            clave.append(c);
        } else if (c != u'\r' && c != u'\n' && c != u'\t' && c != u' ') {
            // Blanks and line breaks never belong to a key, not even inside quotes.
            clave.append(c);
        }
    }
    return clave;
}

} // namespace

JsonValue ParseJsonText(const QString& text)
{
    gErroresJSON.clear();
    Lector lector(text);
    return lector.leeTexto();
}

QString ParserErrorText()
{
    return gErroresJSON;
}

} // namespace JSON
