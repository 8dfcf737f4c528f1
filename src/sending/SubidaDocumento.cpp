#include "sending/SubidaDocumento.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include "platform/Environment.h"
#include "platform/FileNames.h"
#include "platform/Service.h"
#include "platform/Utilidades.h"
#include "platform/Windows1252.h"

namespace SubidaDocumento {

namespace {

// The byte of `c` in Windows-1252; 0 when the code page lacks it.
char byte1252(QChar c)
{
    const QByteArray b = Windows1252::encode(QString(c));
    if (b == "?" && c != u'?')
        return 0;
    return b.at(0);
}

// The text in Windows-1252 with "_" for what the code page lacks.
QByteArray en1252(const QString& texto)
{
    QByteArray salida;
    salida.reserve(texto.size());
    for (const QChar c : texto) {
        const char b = byte1252(c);
        salida += b ? b : '_';
    }
    return salida;
}

bool esControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f || c.category() == QChar::Other_Control;
}

// The file's name as the quoted value of "filename": what could end the value or the line goes
// percent-encoded, as browsers send it.
QByteArray nombreEnCabecera(const QString& nombre)
{
    QByteArray salida;
    for (const QChar c : nombre) {
        if (c == u'"' || esControl(c))
            salida += '%' + QByteArray::number(c.unicode(), 16).toUpper().rightJustified(2, '0');
        else
            salida += en1252(QString(c));
    }
    return salida;
}

} // namespace

bool nombreValido(const QString& nombre)
{
    if (nombre.isEmpty() || nombre == u"." || nombre == u"..")
        return false;
    for (const QChar c : nombre) {
        if (c == u'/' || c == u'\\' || esControl(c))
            return false;
    }
    return true;
}

QString sello(const QDateTime& momento)
{
    return momento.toString(QStringLiteral("yyyyMMddHHmmss"));
}

QString nombreSubida(const QString& archivo, const QString& nombre, QString& extension,
    bool mantenerNombre, const QDateTime& servidor)
{
    if (archivo.contains(QLatin1String(".html"), Qt::CaseInsensitive)
        || archivo.contains(QLatin1String(".css"), Qt::CaseInsensitive)) {
        QString carpeta, propio, base;
        gUtilidades().DescomponeRuta(archivo, carpeta, propio, extension, base);
        return propio;
    }
    if (mantenerNombre)
        return nombre + u'.' + extension;
    return nombre + u'_' + sello(servidor) + u'.' + extension;
}

Destino destino(const QString& host, const QString& codigo, const QString& nombre, bool contrato,
    bool presupuesto, const QDate& fechaPuesto)
{
    const QString clientes = QStringLiteral("/Clientes/") + codigo.trimmed() + u'/';
    Destino d;
    if (contrato)
        d.ruta = clientes + QStringLiteral("CONTRATOS/") + nombre;
    else if (presupuesto)
        d.ruta = clientes + QStringLiteral("PRESUPUESTOS/") + nombre;
    else
        d.ruta = clientes + fechaPuesto.toString(QStringLiteral("yyyyMM")) + u'/' + nombre;
    d.link = QStringLiteral("https://") + host.trimmed() + d.ruta;
    return d;
}

QString URLEncode(const QString& texto)
{
    QString salida;
    salida.reserve(texto.size() * 3);
    for (const QChar c : texto) {
        const char16_t u = c.unicode();
        if ((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z')
            || u == u'-' || u == u'_' || u == u'.' || u == u'!') {
            salida += c;
        } else if (u == u' ') {
            salida += u'+';
        } else if (const char b = byte1252(c)) {
            salida += u'%'
                + QStringLiteral("%1").arg(uint(uchar(b)), 2, 16, QLatin1Char('0')).toUpper();
        } else {
            salida += u'_';
        }
    }
    return salida;
}

QString limite(int milisegundosDelDia)
{
    // The suite's client took the timer through a single-precision number; the rounding stays.
    const qint64 ms = qRound64(double(float(milisegundosDelDia)));
    return QString(27, u'-') + QString::number(ms, 16).toUpper();
}

HttpPeticion peticion(
    const QString& url, const QString& archivo, const QString& rutaDestino, const QString& limite)
{
    HttpPeticion p;
    p.url = url + QStringLiteral("?ruta_destino=") + URLEncode(rutaDestino);
    p.cabeceras = { { "Content-Type", "multipart/form-data; boundary=" + limite.toLatin1() },
        { "Cache-Control", "no-cache" } };
    p.cabeza = "--" + limite.toLatin1() + "\r\n"
        + "Content-Disposition: form-data; name=\"archivo\"; filename=\""
        + nombreEnCabecera(QFileInfo(archivo).fileName()) + "\"\r\n"
        + "Content-Type: application/octet-stream\r\n\r\n";
    p.archivo = archivo;
    p.cola = "\r\n--" + limite.toLatin1() + "--\r\n";
    return p;
}

int segundosMaximos(qint64 bytes)
{
    return int(qMin<qint64>(120 + bytes / 8192, 24 * 3600));
}

void crearArchivo(const QString& ruta, const QString& dato, bool noAgrega)
{
    QFile f(ruta);
    const QIODevice::OpenMode modo
        = QIODevice::WriteOnly | (noAgrega ? QIODevice::Truncate : QIODevice::Append);
    if (!f.open(modo))
        return;
    f.write(en1252(dato) + "\r\n");
}

QString archivoComandos()
{
    return dataFolder() + QStringLiteral("/ComandosI.txt");
}

QString sube(const QString& url, const QString& archivo, const QString& rutaDestino,
    HttpSeguridad seguridad, int segundos, const Ejecutor& ejecuta)
{
    const QFileInfo info(FileNames::resolve(archivo));
    if (!info.isFile())
        return QStringLiteral("Error: El archivo especificado no existe: ") + archivo;
    const QString error = QStringLiteral("Se produjo un error: ");
    if (info.size() == 0)
        return error + QStringLiteral("El archivo está vacío: ") + archivo;
    HttpFactory* fabrica = Service<HttpFactory>::tryGet();
    seguridad.segundosTotal = segundos > 0 ? segundos : segundosMaximos(info.size());
    std::unique_ptr<Http> http = fabrica ? fabrica->crear(seguridad) : nullptr;
    if (!http)
        return error + QStringLiteral("No se pueden hacer envíos por HTTPS en este equipo");
    const HttpPeticion pedido = peticion(
        url, info.filePath(), rutaDestino, limite(QTime::currentTime().msecsSinceStartOfDay()));

    HttpRespuesta respuesta;
    ejecuta([&] { respuesta = http->post(pedido); });

    if (!respuesta.respondio())
        return error + respuesta.descripcion;
    if (respuesta.status != 200)
        return QStringLiteral("Error en la subida: ") + QString::number(respuesta.status)
            + QStringLiteral(" - ") + respuesta.texto;
    return QString();
}

} // namespace SubidaDocumento
