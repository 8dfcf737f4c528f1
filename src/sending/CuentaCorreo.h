#pragma once

#include <QString>

struct ConfiguracionEnvio;

// The account a send goes out from: the logged user's own (ta_usuarios), else the company's
// (configuration keys), else the site's built-in account of "Envio.ini". Chosen once per load of
// the sender; a send re-reads only the port.
struct CuentaCorreo
{
    QString ServidorTipo; // "Gmail", "Hotmail", "Otro" or anything else (= "Otro")
    QString CuentaUsuario; // login and sender address
    QString CuentaClave;
    QString CuentaAutenticacion; // stored, not used
    QString CuentaNombre;
    QString ServidorOtro;
    QString CuentaPuerto;
    QString CuentaDe; // the reply-to default

    // The choice made at load for `usuario` (the logged user).
    void CargarCuentaCorreo(const QString& usuario, const ConfiguracionEnvio& envio);

    // True when no account at all could be found (no user row, no settings, no built-in one).
    bool vacia() const { return CuentaUsuario.trimmed().isEmpty(); }

    struct Servidor
    {
        QString host;
        int puerto = 0;
    };
    // Host and port of a send, with `puertoConfigurado` the "email_puerto" setting at send time:
    // its leading number, or the port chosen at load when that is 0; the providers' defaults
    // when still 0 (Hotmail 25, Gmail 465); the built-in account always on its own port.
    Servidor servidor(const QString& puertoConfigurado, const ConfiguracionEnvio& envio) const;
};
