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
#include "platform/Steps.h"
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
    // For a statement the caller does not keep.
    void AbrirRecordset(const QString& SentenciaSQL, AdoRecordset& LRCS,
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
    // For a statement the caller does not keep.
    void EjecutaConsultaSQL(const QString& SentenciaSQL, qint64* RecordsAffected = nullptr,
        AdoRecordset* LRCS = nullptr);

    // The same statement runner with only the truncation rule, the errors inspected on gDBRSQL's
    // connection; it never reconnects.
    void EjecutaConsultaRSQL(
        QString& SentenciaSQL, qint64* RecordsAffected = nullptr, AdoRecordset* LRCS = nullptr);

    // Closes the recordset when it is open; a pending edit is cancelled first.
    void CierraRecordset(AdoRecordset& LrcsTemp);

    // Kept for the suite's callers of the data object; they do nothing and return nothing.
    void QConsulta(const QString& TB, const QString& Rsp, const QString& Cl1, const QString& Cl2,
        const QString& CmpDisplay = QStringLiteral("Codigo"), const QString& SQLWHERE = QString());
    void QGridConsulta(const QString& Sentencia, const QString& CampoDevuelto1,
        const QString& gCnnString, const QString& CampoDevuelto2 = QString(),
        const QString& CampoDevuelto3 = QString());

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

    // --- Existence and lookup queries (DB_Dll_Consultas.cpp) ---
    // Statement texts: data/ConsultasDatos.h. Key types (`Tipodato`): 8 (or the text "'") text,
    // 7 date, 3/4/5 number (the leading number of the searched text), any other written as given.

    // True when the statement finds a row. With `LRCS` the caller's recordset (closed first when
    // open) is opened on the statement, forward-only and read-only when `SoloLectura`, else with
    // its own cursor and lock types, and left open on the row found. A lost link is reconnected;
    // other failures ask "Aviso al Operador" with Abort, Retry, Ignore (Abort: false).
    bool ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado,
        const QString& Campo = QStringLiteral("Codigo"), AdoRecordset* LRCS = nullptr,
        const Value& Tipodato = Value(qint32(adBSTR)), const QString& Condicion = QString(),
        bool SoloLectura = true);
    // The same on gDB()'s connection, without the restricted-view and Oracle rewrites and with
    // its own statement shapes (no TOP 1, the text key untrimmed).
    bool ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado,
        const QString& Campo = QStringLiteral("Codigo"), AdoRecordset* LRCS = nullptr,
        const Value& Tipodato = Value(qint32(adBSTR)), const QString& Condicion = QString(),
        bool SoloLectura = false);
    // Column `CampoDevuelto` of the first row whose `Campo` matches (and that meets `Condicion`),
    // as text: "" for Null and for no row. Empty when the connection is not open after the read
    // or when the operator aborts. With `IgnoraError` any failure gives "" without a word.
    Value DatosTabla(const QString& Tabla, const QString& ValorBuscado,
        const QString& CampoDevuelto, const QString& Campo = QStringLiteral("Codigo"),
        const Value& Tipodato = Value(qint32(adBSTR)), const QString& Condicion = QString(),
        bool UsaTrim = true, bool IgnoraError = false);
    // Highest value of `QueCampo` as a Double (its leading number, so Null gives 0); with `Tipo` 7
    // the text. `Condicion` (nullptr: none) becomes the WHERE clause. On "V_MA_ARTICULOS" a
    // highest code starting with "0" is read once more without such codes, and the filter is left
    // in *Condicion. Failures are raised to the caller.
    Value BuscaMaximo(const QString& QueTabla, const QString& QueCampo, const Value& Tipo = Value(),
        QString* Condicion = nullptr);
    // Lowest value of `QueCampo` as a Double. Failures are raised to the caller.
    Value BuscaMinimo(const QString& QueTabla, const QString& QueCampo, const Value& Tipo = Value(),
        const QString* Condicion = nullptr);
    // Highest value of `QueCampo` as a Double, with `Condicion` when it is not blank. `Tipo` is
    // accepted and not used. Failures are raised to the caller.
    Value BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo,
        const Value& Tipo = Value(qint32(adBSTR)), const QString& Condicion = QString());

    // --- Schema (DB_Dll_Esquema.cpp) ---

    // Adds a column: "ALTER TABLE dbo.<Tabla> ADD <Campo> <Tipo>" with " Null " or " Not Null "
    // and, when `ValorDefault` is not Empty, " CONSTRAINT DF_<Tabla>_<Campo> DEFAULT (<value>)"
    // (the value as the caller wrote it: text values come quoted). Failures of the statement stay
    // in gCnn().Errors().
    void AddField(const QString& Tabla, const QString& Campo, const QString& Tipo,
        bool PermiteNulos, const Value& ValorDefault = Value());
    // Whether the table (or view) exists, names compared trimmed and ignoring case.
    bool ExisteTablaDB(const QString& Tabla);
    // Whether the column exists; always true on an Oracle provider (gDB()'s gProveedor).
    bool ExisteCampoDB(const QString& Tabla, const QString& Campo);
    // Adds the column with AddField when the table exists, the column does not and `Agregar` is
    // true. Always returns true.
    bool VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar = false,
        const QString& Tipo = QString(), bool PermiteNulos = true,
        const Value& ValorDefault = Value());

    // --- Object names (DB_Dll_Nombres.cpp) ---

    // Owner-qualified names: "dbo.Clientes" gives "dbo" with part 0 and "Clientes" with any other
    // part; a name with two or more dots loses its owner (also in the caller's variable).
    static QString stSTF(QString& rsName, qint16 rnPart);
    // "[" + name + "]" for a name holding a blank that is not bracketed yet.
    static QString AddBrackets(const QString& rObjName);
    // "Clientes -> base" gives "Clientes": the blank before the arrow goes with it. Raises run-time
    // error 5 for a name that starts with "->".
    static QString StripConnect(const QString& rsTblName);
    // Without the first and last character when the name starts with "[". Raises run-time error 5
    // for "[" alone.
    static QString StripBrackets(const QString& rsObjName);
    // Everything after the first dot, also left in the caller's variable.
    static QString StripOwner(QString& rsTblName);
    // The folder of a path, without its last separator ("\" or "/"); "" when there is none.
    static QString StripFileName(const QString& rsFileName);

private:
    bool isOracleConnection() const;
    // Reconnects after a lost link; true when the failed step is to run again. `attempts` is the
    // caller's attempt counter. Asks the operator once attempts run out; No ends the program.
    // With `askAtOnce` (the existence tests) a reconnect that works also counts towards the limit,
    // and the operator is asked as soon as a second reconnect fails.
    bool reconnectAndRetry(int& attempts, bool askAtOnce = false);
    // The error reporter of the lookups: a lost link on gDB()'s connection is reconnected (see
    // reconnectAndRetry), any other failure asks "Aviso al Operador" with Abort, Retry, Ignore.
    Steps::Reporter reporteConsulta(int& attempts, bool askAtOnce);
    // Runs a SQL Server batch statement by statement on the Oracle connection. The batch is
    // consumed as it runs: on a failure (raised to the caller) `Lote` holds the failed statement
    // and the rest, so running it again after a reconnect repeats nothing that already ran.
    void EjecutaLoteOracle(QString& Lote, qint64& RegistrosAfectados);
    void EjecutaConsulta(
        QString& SentenciaSQL, qint64* RecordsAffected, AdoRecordset* LRCS, bool reconecta);
    QString archivoErroresEnUso() const;

    std::unique_ptr<AdoConnection> m_cnn;
};
