#include "bench/BenchComun.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include "demo/DemoDatabase.h"

double picoMemoriaMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

QString baseDeMedicion(int articulos, const QString& carpeta, QTextStream& salida, QString& error)
{
    const QString archivo = carpeta + QStringLiteral("/DEMO.db");
    if (QFileInfo::exists(archivo))
        return archivo;
    salida << "Generando la base de demostración (" << articulos << " artículos) en " << carpeta
           << "...\n";
    salida.flush();
    // Another run may write the same database at the same time and already be reading it: its
    // file is kept, never replaced under it.
    DemoDatabase::Options opciones { carpeta, articulos };
    opciones.keepExisting = true;
    error = DemoDatabase::write(opciones);
    return error.isEmpty() ? archivo : QString();
}
