#include "sending/ConfiguracionEnvio.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include "platform/Clock.h"
#include "platform/ErrorLog.h"
#include "platform/FileNames.h"
#include "platform/IniFile.h"
#include "platform/Utilidades.h"
#include "services/ManejoErrores.h"

namespace {

const QString Correo = QStringLiteral("Correo");
const QString Tls = QStringLiteral("TLS");
const QString Documentos = QStringLiteral("Documentos");
const QString Whatsapp = QStringLiteral("Whatsapp");
const QString Servidor = QStringLiteral("Servidor");

QSet<QString>& avisados()
{
    static QSet<QString> yaAvisados;
    return yaAvisados;
}

// One line per run for each kind of note, so the log tells without filling up.
void avisaUnaVez(const QString& clave, const QString& texto)
{
    if (avisados().contains(clave))
        return;
    avisados().insert(clave);
    ErrorLog::append(
        archivoErroresPrograma(), ErrorLog::line(Now(), QStringLiteral("Envio.ini"), texto, 0));
}

bool esSi(const QString& valor, bool porDefecto)
{
    const QString v = valor.trimmed().toUpper();
    if (v.isEmpty())
        return porDefecto;
    return v == QLatin1String("SI") || v == QLatin1String("S") || v == QLatin1String("1")
        || v == QLatin1String("TRUE");
}

} // namespace

QString ConfiguracionEnvio::rutaPorDefecto()
{
    return FileNames::inProgramFolder(QStringLiteral("Envio.ini"));
}

ConfiguracionEnvio ConfiguracionEnvio::lee(const QString& ruta)
{
    ConfiguracionEnvio c;
    IniFile ini;
    const QString archivo = FileNames::resolve(ruta);
    if (!ini.load(archivo))
        return c;
    const QFile::Permissions permisos = QFileInfo(archivo).permissions();
    if (permisos & (QFile::ReadGroup | QFile::ReadOther))
        avisaUnaVez(QStringLiteral("permisos"),
            QStringLiteral("Envio.ini puede ser leido por otros usuarios: ") + archivo);

    c.servidorGmail = ini.value(Correo, QStringLiteral("ServidorGmail"), c.servidorGmail).trimmed();
    c.servidorHotmail
        = ini.value(Correo, QStringLiteral("ServidorHotmail"), c.servidorHotmail).trimmed();
    c.cuentaDireccion = ini.value(Correo, QStringLiteral("CuentaDireccion")).trimmed();
    c.cuentaServidor = ini.value(Correo, QStringLiteral("CuentaServidor")).trimmed();
    bool ok = false;
    const int puerto = ini.value(Correo, QStringLiteral("CuentaPuerto")).trimmed().toInt(&ok);
    if (ok && puerto > 0)
        c.cuentaPuerto = puerto;
    c.cuentaClave = gUtilidades().Desencripta(ini.value(Correo, QStringLiteral("CuentaClave")));
    c.verificarCertificados = esSi(ini.value(Tls, QStringLiteral("VerificarCertificados")), true);
    c.certificadosCA = ini.value(Tls, QStringLiteral("CertificadosCA")).trimmed();
    c.permitirSinTls = esSi(ini.value(Tls, QStringLiteral("PermitirSinTLS")), false);
    const int tlsInmediato
        = ini.value(Tls, QStringLiteral("PuertoTLSInmediato")).trimmed().toInt(&ok);
    if (ok && tlsInmediato > 0)
        c.puertoTlsInmediato = tlsInmediato;
    c.servidorDocumentos = ini.value(Documentos, Servidor).trimmed();
    c.sitioPresupuestos = ini.value(Documentos, QStringLiteral("SitioPresupuestos")).trimmed();
    c.servidorWhatsapp = ini.value(Whatsapp, Servidor, c.servidorWhatsapp).trimmed();
    return c;
}

bool ConfiguracionEnvio::guarda(const QString& ruta) const
{
    const QString archivo = FileNames::resolve(ruta);
    const QFile::Permissions soloDueno = QFile::ReadOwner | QFile::WriteOwner;
    QFile f(archivo);
    if (f.exists() && !f.setPermissions(soloDueno))
        return false;
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate, soloDueno))
        return false;
    f.close();
    IniFile ini;
    ini.setValue(Correo, QStringLiteral("ServidorGmail"), servidorGmail);
    ini.setValue(Correo, QStringLiteral("ServidorHotmail"), servidorHotmail);
    ini.setValue(Correo, QStringLiteral("CuentaDireccion"), cuentaDireccion);
    ini.setValue(Correo, QStringLiteral("CuentaServidor"), cuentaServidor);
    ini.setValue(Correo, QStringLiteral("CuentaPuerto"), QString::number(cuentaPuerto));
    ini.setValue(Correo, QStringLiteral("CuentaClave"), gUtilidades().Encripta(cuentaClave));
    ini.setValue(Tls, QStringLiteral("VerificarCertificados"),
        verificarCertificados ? QStringLiteral("SI") : QStringLiteral("NO"));
    ini.setValue(Tls, QStringLiteral("CertificadosCA"), certificadosCA);
    ini.setValue(Tls, QStringLiteral("PermitirSinTLS"),
        permitirSinTls ? QStringLiteral("SI") : QStringLiteral("NO"));
    ini.setValue(Tls, QStringLiteral("PuertoTLSInmediato"), QString::number(puertoTlsInmediato));
    ini.setValue(Documentos, Servidor, servidorDocumentos);
    ini.setValue(Documentos, QStringLiteral("SitioPresupuestos"), sitioPresupuestos);
    ini.setValue(Whatsapp, Servidor, servidorWhatsapp);
    return ini.save(archivo);
}

MailSeguridad ConfiguracionEnvio::seguridad() const
{
    if (!verificarCertificados)
        avisaUnaVez(QStringLiteral("verificar"),
            QStringLiteral("Envio.ini: VerificarCertificados=NO, los certificados de los "
                           "servidores de correo no se verifican"));
    if (permitirSinTls)
        avisaUnaVez(QStringLiteral("sintls"),
            QStringLiteral("Envio.ini: PermitirSinTLS=SI, la clave puede viajar sin cifrar"));
    MailSeguridad s;
    s.verificarCertificados = verificarCertificados;
    s.certificadosCA = certificadosCA;
    s.permitirSinTls = permitirSinTls;
    s.puertoTlsInmediato = puertoTlsInmediato;
    return s;
}

HttpSeguridad ConfiguracionEnvio::seguridadHttp() const
{
    const MailSeguridad correo = seguridad();
    HttpSeguridad s;
    s.verificarCertificados = correo.verificarCertificados;
    s.certificadosCA = correo.certificadosCA;
    s.segundosConexion = correo.segundosConexion;
    s.segundosDetenido = correo.segundosDetenido;
    return s;
}

void ConfiguracionEnvio::olvidaAvisos()
{
    avisados().clear();
}
