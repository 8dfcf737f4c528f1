#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The query-mask file of the lookup dialogs, "consultas.qzk" in the program folder: fixed records
// of 1,202 bytes without header, each a mask for one table the lookups may be asked to search.
// Text fields are Windows-1252, left-aligned and blank-padded to their width (a longer value is
// cut); each record ends in CR LF, so the file also reads as lines of 1,200 characters.
namespace MascarasConsulta {

inline constexpr char NombreArchivo[] = "consultas.qzk";

inline constexpr int AnchoTitulo = 100;
inline constexpr int AnchoTabla = 100;
inline constexpr int AnchoCampos = 500;
inline constexpr int AnchoWhere = 500;
inline constexpr int LongitudRegistro = AnchoTitulo + AnchoTabla + AnchoCampos + AnchoWhere + 2;

struct RegistroMascaraConsulta
{
    // Name of the mask: the entity the lookup lists ("ARTICULOS").
    QString Titulo;
    // Table or view the lookup reads; the key a reader finds the record by (trimmed, any case).
    QString Tabla;
    // Columns shown, each enclosed by "|" ("|DESCRIPCION|IDARTICULO|").
    QString Campos;
    // Extra condition of the lookup's query.
    QString Where;
};

// One record as it lies in the file, CR LF included.
QByteArray Codifica(const RegistroMascaraConsulta& registro);

// A record read back from `bytes` (LongitudRegistro bytes; a short record reads as far as it
// goes). Fields keep their padding: the reader trims what it compares.
RegistroMascaraConsulta Decodifica(const QByteArray& bytes);

// The eleven masks written to a program folder that has none.
const QList<RegistroMascaraConsulta>& MascarasDefault();

// Writes the default masks into the file at `ruta`, each after the last whole record the file
// already holds (a new file starts at record 1). Called only when the file does not exist.
// Raises RuntimeError 75 when the file cannot be opened or written.
void GeneraMascarasConsultaDefault(const QString& ruta);

} // namespace MascarasConsulta
