#pragma once

#include <memory>

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

class QTextStream;

// What every rp_voucher subcommand shares: reading its options and opening a database file as
// the program does, with the real platform, boxes written as one line on the error output and,
// when asked, another machine and login name for the workstation key.

// "--name value" options (names in `conValor`) and "--name" flags (names in `banderas`).
struct OpcionesVoucher
{
    QMap<QString, QString> valores;
    QSet<QString> banderas;
    // Not empty for an unknown option or an option without its value.
    QString error;

    QString valor(const char* nombre) const { return valores.value(QLatin1String(nombre)); }
    bool tiene(const char* nombre) const { return valores.contains(QLatin1String(nombre)); }
    bool bandera(const char* nombre) const { return banderas.contains(QLatin1String(nombre)); }
};

OpcionesVoucher leeOpciones(
    const QStringList& argumentos, const QStringList& conValor, const QStringList& banderas);

// A subcommand called wrongly: `error`, when there is one, and the subcommand's usage `texto`
// written on `errores`; returns 2, the exit status of a bad call.
int usoSubcomando(QTextStream& errores, const QString& error, const char* texto);

// The ticket printer's port opens this device whatever the port number (rp_voucher --puerto).
void fijaPuertoComandera(const QString& dispositivo);

// The program's services installed for the session's lifetime and gDB() open on `archivo`, the
// global settings loaded. `equipo` and `usuario`, when not empty, stand for the machine and login
// names. error() says why the database could not be opened.
class SesionVoucher final
{
public:
    SesionVoucher(const QString& archivo, const QString& equipo, const QString& usuario);
    ~SesionVoucher();
    SesionVoucher(const SesionVoucher&) = delete;
    SesionVoucher& operator=(const SesionVoucher&) = delete;

    const QString& error() const { return m_error; }
    // The run's exit status after an error: 1 when another run held the workstation past the
    // time-out, else 2.
    int salida() const { return m_salida; }

private:
    struct Partes;
    std::unique_ptr<Partes> m_partes;
    QString m_error;
    int m_salida = 2;
};

// The session the options name (--db, --equipo, --usuario); null, with its error told on
// `errores` and the run's exit status in `salida`, when it cannot be opened.
std::unique_ptr<SesionVoucher> abreSesion(
    const OpcionesVoucher& o, QTextStream& errores, int& salida);

// The rows of `consulta` on gDB(), every column tab-separated, one line each (tabs and line
// breaks inside a value become blanks), when `mostrar`; returns how many rows there were.
int muestraFilas(const QString& consulta, bool mostrar, QTextStream& salida);
