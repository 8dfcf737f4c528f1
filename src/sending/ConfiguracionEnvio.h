#pragma once

#include <QString>

#include "platform/Http.h"
#include "platform/Mail.h"

// The site's mail settings that are not kept in the database: "Envio.ini" in the program folder,
// readable by its owner only. The password of the built-in account is stored scrambled
// (Utilidades::Encripta). Nothing of it is ever written to a log.
//
//   [Correo]
//   ServidorGmail=smtp.gmail.com          the providers' hosts (these are the defaults)
//   ServidorHotmail=smtp-mail.outlook.com
//   CuentaDireccion=envios@example.com    the built-in account: address, host, port, password
//   CuentaServidor=smtp.example.com
//   CuentaPuerto=465
//   CuentaClave=<scrambled>
//   [TLS]
//   VerificarCertificados=SI              NO: certificates are not checked (logged once per run)
//   CertificadosCA=/path/ca.pem           trusted authorities instead of the system's
//   PermitirSinTLS=NO                     SI: a password may go to a server without TLS (logged)
//   PuertoTLSInmediato=465                the port that speaks TLS from the start
//   [Documentos]
//   Servidor=docs.example.com[:443]       the document server (no default: uploads are off)
//   SitioPresupuestos=www.example.com     the web site of the budget links (no default: no links)
//   [Whatsapp]
//   Servidor=web.whatsapp.com[:443]       the messaging web client (this is the default)
// The TLS settings hold for the mail and for the HTTPS requests alike.
struct ConfiguracionEnvio
{
    QString servidorGmail = QStringLiteral("smtp.gmail.com");
    QString servidorHotmail = QStringLiteral("smtp-mail.outlook.com");
    QString cuentaDireccion;
    QString cuentaServidor;
    int cuentaPuerto = 465;
    QString cuentaClave; // plain, in memory only
    bool verificarCertificados = true;
    QString certificadosCA;
    bool permitirSinTls = false;
    int puertoTlsInmediato = 465;
    QString servidorDocumentos;
    QString sitioPresupuestos;
    QString servidorWhatsapp = QStringLiteral("web.whatsapp.com");

    // "Envio.ini" in the program folder (name matched ignoring case).
    static QString rutaPorDefecto();

    // Reads the file; a missing file gives the defaults (no built-in account). A file that others
    // may read is used all the same, with one line in the error log per run.
    static ConfiguracionEnvio lee(const QString& ruta = rutaPorDefecto());

    // Writes the file readable and writable by its owner only. False when it cannot be written.
    bool guarda(const QString& ruta = rutaPorDefecto()) const;

    // The transport settings for the mail objects; the first use of an opt-out in a run is noted
    // in the error log.
    MailSeguridad seguridad() const;
    // The same settings for the HTTPS requests (uploads), with the same notes.
    HttpSeguridad seguridadHttp() const;

    // Forgets which notes were already logged in this run (tests).
    static void olvidaAvisos();
};
