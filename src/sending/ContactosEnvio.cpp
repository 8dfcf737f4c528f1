#include "sending/ContactosEnvio.h"

#include <QStringList>

#include "data/ConsultasDatos.h"
#include "data/DB_Dll.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/EsperasBloqueo.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "sending/MensajeCorreo.h"
#include "services/ConstructorSentencias.h"
#include "services/Globales.h"
#include "services/RegistrosAccion.h"

namespace ContactosEnvio {

namespace {

using ConsultasDatos::literal;

// "email = 'a' or email = 'b'" over the addresses that are not empty: an empty one would match
// every contact stored without an address.
QString porDireccion(const QStringList& direcciones)
{
    QStringList partes;
    for (const QString& d : direcciones) {
        if (!d.isEmpty())
            partes << QStringLiteral("email = ") + literal(d);
    }
    return partes.join(QStringLiteral(" or "));
}

// A database another process holds locked fails the step (after its box), so the steps after it
// do not wait as long again.
void ejecutaSentencias()
{
    Globales& g = gGlobales();
    bool hayError = false;
    qint32 numero = 0;
    QString script, descripcion;
    const EsperasBloqueo esperas(gDB().gCnn());
    GActualizarDatoScript(
        g.gSentenciasSQL, hayError, numero, false, false, script, descripcion, true);
    g.gSentenciasSQL.clear();
    g.gCamposValores.reset();
    if (hayError && esperas.hubo())
        throw RuntimeError(numero, descripcion, QStringLiteral("GrabarContacto"));
}

} // namespace

std::optional<Datos> busca(const QString& email)
{
    std::optional<Datos> datos;
    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("select Contacto as Nombre_y_Apellido, Cargo, "
                                        "Telefono, email  from vt_e_mail where email = ")
            + literal(email),
        rs);
    if (!rs.Eof()) {
        const auto valor = [&](const char* columna) {
            return gUtilidades().ValorCampo(rs.Fields(QString::fromLatin1(columna)).Value());
        };
        datos = Datos { valor("Nombre_y_Apellido"), valor("Cargo"), valor("Telefono") };
    }
    gDB().CierraRecordset(rs);
    return datos;
}

long idContacto(const QString& para, const QString& email)
{
    const QString condicion = porDireccion({ para, email });
    if (condicion.isEmpty())
        return 0;
    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("SELECT TOP 1 * FROM MA_CONTACTOS where ") + condicion, rs,
        nullptr, adOpenDynamic, adLockOptimistic);
    const long id = rs.Eof()
        ? 0
        : long(
            gUtilidades().ValorCampo(rs.Fields(QStringLiteral("IdContacto")).Value()).toLongLong());
    gDB().CierraRecordset(rs);
    return id;
}

void graba(Steps& pasos, const QString& para, const QString& EMail, const QString& Cuenta,
    const QString& NombreCuenta, const Datos& datos)
{
    if (para.compare(SeleccionMultiple, Qt::CaseInsensitive) == 0)
        return;
    QString email = EMail.trimmed();
    // Only an address is kept: not a list, not whatever was typed where one should be.
    if (!MensajeCorreo::esDireccion(email.isEmpty() ? para : email))
        return;

    QString id;
    if (!pasos.run([&] {
            AdoRecordset rs;
            gDB().AbrirRecordset(QStringLiteral("select Contacto as Nombre_y_Apellido, Cargo, "
                                                "Telefono, email  from vt_e_mail where ")
                    + porDireccion({ para, email }),
                rs);
            if (!rs.Eof())
                id = QString::number(idContacto(para, email));
            gDB().CierraRecordset(rs);
        }))
        return;
    if (!id.isEmpty() && NombreCuenta.isEmpty())
        return;

    QString nombre = datos.nombre;
    QString cargo = datos.cargo;
    QString celular = datos.celular;
    if (email.isEmpty())
        email = para;
    if (nombre.isEmpty() && !NombreCuenta.isEmpty())
        nombre = NombreCuenta;

    Globales& g = gGlobales();
    using ConstructorSentencias::AgregaCampoValor;
    using ConstructorSentencias::ArmaSentenciaSQL;
    if (!pasos.run([&] {
            AgregaCampoValor(
                QStringLiteral("Nombre_y_Apellido"), nombre, QStringLiteral("'"), true);
            AgregaCampoValor(QStringLiteral("Cargo"), cargo, QStringLiteral("'"), false);
            AgregaCampoValor(QStringLiteral("CELULAR"), celular, QStringLiteral("'"), false);
            // The address is stored as it is looked up, apostrophe and all (doubled inside the
            // literal): one that lost it would never be found again and come back on every send.
            g.gCamposValores->append(
                { QStringLiteral("email"), gDB().SQLValue(Value(email), QStringLiteral("'")) });
            QString condicion = QStringLiteral(" where idcontacto = ") + id;
            ArmaSentenciaSQL(g.gCamposValores, g.gSentenciasSQL, QStringLiteral("MA_CONTACTOS"),
                !id.isEmpty(), condicion, false);
        }))
        return;
    if (!pasos.run([&] { ejecutaSentencias(); }))
        return;

    const QString cuenta = Cuenta.trimmed();
    if (cuenta.isEmpty())
        return;
    if (!pasos.run([&] {
            const QString id = QString::number(idContacto(para, email));
            QString condicion = QStringLiteral("where IDCONTACTO = ") + id
                + QStringLiteral(" AND CUENTA = ") + literal(cuenta);
            AdoRecordset rs;
            gDB().AbrirRecordset(
                QStringLiteral("SELECT * FROM MA_CONTACTOS_CUENTAS ") + condicion, rs);
            const bool existe = !rs.Eof();
            gDB().CierraRecordset(rs);
            QString numero = id;
            QString codigo = cuenta;
            AgregaCampoValor(QStringLiteral("IDCONTACTO"), numero, QStringLiteral("N"), true);
            AgregaCampoValor(QStringLiteral("CUENTA"), codigo, QStringLiteral("'"), false);
            ArmaSentenciaSQL(g.gCamposValores, g.gSentenciasSQL,
                QStringLiteral("MA_CONTACTOS_CUENTAS"), existe, condicion, false);
        }))
        return;
    pasos.run([&] { ejecutaSentencias(); });
}

QString numeroWhatsapp(const QString& cuenta)
{
    return gUtilidades().ValorCampo(
        gDB().DatosTabla(QStringLiteral("vt_clientes"), cuenta, QStringLiteral("fax")));
}

QString nombreCuenta(const QString& cuenta)
{
    return gUtilidades().ValorCampo(gDB().DatosTabla(QStringLiteral("ma_cuentas"), cuenta,
        QStringLiteral("descripcion"), QStringLiteral("codigo")));
}

QString direccionAdicional(const QString& cuenta)
{
    QString direccion;
    AdoRecordset rs;
    if (gDB().ExisteEnTabla(
            QStringLiteral("MA_CUENTASADIC"), cuenta, QStringLiteral("CODIGO"), &rs))
        direccion = gUtilidades().ValorCampo(rs.Fields(QStringLiteral("Mail")).Value());
    gDB().CierraRecordset(rs);
    return direccion;
}

std::optional<QString> direccionUsuario(const QString& usuario)
{
    std::optional<QString> direccion;
    AdoRecordset rs;
    if (gDB().ExisteEnTabla(QStringLiteral("ta_usuarios"), usuario, QStringLiteral("nombre"), &rs))
        direccion = gUtilidades().ValorCampo(rs.Fields(QStringLiteral("email_usuario")).Value());
    gDB().CierraRecordset(rs);
    return direccion;
}

QString consultaDestinatarios()
{
    return QStringLiteral("Select * from vt_e_mail order by razonsocial");
}

QString consultaNumeros(const QString& cuenta)
{
    return QStringLiteral("select nombre_y_apellido,celular,telefono From "
                          "vt_ma_cuentas_contactos where cuenta=")
        + literal(cuenta) + QStringLiteral(" order by nombre_y_apellido ");
}

} // namespace ContactosEnvio
