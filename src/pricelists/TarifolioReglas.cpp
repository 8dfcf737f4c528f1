#include "pricelists/TarifolioReglas.h"

#include <QLocale>

#include "platform/Utilidades.h"

TarifolioReglas::TarifolioReglas(bool modoCompras, bool usaRetail)
    : m_modoCompras(modoCompras)
    , m_usaRetail(usaRetail)
{
}

bool TarifolioReglas::esModoCompras(const QString& parametroAdicional)
{
    return parametroAdicional.compare(QStringLiteral("C"), Qt::CaseInsensitive) == 0;
}

bool TarifolioReglas::esRetail(const QString& valorRetail)
{
    return valorRetail.compare(QStringLiteral("SI"), Qt::CaseInsensitive) == 0;
}

QString TarifolioReglas::titulo() const
{
    return m_modoCompras ? QStringLiteral("Listas de Precios de Compras")
                         : QStringLiteral("Listas de Precios de Ventas");
}

QString TarifolioReglas::TipoLista() const
{
    return m_modoCompras ? QStringLiteral("C") : QStringLiteral("V");
}

bool TarifolioReglas::claseOculta(int clase) const
{
    if (!m_usaRetail || clase < 1 || clase > 8)
        return false;
    // With RETAIL the classes are split between the modes: the sales lists show classes 4 to 8,
    // the purchase lists classes 1 to 3.
    return m_modoCompras ? clase >= 4 : clase <= 3;
}

QString TarifolioReglas::claveTituloClase(int clase)
{
    return QStringLiteral("NOM_PCLASE") + QString::number(clase);
}

QString TarifolioReglas::tituloClase(int clase, const QString& valorConfigurado)
{
    if (valorConfigurado.trimmed().isEmpty())
        return QStringLiteral("CLASE ") + QString::number(clase);
    return valorConfigurado;
}

int TarifolioReglas::alturaVentas(float topeCondiciones, float altoCondiciones)
{
    const float altura = altoCondiciones * 2.0F + topeCondiciones - 500.0F;
    return int(altura + (altura >= 0 ? 0.5F : -0.5F));
}

QStringList TarifolioReglas::sentenciasListasAnalisis()
{
    return {
        QStringLiteral("SELECT GRUPO FROM V_MA_PRECIOSCAB WHERE TIPOLISTA='V' AND NOT GRUPO IS "
                       "NULL GROUP BY GRUPO"),
        QStringLiteral("SELECT IDLISTA FROM V_MA_PRECIOSCAB WHERE TIPOLISTA='V' AND GRUPO IS NULL "
                       "GROUP BY IDLISTA"),
    };
}

QStringList TarifolioReglas::camposListasAnalisis()
{
    return { QStringLiteral("Grupo"), QStringLiteral("IdLista") };
}

QString TarifolioReglas::sentenciaCondiciones()
{
    return QStringLiteral("SELECT idCOND_CPRA_VTA, DESCRIPCION, PORCRECARGO FROM V_ta_Cpra_Vta ");
}

QString TarifolioReglas::textoCondicion(const Value& descripcion, const Value& porcentaje)
{
    const QString recargo = porcentaje.isNull() ? QString() : porcentaje.toString();
    const QString texto = descripcion.isNull() ? QString() : descripcion.toString();
    return texto + QStringLiteral(" (") + recargo + QStringLiteral("%)") + QString(60, u' ')
        + recargo;
}

QString TarifolioReglas::textoVisibleCondicion(const QString& item)
{
    // The sixty blanks follow the item's closing "%)"; blanks inside a description stay.
    const qsizetype oculto = item.lastIndexOf(QStringLiteral("%)") + QString(60, u' '));
    return oculto < 0 ? item : item.left(oculto + 2);
}

QString TarifolioReglas::avisoMaximoListas()
{
    return QStringLiteral("Solo puede seleccionar un máximo de 4 listas o grupos para el "
                          "análisis de precios.");
}

QString TarifolioReglas::fechaCorta(const QDate& fecha)
{
    // The workstation's short date with the whole year: the date fields take ten characters and
    // the selection formula reads this form back in the same order.
    return QLocale().toString(fecha, Utilidades::FormatoFechaCorta());
}

TarifolioReglas::Accion TarifolioReglas::accionBarra(const QString& clave)
{
    const QString tecla = clave.toUpper();
    if (tecla == QLatin1String("PANTALLA"))
        return Accion::Pantalla;
    if (tecla == QLatin1String("IMPRESORA"))
        return Accion::Impresora;
    if (tecla == QLatin1String("MENSAJE"))
        return Accion::Mensaje;
    if (tecla == QLatin1String("CONSULTAR"))
        return Accion::Consultar;
    if (tecla == QLatin1String("CERRAR"))
        return Accion::Cerrar;
    return Accion::Ninguna;
}
