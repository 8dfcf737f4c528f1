#pragma once

#include <functional>

#include <QString>

class DB_Dll;

// A run's turn at the rows a workstation key owns in one database. The voucher and receipt print
// buffers are kept per workstation key: a second run with the same key would clear and fill them
// under the first one's prints, so it waits for the first to end, for a limited time.
//
// The turn is tied to the database itself, never to the run's environment: on an SQLite file a
// lock on a file beside it (on its folder, where accounts that may not write the file can make
// files there), on SQL Server the server's application lock of the connection's session. A run
// that ends in any way, killed included, gives it up. An account that may not write the database
// can hold a run up to the time-out at most, never let two runs of one key work at once.
class TurnoPuesto final
{
public:
    using Aviso = std::function<void(const QString&)>;

    // Takes the turn of `clave` on the database `db` is open on. When another run holds it,
    // `aviso` is told so once and the turn is waited for up to the connection's command time-out
    // (0 waits as long as it is held). `aviso` also hears when the turn is kept some other way
    // than usual, or not at all.
    TurnoPuesto(DB_Dll& db, const QString& clave, const Aviso& aviso);
    // Gives the turn back.
    ~TurnoPuesto();
    TurnoPuesto(const TurnoPuesto&) = delete;
    TurnoPuesto& operator=(const TurnoPuesto&) = delete;

    // False when another run held the turn past the time-out, or the server would not give it;
    // error() then says so in the user's words, naming the run that holds it as far as can be
    // known. Nothing of the database was touched.
    bool tomado() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }

    // The file whose lock is the turn of `clave` on the SQLite file `base`.
    static QString archivoTurno(const QString& base, const QString& clave);

private:
    void tomaEnArchivo(const QString& base, const QString& clave, int segundos, const Aviso& aviso);
    void tomaEnServidor(DB_Dll& db, const QString& clave, int segundos, const Aviso& aviso);

    int m_descriptor = -1;
    DB_Dll* m_servidor = nullptr;
    QString m_recurso;
    QString m_error;
};
