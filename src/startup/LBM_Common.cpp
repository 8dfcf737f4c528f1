#include "startup/LBM_Common.h"

#include <QFile>

#include "platform/FileNames.h"
#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"
#include "platform/Windows1252.h"
#include "texttools/ErroresEjecucion.h"

namespace LBM_Common {

QString gArchivoBases;
QString gPuertoBases;

namespace {

const QString Origen = QStringLiteral("LBM_Common");

bool esBlanco(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool esFinDeLinea(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// The comma-list reading rule of the suite's readers over the whole text of the file.
class LectorCampos
{
public:
    explicit LectorCampos(const QString& texto)
        : m_texto(texto)
    {
    }

    // Passes blanks and line ends; true when nothing but them was left.
    bool finDeArchivo()
    {
        while (m_pos < m_texto.size()
            && (esBlanco(m_texto.at(m_pos)) || esFinDeLinea(m_texto.at(m_pos))))
            ++m_pos;
        m_trasComa = false;
        return m_pos >= m_texto.size();
    }

    QString siguiente()
    {
        while (m_pos < m_texto.size() && esBlanco(m_texto.at(m_pos)))
            ++m_pos;
        if (m_pos >= m_texto.size()) {
            // "a,b," at the very end still gives its empty last field; a record cut short by the
            // end of the file does not.
            if (!m_trasComa)
                ErroresEjecucion::Lanza(ErroresEjecucion::EntradaPasadoFinArchivo, Origen);
            m_trasComa = false;
            return QString();
        }

        QString campo;
        if (m_texto.at(m_pos) == u'"') {
            // A field in double quotes runs to the closing quote; nothing this program writes
            // looks like that, but a file edited by hand may.
            const qsizetype cierre = m_texto.indexOf(u'"', m_pos + 1);
            const qsizetype fin = cierre < 0 ? m_texto.size() : cierre;
            campo = m_texto.mid(m_pos + 1, fin - m_pos - 1);
            m_pos = cierre < 0 ? m_texto.size() : cierre + 1;
            while (m_pos < m_texto.size() && m_texto.at(m_pos) != u','
                && !esFinDeLinea(m_texto.at(m_pos)))
                ++m_pos;
        } else {
            const qsizetype inicio = m_pos;
            while (m_pos < m_texto.size() && m_texto.at(m_pos) != u','
                && !esFinDeLinea(m_texto.at(m_pos)))
                ++m_pos;
            campo = m_texto.mid(inicio, m_pos - inicio).trimmed();
        }

        m_trasComa = false;
        if (m_pos < m_texto.size()) {
            const QChar fin = m_texto.at(m_pos++);
            if (fin == u',')
                m_trasComa = true;
            else if (fin == u'\r' && m_pos < m_texto.size() && m_texto.at(m_pos) == u'\n')
                ++m_pos;
        }
        return campo;
    }

private:
    const QString& m_texto;
    qsizetype m_pos = 0;
    bool m_trasComa = false;
};

// 53 for a file that is not there, 75 (path or file access) for one that is there and refuses.
[[noreturn]] void lanzaErrorArchivo(const QFile& file)
{
    constexpr int ErrorAccesoRuta = 75;
    throw RuntimeError(file.exists() ? ErrorAccesoRuta : int(RuntimeError::FileNotFound),
        file.fileName() + QStringLiteral(": ") + file.errorString(), Origen);
}

QString rutaBases()
{
    if (gArchivoBases.trimmed().isEmpty())
        gArchivoBases = FileNames::checkedHelperFileToWrite(
            QString::fromLatin1(ArchivoBases), FileNames::FirstWrite::CopyOfProgramFolder);
    return FileNames::resolve(gArchivoBases);
}

} // namespace

bool CampoAdmitido(const QString& texto)
{
    return !texto.contains(u',') && !texto.contains(u'\r') && !texto.contains(u'\n');
}

void GrabarConexionBases(const QString& nombre, const QString& base, const QString& usuario,
    const QString& password, const QString& servidor, const QString& instancia, bool oracle)
{
    QString sufijo;
    if (!instancia.trimmed().isEmpty())
        sufijo = u'/' + instancia + u':' + gPuertoBases;
    else if (!gPuertoBases.isEmpty())
        sufijo = u':' + gPuertoBases;

    const QStringList campos {
        nombre.trimmed(),
        base.trimmed(),
        usuario.trimmed(),
        gUtilidades().Encripta(password.trimmed()),
        ((oracle ? QStringLiteral("#") : QString()) + servidor).trimmed() + sufijo,
    };
    // Refused before anything is touched: the format cannot hold these characters.
    for (const QString& campo : campos) {
        if (!CampoAdmitido(campo)) {
            throw RuntimeError(RuntimeError::InvalidCall,
                QStringLiteral("No se puede registrar la conexion: el dato \"") + campo.simplified()
                    + QStringLiteral("\" contiene una coma o un salto de linea."),
                Origen);
        }
    }

    const QString ruta = rutaBases();
    QFile file(ruta);

    // A missing or empty file counts as one that ends with a line break.
    bool cerrarUltimaLinea = false;
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            lanzaErrorArchivo(file);
        const QString texto = Windows1252::decode(file.readAll());
        file.close();
        const qsizetype ultimoSalto = texto.lastIndexOf(QStringLiteral("\r\n"));
        const QString ultimaLinea = ultimoSalto < 0 ? texto : texto.mid(ultimoSalto + 2);
        cerrarUltimaLinea = !ultimaLinea.trimmed().isEmpty();
    }

    QByteArray registro;
    if (cerrarUltimaLinea)
        registro += '\r';
    registro += Windows1252::encode(campos.join(u','));
    registro += "\r\n";

    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        lanzaErrorArchivo(file);
    if (file.write(registro) != registro.size() || !file.flush())
        lanzaErrorArchivo(file);
}

void LeeRegistrosBases(const QString& ruta, QList<RegistroConexion>& registros)
{
    QFile file(FileNames::resolve(ruta));
    if (!file.open(QIODevice::ReadOnly))
        lanzaErrorArchivo(file);
    const QString texto = Windows1252::decode(file.readAll());
    file.close();

    LectorCampos lector(texto);
    while (!lector.finDeArchivo()) {
        RegistroConexion registro;
        registro.nombre = lector.siguiente();
        registro.base = lector.siguiente();
        registro.usuario = lector.siguiente();
        registro.password = lector.siguiente();
        registro.servidor = lector.siguiente();
        registros.append(registro);
    }
}

} // namespace LBM_Common
