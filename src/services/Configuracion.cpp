#include "services/Configuracion.h"

#include <functional>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "services/Globales.h"
#include "services/ManejoErrores.h"

namespace Configuracion {

namespace {

using ConsultasDatos::literal;

constexpr auto CI = Qt::CaseInsensitive;
const QString TablaEstadisticas = QStringLiteral("TA_CONFIGURACION");

bool esDatos(const QString& grupo)
{
    return grupo.compare(QLatin1String("DATOS"), CI) == 0;
}

// The table of the main database, repaired when blank (the readers do it; the writer does not).
QString tablaPrincipal()
{
    QString& tabla = gGlobales().gTablaConfiguracion;
    if (tabla.trimmed().isEmpty())
        tabla = QStringLiteral("TA_CONFIGURACION");
    return tabla;
}

QString lecturaClave(const QString& tabla, const QString& clave)
{
    return QStringLiteral("SELECT VALOR, valoraux FROM ") + tabla
        + QStringLiteral(" with(nolock)  WHERE CLAVE = ") + literal(clave.trimmed());
}

// The date-range keys are stored upper-cased with their brackets by the suite's older programs,
// whose statements were upper-cased whole; the habit stays.
QString conFechas(const QString& sql, const QString& clave)
{
    const QString k = clave.trimmed();
    if (k.compare(QLatin1String("[FECHA HASTA]"), CI) == 0
        || k.compare(QLatin1String("[FECHA DESDE]"), CI) == 0)
        return sql.toUpper();
    return sql;
}

// One read of the table: the statement, the open, the first row, the close. `campo` is the column
// answered; `aux`, when given, receives valoraux. A failure not ignored gives "".
QString lee(DB_Dll& db, const QString& rutina, const std::function<QString()>& sentencia,
    const QString& campo, QString* aux)
{
    QString resultado;
    QString sql;
    AdoRecordset rs;
    Steps pasos = reportAs(rutina);
    const auto abandona = [&] {
        db.CierraRecordset(rs);
        return QString();
    };
    if (!pasos.run([&] { sql = sentencia(); }))
        return abandona();
    // Open and first row are one step: Retry runs the whole read again.
    if (!pasos.run([&] {
            db.AbrirRecordset(sql, rs);
            if (rs.Bof()) {
                resultado = QStringLiteral(" ");
                if (aux)
                    aux->clear();
                return;
            }
            const Utilidades& util = gUtilidades();
            resultado = util.ValorCampo(rs.Fields(campo).Value());
            if (aux)
                *aux = util.ValorCampo(rs.Fields(QStringLiteral("ValorAux")).Value());
        }))
        return abandona();
    if (!pasos.run([&] { db.CierraRecordset(rs); }))
        return abandona();
    return resultado;
}

QString conTema(const QString& clave, const QString& valor)
{
    // A theme never reads blank: the suite's first theme is the default.
    if (clave.compare(QLatin1String("THEME"), CI) == 0 && valor.trimmed().isEmpty())
        return QStringLiteral("1");
    return valor;
}

// One write of the table, every step skipped silently when it fails.
void graba(DB_Dll& db, const QString& sql, const QString& clave, const Value& valor,
    const QString& aux, bool politicaNegocio, const QString& grupo, bool recortar, bool borrar,
    bool recortarAux)
{
    const Utilidades& util = gUtilidades();
    Steps pasos = Steps::silent();
    QString sentencia = sql;
    AdoRecordset rs;
    pasos.run([&] {
        db.AbrirRecordset(sentencia, rs, &db.gCnn(), adOpenDynamic, adLockOptimistic, -1, true);
    });
    bool hayFila = false;
    pasos.run([&] { hayFila = !rs.Bof(); });
    if (borrar) {
        // Deleting a key that is not there stores nothing.
        if (hayFila)
            pasos.run([&] { rs.Delete(); });
        db.CierraRecordset(rs);
        return;
    }
    pasos.run([&] {
        if (hayFila)
            rs.MoveFirst();
        else
            rs.AddNew();
    });
    pasos.run([&] { rs.Fields(QStringLiteral("Grupo")).setValue(Value(grupo)); });
    pasos.run(
        [&] { rs.Fields(QStringLiteral("Clave")).setValue(Value(clave.trimmed().toUpper())); });
    pasos.run([&] {
        const QString texto = util.ValorCampo(valor);
        rs.Fields(QStringLiteral("Valor")).setValue(Value(recortar ? texto.trimmed() : texto));
    });
    // Stored as the flag it is, so every program reading the column sees 0 or 1.
    pasos.run(
        [&] { rs.Fields(QStringLiteral("PoliticaNegocio")).setValue(Value(politicaNegocio)); });
    if (!aux.isEmpty())
        pasos.run([&] {
            rs.Fields(QStringLiteral("valoraux"))
                .setValue(Value(recortarAux ? aux.trimmed() : aux));
        });
    pasos.run([&] {
        if (!rs.Update())
            throw rs.LastError();
    });
    db.CierraRecordset(rs);
}

} // namespace

QString Cfg(const QString& clave, QString& aux, const QString& grupo)
{
    DB_Dll& db = gDB();
    if (!db.gOpenFlag)
        return QString();
    const QString valor = lee(
        db, QStringLiteral("Cfg"),
        [&] {
            QString sql = lecturaClave(tablaPrincipal(), clave);
            if (!esDatos(grupo))
                sql += QStringLiteral(" AND GRUPO =") + literal(grupo);
            return conFechas(sql, clave);
        },
        QStringLiteral("Valor"), &aux);
    return conTema(clave, valor);
}

QString Cfg(const QString& clave)
{
    QString aux;
    return Cfg(clave, aux);
}

QString CfgAux(const QString& clave, const QString& valor)
{
    return lee(
        gDB(), QStringLiteral("CfgAux"),
        [&] {
            QString sql = lecturaClave(tablaPrincipal(), clave);
            if (!valor.isEmpty())
                sql += QStringLiteral(" AND VALOR = ") + literal(valor);
            return conFechas(sql, clave);
        },
        QStringLiteral("Valoraux"), nullptr);
}

void GrabaDfg(const QString& clave, const Value& valor, const QString& aux, bool politicaNegocio,
    const QString& grupo, bool recortar, bool borrar)
{
    QString sql = QStringLiteral("SELECT * FROM ") + gGlobales().gTablaConfiguracion
        + QStringLiteral(" with(nolock)  WHERE CLAVE = ") + literal(clave);
    if (!esDatos(grupo))
        sql += QStringLiteral(" AND GRUPO = ") + literal(grupo);
    graba(gDB(), sql, clave, valor, aux, politicaNegocio, grupo, recortar, borrar, recortar);
}

QString CfgKZQ(const QString& clave, QString& aux)
{
    DB_Dll& db = gDBEstadisticas();
    // Many sites have no statistics database: its settings then simply read empty.
    if (!db.gOpenFlag)
        return QString();
    const QString valor = lee(
        db, QStringLiteral("CfgKZQ"),
        [&] { return conFechas(lecturaClave(TablaEstadisticas, clave), clave); },
        QStringLiteral("Valor"), &aux);
    return conTema(clave, valor);
}

QString CfgKZQ(const QString& clave)
{
    QString aux;
    return CfgKZQ(clave, aux);
}

void GrabaCfgKZQ(const QString& clave, const Value& valor, const QString& aux, bool politicaNegocio,
    const QString& grupo, bool recortar)
{
    // Found by key alone: the group is written, never searched.
    const QString sql = QStringLiteral("SELECT * FROM ") + TablaEstadisticas
        + QStringLiteral(" with(nolock)  WHERE CLAVE = ") + literal(clave);
    graba(gDBEstadisticas(), sql, clave, valor, aux, politicaNegocio, grupo, recortar, false, true);
}

} // namespace Configuracion
