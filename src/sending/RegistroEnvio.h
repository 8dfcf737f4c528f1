#pragma once

#include <QString>

// The send log v_ma_emailmov: one row per message sent by mail or as a messaging link.
namespace RegistroEnvio {

struct Fila
{
    QString De;
    QString Para;
    QString Asunto;
    QString Mensaje;
    QString Adjunto;
    QString CodigoActivador;
    QString Usuario;
    QString TC;
    QString IdComprobante;
    QString Status; // "OK", or the failure text
    QString Cuenta;
    QString CuentaEmail;
};

// Appends the row, stamped with the server's date and time and Tipo "E". A failure goes to
// ManejoErrores ("RegistrarEnvio"): Retry repeats the step, Ignore goes on, anything else leaves
// without saving; a database another process holds locked leaves at its first wait without
// asking. True when the row was saved; otherwise `motivo`, when given, says why.
bool graba(const Fila& fila, QString* motivo = nullptr);

// Marks the logged mail `UIDL` as answered by `Usuario` (STATUS "HTML"). A blank UIDL does
// nothing. Apostrophes in both are doubled. Errors reach the caller.
void ActualizaContestado(const QString& Usuario, const QString& UIDL);

} // namespace RegistroEnvio
