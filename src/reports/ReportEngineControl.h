#pragma once

#include <map>
#include <memory>
#include <optional>

#include <QString>
#include <QStringList>

#include "reports/ReportControl.h"

class PdfWriters;
class ReportDataSource;
struct ReportOutputTarget;

// The report control of the program, on our report engine: it collects the settings of one print
// and runs one fresh ReportJob when Imprimir is invoked. PDF and saved-report files are written by
// the engine; the preview, the printer and the other file formats come from the ReportOutputs
// installed (see ReportOutputs.h).
//
// Data: a connection text whose data-source name is the main database (gDB().gDBName; on SQLite
// also its file name) reads through the program's open connection; any other name is opened as an
// ODBC data source with the user and password of the text, for the length of the print.
class ReportEngineControl final : public ReportControl
{
public:
    ReportEngineControl();
    ~ReportEngineControl() override;
    void nuevoTrabajo() override;
    void set(int id, const Value& value) override;
    void setIndexed(int id, int index, const Value& value) override;
    void invoke(int id) override;
    void setByName(const QString& name, const Value& value) override;

    void setDestinoObjeto(int destino) override { m_destinoObjeto = destino; }
    int destinoObjeto() const override { return m_destinoObjeto; }
    void setListaFormulas(const QStringList& formulas) override { m_listaFormulas = formulas; }
    void setImpresora(const QString& nombre, const QString& complemento) override;
    void finalizaCorrida() override { m_listaFormulas.clear(); }

    // Capture mode (tools, tests): from now on every print, whatever its destination, is also
    // written as "<carpeta>/NN-<report>.pdf" (NN counts from 01) instead of going to the screen or
    // the printer; a file destination still writes its own file first. Each print is noted in
    // capturas() and in "<carpeta>/impresiones.txt": number, report file, destination word
    // ("Pantalla", "Impresora", "Archivo", "Mail") and printer, tab-separated. The folder must
    // exist. An empty folder ends the capture.
    void capturaEn(const QString& carpeta);
    const QStringList& capturas() const { return m_capturas; }
    // A run of captures (a run of vouchers): from now on each captured PDF is drawn and finished
    // on a thread of its own while the next print is laid out, and `nombre` names the prints
    // that follow in a failure of their file. Such failures wait in capturasFallidas().
    void capturaEnParalelo(const QString& nombre);
    // The captured files that could not be written, as "<name>: <error>", each once; every one
    // counts in fallidas() from then on. With `todas`, waits until every capture is finished.
    QStringList capturasFallidas(bool todas);

    // What the last print ran: pages and records, the engine's log.
    int paginas() const { return m_paginas; }
    // Prints run and records they read since the control was made: prints that read no record
    // printed nothing but "No hay datos".
    int impresionesHechas() const { return m_impresionesHechas; }
    qint64 registrosImpresos() const { return m_registrosImpresos; }
    // Prints that failed since the control was made (the caller was told through the error).
    int fallidas() const { return m_fallidas; }
    // What stopped the last print that failed; empty when none did.
    const QString& ultimaFalla() const { return m_ultimaFalla; }
    const QStringList& registro() const { return m_registro; }

private:
    void imprimir();
    void ejecuta(const ReportOutputTarget& destino, bool enParalelo = false);

    // This print's settings.
    QString m_archivo;
    std::optional<QString> m_seleccion;
    QString m_conexion;
    QString m_origenDatos;
    QString m_usuario;
    QString m_clave;
    std::map<int, QString> m_formulas;
    std::map<int, QString> m_orden;
    QString m_subreporte; // the one addressed; empty = main report
    std::map<QString, QString> m_seleccionesSubreporte;
    int m_destino = 0;
    int m_copias = 1;

    // The report object's.
    int m_destinoObjeto = DestinoPantalla;
    QString m_archivoSalida;
    int m_formatoSalida = 31;
    QStringList m_listaFormulas;
    QString m_impresora;
    QString m_complementoImpresora;

    int m_paginas = 0;
    int m_impresionesHechas = 0;
    qint64 m_registrosImpresos = 0;
    int m_fallidas = 0;
    QString m_ultimaFalla;
    QStringList m_registro;
    QString m_carpetaCaptura;
    QStringList m_capturas;
    std::unique_ptr<PdfWriters> m_escritores;
    QString m_nombreCaptura;
};

// Writes the saved report `origen` (our saved-report file) as `destino` in the export format
// `formato` (FormatoExportacion). False with *error in the program's words when it could not.
bool exportaReporteGuardado(
    const QString& origen, const QString& destino, int formato, QString* error);
