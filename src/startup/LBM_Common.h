#pragma once

#include <QList>
#include <QString>

// The connection registry "BASES.TXT" of the program folder, shared with the suite's other
// programs: one line per registered connection, five comma-separated fields, no quoting, lines
// ended by CR LF, Windows-1252 text:
//     display name,database,user,scrambled password,server
// The display name is "<DATABASE> / <SERVER>" upper-cased, the server without its port; the server
// field carries "#" in front for Oracle and may end in ":" and a port.
namespace LBM_Common {

inline constexpr char ArchivoBases[] = "BASES.TXT";

// The registry's path; blank until the first write, which sets it to the data folder's
// "BASES.TXT" (started as a copy of the program folder's). Kept for the program's life. The
// dialog reads the data folder's registry, else the program folder's.
extern QString gArchivoBases;
// The port appended to the server field; nothing in this program sets it.
extern QString gPuertoBases;

struct RegistroConexion
{
    QString nombre; // display name
    QString base; // database
    QString usuario; // login
    QString password; // scrambled
    QString servidor; // server, "#" in front for Oracle, ":" and port when typed
};

// True when `texto` can be a field of the registry: no comma and no line break (nothing quotes
// them, so the field would shift every later record for every program that reads the file).
bool CampoAdmitido(const QString& texto);

// Appends a record (fields trimmed, password given in clear and scrambled here). When the file's
// last line is not empty it gets a lone CR first, so a last line without its line end is closed
// without touching it. Raises RuntimeError 5, before anything is read or written, when a field
// is not CampoAdmitido; I/O failures raise 53 (file missing) or 75 (refused).
void GrabarConexionBases(const QString& nombre, const QString& base, const QString& usuario,
    const QString& password, const QString& servidor, const QString& instancia, bool oracle);

// Reads the records of the registry at `ruta`. Fields end at a comma or a line end (CR LF, a lone
// CR or a lone LF) alike and are trimmed; every five fields make a record, so a line with more or
// fewer fields shifts the records after it, as for the suite's other readers. Blank lines between
// records are passed over. A file that ends inside a record raises RuntimeError 62 after the
// complete records were added to `registros`; a file that cannot be opened raises 53 or 75.
void LeeRegistrosBases(const QString& ruta, QList<RegistroConexion>& registros);

} // namespace LBM_Common
