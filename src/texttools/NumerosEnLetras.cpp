#include "texttools/NumerosEnLetras.h"

#include <array>
#include <cmath>

#include <QLocale>

namespace NumerosEnLetras {

namespace {

// The word tables, indexed by digit; index 0 is empty on purpose (a zero digit says nothing).
// The accents are missing as on every voucher printed so far ("dieciseis", "veintidos").
const std::array<const char*, 10> kUnidades
    = { "", "un", "dos", "tres", "cuatro", "cinco", "seis", "siete", "ocho", "nueve" };
const std::array<const char*, 10> kDecenas = { "", "diez", "veinte", "treinta", "cuarenta",
    "cincuenta", "sesenta", "setenta", "ochenta", "noventa" };
const std::array<const char*, 11> kCentenas
    = { "", "ciento", "doscientos", "trescientos", "cuatrocientos", "quinientos", "seiscientos",
          "setecientos", "ochocientos", "novecientos", "cien" };
// Tens that join the unit word that follows them.
const std::array<const char*, 10> kDecenasY = { "", "dieci", "veinti", "treinta y ", "cuarenta y ",
    "cincuenta y ", "sesenta y ", "setenta y ", "ochenta y ", "noventa y " };
const std::array<const char*, 5> kOnceAQuince = { "once", "doce", "trece", "catorce", "quince" };

// The scale word of each period of six digits, from the units up (the long scale: a billón is a
// million millions). Money holds up to some nine hundred billones.
struct Escala
{
    const char* singular;
    const char* plural;
};
const std::array<Escala, 4> kEscalas = { { { nullptr, nullptr }, { "un millón", "millones" },
    { "un billón", "billones" }, { "un trillón", "trillones" } } };

// Words of one group of three digits, followed by a blank ("" + blank for "000").
QString grupoEnLetras(QStringView grupo)
{
    const int centena = grupo[0].digitValue();
    const int decena = grupo[1].digitValue();
    const int unidad = grupo[2].digitValue();
    const int dosUltimas = decena * 10 + unidad;

    QString decenas;
    QString unidades;
    if (unidad == 0) {
        decenas = QLatin1String(kDecenas[decena]);
    } else if (dosUltimas >= 11 && dosUltimas <= 15) {
        decenas = QLatin1String(kOnceAQuince[dosUltimas - 11]);
    } else {
        unidades = QLatin1String(kUnidades[unidad]);
        decenas = QLatin1String(kDecenasY[decena]);
    }
    // Exactly one hundred is "cien"; 101 and up are "ciento ...".
    const int indiceCentena = (centena == 1 && dosUltimas == 0) ? 10 : centena;
    return QLatin1String(kCentenas[indiceCentena]) + QLatin1Char(' ') + decenas + unidades
        + QLatin1Char(' ');
}

QString recortaDerecha(const QString& texto)
{
    qsizetype fin = texto.size();
    while (fin > 0 && texto[fin - 1] == QLatin1Char(' '))
        --fin;
    return texto.left(fin);
}

QString ajustaAncho(const QString& texto, int ancho)
{
    return texto.leftJustified(ancho, QLatin1Char(' '), true);
}

// The leading number of a text, as the cents are read: "05" is 5, "5a" is 5, "ab" is 0.
int numeroInicial(QStringView texto)
{
    int valor = 0;
    for (QChar c : texto) {
        if (!c.isDigit())
            break;
        valor = valor * 10 + c.digitValue();
    }
    return valor;
}

} // namespace

QString EnteroEnLetras(const QString& Numero)
{
    bool leido = false;
    const double numero = QLocale().toDouble(Numero.trimmed(), &leido);
    const double v = leido ? std::fabs(numero) : 0.0;
    if (v < 1.0)
        return QStringLiteral("cero");
    const bool negativo = leido && numero < 0.0;

    // Every digit is said: a double holds the whole part of any amount money holds exactly.
    const QString digitos = QString::number(std::floor(v), 'f', 0);
    const qsizetype periodos = (digitos.size() + 5) / 6;
    if (periodos > qsizetype(kEscalas.size()))
        return negativo ? QStringLiteral("menos ") + digitos : digitos;
    // Periods of six digits, from the highest: each says its thousands and units, then its scale
    // word ("millones", "billones"); a period of exactly one is "un millón", "un billón".
    const QString cifras = digitos.rightJustified(periodos * 6, QLatin1Char('0'));
    QString texto;
    for (qsizetype k = 0; k < periodos; ++k) {
        const QStringView periodo = QStringView(cifras).mid(k * 6, 6);
        if (periodo == u"000000")
            continue;
        const Escala& escala = kEscalas[std::size_t(periodos - 1 - k)];
        if (escala.singular && periodo == u"000001") {
            texto += QString::fromUtf8(escala.singular) + QLatin1Char(' ');
            continue;
        }
        const QStringView miles = periodo.left(3);
        // A thousands group of exactly one reads "mil", not "un mil".
        if (miles == u"001")
            texto += QStringLiteral("mil ");
        else if (miles != u"000")
            texto += grupoEnLetras(miles) + QStringLiteral("mil ");
        texto += grupoEnLetras(periodo.mid(3, 3));
        if (escala.plural)
            texto += QString::fromUtf8(escala.plural) + QLatin1Char(' ');
    }
    texto = texto.simplified();
    if (negativo)
        texto.prepend(QStringLiteral("menos "));
    return texto;
}

QString NumeroEnLetras(const QString& Numero, int Ancho, const std::optional<QString>& Moneda,
    const std::optional<QString>& /*Centavos*/)
{
    const QString moneda
        = Moneda ? QLatin1Char(' ') + Moneda->trimmed() + QLatin1Char(' ') : QStringLiteral(" ");
    const QString separador = QLocale().decimalPoint();
    QString numero = Numero;
    numero.remove(QLatin1Char(' '));

    const qsizetype posicion = numero.indexOf(separador);
    if (posicion < 0) {
        QString palabras = recortaDerecha(EnteroEnLetras(numero) + moneda);
        if (Ancho != 0)
            palabras = ajustaAncho(palabras, Ancho);
        return palabras + QStringLiteral(" con 00/100");
    }

    // Cents are the first two digits written: one digit is completed with a zero, a third is cut.
    const QString centavos
        = (numero.mid(posicion + separador.size()) + QStringLiteral("000")).left(2);
    QString frase = EnteroEnLetras(numero.left(posicion)) + moneda;
    if (numeroInicial(centavos) >= 1)
        frase += QStringLiteral("con ") + centavos + QStringLiteral("/100");
    frase = recortaDerecha(frase);
    if (Ancho != 0)
        frase = ajustaAncho(frase, Ancho);
    return frase;
}

QString NumeroEnLetras(Currency Importe, int Ancho, const std::optional<QString>& Moneda,
    const std::optional<QString>& Centavos)
{
    return NumeroEnLetras(
        Importe.toString(QLocale().decimalPoint().at(0)), Ancho, Moneda, Centavos);
}

} // namespace NumerosEnLetras
