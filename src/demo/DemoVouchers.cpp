#include "demo/DemoVouchers.h"

#include <cmath>
#include <map>
#include <optional>
#include <vector>

#include <QString>

#include <sqlite3.h>

#include "demo/SqliteFile.h"

namespace DemoVouchers {
namespace {

struct Line
{
    int article; // 1-based, wrapped over the demo's articles
    const char* description;
    double quantity;
    double price; // IMPORTE
    double priceNoVat; // IMPORTE_S_IVA
    double vat;
    const char* lots;
    const char* series;
    double discount = 0;
    double internalTaxes = 0; // Impuestos: the line's internal taxes, outside the VAT
    const char* unit = "UN";
};

// Another concept: a charge with and without VAT, and its trip.
struct Charge
{
    const char* text;
    double gross; // Importe
    double net; // Importe_S_IVA
    const char* tripDate = nullptr;
    const char* trip = nullptr;
};

// A task of a budget or work order: minutes and the value of an hour with and without VAT.
struct Task
{
    const char* id;
    const char* description;
    double minutes;
    double hourValue;
    double hourValueNoVat;
    const char* details;
};

struct Voucher
{
    const char* tc;
    const char* id;
    const char* unit;
    const char* account;
    const char* name;
    const char* vatCondition;
    const char* currency;
    const char* afipCode;
    std::vector<Line> lines;
    const char* headerNote = nullptr;
    const char* footerNote = nullptr;
    const char* origin = nullptr; // ComprobanteOrigen
    const char* originType = nullptr; // TcOrigen
    std::vector<Charge> charges = {};
    std::vector<Task> tasks = {};
};

// Amounts are added up in cents and rounded half away from zero, once, as the printed voucher
// rounds them.
qint64 cents(long double amount)
{
    const long double scaled = amount * 100;
    return static_cast<qint64>(
        scaled < 0 ? std::floor(scaled - 0.5L + 1e-7L) : std::floor(scaled + 0.5L + 1e-7L));
}

double fromCents(qint64 amount)
{
    return static_cast<double>(amount) / 100.0;
}

// The rate of a charge or a task, from its amounts with and without VAT.
double rateOf(double gross, double net)
{
    return net == 0 ? 0 : std::round((gross - net) * 1000.0 / net) / 10.0;
}

// What a voucher charges, as its printed form adds it up: letter A the net of each rate and
// the VAT worked out once on it, the other letters the amounts with VAT as printed.
class Sums
{
public:
    explicit Sums(bool letterA)
        : m_letterA(letterA)
    {
    }

    void add(double rate, qint64 amount) { m_byRate[rate] += amount; }
    void addOutsideVat(qint64 amount) { m_outsideVat += amount; }

    qint64 total() const
    {
        qint64 total = m_outsideVat;
        for (const auto& [rate, amount] : m_byRate) {
            total += amount;
            if (m_letterA)
                total += cents(static_cast<long double>(amount) * rate / 10000.0L);
        }
        return total;
    }

private:
    bool m_letterA;
    std::map<double, qint64> m_byRate;
    qint64 m_outsideVat = 0;
};

QString article(int number, int articles)
{
    return QString::number(1 + (number - 1) % articles).rightJustified(6, u'0');
}

class Writer
{
public:
    Writer(SqliteFile& file, const Options& options)
        : m_options(options)
        , m_header(file, "V_MV_CPTE",
              "TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,FECHA,CUENTA,nombre,CondicionIva,"
              "documentotipo,DOCUMENTONUMERO,Moneda,IMPORTE,CodCpteAfip,ComprobanteOrigen,"
              "TcOrigen,IdVendedor,transporte")
        , m_item(file, "V_MV_CPTEINSUMOS",
              "TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDARTICULO,DESCRIPCION,IdUnidad,CANTIDAD,"
              "Cantidadpreparada,CANTIDADAFACTURAR,IMPORTE,Total,IMPORTE_S_IVA,alicIva,PorcDto,"
              "Impuestos,Nro_Lote,Nro_Serie,ControladoPor,CantidadUd,IdUnidadBase,Equiv_UDBase,"
              "CANTIDAD_ORIGEN,Ud_Pr,Importe_Ud")
        , m_note(file, "V_MV_CPTE_Observ",
              "TC,IDCOMPROBANTE,IDCOMPLEMENTO,Tipo_Obs,Observacion,Importe,Importe_S_IVA,fechavj,"
              "NroViaje")
        , m_task(file, "V_MV_CPTETAREAS",
              "TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDTAREA,Descripcion,Horas,ValorHora,Total,"
              "valorHora_S_Iva,descripcionadicional")
    {
    }

    // The header's amount is what the lines, the tasks and the charges add up to.
    void voucher(const Voucher& v)
    {
        const QString tc = QString::fromLatin1(v.tc);
        const bool letterA = QByteArray(v.id).endsWith('A');
        Sums sums(letterA);
        for (const Line& l : v.lines) {
            const double price = letterA ? l.priceNoVat : printedPrice(v, l);
            sums.add(l.vat,
                cents(static_cast<long double>(l.quantity) * cents(price) * (100 - l.discount)
                    / 10000.0L));
            sums.addOutsideVat(cents(l.internalTaxes));
            const double lineTotal = fromCents(
                cents(static_cast<long double>(l.quantity) * l.price * (100 - l.discount) / 100));
            m_item << v.tc << v.id << 0 << article(l.article, m_options.articles) << l.description
                   << l.unit << l.quantity << l.quantity << l.quantity << l.price << lineTotal
                   << l.priceNoVat << l.vat << l.discount << l.internalTaxes;
            text(m_item, l.lots);
            text(m_item, l.series);
            m_item << "" << l.quantity << l.unit << 1.0 << l.quantity << "M2" << l.price / 2;
            m_item.done();
        }
        for (const Task& t : v.tasks) {
            const double hourValue = letterA ? t.hourValueNoVat : t.hourValue;
            sums.add(rateOf(t.hourValue, t.hourValueNoVat),
                cents(static_cast<long double>(t.minutes) * cents(hourValue) / 6000.0L));
            m_task << v.tc << v.id << 0 << t.id << t.description << t.minutes << t.hourValue
                   << fromCents(cents(static_cast<long double>(t.minutes) * t.hourValue / 60))
                   << t.hourValueNoVat << t.details;
            m_task.done();
        }
        for (const Charge& c : v.charges) {
            sums.add(rateOf(c.gross, c.net), cents(letterA ? c.net : c.gross));
            m_note << v.tc << v.id << 0 << "OC" << c.text << c.gross << c.net;
            text(m_note, c.tripDate);
            text(m_note, c.trip);
            m_note.done();
        }
        m_header << v.tc << v.id << 0 << v.unit << "2026-11-20 00:00:00" << v.account << v.name
                 << v.vatCondition << "80"
                 << "30-70100000-7" << v.currency << fromCents(sums.total()) << v.afipCode;
        if (v.origin == nullptr)
            m_header << nullptr << nullptr;
        else
            m_header << v.origin << v.originType;
        m_header << "   1"
                 << "";
        m_header.done();
        if (v.headerNote != nullptr)
            note(v, "EN", v.headerNote);
        if (v.footerNote != nullptr)
            note(v, "PP", v.footerNote);
    }

private:
    static void text(SqlInsert& insert, const char* value)
    {
        if (value == nullptr)
            insert << nullptr;
        else
            insert << value;
    }

    // The unit price a letter other than A prints: the buffer adds the VAT to a price stored
    // without it on B invoices and credit notes, and on proformas under "RobaIvaProforma" for
    // customers of condition 1 (set in the demo).
    static double printedPrice(const Voucher& v, const Line& l)
    {
        const QByteArray tc(v.tc);
        const bool addsVat = (QByteArray(v.id).endsWith('B') && (tc == "FC" || tc == "NC"))
            || ((tc == "FP" || tc == "NCFP") && QByteArray(v.vatCondition).trimmed() == "1");
        if (!addsVat || l.price != l.priceNoVat || l.vat <= 0)
            return l.price;
        return fromCents(cents(static_cast<long double>(l.price) * (100 + l.vat) / 100));
    }

    void note(const Voucher& v, const char* kind, const char* text)
    {
        m_note << v.tc << v.id << 0 << kind << text << 0.0 << 0.0 << nullptr << nullptr;
        m_note.done();
    }

    const Options& m_options;
    SqlInsert m_header;
    SqlInsert m_item;
    SqlInsert m_note;
    SqlInsert m_task;
};

// The net at `rate` whose VAT, worked out once and rounded, makes up `total` (cents); none when
// no net does, as the VAT of consecutive nets may step over a cent.
std::optional<qint64> netFor(qint64 total, double rate)
{
    const qint64 guess = static_cast<qint64>(std::llround(total * 100.0 / (100.0 + rate)));
    for (qint64 net = guess - 2; net <= guess + 2; ++net)
        if (net + cents(static_cast<long double>(net) * rate / 10000.0L) == total)
            return net;
    return std::nullopt;
}

// The sales vouchers written elsewhere with their header alone (the documents that receipts
// settle) get one line that makes up their amount: with VAT included on letters other than A;
// on letter A a net at 21 % or 10.5 %, or an exempt line when no net gives the amount.
void lineForHeadersAlone(SqliteFile& file, int articles)
{
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(file.handle(),
            "SELECT TC, IDCOMPROBANTE, IDCOMPLEMENTO, IMPORTE FROM V_MV_CPTE h WHERE TC IN "
            "('FC', 'NC', 'ND', 'FP', 'PR', 'OT') AND NOT EXISTS (SELECT 1 FROM "
            "V_MV_CPTEINSUMOS i WHERE i.TC = h.TC AND i.IDCOMPROBANTE = h.IDCOMPROBANTE) AND NOT "
            "EXISTS (SELECT 1 FROM V_MV_CPTETAREAS t WHERE t.TC = h.TC AND t.IDCOMPROBANTE = "
            "h.IDCOMPROBANTE) ORDER BY ID",
            -1, &query, nullptr)
        != SQLITE_OK)
        return;
    SqlInsert item(file, "V_MV_CPTEINSUMOS",
        "TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDARTICULO,DESCRIPCION,IdUnidad,CANTIDAD,IMPORTE,Total,"
        "IMPORTE_S_IVA,alicIva,PorcDto,Impuestos,CantidadUd,IdUnidadBase,Equiv_UDBase,"
        "CANTIDAD_ORIGEN");
    int row = 0;
    while (sqlite3_step(query) == SQLITE_ROW) {
        const auto column = [&](int c) {
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query, c)));
        };
        const QString id = column(1);
        const qint64 total = cents(sqlite3_column_double(query, 3));
        double rate = 21;
        qint64 net = 0;
        if (id.endsWith(u'A')) {
            std::optional<qint64> found = netFor(total, 21);
            if (!found) {
                rate = 10.5;
                found = netFor(total, rate);
            }
            if (!found)
                rate = 0;
            net = found.value_or(total);
        } else
            net = cents(static_cast<long double>(total) * 100 / (100 + rate) / 100);
        const double price = id.endsWith(u'A') ? fromCents(net) : fromCents(total);
        item << column(0) << id << sqlite3_column_int(query, 2) << article(1 + row++ % 40, articles)
             << (column(0) == u"NC" ? "Devolución de mercadería" : "Mercadería según remito")
             << "UN" << 1.0 << price << price << fromCents(net) << rate << 0.0 << 0.0 << 1.0 << "UN"
             << 1.0 << 1.0;
        item.done();
    }
    sqlite3_finalize(query);
}

} // namespace

void write(SqliteFile& file, const Options& options)
{
    {
        SqlInsert type(file, "V_TA_CPTE", "Codigo,Descripcion,SISTEMA");
        for (const auto& [code, name] : std::vector<std::pair<const char*, const char*>> {
                 { "FP", "Factura Proforma" }, { "NCFP", "Nota de Crédito Proforma" },
                 { "OT", "Orden de Trabajo" }, { "FCE", "Factura de Crédito Electrónica" } }) {
            type << code << name << "VENTAS";
            type.done();
        }
        SqlInsert dispatch(file, "stk_despachos", "NroLote,ControladoPor,Descripcion");
        dispatch << "DSP-7"
                 << "ADUANA"
                 << "Puerto de\nBuenos Aires";
        dispatch.done();
        dispatch << "DSP-9" << nullptr << nullptr;
        dispatch.done();
    }

    // The buffer adds VAT to proforma lines stored without it for customers of condition 1,
    // and the QR takes the tax authority's public address.
    file.exec("UPDATE TA_CONFIGURACION SET VALOR = 'SI' WHERE CLAVE = 'RobaIvaProforma'");
    {
        SqlInsert row(file, "TA_CONFIGURACION", "GRUPO,CLAVE,VALOR");
        row << "DATOS"
            << "URL_QR_FACTURA"
            << "https://www.afip.gob.ar/fe/qr/?p=";
        row.done();
    }

    Writer w(file, options);
    // Letter A: stored without VAT and printed net. Its lots: a lot that names a dispatch
    // (twice: one note), batches with a zero amount, a dispatch with controller and origin, one
    // with neither, a lot key with an apostrophe. Freight with its trip, and a bonus of no amount.
    w.voucher({ "FC", "000200002001A", "   1", "1120002", "Distribuidora D'Amico S.A.", "RI",
        "   1", "1",
        { { 1, "Tornillo autoperforante 8x1\" (caja x100)", 2, 1500, 1500, 21, "L2611", nullptr },
            { 2, "Llave francesa 12'' cromada", 1, 8200.5, 8200.5, 21, "D-100|D-200|D-300",
                "2|0|5" },
            { 3, "Cable unipolar 2,5 mm rollo 100 m", 3, 23100, 23100, 10.5, "DSP-7", "1" },
            { 4, "Cinta aisladora", 10, 450, 450, 21, "DSP-9", "3" },
            { 5, "Tarugo de nylon 8 mm", 100, 12.25, 12.25, 21, "L2611", nullptr, 5 },
            { 6, "Sellador siliconado transparente para vidrios, aluminio y sanitarios 280 ml", 4,
                3100, 3100, 21, "LOTE D'OR", "1" } },
        "Entregar en el depósito de D'Amico, portón 2.",
        "Mercadería viaja por cuenta y orden del cliente.", nullptr, nullptr,
        { { "Flete a domicilio", 12100, 10000, "2026-11-21 00:00:00", "V-0031" },
            { " Bonificación D'Amico ", 0, 0 } } });
    // Letter B: lines stored without VAT print with it, except a line with no VAT and one whose
    // price already differs from the price without VAT; a charge with a trip and no trip date.
    w.voucher({ "FC", "000200002002B", "   1", "1120001", "Consumidor Final", "CF", "   1", "6",
        { { 7, "Pintura látex interior 4 l", 3, 100, 100, 10.5, nullptr, nullptr },
            { 8, "Yerba mate 1 kg", 2, 2500, 2500, 0, "", "" },
            { 9, "Martillo galponero", 1, 9680, 8000, 21, nullptr, nullptr } },
        nullptr, nullptr, nullptr, nullptr, { { "Envío", 1210, 1000, nullptr, "V-0032" } } });
    w.voucher({ "NC", "000200002003B", "   1", "1120001", "Consumidor Final", "CF", "   1", "8",
        { { 10, "Devolución lámpara LED 9 W", 2, 1200, 1200, 21, "L2612|X9", "1|0" } }, nullptr,
        "Devolución por falla de fábrica." });
    // Goods sold by weight, length and volume returned on invoice 2001A: the credit note names
    // it.
    w.voucher({ "NC", "000200002009A", "   1", "1120002", "Distribuidora D'Amico S.A.", "RI",
        "   1", "3",
        { { 18, "Alambre de atar N° 16", 12.375, 2480, 2480, 21, nullptr, nullptr, 0, 0, "KG" },
            { 3, "Cable unipolar 2,5 mm", 37.125, 231, 231, 10.5, nullptr, nullptr, 0, 0, "MT" },
            { 19, "Aguarrás mineral", 3.333, 3150, 3150, 21, nullptr, nullptr, 0, 0, "LT" } },
        nullptr, "Devolución de sobrante de obra.", "000200002001A", "FC" });
    w.voucher({ "FP", "000200002004X", "   1", "1120003", "Constructora del Sur", "1", "   1", "",
        { { 11, "Cemento portland 50 kg", 20, 9100, 9100, 21, nullptr, nullptr },
            { 12, "Arena fina m3", 2, 45980, 38000, 21, nullptr, nullptr } } });
    w.voucher({ "FC", "000200002005A", "   1", "1120004", "Importadora Río Cuarto", "RI", "   2",
        "1", { { 13, "Taladro percutor 750 W", 1, 1250.75, 1250.75, 21, nullptr, nullptr } },
        "Importe en dólares al tipo de cambio del día." });
    // The budget's and the work order's tasks: rich-text and plain descriptions, texts with
    // apostrophes; task 9 of the work order has only its diary.
    w.voucher({ "PR", "000200002006X", "   1", "1120005", "Cliente de Presupuesto", "CF", "   1",
        "", { { 14, "Canilla monocomando cocina", 1, 45000, 37190.08, 21, nullptr, nullptr } },
        nullptr, nullptr, nullptr, nullptr, {},
        { { "   1", "Instalación de grifería", 90, 18150, 15000,
              "{\\rtf1\\ansi\\deff0 Instalaci\\f3n en la cocina de D'Amico.\\par}" },
            { "   2", "Revisión de pérdidas", 30, 0, 0,
                "Sin cargo si se contrata la instalación." } } });
    w.voucher({ "OT", "000200002007X", "   2", "1120005", "Cliente de Presupuesto", "CF", "   1",
        "", { { 15, "Flexible mallado 40 cm", 2, 3200, 2644.63, 21, nullptr, nullptr } }, nullptr,
        nullptr, nullptr, nullptr, {},
        { { "   4", "Reparación de bomba d'agua", 125, 12100, 10000,
            "{\\rtf1\\fbidis Cambio de sello mec\\e1nico" } } });

    // Beverages: beer, soft drinks and wine carry internal taxes of their own beside the VAT;
    // the water carries none.
    w.voucher({ "FC", "000200002008A", "   1", "1120002", "Distribuidora D'Amico S.A.", "RI",
        "   1", "1",
        { { 18, "Cerveza rubia 1 l (cajón x12)", 10, 14400, 14400, 21, nullptr, nullptr, 0, 20160 },
            { 19, "Gaseosa cola 2,25 l (pack x6)", 8, 9150.5, 9150.5, 21, nullptr, nullptr, 5,
                5563.5 },
            { 20, "Vino tinto malbec 750 ml (caja x6)", 3, 21780, 21780, 21, nullptr, nullptr, 0,
                1306.8 },
            { 21, "Agua mineral sin gas 2 l (pack x6)", 12, 3990, 3990, 21, nullptr, nullptr } } });

    // An order and the delivery note issued from it: of the order's lines, the two of article 16
    // are still pending, article 17 was delivered.
    w.voucher({ "NP", "000200003001X", "   1", "1120003", "Constructora del Sur", "1", "   1", "",
        { { 16, "Ladrillo hueco 12x18x33", 500, 410, 338.84, 21, "L7|L8", "S1|S2" },
            { 17, "Cal hidratada 25 kg", 10, 5200, 4297.52, 21, nullptr, nullptr },
            { 16, "Ladrillo hueco 12x18x33 (segunda entrega)", 250, 410, 338.84, 21, nullptr,
                nullptr } } });
    w.voucher({ "RM", "000200003002R", "   1", "1120003", "Constructora del Sur", "1", "   1", "",
        { { 17, "Cal hidratada 25 kg", 10, 5200, 4297.52, 21, nullptr, nullptr } }, nullptr,
        nullptr, "000200003001X", "NP" });
    {
        SqlInsert pending(file, "VT_V_MV_Insumos_NPPendiente", "TC,IDCOMPROBANTE,IDARTICULO");
        pending << "NP"
                << "000200003001X" << article(16, options.articles);
        pending.done();

        SqlInsert diary(file, "V_MV_DIARIOS",
            "TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDTAREA,Descripcion,Observaciones,Minutos");
        diary << "OT"
              << "000200002007X" << 0 << "   9"
              << "Visita técnica"
              << "Se revisó el tablero." << 45;
        diary.done();
        diary << "OT"
              << "000200002007X" << 0 << "   9"
              << "Visita técnica"
              << "El cliente pidió presupuesto de la bomba d'agua." << 30;
        diary.done();
        diary << "OT"
              << "000200002007X" << 0 << "   9"
              << "Visita técnica"
              << "  " << 15;
        diary.done();
    }

    {
        // Electronic data of the invoices, a second rate capture on the dollar invoice's day,
        // and the company logo on invoices.
        SqlInsert electronic(
            file, "V_MV_CPTE_ELECTRONICOS", "TC,IDCOMPROBANTE,Fecha_CPTE,CAE,VtoCAE");
        electronic << "FC"
                   << "000200002001A"
                   << "2026-11-20 00:00:00"
                   << "76123456789012"
                   << "2026-11-30 00:00:00";
        electronic.done();
        electronic << "FC"
                   << "000200002005A"
                   << "2026-11-20 00:00:00"
                   << "76123456789013"
                   << "2026-11-30 00:00:00";
        electronic.done();
        electronic << "FC"
                   << "000200002008A"
                   << "2026-11-20 00:00:00"
                   << "76123456789014"
                   << "2026-11-30 00:00:00";
        electronic.done();
        electronic << "NC"
                   << "000200002009A"
                   << "2026-11-20 00:00:00"
                   << "76123456789015"
                   << "2026-11-30 00:00:00";
        electronic.done();
        SqlInsert rate(file, "TA_COTIZACION", "FECHA_HORA,MONEDA2,MONEDA3");
        rate << "2026-11-20 16:00:00" << 1480.125 << 1601.5;
        rate.done();
        file.exec("UPDATE TA_CONFIGURACION SET VALOR = 'SI' WHERE CLAVE = 'PrintLogo_FC_NC_ND'");
    }

    // Benchmarks: one invoice of many lines, many invoices of five.
    std::vector<Line> lines;
    for (int k = 0; k < options.lines; ++k)
        lines.push_back({ 1 + k, "Artículo de prueba", 1.0 + k % 7, 100.0 + k, 100.0 + k, 21,
            k % 3 == 0 ? "L2611" : nullptr, nullptr });
    if (!lines.empty())
        w.voucher({ "FC", "000200009000A", "   1", "1120002", "Distribuidora D'Amico S.A.", "RI",
            "   1", "1", lines, "Comprobante de prueba de volumen." });
    for (int n = 1; n <= options.invoices; ++n) {
        const QByteArray id = "0002" + QByteArray::number(10000 + n).rightJustified(8, '0')
            + (n % 2 == 0 ? "B" : "A");
        std::vector<Line> five;
        for (int k = 0; k < 5; ++k)
            five.push_back({ n * 5 + k, "Artículo de prueba", 1.0 + k, 250.0 + k, 250.0 + k, 21,
                k == 0 ? "L2612" : nullptr, nullptr });
        w.voucher({ "FC", id.constData(), "   1", "1120002", "Distribuidora D'Amico S.A.", "RI",
            "   1", n % 2 == 0 ? "6" : "1", five });
    }
    lineForHeadersAlone(file, options.articles);
}

} // namespace DemoVouchers
