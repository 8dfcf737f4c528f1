#pragma once

#include <memory>
#include <optional>

#include <QString>

#include "platform/AdoConnection.h"
#include "platform/AdoRecordset.h"
#include "platform/AdoTypes.h"
#include "platform/DialogoArchivo.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Value.h"

// The program's one gateway to its data. An instance owns one connection (`gCnn`) and the
// parameters it was opened with; it builds the provider connection text for SQL Server, Oracle or
// a local database file, opens it, reconnects a dropped connection, runs statements and recordsets
// (rewriting them for Oracle and for the restricted views on the way), renders values as SQL
// literals and reports its own errors. The program-wide instances are reached through gDB() and
// its siblings (data/DataObjects.h).
//
// Single-threaded: every operation runs on the user-interface thread and blocks it.
class DB_Dll
{
public:
    DB_Dll();
    ~DB_Dll();
    DB_Dll(const DB_Dll&) = delete;
    DB_Dll& operator=(const DB_Dll&) = delete;

    // --- Public variables, as the rest of the suite reads and writes them ---

    // File dialog OpenLocalADODB uses to find a database file.
    DialogoArchivo CmdDlg;
    // True while the last open or reconnect is taken as successful; callers test it after
    // OpenServerADODB and ReintentaConectar. False whenever the connection did not open.
    bool gOpenFlag = false;
    // Local files only: when true, a refused database password is retried with gUserPassWord
    // instead of asking the operator. Empty reads as false.
    Value gIgnoraPassWord;
    // General-purpose recordset slot of the suite's interface; nothing in this program uses it.
    AdoRecordset glrcs;
    Value gCursorLocation;
    // Provider name; empty means "SQLOLEDB". Used as it is by OpenLocalADODB.
    QString gProveedor;
    QString gDsn;
    // Server name; a "#" anywhere in it marks an Oracle server.
    QString gServidor;
    // Database name (SQL Server), data source (Oracle) or database file path (local file).
    QString gDBName;
    QString gUsuario;
    // The logged application user is an administrator: nothing is restricted (SS_TSinonimos).
    bool gEsAdmin = false;
    QString gUserPassWord;
    // The connection text last used to open.
    QString gConnString;
    // Extra provider attributes appended verbatim at the end of SQL Server and local-file texts.
    QString gExtended;
    // Error log of TratamientoErrores; empty means "KZQERR.LOG" in the program folder.
    QString gLogErr;
    bool ParametrosSQL = false;
    qint16 gKZQTimeOut = 0;

    // The connection, created (closed) on first use through the installed AdoProvider and reused by
    // every open, close and reopen of this instance.
    AdoConnection& gCnn();

    // Provider names.
    static QString pJETOLEDB40() { return QStringLiteral("Microsoft.Jet.OLEDB.4.0"); }
    static QString pJETOLEDB35() { return QStringLiteral("Microsoft.Jet.OLEDB.3.51"); }
    static QString pSQLOLEDB() { return QStringLiteral("SQLOLEDB"); }

    // --- Connection ---

    // Opens a SQL Server or Oracle connection from the members (or from `ConnString` when it is
    // not blank). With `PideParametrosSQL` the login dialog asks for the parameters first (a
    // cancelled dialog opens nothing). After the open the administrator decision sets gEsAdmin
    // (`ValidaAdmin` false: administrator). Failures: with `MuestraError` the operator is told and
    // may try again, without it nothing is shown. Success is read from gOpenFlag.
    void OpenServerADODB(bool PideParametrosSQL = false, int lCursor = adUseClient,
        const QString& ConnString = QString(), bool ValidaAdmin = true, bool MuestraError = true);

    // Closes and reopens the connection with its own text and this instance's login (command
    // time-out 90 seconds). A generic provider failure ends it silently, other failures go to
    // TratamientoErrores. Success is read from gOpenFlag.
    void ReintentaConectar();

    // Opens a local database file (a path in gDBName; asked for with CmdDlg when blank or not
    // found). A refused database password is asked for with an input box, three times at most;
    // cancelling leaves. Other failures are shown in a plain message box.
    void OpenLocalADODB(const QString& ConnString = QString(),
        const QString& CadenaID = QStringLiteral("User Id"),
        const QString& CadenaPWD = QStringLiteral("Password"));

    // --- Statements and recordsets ---

    // Opens `LRCS` on the statement (closed first when open). The statement is rewritten in place
    // for the restricted views; on an Oracle connection the Oracle form is what runs (unless
    // `ConvOracle` is false) while the caller's variable keeps the SQL Server form.
    // `Conexionactiva`, when given, is used instead of this instance's connection. A lost link is
    // reconnected (asking the operator when that keeps failing; No ends the program); other
    // failures go to TratamientoErrores, whose Retry runs the read again. Pending window events
    // run once afterwards.
    void AbrirRecordset(QString& SentenciaSQL, AdoRecordset& LRCS,
        AdoConnection* Conexionactiva = nullptr, int CursorType = adOpenForwardOnly,
        int LockType = adLockReadOnly, int Options = -1, bool ConvOracle = true);
    void AbrirRecordset(QString&& SentenciaSQL, AdoRecordset& LRCS,
        AdoConnection* Conexionactiva = nullptr, int CursorType = adOpenForwardOnly,
        int LockType = adLockReadOnly, int Options = -1, bool ConvOracle = true);

    // Runs a statement (or, on Oracle, a batch). Returns normally whatever happens: failures stay
    // in gCnn().Errors() for the caller to read right after (2627 duplicate key, 547 reference...).
    // The "@Admin_" marker is removed (scripts that drop and create objects also get the
    // restricted views) and the caller's variable holds the text that ran. A truncation warning
    // (8152) is cleared; a lost link (11) is reconnected and the statement run again, three times
    // at most, never for a statement holding "TRANS". `RecordsAffected` receives the rows
    // affected; `LRCS`, when given, is opened on the rows the statement returns.
    void EjecutaConsultaSQL(
        QString& SentenciaSQL, qint64* RecordsAffected = nullptr, AdoRecordset* LRCS = nullptr);
    void EjecutaConsultaSQL(
        QString&& SentenciaSQL, qint64* RecordsAffected = nullptr, AdoRecordset* LRCS = nullptr);

    // The same statement runner with only the truncation rule, the errors inspected on gDBRSQL's
    // connection; it never reconnects.
    void EjecutaConsultaRSQL(
        QString& SentenciaSQL, qint64* RecordsAffected = nullptr, AdoRecordset* LRCS = nullptr);

    // Closes the recordset when it is open; a pending edit is cancelled first.
    void CierraRecordset(AdoRecordset& LrcsTemp);

    // --- Rewrites ---

    // The statement in Oracle form on an Oracle connection ("ORACLE" in gConnString), else
    // unchanged. Raises run-time error 5 on an unclosed quote or a TOP with nothing after it.
    QString ORACLE_Dicc(const QString& Valor) const;

    // The statement pointed at the restricted views for a user who is not an administrator, with
    // every "@Admin_" marker removed.
    QString SS_TSinonimos(const QString& Sql) const;

    // --- Values ---

    // One value as the text of an SQL literal: with "'" (the default) the value's text between
    // apostrophes, apostrophes inside doubled; with "@" an amount with a point as decimal
    // separator, unquoted (Null counts as 0; text that is no amount raises run-time error 13);
    // with anything else the value's text as it is. Null gives NULL, never quoted, except with "@".
    QString SQLValue(const Value& Valor, const QString& Tipo = QStringLiteral("'")) const;
    QString SQLValue2(const Value& Valor, const QString& Tipo = QStringLiteral("'")) const;

    // ADO field type groups (the Type of an AdoField).
    bool adodate(int Qtype) const;
    // "'" for the date and text groups, "" otherwise.
    QString ADOComilla(int Qtype) const;
    bool ADOText(int Qtype) const;
    bool ADONumeric(int Qtype) const;
    bool ADOCurrency(int Qtype) const;
    bool ADOBoolean(int Qtype) const;

    // --- Errors ---

    // The error log file in use: gLogErr.
    QString ArchivoErrores() const { return gLogErr; }
    void setArchivoErrores(const QString& archivo) { gLogErr = archivo; }

    // The data layer's error dialog: shows "Ha ocurrido el Siguiente Error (n) ..." titled
    // "<source> - <routine> Aviso al operador!!! - 5 " with `Botones` (default Abort, Retry,
    // Ignore with the critical icon), then appends the answered error to the error log. Returns
    // the answer; 0, with nothing shown or logged, for error number 0. Never throws.
    int TratamientoErrores(const RuntimeError& CodErr,
        int Botones = Msg::AbortRetryIgnore + Msg::Critical,
        const std::optional<QString>& Rutina = std::nullopt);

    // The SQL Server or Oracle connection text built from the members, as OpenServerADODB stores
    // it in gConnString.
    QString connectionTextFromMembers() const;

private:
    bool isOracleConnection() const;
    // Reconnects after a lost link; true when the failed step is to run again. `attempts` is the
    // caller's attempt counter. Asks the operator once attempts run out; No ends the program.
    bool reconnectAndRetry(int& attempts);
    // Runs a SQL Server batch statement by statement on the Oracle connection. The batch is
    // consumed as it runs: on a failure (raised to the caller) `Lote` holds the failed statement
    // and the rest, so running it again after a reconnect repeats nothing that already ran.
    void EjecutaLoteOracle(QString& Lote, qint64& RegistrosAfectados);
    void EjecutaConsulta(
        QString& SentenciaSQL, qint64* RecordsAffected, AdoRecordset* LRCS, bool reconecta);
    QString archivoErroresEnUso() const;

    std::unique_ptr<AdoConnection> m_cnn;
};
