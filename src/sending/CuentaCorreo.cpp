#include "sending/CuentaCorreo.h"

#include "data/DB_Dll.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/LeadingNumber.h"
#include "platform/Utilidades.h"
#include "sending/ConfiguracionEnvio.h"
#include "services/Configuracion.h"

namespace {

bool es(const QString& tipo, const char* nombre)
{
    return tipo.trimmed().compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0;
}

// Fills a field still blank from its setting (trimmed unless told).
void desdeConfiguracion(QString& campo, const char* clave, bool recorta = true)
{
    if (!campo.trimmed().isEmpty())
        return;
    const QString valor = Configuracion::Cfg(QString::fromLatin1(clave));
    campo = recorta ? valor.trimmed() : valor;
}

} // namespace

void CuentaCorreo::CargarCuentaCorreo(const QString& usuario, const ConfiguracionEnvio& envio)
{
    ServidorTipo.clear();
    CuentaUsuario.clear();
    CuentaClave.clear();
    CuentaNombre.clear();
    ServidorOtro.clear();
    CuentaDe.clear();

    AdoRecordset rs;
    if (gDB().ExisteEnTabla(QStringLiteral("ta_usuarios"), usuario, QStringLiteral("nombre"), &rs,
            Value(qint32(8)), QString(), true)) {
        const auto campo = [&](const char* nombre) {
            return gUtilidades().ValorCampo(rs.Fields(QString::fromLatin1(nombre)).Value());
        };
        ServidorTipo = campo("eMail_Server");
        CuentaUsuario = campo("email_usuario");
        CuentaClave = campo("email_Password");
        CuentaNombre = campo("Email_Nombre");
        ServidorOtro = campo("email_ServerOtro");
        CuentaDe = campo("email_de");
        if (es(ServidorTipo, "OTRO"))
            CuentaPuerto = QStringLiteral("25");
        else if (es(ServidorTipo, "Gmail"))
            CuentaPuerto = QStringLiteral("465");
        else if (es(ServidorTipo, "Hotmail"))
            CuentaPuerto = QStringLiteral("25");
    }
    gDB().CierraRecordset(rs);

    desdeConfiguracion(ServidorTipo, "email_server");
    desdeConfiguracion(CuentaUsuario, "email_usuario");
    desdeConfiguracion(CuentaClave, "email_password");
    desdeConfiguracion(CuentaAutenticacion, "email_autenticacion", false);
    desdeConfiguracion(CuentaNombre, "email_nombre");
    desdeConfiguracion(ServidorOtro, "eMail_OtroServer");
    desdeConfiguracion(CuentaPuerto, "email_puerto");

    if (CuentaUsuario.trimmed().isEmpty() && !envio.cuentaDireccion.isEmpty()) {
        CuentaUsuario = envio.cuentaDireccion;
        ServidorTipo = QStringLiteral("Otro");
        CuentaClave = envio.cuentaClave;
        if (CuentaNombre.trimmed().isEmpty())
            CuentaNombre = QStringLiteral("Envio Automatico");
        ServidorOtro = envio.cuentaServidor;
        CuentaPuerto = QStringLiteral("25");
        CuentaAutenticacion = QStringLiteral("True");
    }

    if (CuentaDe.trimmed().isEmpty())
        CuentaDe = Configuracion::Cfg(QStringLiteral("eMail_De")).trimmed();
}

CuentaCorreo::Servidor CuentaCorreo::servidor(
    const QString& puertoConfigurado, const ConfiguracionEnvio& envio) const
{
    Servidor s;
    s.puerto = int(leadingNumber(puertoConfigurado.trimmed()));
    // A blank or zero setting would connect nowhere; the port of the account chosen at load holds.
    if (s.puerto <= 0)
        s.puerto = int(leadingNumber(CuentaPuerto.trimmed()));
    if (es(ServidorTipo, "Hotmail")) {
        s.host = envio.servidorHotmail;
        if (s.puerto <= 0)
            s.puerto = 25;
    } else if (es(ServidorTipo, "Gmail")) {
        s.host = envio.servidorGmail;
        if (s.puerto <= 0)
            s.puerto = 465;
    } else {
        s.host = ServidorOtro.trimmed();
        if (!envio.cuentaDireccion.isEmpty()
            && CuentaUsuario.trimmed().compare(envio.cuentaDireccion, Qt::CaseInsensitive) == 0)
            s.puerto = envio.cuentaPuerto;
    }
    if (s.puerto <= 0)
        s.puerto = 25;
    return s;
}
