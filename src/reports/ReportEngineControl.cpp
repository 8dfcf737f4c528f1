#include "reports/ReportEngineControl.h"

#include <memory>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "data/DB_Dll.h"
#include "data/DataObjects.h"
#include "platform/AppendFile.h"
#include "platform/AdoConnection.h"
#include "platform/AdoProvider.h"
#include "platform/FileNames.h"
#include "platform/RuntimeError.h"
#include "platform/Service.h"
#include "reportengine/AdoReportDataSource.h"
#include "reportengine/CsvSink.h"
#include "reportengine/PdfSink.h"
#include "reportengine/PdfWriters.h"
#include "reportengine/RecordFileSink.h"
#include "reportengine/ReportJob.h"
#include "reportengine/XlsxSink.h"
#include "reports/AvisoEspera.h"
#include "reports/AvisoImpresora.h"
#include "reports/ReportOutputs.h"
#include "reports/RutasReporte.h"

namespace {

// Raised for a print the engine could not produce; the driver shows it with the engine's words.
constexpr int ErrorImpresion = RuntimeError::InvalidCall;
// A property name the control does not have.
constexpr int PropiedadInexistente = 438;

ReportOutputs& salidas()
{
    static UnavailableReportOutputs ninguna;
    ReportOutputs* instalada = Service<ReportOutputs>::tryGet();
    return instalada ? *instalada : ninguna;
}

// The data-only files the engine writes from the record stream: spreadsheet and CSV.
class SalidaDeRegistros final : public ReportOutput
{
public:
    explicit SalidaDeRegistros(std::unique_ptr<RecordFileSink> archivo)
        : m_archivo(std::move(archivo))
        , m_paginas(m_archivo.get())
    {
    }
    PageSink* pageSink() override { return &m_paginas; }
    RecordSink* recordSink() override { return m_archivo.get(); }
    bool finish(int, QString* error) override
    {
        if (m_archivo->close())
            return true;
        if (error)
            *error = m_archivo->errorString();
        return false;
    }

private:
    std::unique_ptr<RecordFileSink> m_archivo;
    NullPageSink m_paginas;
};

std::unique_ptr<ReportOutput> creaSalida(const ReportOutputTarget& destino, QString* error)
{
    if (destino.kind == ReportOutputTarget::Kind::File) {
        if (destino.exportCode == FormatoExportacion::Hoja)
            return std::make_unique<SalidaDeRegistros>(
                std::make_unique<XlsxSink>(destino.fileName, destino.title));
        if (destino.exportCode == FormatoExportacion::Csv)
            return std::make_unique<SalidaDeRegistros>(std::make_unique<CsvSink>(destino.fileName));
    }
    return salidas().create(destino, error);
}

[[noreturn]] void falla(const QString& texto)
{
    throw RuntimeError(ErrorImpresion, texto, QStringLiteral("Rp_Tarifolio"));
}

SqlDialect dialectoPrincipal()
{
    const QString servidor = gDB().gServidor.trimmed();
    if (servidor.compare(QLatin1String("SQLITE"), Qt::CaseInsensitive) == 0)
        return SqlDialect::SQLite;
    if (servidor.contains(u'#'))
        return SqlDialect::Oracle;
    return SqlDialect::SqlServer;
}

bool esBasePrincipal(const QString& origen)
{
    const QString nombre = origen.trimmed();
    if (nombre.isEmpty())
        return true;
    const QString principal = gDB().gDBName.trimmed();
    if (nombre.compare(principal, Qt::CaseInsensitive) == 0)
        return true;
    // On SQLite the database name is the file: the data source may name it without its folder.
    return dialectoPrincipal() == SqlDialect::SQLite
        && (nombre.compare(QFileInfo(principal).fileName(), Qt::CaseInsensitive) == 0
            || nombre.compare(QFileInfo(principal).completeBaseName(), Qt::CaseInsensitive) == 0);
}

QString normalizaDefinicion(const QString& archivo)
{
    return FileNames::resolve(RutasReporte::archivoDeLaBase(archivo));
}

} // namespace

ReportEngineControl::ReportEngineControl() = default;

ReportEngineControl::~ReportEngineControl() = default;

void ReportEngineControl::nuevoTrabajo()
{
    m_archivo.clear();
    m_seleccion.reset();
    m_conexion.clear();
    m_origenDatos.clear();
    m_usuario.clear();
    m_clave.clear();
    m_formulas.clear();
    m_orden.clear();
    m_subreporte.clear();
    m_seleccionesSubreporte.clear();
    m_destino = 0;
    m_copias = 1;
}

void ReportEngineControl::set(int id, const Value& value)
{
    const QString texto = value.isNull() || value.isEmpty() ? QString() : value.toString();
    switch (id) {
    case ArchivoReporte:
        m_archivo = texto;
        break;
    case Seleccion:
        if (m_subreporte.isEmpty())
            m_seleccion = texto;
        else
            m_seleccionesSubreporte[m_subreporte] = texto;
        break;
    case Conexion:
        // Sub-reports read through the main report's connection: one data source per print.
        if (m_subreporte.isEmpty())
            m_conexion = texto;
        break;
    case OrigenDatos:
        if (m_subreporte.isEmpty())
            m_origenDatos = texto;
        break;
    case Usuario:
        if (m_subreporte.isEmpty())
            m_usuario = texto;
        break;
    case Clave:
        if (m_subreporte.isEmpty())
            m_clave = texto;
        break;
    case Subreporte:
        m_subreporte = texto.trimmed();
        break;
    case Destino:
        m_destino = int(value.toDouble());
        break;
    case Copias:
        m_copias = qMax(1, int(value.toDouble()));
        break;
    case DescartarDatos:
    case Propio67:
    case Propio124:
    case OpcionMotor:
        break;
    default:
        throw RuntimeError(
            PropiedadInexistente, QStringLiteral("El objeto no acepta esta propiedad o método"));
    }
}

void ReportEngineControl::setIndexed(int id, int index, const Value& value)
{
    if (index < 0)
        throw RuntimeError(RuntimeError::SubscriptOutOfRange,
            QStringLiteral("El subíndice está fuera del intervalo"));
    const QString texto = value.isNull() || value.isEmpty() ? QString() : value.toString();
    if (id == Formula)
        m_formulas[index] = texto;
    else if (id == Orden)
        m_orden[index] = texto;
    else
        throw RuntimeError(
            PropiedadInexistente, QStringLiteral("El objeto no acepta esta propiedad o método"));
}

void ReportEngineControl::invoke(int id)
{
    if (id == Imprimir) {
        try {
            imprimir();
        } catch (const RuntimeError& error) {
            ++m_fallidas;
            m_ultimaFalla = error.description();
            throw;
        }
    } else if (id != Cerrar)
        throw RuntimeError(
            PropiedadInexistente, QStringLiteral("El objeto no acepta esta propiedad o método"));
}

void ReportEngineControl::setByName(const QString& name, const Value& value)
{
    if (name.compare(QLatin1String("PrintFileName"), Qt::CaseInsensitive) == 0)
        m_archivoSalida = value.isNull() || value.isEmpty() ? QString() : value.toString();
    else if (name.compare(QLatin1String("PrintFileType"), Qt::CaseInsensitive) == 0)
        m_formatoSalida = int(value.toDouble());
    else
        throw RuntimeError(
            PropiedadInexistente, QStringLiteral("El objeto no acepta esta propiedad o método"));
}

void ReportEngineControl::setImpresora(const QString& nombre, const QString& complemento)
{
    m_impresora = nombre;
    m_complementoImpresora = complemento;
}

void ReportEngineControl::imprimir()
{
    m_paginas = 0;
    m_registro.clear();
    if (m_archivo.trimmed().isEmpty())
        falla(QStringLiteral("No se indicó el reporte a imprimir"));

    ReportOutputTarget destino;
    const int cual = m_destino == 0 ? m_destinoObjeto : m_destino;
    switch (cual) {
    case DestinoPantalla:
        destino.kind = ReportOutputTarget::Kind::Screen;
        break;
    case DestinoImpresora:
        destino.kind = ReportOutputTarget::Kind::Printer;
        destino.printerName = m_impresora.trimmed();
        destino.copies = m_copias;
        break;
    case DestinoArchivo:
    case DestinoMail:
        destino.kind = ReportOutputTarget::Kind::File;
        destino.exportCode = m_formatoSalida;
        destino.fileName = FileNames::resolve(m_archivoSalida.trimmed());
        if (destino.fileName.isEmpty())
            falla(QStringLiteral("No se indicó el archivo en el que se guarda el reporte"));
        break;
    default:
        falla(QStringLiteral("Destino de impresión desconocido: %1").arg(cual));
    }
    destino.title = QFileInfo(m_archivo).completeBaseName();

    if (m_carpetaCaptura.isEmpty()) {
        ejecuta(destino);
        return;
    }
    // Captured: the print becomes the next numbered PDF of the folder, and a file destination
    // still gets its own file, which its caller reads.
    const QString numero = QStringLiteral("%1").arg(m_capturas.size() + 1, 2, 10, QLatin1Char('0'));
    static const char* const palabras[] = { "Pantalla", "Impresora", "Archivo", "Mail" };
    m_capturas << numero + u'\t' + QFileInfo(m_archivo).fileName() + u'\t'
            + QLatin1String(palabras[cual]) + u'\t'
            + (destino.kind == ReportOutputTarget::Kind::Printer ? destino.printerName : QString());
    AppendFile::append(QDir(m_carpetaCaptura).filePath(QStringLiteral("impresiones.txt")),
        (m_capturas.last() + u'\n').toUtf8());
    if (destino.kind == ReportOutputTarget::Kind::File)
        ejecuta(destino);
    ReportOutputTarget captura;
    captura.kind = ReportOutputTarget::Kind::File;
    captura.exportCode = FormatoExportacion::Pdf;
    captura.title = destino.title;
    captura.fileName
        = QDir(m_carpetaCaptura).filePath(numero + u'-' + destino.title + QStringLiteral(".pdf"));
    ejecuta(captura, true);
}

void ReportEngineControl::capturaEn(const QString& carpeta)
{
    m_carpetaCaptura = carpeta;
    m_capturas.clear();
}

void ReportEngineControl::capturaEnParalelo(const QString& nombre)
{
    if (!m_escritores)
        m_escritores = std::make_unique<PdfWriters>();
    m_nombreCaptura = nombre;
}

QStringList ReportEngineControl::capturasFallidas(bool todas)
{
    QStringList textos;
    if (!m_escritores)
        return textos;
    for (const PdfWriters::Failure& f : m_escritores->takeFailures(todas))
        textos << f.name + QStringLiteral(": ") + f.error;
    m_fallidas += int(textos.size());
    return textos;
}

void ReportEngineControl::ejecuta(const ReportOutputTarget& destino, bool enParalelo)
{
    ReportJobRequest pedido;
    if (enParalelo) {
        pedido.pdfWriters = m_escritores.get();
        pedido.documentName = m_nombreCaptura;
    }
    pedido.definitionFile = normalizaDefinicion(m_archivo);
    pedido.selection = m_seleccion;
    pedido.formulas = m_listaFormulas;
    for (const auto& [indice, texto] : m_formulas)
        pedido.formulas << texto;
    for (const auto& [indice, texto] : m_orden)
        pedido.sortFields << texto;
    for (const auto& [nombre, seleccion] : m_seleccionesSubreporte)
        pedido.subreports.push_back({ nombre, seleccion });

    std::unique_ptr<ReportOutput> salida;
    const bool archivoDelMotor = destino.kind == ReportOutputTarget::Kind::File
        && (destino.exportCode == 31 || destino.exportCode == 7);
    if (archivoDelMotor) {
        pedido.destination
            = destino.exportCode == 31 ? ReportDestination::Pdf : ReportDestination::SavedReport;
        pedido.outputFile = destino.fileName;
    } else {
        QString error;
        salida = creaSalida(destino, &error);
        if (!salida)
            falla(error);
        pedido.destination = ReportDestination::Sink;
        pedido.sink = salida->pageSink();
        pedido.records = salida->recordSink();
    }
    std::optional<AvisoImpresora> aviso;
    if (destino.kind == ReportOutputTarget::Kind::Printer && pedido.sink) {
        aviso.emplace(*pedido.sink);
        pedido.sink = &*aviso;
    }
    // A file (an export, a mail's attachment) shows the banner while it is made; a capture beside
    // the print goes on unseen.
    std::optional<AvisoEspera> espera;
    if (destino.kind == ReportOutputTarget::Kind::File && !enParalelo)
        espera.emplace();

    // The data: the program's open connection, or the data source the text names.
    std::unique_ptr<AdoConnection> otraConexion;
    std::unique_ptr<AdoReportDataSource> datos;
    if (esBasePrincipal(m_origenDatos)) {
        datos = std::make_unique<AdoReportDataSource>(gDB().gCnn(), dialectoPrincipal());
    } else {
        otraConexion = Service<AdoProvider>::get().createConnection();
        const QString texto = QStringLiteral("DSN=%1;UID=%2;PWD=%3")
                                  .arg(m_origenDatos.trimmed(), m_usuario, m_clave);
        if (!otraConexion->Open(texto))
            falla(QStringLiteral("No se pudo abrir el origen de datos %1: %2")
                      .arg(m_origenDatos.trimmed(), otraConexion->LastError().description()));
        datos = std::make_unique<AdoReportDataSource>(*otraConexion, SqlDialect::SqlServer);
    }
    pedido.connection = datos.get();

    ReportJob trabajo;
    if (aviso)
        QObject::connect(&trabajo, &ReportJob::pageLaidOut, &trabajo,
            [&aviso](int pagina) { aviso->preparada(pagina); });
    if (espera) {
        QObject::connect(&trabajo, &ReportJob::pageLaidOut, &trabajo,
            [&espera](int pagina) { espera->avanza(pagina); });
        QObject::connect(
            &trabajo, &ReportJob::recordsRead, &trabajo, [&espera] { espera->avanza(); });
    }
    const bool ok = trabajo.run(pedido);
    m_paginas = trabajo.pageCount();
    ++m_impresionesHechas;
    m_registrosImpresos += trabajo.recordCount();
    m_registro = trabajo.log();
    if (!ok)
        falla(trabajo.errorString());
    if (salida) {
        QString error;
        if (!salida->finish(trabajo.pageCount(), &error))
            falla(error);
    }
}

bool exportaReporteGuardado(
    const QString& origen, const QString& destino, int formato, QString* error)
{
    const QString desde = FileNames::resolve(origen);
    const QString hacia = FileNames::resolve(destino);
    if (formato == 31) {
        PdfSink pdf(hacia);
        AvisoEspera espera(&pdf);
        return ReportJob::replaySavedReport(desde, espera, nullptr, error);
    }
    if (formato == 7) {
        if (QFileInfo(desde) == QFileInfo(hacia))
            return true;
        QFile::remove(hacia);
        if (QFile::copy(desde, hacia))
            return true;
        if (error)
            *error = QStringLiteral("No se pudo escribir el archivo %1").arg(destino);
        return false;
    }
    ReportOutputTarget target;
    target.kind = ReportOutputTarget::Kind::File;
    target.exportCode = formato;
    target.fileName = hacia;
    target.title = QFileInfo(desde).completeBaseName();
    std::unique_ptr<ReportOutput> salida = creaSalida(target, error);
    if (!salida)
        return false;
    // The banner counts the pages on their way; outputs that only take records get none.
    AvisoEspera contador(salida->pageSink());
    if (!ReportJob::replaySavedReport(desde, contador, salida->recordSink(), error))
        return false;
    return salida->finish(contador.paginas(), error);
}
