#include "lookup/ArmadoConsulta.h"

#include <cmath>

#include <QFile>

#include "platform/LeadingNumber.h"
#include "platform/Utilidades.h"

namespace ArmadoConsulta {

namespace {

constexpr auto CI = Qt::CaseInsensitive;

constexpr int FilasPorDefecto = 1000;

bool igual(const QString& a, const char* b)
{
    return a.compare(QLatin1String(b), CI) == 0;
}

// The padding the record layout leaves in a text field besides blanks.
QString limpiaCampo(const QString& campo)
{
    return gUtilidades().QuitaCaracteres(campo, QString(QChar(0)), QString(QChar(0xFF))).trimmed();
}

struct ColumnasFijas
{
    const char* nombre;
    const char* columnas;
    const char* campoBusqueda;
};

// Tables whose lookups always show these columns, whatever their fields or the caller's choice.
constexpr ColumnasFijas Fijas[] = {
    { "V_TA_Unidad", "Descripcion,IdUnidad,", "IdUnidad" },
    { "V_TA_DEPOSITO", "Descripcion,Unidad,IdDeposito,", "IdDeposito" },
    { "V_TA_STATUS", "Descripcion,Tipo,CodigoEstado,", "CodigoEstado" },
};

} // namespace

QString normalizaWhere(const QString& where)
{
    if (where.trimmed().size() > 1 && !where.startsWith(u'('))
        return QStringLiteral(" (") + where + QStringLiteral(") ");
    return where;
}

int limiteFilas(const QString& topConsArt)
{
    const double valor = std::nearbyint(leadingNumber(topConsArt));
    // A negative limit would only make the server refuse every lookup.
    if (!(valor > 0) || valor > 2147483647.0)
        return FilasPorDefecto;
    return int(valor);
}

bool esSentencia(const QString& sql)
{
    return sql.contains(QLatin1String("SELECT"), CI);
}

QString sentenciaDada(const QString& sql, QString& where)
{
    QString sentencia = sql;
    // The article lookups read the view that carries stock and prices.
    sentencia.replace(QLatin1String("V_MA_ARTICULOS"), QLatin1String("VT_MA_ARTICULOS"), CI);
    if (!where.trimmed().isEmpty()) {
        if (!where.contains(QLatin1String("WHERE"), CI))
            where = QStringLiteral(" WHERE ") + where;
        sentencia += where;
    }
    return sentencia;
}

std::optional<MascarasConsulta::RegistroMascaraConsulta> buscaMascara(
    const QString& ruta, const QString& tabla)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString buscada = tabla.trimmed();
    while (!archivo.atEnd()) {
        const QByteArray bytes = archivo.read(MascarasConsulta::LongitudRegistro);
        if (bytes.isEmpty())
            break;
        MascarasConsulta::RegistroMascaraConsulta registro = MascarasConsulta::Decodifica(bytes);
        if (limpiaCampo(registro.Tabla).compare(buscada, CI) == 0)
            return registro;
    }
    return std::nullopt;
}

std::optional<QString> sentenciaDeMascara(const MascarasConsulta::RegistroMascaraConsulta& mascara,
    int filas, QString& campoBusqueda, const QString& where)
{
    QString columnas = mascara.Campos;
    columnas.replace(u'|', u',');
    columnas = columnas.trimmed();
    if (columnas.startsWith(u','))
        columnas.remove(0, 1);
    if (columnas.endsWith(u','))
        columnas.chop(1);
    if (columnas.isEmpty())
        columnas = QStringLiteral("*");

    if (campoBusqueda.isEmpty()) {
        const qsizetype coma = columnas.indexOf(u',');
        if (coma < 0)
            return std::nullopt;
        campoBusqueda = columnas.left(coma);
    }

    // A condition written in the mask always wins over the caller's.
    QString condicion = limpiaCampo(mascara.Where);
    if (condicion.isEmpty() && !where.trimmed().isEmpty())
        condicion = where;

    QString tabla = limpiaCampo(mascara.Tabla);
    if (igual(tabla, "VT_PROVEEDORES") || igual(tabla, "VT_CLIENTES")) {
        if (condicion.isEmpty())
            condicion = QStringLiteral("Dada_De_Baja = 0");
    } else if (igual(tabla, "V_MA_ARTICULOS")) {
        tabla = QStringLiteral("VT_MA_ARTICULOS");
        if (condicion.isEmpty())
            condicion = QStringLiteral("SUSPENDIDO = 0");
    }

    QString sentencia = QStringLiteral("SELECT TOP %1 %2 FROM %3").arg(filas).arg(columnas, tabla);
    sentencia += campoBusqueda.isEmpty() ? QStringLiteral(" with(nolock) ")
                                         : QStringLiteral("  with(nolock) ");
    if (!condicion.isEmpty())
        sentencia += QStringLiteral(" WHERE ");
    sentencia += condicion;
    if (!campoBusqueda.isEmpty())
        sentencia += QStringLiteral(" ORDER BY ") + campoBusqueda;
    return sentencia;
}

QString columnasSondeo(const QString& nombre, const QStringList& campos, QString& campoBusqueda)
{
    // Two views are searched by their own id and record stamps.
    const bool tomaIds = igual(nombre, "v_mv_mutuales") || igual(nombre, "V_MV_TROPA_STOCK");
    QString lista;
    for (const QString& campo : campos) {
        const bool esId = igual(campo, "ID") || igual(campo, "FECHAHORA_MODIFICACION")
            || igual(campo, "FECHAHORA_GRABACION");
        const bool esDescripcion
            = igual(campo, "DESCRIPCION") || igual(campo, "NOMBRE") || igual(campo, "DETALLE");
        if (esId && !tomaIds)
            continue;
        if (esId || esDescripcion)
            campoBusqueda = campo;
        else if (lista.isEmpty())
            campoBusqueda = campo;
        // Each field goes in front: the list comes out last field first, as the suite shows it.
        lista = campo + u',' + lista;
    }
    return lista;
}

QString sentenciaPorDefecto(const QString& nombre, int filas, QString& campoBusqueda,
    const QString& where, const QString& sentenciaOpcional,
    const std::function<QStringList(const QString&)>& camposDeTabla)
{
    if (!sentenciaOpcional.isEmpty())
        return sentenciaOpcional;

    QString columnas;
    bool fija = false;
    for (const ColumnasFijas& f : Fijas) {
        if (igual(nombre, f.nombre)) {
            columnas = QLatin1String(f.columnas);
            campoBusqueda = QLatin1String(f.campoBusqueda);
            fija = true;
            break;
        }
    }
    if (!fija && camposDeTabla)
        columnas = columnasSondeo(nombre, camposDeTabla(nombre), campoBusqueda);

    if (columnas.endsWith(u','))
        columnas.chop(1);
    if (columnas.isEmpty())
        columnas = QStringLiteral(" * ");

    const QString condicion = u' ' + where;
    QString sentencia = QStringLiteral("SELECT TOP %1 %2 FROM %3").arg(filas).arg(columnas, nombre);
    if (!condicion.trimmed().isEmpty())
        sentencia += QStringLiteral(" WHERE ");
    sentencia += condicion;
    // A table the probe could not read has no search column; its statement fails on its own.
    if (!campoBusqueda.isEmpty())
        sentencia += QStringLiteral(" ORDER BY ") + campoBusqueda;
    return sentencia;
}

} // namespace ArmadoConsulta
