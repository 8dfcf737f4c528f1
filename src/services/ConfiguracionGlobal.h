#pragma once

#include <QString>

class QWidget;

// The settings the whole program consults through gGlobales() instead of querying the settings
// table each time, loaded once at start-up, and the business unit's fiscal data.

// Loads the global settings from the settings table and the logged user's row (gDB() connected,
// gInicio().gUsuarioLogeado set). `CarpetaPrograma` ends in "/". Every step that fails is
// skipped and leaves its setting as it was; nothing is reported here (Cfg may report its own).
void CargaConfiguracionGlobal(const QString& CarpetaPrograma);

// The server name inside a server text: the text after the first "/" (a server group before it),
// cut before the first ":" (a port after it). "grupo/SRV1:1433" gives "SRV1".
QString ExtraeNombreServidor(const QString& Servidor);

// Called before a form's saved state is put back; this program prepares nothing.
void PreparaRecuperaConfigForm(QWidget* Formulario, const QString& Nombre);

// The fiscal identity of business unit `UNegocio`: its row of v_ta_unidadNegocio and its own
// settings ("..._UN_<unit>"), the company's settings for whatever is missing. The seven outputs
// are also inputs: one the steps do not overwrite keeps what the caller passed (the point of sale
// has no company fallback). Sets gGlobales().gCondicionIvaUN and gCondIva. Errors reach the
// caller (a VAT condition that is no number raises 13 after gCondicionIvaUN was set).
void DatosEmpresaUNegocio(const QString& UNegocio, QString& Nombre, QString& Cuit,
    QString& InicioActividades, QString& IngresosBrutos, QString& CondicionIva, QString& PuntoVenta,
    QString& Domicilio);

// A whole number as the settings' conversions read it: rounded half to even; blank or other
// text raises 13, a number outside -32768..32767 raises 6.
qint16 EnteroCorto(const QString& Texto);
