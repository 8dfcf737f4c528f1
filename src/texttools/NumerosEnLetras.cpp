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

    // Four groups of three digits; more than twelve digits lose the leading ones.
    const QString cifras
        = QString::number(std::floor(v), 'f', 0).right(12).rightJustified(12, QLatin1Char('0'));
    const QStringView grupos[4] = { QStringView(cifras).mid(9, 3), QStringView(cifras).mid(6, 3),
        QStringView(cifras).mid(3, 3), QStringView(cifras).mid(0, 3) };
    const auto esCero = [&](int i) { return grupos[i] == u"000"; };
    const auto esUno = [&](int i) { return grupos[i] == u"001"; };
    int masAlto = 4;
    while (masAlto > 1 && esCero(masAlto - 1))
        --masAlto;

    // Built from the units upwards; each group's words go in front of what is already there.
    QString texto;
    for (int i = 0; i < masAlto; ++i) {
        // A thousands group of exactly one reads "mil", not "un mil"; a millions group of exactly
        // one is already said by "un millón".
        const bool grupoImplicito
            = ((i == 1 || i == 3) && esUno(i)) || (i == 2 && esUno(2) && v <= 1999999.0);
        if (!grupoImplicito)
            texto.prepend(grupoEnLetras(grupos[i]));
        if ((i == 0 && !esCero(1)) || (i == 2 && !esCero(3)))
            texto.prepend(QStringLiteral(" mil "));
        if (i == 1 && v > 999999.0)
            texto.prepend(
                v > 1999999.0 ? QStringLiteral(" millones ") : QStringLiteral("un millón "));
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
