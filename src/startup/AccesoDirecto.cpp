#include "startup/AccesoDirecto.h"

#include <QFile>
#include <QFileInfo>

#include "platform/Environment.h"
#include "platform/RuntimeError.h"
#include "platform/Service.h"

namespace AccesoDirecto {

namespace {

// One argument of the Exec key: in double quotes, with the characters the key reserves inside
// quotes escaped by a backslash.
QString argumentoExec(const QString& texto)
{
    QString citado;
    citado.reserve(texto.size() + 2);
    citado += u'"';
    for (const QChar c : texto) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            citado += u'\\';
        citado += c;
    }
    citado += u'"';
    return citado;
}

// A value of the file's string type: backslashes and line breaks escaped. In the Exec key a
// literal "%" is written twice, as field codes start with it.
QString valor(const QString& texto)
{
    QString escapado;
    for (const QChar c : texto) {
        if (c == u'\\')
            escapado += QStringLiteral("\\\\");
        else if (c == u'\n')
            escapado += QStringLiteral("\\n");
        else if (c == u'\r')
            escapado += QStringLiteral("\\r");
        else if (c == u'\t')
            escapado += QStringLiteral("\\t");
        else
            escapado += c;
    }
    return escapado;
}

} // namespace

QString CarpetaEscritorio()
{
    const Environment& entorno = Service<Environment>::get();
    const QString elegida = entorno.variable(QStringLiteral("XDG_DESKTOP_DIR"));
    if (!elegida.isEmpty())
        return elegida;
    const QString casa = entorno.variable(QStringLiteral("HOME"));
    QString configuracion = entorno.variable(QStringLiteral("XDG_CONFIG_HOME"));
    if (configuracion.isEmpty())
        configuracion = casa + QStringLiteral("/.config");
    // The desktop names its folders in the user's language ("Escritorio") in this file.
    QFile carpetas(configuracion + QStringLiteral("/user-dirs.dirs"));
    if (carpetas.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!carpetas.atEnd()) {
            const QString linea = QString::fromUtf8(carpetas.readLine()).trimmed();
            if (!linea.startsWith(QLatin1String("XDG_DESKTOP_DIR=")))
                continue;
            QString ruta = linea.mid(int(qstrlen("XDG_DESKTOP_DIR="))).trimmed();
            if (ruta.size() >= 2 && ruta.startsWith(u'"') && ruta.endsWith(u'"'))
                ruta = ruta.mid(1, ruta.size() - 2);
            if (ruta.startsWith(QLatin1String("$HOME")))
                ruta = casa + ruta.mid(5);
            if (!ruta.isEmpty())
                return ruta;
        }
    }
    for (const char* nombre : { "Desktop", "Escritorio" }) {
        const QString ruta = casa + u'/' + QLatin1String(nombre);
        if (QFileInfo(ruta).isDir())
            return ruta;
    }
    return casa + QStringLiteral("/Desktop");
}

QString ArchivoAccesoDirecto(const QString& carpeta, const QString& nombre)
{
    return carpeta + u'/' + nombre.trimmed() + QStringLiteral(".desktop");
}

QByteArray Contenido(const QString& nombre, const QString& programa, const QString& argumentos,
    const QString& carpetaPrograma)
{
    QString exec;
    if (!carpetaPrograma.isEmpty())
        exec = QStringLiteral("env RP_TARIFOLIO_HOME=") + argumentoExec(carpetaPrograma) + u' ';
    exec += argumentoExec(programa) + u' ' + argumentoExec(argumentos);
    exec.replace(u'%', QStringLiteral("%%"));

    const QString texto = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Version=1.0\n"
                                         "Name=")
        + valor(nombre.trimmed()) + QStringLiteral("\nExec=") + valor(exec)
        + QStringLiteral("\nTerminal=false\n");
    return texto.toUtf8();
}

void Escribe(const QString& archivo, const QByteArray& contenido)
{
    QFile file(archivo);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(contenido) != contenido.size() || !file.flush()) {
        throw RuntimeError(75,
            QStringLiteral("no se puede escribir el archivo %1 (falta el permiso o el lugar).")
                .arg(archivo),
            QStringLiteral("AccesoDirecto"));
    }
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

} // namespace AccesoDirecto
