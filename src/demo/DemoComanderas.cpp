#include "demo/DemoComanderas.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "platform/qt/SystemEnvironment.h"
#include "services/RegistroComandera.h"
#include "demo/SqliteFile.h"

namespace DemoComanderas {

namespace {

QString articulo(int numero, int articulos)
{
    return QString::number(1 + (numero - 1) % articulos).rightJustified(6, u'0');
}

struct Item
{
    int articulo; // 0: a free-text line without article
    const char* descripcion;
    double cantidad;
    const char* preparada; // nullptr: Null, as an older till leaves it
    double aFacturar;
    double precio;
};

void pedido(SqliteFile& file, int articulos, const char* tc, const char* id, const char* mesa,
    const char* vendedor, const std::vector<Item>& items)
{
    SqlInsert item(file, "V_MV_CPTEINSUMOS",
        "TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDARTICULO,DESCRIPCION,CANTIDAD,Cantidadpreparada,"
        "CANTIDADAFACTURAR,IMPORTE,Total,IMPORTE_S_IVA,alicIva");
    double total = 0;
    for (const Item& i : items) {
        item << tc << id << 0;
        if (i.articulo == 0)
            item << nullptr;
        else
            item << articulo(i.articulo, articulos);
        item << i.descripcion << i.cantidad;
        if (i.preparada)
            item << QString::fromLatin1(i.preparada).toDouble();
        else
            item << nullptr;
        item << i.aFacturar << i.precio << i.cantidad * i.precio << i.precio / 1.21 << 21.0;
        item.done();
        total += i.cantidad * i.precio;
    }
    SqlInsert cabecera(file, "V_MV_CPTE",
        "TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,FECHA,CUENTA,nombre,CondicionIva,Moneda,IMPORTE,"
        "IdVendedor,transporte");
    cabecera << tc << id << 0 << "   1"
             << "2026-11-20 00:00:00"
             << "1120001"
             << "Consumidor Final"
             << "CF"
             << "1" << total << vendedor << mesa;
    cabecera.done();
}

} // namespace

void seed(SqliteFile& file, int articulos)
{
    // Where each article is served: the kitchen ("C"), the bar ("B"), both, or nowhere.
    const char* const puntos[] = { "C", "B", "CB", nullptr };
    for (int n = 1; n <= 4; ++n)
        file.exec(
            QStringLiteral("UPDATE V_MA_ARTICULOS SET talledefault = %1 WHERE IDARTICULO = '%2'")
                .arg(puntos[n - 1] ? u'\'' + QString::fromLatin1(puntos[n - 1]) + u'\''
                                   : QStringLiteral("NULL"),
                    articulo(n, articulos))
                .toUtf8());

    SqlInsert tipo(file, "V_TA_CPTE", "Codigo,Descripcion,SISTEMA");
    tipo << "PE"
         << "Pedido de mesa"
         << "VENTAS";
    tipo.done();

    // Table 12: part of the pizza is out of the kitchen, a beer was already invoiced, half the
    // empanadas are served.
    pedido(file, articulos, "PE", kPedidoMesa, "12", "   2",
        { { 1, "Pizza muzzarella grande", 2, "1", 0, 9500 },
            { 2, "Cerveza tirada 500 cc", 3, "0", 1, 3200 },
            { 3, "Empanadas de carne cortada a cuchillo x6", 2, "1", 1, 6600 },
            { 0, "Sin sal la ensalada, por favor", 1, "0", 0, 0 },
            { 4, "Agua mineral sin gas 500 cc", 2, nullptr, 0, 1800 },
            { 1,
                "Milanesa napolitana de ternera con papas fritas caseras, huevo frito y ensalada "
                "mixta de la huerta!!",
                1, nullptr, 0, 12500 } });

    // A party's long order: two hundred lines, for the size of a ticket.
    std::vector<QByteArray> textos;
    std::vector<Item> largos;
    textos.reserve(200);
    for (int k = 1; k <= 200; ++k)
        textos.push_back(QStringLiteral("Plato del menú de eventos número %1").arg(k).toUtf8());
    for (int k = 1; k <= 200; ++k)
        largos.push_back({ 1 + (k - 1) % 3, textos[std::size_t(k - 1)].constData(),
            double(k % 4 + 1), "0", 0, 1000.0 + k * 10 });
    pedido(file, articulos, "PE", kPedidoLargo, "1", "   3", largos);

    pedido(file, articulos, "NP", kNotaPedido, "7", "   1",
        { { 1, "Pizza muzzarella grande", 1, "0", 0, 9500 },
            { 2, "Cerveza tirada 500 cc", 2, "0", 0, 3200 },
            { 4, "Agua mineral sin gas 500 cc", 1, "0", 0, 1800 } });

    // The generating workstation sends table orders to its ticket printer "COCINA" (its key
    // as the suite stores it: raw, any case).
    SystemEnvironment maquina;
    const QString puesto = (maquina.computerName() + u'|' + maquina.userName()).toLower();
    SqlInsert impresion(file, "TA_CONFIG_IMP_CPTE",
        "TC,LETRA,USUARIO,impresora,CantCopias,CantLineas,DestinoDefault");
    for (const char* tc : { "PE", "PECO", "PEBA" }) {
        impresion << tc << "X" << puesto << "PDF|"
                  << "1"
                  << "30"
                  << "Comandera : COCINA";
        impresion.done();
    }
    impresion << "NP"
              << "X" << puesto << "PDF|"
              << "2"
              << "30"
              << "Pantalla";
    impresion.done();

    SqlInsert reporte(file, "TA_REPORTES", "NOMBRE,Descripcion,Archivo,Archivo2,Archivo3,Archivo4");
    reporte << "NP-X"
            << "Nota de pedido"
            << "NP.rpt"
            << "NP.rpt"
            << "NP.rpt"
            << "NP.rpt";
    reporte.done();
    for (const char* nombre : { "COMANDA", "COMANDA_COCINA", "COMANDA_BAR", "COMANDA_BAR2" }) {
        const QString archivo = QString::fromLatin1(nombre) + QStringLiteral(".rpt");
        reporte << nombre << "Comanda" << archivo << archivo << archivo << archivo;
        reporte.done();
    }
}

QString escribeComanderas(const QString& folder)
{
    // The machine and login as the suite stores them: unchanged, compared ignoring case.
    SystemEnvironment maquina;
    RegistroComandera r;
    r.Puesto = maquina.computerName() + u'|' + maquina.userName();
    r.Impresora = QStringLiteral("COCINA");
    r.Puerto = QStringLiteral("COM3");
    r.ImprimeEncabezado1 = QStringLiteral("S"); // blank text: the company's name
    r.ImprimeEncabezado2 = QStringLiteral("S");
    r.Encabezado2 = QStringLiteral("Salón y parrilla");
    r.ImprimeNumero = QStringLiteral("S");
    r.ImprimeCliente = QStringLiteral("S");
    r.ImprimePie = QStringLiteral("S");
    r.Pie = QStringLiteral("Gracias por su visita");
    r.DetallePrecio = QStringLiteral("S");
    QSaveFile archivo(QDir(folder).filePath(QStringLiteral("Comanderas.cfg")));
    if (!archivo.open(QIODevice::WriteOnly)
        || archivo.write(r.aBytes()) != RegistroComandera::Longitud || !archivo.commit())
        return QStringLiteral("No se pudo escribir %1").arg(archivo.fileName());
    return QString();
}

} // namespace DemoComanderas
