#pragma once

#include <QImage>
#include <QString>

class QLabel;

// Pictures attached to a WhatsApp message: the thumbnail written beside the working copy, the
// rule that fits a size into a box, paths made absolute against the data folder, and the loader
// that also reads metafiles. Paths the suite writes "in the program folder" live in the data
// folder (<XDG data home>/Rp_Tarifolio).
namespace Rt_ImgThumbs {

// The path of the last thumbnail written.
inline QString gArchivoMiniatura;

// Copies `origen` to the data folder as `carpeta` + trimmed `identificador` (+ "_" + `numero` when
// not 0) + "." + its extension (that relative name goes to `nuevoNombre`), then writes the
// thumbnail: the picture fitted into `maxAncho` x `maxAlto`, as a 24-bit Windows bitmap, at
// `carpeta` + "thumbs5/" + `identificador` + ".bmp". The folders are created when missing. False
// only when the copy fails (told in an OK box); a picture that cannot be read leaves no thumbnail.
bool GenerarMiniatura(const QString& carpeta, const QString& origen, const QString& identificador,
    int numero, QString& nuevoNombre, int maxAncho, int maxAlto);

// The fit rule: a side over its maximum is brought down to it and the other follows in
// proportion (single precision, as the suite computes it), again until both fit; never enlarges.
void AjustarMedidasMiniatura(
    float ancho, float alto, float maxAncho, float maxAlto, float& nuevoAncho, float& nuevoAlto);
// `lado` shrinks by `delta`, `otro` keeps its percentage of it.
void ReducirProporcionalMiniatura(float& lado, float& otro, float delta);
// A fitted size in whole pixels: halves go to the even number.
int aPixeles(float medida);

// A path made absolute against the data folder: a folder (no "." past its first character) gets
// a trailing "/", a relative file is put below the data folder; absolute paths ("/", "\\\\" or a
// drive letter) stay. Two characters or less give "".
QString RutaAbsoluta(const QString& ruta);

bool ExisteCarpeta(const QString& carpeta);
// Creates that one folder (its parent must exist).
bool CrearCarpeta(const QString& carpeta);

// The picture in a file: whatever Qt reads (BMP, JPEG, GIF, ICO, PNG), and metafiles through
// wmf2gd. A null image when the file holds no picture.
QImage cargaImagen(const QString& ruta);

// Paints `imagen` fitted and centred into `destino`; a null image leaves the box as it is.
void Escalar_Imagen(const QImage& imagen, QLabel* destino);

} // namespace Rt_ImgThumbs
