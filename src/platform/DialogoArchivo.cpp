#include "platform/DialogoArchivo.h"

#include "platform/FileDialog.h"
#include "platform/Service.h"

void DialogoArchivo::MostrarAbrir()
{
    OpenFileRequest request;
    request.title = TituloDialogo;
    request.filter = Filtro;
    request.filterIndex = IndiceFiltro;
    request.mustExist = ArchivoDebeExistir;
    request.initialFolder = CarpetaInicial;
    const auto chosen = Service<FileDialog>::get().getOpenFileName(request);
    m_cancelado = !chosen.has_value();
    m_archivoElegido = chosen.value_or(QString());
}
