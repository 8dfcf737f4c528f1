#pragma once

#include <QStringList>
#include <QTextStream>

// The subcommands of rp_voucher. Each lives in a source file of its own and is listed once in
// the table of rp_voucher.cpp; it receives the arguments after its name and returns the exit
// status (0 done, 1 done with skipped statements, 2 usage or nothing to do).
struct SubcomandoVoucher
{
    const char* nombre;
    const char* uso;
    int (*ejecuta)(const QStringList& argumentos, QTextStream& salida, QTextStream& errores);
};

// The line that names a voucher a subcommand did not print, and why.
inline void avisaNoImpreso(
    QTextStream& errores, const QString& tc, const QString& id, const QString& motivo)
{
    errores << "No se imprimió el comprobante " << tc << " " << id << ": " << motivo << "\n";
}

struct OpcionesVoucher;

// rp_voucher_buffer.cpp
int subcomandoBuffer(const QStringList& argumentos, QTextStream& salida, QTextStream& errores);
extern const char* const kUsoBuffer;
// What the subcommand does once its options are read and its session is open: for a caller that
// keeps one session open across many runs (the fuzz target of voucher rows).
int bufferEnSesion(const OpcionesVoucher& o, QTextStream& salida, QTextStream& errores);

// rp_voucher_qr.cpp
int subcomandoQr(const QStringList& argumentos, QTextStream& salida, QTextStream& errores);
extern const char* const kUsoQr;

// rp_voucher_print.cpp
int subcomandoPrint(const QStringList& argumentos, QTextStream& salida, QTextStream& errores);
extern const char* const kUsoPrint;
// As bufferEnSesion, for options the subcommand has already found well formed.
int printEnSesion(const OpcionesVoucher& o, QTextStream& errores);
int subcomandoAsiento(const QStringList& argumentos, QTextStream& salida, QTextStream& errores);
extern const char* const kUsoAsiento;

// rp_voucher_recibo.cpp
int subcomandoRecibo(const QStringList& argumentos, QTextStream& salida, QTextStream& errores);
extern const char* const kUsoRecibo;

// rp_voucher_ticket.cpp
int subcomandoTicket(const QStringList& argumentos, QTextStream& salida, QTextStream& errores);
extern const char* const kUsoTicket;
