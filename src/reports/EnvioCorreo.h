#pragma once

#include <QString>

// The document sender as the report output hands a file to it. src/app installs the sender's
// implementation (Service<EnvioCorreo>); without one, a mailed report is only printed to the file
// set on the report object.
class EnvioCorreo
{
public:
    virtual ~EnvioCorreo() = default;

    struct Entrega
    {
        QString mensaje; // the remembered message
        QString de; // "email_de"
        QString nombreUsuario; // the user's Email_Nombre: replaces "De" when not blank
        QString para;
        QString asunto;
        QString adjunto; // the file to attach
        QString titulo; // caption of the sender
    };

    // Opens a new sender with the texts and the attachment (its load sees no attachment yet).
    // When the last send was made with its automatic box ticked, it sends at once and returns
    // after the send; otherwise it is shown modally and returns when the operator closes it.
    virtual void entregar(const Entrega& entrega) = 0;

    // Recipients, subject and message of the sender's fields at its last unload.
    virtual QString emailPara() const = 0;
    virtual QString emailAsunto() const = 0;
    virtual QString emailMensaje() const = 0;

    // Unloads the sender if it is still there.
    virtual void descargar() = 0;
};
