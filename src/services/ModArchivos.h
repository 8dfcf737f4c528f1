#pragma once

#include <optional>

#include <QString>

#include "services/RegistroComandera.h"

// The kitchen-printer lookup and the small file utilities the login dialog, the report output, the
// sender and the voucher printing share. Paths may use "\" and any letter case (the suite's
// spelling); they are matched against the disk ignoring case.
namespace ModArchivos {

inline constexpr char ArchivoComanderas[] = "Comanderas.cfg";

// This workstation's kitchen-printer record in "Comanderas.cfg" of the program folder: the first
// record whose key equals computer name "|" login name (ignoring case) and whose printer name is
// not blank; with a non-empty `impresora`, also whose printer name equals it ignoring case. Nothing
// when no record qualifies or the file is missing or unreadable (the file is never created). Never
// raises and shows nothing.
std::optional<RegistroComandera> ExisteComandera(const QString& impresora = QString());

// The same search over the file `archivo` for the workstation key `puesto`.
std::optional<RegistroComandera> BuscaComandera(
    const QString& archivo, const QString& puesto, const QString& impresora);

// True when the file can be opened for reading; a missing file, a folder, a bad name or no access
// all answer false. Never raises.
bool PuedeAbrirArchivo(const QString& ruta);

// PuedeAbrirArchivo of the path with every double quote removed: "C:\a b\x.txt" in quotes answers
// for the file itself.
bool ExisteArchivo(const QString& ruta);

// Copies `origen` over `destino` (created or emptied). False, with nothing opened, when
// ExisteArchivo says the source is missing; false when the source cannot be opened (the destination
// is then not touched) or a read or write fails (the destination keeps what was written). Any size.
bool CopiaArchivo(const QString& origen, const QString& destino);

} // namespace ModArchivos
