#pragma once

#include <QString>

class QTextStream;

// What the measuring tools share.

// The process's peak resident memory in MB; -1 when the system does not say.
double picoMemoriaMb();

// The demo database file of `articulos` articles in `carpeta`, written first (and said so on
// `salida`) when it is not there. Empty, with `error` set, when it cannot be written.
QString baseDeMedicion(int articulos, const QString& carpeta, QTextStream& salida, QString& error);
