#pragma once

#include <optional>

#include <QString>

// A mail rule of v_ma_email: the voucher types it mails (codigoactivador) and the fields it fills.
struct ReglaCorreo
{
    std::optional<bool> SinConfirmacion; // unset: the rule does not say
    QString De;
    QString Para;
    QString Asunto;
    QString Mensaje;

    // The first active rule by its number (the order the rules were entered in) whose
    // codigoactivador holds `TC`; nullopt when none. Database failures reach the caller.
    static std::optional<ReglaCorreo> lee(const QString& TC);

    // "Para": the account's contacts when there are any, else the rule's.
    QString para(const QString& contactos) const;
    // The subject of voucher `numero` ("TC Id") of the account named `nombreCuenta`.
    QString asunto(const QString& numero, const QString& nombreCuenta) const;
    // The subject when no rule applies (a forced send).
    static QString asuntoSinRegla(const QString& numero, const QString& nombreCuenta);
};
