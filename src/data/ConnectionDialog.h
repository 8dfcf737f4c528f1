#pragma once

class DB_Dll;
class RuntimeError;

// The steps of DB_Dll::OpenServerADODB that deal with the operator and with the suite's users:
// the login dialog, the question after a failed open and the administrator decision. The login
// dialog's code implements it and src/app installs it (Service<ConnectionDialog>). Without one
// installed no dialog is shown: an open that asks for parameters ends as cancelled, a failed open
// ends quietly and gEsAdmin keeps its value unless the caller waived the check.
class ConnectionDialog
{
public:
    virtual ~ConnectionDialog() = default;

    // Shows the login dialog pre-filled from `db`. When the operator confirms, writes the chosen
    // gDBName, gServidor, gUsuario, gUserPassWord and gProveedor into `db` and returns true (the
    // caller builds the connection text again from them); false when cancelled.
    virtual bool loginExchange(DB_Dll& db) = 0;

    // Called after a failed open when the caller wants errors shown (`error` is the failure, the
    // provider's entries are in db.gCnn().Errors()). Tells the operator and, when the operator
    // wants to try again, runs the login exchange; true means open again with the members as they
    // now are.
    virtual bool retryAfterFailure(DB_Dll& db, const RuntimeError& error) = 0;

    // Called after a successful open when the caller asked for the administrator check: decides
    // db.gEsAdmin from the suite's user table. `muestraError` is the caller's wish to see errors.
    virtual void administratorDecision(DB_Dll& db, bool muestraError) = 0;
};
