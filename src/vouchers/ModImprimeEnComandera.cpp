#include "vouchers/ModImprimeEnComandera.h"

#include <algorithm>
#include <cstdlib>

#include "platform/Windows1252.h"

namespace ModImprimeEnComandera {

namespace {

constexpr int AnchoTicket = 34;
constexpr int ColumnaDescripcion = AnchoTicket - 7;
constexpr int AnchoLineaPrecio = 33;
const QString Sangria = QStringLiteral("      ");
constexpr char LF = '\x0A';

enum class Modo : char
{
    Normal = 0x00,
    DobleAncho = 0x20,
};

enum class Alineacion : char
{
    Izquierda = 0,
    Centro = 1,
    Derecha = 2,
};

// ESC ! n, CR, ESC a m: always the seven bytes in one write, as the printers were set up for.
QByteArray cambioModo(Modo modo, Alineacion alineacion)
{
    QByteArray bytes("\x1B\x21", 2);
    bytes.append(static_cast<char>(modo));
    bytes.append("\x0D\x1B\x61", 3);
    bytes.append(static_cast<char>(alineacion));
    return bytes;
}

QByteArray linea(const QString& texto)
{
    return Windows1252::encode(texto) + LF;
}

QString rellenaIzquierda(const QString& texto, int ancho)
{
    return texto.size() >= ancho ? texto : QString(ancho - texto.size(), u' ') + texto;
}

QString rellenaDerecha(const QString& texto, int ancho)
{
    return texto.left(ancho).leftJustified(ancho, u' ');
}

// The line amount goes to cents as the till rounds: halves to the even cent.
Currency centavosAlPar(Currency valor)
{
    const qint64 raw = valor.raw();
    qint64 centavos = raw / 100;
    const qint64 resto = std::llabs(raw % 100);
    const qint64 signo = raw < 0 ? -1 : 1;
    if (resto > 50 || (resto == 50 && centavos % 2 != 0))
        centavos += signo;
    return Currency::fromRaw(centavos * 100);
}

bool llevaPunto(const QString& talledefault, QChar punto)
{
    return talledefault.contains(punto, Qt::CaseInsensitive);
}

} // namespace

QString FormatoDosDecimales(Currency valor, QChar separador)
{
    const qint64 raw = valor.rounded(2).raw();
    const qint64 centavos = std::llabs(raw) / 100;
    return QStringLiteral("%1%2%3%4")
        .arg(raw < 0 ? QStringLiteral("-") : QString())
        .arg(centavos / 100)
        .arg(separador)
        .arg(centavos % 100, 2, 10, QChar(u'0'));
}

QString FormateaLineaComandera(
    const QString& Descripcion, Currency Importe, double Ancho, QChar separador)
{
    const QString importe = FormatoDosDecimales(Importe, separador);
    const int anchoImporte = std::max<int>(7, importe.size());
    const int anchoDescripcion = std::max(0, static_cast<int>(Ancho) - 2 - anchoImporte);
    return rellenaDerecha(Descripcion, anchoDescripcion) + QStringLiteral("$ ")
        + rellenaIzquierda(importe, anchoImporte);
}

QList<QByteArray> EscriturasTicket(
    const DisenoTicket& diseno, const DatosTicket& datos, TipoTicket tipo, QChar separador)
{
    const bool conPrecios = tipo == TipoTicket::Comun;
    QList<QByteArray> escrituras;
    auto envia = [&escrituras](const QByteArray& bytes) { escrituras.append(bytes); };

    // The texts go in Windows-1252: a printer left on its factory code page would print
    // "Ferreterφa". ESC t 16 selects that page before anything is written.
    envia(QByteArray("\x1B\x74\x10", 3));
    if (diseno.imprimeEncabezado1) {
        envia(cambioModo(Modo::DobleAncho, Alineacion::Centro));
        envia(linea(diseno.encabezado1));
    }
    if (diseno.imprimeEncabezado2) {
        envia(cambioModo(Modo::Normal, Alineacion::Centro));
        envia(linea(diseno.encabezado2));
    }
    envia(cambioModo(Modo::Normal, Alineacion::Derecha));
    envia(linea(QString()));
    envia(linea(datos.momento));
    envia(linea(QStringLiteral("MESA:") + datos.mesa.trimmed() + QStringLiteral("  Mozo:")
        + rellenaDerecha(datos.mozo, 15).trimmed()));
    if (diseno.imprimeNumero) {
        envia(cambioModo(Modo::Normal, Alineacion::Derecha));
        envia(linea(datos.TC + QChar(u' ') + datos.IdComprobante));
    }
    if (diseno.imprimeCliente) {
        envia(cambioModo(Modo::Normal, Alineacion::Izquierda));
        envia(linea(datos.cliente.trimmed()));
        envia(linea(QString()));
        envia(linea(QString()));
    }

    for (const ItemTicket& item : datos.items) {
        Currency cantidad = item.cantidad;
        if (tipo == TipoTicket::Cocina) {
            cantidad = item.cantidad - item.cantidadPreparada;
            if (cantidad == Currency() || !llevaPunto(item.talledefault, u'C'))
                continue;
        } else if (tipo == TipoTicket::Barra) {
            cantidad = item.cantidad - item.cantidadAFacturar;
            if (cantidad == Currency() || !llevaPunto(item.talledefault, u'B'))
                continue;
        }
        const Currency importeLinea = centavosAlPar(item.importe * cantidad);

        if (diseno.detallePrecio)
            envia(cambioModo(Modo::Normal, Alineacion::Izquierda));
        if (conPrecios) {
            const QString corchete = QChar(u'[') + FormatoDosDecimales(cantidad, separador)
                + QStringLiteral(" X $ ") + FormatoDosDecimales(item.importe, separador)
                + QChar(u']');
            if (diseno.detallePrecio) {
                envia(linea(corchete));
                envia(linea(FormateaLineaComandera(
                    item.descripcion, importeLinea, AnchoLineaPrecio, separador)));
            } else {
                envia(linea(FormateaLineaComandera(corchete + QChar(u' ') + item.descripcion,
                    importeLinea, AnchoLineaPrecio, separador)));
            }
        } else {
            // Up to three lines of the description; whatever follows the third is not printed.
            envia(linea(FormatoDosDecimales(cantidad, separador) + QStringLiteral("  ")
                + item.descripcion.left(ColumnaDescripcion)));
            for (int desde = ColumnaDescripcion;
                 desde < 3 * ColumnaDescripcion && item.descripcion.size() > desde;
                 desde += ColumnaDescripcion)
                envia(linea(Sangria + item.descripcion.mid(desde, ColumnaDescripcion)));
        }
    }

    envia(linea(QString()));
    envia(linea(QString()));
    envia(cambioModo(Modo::DobleAncho, Alineacion::Derecha));
    // The marks below come out double width and right-aligned too: no mode change in between.
    QString total;
    if (conPrecios)
        total = QStringLiteral("TOTAL $")
            + rellenaIzquierda(FormatoDosDecimales(datos.total, separador), 9);
    envia(linea(total));
    envia(linea(QString()));
    if (tipo == TipoTicket::Cocina)
        envia(linea(QStringLiteral("** COCINA **")));
    if (tipo == TipoTicket::Barra)
        envia(linea(QStringLiteral("** BARRA **")));
    envia(linea(QString()));
    envia(linea(QString()));
    if (diseno.imprimePie && conPrecios) {
        envia(cambioModo(Modo::Normal, Alineacion::Centro));
        envia(linea(diseno.pie));
    }
    envia(linea(QString()));
    envia(linea(QString()));
    envia(linea(QString()));
    envia(QByteArray("\x1D\x56\x00", 3));
    return escrituras;
}

} // namespace ModImprimeEnComandera
