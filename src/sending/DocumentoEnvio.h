#pragma once

#include <QString>
#include <QStringList>

#include "reports/RT_Crystal2.h"

class Steps;

// One document of an account rendered into files for a mail, in a work folder of its own
// (RT_Crystal2::PreparaCarpetaEnvio): the print buffer the document's report reads is filled, and
// voucher printing prints the report twice, first as the HTML body "<Cuenta>_<TC>.htm", then as the
// attachment "<Cuenta>_<TC>1.<format>" in the configured format ("eMail_formatoadjunto"; a PDF is
// printed as a saved report and converted afterwards).
//
// Kinds of document by voucher type: "@CJA" (a cash closing) prints nothing; collection receipts
// (CB, CBCT, CBFP) and payment orders (PG, PGFP, OPG, IBR, IVA, GAN) go through the receipt buffer
// with the receipt's formulas; a payment order attaches its settlement ("LiqOPG") and one
// certificate per withholding the account suffered ("RETIBR", "RETIGAN", "RETIVA", in that order);
// every other type goes through the voucher buffer.
//
// Steps that fail are handed to the caller's Steps (Retry, Ignore, Abort); the prints and the
// buffers answer their own errors.
class DocumentoEnvio final
{
public:
    enum class Resultado
    {
        Hecho,
        Abandonado, // the operator left at a failing step
        SinComprobante, // the voucher is not in the database: nothing was rendered
    };

    explicit DocumentoEnvio(Steps& pasos);

    // Renders `TC` `IdComprobante` of `Cuenta` (blank: `Cuenta` becomes the voucher id, in the
    // caller's variable too). With `PorPantalla` both prints go to the preview and nothing is
    // converted. `TC` comes back as given.
    Resultado genera(
        QString& Cuenta, const QString& TC, const QString& IdComprobante, bool PorPantalla);

    // The budget `TC` `IdComprobante` of `Cuenta` rendered for its web link, the buffer filled
    // for `Suc` `Nro` `Letra`: the body "<Cuenta>.htm", the attachment "<Cuenta>1.<format>" and a
    // PDF of it for the web site (pdf()): the attachment itself in the PDF format, else the saved
    // report converted (printed for it when the format is neither PDF nor RPT).
    Resultado presupuesto(const QString& Cuenta, const QString& TC, const QString& IdComprobante,
        const QString& Suc, const QString& Nro, const QString& Letra);

    // The work folder, the last body file printed and the ";"-joined attachment list.
    const QString& carpeta() const { return m_carpeta; }
    const QString& cuerpoHtml() const { return m_cuerpo; }
    const QString& adjuntos() const { return m_adjuntos; }
    // The budget's PDF for the web site (it may not have been written).
    const QString& pdf() const { return m_pdf; }

    // "No se encontró el comprobante <TC> <id>".
    static QString textoSinComprobante(const QString& TC, const QString& IdComprobante);

    // The voucher types whose reports print purchase vouchers (C_MV_CPTE).
    static bool esCompra(const QString& TC);

    // Records budget `numero` of `cuenta` once among the account's files
    // (MA_CUENTAS_ARCHIVOS_RELACIONADOS) as "<numero>.PDF"; `conLink`: the customer views it by
    // link. Database failures reach the caller.
    static void registraPresupuesto(const QString& cuenta, const QString& numero, bool conLink);

private:
    struct Impresion
    {
        QString tc; // the voucher type voucher printing gets
        QString reporte; // the report choice
        QString seleccion;
        QStringList formulas;
        QString formulario; // "Todos" for ordinary vouchers
    };

    bool existeComprobante(const QString& tc, const QString& id);
    bool preparaCarpeta();
    // Prints `impresion` as the body, then as the attachment, converted when the format is PDF;
    // `adjunto` receives the attachment's path (it may not have been written). The files are
    // `nombreArchivos` + ".htm" and `nombreArchivos` + "1." + the format. False when the operator
    // left.
    bool imprimePar(const Impresion& impresion, const QString& nombreArchivos, QString& adjunto);
    // "<Cuenta>_<TC>".
    QString nombre(const QString& tc) const;
    void imprime(const Impresion& impresion);
    // Points the report object's file output at `archivo` in the export format `codigo`.
    bool asignaSalida(const QString& archivo, int codigo);
    bool recibo(const QString& tc, const QString& cuentaBuffer, QStringList& formulas);
    bool pago(const QString& tc);
    // The certificate of one withholding tax when the account's journal lines of the payment carry
    // it: `archivo` receives the certificate's attachment, or stays empty.
    bool certificado(const QString& tc, const char* codigo, const char* reporte,
        const char* columna, QString& archivo);

    Steps& m_pasos;
    QString m_cuenta;
    QString m_id;
    bool m_porPantalla = false;
    RT_Crystal2::FormatoAdjunto m_formato;
    QString m_carpeta;
    QString m_cuerpo;
    QString m_adjuntos;
    QString m_pdf;
};
