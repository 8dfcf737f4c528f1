#include "platform/qt/CurlHttp.h"

#include <QElapsedTimer>
#include <QFile>

#include <curl/curl.h>

namespace {

// The answer's text is only shown to the operator; a server that answers a book is cut short.
constexpr qsizetype MaximoRespuesta = 64 * 1024;

// The body as it goes out: head, then the file read piece by piece, then tail.
struct Cuerpo
{
    QByteArray cabeza;
    QFile archivo;
    qint64 restanteArchivo = 0;
    QByteArray cola;
    qsizetype enviadoCabeza = 0;
    qsizetype enviadoCola = 0;
    bool archivoCorto = false;

    static size_t lee(char* destino, size_t tamano, size_t cantidad, void* yo)
    {
        auto* c = static_cast<Cuerpo*>(yo);
        const qint64 cabe = qint64(tamano * cantidad);
        qint64 escrito = 0;
        const auto copia = [&](const QByteArray& origen, qsizetype& enviado) {
            const qint64 n = qMin(cabe - escrito, qint64(origen.size() - enviado));
            if (n > 0) {
                memcpy(destino + escrito, origen.constData() + enviado, size_t(n));
                enviado += qsizetype(n);
                escrito += n;
            }
        };
        copia(c->cabeza, c->enviadoCabeza);
        if (escrito < cabe && c->restanteArchivo > 0) {
            const qint64 leido
                = c->archivo.read(destino + escrito, qMin(cabe - escrito, c->restanteArchivo));
            if (leido <= 0) {
                // The file shrank or became unreadable after its size was taken.
                c->archivoCorto = true;
                return CURL_READFUNC_ABORT;
            }
            c->restanteArchivo -= leido;
            escrito += leido;
        }
        if (c->restanteArchivo == 0)
            copia(c->cola, c->enviadoCola);
        return size_t(escrito);
    }
};

size_t guarda(char* datos, size_t tamano, size_t cantidad, void* destino)
{
    auto* texto = static_cast<QByteArray*>(destino);
    const qsizetype n = qsizetype(tamano * cantidad);
    texto->append(datos, qMin(n, qMax<qsizetype>(0, MaximoRespuesta - texto->size())));
    return size_t(n);
}

class CurlHttp final : public Http
{
public:
    explicit CurlHttp(HttpSeguridad seguridad)
        : m_seguridad(std::move(seguridad))
    {
    }

    HttpRespuesta post(const HttpPeticion& p) override
    {
        HttpRespuesta r;
        Cuerpo cuerpo;
        cuerpo.cabeza = p.cabeza;
        cuerpo.cola = p.cola;
        if (!p.archivo.isEmpty()) {
            cuerpo.archivo.setFileName(p.archivo);
            if (!cuerpo.archivo.open(QIODevice::ReadOnly))
                return falla(r, HttpFallo::Archivo,
                    QStringLiteral("No se puede leer el archivo: ") + p.archivo);
            cuerpo.restanteArchivo = cuerpo.archivo.size();
        }
        const qint64 total = cuerpo.cabeza.size() + cuerpo.restanteArchivo + cuerpo.cola.size();

        CURL* curl = curl_easy_init();
        if (!curl)
            return falla(
                r, HttpFallo::SinConexion, QStringLiteral("No se pudo iniciar la conexión"));
        char error[CURL_ERROR_SIZE] = {};
        const QByteArray url = p.url.toUtf8();
        curl_slist* cabeceras = nullptr;
        for (const auto& [nombre, valor] : p.cabeceras)
            cabeceras = curl_slist_append(cabeceras, (nombre + ": " + valor).constData());
        // The server is sent the body at once, as the suite's own client does.
        cabeceras = curl_slist_append(cabeceras, "Expect:");
        QByteArray respuesta;
        const QByteArray ca = QFile::encodeName(m_seguridad.certificadosCA);
        const long verifica = m_seguridad.verificarCertificados ? 1L : 0L;

        curl_easy_setopt(curl, CURLOPT_URL, url.constData());
        curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(m_seguridad.segundosConexion));
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(m_seguridad.segundosDetenido));
        if (m_seguridad.segundosTotal > 0)
            curl_easy_setopt(curl, CURLOPT_TIMEOUT, long(m_seguridad.segundosTotal));
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(total));
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, &Cuerpo::lee);
        curl_easy_setopt(curl, CURLOPT_READDATA, &cuerpo);
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, cabeceras);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, guarda);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &respuesta);
        if (!ca.isEmpty())
            curl_easy_setopt(curl, CURLOPT_CAINFO, ca.constData());
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, verifica);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, verifica ? 2L : 0L);

        QElapsedTimer reloj;
        reloj.start();
        const CURLcode codigo = curl_easy_perform(curl);
        const qint64 milisegundos = reloj.elapsed();
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        curl_slist_free_all(cabeceras);
        curl_easy_cleanup(curl);

        const QString detalle
            = error[0] ? QString::fromUtf8(error) : QString::fromUtf8(curl_easy_strerror(codigo));
        if (cuerpo.archivoCorto)
            return falla(r, HttpFallo::Archivo,
                QStringLiteral("El archivo cambió mientras se enviaba: ") + p.archivo);
        switch (codigo) {
        case CURLE_OK:
            r.status = int(status);
            r.texto = QString::fromUtf8(respuesta);
            return r;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_CERTPROBLEM:
            return falla(r, HttpFallo::Seguridad,
                QStringLiteral("No se pudo establecer una conexión segura: ") + detalle);
        case CURLE_OPERATION_TIMEDOUT:
            // The library's clock starts a little after ours and may stop a little before.
            if (m_seguridad.segundosTotal > 0
                && milisegundos + 500 >= qint64(m_seguridad.segundosTotal) * 1000)
                return falla(r, HttpFallo::Demora,
                    QStringLiteral("El servidor no terminó de responder en %1 segundos; se "
                                   "abandonó el envío")
                        .arg(m_seguridad.segundosTotal));
            [[fallthrough]];
        default:
            return falla(r, HttpFallo::SinConexion,
                QStringLiteral("No se pudo comunicar con el servidor: ") + detalle);
        }
    }

private:
    static HttpRespuesta& falla(HttpRespuesta& r, HttpFallo fallo, const QString& descripcion)
    {
        r.fallo = fallo;
        r.descripcion = descripcion;
        return r;
    }

    HttpSeguridad m_seguridad;
};

} // namespace

CurlHttpFactory::CurlHttpFactory()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

CurlHttpFactory::~CurlHttpFactory()
{
    curl_global_cleanup();
}

std::unique_ptr<Http> CurlHttpFactory::crear(const HttpSeguridad& seguridad)
{
    return std::make_unique<CurlHttp>(seguridad);
}
