#include "pricelists/AnalisisCostos.h"

#include <QCoreApplication>

#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "startup/Configuracion.h"
#include "startup/Dll_Display.h"

namespace {

// A value inside a quoted literal of a statement.
QString literal(const QString& text)
{
    return QString(text).replace(u'\'', QStringLiteral("''"));
}

// The statement that empties the rows of a user key.
QString sentenciaBorrado(const QString& clave)
{
    return QStringLiteral("DELETE AUX_ANALISISCOSTOS WHERE USUARIO ='") + literal(clave) + u'\'';
}

// A statement that left errors on the connection fails as a run-time error, so the operator is
// asked as for any other failure of the analysis.
void ejecuta(DB_Dll& db, const QString& sentencia)
{
    db.EjecutaConsultaSQL(sentencia);
    AdoErrors& errores = db.gCnn().Errors();
    if (errores.Count() > 0) {
        const AdoError error = errores.Item(0);
        throw RuntimeError(error.Number(), error.Description(), error.Source());
    }
}

// Closes the banner and the recordset on every way out, the operator's Abort included. A run that
// does not end leaves no rows for its key: a half-filled analysis is never there to be printed.
class Cierre
{
public:
    Cierre(AdoRecordset& rs, const QString& clave) : m_rs(rs), m_clave(clave) { }
    ~Cierre()
    {
        DB_Dll& db = gDB();
        db.CierraRecordset(m_rs);
        if (!completo && borrar)
            db.EjecutaConsultaSQL(sentenciaBorrado(m_clave));
        gDisplay().CartelCerrar();
    }

    bool borrar = false; // set once the run has started writing
    bool completo = false;

private:
    AdoRecordset& m_rs;
    QString m_clave;
};

} // namespace

QString AnalisisCostos::claveUsuario(const QString& usuario, const QString& nombrePC)
{
    return usuario + u'/' + nombrePC;
}

QString AnalisisCostos::filtroArticulos(const CriteriosAnalisis& c)
{
    const Utilidades& u = gUtilidades();
    QString filtro;
    const QString rubroDesde = c.RubroDesde.trimmed();
    const QString rubroHasta = c.RubroHasta.trimmed();
    const QString proveedorDesde = c.ProveedorDesde.trimmed();
    const QString proveedorHasta = c.ProveedorHasta.trimmed();
    const QString familiaDesde = c.FamiliaDesde.trimmed();
    const QString familiaHasta = c.FamiliaHasta.trimmed();
    if (!rubroDesde.isEmpty())
        filtro += QStringLiteral(" and v_ma_articulos.idrubro>='")
            + literal(u.FormateaCodigo(rubroDesde, 4)) + u'\'';
    if (!rubroHasta.isEmpty())
        filtro += QStringLiteral(" and v_ma_articulos.idrubro<='")
            + literal(u.FormateaCodigo(rubroHasta, 4)) + u'\'';
    if (!proveedorDesde.isEmpty())
        filtro += QStringLiteral(" and v_ma_articulos.cuentaproveedor>='") + literal(proveedorDesde)
            + u'\'';
    if (!proveedorHasta.isEmpty())
        filtro += QStringLiteral(" and v_ma_articulos.cuentaproveedor<='") + literal(proveedorHasta)
            + u'\'';
    // A family typed with "*" is a pattern of the family tree ("FER*": every family under FER).
    const auto familia = [&](const QString& valor, const QString& comparacion) {
        if (valor.contains(u'*'))
            filtro += QStringLiteral(" and v_ma_articulos.idfamilia like '")
                + literal(QString(valor).replace(u'*', u'%')) + u'\'';
        else
            filtro += QStringLiteral(" and v_ma_articulos.idfamilia") + comparacion + u'\''
                + literal(valor) + u'\'';
    };
    if (!familiaDesde.isEmpty())
        familia(familiaDesde, QStringLiteral(">="));
    if (!familiaHasta.isEmpty())
        familia(familiaHasta, QStringLiteral("<="));
    return filtro;
}

double AnalisisCostos::utilidad(const Value& precio, const Value& costo, bool conIva, double tasa)
{
    const double c = costo.isNull() || costo.isEmpty() ? 0.0 : costo.toDouble();
    if (!(c > 0))
        return 100.0;
    const double p = precio.isNull() || precio.isEmpty() ? 0.0 : precio.toDouble();
    if (conIva)
        return ((p / (tasa / 100.0 + 1.0)) - c) * 100.0 / c;
    return (p - c) * 100.0 / c;
}

QString AnalisisCostos::sentenciaPrecios(const QString& lista, const QString& filtro)
{
    return QStringLiteral("SELECT V_MA_PRECIOS.IdArticulo,V_MA_PRECIOS.ConIVA,V_MA_PRECIOS.Costo,"
                          "V_MA_PRECIOS.Precio4,V_MA_PRECIOS.FhOfertaDesde,"
                          "V_MA_PRECIOS.FhOfertaHasta, V_MA_ARTICULOS.TASAIVA,V_MA_ARTICULOS.EXENTO "
                          "FROM V_MA_PRECIOS INNER JOIN V_MA_ARTICULOS ")
        + QStringLiteral("ON V_MA_PRECIOS.IDARTICULO = V_MA_ARTICULOS.IDARTICULO ")
        + QStringLiteral("AND (V_MA_ARTICULOS.SUSPENDIDO = 0 OR V_MA_ARTICULOS.SUSPENDIDO IS NULL) ")
        + QStringLiteral("AND V_MA_PRECIOS.TIPOLISTA='V' AND V_MA_PRECIOS.IDLISTA='") + literal(lista)
        + QStringLiteral("' ") + filtro;
}

QString AnalisisCostos::fechaSql(const Value& fecha)
{
    if (fecha.isNull() || fecha.isEmpty() || gUtilidades().ValorCampo(fecha).trimmed().isEmpty())
        return QStringLiteral("NULL");
    // ISO with the "T": the one text every engine reads as the same date whatever its settings.
    const QDateTime d = fecha.toDateTime();
    if (!d.isValid())
        return QStringLiteral("NULL");
    return u'\'' + d.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + u'\'';
}

QString AnalisisCostos::sentenciaInsercion(int n, const QString& articulo, const QString& lista,
    const QString& utilidad, const QString& precio, const QString& desde, const QString& hasta,
    const QString& clave)
{
    const QString c = QString::number(n);
    return QStringLiteral("INSERT INTO AUX_ANALISISCOSTOS (IDARTICULO,L") + c + QStringLiteral(",L")
        + c + QStringLiteral("_UTL,L") + c + QStringLiteral("_PVENTA,L") + c + QStringLiteral("_IVA,L")
        + c + QStringLiteral("_FHOFERTA_DESDE,L") + c + QStringLiteral("_FHOFERTA_HASTA,USUARIO) ")
        + QStringLiteral("VALUES('") + literal(articulo) + QStringLiteral("','") + literal(lista)
        + QStringLiteral("',") + utilidad + u',' + precio + QStringLiteral(",0,") + desde + u','
        + hasta + QStringLiteral(",'") + literal(clave) + QStringLiteral("')");
}

QString AnalisisCostos::sentenciaActualizacion(int n, const QString& articulo,
    const QString& lista, const QString& utilidad, const QString& precio, const QString& desde,
    const QString& hasta, const QString& clave)
{
    const QString c = QString::number(n);
    return QStringLiteral("UPDATE AUX_ANALISISCOSTOS SET L") + c + QStringLiteral("='")
        + literal(lista) + QStringLiteral("',L") + c + QStringLiteral("_UTL=") + utilidad
        + QStringLiteral(", L") + c + QStringLiteral("_PVENTA=") + precio + QStringLiteral(", ")
        + u'L' + c + QStringLiteral("_FHOFERTA_DESDE=") + desde + QStringLiteral(", L") + c
        + QStringLiteral("_FHOFERTA_HASTA=") + hasta + QStringLiteral(" WHERE IDARTICULO ='")
        + literal(articulo) + QStringLiteral("' AND USUARIO='") + literal(clave) + u'\'';
}

bool AnalisisCostos::ArmarAnalisisCostos(
    const CriteriosAnalisis& criterios, const QStringList& listas, const QString& clave)
{
    DB_Dll& db = gDB();
    const Utilidades& u = gUtilidades();
    Steps steps([&u](const RuntimeError& e) { return u.PreguntaError(e); });
    AdoRecordset rs;
    Cierre cierre(rs, clave);

    double tasaGeneral = 0;
    if (!steps.run([&] { tasaGeneral = u.ValorMoneda(Configuracion::Cfg(QStringLiteral("PIVA")).trimmed()).toDouble(); }))
        return false;
    const QString filtro = filtroArticulos(criterios);

    gDisplay().CartelInicio(QStringLiteral("Vaciando Tabla Auxiliar"), 0);
    bool borrado = false;
    if (!steps.run([&] {
            db.EjecutaConsultaSQL(sentenciaBorrado(clave));
            borrado = db.gCnn().Errors().Count() == 0;
            if (!borrado)
                MsgBox(db.gCnn().Errors().Item(0).Description());
        }))
        return false;
    // The rows of an earlier run are still there: new rows beside them would print every
    // article twice, so the analysis stops after the message.
    if (!borrado)
        return false;
    gDisplay().CartelCerrar();
    cierre.borrar = true;

    gDisplay().CartelInicio(QStringLiteral("Generando Reporte"), 0);
    int n = 0;
    for (const QString& entrada : listas) {
        // The table has four column groups; the window never lets more be chosen.
        if (n == 4)
            break;
        QCoreApplication::processEvents();
        ++n;
        QString grupo;
        QString lista;
        bool ok = steps.run([&] {
            AdoRecordset cab;
            if (db.ExisteEnTabla(QStringLiteral("V_MA_PRECIOSCAB"), entrada, QStringLiteral("Grupo"),
                    &cab, Value(qint32(8)),
                    QStringLiteral("TIPOLISTA='V' and GRUPO='") + literal(entrada)
                        + QStringLiteral("' ORDER BY IDLISTA"))) {
                // A group stands for its first list by code.
                grupo = entrada;
                lista = u.ValorCampo(cab.Fields(QStringLiteral("IdLista")).Value());
            } else {
                lista = entrada;
            }
            db.CierraRecordset(cab);
            lista = u.FormateaCodigo(lista, 4);
        });
        if (!ok)
            return false;
        const QString columnaLista = grupo.isEmpty() ? lista : grupo;

        QString precios = sentenciaPrecios(lista, filtro);
        if (!steps.run([&] { db.AbrirRecordset(precios, rs); }))
            return false;
        if (rs.State() == 0)
            continue;
        while (true) {
            bool fin = false;
            QString sentencia;
            ok = steps.run([&] {
                fin = rs.Eof();
                if (fin)
                    return;
                QCoreApplication::processEvents();
                double tasa = rs.Fields(QStringLiteral("TasaIva")).Value().toDouble();
                if (tasa == 0)
                    tasa = tasaGeneral;
                const Value exento = rs.Fields(QStringLiteral("Exento")).Value();
                if (!exento.isNull() && !exento.isEmpty() && exento.toBool())
                    tasa = 0;
                const Value conIva = rs.Fields(QStringLiteral("ConIVA")).Value();
                const Value precio = rs.Fields(QStringLiteral("Precio4")).Value();
                const double util = utilidad(precio, rs.Fields(QStringLiteral("Costo")).Value(),
                    !conIva.isNull() && !conIva.isEmpty() && conIva.toBool(), tasa);
                const QString articulo = u.ValorCampo(rs.Fields(QStringLiteral("IdArticulo")).Value());
                gDisplay().CartelMostrar(Value(QStringLiteral("Generando Reporte")),
                    Value(QStringLiteral("Espere Por Favor")), Value(articulo.trimmed()));
                const bool actualiza = n > 1
                    && db.ExisteEnTabla(QStringLiteral("AUX_ANALISISCOSTOS"), articulo,
                        QStringLiteral("IDARTICULO"), nullptr, Value(qint32(8)),
                        QStringLiteral("IDARTICULO='") + literal(articulo)
                            + QStringLiteral("' AND USUARIO='") + literal(clave) + u'\'');
                const QString desde = fechaSql(rs.Fields(QStringLiteral("FHOFERTADESDE")).Value());
                const QString hasta = fechaSql(rs.Fields(QStringLiteral("FHOFERTAHASTA")).Value());
                const QString textoUtil = db.SQLValue(Value(util), QStringLiteral("@"));
                const QString textoPrecio = db.SQLValue(precio, QStringLiteral("@"));
                sentencia = actualiza
                    ? sentenciaActualizacion(n, articulo, columnaLista, textoUtil, textoPrecio,
                        desde, hasta, clave)
                    : sentenciaInsercion(n, articulo, columnaLista, textoUtil, textoPrecio, desde,
                        hasta, clave);
            });
            if (!ok)
                return false;
            if (fin)
                break;
            if (!sentencia.isEmpty() && !steps.run([&] { ejecuta(db, sentencia); }))
                return false;
            if (!steps.run([&] { rs.MoveNext(); }))
                return false;
        }
        db.CierraRecordset(rs);
    }
    cierre.completo = true;
    return true;
}
