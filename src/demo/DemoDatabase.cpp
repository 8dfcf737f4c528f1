#include "demo/DemoDatabase.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QStringList>

#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"
#include "demo/DemoCatalog.h"
#include "demo/DemoComanderas.h"
#include "demo/DemoReceipts.h"
#include "demo/DemoSending.h"
#include "demo/DemoVoucherPrint.h"
#include "demo/DemoVouchers.h"
#include "demo/DemoWorkFile.h"
#include "demo/SqliteFile.h"

namespace DemoDatabase {
namespace {

using namespace DemoCatalog;

// Every date of the demo is relative to this day, so the content never depends on the clock.
const QDate kReferenceDate(2026, 12, 1);

const char* const kCompanyName = "Ferretería y Almacén El Progreso S.R.L.";
const char* const kCompanyCuit = "30-71458294-8";
const char* const kCompanyMail = "ventas@elprogreso.example";
const char* const kProgram = "Rp_Tarifolio";
const char* const kSystem = "zr417px";
const char* const kUnit = "   1";
const char* const kPointOfSale = "0002";

// Price classes 1 to 8: their names and their factor over the list's base price.
struct PriceClass
{
    const char* name;
    double factor;
};
const PriceClass kPriceClasses[8] = {
    { "Contado", 1.00 },
    { "Cuenta Corriente", 1.06 },
    { "Tarjeta 1 pago", 1.08 },
    { "Mayorista", 0.90 },
    { "Gremio", 0.93 },
    { "Distribuidor", 0.85 },
    { "Tarjeta 3 cuotas", 1.15 },
    { "Especial", 0.95 },
};

// The price lists: sales lists "V" over the cost with their markup, purchase lists "C" over the
// supplier's price. `share` is the part of the articles that the list carries.
struct PriceList
{
    int code;
    const char* name;
    const char* type;
    const char* group; // nullptr: in no group
    double markup;
    bool withVat;
    double share;
};
const PriceList kLists[] = {
    { 1, "Lista Minorista", "V", "Mostrador", 1.45, true, 1.0 },
    { 2, "Lista Mayorista", "V", "Mayoristas", 1.25, false, 1.0 },
    { 3, "Lista Gremio", "V", "Mayoristas", 1.30, false, 1.0 },
    { 4, "Lista Web", "V", nullptr, 1.40, true, 0.6 },
    { 5, "Ofertas de Mostrador", "V", "Mostrador", 1.30, true, 0.1 },
    { 6, "Lista Empleados", "V", nullptr, 1.15, true, 0.3 },
    { 20, "Compras Generales", "C", nullptr, 1.00, false, 1.0 },
    { 21, "Compras Distribuidoras", "C", "Proveedores Mayoristas", 1.03, false, 0.4 },
    { 22, "Compras Importados", "C", "Proveedores Mayoristas", 0.97, false, 0.15 },
};

// Suppliers (indexes into suppliers()) that sell each section's articles.
const std::map<int, std::vector<int>> kSuppliersByRubro = {
    { 1, { 0, 1 } },
    { 2, { 0, 2 } },
    { 3, { 3 } },
    { 4, { 4 } },
    { 5, { 5 } },
    { 6, { 6 } },
    { 7, { 7, 8 } },
    { 8, { 9, 10 } },
    { 9, { 11, 7 } },
    { 10, { 12, 7 } },
    { 11, { 13 } },
    { 12, { 14, 15 } },
};

// A fixed pseudo-random sequence (splitmix64): the same on every machine and library.
class Sequence
{
public:
    std::uint64_t next()
    {
        m_state += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }
    double between(double low, double high) { return low + (high - low) * unit(); }
    bool chance(double p) { return unit() < p; }
    template <typename T> const T& pick(const std::vector<T>& items)
    {
        return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
    }

private:
    std::uint64_t m_state = 0x2026120100000001ULL;
};

// A code of the suite fitted to its width: digits right-aligned with blanks ("   1").
QString fitted(int number, int width = 4)
{
    return QString::number(number).rightJustified(width, QLatin1Char(' '));
}

QString zeroPadded(qint64 number, int width)
{
    return QString::number(number).rightJustified(width, QLatin1Char('0'));
}

QString dateTime(const QDate& date, int hour = 0, int minute = 0)
{
    return date.toString(QStringLiteral("yyyy-MM-dd ")) + zeroPadded(hour, 2) + QLatin1Char(':')
        + zeroPadded(minute, 2) + QStringLiteral(":00");
}

double money(double amount)
{
    return std::round(amount * 100.0) / 100.0;
}

// Passwords are stored scrambled, as the login check reads them.
QString scrambled(const QString& password)
{
    return Utilidades().Encripta(password);
}

QString ean13(const QString& twelveDigits)
{
    int sum = 0;
    for (int k = 0; k < 12; ++k)
        sum += twelveDigits.at(k).digitValue() * (k % 2 == 0 ? 1 : 3);
    return twelveDigits + QString::number((10 - sum % 10) % 10);
}

QString accountOfCustomer(int index)
{
    return QStringLiteral("112%1").arg(zeroPadded(index + 1, 4));
}

QString accountOfSupplier(int index)
{
    return QStringLiteral("211%1").arg(zeroPadded(index + 1, 4));
}

QString voucherId(int number, const char* letter)
{
    return QLatin1String(kPointOfSale) + zeroPadded(number, 8) + QLatin1String(letter);
}

// ---------------------------------------------------------------- the main database

class Writer
{
public:
    Writer(SqliteFile& file, int articles)
        : m_file(file)
        , m_articles(articles)
    {
    }

    void run()
    {
        configuration();
        usersAndAccess();
        referenceTables();
        accounts();
        catalogue();
        articles();
        vouchers();
        DemoReceipts::write(m_file);
        reports();
        DemoVoucherPrint::seed(m_file);
        DemoSending::write(m_file);
    }

private:
    // ---- configuration

    void configuration()
    {
        SqlInsert row(m_file, "TA_CONFIGURACION", "GRUPO,CLAVE,VALOR,valoraux,PoliticaNegocio");
        const auto datos
            = [&row](const char* key, const QString& value, const QString& aux = QString()) {
                  row << "DATOS" << key << value;
                  if (aux.isEmpty())
                      row << nullptr;
                  else
                      row << aux;
                  row << 0;
                  row.done();
              };
        const auto text = [](const char* value) { return QString::fromUtf8(value); };

        // Start-up and general settings, in the order the program reads them.
        datos("MostrarStockenConsultas", text("SI"));
        datos("TituloClientes", text("Clientes"));
        datos("TituloProveedores", text("Proveedores"));
        datos("EXIGECLAVECONSULTALIKEARTICULOS", text("NO"));
        datos("UsaConsultaLike", text("SI"));
        datos("CantidadDecimales", text("2"));
        datos("SS_CONFIDENCIALIDAD", text("NO"));
        datos("CantidadDecimalesVentas", text("2"));
        datos("UsaMultilesMonedas", text("NO"));
        datos("UsaFacturaProforma", text("NO"));
        datos("USACCOSTO", text("NO"));
        datos("USA_STK_STOCK_UDKG", text("NO"));
        datos("UNIDADDEMEDIDA_M3", text("M3"));
        datos("UNIDADDEMEDIDA_BL", text("BL"));
        datos("UNIDADDEMEDIDA_KG", text("KG"));
        datos("PERIODO", QString::number(kReferenceDate.year()));
        datos("RazonSocialPorUneg", text("NO"));
        datos("VALIDACODIGOBARRA", text("SI"));
        datos("CFondo", text("16777215"));
        datos("CLetra", text("0"));
        datos("ModuloOrdenDeTrabajo", text("NO"));
        datos("V_ModificaCPrecio", text("SI"));
        datos("C_ModificaCPrecio", text("SI"));
        datos("MADERERA", text("NO"));
        datos("MAD_TIRAS", text("TI"));
        datos("MAD_P2", text("P2"));
        datos("MAD_ML", text("ML"));
        datos("MAD_M2", text("M2"));
        datos("MAD_HOJAS", text("HO"));
        datos("MAD_ML_P2", text("0"));
        datos("MAD_M2_P2", text("0"));
        datos("MAD_ML_M2", text("0"));
        datos("CuentaCtroDist", text(""));
        datos("MaxDto", text("20"));
        datos("MaxDtoProforma", text("10"));
        datos("PideClave_StockNeg", text("NO"));
        datos("PideClave_MarkUpBase", text("NO"));
        datos("PideClave_LimiteCredito", text("NO"));
        datos("SS_BloqueoActivo", text("NO"));
        datos("UTILIZARFECHADIA", text("SI"));
        datos("AsignacionAutomaticaDeLoteING", text("NO"));
        datos("AsignacionAutomaticaDeLoteINGOP", text("NO"));
        datos("CONDIVAEMPRESA", text("RI"));
        datos("CONDIVA", text("CF"));
        datos("Top_Default", text("1000"));
        datos("FECHAOPERHASTA",
            kReferenceDate.addMonths(1).addDays(-1).toString(QStringLiteral("dd/MM/yyyy")));
        datos("SeparadorHora", text(":"));
        datos("THEME", text(""));

        // The company and its business unit.
        datos("NOMBRE", text(kCompanyName));
        datos("CUIT", text(kCompanyCuit));
        datos("INICIOACTIVIDADES", text("01/03/1987"));
        datos("NROINGRESOSBRUTOS", text("280-145829-4"));
        datos("CALLE", text("Av. San Martín"));
        datos("NUMERO", text("1450"));
        datos("PISO", text(""));
        datos("Departamento", text(""));
        datos("LOCALIDAD", text("Villa María"));
        datos("CPOSTAL", text("5900"));
        datos("TELEFONO", text("(0353) 452-1870"));
        datos("INICIO_ACTIVIDADES_UN_1", text("01/03/1987"));
        datos("INGRESOS_BRUTOS_UN_1", text("280-145829-4"));
        datos("CONDICIONIVA_UN_1", text("RI"));
        datos("DOMICILIO_UN_1", text("Av. San Martín 1450 - Villa María"));
        datos("FormaDePago_UN_1", text(""),
            text("Contado o transferencia bancaria. Cuenta corriente a 30 días para clientes "
                 "habilitados."));

        // Lookups and the price list.
        for (int level = 1; level <= 4; ++level) {
            static const char* const colours[] = { "255", "33023", "65535", "32768" };
            datos(QByteArray("Stk_Nivel" + QByteArray::number(level)).constData(),
                text(colours[level - 1]));
        }
        datos("TopConsArt", text("1000"));
        for (int k = 0; k < 8; ++k)
            datos(QByteArray("NOM_PCLASE" + QByteArray::number(k + 1)).constData(),
                text(kPriceClasses[k].name));
        datos("RETAIL", text("NO"));
        datos("PIVA", text("21"));

        // Report output and e-invoices.
        datos("FechaInicioeFacQR", text("01/01/2021"));
        datos("cfgFechaInicioeFacARCA", text("01/01/2021"));
        datos("RUTA_FORMULARIOS_EFACTURA", text(""));
        datos("copias_efactura", text("1"));
        datos("ImpresionPagosConSubReporte", text("NO"));
        datos("NPS_IMPRESION_COCINA", text("COMANDERA COCINA"), text("   7|   1"));

        // Mail and the document sender.
        datos("eMail_formatoadjunto", text("PDF"));
        datos("EMAIL_DE", text(kCompanyMail));
        datos("EMAIL_SERVER", text("Otro"));
        datos("EMAIL_USUARIO", text(kCompanyMail));
        datos("EMAIL_PASSWORD", text(""));
        datos("EMAIL_AUTENTICACION", text("NO"));
        datos("EMAIL_NOMBRE", text("Ventas El Progreso"));
        datos("EMAIL_OTROSERVER", text("localhost"));
        datos("EMAIL_PUERTO", text("25"));
        datos("EMAIL_PARARP_TARIFOLIO", text(""));
        datos("EMAIL_ASUNTORP_TARIFOLIO", text("Lista de precios"));
        datos("EMAIL_MENSAJERP_TARIFOLIO", text(""),
            text("Estimado cliente: le enviamos adjunta nuestra lista de precios vigente. "
                 "Quedamos a su disposición."));
        datos("GeneralinkPrespuesto", text("NO"));
        datos("CobranzasCopiasPorPagina", text("1"));
        datos("CobranzasItems", text("10"));
        datos("DATABASE_ID_WEB", text("106"));
        datos("NoMostrarImportesEnOT", text("NO"));
        datos("PrintLogo_FC_NC_ND", text("NO"));
        datos("PrintLogo_Proforma", text("NO"));
        datos("PrintLogo_Otros", text("NO"));
        datos("FORMULARIOS_LOGO_IZQUIERDA", text("SI"));
        datos("RutaImagenes", text(""));
        datos("IgnoraImportesCeroEnOC", text("NO"));
        datos("RobaIvaProforma", text("NO"));

        // Receipts.
        datos("IncluirCuitLibrador", text("SI"));
        datos("CuentaDesCuentosOtorgados", text("4110300"));
        datos("CuentaDesCuentosObtenidos", text("5110300"));
    }

    // ---- users, menu and access

    void usersAndAccess()
    {
        SqlInsert user(m_file, "TA_USUARIOS",
            "NOMBRE,SISTEMA,Password,Administrador,UNegocio,verproforma,clasepusa,"
            "Email_Nombre,eMail_Server,email_usuario,email_Password,email_ServerOtro,"
            "email_de");
        user << kAdminUser << kSystem << scrambled(QString::fromLatin1(kAdminPassword)) << 1
             << kUnit << true << "1,2,3,4,5,6,7,8"
             << "Administración El Progreso"
             << "Otro" << kCompanyMail << ""
             << "localhost" << kCompanyMail;
        user.done();
        user << kOrdinaryUser << kSystem << scrambled(QString::fromLatin1(kOrdinaryPassword)) << 0
             << kUnit << false << "1,2,3"
             << "Mostrador El Progreso"
             << "Otro"
             << "mostrador@elprogreso.example"
             << ""
             << "localhost"
             << "mostrador@elprogreso.example";
        user.done();

        SqlInsert menu(m_file, "TA_MENU", "Clave,Proceso,Nombre");
        menu << "VTA_LISTAS" << kProgram << "Listas de Precios";
        menu.done();
        menu << "VTA_FACTURAS"
             << "Rp_Facturacion"
             << "Facturación";
        menu.done();
        menu << "CTB_ASIENTOS"
             << "Rp_Contable"
             << "Asientos Contables";
        menu.done();

        SqlInsert task(m_file, "TA_TAREAS", "USUARIO,TAREA");
        for (const char* name : { kAdminUser, kOrdinaryUser }) {
            task << name << "VTA_LISTAS";
            task.done();
        }
        task << kAdminUser << "CTB_ASIENTOS";
        task.done();
    }

    // ---- small reference tables

    void referenceTables()
    {
        SqlInsert unit(m_file, "V_TA_UNIDADNEGOCIO",
            "codigo,Descripcion,razon_social,Cuit,PDV,usaefc,ruta_reporte");
        unit << kUnit << "Casa Central" << kCompanyName << kCompanyCuit << kPointOfSale << 1 << "";
        unit.done();

        simple("TA_CONDIVA", "Codigo,DESCRIPCION",
            { { "RI", "Responsable Inscripto" }, { "CF", "Consumidor Final" }, { "EX", "Exento" },
                { "MT", "Responsable Monotributo" }, { "NR", "No Responsable" } });
        simple("ta_monedas", "Codigo,Descripcion,Simbolo",
            { { "   1", "Pesos", "$" }, { "   2", "Dólares Estadounidenses", "U$S" },
                { "   3", "Euros", "€" } });
        SqlInsert rate(m_file, "TA_COTIZACION", "FECHA_HORA,MONEDA2,MONEDA3");
        for (int day = 30; day >= 0; --day) {
            rate << dateTime(kReferenceDate.addDays(-day), 10) << money(1450.0 + (30 - day) * 2.5)
                 << money(1570.0 + (30 - day) * 2.75);
            rate.done();
        }
        simple("V_TA_CPTE", "Codigo,Descripcion,SISTEMA",
            { { "FC", "Factura", "VENTAS" }, { "NC", "Nota de Crédito", "VENTAS" },
                { "ND", "Nota de Débito", "VENTAS" }, { "PR", "Presupuesto", "VENTAS" },
                { "NP", "Nota de Pedido", "VENTAS" }, { "RM", "Remito", "STOCK" },
                { "CB", "Recibo de Cobranza", "CONTABLE" }, { "PG", "Orden de Pago", "CONTABLE" },
                { "FCC", "Factura de Compra", "COMPRAS" },
                { "OC", "Orden de Compra", "COMPRAS" } });
        simple("V_TA_BANCOS", "IDBANCO,DESCRIPCION",
            { { "   1", "Banco de la Nación Argentina" },
                { "   2", "Banco de la Provincia de Córdoba" }, { "   3", "Banco Credicoop" },
                { "   4", "Banco Macro" } });
        simple("V_TA_VENDEDORES", "IdVendedor,NOMBRE",
            { { "   1", "Mostrador" }, { "   2", "Jorge Villarreal" },
                { "   3", "Natalia Ibarra" } });
        simple("V_TA_TECNICOS", "IDTECNICO,NOMBRE",
            { { "   1", "Mario Bustamante" }, { "   2", "Leandro Peña" } });
        simple("V_MA_MANTENIMIENTOS", "CODIGO,DESCRIPCION",
            { { "INST", "Instalación eléctrica" }, { "SANI", "Instalación sanitaria" },
                { "PINT", "Pintura de obra" } });
        simple("V_TA_Tareas", "IdTarea,Descripcion",
            { { "   1", "Armado de pedido" }, { "   2", "Entrega a domicilio" },
                { "   3", "Instalación" }, { "   4", "Corte de caños a medida" } });
        simple("V_TA_Unidad", "IdUnidad,Descripcion",
            { { "UN", "Unidad" }, { "KG", "Kilogramo" }, { "MT", "Metro" }, { "LT", "Litro" },
                { "M3", "Metro cúbico" }, { "BL", "Bolsa" } });
        simple("V_TA_STATUS", "CodigoEstado,Descripcion,Tipo",
            { { "PEND", "Pendiente", "NP" }, { "PREP", "En preparación", "NP" },
                { "ENTR", "Entregado", "NP" }, { "ANUL", "Anulado", "NP" } });
        simple("V_TA_CAJAS", "IdCaja,Descripcion,UNegocio",
            { { "   1", "Caja Mostrador", kUnit }, { "   2", "Caja Administración", kUnit } });
        simple("TA_CCOSTO", "CODIGO,Descripcion",
            { { "ADM", "Administración" }, { "VTA", "Ventas" }, { "DEP", "Depósito" } });
        simple("MA_POSICIONES", "IDPOSICION,Descripcion",
            { { "IVA", "Posición IVA" }, { "IIBB", "Ingresos Brutos" } });
        simple("ta_clasificaciones", "Codigo,Descripcion,Color",
            { { "   1", "Cliente preferencial", "32768" }, { "   2", "Moroso", "255" },
                { "   3", "Mayorista", "16711680" } });
        SqlInsert condition(m_file, "V_ta_Cpra_Vta", "idCOND_CPRA_VTA,DESCRIPCION,PORCRECARGO");
        const struct
        {
            int code;
            const char* name;
            double surcharge;
        } conditions[] = {
            { 1, "Contado efectivo", -5 },
            { 2, "Contado", 0 },
            { 3, "Cuenta corriente 30 días", 4 },
            { 4, "Cuenta corriente 60 días", 8 },
            { 5, "Tarjeta de crédito 1 pago", 6 },
            { 6, "Tarjeta de crédito 3 cuotas", 12.5 },
            { 7, "Tarjeta de crédito 6 cuotas", 22 },
            { 8, "Cheque diferido 30 días", 5 },
        };
        for (const auto& c : conditions) {
            condition << fitted(c.code) << c.name << c.surcharge;
            condition.done();
        }
        SqlInsert mutual(
            m_file, "v_mv_mutuales", "Descripcion,FECHAHORA_MODIFICACION,FECHAHORA_GRABACION");
        mutual << "Mutual Empleados de Comercio" << dateTime(kReferenceDate.addDays(-40), 9)
               << dateTime(kReferenceDate.addYears(-2), 9);
        mutual.done();
        SqlInsert warehouse(m_file, "V_TA_DEPOSITO", "IdDeposito,Descripcion,Unidad");
        for (const auto& [code, name] :
            std::vector<std::pair<int, const char*>> { { 1, "Depósito Central" },
                { 2, "Salón de Ventas" }, { 3, "Playa de Materiales" } }) {
            warehouse << fitted(code) << name << kUnit;
            warehouse.done();
        }
    }

    // ---- chart of accounts, customers, suppliers, contacts

    void accounts()
    {
        SqlInsert account(
            m_file, "MA_CUENTAS", "Codigo,CodigoOpcional,Descripcion,MedioDePago,TipoVista");
        const struct
        {
            const char* code;
            const char* name;
            const char* medium;
            const char* view;
        } ledger[] = {
            { "1110101", "Caja", "EF", "" },
            { "1110201", "Banco de la Nación Cta. Cte.", "DB", "BC" },
            { "1110202", "Banco de Córdoba Cta. Cte.", "DB", "BC" },
            { "1110301", "Valores a depositar", "CH", "" },
            { "1110401", "Tarjetas de crédito a cobrar", "TJ", "" },
            { "1110501", "Tarjetas de débito a cobrar", "DC", "" },
            { "1130101", "Retenciones de IVA sufridas", "RI", "" },
            { "1130102", "Retenciones de Ganancias sufridas", "RG", "" },
            { "1130103", "Retenciones de Ingresos Brutos sufridas", "RB", "" },
            { "1130104", "Otras retenciones sufridas", "RO", "" },
            { "1120000", "Deudores por ventas", "", "" },
            { "2110000", "Proveedores", "", "" },
            { "4110100", "Ventas", "", "" },
            { "4110300", "Descuentos otorgados", "", "" },
            { "5110100", "Compras", "", "" },
            { "5110300", "Descuentos obtenidos", "", "" },
        };
        for (const auto& l : ledger) {
            account << l.code << "" << l.name << l.medium << l.view;
            account.done();
        }

        SqlInsert daily(m_file, "AC_CUENTASDIARIO", "Cuenta,Descripcion");
        SqlInsert dailyCost(m_file, "AC_CUENTASDIARIO_CCOSTO", "Cuenta,CCosto,Descripcion");
        for (const auto& l : ledger) {
            daily << l.code << l.name;
            daily.done();
        }
        for (const char* cost : { "ADM", "VTA" }) {
            dailyCost << "5110100" << cost << "Compras";
            dailyCost.done();
        }

        SqlInsert customer(m_file, "VT_CLIENTES",
            "CODIGO,RAZON_SOCIAL,CONTACTO,CUIT,Domicilio,Localidad,Telefono,fax,"
            "email,Dada_De_Baja");
        SqlInsert supplier(m_file, "VT_PROVEEDORES",
            "CODIGO,RAZON_SOCIAL,CONTACTO,CUIT,Domicilio,Localidad,Telefono,email,"
            "Dada_De_Baja");
        SqlInsert extra(m_file, "MA_CUENTASADIC", "CODIGO,Mail");
        SqlInsert contact(m_file, "MA_CONTACTOS",
            "Nombre_y_Apellido,Cargo,Domicilio,Localidad,Telefono,CELULAR,email,"
            "CuentaRel,mailPGCB,MAILOT,MAILOC");
        SqlInsert link(m_file, "MA_CONTACTOS_CUENTAS", "IDCONTACTO,CUENTA");
        int contactId = 0;

        const auto addContact
            = [&](const QString& account, const QString& name, const char* role,
                  const QString& mail, const Party& party, bool payments, bool orders) {
                  contact << name << role << party.street << party.town << phone() << mobile()
                          << mail << account << payments << orders << false;
                  contact.done();
                  link << ++contactId << account;
                  link.done();
              };

        const std::vector<Party>& customerList = customers();
        for (int k = 0; k < static_cast<int>(customerList.size()); ++k) {
            const Party& p = customerList[static_cast<std::size_t>(k)];
            const QString code = accountOfCustomer(k);
            const QString mail = k == 0 ? QString() : mailOf(p.name);
            customer << code << p.name << p.contact << (k == 0 ? QString() : cuit(k)) << p.street
                     << p.town << phone() << (k == 0 ? QString() : mobile()) << mail << (k == 17);
            customer.done();
            account << code << QStringLiteral("C%1").arg(zeroPadded(k + 1, 4)) << p.name << ""
                    << "";
            account.done();
            if (k == 0)
                continue;
            extra << code << mail;
            extra.done();
            if (*p.contact != '\0')
                addContact(code, QString::fromUtf8(p.contact), "Responsable de compras", mail, p,
                    true, false);
        }

        const std::vector<Party>& supplierList = suppliers();
        for (int k = 0; k < static_cast<int>(supplierList.size()); ++k) {
            const Party& p = supplierList[static_cast<std::size_t>(k)];
            const QString code = accountOfSupplier(k);
            const QString mail = mailOf(p.name);
            supplier << code << p.name << p.contact << cuit(100 + k) << p.street << p.town
                     << phone() << mail << (k == 13);
            supplier.done();
            account << code << QStringLiteral("P%1").arg(zeroPadded(k + 1, 4)) << p.name << ""
                    << "";
            account.done();
            extra << code << mail;
            extra.done();
            addContact(code, QString::fromUtf8(p.contact), "Vendedor", mail, p, false, true);
            const QString first = QString::fromUtf8(m_random.pick(firstNames()));
            const QString second
                = first + QLatin1Char(' ') + QString::fromUtf8(m_random.pick(lastNames()));
            addContact(
                code, second, "Cobranzas", QStringLiteral("cobranzas.") + mail, p, true, false);
        }
    }

    // ---- sections, families, brands, price lists

    void catalogue()
    {
        SqlInsert rubro(m_file, "V_TA_RUBROS", "idrubro,Descripcion");
        for (const Rubro& r : rubros()) {
            rubro << fitted(r.code) << r.name;
            rubro.done();
        }
        SqlInsert family(m_file, "V_TA_FAMILIAS", "IdFamilia,Descripcion");
        for (const FamilyGroup& g : familyGroups()) {
            family << g.code << g.name;
            family.done();
        }
        for (const Family& f : families()) {
            family << f.code << f.name;
            family.done();
        }
        SqlInsert brand(m_file, "V_TA_MARCAS", "idtipo,Descripcion");
        for (const Brand& b : brands()) {
            brand << fitted(b.code) << b.name;
            brand.done();
        }
        SqlInsert list(m_file, "V_MA_PRECIOSCAB", "IDLISTA,NOMBRE,TIPOLISTA,GRUPO,Moneda");
        for (const PriceList& l : kLists) {
            list << fitted(l.code) << l.name << l.type;
            if (l.group == nullptr)
                list << nullptr;
            else
                list << l.group;
            list << "   1";
            list.done();
        }
    }

    // ---- articles, prices and stock

    void articles()
    {
        SqlInsert article(m_file, "V_MA_ARTICULOS",
            "IDARTICULO,Descripcion,idrubro,idfamilia,idtipo,cuentaProveedor,"
            "CodigoArtProveedor,CodigoBarra,IdUnidad,SUSPENDIDO,SUSPENDIDOC,TASAIVA,"
            "EXENTO,Pesable,talledefault,PUNTOPEDIDO,PRECIO1,PRECIO2,PRECIO3,"
            "PRECIO4,PRECIO5,PRECIO6,PRECIO7,PRECIO8");
        SqlInsert price(m_file, "MA_PRECIOS",
            "IdLista,IdArticulo,COSTO,PRECIO1,PRECIO2,PRECIO3,PRECIO4,PRECIO5,"
            "PRECIO6,PRECIO7,PRECIO8,ConIVA,FhOfertaDesde,FhOfertaHasta");
        SqlInsert stock(m_file, "STK_MA_ARTICULOS", "IDARTICULO,DEPOSITO,Stock,PUNTOPEDIDO");

        std::map<int, std::vector<const Brand*>> brandsByRubro;
        for (const Brand& b : brands())
            brandsByRubro[b.rubro].push_back(&b);
        const std::vector<Family>& familyList = families();

        for (int n = 1; n <= m_articles; ++n) {
            const Family& f = m_random.pick(familyList);
            const Brand& b = *m_random.pick(brandsByRubro.at(f.rubro));
            const int supplierIndex = m_random.pick(kSuppliersByRubro.at(f.rubro));
            const int variantIndex = m_random.below(static_cast<int>(f.variants.size()));
            QString description = QString::fromUtf8(m_random.pick(f.products));
            if (*f.variants[static_cast<std::size_t>(variantIndex)] != '\0')
                description += QLatin1Char(' ')
                    + QString::fromUtf8(f.variants[static_cast<std::size_t>(variantIndex)]);
            description += QLatin1Char(' ') + QString::fromUtf8(b.name);

            // Larger variants cost more; the list position stands for the size.
            const double cost
                = money(m_random.between(f.costMin, f.costMax) * (1.0 + 0.15 * variantIndex));
            const QString id = zeroPadded(n, 6);
            const bool suspended = m_random.chance(0.03);
            const bool suspendedForPurchases = suspended || m_random.chance(0.02);
            const bool exempt = f.rubro == 7 && m_random.chance(0.02);
            const double reorderPoint = 2 + m_random.below(20);
            const char* station = f.rubro == 8 ? "B" : (std::string(f.code) == "ALMFIA" ? "C" : "");

            struct Prices
            {
                double cost;
                double classes[8];
                bool withVat;
                QString offerFrom;
                QString offerTo;
            };
            std::vector<std::pair<const PriceList*, Prices>> rows;
            for (const PriceList& l : kLists) {
                if (l.share < 1.0 && !m_random.chance(l.share))
                    continue;
                Prices p {};
                p.withVat = l.withVat;
                const bool purchase = *l.type == 'C';
                p.cost = purchase ? money(cost * l.markup) : cost;
                double base = purchase ? p.cost : cost * l.markup;
                if (l.withVat)
                    base *= 1.0 + (exempt ? 0.0 : f.vat / 100.0);
                // Offers: every row of the offers list, a few of the others.
                const bool offer = l.code == 5 || (!purchase && m_random.chance(0.04));
                if (offer) {
                    const QDate from = kReferenceDate.addDays(m_random.below(60) - 30);
                    p.offerFrom = dateTime(from);
                    p.offerTo = dateTime(from.addDays(7 + m_random.below(60)));
                    base *= 0.9;
                }
                // A few prices still to be loaded (zero), and a few costs never loaded.
                const bool unpriced = !purchase && m_random.chance(0.01);
                if (m_random.chance(0.005))
                    p.cost = 0;
                for (int k = 0; k < 8; ++k) {
                    const double factor = purchase ? 1.0 - 0.02 * k : kPriceClasses[k].factor;
                    p.classes[k] = unpriced ? 0.0 : money(base * factor);
                }
                rows.emplace_back(&l, p);
            }

            const double* lookupPrices = nullptr;
            for (const auto& [list, p] : rows) {
                if (list->code == 1)
                    lookupPrices = p.classes;
            }
            article << id << description << fitted(f.rubro) << f.code << fitted(b.code)
                    << accountOfSupplier(supplierIndex)
                    << QStringLiteral("%1-%2").arg(
                           zeroPadded(supplierIndex + 1, 2), zeroPadded(m_random.below(100000), 5))
                    << ean13(QStringLiteral("779") + zeroPadded(4000000 + n, 9)) << f.unit
                    << suspended << suspendedForPurchases << f.vat << exempt << f.weighed << station
                    << reorderPoint;
            for (int k = 0; k < 8; ++k)
                article << (lookupPrices != nullptr ? lookupPrices[k] : 0.0);
            article.done();

            for (const auto& [list, p] : rows) {
                price << fitted(list->code) << id << p.cost;
                for (double value : p.classes)
                    price << value;
                price << p.withVat;
                if (p.offerFrom.isEmpty())
                    price << nullptr << nullptr;
                else
                    price << p.offerFrom << p.offerTo;
                price.done();
            }

            // Stock: everything in the central warehouse (some below the reorder point, a few
            // negative), part of it in the shop, building materials in the yard.
            stock << id << fitted(1) << static_cast<double>(m_random.below(140) - 8)
                  << reorderPoint;
            stock.done();
            if (m_random.chance(0.25)) {
                stock << id << fitted(2) << static_cast<double>(m_random.below(30)) << 2.0;
                stock.done();
            }
            if (f.rubro == 12) {
                stock << id << fitted(3) << static_cast<double>(m_random.below(400)) << 20.0;
                stock.done();
            }
        }
    }

    // ---- vouchers for the print buffers

    void vouchers()
    {
        SqlInsert header(m_file, "V_MV_CPTE",
            "TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,FECHA,CUENTA,nombre,"
            "CondicionIva,documentotipo,DOCUMENTONUMERO,Moneda,IMPORTE,CodCpteAfip,"
            "ComprobanteOrigen,TcOrigen,IdVendedor,transporte");
        SqlInsert item(m_file, "V_MV_CPTEINSUMOS",
            "TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDARTICULO,DESCRIPCION,IdUnidad,CANTIDAD,"
            "Cantidadpreparada,CANTIDADAFACTURAR,IMPORTE,Total,IMPORTE_S_IVA,alicIva,"
            "PorcDto,Impuestos,Nro_Lote,Nro_Serie,ControladoPor,CantidadUd,"
            "IdUnidadBase,Equiv_UDBase,CANTIDAD_ORIGEN,Ud_Pr,Importe_Ud");
        SqlInsert electronic(
            m_file, "V_MV_CPTE_ELECTRONICOS", "TC,IDCOMPROBANTE,Fecha_CPTE,CAE,VtoCAE");
        SqlInsert note(m_file, "V_MV_CPTE_Observ",
            "TC,IDCOMPROBANTE,IDCOMPLEMENTO,Tipo_Obs,Observacion,Importe,"
            "Importe_S_IVA,fechavj,NroViaje");
        SqlInsert entry(m_file, "MV_ASIENTOS",
            "TC,SUCURSAL,NUMERO,LETRA,[NUMERO ASIENTO],MES_OPERATIVO,PERIODO,FECHA,"
            "FECHASUBDIARIO,CABIMPORTE,CUENTA,Detalle,Importe,[DEBE-HABER],"
            "mediodepago,Moneda,Cotizacion,ChPropio,NROCOMPROBANTEBANCARIO,"
            "tj_observaciones,IdBanco,vencimiento,TJ_NroCupon,TJ_NroSocio,TJ_cuotas");
        SqlInsert applied(m_file, "MV_APLICACION",
            "TC,Sucursal,Numero,Letra,IDCOMPROBANTE,TCO_ORIGEN,SUCURSAL_ORIGEN,"
            "NUMERO_ORIGEN,LETRA_ORIGEN,IDCOMPROBANTE_ORIGEN,TC_PRINT,"
            "IDCOMPROBANTE_PRINT,CUENTA,IMPORTE");
        SqlInsert balance(m_file, "VE_SALDOAPLICACION",
            "TCO_ORIGEN,SUCURSAL_ORIGEN,NUMERO_ORIGEN,LETRA_ORIGEN,CUENTA,SALDO");

        struct Invoice
        {
            QString id;
            QString account;
            double total;
            QDate date;
            QString name;
        };
        std::vector<Invoice> invoices;
        const int articlePool = std::min(m_articles, 500);
        const int customerCount = static_cast<int>(customers().size());

        for (int k = 0; k < 15; ++k) {
            const int customerIndex = k % customerCount;
            const Party& p = customers()[static_cast<std::size_t>(customerIndex)];
            const bool finalConsumer = customerIndex == 0 || k % 3 == 0;
            const char* letter = finalConsumer ? "B" : "A";
            const QString id = voucherId(1200 + k, letter);
            const QDate date = kReferenceDate.addDays(-28 + 2 * k);
            const int lines = 2 + m_random.below(5);
            // Letter B charges the lines as priced with VAT; letter A their net, and the VAT
            // worked out once on it. The second invoice's installation counts as a line.
            double total = 0;
            qint64 netCents = k == 2 ? 2250000 : 0;
            for (int line = 0; line < lines; ++line) {
                const QString article = zeroPadded(1 + m_random.below(articlePool), 6);
                const double quantity = 1 + m_random.below(12);
                const double net = money(m_random.between(800, 25000));
                const double gross = money(net * 1.21);
                total += money(gross * quantity);
                netCents += std::llround(net * quantity * 100.0);
                item << "FC" << id << 0 << article << QStringLiteral("Artículo %1").arg(article)
                     << "UN" << quantity << quantity << quantity << gross << money(gross * quantity)
                     << net << 21.0 << 0.0 << 0.0 << (line == 0 && k % 4 == 1 ? "L2611|L2612" : "")
                     << ""
                     << "" << quantity << "UN" << 1.0 << quantity << "UN" << gross;
                item.done();
            }
            total = finalConsumer
                ? money(total)
                : static_cast<double>(netCents + (netCents * 21 + 50) / 100) / 100;
            if (k == 2) {
                SqlInsert task(m_file, "V_MV_CPTETAREAS",
                    "TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDTAREA,Descripcion,Horas,ValorHora,"
                    "Total,valorHora_S_Iva,descripcionadicional");
                task << "FC" << id << 0 << "   3"
                     << "Instalación" << 90.0 << 18150.0 << 27225.0 << 15000.0
                     << "Instalación de grifería en cocina.";
                task.done();
            }
            header << "FC" << id << 0 << kUnit << dateTime(date) << accountOfCustomer(customerIndex)
                   << p.name << (finalConsumer ? "CF" : "RI") << (finalConsumer ? "96" : "80")
                   << (finalConsumer ? QStringLiteral("2%1").arg(zeroPadded(7000000 + k, 7))
                                     : cuit(customerIndex))
                   << "   1" << total << (finalConsumer ? "6" : "1") << ""
                   << "" << fitted(1 + k % 3) << (k == 4 ? "Mesa 3" : "");
            header.done();
            electronic << "FC" << id << dateTime(date)
                       << QStringLiteral("7%1").arg(zeroPadded(4812000000000LL + k * 7919, 13))
                       << dateTime(date.addDays(10));
            electronic.done();
            if (k % 5 == 0) {
                note << "FC" << id << 0 << "EN"
                     << "Entregar por la mañana en el depósito." << 0.0 << 0.0
                     << dateTime(date.addDays(30)) << "";
                note.done();
            }
            invoices.push_back({ id, accountOfCustomer(customerIndex), total, date, p.name });
        }

        // One credit note on the first invoice.
        const QString creditId = voucherId(45, "A");
        header << "NC" << creditId << 0 << kUnit << dateTime(kReferenceDate.addDays(-5))
               << invoices[1].account << customers()[1].name << "RI"
               << "80" << cuit(1) << "   1" << money(invoices[1].total * 0.1) << "3"
               << invoices[1].id << "FC" << fitted(2) << "";
        header.done();

        // Receipts that apply payments to the invoices, with their journal lines.
        int entryNumber = 3100;
        for (int r = 0; r < 5; ++r) {
            const Invoice& invoice = invoices[static_cast<std::size_t>(1 + r * 2)];
            const QString receipt = voucherId(800 + r, "X");
            const QDate date = invoice.date.addDays(3);
            const double paid = r == 4 ? money(invoice.total / 2) : invoice.total;
            header << "CB" << receipt << 0 << kUnit << dateTime(date) << invoice.account
                   << invoice.name << ""
                   << ""
                   << ""
                   << "   1" << paid << ""
                   << ""
                   << "" << fitted(1) << "";
            header.done();
            applied << "CB" << kPointOfSale << receipt.mid(4, 8) << "X" << receipt << "FC"
                    << invoice.id.left(4) << invoice.id.mid(4, 8) << invoice.id.right(1)
                    << invoice.id << "CB" << receipt << invoice.account << paid;
            applied.done();
            balance << "FC" << invoice.id.left(4) << invoice.id.mid(4, 8) << invoice.id.right(1)
                    << invoice.account << money(invoice.total - paid);
            balance.done();

            ++entryNumber;
            const auto line = [&](const char* account, const char* detail, double amount,
                                  const char* side, const char* medium, const QString& bankNumber,
                                  const QString& bank, const QString& due, const QString& coupon,
                                  int instalments) {
                entry << "CB" << kPointOfSale << receipt.mid(4, 8) << "X" << entryNumber
                      << date.month() << date.year() << dateTime(date) << dateTime(date) << paid
                      << account << detail << amount << side << medium << "   1" << 1.0 << false
                      << bankNumber << (bankNumber.isEmpty() ? QString() : cuit(40 + r)) << bank;
                if (due.isEmpty())
                    entry << nullptr;
                else
                    entry << due;
                entry << coupon << "" << instalments;
                entry.done();
            };
            const double cash = money(paid * 0.4);
            const double rest = money(paid - cash);
            line("1110101", "Efectivo", cash, "D", "EF", QString(), QString(), QString(), QString(),
                0);
            if (r % 2 == 0)
                line("1110301", "Cheque", rest, "D", "CH", zeroPadded(45120300 + r, 8),
                    fitted(1 + r % 4), dateTime(date.addDays(30)), QString(), 0);
            else
                line("1110401", "Tarjeta de crédito", rest, "D", "TJ", QString(), QString(),
                    QString(), zeroPadded(3301 + r, 6), 3);
            line(invoice.account.toLatin1().constData(), "Cancelación de facturas", paid, "H", "",
                QString(), QString(), QString(), QString(), 0);
        }

        SqlInsert purchase(
            m_file, "C_MV_CPTE", "TC,IDCOMPROBANTE,IDCOMPLEMENTO,FECHA,CUENTA,IMPORTE");
        for (int k = 0; k < 6; ++k) {
            purchase << "FCC"
                     << (QStringLiteral("0001") + zeroPadded(5500 + k, 8) + QLatin1Char('A')) << 0
                     << dateTime(kReferenceDate.addDays(-20 + 3 * k)) << accountOfSupplier(k * 2)
                     << money(m_random.between(150000, 900000));
            purchase.done();
        }
        SqlInsert movement(m_file, "V_MV_STOCK", "TC,IDCOMPROBANTE,IDCOMPLEMENTO,FECHA,DEPOSITO");
        for (int k = 0; k < 3; ++k) {
            movement << "RM" << voucherId(300 + k, "R") << 0
                     << dateTime(kReferenceDate.addDays(-10 + k)) << fitted(1);
            movement.done();
        }

        SqlInsert diary(m_file, "V_MV_DIARIOS",
            "TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDTAREA,Descripcion,Observaciones,Minutos");
        diary << "FC" << invoices[2].id << 0 << "   3"
              << "Instalación"
              << "Se reemplazó el flexible." << 90;
        diary.done();

        SqlInsert accountsOfVat(m_file, "TA_CUENTASIVA",
            "CB_RETIVA,CB_RETGAN,CB_RETIB,CB_DESCUENTO,PG_RETIVA,PG_RETGAN,"
            "PG_RETIB,PG_DESCUENTO,CFI_RETPERC,CFI_RETIGAN,CFI_RETIBTOS");
        accountsOfVat << "1130101"
                      << "1130102"
                      << "1130103"
                      << "4110300"
                      << "1130101"
                      << "1130102"
                      << "1130103"
                      << "5110300"
                      << "1130104"
                      << "1130102"
                      << "1130103";
        accountsOfVat.done();

        SqlInsert printer(m_file, "TA_CONFIG_IMP_CPTE",
            "TC,LETRA,USUARIO,impresora,CantCopias,CantLineas,DestinoDefault");
        for (const auto& [tc, letter] : std::vector<std::pair<const char*, const char*>> {
                 { "FC", "A" }, { "FC", "B" }, { "NC", "A" }, { "CB", "X" } }) {
            printer << tc << letter << nullptr << "PDF|"
                    << "1"
                    << "30"
                    << "Pantalla";
            printer.done();
        }

        SqlInsert rule(
            m_file, "v_ma_email", "codigoactivador,baja,SinConfirmacion,De,Para,Asunto,Mensaje");
        rule << "FC,NC,CB" << false << nullptr << kCompanyMail << ""
             << "Comprobante"
             << "Le enviamos adjunto su comprobante. Muchas gracias por su compra.";
        rule.done();

        SqlInsert dispatch(m_file, "stk_despachos", "NroLote,ControladoPor,Descripcion");
        dispatch << "L2611"
                 << "LOTE"
                 << "Lote de producción noviembre";
        dispatch.done();
        dispatch << "L2612"
                 << "LOTE"
                 << "Importado de Brasil";
        dispatch.done();
    }

    // ---- report files of the price list

    void reports()
    {
        SqlInsert report(
            m_file, "TA_REPORTES", "NOMBRE,Descripcion,Archivo,Archivo2,Archivo3,Archivo4");
        const struct
        {
            const char* name;
            const char* caption;
        } list[] = {
            { "RP_ListaPrecios", "Lista de precios" },
            { "RP_ListaPreciosRubro", "Lista de precios por rubro" },
            { "RP_ListaPreciosFamilia", "Lista de precios por familia" },
            { "RP_ListaPreciosProveedor", "Lista de precios por proveedor" },
            { "RP_ListaPrecios_Sel", "Lista de precios por condiciones" },
            { "RP_ListaPreciosRubro_Sel", "Lista de precios por condiciones y rubro" },
            { "RP_ListaPreciosFamilia_Sel", "Lista de precios por condiciones y familia" },
            { "RP_ListaPreciosProveedor_Sel", "Lista de precios por condiciones y proveedor" },
            { "RP_ListaPreciosDescRecPN", "Lista de precios de compra" },
            { "RP_ListaPreciosDescRecPNRubro", "Lista de precios de compra por rubro" },
            { "RP_ListaPreciosDescRecPNFamilia", "Lista de precios de compra por familia" },
            { "RP_ListaPreciosDescRecPNProveedor", "Lista de precios de compra por proveedor" },
            { "RP_LISTAPRECIOSAC", "Análisis de costos" },
            { "MA_PRE2", "Etiquetas de precios" },
        };
        for (const auto& r : list) {
            report << r.name << r.caption << QString::fromLatin1(r.name) + QStringLiteral(".rpt")
                   << ""
                   << ""
                   << "";
            report.done();
        }
    }

    // ---- helpers

    // Rows of a small table, every value text.
    void simple(
        const char* table, const char* columns, const std::vector<std::vector<const char*>>& rows)
    {
        if (rows.empty())
            return;
        SqlInsert insert(m_file, table, columns);
        for (const auto& row : rows) {
            for (const char* value : row)
                insert << value;
            insert.done();
        }
    }

    QString phone()
    {
        const QString exchange = zeroPadded(m_random.below(100), 2);
        const QString line = zeroPadded(m_random.below(10000), 4);
        return QStringLiteral("(0353) 4%1-%2").arg(exchange, line);
    }

    QString mobile()
    {
        return QStringLiteral("549353%1").arg(zeroPadded(5000000 + m_random.below(5000000), 7));
    }

    // A valid CUIT for the k-th party (check digit by the tax authority's weights).
    // A number whose check digit would be 10 has none: the next one is taken.
    static QString cuit(int k)
    {
        static const int weights[10] = { 5, 4, 3, 2, 7, 6, 5, 4, 3, 2 };
        for (int number = 70100000 + k * 7331;; ++number) {
            const QString body = QStringLiteral("30") + zeroPadded(number, 8);
            int sum = 0;
            for (int d = 0; d < 10; ++d)
                sum += body.at(d).digitValue() * weights[d];
            const int check = (11 - sum % 11) % 11;
            if (check != 10)
                return body.left(2) + QLatin1Char('-') + body.mid(2) + QLatin1Char('-')
                    + QString::number(check);
        }
    }

    static QString mailOf(const char* name)
    {
        QString local;
        for (const QChar c : QString::fromUtf8(name).normalized(QString::NormalizationForm_D)) {
            if (c.isLetterOrNumber() && c.unicode() < 0x80)
                local += c.toLower();
            if (local.size() >= 16)
                break;
        }
        return QStringLiteral("info@%1.example").arg(local);
    }

    SqliteFile& m_file;
    int m_articles;
    Sequence m_random;
};

QByteArray resourceText(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(53, QStringLiteral("Falta el archivo interno %1").arg(name),
            QStringLiteral("DemoDatabase"));
    return file.readAll();
}

// Every voucher names its customer or supplier as the account's own row does, with its own tax
// number; an account without one (the final consumer) gets none.
void partiesAsTheirAccounts(SqliteFile& file)
{
    for (const char* table : { "VT_CLIENTES", "VT_PROVEEDORES" }) {
        const QByteArray from
            = QByteArray(" FROM ") + table + " p WHERE p.CODIGO = V_MV_CPTE.CUENTA)";
        const QByteArray name = "(SELECT p.RAZON_SOCIAL" + from;
        const QByteArray cuit = "(SELECT p.CUIT" + from;
        file.exec("UPDATE V_MV_CPTE SET nombre = " + name + ", documentotipo = CASE WHEN coalesce("
            + cuit + ", '') = '' THEN '99' ELSE '80' END, DOCUMENTONUMERO = coalesce(" + cuit
            + ", '') WHERE CUENTA IN (SELECT CODIGO FROM " + table + ")");
    }
}

// Writes one database under a name of its own in the folder (two runs into one folder never
// write the same file), to be put in place in one step (see DemoWorkFile), so that the folder
// holds either the earlier file or the whole new one under the final name, never none.
template <typename Fill>
std::unique_ptr<DemoWorkFile> writeFile(
    const QString& folder, const QString& name, const QString& schema, Fill fill)
{
    auto work = std::make_unique<DemoWorkFile>(QDir(folder).filePath(name));
    SqliteFile file(work->path());
    // A fresh file that is put in place only when complete needs no journal.
    file.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;");
    file.exec("BEGIN");
    file.exec(resourceText(schema));
    fill(file);
    file.exec("COMMIT");
    file.exec("ANALYZE");
    file.close();
    return work;
}

} // namespace

QString write(const Options& options)
{
    if (options.articles < 1)
        return QStringLiteral("La cantidad de artículos debe ser 1 o más.");
    if (!QDir().mkpath(options.folder))
        return QStringLiteral("No se puede crear la carpeta %1").arg(options.folder);
    try {
        const std::unique_ptr<DemoWorkFile> demo
            = writeFile(options.folder, QStringLiteral("DEMO.db"),
                QStringLiteral(":/demo/schema.sql"), [&options](SqliteFile& file) {
                    Writer(file, options.articles).run();
                    DemoVouchers::write(
                        file, { options.articles, options.voucherLines, options.voucherInvoices });
                    DemoComanderas::seed(file, options.articles);
                    partiesAsTheirAccounts(file);
                });
        const std::unique_ptr<DemoWorkFile> statistics
            = writeFile(options.folder, QStringLiteral("KZQ_ESTADISTICAS.db"),
                QStringLiteral(":/demo/schema_estadisticas.sql"), [](SqliteFile& file) {
                    SqlInsert row(file, "TA_CONFIGURACION", "GRUPO,CLAVE,VALOR,valoraux");
                    row << "BaseDeDatos"
                        << "TIMEOUT"
                        << "90" << nullptr;
                    row.done();
                    row << "DATOS"
                        << "FTP_CODIGOCTA"
                        << "DEMO0001" << nullptr;
                    row.done();
                });
        // Both names are checked before either file is replaced: a file that cannot be replaced
        // leaves both as they were. The turns are always taken in this order, so two runs never
        // wait for each other's.
        demo->takeTurn(options.keepExisting);
        statistics->takeTurn(options.keepExisting);
        demo->putInPlace(options.keepExisting);
        statistics->putInPlace(options.keepExisting);
    } catch (const RuntimeError& error) {
        return error.description();
    }
    return DemoComanderas::escribeComanderas(options.folder);
}

} // namespace DemoDatabase
