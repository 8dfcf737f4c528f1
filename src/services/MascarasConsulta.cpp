#include "services/MascarasConsulta.h"

#include <QFile>

#include "platform/RuntimeError.h"
#include "platform/Windows1252.h"

namespace MascarasConsulta {

namespace {

// "Error de acceso a la ruta o el archivo", as the runtime numbers it.
constexpr int ErrorAccesoArchivo = 75;

// The file and the system's reason go with the runtime's words: the operator of a start that
// cannot go on must learn which file it could not write.
[[noreturn]] void fallaArchivo(const QFile& archivo)
{
    throw RuntimeError(ErrorAccesoArchivo,
        QStringLiteral("Error de acceso a la ruta o el archivo: %1 (%2)")
            .arg(archivo.fileName(), archivo.errorString()),
        archivo.fileName());
}

QString campo(const QByteArray& bytes, int desde, int ancho)
{
    return Windows1252::decode(bytes.mid(desde, ancho));
}

} // namespace

QByteArray Codifica(const RegistroMascaraConsulta& registro)
{
    QByteArray bytes;
    bytes.reserve(LongitudRegistro);
    bytes += Windows1252::encodeFixed(registro.Titulo, AnchoTitulo);
    bytes += Windows1252::encodeFixed(registro.Tabla, AnchoTabla);
    bytes += Windows1252::encodeFixed(registro.Campos, AnchoCampos);
    bytes += Windows1252::encodeFixed(registro.Where, AnchoWhere);
    bytes += "\r\n";
    return bytes;
}

RegistroMascaraConsulta Decodifica(const QByteArray& bytes)
{
    RegistroMascaraConsulta registro;
    registro.Titulo = campo(bytes, 0, AnchoTitulo);
    registro.Tabla = campo(bytes, AnchoTitulo, AnchoTabla);
    registro.Campos = campo(bytes, AnchoTitulo + AnchoTabla, AnchoCampos);
    registro.Where = campo(bytes, AnchoTitulo + AnchoTabla + AnchoCampos, AnchoWhere);
    return registro;
}

const QList<RegistroMascaraConsulta>& MascarasDefault()
{
    // The names keep the letter case the suite's other programs write them in; the lookups
    // compare table names ignoring case.
    static const QList<RegistroMascaraConsulta> mascaras = {
        { QStringLiteral("ARTICULOS"), QStringLiteral("V_MA_ARTICULOS"),
            QStringLiteral("|DESCRIPCION|IDARTICULO|"), QString() },
        { QStringLiteral("CLIENTES"), QStringLiteral("VT_CLIENTES"),
            QStringLiteral("|RAZON_SOCIAL|CODIGO|CONTACTO|"), QString() },
        { QStringLiteral("PROVEEDORES"), QStringLiteral("VT_PROVEEDORES"),
            QStringLiteral("|RAZON_SOCIAL|CODIGO|"), QString() },
        { QStringLiteral("CONTACTOS"), QStringLiteral("MA_CONTACTOS"),
            QStringLiteral("|Nombre_y_Apellido|Domicilio|Localidad|Telefono|"), QString() },
        { QStringLiteral("VENDEDORES"), QStringLiteral("V_TA_VENDEDORES"),
            QStringLiteral("|NOMBRE|IDVENDEDOR|"), QString() },
        { QStringLiteral("TECNICOS"), QStringLiteral("V_TA_TECNICOS"),
            QStringLiteral("|NOMBRE|IDTECNICO|"), QString() },
        { QStringLiteral("MANTENIMIENTOS"), QStringLiteral("V_MA_MANTENIMIENTOS"),
            QStringLiteral("|DESCRIPCION|CODIGO|"), QString() },
        { QStringLiteral("CUENTAS"), QStringLiteral("MA_CUENTAS"),
            QStringLiteral("|DESCRIPCION|CODIGO|"), QString() },
        { QStringLiteral("TAREAS"), QStringLiteral("V_TA_Tareas"),
            QStringLiteral("|Descripcion|IdTarea|"), QString() },
        { QStringLiteral("UnidadNegocio"), QStringLiteral("V_TA_UnidadNegocio"),
            QStringLiteral("|Descripcion|Codigo|"), QString() },
        { QStringLiteral("DEPOSITO"), QStringLiteral("V_TA_DEPOSITO"),
            QStringLiteral("|Descripcion|IdDeposito|"), QString() },
    };
    return mascaras;
}

void GeneraMascarasConsultaDefault(const QString& ruta)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadWrite))
        fallaArchivo(archivo);
    for (const RegistroMascaraConsulta& mascara : MascarasDefault()) {
        // Each record goes after the last whole record, so a torn tail is written over.
        const qint64 numero = archivo.size() / LongitudRegistro + 1;
        RegistroMascaraConsulta registro = mascara;
        registro.Titulo = registro.Titulo.trimmed();
        registro.Campos = registro.Campos.trimmed();
        if (!archivo.seek((numero - 1) * LongitudRegistro)
            || archivo.write(Codifica(registro)) != LongitudRegistro)
            fallaArchivo(archivo);
    }
    if (!archivo.flush())
        fallaArchivo(archivo);
}

} // namespace MascarasConsulta
