#include "platform/qt/CurlMail.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QUuid>

#include <curl/curl.h>

namespace {

// A header line longer than this is folded; servers refuse lines beyond 998 characters.
constexpr qsizetype LargoLinea = 78;
// UTF-8 bytes in one encoded word: its base64 and "=?UTF-8?B?...?=" stay within 75 characters.
constexpr qsizetype BytesPorPalabra = 45;
const QByteArray Pliegue("\r\n ");

// The text as encoded words of whole characters, one per folded line.
QByteArray palabrasCodificadas(const QString& texto)
{
    QList<QByteArray> palabras;
    QByteArray trozo;
    for (qsizetype i = 0; i < texto.size();) {
        const qsizetype n = texto.at(i).isHighSurrogate() && i + 1 < texto.size() ? 2 : 1;
        const QByteArray caracter = texto.mid(i, n).toUtf8();
        if (trozo.size() + caracter.size() > BytesPorPalabra) {
            palabras << trozo;
            trozo.clear();
        }
        trozo += caracter;
        i += n;
    }
    palabras << trozo;
    for (QByteArray& p : palabras)
        p = "=?UTF-8?B?" + p.toBase64() + "?=";
    return palabras.join(Pliegue);
}

// Header texts travel as UTF-8 encoded words when they hold anything beyond ASCII or would make
// the line too long; line breaks are never let through, so no typed text can add a header of its
// own.
QByteArray textoDeCabecera(const QString& texto)
{
    QString limpio = texto;
    limpio.replace(u'\r', u' ').replace(u'\n', u' ');
    bool ascii = limpio.size() <= LargoLinea - 12;
    for (const QChar c : limpio) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return limpio.toLatin1();
    return palabrasCodificadas(limpio);
}

// "To: a, b, ..." folded before an address that would pass the line's length.
QByteArray listaDeDirecciones(const QByteArray& cabecera, const QStringList& direcciones)
{
    QByteArray salida = cabecera;
    qsizetype linea = salida.size();
    for (qsizetype i = 0; i < direcciones.size(); ++i) {
        const QByteArray d = direcciones[i].toUtf8();
        if (i > 0) {
            salida += ',';
            const bool pliega = linea + 2 + d.size() > LargoLinea;
            salida += pliega ? Pliegue : QByteArray(" ");
            linea = pliega ? 1 : linea + 2;
        }
        salida += d;
        linea += d.size();
    }
    return salida;
}

QByteArray nombreConDireccion(const QString& nombre, const QString& direccion)
{
    const QByteArray dir = '<' + direccion.toUtf8() + '>';
    if (nombre.trimmed().isEmpty())
        return dir;
    QByteArray n = textoDeCabecera(nombre.trimmed());
    if (!n.startsWith("=?")) {
        n.replace('\\', "\\\\").replace('"', "\\\"");
        n = '"' + n + '"';
    }
    return n + ' ' + dir;
}

// One address of the envelope: a line break or any other control character would end the SMTP
// command and start one of its own, wherever the address came from.
bool esDireccionSimple(const QString& direccion)
{
    if (direccion.isEmpty())
        return false;
    for (const QChar c : direccion) {
        if (c.isSpace() || c.unicode() < 0x20 || c.category() == QChar::Other_Control || c == u'<'
            || c == u'>' || c == u',' || c == u';' || c == u'"')
            return false;
    }
    return true;
}

// RFC 2231 form of a file name that is not plain ASCII.
QByteArray nombreArchivoExtendido(const QString& nombre)
{
    return "UTF-8''" + nombre.toUtf8().toPercentEncoding();
}

// "Tue, 09 Dec 2026 12:00:00 -0300", always in English.
QByteArray fechaCabecera(const QDateTime& ahora)
{
    const int minutos = ahora.offsetFromUtc() / 60;
    const QString zona = QString::asprintf(
        "%c%02d%02d", minutos < 0 ? '-' : '+', qAbs(minutos) / 60, qAbs(minutos) % 60);
    return (QLocale::c().toString(ahora, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss ")) + zona)
        .toLatin1();
}

// The type an attachment carries, from its name's extension, so that the recipient's mail program
// opens it with the right program; an extension nobody knows stays plain bytes.
QByteArray tipoAdjunto(const QString& ruta)
{
    return QMimeDatabase().mimeTypeForFile(ruta, QMimeDatabase::MatchExtension).name().toLatin1();
}

size_t descarta(char*, size_t size, size_t nmemb, void*)
{
    return size * nmemb;
}

class CurlMail final : public Mail
{
public:
    explicit CurlMail(MailSeguridad seguridad)
        : m_seguridad(std::move(seguridad))
    {
    }
    ~CurlMail() override
    {
        if (m_curl)
            curl_easy_cleanup(m_curl);
    }

    bool Conectar(
        const QString& host, const QString& usuario, const QString& clave, int puerto) override
    {
        if (m_curl)
            curl_easy_cleanup(m_curl);
        m_curl = curl_easy_init();
        if (!m_curl)
            return falla(MailFallo::SinConexion, QStringLiteral("No se pudo iniciar el correo"));
        const QString esquema = puerto == m_seguridad.puertoTlsInmediato ? QStringLiteral("smtps")
                                                                         : QStringLiteral("smtp");
        m_url = (esquema + QStringLiteral("://") + host.trimmed() + u':' + QString::number(puerto))
                    .toUtf8();
        m_usuario = usuario.toUtf8();
        m_clave = clave.toUtf8();
        opcionesDeSesion();
        curl_easy_setopt(m_curl, CURLOPT_CUSTOMREQUEST, "NOOP");
        return ejecuta();
    }

    bool Crear() override
    {
        m_remitente.clear();
        m_nombre.clear();
        m_responderA.clear();
        m_asunto.clear();
        m_texto.clear();
        m_html.clear();
        m_destinatarios.clear();
        m_adjuntos.clear();
        return true;
    }

    void setRemitente(const QString& v) override { m_remitente = v.trimmed(); }
    void setNombreRemitente(const QString& v) override { m_nombre = v; }
    void setResponderA(const QString& v) override { m_responderA = v.trimmed(); }
    void setMotivo(const QString& v) override { m_asunto = v; }
    void setMensajeTexto(const QString& v) override { m_texto = v; }
    void setMensajeHTML(const QString& v) override { m_html = v; }

    bool AgregarDestinatario(const QString& direccion) override
    {
        if (!esDireccionSimple(direccion.trimmed()))
            return falla(MailFallo::Datos, QStringLiteral("Destinatario no valido: ") + direccion);
        m_destinatarios << direccion.trimmed();
        return true;
    }

    bool Adjuntar(const QString& ruta) override
    {
        QFile archivo(ruta);
        if (!QFileInfo(ruta).isFile() || !archivo.open(QIODevice::ReadOnly))
            return falla(MailFallo::Datos, QStringLiteral("No se puede leer el archivo: ") + ruta);
        m_adjuntos << ruta;
        return true;
    }

    bool Enviar() override
    {
        // The replies of the connection are not this message's.
        m_respuesta.clear();
        if (!m_curl)
            return falla(MailFallo::SinConexion, QStringLiteral("No hay conexion con el servidor"));
        if (!esDireccionSimple(m_remitente))
            return falla(MailFallo::Datos, QStringLiteral("Remitente no valido: ") + m_remitente);
        if (!m_responderA.isEmpty() && !esDireccionSimple(m_responderA))
            return falla(MailFallo::Datos,
                QStringLiteral("Direccion de respuesta no valida: ") + m_responderA);
        curl_easy_setopt(m_curl, CURLOPT_CUSTOMREQUEST, nullptr);

        curl_mime* mime = curl_mime_init(m_curl);
        curl_mime* alternativa = curl_mime_init(m_curl);
        const QByteArray texto = m_texto.toUtf8();
        const QByteArray html = m_html.toUtf8();
        curl_mimepart* parte = curl_mime_addpart(alternativa);
        curl_mime_data(parte, texto.constData(), size_t(texto.size()));
        curl_mime_type(parte, "text/plain; charset=UTF-8");
        curl_mime_encoder(parte, "quoted-printable");
        parte = curl_mime_addpart(alternativa);
        curl_mime_data(parte, html.constData(), size_t(html.size()));
        curl_mime_type(parte, "text/html; charset=UTF-8");
        curl_mime_encoder(parte, "quoted-printable");
        parte = curl_mime_addpart(mime);
        curl_mime_subparts(parte, alternativa);
        curl_mime_type(parte, "multipart/alternative");
        curl_slist* inline_ = curl_slist_append(nullptr, "Content-Disposition: inline");
        curl_mime_headers(parte, inline_, 1);

        for (const QString& ruta : std::as_const(m_adjuntos)) {
            parte = curl_mime_addpart(mime);
            if (QFileInfo(ruta).size() > 0) {
                curl_mime_filedata(parte, QFile::encodeName(ruta).constData());
            } else {
                // A file that tells no size (the kernel's, under /proc) is read to its end here;
                // streamed by its size it would go empty.
                QFile archivo(ruta);
                const QByteArray datos
                    = archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
                curl_mime_data(parte, datos.constData(), size_t(datos.size()));
            }
            curl_mime_type(parte, tipoAdjunto(ruta).constData());
            curl_mime_encoder(parte, "base64");
            const QString nombre = QFileInfo(ruta).fileName();
            const QByteArray ascii = textoDeCabecera(nombre);
            if (ascii.startsWith("=?")) {
                curl_mime_filename(parte, nullptr);
                QByteArray disposicion = "Content-Disposition: attachment; filename*="
                    + nombreArchivoExtendido(nombre);
                curl_mime_headers(parte, curl_slist_append(nullptr, disposicion.constData()), 1);
            } else {
                curl_mime_filename(parte, ascii.constData());
            }
        }

        QList<QByteArray> cabeceras;
        cabeceras << "From: " + nombreConDireccion(m_nombre, m_remitente);
        if (!m_responderA.isEmpty())
            cabeceras << "Reply-To: " + m_responderA.toUtf8();
        cabeceras << listaDeDirecciones("To: ", m_destinatarios);
        cabeceras << "Subject: " + textoDeCabecera(m_asunto);
        cabeceras << "Date: " + fechaCabecera(QDateTime::currentDateTime());
        const QString dominio = m_remitente.section(u'@', 1);
        cabeceras << "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1()
                + '@' + (dominio.isEmpty() ? QByteArray("localhost") : dominio.toUtf8()) + '>';
        curl_slist* lista = nullptr;
        for (const QByteArray& c : std::as_const(cabeceras))
            lista = curl_slist_append(lista, c.constData());
        curl_slist* rcpt = nullptr;
        for (const QString& d : std::as_const(m_destinatarios))
            rcpt = curl_slist_append(rcpt, ('<' + d.toUtf8() + '>').constData());
        const QByteArray de = '<' + m_remitente.toUtf8() + '>';

        curl_easy_setopt(m_curl, CURLOPT_MAIL_FROM, de.constData());
        curl_easy_setopt(m_curl, CURLOPT_MAIL_RCPT, rcpt);
        curl_easy_setopt(m_curl, CURLOPT_HTTPHEADER, lista);
        curl_easy_setopt(m_curl, CURLOPT_MIMEPOST, mime);
        const bool ok = ejecuta();
        curl_easy_setopt(m_curl, CURLOPT_MIMEPOST, nullptr);
        curl_easy_setopt(m_curl, CURLOPT_HTTPHEADER, nullptr);
        curl_easy_setopt(m_curl, CURLOPT_MAIL_RCPT, nullptr);
        curl_slist_free_all(rcpt);
        curl_slist_free_all(lista);
        curl_mime_free(mime);
        return ok;
    }

    MailFallo fallo() const override { return m_fallo; }
    QString descripcionFallo() const override { return m_descripcion; }
    QString respuestaServidor() const override { return m_respuesta; }

private:
    void opcionesDeSesion()
    {
        curl_easy_setopt(m_curl, CURLOPT_URL, m_url.constData());
        curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT, long(m_seguridad.segundosConexion));
        curl_easy_setopt(
            m_curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(m_seguridad.segundosDetenido));
        curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_TIME, long(m_seguridad.segundosDetenido));
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, descarta);
        curl_easy_setopt(m_curl, CURLOPT_ERRORBUFFER, m_error);
        curl_easy_setopt(m_curl, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(m_curl, CURLOPT_DEBUGFUNCTION, &CurlMail::depura);
        curl_easy_setopt(m_curl, CURLOPT_DEBUGDATA, this);
        const bool conClave = !m_clave.isEmpty();
        if (conClave) {
            curl_easy_setopt(m_curl, CURLOPT_USERNAME, m_usuario.constData());
            curl_easy_setopt(m_curl, CURLOPT_PASSWORD, m_clave.constData());
        }
        // A password never travels in the clear unless the site asked for it.
        const bool exigeTls = conClave && !m_seguridad.permitirSinTls;
        curl_easy_setopt(
            m_curl, CURLOPT_USE_SSL, exigeTls ? long(CURLUSESSL_ALL) : long(CURLUSESSL_TRY));
        if (!m_seguridad.certificadosCA.isEmpty()) {
            m_ca = QFile::encodeName(m_seguridad.certificadosCA);
            curl_easy_setopt(m_curl, CURLOPT_CAINFO, m_ca.constData());
        }
        const long verifica = m_seguridad.verificarCertificados ? 1L : 0L;
        curl_easy_setopt(m_curl, CURLOPT_SSL_VERIFYPEER, verifica);
        curl_easy_setopt(m_curl, CURLOPT_SSL_VERIFYHOST, verifica ? 2L : 0L);
    }

    // Keeps the server's replies (never what the client sends: that holds the login).
    static int depura(CURL*, curl_infotype tipo, char* datos, size_t tam, void* yo)
    {
        if (tipo == CURLINFO_HEADER_IN) {
            // The first refusal (4xx, 5xx) is what the operator must read, not the goodbye.
            const QString linea = QString::fromUtf8(datos, qsizetype(tam)).trimmed();
            QString& respuesta = static_cast<CurlMail*>(yo)->m_respuesta;
            const bool yaRechazado = respuesta.startsWith(u'4') || respuesta.startsWith(u'5');
            if (!linea.isEmpty() && !yaRechazado)
                respuesta = linea;
        }
        return 0;
    }

    bool ejecuta()
    {
        m_error[0] = '\0';
        m_respuesta.clear();
        const CURLcode codigo = curl_easy_perform(m_curl);
        if (codigo == CURLE_OK) {
            m_fallo = MailFallo::Ninguno;
            return true;
        }
        const QString detalle = m_error[0] ? QString::fromUtf8(m_error)
                                           : QString::fromUtf8(curl_easy_strerror(codigo));
        // The server answered with a refusal (4xx, 5xx): that is the outcome, whatever name the
        // library gives the reply it did not expect.
        const bool rechazado = m_respuesta.startsWith(u'4') || m_respuesta.startsWith(u'5');
        switch (codigo) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_CONNECT:
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_GOT_NOTHING:
        case CURLE_WEIRD_SERVER_REPLY:
            return falla(rechazado ? MailFallo::Rechazo : MailFallo::SinConexion, detalle);
        case CURLE_LOGIN_DENIED:
            return falla(MailFallo::Autenticacion, detalle);
        case CURLE_USE_SSL_FAILED:
            return falla(
                MailFallo::SinTls, QStringLiteral("El servidor no ofrece conexión segura"));
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_CERTPROBLEM:
            return falla(MailFallo::Seguridad,
                QStringLiteral("No se pudo establecer una conexión segura: ") + detalle);
        case CURLE_READ_ERROR:
            return falla(MailFallo::Datos, detalle);
        default:
            return falla(
                m_respuesta.isEmpty() ? MailFallo::SinConexion : MailFallo::Rechazo, detalle);
        }
    }

    bool falla(MailFallo fallo, const QString& descripcion)
    {
        m_fallo = fallo;
        m_descripcion = descripcion;
        return false;
    }

    MailSeguridad m_seguridad;
    CURL* m_curl = nullptr;
    char m_error[CURL_ERROR_SIZE] = {};
    QByteArray m_url;
    QByteArray m_usuario;
    QByteArray m_clave;
    QByteArray m_ca;
    QString m_remitente;
    QString m_nombre;
    QString m_responderA;
    QString m_asunto;
    QString m_texto;
    QString m_html;
    QStringList m_destinatarios;
    QStringList m_adjuntos;
    MailFallo m_fallo = MailFallo::Ninguno;
    QString m_descripcion;
    QString m_respuesta;
};

} // namespace

CurlMailFactory::CurlMailFactory()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

CurlMailFactory::~CurlMailFactory()
{
    curl_global_cleanup();
}

std::unique_ptr<Mail> CurlMailFactory::crear(const MailSeguridad& seguridad)
{
    return std::make_unique<CurlMail>(seguridad);
}
