#include "data/DB_Dll.h"

#include <QCoreApplication>

#include "data/ConnectionDialog.h"
#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "data/OracleRewrite.h"
#include "data/RestrictedViews.h"
#include "platform/AdoProvider.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/ErrorLog.h"
#include "platform/FileNames.h"
#include "platform/InputDialog.h"
#include "platform/ProgramEnd.h"
#include "platform/Service.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"

namespace {

constexpr auto CI = Qt::CaseInsensitive;
constexpr int DefaultButtons = Msg::AbortRetryIgnore + Msg::Critical;
constexpr int TitleMark = 5;
// The reconnect procedure's attempt counter gives up when it reaches this.
constexpr int AttemptLimit = 3;
// Local files: how many refused database passwords before giving up.
constexpr int PasswordAttempts = 3;

bool contains(const QString& text, const char* word)
{
    return text.contains(QLatin1String(word), CI);
}

// A step of a procedure whose command reports failure by its result.
void require(bool ok, const RuntimeError& failure)
{
    if (!ok)
        throw failure;
}

constexpr int DateGroup[] = { adDate, 64, adDBDate, adDBTime, adDBTimeStamp, 137 };
constexpr int TextGroup[]
    = { adBSTR, adChar, adWChar, adVarChar, adLongVarChar, adVarWChar, adLongVarWChar };
constexpr int NumberGroup[] = { adSmallInt, adInteger, adSingle, adDouble, adDecimal, adTinyInt,
    adUnsignedTinyInt, 18, 19, adBigInt, 21, adNumeric };

template <std::size_t N> bool isIn(int type, const int (&group)[N])
{
    for (const int member : group) {
        if (member == type)
            return true;
    }
    return false;
}

} // namespace

DB_Dll::DB_Dll() = default;

DB_Dll::~DB_Dll()
{
    // Recordsets of this instance go before its connection.
    if (glrcs.State() == adStateOpen)
        glrcs.Close();
}

AdoConnection& DB_Dll::gCnn()
{
    if (!m_cnn)
        m_cnn = Service<AdoProvider>::get().createConnection();
    return *m_cnn;
}

// ---------------------------------------------------------------------------------------------
// Connection

QString DB_Dll::connectionTextFromMembers() const
{
    if (gServidor.contains(u'#')) {
        // The data source names the server on Oracle; gExtended is not for it.
        return QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") + gDBName
            + QStringLiteral(";User Id=") + gUsuario + QStringLiteral(";Password=") + gUserPassWord
            + u';';
    }
    // "Database =" with its blank is what the suite has always written; the provider reads it.
    return QStringLiteral("PROVIDER=") + pSQLOLEDB() + u';' + QStringLiteral("Server=") + gServidor
        + u';' + QStringLiteral("Database =") + gDBName + u';' + QStringLiteral("UId=") + gUsuario
        + u';' + QStringLiteral("Pwd=") + gUserPassWord + u';' + gExtended;
}

void DB_Dll::OpenServerADODB(bool PideParametrosSQL, int lCursor, const QString& ConnString,
    bool ValidaAdmin, bool MuestraError)
{
    ConnectionDialog* dialog = Service<ConnectionDialog>::tryGet();
    gOpenFlag = true;
    bool reopened = false;
    if (gProveedor.isEmpty())
        gProveedor = pSQLOLEDB();

    if (ConnString.trimmed().isEmpty())
        gConnString = connectionTextFromMembers();
    else
        gConnString = ConnString;

    if (PideParametrosSQL) {
        if (!dialog || !dialog->loginExchange(*this)) {
            gOpenFlag = false;
            return;
        }
        gConnString = connectionTextFromMembers();
    }

    for (;;) {
        gCnn().setCursorLocation(lCursor);
        if (gCnn().Open(gConnString, QString(), QString(), -1))
            break;
        const RuntimeError failure = gCnn().LastError();
        // Somebody left the connection open: close it and try once more.
        if (failure.number() == AdoErrorNumber::ObjectOpen && !reopened) {
            reopened = true;
            gCnn().Close();
            continue;
        }
        if (MuestraError && dialog && dialog->retryAfterFailure(*this, failure)) {
            gCnn().Errors().Clear();
            gConnString = connectionTextFromMembers();
            continue;
        }
        gOpenFlag = false;
        return;
    }

    if (!ValidaAdmin)
        gEsAdmin = true;
    else if (dialog)
        dialog->administratorDecision(*this, MuestraError);
    // Callers take the flag as "connected": it must not say so when the administrator decision
    // left the connection closed.
    gOpenFlag = gCnn().State() == adStateOpen;
}

void DB_Dll::ReintentaConectar()
{
    gOpenFlag = false;
    Steps steps([this](const RuntimeError& error) {
        // Closing a connection that is already closed is the usual case after a lost link.
        if (error.number() == AdoErrorNumber::ObjectClosed)
            return int(Msg::Ignore);
        gOpenFlag = false;
        // The server is still out of reach: the caller's loop decides what to do next.
        if (error.number() == AdoErrorNumber::Fail)
            return int(Msg::Abort);
        return TratamientoErrores(error, DefaultButtons, QStringLiteral("AbrirRecordset"));
    });
    AdoConnection& cnn = gCnn();
    if (!steps.run([&] { cnn.setCommandTimeout(90); }))
        return;
    if (!steps.run([&] { require(cnn.Close(), cnn.LastError()); }))
        return;
    // This instance's own login: the statistics connection does not log in as the main one.
    if (!steps.run([&] {
            require(cnn.Open(cnn.ConnectionString(), gUsuario, gUserPassWord, -1), cnn.LastError());
        }))
        return;
    // An ignored failure to open is no reconnection.
    gOpenFlag = cnn.State() == adStateOpen;
}

void DB_Dll::OpenLocalADODB(
    const QString& ConnString, const QString& CadenaID, const QString& CadenaPWD)
{
    const auto chooseFile = [this] {
        CmdDlg.TituloDialogo = QStringLiteral("Buscar Base de Datos");
        CmdDlg.Filtro = QStringLiteral("Base de Datos de Microsoft Access |*.MDB");
        CmdDlg.MostrarAbrir();
        if (CmdDlg.Cancelado())
            return false;
        gDBName = CmdDlg.ArchivoElegido();
        return true;
    };

    QString passwordAttribute;
    int passwordsRefused = 0;
    bool storedPasswordTried = false;
    for (;;) {
        if (gDBName.trimmed().isEmpty() && !chooseFile())
            return;
        QString text = ConnString;
        if (text.isEmpty()) {
            text = QStringLiteral("PROVIDER=") + gProveedor + u';' + QStringLiteral("Data Source =")
                + gDBName + u';' + CadenaID + u'=' + gUsuario + u';' + CadenaPWD + u'='
                + gUserPassWord + u';' + gExtended;
        }
        text += passwordAttribute;
        if (gCnn().Open(text, QString(), QString(), -1)) {
            gConnString = text;
            return;
        }

        const RuntimeError failure = gCnn().LastError();
        const QString state
            = gCnn().Errors().Count() > 0 ? gCnn().Errors().Item(0).SQLState() : QString();
        if (state == u"3024" || state == u"3051" || state == u"3044") {
            // File not found, cannot be opened, invalid path: let the operator look for it.
            if (!chooseFile())
                return;
            continue;
        }
        if (state == u"3031" && ++passwordsRefused <= PasswordAttempts) {
            // The stored password gets one try; after that the operator is asked.
            if (!storedPasswordTried && !gIgnoraPassWord.isEmpty() && gIgnoraPassWord.toBool()) {
                storedPasswordTried = true;
                passwordAttribute
                    = QStringLiteral("Jet OLEDB:Database Password=") + gUserPassWord + u';';
                continue;
            }
            const QString answer = InputBox(
                QStringLiteral("ingrese el password:"), QStringLiteral("Password Access"));
            if (answer.isEmpty())
                return;
            passwordAttribute = QStringLiteral(" Jet OLEDB:Database Password=") + answer + u';';
            continue;
        }
        MsgBox(QString::number(failure.number()) + QStringLiteral("  ") + failure.description(),
            Msg::Critical);
        return;
    }
}

// ---------------------------------------------------------------------------------------------
// Statements and recordsets

bool DB_Dll::isOracleConnection() const
{
    return m_cnn && contains(m_cnn->ConnectionString(), "ORACLE");
}

bool DB_Dll::reconnectAndRetry(int& attempts, bool askAtOnce)
{
    ReintentaConectar();
    if (gOpenFlag)
        return ++attempts < AttemptLimit;
    for (;;) {
        ReintentaConectar();
        if (gOpenFlag)
            return askAtOnce ? ++attempts < AttemptLimit : true;
        if (!askAtOnce && ++attempts < AttemptLimit)
            continue;
        const QString crlf = QStringLiteral("\r\n");
        const QString text = crlf + crlf + crlf
            + QStringLiteral("Se perdio la conexion con la base de datos ") + gDBName + crlf
            + QStringLiteral(" Servidor ") + gServidor + crlf + crlf
            + QStringLiteral("Elija SI para reintentar conectarse") + crlf
            + QStringLiteral("Elija NO para cerrar la aplicacion") + crlf + crlf + crlf;
        // Yes keeps trying, asking again after every failed attempt.
        if (MsgBox(text, Msg::YesNo + Msg::Critical, QStringLiteral("AVISO AL OPERADOR"))
            != Msg::Yes)
            endProgram();
    }
}

void DB_Dll::AbrirRecordset(QString& SentenciaSQL, AdoRecordset& LRCS,
    AdoConnection* Conexionactiva, int CursorType, int LockType, int Options, bool ConvOracle)
{
    // Starting at 2, a first reconnect that works does not run the read again by itself: the
    // operator sees the error and chooses.
    int attempts = 2;
    Steps steps([&](const RuntimeError& error) {
        const int number = error.number();
        if ((number == AdoErrorNumber::Fail || number == AdoErrorNumber::InvalidConnection)
            && gCnn().Errors().Count() > 0 && reconnectAndRetry(attempts))
            return int(Msg::Retry);
        return TratamientoErrores(error, DefaultButtons, QStringLiteral("AbrirRecordset"));
    });

    if (!steps.run([&] { CierraRecordset(LRCS); }))
        return;
    if (!steps.run([&] { SentenciaSQL = SS_TSinonimos(SentenciaSQL); }))
        return;
    if (!steps.run([&] {
            AdoConnection& cnn = gCnn();
            const bool oracle = cnn.ConnectionString().indexOf(QLatin1String("ORACLE"), 0, CI) > 0;
            const QString source = oracle && ConvOracle ? ORACLE_Dicc(SentenciaSQL) : SentenciaSQL;
            AdoConnection* connection = Conexionactiva ? Conexionactiva : &cnn;
            require(LRCS.Open(source, connection, CursorType, LockType, Options), LRCS.LastError());
        }))
        return;
    // A long query leaves the screen unpainted; let it catch up before the caller goes on.
    QCoreApplication::processEvents();
}

void DB_Dll::AbrirRecordset(const QString& SentenciaSQL, AdoRecordset& LRCS,
    AdoConnection* Conexionactiva, int CursorType, int LockType, int Options, bool ConvOracle)
{
    QString sentencia = SentenciaSQL;
    AbrirRecordset(sentencia, LRCS, Conexionactiva, CursorType, LockType, Options, ConvOracle);
}

void DB_Dll::EjecutaConsultaSQL(QString& SentenciaSQL, qint64* RecordsAffected, AdoRecordset* LRCS)
{
    EjecutaConsulta(SentenciaSQL, RecordsAffected, LRCS, true);
}

void DB_Dll::EjecutaConsultaSQL(
    const QString& SentenciaSQL, qint64* RecordsAffected, AdoRecordset* LRCS)
{
    QString sentencia = SentenciaSQL;
    EjecutaConsulta(sentencia, RecordsAffected, LRCS, true);
}

void DB_Dll::EjecutaConsultaRSQL(QString& SentenciaSQL, qint64* RecordsAffected, AdoRecordset* LRCS)
{
    EjecutaConsulta(SentenciaSQL, RecordsAffected, LRCS, false);
}

void DB_Dll::EjecutaConsulta(
    QString& SentenciaSQL, qint64* RecordsAffected, AdoRecordset* LRCS, bool reconecta)
{
    // Scripts that drop and create objects get the restricted views (a view created for an
    // operator reads what the operator may read); plain data statements always reach the real
    // tables. A script that also deletes is left alone.
    if (contains(SentenciaSQL, "CREATE") && contains(SentenciaSQL, "DROP")
        && !contains(SentenciaSQL, "DELETE") && !contains(SentenciaSQL, "@ADMIN_"))
        SentenciaSQL = SS_TSinonimos(SentenciaSQL);
    else
        SentenciaSQL = RestrictedViews::quitaMarcaAdmin(SentenciaSQL);

    // Errors are inspected on this instance's own connection (the runner without reconnection
    // keeps the suite's habit of looking at gDBRSQL's, which is never opened).
    AdoConnection& cnn = gCnn();
    AdoErrors& errors = reconecta ? cnn.Errors() : gDBRSQL().gCnn().Errors();
    const bool explicitTransaction = contains(SentenciaSQL, "TRANS");
    const bool oracle = isOracleConnection();
    int attempts = 0;
    for (;;) {
        qint64 affected = 0;
        bool ok = true;
        if (oracle) {
            try {
                EjecutaLoteOracle(SentenciaSQL, affected);
            } catch (const RuntimeError&) {
                ok = false;
            }
        } else {
            if (LRCS)
                CierraRecordset(*LRCS);
            ok = cnn.Execute(SentenciaSQL, &affected, -1, LRCS);
        }
        if (RecordsAffected)
            *RecordsAffected = affected;

        // "String or binary data would be truncated" is a warning for the suite: the row is
        // stored cut, and the caller is not to see it as an error.
        const bool truncated
            = errors.Count() > 0 && errors.Item(0).NativeError() == SqlNativeError::StringTruncated;
        if (ok) {
            if (errors.Count() <= 2 && truncated && !explicitTransaction)
                errors.Clear();
            return;
        }
        if (errors.Count() == 0 || explicitTransaction)
            return;
        if (truncated) {
            errors.Clear();
            return;
        }
        if (!reconecta || errors.Item(0).NativeError() != SqlNativeError::GeneralNetworkError)
            return;
        // A reconnect clears the connection's errors; when the statement is given up the caller
        // must still find the failure there.
        const AdoErrors failure = errors;
        if (!reconnectAndRetry(attempts)) {
            errors = failure;
            return;
        }
    }
}

void DB_Dll::CierraRecordset(AdoRecordset& LrcsTemp)
{
    Steps steps([&LrcsTemp, this](const RuntimeError& error) {
        if (error.number() == AdoErrorNumber::IllegalOperation) {
            // In the middle of an edit: drop the edit, then close.
            LrcsTemp.CancelUpdate();
            if (LrcsTemp.State() != adStateClosed)
                LrcsTemp.Close();
            return int(Msg::Abort);
        }
        return TratamientoErrores(error, DefaultButtons, QStringLiteral("CierraRecordset"));
    });
    steps.run([&] {
        if (LrcsTemp.State() != adStateClosed)
            require(LrcsTemp.Close(), LrcsTemp.LastError());
    });
}

void DB_Dll::EjecutaLoteOracle(QString& Lote, qint64& RegistrosAfectados)
{
    using OracleRewrite::BatchStep;
    AdoConnection& cnn = gCnn();
    Lote = OracleRewrite::normalizaLote(Lote);
    const std::vector<BatchStep> steps = OracleRewrite::divideLote(Lote);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const BatchStep& step = steps[i];
        bool ok = true;
        switch (step.kind) {
        case BatchStep::Kind::BeginTrans:
            ok = cnn.BeginTrans();
            break;
        case BatchStep::Kind::CommitTrans:
            ok = cnn.CommitTrans();
            break;
        case BatchStep::Kind::RollbackTrans:
            ok = cnn.RollbackTrans();
            break;
        case BatchStep::Kind::Statement: {
            QString statement = ORACLE_Dicc(step.text);
            const QString filtered = OracleRewrite::FiltraSentenciaOracle(statement);
            if (!filtered.trimmed().isEmpty()) {
                qint64 affected = 0;
                ok = cnn.Execute(filtered, &affected, -1);
                if (ok)
                    RegistrosAfectados += affected;
            }
            break;
        }
        }
        if (!ok) {
            Lote = Lote.mid(step.from);
            throw cnn.LastError();
        }
    }
    Lote.clear();
    // A statement that returns nothing leaves this status behind on Oracle; it is no error.
    if (cnn.Errors().Count() == 1 && cnn.Errors().Item(0).Number() == AdoErrorNumber::NoResult)
        cnn.Errors().Clear();
}

// ---------------------------------------------------------------------------------------------
// Rewrites

QString DB_Dll::ORACLE_Dicc(const QString& Valor) const
{
    if (!contains(gConnString, "ORACLE"))
        return Valor;
    return OracleRewrite::ORACLE_Dicc(Valor);
}

QString DB_Dll::SS_TSinonimos(const QString& Sql) const
{
    const DataSettings* settings = Service<DataSettings>::tryGet();
    return RestrictedViews::SS_TSinonimos(
        Sql, { gEsAdmin, settings && settings->gConfidencialidad, executableName() });
}

// ---------------------------------------------------------------------------------------------
// Values

QString DB_Dll::SQLValue(const Value& Valor, const QString& Tipo) const
{
    const Utilidades& util = gUtilidades();
    if (Tipo == u"@") {
        const Value amount = Valor.isNull() ? Value(qint32(0)) : Valor;
        return util.ValorMoneda(util.ValorCampo(amount)).toString(u'.');
    }
    if (Valor.isNull())
        return QStringLiteral("NULL");
    const QString body = util.ValorCampo(Valor);
    // Doubled, an apostrophe stays inside the literal: "D'Angelo" is a name, not the end of the
    // statement's text.
    return Tipo == u"'" ? ConsultasDatos::literal(body) : body;
}

QString DB_Dll::SQLValue2(const Value& Valor, const QString& Tipo) const
{
    return SQLValue(Valor, Tipo);
}

bool DB_Dll::adodate(int Qtype) const
{
    return isIn(Qtype, DateGroup);
}

QString DB_Dll::ADOComilla(int Qtype) const
{
    return adodate(Qtype) || ADOText(Qtype) ? QStringLiteral("'") : QString();
}

bool DB_Dll::ADOText(int Qtype) const
{
    return isIn(Qtype, TextGroup);
}

bool DB_Dll::ADONumeric(int Qtype) const
{
    return isIn(Qtype, NumberGroup);
}

bool DB_Dll::ADOCurrency(int Qtype) const
{
    return Qtype == adCurrency;
}

bool DB_Dll::ADOBoolean(int Qtype) const
{
    return Qtype == adBoolean;
}

// ---------------------------------------------------------------------------------------------
// Errors

QString DB_Dll::archivoErroresEnUso() const
{
    if (!gLogErr.isEmpty())
        return gLogErr;
    // The data layer's log is the program's own, not in the temporary folder: it goes where the
    // program writes its helper files, the program folder being read-only when installed.
    return FileNames::helperFileToWrite(QString::fromLatin1(ErrorLog::FileName));
}

int DB_Dll::TratamientoErrores(
    const RuntimeError& CodErr, int Botones, const std::optional<QString>& Rutina)
{
    if (CodErr.number() == 0)
        return 0;
    const QString message = ErrorLog::messageText(CodErr);
    const int answer = MsgBox(message, Botones, ErrorLog::title(CodErr, Rutina, TitleMark));
    // Only an answered error is logged, and the file is opened only now.
    ErrorLog::append(archivoErroresEnUso(), ErrorLog::line(Now(), Rutina, message, answer));
    return answer;
}

void DB_Dll::QConsulta(
    const QString&, const QString&, const QString&, const QString&, const QString&, const QString&)
{
}

void DB_Dll::QGridConsulta(
    const QString&, const QString&, const QString&, const QString&, const QString&)
{
}
