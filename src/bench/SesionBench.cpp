#include "bench/SesionBench.h"

#include <QFileInfo>
#include <QTextStream>

#include "data/DataObjects.h"
#include "formhelpers/Dll_DisplayQt.h"
#include "platform/Environment.h"
#include "platform/MessageDialog.h"
#include "platform/Service.h"
#include "platform/qt/QtPlatform.h"
#include "services/ConfiguracionGlobal.h"
#include "tools/ServiciosDatos.h"

namespace {

class MensajesDeMedicion final : public MessageDialog
{
public:
    int show(const QString& text, int style, const QString& title) override
    {
        QTextStream(stderr)
            << "Aviso: "
            << (title.isEmpty() ? text : title + QStringLiteral(": ") + text).simplified() << "\n";
        ++cuadros;
        switch (Msg::buttonsOf(style)) {
        case Msg::AbortRetryIgnore:
            return Msg::Abort;
        case Msg::YesNo:
            return Msg::No;
        case Msg::OkOnly:
            return Msg::Ok;
        default:
            return Msg::Cancel;
        }
    }
    int cuadros = 0;
};

} // namespace

struct SesionBench::Partes
{
    QtPlatform plataforma;
    MensajesDeMedicion mensajes;
    ScopedService<MessageDialog> mensajesServicio { mensajes };
    ServiciosDatos servicios;
    Dll_DisplayQt cartel;
    ScopedService<Dll_Display> cartelServicio { cartel };
};

SesionBench::SesionBench(const QString& archivo)
    : m_partes(std::make_unique<Partes>())
{
    DB_Dll& db = gDB();
    db.gServidor = QStringLiteral("SQLITE");
    db.gDBName = QFileInfo(archivo).absoluteFilePath();
    db.OpenServerADODB(false, adUseClient, QString(), false, false);
    if (!db.gOpenFlag) {
        m_error = QStringLiteral("No se pudo abrir %1: %2")
                      .arg(archivo, db.gCnn().LastError().description());
        return;
    }
    m_partes->servicios.inicio.gUsuarioLogeado = QStringLiteral("ADMIN");
    m_partes->servicios.inicio.gPuesto = ClaveEstacion();
    CargaConfiguracionGlobal(programFolder() + u'/');
}

SesionBench::~SesionBench() = default;

int SesionBench::cuadros() const
{
    return m_partes->mensajes.cuadros;
}
