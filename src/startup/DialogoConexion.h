#pragma once

#include "data/ConnectionDialog.h"

class QString;

// The operator's side of DB_Dll::OpenServerADODB, built on the login dialog frmAcceso: asks for
// the connection data, offers another try after a failed open, and decides whether the logged
// application user is an administrator. src/app installs it (Service<ConnectionDialog>).
class DialogoConexion final : public ConnectionDialog
{
public:
    // The dialog pre-filled from `db` and the start-up's user and password. On "Conectar" the
    // database name becomes database, login and password alike (the suite's SQL Server logins),
    // the server is taken as typed, and ORACLE puts "#" in front of it when it has none.
    bool loginExchange(DB_Dll& db) override;

    // With provider errors: the question " Error de Conexion a Base de Datos" (Yes/No); Yes asks
    // for the connection data again. Without: the failure's description, and no retry.
    bool retryAfterFailure(DB_Dll& db, const RuntimeError& error) override;

    // From the suite's user table: the logged user is an administrator when the column
    // Administrador of its row reads as the number 1.
    void administratorDecision(DB_Dll& db, bool muestraError) override;

    // The question's text for the first provider error.
    static QString textoPregunta(DB_Dll& db);
};
