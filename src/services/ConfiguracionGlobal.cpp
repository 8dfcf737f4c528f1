#include "services/ConfiguracionGlobal.h"

#include <cmath>
#include <cstdlib>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Clock.h"
#include "platform/LeadingNumber.h"
#include "platform/RuntimeError.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "services/Configuracion.h"
#include "services/Globales.h"
#include "services/VariablesInicio.h"
#include "texttools/ErroresEjecucion.h"

namespace {

using Configuracion::Cfg;

// Missing keys read as " "; the reading rules below say what a blank means for each setting.
bool esSi(const QString& valor)
{
    return valor.compare(QStringLiteral("SI"), Qt::CaseInsensitive) == 0;
}

bool esSiRecortado(const QString& valor)
{
    return esSi(valor.trimmed());
}

bool noEsNo(const QString& valor)
{
    return valor.trimmed().compare(QStringLiteral("NO"), Qt::CaseInsensitive) != 0;
}

// A blank setting is off; a set one is on unless it says NO exactly (" no " is on: the suite's
// other programs compare the stored text as it is).
bool puestoYNoNo(const QString& valor)
{
    if (valor.trimmed().isEmpty())
        return false;
    return valor.compare(QStringLiteral("NO"), Qt::CaseInsensitive) != 0;
}

qint16 enteroInicial(const QString& valor)
{
    const double numero = std::nearbyint(leadingNumber(valor));
    if (numero < -32768 || numero > 32767)
        ErroresEjecucion::Lanza(ErroresEjecucion::Desbordamiento, QStringLiteral("Rp_Tarifolio"));
    return qint16(numero);
}

qint32 color(const QString& valor)
{
    return qint32(std::nearbyint(gUtilidades().ValorMoneda(valor).toDouble()));
}

void leeUsuario(Steps& pasos, Globales& g)
{
    AdoRecordset registro;
    QString sql = QStringLiteral("Select * from ta_usuarios  with(nolock)  where Nombre = ")
        + ConsultasDatos::literal(gInicio().gUsuarioLogeado);
    pasos.run([&] { gDB().AbrirRecordset(sql, registro); });
    if (registro.State() == adStateOpen && !registro.Eof()) {
        pasos.run([&] {
            g.gUNegocio
                = gUtilidades().ValorCampo(registro.Fields(QStringLiteral("UNegocio")).Value());
        });
        // The user's flag can only narrow the company's switch.
        pasos.run([&] {
            if (g.gUsaFacturaProforma)
                g.gUsaFacturaProforma
                    = registro.Fields(QStringLiteral("verproforma")).Value().toBool();
        });
        pasos.run([&] {
            g.gClasePUsa = gUtilidades().QuitaCaracteres(
                gUtilidades()
                    .ValorCampo(registro.Fields(QStringLiteral("clasepusa")).Value())
                    .trimmed(),
                QStringLiteral(","));
        });
    }
    pasos.run([&] { gDB().CierraRecordset(registro); });
    // The default unit, at the code's width of four.
    if (g.gUNegocio.isEmpty())
        g.gUNegocio = QStringLiteral("   1");
}

} // namespace

qint16 EnteroCorto(const QString& Texto)
{
    if (Texto.trimmed().isEmpty())
        ErroresEjecucion::Lanza(RuntimeError::TypeMismatch, QStringLiteral("Rp_Tarifolio"));
    const qint32 numero = gUtilidades().ValorEntero(Texto);
    if (numero < -32768 || numero > 32767)
        ErroresEjecucion::Lanza(ErroresEjecucion::Desbordamiento, QStringLiteral("Rp_Tarifolio"));
    return qint16(numero);
}

QString ExtraeNombreServidor(const QString& Servidor)
{
    QString nombre = Servidor;
    const qsizetype barra = nombre.indexOf(u'/');
    if (barra >= 0)
        nombre = nombre.mid(barra + 1);
    const qsizetype puerto = nombre.indexOf(u':');
    if (puerto >= 0)
        nombre = nombre.left(puerto);
    return nombre;
}

void PreparaRecuperaConfigForm(QWidget*, const QString&) { }

void DatosEmpresaUNegocio(const QString& UNegocio, QString& Nombre, QString& Cuit,
    QString& InicioActividades, QString& IngresosBrutos, QString& CondicionIva, QString& PuntoVenta,
    QString& Domicilio)
{
    if (!UNegocio.isEmpty()) {
        const QString codigo = gUtilidades().FormateaCodigo(UNegocio, 4);
        AdoRecordset unidad;
        if (gDB().ExisteEnTabla(QStringLiteral("v_ta_unidadNegocio"), codigo,
                QStringLiteral("codigo"), &unidad, Value(qint32(adBSTR)), QString(), true)) {
            const auto campo = [&](const char* nombre) {
                return gUtilidades().ValorCampo(unidad.Fields(QString::fromLatin1(nombre)).Value());
            };
            Nombre = campo("razon_social");
            Cuit = campo("Cuit");
            if (!Cuit.isEmpty()) {
                const QString clave = codigo.trimmed();
                InicioActividades = Cfg(QStringLiteral("INICIO_ACTIVIDADES_UN_") + clave).trimmed();
                IngresosBrutos = Cfg(QStringLiteral("INGRESOS_BRUTOS_UN_") + clave).trimmed();
                CondicionIva = Cfg(QStringLiteral("CONDICIONIVA_UN_") + clave).trimmed();
                Domicilio = Cfg(QStringLiteral("DOMICILIO_UN_") + clave).trimmed();
            } else {
                // A unit without a tax number of its own trades under the company's identity.
                Nombre.clear();
                InicioActividades.clear();
                IngresosBrutos.clear();
                CondicionIva.clear();
                Domicilio.clear();
            }
            PuntoVenta = campo("PDV").trimmed();
        }
        gDB().CierraRecordset(unidad);
    }

    if (Nombre.isEmpty())
        Nombre = Cfg(QStringLiteral("NOMBRE"));
    if (Cuit.isEmpty())
        Cuit = Cfg(QStringLiteral("cuit"));
    if (CondicionIva.isEmpty())
        CondicionIva = Cfg(QStringLiteral("CONDIVAEMPRESA"));
    if (InicioActividades.isEmpty())
        InicioActividades = Cfg(QStringLiteral("INICIOACTIVIDADES")).trimmed();
    if (IngresosBrutos.isEmpty())
        IngresosBrutos = Cfg(QStringLiteral("NROINGRESOSBRUTOS")).trimmed();
    if (Domicilio.isEmpty()) {
        // The blanks are the suite's printed layout: one, two before the floor, one.
        Domicilio = Cfg(QStringLiteral("CALLE")) + u' ' + Cfg(QStringLiteral("NUMERO"))
            + QStringLiteral("  ") + Cfg(QStringLiteral("PISO")) + u' '
            + Cfg(QStringLiteral("Departamento"));
    }

    Globales& g = gGlobales();
    g.gCondicionIvaUN = CondicionIva;
    g.gCondIva = EnteroCorto(CondicionIva);
}

void CargaConfiguracionGlobal(const QString& CarpetaPrograma)
{
    Globales& g = gGlobales();
    Steps pasos = Steps::silent();
    const auto lee = [&](auto&& asigna) { pasos.run(asigna); };

    // Seeded from the clock's time of day, once per load.
    std::srand(static_cast<unsigned>(Now().time().msecsSinceStartOfDay()));
    g.gTablaConfiguracion = QStringLiteral("ta_configuracion");
    lee([&] { g.gMostrarStockEnConsultas = esSi(Cfg(QStringLiteral("MostrarStockenConsultas"))); });
    lee([&] { g.gTituloClientes = Cfg(QStringLiteral("TituloClientes")).trimmed(); });
    lee([&] { g.gTituloProveedores = Cfg(QStringLiteral("TituloProveedores")).trimmed(); });
    g.gArchivoDocTareas = CarpetaPrograma + QStringLiteral("KZQDOCTareas.qzk");
    lee([&] {
        g.gExigeClaveConsultaLike = esSi(Cfg(QStringLiteral("EXIGECLAVECONSULTALIKEARTICULOS")));
    });
    lee([&] { g.gUsaConsultaLike = esSi(Cfg(QStringLiteral("UsaConsultaLike"))); });
    lee([&] { g.gCantidadDecimales = Cfg(QStringLiteral("CantidadDecimales")); });
    lee([&] {
        const bool confidencialidad = esSi(Cfg(QStringLiteral("SS_CONFIDENCIALIDAD")));
        if (DataSettings* datos = Service<DataSettings>::tryGet())
            datos->gConfidencialidad = confidencialidad;
    });
    // The suite's sales programs take their decimals from "CantidadDecimalesVentas"; this program
    // is none of them and keeps "CantidadDecimales".
    lee([&] { g.gUsaMultiplesMonedas = esSi(Cfg(QStringLiteral("UsaMultilesMonedas"))); });
    lee([&] { g.gUsaFacturaProforma = esSi(Cfg(QStringLiteral("UsaFacturaProforma"))); });
    lee([&] { g.gUsaCCosto = esSi(Cfg(QStringLiteral("USACCOSTO"))); });
    lee([&] { g.gUsaStockUdKg = esSi(Cfg(QStringLiteral("USA_STK_STOCK_UDKG"))); });
    leeUsuario(pasos, g);
    lee([&] { g.gUnidadMedidaM3 = Cfg(QStringLiteral("UNIDADDEMEDIDA_M3")).trimmed(); });
    lee([&] { g.gUnidadMedidaBL = Cfg(QStringLiteral("UNIDADDEMEDIDA_BL")).trimmed(); });
    lee([&] { g.gUnidadMedidaKG = Cfg(QStringLiteral("UNIDADDEMEDIDA_KG")).trimmed(); });
    lee([&] { g.gPeriodo = enteroInicial(Cfg(QStringLiteral("PERIODO"))); });
    lee([&] { g.gRazonSocialPorUneg = esSiRecortado(Cfg(QStringLiteral("RazonSocialPorUneg"))); });
    lee([&] { g.gValidaCodigoBarra = esSiRecortado(Cfg(QStringLiteral("VALIDACODIGOBARRA"))); });
    lee([&] { g.gColorFondo = color(Cfg(QStringLiteral("CFondo"))); });
    lee([&] { g.gColorLetra = color(Cfg(QStringLiteral("CLetra"))); });
    // No background colour means cyan; a text colour of 0 is black and stays.
    if (g.gColorFondo == 0)
        g.gColorFondo = 0xFFFF00;
    lee([&] { g.gModuloOrdenDeTrabajo = noEsNo(Cfg(QStringLiteral("ModuloOrdenDeTrabajo"))); });
    lee([&] { g.gVModificaCPrecio = puestoYNoNo(Cfg(QStringLiteral("V_ModificaCPrecio"))); });
    lee([&] { g.gCModificaCPrecio = puestoYNoNo(Cfg(QStringLiteral("C_ModificaCPrecio"))); });
    lee([&] { g.gMaderera = puestoYNoNo(Cfg(QStringLiteral("MADERERA"))); });
    const std::pair<const char*, QString*> maderera[] = {
        { "MAD_TIRAS", &g.gMadTiras },
        { "MAD_P2", &g.gMadP2 },
        { "MAD_ML", &g.gMadML },
        { "MAD_M2", &g.gMadM2 },
        { "MAD_HOJAS", &g.gMadHojas },
        { "MAD_ML_P2", &g.gMadMLP2 },
        { "MAD_M2_P2", &g.gMadM2P2 },
        { "MAD_ML_M2", &g.gMadMLM2 },
    };
    // A pair, not a structured binding: clang before 16 cannot capture a binding (fuzz build).
    for (const auto& par : maderera)
        lee([&] { *par.second = Cfg(QString::fromLatin1(par.first)).trimmed(); });
    lee([&] { g.gCuentaCtroDist = Cfg(QStringLiteral("CuentaCtroDist")).trimmed(); });
    lee([&] { g.gMaxDto = gUtilidades().ValorMoneda(Cfg(QStringLiteral("MaxDto")).trimmed()); });
    lee([&] {
        g.gMaxDtoProforma
            = gUtilidades().ValorMoneda(Cfg(QStringLiteral("MaxDtoProforma")).trimmed());
    });
    lee([&] { g.gPideClaveStockNeg = puestoYNoNo(Cfg(QStringLiteral("PideClave_StockNeg"))); });
    lee([&] { g.gPideClaveMarkUpBase = puestoYNoNo(Cfg(QStringLiteral("PideClave_MarkUpBase"))); });
    lee([&] {
        g.gPideClaveLimiteCredito = puestoYNoNo(Cfg(QStringLiteral("PideClave_LimiteCredito")));
    });
    lee([&] { g.gBloqueoActivo = esSi(Cfg(QStringLiteral("SS_BloqueoActivo"))); });
    lee([&] { g.gUtilizarFechaDia = esSi(Cfg(QStringLiteral("UTILIZARFECHADIA"))); });
    lee([&] { g.gAsignaLoteING = esSi(Cfg(QStringLiteral("AsignacionAutomaticaDeLoteING"))); });
    lee([&] { g.gAsignaLoteINGOP = esSi(Cfg(QStringLiteral("AsignacionAutomaticaDeLoteINGOP"))); });
    lee([&] { g.gCondIva = enteroInicial(Cfg(QStringLiteral("CONDIVAEMPRESA"))); });
    if (g.gCondIva == 0)
        lee([&] { g.gCondIva = enteroInicial(Cfg(QStringLiteral("CONDIVA"))); });
    lee([&] {
        QString nombre, cuit, inicio, ingresos, condicion, puntoVenta, domicilio;
        DatosEmpresaUNegocio(
            g.gUNegocio, nombre, cuit, inicio, ingresos, condicion, puntoVenta, domicilio);
    });
    lee([&] { g.gCondIva = EnteroCorto(g.gCondicionIvaUN); });
    if (g.gCondIva == 0)
        g.gCondIva = 1;
    lee([&] {
        g.gTopDefault = Cfg(QStringLiteral("Top_Default"));
        if (g.gTopDefault.trimmed().isEmpty())
            g.gTopDefault = QStringLiteral("1000");
    });
}
