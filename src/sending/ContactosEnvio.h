#pragma once

#include <optional>

#include <QString>

class Steps;

// The sender's contacts: the addresses known in vt_e_mail, the contacts kept in MA_CONTACTOS and
// their links to accounts in MA_CONTACTOS_CUENTAS. Nothing here shows anything: database failures
// reach the caller as RuntimeError, or through the Steps the caller hands in.
namespace ContactosEnvio {

// What "Para" reads when several addresses were chosen.
inline const QString SeleccionMultiple = QStringLiteral("Seleccion Multiple");

struct Datos
{
    QString nombre;
    QString cargo;
    QString celular;
};

// Name, position and mobile of the known address `email`; nullopt when it is not known.
std::optional<Datos> busca(const QString& email);

// IdContacto of the contact with address `para` or `email` (empty ones are skipped, so a contact
// stored without an address is never found); 0 when none.
long idContacto(const QString& para, const QString& email = QString());

// Keeps `email` (empty: `para`) as a contact with `datos`, linked to `cuenta` when given. A known
// address is only updated when `nombreCuenta` is given, which also stands for an empty name;
// "Seleccion Multiple" and anything that is not one address keep nothing. Each statement runs as
// a step of `pasos`; one that waited out the time-out of a locked database fails its step.
void graba(Steps& pasos, const QString& para, const QString& email, const QString& cuenta,
    const QString& nombreCuenta, const Datos& datos);

// The account's WhatsApp number (vt_clientes "fax").
QString numeroWhatsapp(const QString& cuenta);
// The account's name (ma_cuentas "descripcion").
QString nombreCuenta(const QString& cuenta);
// The account's additional address (MA_CUENTASADIC "Mail"); empty when it has none.
QString direccionAdicional(const QString& cuenta);
// The address of user `usuario` (ta_usuarios "email_usuario"); nullopt when there is no such user.
std::optional<QString> direccionUsuario(const QString& usuario);

// The lookup of recipients among the known addresses.
QString consultaDestinatarios();
// The lookup of the WhatsApp number among the contacts of `cuenta`.
QString consultaNumeros(const QString& cuenta);

} // namespace ContactosEnvio
