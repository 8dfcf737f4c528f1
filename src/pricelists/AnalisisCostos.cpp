#include "pricelists/AnalisisCostos.h"

#include <optional>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QSet>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoField.h"
#include "platform/AdoRecordset.h"
#include "platform/AdoTypes.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "services/Configuracion.h"
#include "services/Dll_Display.h"

namespace {

using ConsultasDatos::literal;

// The statement that empties the rows of a user key.
QString sentenciaBorrado(const QString& clave)
{
    return QStringLiteral("DELETE AUX_ANALISISCOSTOS WHERE USUARIO =") + literal(clave);
}

// Raises the first error a statement left on the connection as a run-time error, so the
// operator is asked as for any other failure of the analysis.
void lanzaError(DB_Dll& db)
{
    AdoErrors& errores = db.gCnn().Errors();
    if (errores.Count() > 0) {
        const AdoError error = errores.Item(0);
        throw RuntimeError(error.Number(), error.Description(), error.Source());
    }
}

// A statement of one article's row. A statement that wrote no row was refused, although nothing
// says why: the data layer clears a server's "would be truncated" as a warning when the server
// stored nothing, and a trigger may leave the row out without a word. A server that reports no
// counts answers -1, which is no refusal.
void ejecuta(DB_Dll& db, const QString& sentencia, const QString& articulo)
{
    qint64 escritas = 0;
    db.EjecutaConsultaSQL(sentencia, &escritas);
    lanzaError(db);
    if (escritas == 0)
        throw RuntimeError(AdoErrorNumber::Fail,
            QStringLiteral("La base de datos no guardó la fila del artículo %1 en "
                           "AUX_ANALISISCOSTOS: la sentencia no escribió ninguna fila.")
                .arg(articulo.trimmed()),
            QStringLiteral("AnalisisCostos"));
}

// Closes the banner and the recordset on every way out, the operator's Abort included. A run that
// does not end leaves no rows for its key: a half-filled analysis is never there to be printed.
class Cierre
{
public:
    Cierre(AdoRecordset& rs, const QString& clave)
        : m_rs(rs)
        , m_clave(clave)
    {
    }
    ~Cierre()
    {
        DB_Dll& db = gDB();
        db.CierraRecordset(m_rs);
        if (enTransaccion)
            db.gCnn().RollbackTrans();
        if (!completo && borrar)
            db.EjecutaConsultaSQL(sentenciaBorrado(m_clave));
        gDisplay().CartelCerrar();
    }

    bool borrar = false; // set once the run has started writing
    bool enTransaccion = false;
    bool completo = false;

private:
    AdoRecordset& m_rs;
    QString m_clave;
};

// An article as the database compares it in the existence test: case and trailing blanks do not
// count.
QString claveArticulo(const QString& articulo)
{
    qsizetype largo = articulo.size();
    while (largo > 0 && articulo.at(largo - 1) == u' ')
        --largo;
    return articulo.left(largo).toCaseFolded();
}

// The position of the field of `rs` named `nombre` (any case); an unknown name raises 3265, as
// asking the recordset for it does.
int indiceCampo(AdoRecordset& rs, const QString& nombre)
{
    for (int i = 0; i < rs.FieldCount(); ++i) {
        if (rs.Fields(i).Name().compare(nombre, Qt::CaseInsensitive) == 0)
            return i;
    }
    rs.Fields(nombre);
    return -1;
}

// Price rows read at a time.
constexpr qint64 BloqueLectura = 512;

// Rows written by one insert.
constexpr qsizetype FilasPorSentencia = 200;

// The banner shows the article at hand and lets the window's events run, every tenth of a second:
// a repaint per row cost more than the row itself.
class Progreso
{
public:
    void muestra(const QString& articulo)
    {
        if (m_reloj.isValid() && m_reloj.elapsed() < 100)
            return;
        m_reloj.start();
        gDisplay().CartelMostrar(Value(QStringLiteral("Generando Reporte")),
            Value(QStringLiteral("Espere Por Favor")), Value(articulo.trimmed()));
    }

private:
    QElapsedTimer m_reloj;
};

// One list's columns of an article's row, as the statements write them.
struct GrupoFila
{
    int n = 0;
    QString lista;
    QString utilidad;
    QString precio;
    QString desde;
    QString hasta;
};

// An article's row of the work table: the groups in the order the lists gave them. The first one
// created the row and wrote its VAT column; each later one changed its own group's columns.
struct FilaAnalisis
{
    QString articulo;
    std::vector<GrupoFila> grupos;

    // The group a list wrote last, or null.
    const GrupoFila* grupo(int n) const
    {
        for (auto g = grupos.rbegin(); g != grupos.rend(); ++g) {
            if (g->n == n)
                return &*g;
        }
        return nullptr;
    }

    // The columns the row's statements wrote, as a key: rows with the same key share an insert.
    QString columnas() const
    {
        QString clave = QString::number(grupos.front().n);
        for (int n = 1; n <= 4; ++n)
            clave += grupo(n) ? u'1' : u'0';
        return clave;
    }

    QString insercion(const QStringList& valores) const
    {
        QString sentencia = QStringLiteral("INSERT INTO AUX_ANALISISCOSTOS (IDARTICULO");
        for (int n = 1; n <= 4; ++n) {
            if (!grupo(n))
                continue;
            const QString c = QString::number(n);
            sentencia += QStringLiteral(",L") + c + QStringLiteral(",L") + c
                + QStringLiteral("_UTL,L") + c + QStringLiteral("_PVENTA,");
            // A later list's update left the VAT column as the table makes it.
            if (n == grupos.front().n)
                sentencia += u'L' + c + QStringLiteral("_IVA,");
            sentencia += u'L' + c + QStringLiteral("_FHOFERTA_DESDE,L") + c
                + QStringLiteral("_FHOFERTA_HASTA");
        }
        return sentencia + QStringLiteral(",USUARIO) VALUES") + valores.join(u',');
    }

    QString valores(const QString& clave) const
    {
        QString texto = u'(' + literal(articulo);
        for (int n = 1; n <= 4; ++n) {
            const GrupoFila* g = grupo(n);
            if (!g)
                continue;
            texto += u',' + literal(g->lista) + u',' + g->utilidad + u',' + g->precio + u',';
            if (n == grupos.front().n)
                texto += QStringLiteral("0,");
            texto += g->desde + u',' + g->hasta;
        }
        return texto + u',' + literal(clave) + u')';
    }
};

// The rows of a run. A list's price makes a new row when it is the first list or no row of the
// article is there yet, and otherwise changes every row of the article (the update's WHERE names
// the article, and the database matches it ignoring case and trailing blanks).
class FilasAnalisis
{
public:
    void agrega(const QString& articulo, GrupoFila grupo)
    {
        QList<qsizetype>& delArticulo = m_porArticulo[claveArticulo(articulo)];
        if (grupo.n == 1 || delArticulo.isEmpty()) {
            delArticulo << qsizetype(m_filas.size());
            m_filas.push_back({ articulo, { std::move(grupo) } });
            return;
        }
        for (qsizetype i : std::as_const(delArticulo))
            m_filas[size_t(i)].grupos.push_back(grupo);
    }
    qsizetype cantidad() const { return qsizetype(m_filas.size()); }
    const FilaAnalisis& fila(qsizetype i) const { return m_filas[size_t(i)]; }

private:
    std::vector<FilaAnalisis> m_filas;
    QHash<QString, QList<qsizetype>> m_porArticulo;
};

// The message for a key of the rows that the work table would store cut, or "" when every key
// fits (trailing blanks are no part of a key).
QString claveCortada(DB_Dll& db, const FilasAnalisis& filas, const QString& clave)
{
    AdoRecordset rs;
    db.AbrirRecordset(
        QStringLiteral("SELECT IDARTICULO,USUARIO FROM AUX_ANALISISCOSTOS WHERE 1=0"), rs);
    if (rs.State() == adStateClosed)
        return {};
    const qint64 anchoArticulo = rs.Fields(0).DefinedSize();
    const qint64 anchoUsuario = rs.Fields(1).DefinedSize();
    db.CierraRecordset(rs);
    const auto largo = [](const QString& texto) {
        qsizetype n = texto.size();
        while (n > 0 && texto.at(n - 1) == u' ')
            --n;
        return n;
    };
    const auto noCabe = [](qsizetype n, qint64 ancho) { return ancho > 0 && n > ancho; };
    const QString texto = QStringLiteral(
        "%1 \"%2\" tiene %3 caracteres y la columna %4 de AUX_ANALISISCOSTOS guarda %5: el "
        "análisis de costos no se armó.");
    if (noCabe(largo(clave), anchoUsuario))
        return texto.arg(QStringLiteral("La clave de usuario"), clave,
            QString::number(largo(clave)), QStringLiteral("USUARIO"),
            QString::number(anchoUsuario));
    for (qsizetype i = 0; i < filas.cantidad(); ++i) {
        const QString& articulo = filas.fila(i).articulo;
        if (noCabe(largo(articulo), anchoArticulo))
            return texto.arg(QStringLiteral("El código de artículo"), articulo.trimmed(),
                QString::number(largo(articulo)), QStringLiteral("IDARTICULO"),
                QString::number(anchoArticulo));
    }
    return {};
}

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
        filtro += QStringLiteral(" and v_ma_articulos.idrubro>=")
            + literal(u.FormateaCodigo(rubroDesde, 4));
    if (!rubroHasta.isEmpty())
        filtro += QStringLiteral(" and v_ma_articulos.idrubro<=")
            + literal(u.FormateaCodigo(rubroHasta, 4));
    if (!proveedorDesde.isEmpty())
        filtro += QStringLiteral(" and v_ma_articulos.cuentaproveedor>=") + literal(proveedorDesde);
    if (!proveedorHasta.isEmpty())
        filtro += QStringLiteral(" and v_ma_articulos.cuentaproveedor<=") + literal(proveedorHasta);
    // A family typed with "*" is a pattern of the family tree ("FER*": every family under FER).
    const auto familia = [&](const QString& valor, const QString& comparacion) {
        if (valor.contains(u'*'))
            filtro += QStringLiteral(" and v_ma_articulos.idfamilia like ")
                + literal(QString(valor).replace(u'*', u'%'));
        else
            filtro
                += QStringLiteral(" and v_ma_articulos.idfamilia") + comparacion + literal(valor);
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
    return QStringLiteral(
               "SELECT V_MA_PRECIOS.IdArticulo,V_MA_PRECIOS.ConIVA,V_MA_PRECIOS.Costo,"
               "V_MA_PRECIOS.Precio4,V_MA_PRECIOS.FhOfertaDesde,"
               "V_MA_PRECIOS.FhOfertaHasta, V_MA_ARTICULOS.TASAIVA,V_MA_ARTICULOS.EXENTO "
               "FROM V_MA_PRECIOS INNER JOIN V_MA_ARTICULOS ")
        + QStringLiteral("ON V_MA_PRECIOS.IDARTICULO = V_MA_ARTICULOS.IDARTICULO ")
        + QStringLiteral(
            "AND (V_MA_ARTICULOS.SUSPENDIDO = 0 OR V_MA_ARTICULOS.SUSPENDIDO IS NULL) ")
        + QStringLiteral("AND V_MA_PRECIOS.TIPOLISTA='V' AND V_MA_PRECIOS.IDLISTA=")
        + literal(lista) + QStringLiteral(" ") + filtro;
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
        + c + QStringLiteral("_UTL,L") + c + QStringLiteral("_PVENTA,L") + c
        + QStringLiteral("_IVA,L") + c + QStringLiteral("_FHOFERTA_DESDE,L") + c
        + QStringLiteral("_FHOFERTA_HASTA,USUARIO) ") + QStringLiteral("VALUES(")
        + literal(articulo) + u',' + literal(lista) + QStringLiteral(",") + utilidad + u',' + precio
        + QStringLiteral(",0,") + desde + u',' + hasta + QStringLiteral(",") + literal(clave)
        + QStringLiteral(")");
}

QString AnalisisCostos::sentenciaActualizacion(int n, const QString& articulo, const QString& lista,
    const QString& utilidad, const QString& precio, const QString& desde, const QString& hasta,
    const QString& clave)
{
    const QString c = QString::number(n);
    return QStringLiteral("UPDATE AUX_ANALISISCOSTOS SET L") + c + QStringLiteral("=")
        + literal(lista) + QStringLiteral(",L") + c + QStringLiteral("_UTL=") + utilidad
        + QStringLiteral(", L") + c + QStringLiteral("_PVENTA=") + precio + QStringLiteral(", ")
        + u'L' + c + QStringLiteral("_FHOFERTA_DESDE=") + desde + QStringLiteral(", L") + c
        + QStringLiteral("_FHOFERTA_HASTA=") + hasta + QStringLiteral(" WHERE IDARTICULO =")
        + literal(articulo) + QStringLiteral(" AND USUARIO=") + literal(clave);
}

namespace {

// One run of the analysis, step by step in the order they reach the database: the default rate,
// the user's rows emptied, the chosen lists read into rows in memory, the keys' widths checked,
// the rows written. Each step returns false when the run stops there (the operator's Abort, or
// a failure that ends the run after its message).
class CorridaAnalisis
{
public:
    explicit CorridaAnalisis(const QString& clave)
        : m_db(gDB())
        , m_u(gUtilidades())
        , m_steps([this](const RuntimeError& e) { return m_u.PreguntaError(e); })
        , m_cierre(m_rs, clave)
        , m_clave(clave)
    {
    }

    bool tasaGeneral();
    bool vaciaTabla();
    bool leeListas(const QStringList& listas, const QString& filtro);
    bool clavesCaben();
    bool escribeFilas();

private:
    bool resuelveEntrada(const QString& entrada, QString& grupo, QString& lista);
    bool leePrecios(int n, const QString& columnaLista, const QString& precios);
    bool agregaFila(int n, const QString& columnaLista, const int campo[], const QList<Value>& r);
    bool escribeTanda(const QList<qsizetype>& tanda);
    bool escribeTodas();

    DB_Dll& m_db;
    const Utilidades& m_u;
    Steps m_steps;
    AdoRecordset m_rs;
    Cierre m_cierre;
    QString m_clave;
    double m_tasaGeneral = 0;
    Progreso m_progreso;
    FilasAnalisis m_filas;

    // What the writing keeps across its attempts: the statements the operator let go by, as
    // (row, its group); the rows written statement by statement (holding one of those, or
    // carried by an insert that wrote only some of its rows); the last refusal with its
    // statement, none when an attempt stopped only to write rows one by one.
    QSet<std::pair<qsizetype, qsizetype>> m_omitidas;
    QSet<qsizetype> m_filasSueltas;
    std::optional<RuntimeError> m_rechazo;
    std::pair<qsizetype, qsizetype> m_rechazada;
};

// The columns of a price row, by their place in `campo`.
enum CampoPrecio
{
    Articulo,
    ConIva,
    Costo,
    Precio,
    Desde,
    Hasta,
    Tasa,
    Exento,
    CantidadCampos
};

bool CorridaAnalisis::tasaGeneral()
{
    return m_steps.run([&] {
        m_tasaGeneral
            = m_u.ValorMoneda(Configuracion::Cfg(QStringLiteral("PIVA")).trimmed()).toDouble();
    });
}

bool CorridaAnalisis::vaciaTabla()
{
    gDisplay().CartelInicio(QStringLiteral("Vaciando Tabla Auxiliar"), 0);
    bool borrado = false;
    if (!m_steps.run([&] {
            m_db.EjecutaConsultaSQL(sentenciaBorrado(m_clave));
            borrado = m_db.gCnn().Errors().Count() == 0;
            if (!borrado)
                MsgBox(m_db.gCnn().Errors().Item(0).Description());
        }))
        return false;
    // The rows of an earlier run are still there: new rows beside them would print every
    // article twice, so the analysis stops after the message.
    if (!borrado)
        return false;
    gDisplay().CartelCerrar();
    m_cierre.borrar = true;
    return true;
}

bool CorridaAnalisis::leeListas(const QStringList& listas, const QString& filtro)
{
    gDisplay().CartelInicio(QStringLiteral("Generando Reporte"), 0);
    // The rows are made in memory list by list, exactly as an insert per article of the first
    // list that prices it and an update per later list would leave them, and then written.
    int n = 0;
    for (const QString& entrada : listas) {
        // The table has four column groups; the window never lets more be chosen.
        if (n == 4)
            break;
        QCoreApplication::processEvents();
        ++n;
        QString grupo;
        QString lista;
        if (!resuelveEntrada(entrada, grupo, lista))
            return false;
        const QString columnaLista = grupo.isEmpty() ? lista : grupo;
        if (!leePrecios(n, columnaLista, AnalisisCostos::sentenciaPrecios(lista, filtro)))
            return false;
    }
    return true;
}

bool CorridaAnalisis::resuelveEntrada(const QString& entrada, QString& grupo, QString& lista)
{
    return m_steps.run([&] {
        AdoRecordset cab;
        if (m_db.ExisteEnTabla(QStringLiteral("V_MA_PRECIOSCAB"), entrada, QStringLiteral("Grupo"),
                &cab, Value(qint32(8)),
                QStringLiteral("TIPOLISTA='V' and GRUPO=") + literal(entrada)
                    + QStringLiteral(" ORDER BY IDLISTA"))) {
            // A group stands for its first list by code.
            grupo = entrada;
            lista = m_u.ValorCampo(cab.Fields(QStringLiteral("IdLista")).Value());
        } else {
            lista = entrada;
        }
        m_db.CierraRecordset(cab);
        lista = m_u.FormateaCodigo(lista, 4);
    });
}

bool CorridaAnalisis::leePrecios(int n, const QString& columnaLista, const QString& precios)
{
    if (!m_steps.run([&] { m_db.AbrirRecordset(precios, m_rs); }))
        return false;
    if (m_rs.State() == 0)
        return true;
    // The price rows come a block at a time, their fields by position: asking each row for its
    // fields by name cost more than the database's part.
    int campo[CantidadCampos] = {};
    if (!m_steps.run([&] {
            const QString nombres[CantidadCampos] = { QStringLiteral("IdArticulo"),
                QStringLiteral("ConIVA"), QStringLiteral("Costo"), QStringLiteral("Precio4"),
                QStringLiteral("FHOFERTADESDE"), QStringLiteral("FHOFERTAHASTA"),
                QStringLiteral("TasaIva"), QStringLiteral("Exento") };
            for (int i = 0; i < CantidadCampos; ++i)
                campo[i] = indiceCampo(m_rs, nombres[i]);
        }))
        return false;
    while (true) {
        bool fin = false;
        QList<QList<Value>> bloque;
        if (!m_steps.run([&] {
                fin = m_rs.Eof();
                if (!fin)
                    bloque = m_rs.GetRows(BloqueLectura);
            }))
            return false;
        if (fin)
            break;
        for (const QList<Value>& r : std::as_const(bloque)) {
            if (!agregaFila(n, columnaLista, campo, r))
                return false;
        }
    }
    m_db.CierraRecordset(m_rs);
    return true;
}

bool CorridaAnalisis::agregaFila(
    int n, const QString& columnaLista, const int campo[], const QList<Value>& r)
{
    return m_steps.run([&] {
        double tasa = r.at(campo[Tasa]).toDouble();
        if (tasa == 0)
            tasa = m_tasaGeneral;
        const Value& exento = r.at(campo[Exento]);
        if (!exento.isNull() && !exento.isEmpty() && exento.toBool())
            tasa = 0;
        const Value& conIva = r.at(campo[ConIva]);
        const Value& precio = r.at(campo[Precio]);
        const double util = AnalisisCostos::utilidad(precio, r.at(campo[Costo]),
            !conIva.isNull() && !conIva.isEmpty() && conIva.toBool(), tasa);
        GrupoFila g;
        g.n = n;
        g.lista = columnaLista;
        g.utilidad = m_db.SQLValue(Value(util), QStringLiteral("@"));
        g.precio = m_db.SQLValue(precio, QStringLiteral("@"));
        g.desde = AnalisisCostos::fechaSql(r.at(campo[Desde]));
        g.hasta = AnalisisCostos::fechaSql(r.at(campo[Hasta]));
        const QString articulo = m_u.ValorCampo(r.at(campo[Articulo]));
        m_progreso.muestra(articulo);
        m_filas.agrega(articulo, std::move(g));
    });
}

bool CorridaAnalisis::clavesCaben()
{
    // The report finds the rows by their keys: a key the work table would store cut leaves an
    // analysis that prints empty, so the run stops before it writes.
    if (m_filas.cantidad() == 0)
        return true;
    QString cortada;
    if (!m_steps.run([&] { cortada = claveCortada(m_db, m_filas, m_clave); }))
        return false;
    if (!cortada.isEmpty()) {
        MsgBox(cortada);
        return false;
    }
    return true;
}

// One transaction for every row of the run: a commit per row waited on the disk once per row. A
// run that stops rolls it back.
// Rows that take the same columns go in one statement: statements one by one cost more to prepare
// than to run. A statement that wrote none of the rows it carried is written again row by row,
// with the insert and updates a row was made of, so the operator is asked about the very row; one
// that wrote only some of them makes the run start again with those rows one by one. The
// transaction is rolled back before the question: no lock waits on the answer. Retry and Ignore
// then write the run again from its first row, Ignore without the refused statement.
bool CorridaAnalisis::escribeFilas()
{
    for (;;) {
        if (!m_steps.run([&] {
                if (!m_db.gCnn().BeginTrans())
                    throw m_db.gCnn().LastError();
                m_cierre.enTransaccion = true;
            }))
            return false;
        if (escribeTodas())
            break;
        m_db.gCnn().RollbackTrans();
        m_cierre.enTransaccion = false;
        if (!m_rechazo)
            continue;
        const int respuesta = m_u.PreguntaError(*m_rechazo);
        m_rechazo.reset();
        if (respuesta == Msg::Ignore) {
            m_omitidas.insert(m_rechazada);
            m_filasSueltas.insert(m_rechazada.first);
        } else if (respuesta != Msg::Retry) {
            return false;
        }
    }
    if (!m_steps.run([&] {
            if (!m_db.gCnn().CommitTrans())
                throw m_db.gCnn().LastError();
            m_cierre.enTransaccion = false;
        }))
        return false;
    m_cierre.completo = true;
    return true;
}

// Every row, in statements of up to FilasPorSentencia rows that take the same columns (one row
// each on Oracle). False at the first statement refused on its own, or at an insert that wrote
// only some of its rows.
bool CorridaAnalisis::escribeTodas()
{
    const qsizetype porSentencia = m_db.gServidor.contains(u'#') ? 1 : FilasPorSentencia;
    QHash<QString, QList<qsizetype>> porColumnas;
    for (qsizetype i = 0; i < m_filas.cantidad(); ++i) {
        m_progreso.muestra(m_filas.fila(i).articulo);
        QList<qsizetype>& tanda = porColumnas[m_filas.fila(i).columnas()];
        tanda << i;
        if (tanda.size() >= porSentencia) {
            if (!escribeTanda(tanda))
                return false;
            tanda.clear();
        }
    }
    for (const QList<qsizetype>& tanda : std::as_const(porColumnas)) {
        if (!tanda.isEmpty() && !escribeTanda(tanda))
            return false;
    }
    return true;
}

// One statement for the rows of `tanda`; when it wrote none of them (or a row of it is to go on
// its own), the rows one by one with their own insert and updates.
bool CorridaAnalisis::escribeTanda(const QList<qsizetype>& tanda)
{
    bool enLote = true;
    QStringList valores;
    for (qsizetype i : tanda) {
        enLote = enLote && !m_filasSueltas.contains(i);
        valores << m_filas.fila(i).valores(m_clave);
    }
    if (enLote) {
        qint64 escritas = 0;
        m_db.EjecutaConsultaSQL(m_filas.fila(tanda.first()).insercion(valores), &escritas);
        // A server that reports no counts (SET NOCOUNT ON, some triggers) answers -1: a statement
        // that raised no error wrote its rows.
        const bool sinError = m_db.gCnn().Errors().Count() == 0;
        if (sinError && (escritas < 0 || escritas >= tanda.size()))
            return true;
        // Some rows went in and some did not (a trigger left them out): which is not known, so
        // they are not written again on top of these. The attempt is rolled back and the next one
        // writes these rows one by one.
        if (sinError && escritas > 0) {
            for (qsizetype i : tanda)
                m_filasSueltas.insert(i);
            return false;
        }
    }
    for (qsizetype i : tanda) {
        const FilaAnalisis& fila = m_filas.fila(i);
        m_progreso.muestra(fila.articulo);
        bool existe = false;
        for (qsizetype k = 0; k < qsizetype(fila.grupos.size()); ++k) {
            if (m_omitidas.contains({ i, k }))
                continue;
            const GrupoFila& g = fila.grupos[size_t(k)];
            const QString sentencia = existe
                ? AnalisisCostos::sentenciaActualizacion(
                    g.n, fila.articulo, g.lista, g.utilidad, g.precio, g.desde, g.hasta, m_clave)
                : AnalisisCostos::sentenciaInsercion(
                    g.n, fila.articulo, g.lista, g.utilidad, g.precio, g.desde, g.hasta, m_clave);
            try {
                ejecuta(m_db, sentencia, fila.articulo);
            } catch (const RuntimeError& error) {
                m_rechazo = error;
                m_rechazada = { i, k };
                return false;
            }
            existe = true;
        }
    }
    return true;
}

} // namespace

bool AnalisisCostos::ArmarAnalisisCostos(
    const CriteriosAnalisis& criterios, const QStringList& listas, const QString& clave)
{
    CorridaAnalisis corrida(clave);
    if (!corrida.tasaGeneral())
        return false;
    const QString filtro = filtroArticulos(criterios);
    return corrida.vaciaTabla() && corrida.leeListas(listas, filtro) && corrida.clavesCaben()
        && corrida.escribeFilas();
}
