#include <QApplication>

#include "app/AsientosImpresos.h"
#include "app/ComprobantesImpresos.h"
#include "data/DataObjects.h"
#include "formhelpers/AplicacionConUltimoRecurso.h"
#include "formhelpers/Controles.h"
#include "formhelpers/Dll_DisplayQt.h"
#include "formhelpers/EstadoFormulario.h"
#include "formhelpers/FormularioModal.h"
#include "lookup/Lib_ClsCons3.h"
#include "platform/Environment.h"
#include "platform/MessageDialog.h"
#include "platform/ProcessTuning.h"
#include "platform/Service.h"
#include "platform/qt/CurlHttp.h"
#include "platform/qt/CurlMail.h"
#include "platform/qt/FechasDialogoArchivo.h"
#include "platform/qt/QtAdoProvider.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtPuertoSerie.h"
#include "pricelists/EnlacesPrograma.h"
#include "pricelists/Rp_Tarifolio.h"
#include "reports/DLL_Print.h"
#include "reports/ReportEngineControl.h"
#include "reports/SinkReportOutputs.h"
#include "reportpreview/ReportPreview.h"
#include "sending/EnvioCorreoFormulario.h"
#include "services/Globales.h"
#include "services/VariablesInicio.h"
#include "startup/ConfiguracionRegional.h"
#include "startup/DialogoConexion.h"
#include "startup/TextosQt.h"
#include "vouchers/AnexasComprobante.h"

int main(int argc, char* argv[])
{
    ProcessTuning::apply();
    // An error no step of an event caught is told in a box and ends the program.
    AplicacionConUltimoRecurso app(argc, argv, AplicacionConUltimoRecurso::Aviso::ConCaja);
    QApplication::setApplicationName(QStringLiteral("Rp_Tarifolio"));
    // Amounts and dates as the workstation writes them, Spanish (Argentina) where it names no
    // region; Qt's own buttons and dialogs in Spanish.
    ConfiguracionRegional::aplicaLocale(ConfiguracionRegional::Entorno::delProceso());
    const TextosQt textosQt;
    // File dialogs write dates and sizes as the program does, not in the system's locale.
    FechasDialogoArchivo fechasDialogos;
    app.installEventFilter(&fechasDialogos);
    const QtPlatform platform;
    Controles controles;
    const ScopedService<Controles> controlesService(controles);
    // The data objects open their connections through the provider; it outlives them.
    QtAdoProvider adoProvider(
        QtAdoProvider::Settings { .programFolder = programFolder(), .dataFolder = dataFolder() });
    const ScopedService<AdoProvider> adoProviderService(adoProvider);
    DataObjects dataObjects;
    DataSettings dataSettings;
    const ScopedService<DataSettings> dataSettingsService(dataSettings);
    const ScopedService<DataObjects> dataObjectsService(dataObjects);
    VariablesInicio inicio;
    const ScopedService<VariablesInicio> inicioService(inicio);
    Globales globales;
    const ScopedService<Globales> globalesService(globales);
    Dll_DisplayQt display;
    const ScopedService<Dll_Display> displayService(display);
    ConsultasPrograma consultas;
    const ScopedService<ConsultasPrograma> consultasService(consultas);
    FormularioModalQt formularioModal;
    const ScopedService<FormularioModal> formularioModalService(formularioModal);
    DialogoConexion dialogoConexion;
    const ScopedService<ConnectionDialog> dialogoConexionService(dialogoConexion);
    // One report control stands behind the report object and the report driver.
    SinkReportOutputs reportOutputs;
    const ScopedService<ReportOutputs> reportOutputsService(reportOutputs);
    ReportPreviewWindows previews;
    const ScopedService<ReportPreviews> previewsService(previews);
    ReportEngineControl reportControl;
    const ScopedService<ReportControl> reportControlService(reportControl);
    DLL_Print reporte;
    const ScopedService<DLL_Print> reporteService(reporte);
    // The sender renders vouchers and receipts through their printing.
    ComprobantesImpresos comprobantes;
    const ScopedService<ComprobantesEnvio> comprobantesService(comprobantes);

    // The start-up hands the connection and the query masks to the lookup object and the
    // program folder to the report object.
    EnlacesPrograma enlaces;
    const ScopedService<EnlacesInicio> enlacesService(enlaces);

    EstadoFormulario estadoFormulario(EstadoFormulario::archivoPorDefecto());
    const ScopedService<EstadoFormulario> estadoFormularioService(estadoFormulario);

    // Mail goes out through libcurl; the report output hands mailed reports to the sender form.
    CurlMailFactory correo;
    const ScopedService<MailFactory> correoService(correo);
    CurlHttpFactory http;
    const ScopedService<HttpFactory> httpService(http);
    EnvioCorreoFormulario envioCorreo;
    const ScopedService<EnvioCorreo> envioCorreoService(envioCorreo);

    // Voucher prints hand on kitchen tickets (serial ticket printer), order rules and entries.
    QtPuertoSerie puertoSerie;
    const ScopedService<PuertoSerie> puertoSerieService(puertoSerie);
    AnexasComprobante anexas;
    const ScopedService<ImpresionesAnexas> anexasService(anexas);
    AsientosImpresos asientos;
    const ScopedService<ImpresionAsiento> asientosService(asientos);

    // The main window's load runs the start-up; its unload ends the program.
    Rp_Tarifolio ventana;
    ventana.Form_Load();
    ventana.show();
    return QApplication::exec();
}
