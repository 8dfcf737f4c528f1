#include "startup/AccesoDirecto.h"

#include <QFile>
#include <QStandardPaths>

#include "platform/RuntimeError.h"

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
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
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
        throw RuntimeError(75, archivo + QStringLiteral(": ") + file.errorString(),
            QStringLiteral("AccesoDirecto"));
    }
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

} // namespace AccesoDirecto
