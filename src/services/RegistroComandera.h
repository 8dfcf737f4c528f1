#pragma once

#include <QByteArray>
#include <QString>

// One record of "Comanderas.cfg": the kitchen or bar ticket printer of a workstation and how its
// tickets look. The file is a plain run of 910-byte records, seventeen Windows-1252 text fields
// each, blank-filled to their widths, no header. The file is prepared outside the program, which
// only reads it. Each field keeps its text at the field's full width; LimpiaCadenaFija gives the
// text without the fill.
struct RegistroComandera
{
    static constexpr int Longitud = 910;

    QString Puesto; // 254: computer name "|" login name
    QString Impresora; // 150: printer name; blank = no printer configured
    QString Puerto; //   5: "COM" and the port number
    QString Campo4; //   2: not read by the program
    QString ImprimeEncabezado1; //   1: "S" prints header line 1
    QString Encabezado1; // 150
    QString ImprimeEncabezado2; //   1: "S" prints header line 2
    QString Encabezado2; // 150
    QString ImprimeNumero; //   1: "S" prints the voucher type and number
    QString ImprimeCliente; //   1: "S" prints the customer
    QString ImprimePie; //   1: "S" prints the footer
    QString Pie; // 150: footer text, after the order title
    QString Campo13; //   1: not read by the program
    QString Campo14; //  20: not read by the program
    QString Campo15; //  20: not read by the program
    QString DetallePrecio; //   1: "S" item lines show prices
    QString Campo17; //   2: not read by the program

    // The record in `bytes` (exactly Longitud bytes; a shorter run is read as far as it goes).
    static RegistroComandera desdeBytes(const QByteArray& bytes);
    // The record as the file keeps it: each field blank-filled (or cut) to its width.
    QByteArray aBytes() const;
};
