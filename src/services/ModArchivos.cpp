#include "services/ModArchivos.h"

#include <QFile>

#include "platform/Entorno.h"
#include "platform/FileNames.h"
#include "platform/Utilidades.h"

namespace ModArchivos {

namespace {

constexpr qint64 BloqueCopia = 64 * 1024;

} // namespace

std::optional<RegistroComandera> ExisteComandera(const QString& impresora)
{
    const Entorno& entorno = gEntorno();
    // Not the upper-cased, 50-character workstation key of the start-up: the file keeps names as
    // the machine gives them, compared ignoring case.
    const QString puesto = (entorno.NombrePC() + u'|' + entorno.UsuarioWindows()).trimmed();
    return BuscaComandera(
        FileNames::inProgramFolder(QString::fromLatin1(ArchivoComanderas)), puesto, impresora);
}

std::optional<RegistroComandera> BuscaComandera(
    const QString& archivo, const QString& puesto, const QString& impresora)
{
    // Read-only: the file belongs to whoever set the printers up, and a workstation without one
    // must not leave an empty file behind.
    QFile file(FileNames::resolve(archivo));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;

    const Utilidades& util = gUtilidades();
    // A trailing partial record is ignored.
    const qint64 registros = file.size() / RegistroComandera::Longitud;
    for (qint64 numero = 0; numero < registros; ++numero) {
        if (!file.seek(numero * RegistroComandera::Longitud))
            continue;
        const QByteArray bytes = file.read(RegistroComandera::Longitud);
        if (bytes.size() != RegistroComandera::Longitud)
            continue;
        const RegistroComandera registro = RegistroComandera::desdeBytes(bytes);

        if (util.LimpiaCadenaFija(registro.Puesto).compare(puesto, Qt::CaseInsensitive) != 0)
            continue;
        // A record without a printer is a workstation that has none yet; a later one may.
        const QString nombre = util.LimpiaCadenaFija(registro.Impresora);
        if (nombre.isEmpty())
            continue;
        if (impresora.isEmpty() || nombre.compare(impresora, Qt::CaseInsensitive) == 0)
            return registro;
    }
    return std::nullopt;
}

bool PuedeAbrirArchivo(const QString& ruta)
{
    if (ruta.isEmpty())
        return false;
    QFile file(FileNames::resolve(ruta));
    return file.open(QIODevice::ReadOnly);
}

bool ExisteArchivo(const QString& ruta)
{
    QString sinComillas = ruta;
    sinComillas.remove(u'"');
    return PuedeAbrirArchivo(sinComillas);
}

bool CopiaArchivo(const QString& origen, const QString& destino)
{
    if (!ExisteArchivo(origen))
        return false;

    // The source is opened as given: a path in double quotes passed the test above but names no
    // file, and the destination must stay untouched then.
    QFile entrada(FileNames::resolve(origen));
    if (origen.isEmpty() || !entrada.open(QIODevice::ReadOnly))
        return false;
    QFile salida(FileNames::resolve(destino));
    if (!salida.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;

    QByteArray bloque;
    while (!entrada.atEnd()) {
        bloque = entrada.read(BloqueCopia);
        if (bloque.isEmpty() && entrada.error() != QFileDevice::NoError)
            return false;
        if (salida.write(bloque) != bloque.size())
            return false;
    }
    if (entrada.error() != QFileDevice::NoError)
        return false;
    return salida.flush();
}

} // namespace ModArchivos
