#pragma once

#include <QString>
#include <QStringList>

#include "platform/Service.h"
#include "platform/Value.h"
#include "services/ConstructorSentencias.h"

// The program's global settings, filled by the global-settings loader and read across the
// program, and the program-wide lists of the statement builders (the start-up values are in
// VariablesInicio). One instance, installed by src/app and
// reached through gGlobales(); a test installs its own. Loaders add their members here.
struct Globales
{
    // Name of the configuration table on the main database; a blank name is repaired to
    // "TA_CONFIGURACION" by the readers (Cfg, CfgAux), not by the writer.
    QString gTablaConfiguracion;
    // The skin number the form look read last.
    qint16 gEstiloSkin = 4;

    // --- Loaded once by CargaConfiguracionGlobal (the rest of the settings are read when needed)
    bool gMostrarStockEnConsultas = false;
    QString gTituloClientes;
    QString gTituloProveedores;
    // Task-document definitions: the program folder's "KZQDOCTareas.qzk".
    QString gArchivoDocTareas;
    bool gExigeClaveConsultaLike = false;
    bool gUsaConsultaLike = false;
    // Default decimals of amounts, as text (FmtMoneda reads its number).
    QString gCantidadDecimales;
    bool gUsaMultiplesMonedas = false;
    bool gUsaFacturaProforma = false;
    bool gUsaCCosto = false;
    bool gUsaStockUdKg = false;
    // The logged user's business unit, at its width of four ("   1" when the user has none).
    QString gUNegocio;
    // The logged user's price classes, commas removed.
    QString gClasePUsa;
    QString gUnidadMedidaM3;
    QString gUnidadMedidaBL;
    QString gUnidadMedidaKG;
    qint16 gPeriodo = 0;
    bool gRazonSocialPorUneg = false;
    bool gValidaCodigoBarra = false;
    bool gModuloOrdenDeTrabajo = false;
    // Background and text colour of the field that has the focus (0xBBGGRR). The start-up sets
    // white on black before the settings are read.
    qint32 gColorFondo = 0;
    qint32 gColorLetra = 0;
    bool gVModificaCPrecio = false;
    bool gCModificaCPrecio = false;
    // Timber-trade mode and its unit codes.
    bool gMaderera = false;
    QString gMadTiras;
    QString gMadP2;
    QString gMadML;
    QString gMadM2;
    QString gMadHojas;
    QString gMadMLP2;
    QString gMadM2P2;
    QString gMadMLM2;
    QString gCuentaCtroDist;
    Currency gMaxDto;
    Currency gMaxDtoProforma;
    bool gPideClaveStockNeg = false;
    bool gPideClaveMarkUpBase = false;
    bool gPideClaveLimiteCredito = false;
    bool gBloqueoActivo = false;
    // FechaServidor falls back on the setting FECHAOPERHASTA when the server gives no date.
    bool gUtilizarFechaDia = false;
    bool gAsignaLoteING = false;
    bool gAsignaLoteINGOP = false;
    // Default row limit of queries, as text ("1000" when the setting is blank).
    QString gTopDefault;
    // The VAT condition of the business unit DatosEmpresaUNegocio read last, as text and as a
    // number (at least 1 once the settings are loaded).
    QString gCondicionIvaUN;
    qint16 gCondIva = 0;

    // The report engine's data-source text: "DSN=<database>; UID=<login>; PWD=<password>".
    QString gCadenaODBC;
    // The application's help file, set at start-up; nothing on this platform shows it.
    QString gArchivoAyuda;

    // Command time-out of the main connection in seconds, read from the statistics database.
    qint16 gTimeOutComandos = 90;
    // Batch label of the voucher-action log; nothing in this program sets it.
    QString gProcesoLote;

    // The field/value list AgregaCampoValor fills (no list until one is started).
    ConstructorSentencias::ListaCamposValores gCamposValores;
    // Statements waiting for the script runner, separated by empty elements.
    QStringList gSentenciasSQL;
};

inline Globales& gGlobales()
{
    return Service<Globales>::get();
}
