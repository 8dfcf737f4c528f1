#include "pricelists/CamposCriterio.h"

namespace CamposCriterio {

namespace {

bool igual(const QString& a, const char* b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

} // namespace

Consulta consultaDe(const QString& tag, const QString& tipoLista)
{
    using C = Consulta::Clase;
    const QString listas
        = QStringLiteral("SELECT DISTINCT IDLISTA, NOMBRE FROM V_MA_PRECIOSCAB WHERE TIPOLISTA = '")
        + tipoLista + u'\'';
    if (igual(tag, "V_MA_PRECIOS"))
        return { C::Tabla, QStringLiteral("IDLISTA"), listas, false };
    if (igual(tag, "V_MA_PRECIOS_NOMBRE"))
        return { C::Tabla, QStringLiteral("NOMBRE"), listas, false };
    if (igual(tag, "v_ta_Familias"))
        return { C::Tabla, QStringLiteral("IDFAMILIA"),
            QStringLiteral("SELECT IDFAMILIA, DESCRIPCION FROM V_TA_FAMILIAS ORDER BY IDFAMILIA"),
            true };
    if (igual(tag, "vt_proveedores"))
        return { C::Tabla, QStringLiteral("codigo"), QStringLiteral("vt_proveedores"), false };
    if (igual(tag, "v_ta_rubros"))
        return { C::Tabla, QStringLiteral("idrubro"), QStringLiteral("v_ta_rubros"), false };
    if (igual(tag, "v_ta_deposito"))
        return { C::Tabla, QStringLiteral("iddeposito"), QStringLiteral("v_ta_deposito"), false };
    if (igual(tag, "FECHA"))
        return { C::Fecha, QString(), QString(), false };
    return {};
}

bool esFamilia(const QString& dataField)
{
    return igual(dataField, "FamiliaDesde") || igual(dataField, "FamiliaHasta");
}

bool esDeposito(const QString& dataField)
{
    return igual(dataField, "deposito");
}

QString patronFamilia(const QString& texto)
{
    if (texto.trimmed().isEmpty() || texto.contains(u'*'))
        return texto;
    return texto + u'*';
}

QColor color(qint32 valor)
{
    const auto bgr = quint32(valor);
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

} // namespace CamposCriterio
