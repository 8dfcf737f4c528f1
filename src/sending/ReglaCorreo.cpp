#include "sending/ReglaCorreo.h"

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Utilidades.h"

std::optional<ReglaCorreo> ReglaCorreo::lee(const QString& TC)
{
    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("select * from v_ma_email where codigoactivador like ")
            + ConsultasDatos::literal(u'%' + TC + u'%')
            + QStringLiteral(" and baja = 0 order by ID"),
        rs);
    std::optional<ReglaCorreo> regla;
    if (!rs.Eof()) {
        const auto campo = [&](const char* nombre) {
            return gUtilidades().ValorCampo(rs.Fields(QString::fromLatin1(nombre)).Value());
        };
        regla.emplace();
        const Value sin = rs.Fields(QStringLiteral("SinConfirmacion")).Value();
        if (!sin.isNull())
            regla->SinConfirmacion = sin.toBool();
        regla->De = campo("De");
        regla->Para = campo("Para");
        regla->Asunto = campo("Asunto");
        regla->Mensaje = campo("Mensaje");
    }
    gDB().CierraRecordset(rs);
    return regla;
}

QString ReglaCorreo::para(const QString& contactos) const
{
    return contactos.trimmed().isEmpty() ? Para : contactos;
}

QString ReglaCorreo::asunto(const QString& numero, const QString& nombreCuenta) const
{
    return Asunto + u'(' + numero + u')' + u' ' + nombreCuenta;
}

QString ReglaCorreo::asuntoSinRegla(const QString& numero, const QString& nombreCuenta)
{
    return numero + u' ' + nombreCuenta;
}
