#pragma once

#include <array>
#include <optional>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "platform/Value.h"

class Steps;

// The report module: printing a report through the program's report control, temporary report
// files and the export of saved reports.
namespace RT_Crystal2 {

// The temporary report file of the last e-mail print (the document sender's): written by the
// price list's e-mail button, which hands it to the report object as "PrintFileName".
inline QString gArchivoRptTemporal;

// A formula text "Name=value" for one of the five formula slots; nullopt leaves the slot alone.
using FormulaOpcional = std::optional<QString>;

// One print as the driver hands it to the report control.
struct PedidoImpresion
{
    QString reporte; // a name, or a path (holding "\" or "/")
    QStringList camposOrden; // "+{table.field}", slot i = element i
    QString seleccion; // record selection of the main report
    QString conexion; // "DSN=...; UID=...; PWD=..."
    std::array<FormulaOpcional, 5> formulas;
    // Sub-reports 1 to 5; the first and the fourth may be "name|selection".
    std::array<QString, 5> subreportes;
    Value destino = Value(qint32(0)); // 0 = the destination set on the report object
    bool opcionMotor = false;
};

// The print sequence on the report control (one fresh job), every setting one statement of the
// driver's error box. False when the operator chose Abort (nothing further was set).
bool ImprimeSecuencia(const PedidoImpresion& pedido);

// Prints one report: report, sort list, selection, connection text, five optional formula texts,
// sub-reports 1 to 4, destination (0: the report object's), engine option, e-mail mode, caption
// of the sender, sub-report 5. In e-mail mode the current-account reports get their fixed
// sub-reports (written back into Subreporte1 and Subreporte2) and a blank TituloEnvio becomes the
// program's name. A blank program folder on the report object is refused with a message. Failures
// are shown in the driver's own Abort/Retry/Ignore box and never reach the caller.
void ImprimirReporteCrystal(const QString& Reporte, const QStringList& CamposOrden,
    const QString& Seleccion, const QString& Conexion, const FormulaOpcional& Formula1,
    const FormulaOpcional& Formula2, const FormulaOpcional& Formula3,
    const FormulaOpcional& Formula4, const FormulaOpcional& Formula5, QString& Subreporte1,
    QString& Subreporte2, const QString& Subreporte3, const QString& Subreporte4,
    const Value& DestinoReporte, bool OpcionMotor, bool EnviarPorMail, QString& TituloEnvio,
    const QString& Subreporte5 = QString());

// Sets a property of the report control by name ("PrintFileName", "PrintFileType"). A failure is
// shown ("Se ha producido el siguiente Error: ...") and the caller goes on.
void AsignarPropiedadReporte(const QString& Propiedad, const Value& ValorPropiedad);

// A path in the temporary folder (TEMP, else TMP, else the system's), named `NombreTmp` or, when
// that is empty, by the time of day (hhmmss), with `ExtensionTmp` (a leading "." is added to the
// caller's variable when missing). A file already at the path is deleted (silently kept when it
// cannot be).
QString ArchivoTemporal(const QString& NombreTmp, QString& ExtensionTmp);

// Writes the saved report `ArchivoOrigen` as `ArchivoDestino` in the format `TipoFormato` (31 PDF,
// 22 HTML, 15 RTF, 25 spreadsheet, 7 saved report, 5 CSV). A missing source is told
// ("No se encontró el Reporte: "); any other failure is silent, as callers look for the file.
// True when the file was written.
bool ExportarArchivoReporte(
    const QString& ArchivoOrigen, const QString& ArchivoDestino, int TipoFormato);

// The same export for the document sender, with its own error box ("Ha ocurrido el siguiente error
// al intentar exportar el Archivo ..."): Retry exports again, any other answer returns.
void ExportarArchivo(
    const QString& ArchivoReporte, const QString& ArchivoDestino, int FormatoExportacion);

// The attachment format of mailed documents, "eMail_formatoadjunto": the word as configured ("PDF"
// when blank) and its export code (FormatoExportacion). A word outside PDF, HTML, HTM, RTF, XLS
// and RPT is not `conocido` and reads as PDF.
struct FormatoAdjunto
{
    QString palabra;
    int codigo = 0;
    bool conocido = true;

    // The file extension: the word, but a spreadsheet is a workbook of today's format ("xlsx").
    QString extension() const;
};
FormatoAdjunto LeeFormatoAdjunto();

// Tells the operator that the configured format is not one of the accepted words and the mail goes
// as PDF.
void AvisaFormatoAdjuntoDesconocido();

// Makes (when missing) and returns the work folder of one mail below the temporary folder:
// "E-MAILS/ENVIOS/<dd-MM-yyyy>/<HH.mm.ss>" of `momento`, every level private to its owner.
// A level that cannot be made raises run-time error 75 naming it.
QString PreparaCarpetaEnvio(const QDateTime& momento);

// The files of one mailed report: its work folder "<temp>/E-MAILS/ENVIOS/<dd-MM-yyyy>/<HH.mm.ss>",
// the base name "hhmmss" and the file finally attached.
struct EnvioCorreoEnCurso
{
    QString carpeta;
    QString base;
    QString adjunto;
};

// Before the print of a mailed report: makes the work folder and points the report control's
// export file and type at it after "eMail_formatoadjunto" (a PDF is first saved as a report). A
// word outside the accepted ones is told and the mail goes as PDF. False when the operator chose
// Abort in the driver's box.
bool PreparaEnvioCorreo(Steps& pasos, EnvioCorreoEnCurso& envio);

// After the print: converts the saved report to PDF when that is the format, hands the file with
// the remembered texts to the document sender, stores the texts it leaves for the next mail and
// unloads it. A blank TituloEnvio becomes the program's name. False on Abort.
bool EntregaEnvioCorreo(Steps& pasos, EnvioCorreoEnCurso& envio, QString& TituloEnvio);

} // namespace RT_Crystal2
