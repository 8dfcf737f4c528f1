#include "platform/qt/QtPlatform.h"

#include "platform/Entorno.h"
#include "platform/LectorIni.h"
#include "platform/Service.h"
#include "platform/Utilidades.h"
#include "platform/qt/ComponenteQRImagen.h"
#include "platform/qt/ExitProgramEnd.h"
#include "platform/qt/QtDatePicker.h"
#include "platform/qt/QtFileDialog.h"
#include "platform/qt/QtInputDialog.h"
#include "platform/qt/QtLauncher.h"
#include "platform/qt/QtMessageDialog.h"
#include "platform/qt/QtPrintDialog.h"
#include "platform/qt/SystemClock.h"
#include "platform/qt/SystemEnvironment.h"

struct QtPlatform::Parts
{
    SystemClock clock;
    SystemEnvironment environment;
    QtMessageDialog messages;
    QtInputDialog input;
    QtFileDialog files;
    QtPrintDialog printing;
    QtDatePicker dates;
    QtLauncher launcher;
    ExitProgramEnd programEnd;
    Utilidades utilidades;
    Entorno entorno;
    LectorIni lectorIni;
    FabricaComponenteQRImagen qr;

    ScopedService<Clock> clockService { clock };
    ScopedService<Environment> environmentService { environment };
    ScopedService<MessageDialog> messagesService { messages };
    ScopedService<InputDialog> inputService { input };
    ScopedService<FileDialog> filesService { files };
    ScopedService<PrintDialog> printingService { printing };
    ScopedService<DatePicker> datesService { dates };
    ScopedService<Launcher> launcherService { launcher };
    ScopedService<ProgramEnd> programEndService { programEnd };
    ScopedService<Utilidades> utilidadesService { utilidades };
    ScopedService<Entorno> entornoService { entorno };
    ScopedService<LectorIni> lectorIniService { lectorIni };
    ScopedService<FabricaComponenteQR> qrService { qr };
};

QtPlatform::QtPlatform()
    : m_parts(std::make_unique<Parts>())
{
}

QtPlatform::~QtPlatform() = default;
