#pragma once

#include <QString>

// The utility library's file-open dialog, one object per use: set the title and the filter, call
// MostrarAbrir, then read ArchivoElegido (empty when none) or Cancelado. It shows the installed
// FileDialog, so tests script the choice.
class DialogoArchivo
{
public:
    // Dialog title.
    QString TituloDialogo;
    // Description and pattern pairs joined by "|": "Imagenes (*.jpg)|*.jpg|Todos|*.*".
    QString Filtro;
    // Which pair of the filter is offered first (1 = the first).
    int IndiceFiltro = 1;
    // Only existing files may be chosen.
    bool ArchivoDebeExistir = true;
    // Folder the dialog opens in; empty for the last one used.
    QString CarpetaInicial;

    // Shows the open dialog and keeps the outcome.
    void MostrarAbrir();

    // The chosen file's path; empty when the operator cancelled or nothing was shown yet.
    const QString& ArchivoElegido() const { return m_archivoElegido; }
    bool Cancelado() const { return m_cancelado; }

private:
    QString m_archivoElegido;
    bool m_cancelado = false;
};
