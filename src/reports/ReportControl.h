#pragma once

#include <QString>

#include "platform/Value.h"

// The report control the driver sets up and starts. The driver addresses it by the numbers of its
// settings, in the order the suite's driver always used, and the control keeps what it is given
// until the next print: one control stands behind ImprimirReporteCrystal and the report object
// gReporte, so a formula list or an export file set on one reaches a report printed by the other.
//
// Every member may raise RuntimeError; the driver reports it in its own Abort/Retry/Ignore box.
class ReportControl
{
public:
    // Settings and operations by number.
    enum Id : int
    {
        ArchivoReporte = 3, // report definition file
        Imprimir = 12, // operation: produce the report on its destination
        Seleccion = 13, // record selection of the report addressed
        Copias = 17, // copies to the printer
        Conexion = 20, // connection text of the report addressed
        Destino = 24, // destination of this print; 0 = the report object's
        Formula = 29, // indexed 0..4: "Name=value" formula slots
        Orden = 30, // indexed 0..n: "+{table.field}" sort slots
        Propio67 = 67, // the control's own; kept and not used
        OrigenDatos = 94, // data-source name of the connection text
        Usuario = 95, // user of the connection text
        Clave = 96, // password of the connection text
        Subreporte = 108, // selects the sub-report the next settings address; "" = main
        Cerrar = 112, // operation: end of the print sequence
        OpcionMotor = 115, // the caller's engine option; kept and not used
        Propio124 = 124, // the control's own; kept and not used
        DescartarDatos = 125, // every print reads its data anew; kept and not used
    };

    // Destinations, as the report object numbers them.
    enum Destinos : int
    {
        DestinoPantalla = 0,
        DestinoImpresora = 1,
        DestinoArchivo = 2,
        DestinoMail = 3,
    };

    virtual ~ReportControl() = default;

    // Forgets what the last report set (file, selection, connection, formula and sort slots,
    // sub-reports, destination), so nothing leaks from one print into the next. What belongs to
    // the report object (its destination, export file, formula list, printer) stays.
    virtual void nuevoTrabajo() = 0;

    virtual void set(int id, const Value& value) = 0;
    virtual void setIndexed(int id, int index, const Value& value) = 0;
    virtual void invoke(int id) = 0;
    // Properties set by name: "PrintFileName" (export file path), "PrintFileType" (export code).
    // Any other name raises run-time error 438.
    virtual void setByName(const QString& name, const Value& value) = 0;

    // --- What the report object keeps for the prints that follow ---

    // The destination a print with destination 0 goes to (one of Destinos).
    virtual void setDestinoObjeto(int destino) = 0;
    virtual int destinoObjeto() const = 0;
    // Formulas "Name=value" every following print applies before its own five slots, until
    // finalizaCorrida().
    virtual void setListaFormulas(const QStringList& formulas) = 0;
    // The printer of DestinoImpresora: its name (empty = the default printer) and the suite's
    // complement text (kept, not used here).
    virtual void setImpresora(const QString& nombre, const QString& complemento) = 0;
    // End of a run of prints: the formula list is dropped.
    virtual void finalizaCorrida() = 0;
};
