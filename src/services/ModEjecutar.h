#pragma once

#include <QString>

// Starting the suite's sibling programs with this program's session, and opening documents and
// addresses with their associated programs.
namespace ModEjecutar {

// Starts a sibling program on the same database with the same user: the program text is
// "SHELL:<name>" (looked up in the program folder), a path after "SHELL:", or a name; the start-up
// parameter string goes with it as one argument. A blank in `parametroAdicional` keeps only what
// follows its first blank (the caller's variable changes). `idTarea` receives the started
// process's id; when nothing started (a program of the suite that is not installed here) the
// operator reads "Opcion no Implementada!". The server and database are those of the program's
// database object.
void MenuExes(const QString& programa, QString& parametroAdicional, qint64& idTarea);

// The same with the server and database given.
void MenuExes(const QString& programa, QString& parametroAdicional, qint64& idTarea,
    const QString& servidor, const QString& dbName);

// The command that MenuExes starts: the program's path, then the parameter string.
struct ComandoPrograma
{
    QString programa;
    QString parametros;

    // The command line for the platform launcher: both quoted, so the parameter string, blanks
    // and ";" included, reaches the program as one argument.
    QString lineaComando() const;
};

// `texto` as one argument of a command line.
QString citaArgumento(const QString& texto);
ComandoPrograma ArmaComandoPrograma(const QString& programa, const QString& parametros);

// A relative file or folder name made full under the program folder: a name with a "." after its
// first character is a file, anything else a folder (returned with its trailing "/"). Absolute
// paths ("/x", "C:\x", "\\server\x") stay where they are. Two characters or fewer give "".
QString RutaCompletaArchivo(const QString& ruta);

// Opens a file or address with its associated program, minimised when asked. A text holding a
// blank and no double quote is passed between double quotes. A failed association is not reported.
void AbreArchivoAsociado(const QString& archivo, bool minimizado);

} // namespace ModEjecutar
