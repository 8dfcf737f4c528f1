#include "vouchers/GeneradorAuxiliar.h"

#include <utility>

#include <QRegularExpression>
#include <QScopeGuard>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/CampoLeido.h"
#include "platform/Clock.h"
#include "platform/ErrorLog.h"
#include "platform/LeadingNumber.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"
#include "services/Configuracion.h"
#include "services/ConstructorSentencias.h"
#include "services/Formatos.h"
#include "services/Globales.h"
#include "services/ManejoErrores.h"
#include "services/VariablesInicio.h"
#include "texttools/NumerosEnLetras.h"

using ConsultasDatos::literal;

namespace {

const QString kRutina = QStringLiteral("GeneraAuxiliarComprobantes");

bool activa(const QString& valor)
{
    return valor.compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
}

// A whole number written back as the selection compares complements: "0", "12", "-1". A
// complement no whole number holds stops its voucher.
QString numero(const QString& texto)
{
    return QString::number(leadingWholeNumber(texto));
}

} // namespace

ResultadoAuxiliar GeneraAuxiliarComprobantes(QString& TC, const QString& SucDesde,
    const QString& NroDesde, const QString& LetraDesde, const QString& ComplementoDesde,
    qint16 LineasTitulo, const QString& SucHasta, const QString& NroHasta,
    const QString& LetraHasta, const QString& ComplementoHasta, const QString& ListaIds,
    const QString& ListaComprobantes, const QString& IdTarea, std::optional<bool> NoBorrar)
{
    GeneradorAuxiliar generador({ TC, SucDesde, NroDesde, LetraDesde, ComplementoDesde,
        LineasTitulo, SucHasta, NroHasta, LetraHasta, ComplementoHasta, ListaIds, ListaComprobantes,
        IdTarea, NoBorrar.value_or(false) });
    ResultadoAuxiliar resultado = generador.genera();
    if (!resultado.rechazada())
        TC = generador.tc();
    return resultado;
}

GeneradorAuxiliar::GeneradorAuxiliar(const Parametros& parametros)
    : m_p(parametros)
    , m_esperas(gDB().gCnn())
{
}

ResultadoAuxiliar GeneradorAuxiliar::genera()
{
    m_resultado = ResultadoAuxiliar();
    m_resultado.error = validaSeleccion();
    if (m_resultado.rechazada())
        return m_resultado;

    m_usuario = ClaveEstacion();
    m_tc = m_p.TC;
    m_detenida = false;
    m_esperas.reinicia();
    paso(QStringLiteral("NoMostrarImportesEnOT"), [&] {
        m_noMostrarImportesEnOT
            = activa(Configuracion::Cfg(QStringLiteral("NoMostrarImportesEnOT")));
    });
    paso(QStringLiteral("PosicionLogo"), [&] { decideLogo(); });
    m_tc = gUtilidades().FormateaCodigo(m_tc, 4);

    QString condicion;
    paso(QStringLiteral("SeleccionComprobantes"), [&] { condicion = condicionSeleccion(); });
    paso(QStringLiteral("AbrirComprobantes"), [&] {
        // Read whole before the first write: a cursor left reading the vouchers would hold the
        // database's read lock (or an old snapshot of it) across every voucher's transaction, and
        // another workstation's fill could then not write, nor this one after the other's.
        gDB().AbrirRecordset(QStringLiteral("SELECT * FROM V_MV_CPTE ") + condicion, m_comprobantes,
            nullptr, adOpenStatic, adLockReadOnly);
        if (m_comprobantes.State() != adStateOpen)
            throw m_comprobantes.LastError();
    });
    // The earlier rows go in the first voucher's transaction (a print of one voucher commits
    // once), or on their own when no voucher is written.
    m_borrarPendiente = !m_p.NoBorrar;
    while (!detenida() && m_comprobantes.State() == adStateOpen && !m_comprobantes.Eof()) {
        ++m_resultado.comprobantes;
        recorreComprobante();
        if (!paso(QStringLiteral("SiguienteComprobante"), [&] { m_comprobantes.MoveNext(); }))
            break;
    }
    if (m_borrarPendiente)
        BorraAuxiliarUsuario();
    gDB().CierraRecordset(m_comprobantes);
    gGlobales().gCamposValores.reset();
    return m_resultado;
}

QString GeneradorAuxiliar::validaSeleccion() const
{
    // The lists go into the selection as they are, so only what they are meant to hold is
    // accepted: anything else would be run as part of the statement.
    static const QRegularExpression ids(QStringLiteral("^\\s*\\d+(\\s*,\\s*\\d+)*\\s*$"));
    static const QRegularExpression comprobantes(
        QStringLiteral("^\\s*'[^']*'(\\s*,\\s*'[^']*')*\\s*$"));
    if (!m_p.ListaComprobantes.isEmpty() && !comprobantes.match(m_p.ListaComprobantes).hasMatch())
        return QStringLiteral("La lista de comprobantes no es válida: %1")
            .arg(m_p.ListaComprobantes);
    if (!m_p.ListaIds.trimmed().isEmpty() && !ids.match(m_p.ListaIds).hasMatch())
        return QStringLiteral("La lista de identificadores no es válida: %1").arg(m_p.ListaIds);
    return QString();
}

void GeneradorAuxiliar::decideLogo()
{
    const auto posicion = [](const QString& clave) {
        if (!activa(Configuracion::Cfg(clave).trimmed()))
            return QStringLiteral("NO");
        return activa(Configuracion::Cfg(QStringLiteral("FORMULARIOS_LOGO_IZQUIERDA")).trimmed())
            ? QStringLiteral("IZ")
            : QStringLiteral("CE");
    };
    const QString tipo = m_tc.trimmed();
    if (esUnoDe(tipo, { "FC", "NC", "ND", "FCE" }))
        m_posicionLogo = posicion(QStringLiteral("PrintLogo_FC_NC_ND"));
    else if (esUnoDe(tipo, { "FP", "NCFP" }))
        m_posicionLogo = posicion(QStringLiteral("PrintLogo_Proforma"));
    else if (esUnoDe(tipo, { "todo" })) {
        // The type of the listed vouchers decides; the rule of other types is not used here.
        if (m_p.ListaIds.trimmed().isEmpty())
            return;
        AdoRecordset rs;
        gDB().AbrirRecordset(
            QStringLiteral("select * from v_mv_cpte WHERE ID IN(") + m_p.ListaIds + u')', rs);
        if (!rs.Eof()) {
            const QString primero
                = gUtilidades().ValorCampo(rs.Fields(QStringLiteral("TC")).Value()).trimmed();
            if (esUnoDe(primero, { "FC", "NC", "ND", "FCE" }))
                m_posicionLogo = posicion(QStringLiteral("PrintLogo_FC_NC_ND"));
            else if (esUnoDe(primero, { "FP", "NCFP" }))
                m_posicionLogo = posicion(QStringLiteral("PrintLogo_Proforma"));
        }
        gDB().CierraRecordset(rs);
    } else
        m_posicionLogo = posicion(QStringLiteral("PrintLogo_Otros"));
}

QString GeneradorAuxiliar::condicionSeleccion()
{
    const Utilidades& util = gUtilidades();
    if (!m_p.ListaComprobantes.isEmpty())
        return QStringLiteral(" WHERE TC = ") + literal(m_tc)
            + QStringLiteral(" AND IdComprobante IN ( ") + m_p.ListaComprobantes + u')';
    const QString ids = m_p.ListaIds.trimmed();
    if (!ids.isEmpty() && m_tc.compare(QLatin1String("todo"), Qt::CaseInsensitive) == 0) {
        // Several ids: the first one names the type of the run.
        const QString primero = ids.section(u',', 0, 0).trimmed();
        m_tc = util.FormateaCodigo(
            util.ValorCampo(gDB().DatosTabla(QStringLiteral("v_mv_cpte"), primero,
                QStringLiteral("tc"), QStringLiteral("id"), Value(qint32(3)))),
            4);
        return QStringLiteral(" WHERE ID IN(") + ids + u')';
    }
    if (!ids.isEmpty())
        return QStringLiteral(" WHERE TC = ") + literal(m_tc) + QStringLiteral(" AND ID IN(") + ids
            + u')';

    const QString primero = (m_p.SucDesde + m_p.NroDesde + m_p.LetraDesde).trimmed();
    const QString ultimo = (m_p.SucHasta + m_p.NroHasta + m_p.LetraHasta).trimmed();
    QString hasta;
    if (primero.isEmpty() && ultimo.isEmpty())
        hasta.clear();
    else if (ultimo.isEmpty())
        hasta = QStringLiteral(" AND (IDCOMPROBANTE <= ") + literal(primero)
            + QStringLiteral(" AND IDCOMPLEMENTO <= ") + numero(m_p.ComplementoDesde)
            + QStringLiteral(") ");
    else
        hasta = QStringLiteral(" AND IDCOMPROBANTE <= ") + literal(ultimo)
            + QStringLiteral(" AND IDCOMPLEMENTO <= ") + numero(m_p.ComplementoHasta);
    // The lowest complement is written as its number too: the text as given would be pasted into
    // the statement.
    return QStringLiteral(" WHERE TC = ") + literal(m_tc)
        + QStringLiteral(" AND (IDCOMPROBANTE >= ") + literal(primero)
        + QStringLiteral(" AND IDCOMPLEMENTO >= ") + numero(m_p.ComplementoDesde)
        + QStringLiteral(") ") + hasta;
}

void GeneradorAuxiliar::BorraAuxiliarUsuario()
{
    ejecuta(QStringLiteral("DELETE Aux_MV_Cpte where USUARIO = ") + literal(m_usuario)
            + QStringLiteral(" "),
        QStringLiteral("BorraAuxiliarUsuario"));
}

void GeneradorAuxiliar::preparaComprobante()
{
    const Utilidades& util = gUtilidades();
    const auto campo = [&](const char* nombre) { return util.ValorCampo(comprobante(nombre)); };
    const QString id = campo("IdComprobante").trimmed();
    m_suc = id.mid(0, 4);
    m_nro = id.mid(4, 8);
    m_letra = id.mid(12, 1);
    // Read as the number it is: it goes into the buffer's statements as it is written.
    m_complemento = campo("IdComplemento");
    m_condicion = QStringLiteral(" WHERE TC = ") + literal(util.FormateaCodigo(m_tc, 4))
        + QStringLiteral(" AND IDCOMPROBANTE = ") + literal(idComprobante().trimmed())
        + QStringLiteral(" AND IDCOMPLEMENTO = ") + numero(m_complemento);

    m_cae.clear();
    m_moneda.clear();
    m_importe = Currency();
    m_importeEnLetras.clear();
    paso(QStringLiteral("CAE"), [&] {
        // Every type is looked up, the electronic credit invoice too: the QR must carry the code
        // its page prints, or the authority's check fails. A voucher without an authorisation
        // row keeps an empty code.
        m_cae = util.ValorCampo(gDB().DatosTabla(QStringLiteral("V_MV_CPTE_ELECTRONICOS"), id,
            QStringLiteral("CAE"), QStringLiteral("IDCOMPROBANTE"), Value(qint32(8)),
            QStringLiteral(" TC=") + literal(m_tc) + QStringLiteral(" AND IDCOMPROBANTE=")
                + literal(id)));
        // The form prints the code's expiry beside it: a date that is no date is named here.
        AdoRecordset rs;
        gDB().AbrirRecordset(QStringLiteral("SELECT VtoCAE FROM V_MV_CPTE_ELECTRONICOS WHERE TC=")
                + literal(m_tc) + QStringLiteral(" AND IDCOMPROBANTE=") + literal(id),
            rs);
        const auto cierra = qScopeGuard([&] { gDB().CierraRecordset(rs); });
        if (rs.State() != adStateOpen)
            throw rs.LastError();
        if (!rs.Eof())
            CampoLeido::valor(
                rs, QStringLiteral("V_MV_CPTE_ELECTRONICOS"), QStringLiteral("VtoCAE"));
    });
    // The currency is a code: the amount in words and the QR read it as a number.
    const QString campoMoneda = QStringLiteral("V_MV_CPTE.Moneda");
    paso(QStringLiteral("Moneda"), [&] {
        CampoLeido::numeroDeTexto(comprobante("Moneda"), campoMoneda);
        m_moneda = campo("Moneda");
        if (m_moneda.trimmed().isEmpty())
            m_moneda = QStringLiteral("1");
    });
    paso(QStringLiteral("ImporteEnLetras"), [&] {
        // Rounded to the cent once, half away from zero, before anything is said of it: the
        // words' cents and the QR's amount are those of the printed TOTAL, never cut.
        m_importe = CampoLeido::importe(comprobante("Importe"), QStringLiteral("V_MV_CPTE.IMPORTE"))
                        .rounded(2);
        const QString moneda = campo("Moneda");
        QString palabra = QStringLiteral("Pesos");
        if (CampoLeido::numeroDeTexto(comprobante("Moneda"), campoMoneda)
            > Currency::fromInteger(1))
            palabra = util.ValorCampo(gDB().DatosTabla(QStringLiteral("ta_monedas"),
                util.FormateaCodigo(moneda, 4), QStringLiteral("Descripcion")));
        m_importeEnLetras
            = NumerosEnLetras::NumeroEnLetras(m_importe, 0, palabra, QStringLiteral("Centavos"));
    });
}

Value GeneradorAuxiliar::comprobante(const char* nombre)
{
    return CampoLeido::valor(m_comprobantes, QStringLiteral("V_MV_CPTE"), QLatin1String(nombre));
}

void GeneradorAuxiliar::recorreComprobante()
{
    if (!paso(QStringLiteral("Comprobante"), [&] { preparaComprobante(); }) || detenida())
        return;
    // One transaction per voucher: its rows arrive together and the run stays fast on a local
    // file. A failing statement is still skipped on its own. Its commit need not wait for the
    // disk: the buffer is filled again before every print, and a power cut that took its last
    // rows would cost nothing.
    AdoConnection& cnn = gDB().gCnn();
    const bool transaccion = cnn.BeginTrans(true);
    if (detenida())
        return;
    if (m_borrarPendiente) {
        BorraAuxiliarUsuario();
        m_borrarPendiente = false;
    }

    AgregaObservacionesEncabezado();
    AgregaQRFactura();
    AgregaTareas();
    AgregaInsumos();
    if (esUnoDe(m_tc.trimmed(), { "RM" })) {
        bool retail = false;
        paso(QStringLiteral("RETAIL"),
            [&] { retail = activa(Configuracion::Cfg(QStringLiteral("RETAIL"))); });
        if (retail)
            AgregaInsumosOrigenNP();
    }
    AgregaOtrosConceptos();
    AgregaObservacionesPie();
    ActualizaImporteEnLetras();
    ActualizaEncabezado();
    ActualizaFormaDePagoUN();

    // A voucher cut short by the lock leaves none of its rows, nor notices about them.
    if (detenida()) {
        if (transaccion)
            cnn.RollbackTrans();
        m_avisos.clear();
        return;
    }
    if (transaccion && !cnn.CommitTrans() && !detenida())
        omitida(QStringLiteral("Comprobante ") + idComprobante(), cnn.LastError());
    const QStringList avisos = std::exchange(m_avisos, {});
    for (const QString& aviso : avisos)
        MsgBox(aviso, Msg::OkOnly);
}

bool GeneradorAuxiliar::detenida()
{
    if (m_detenida)
        return true;
    if (!m_esperas.hubo())
        return false;
    m_detenida = true;
    m_resultado.error = m_esperas.mensaje();
    ErrorLog::append(
        archivoErroresPrograma(), ErrorLog::line(Now(), kRutina, m_resultado.error, 0));
    return true;
}

bool GeneradorAuxiliar::ejecuta(const QString& sql, const QString& nombrePaso)
{
    if (detenida())
        return false;
    DB_Dll& db = gDB();
    db.EjecutaConsultaSQL(sql);
    const AdoErrors& errores = db.gCnn().Errors();
    if (errores.Count() == 0)
        return true;
    if (detenida())
        return false;
    const AdoError& primero = errores.Item(0);
    omitida(nombrePaso, RuntimeError(primero.Number(), primero.Description(), primero.Source()));
    return false;
}

bool GeneradorAuxiliar::paso(const QString& nombre, const std::function<void()>& cuerpo)
{
    if (detenida())
        return false;
    try {
        cuerpo();
        return !detenida();
    } catch (const RuntimeError& error) {
        if (!detenida())
            omitida(nombre, error);
        return false;
    }
}

void GeneradorAuxiliar::omitida(const QString& nombrePaso, const RuntimeError& error)
{
    m_resultado.omitidas.append(nombrePaso + QStringLiteral(": ") + error.description().trimmed());
    ErrorLog::append(archivoErroresPrograma(),
        ErrorLog::line(
            Now(), kRutina + QStringLiteral(" - ") + nombrePaso, ErrorLog::messageText(error), 0));
}

GeneradorAuxiliar::ListaValores GeneradorAuxiliar::nuevaLista(const QString& tipo) const
{
    return QList<ConstructorSentencias::CampoValor> {
        { QStringLiteral("Usuario"), literal(m_usuario) },
        { QStringLiteral("TC"), literal(m_tc) },
        { QStringLiteral("IdComprobante"), literal(idComprobante()) },
        { QStringLiteral("IdComplemento"), m_complemento },
        { QStringLiteral("Tipo"), literal(tipo) },
    };
}

void GeneradorAuxiliar::agregaValor(
    ListaValores& lista, const char* columna, const std::function<QString()>& calcula)
{
    paso(QStringLiteral("Columna ") + QLatin1String(columna), [&] {
        lista->append({ QLatin1String(columna), calcula() });
    });
}

bool GeneradorAuxiliar::inserta(ListaValores& lista, const QString& nombrePaso)
{
    QString sentencia = QStringLiteral("INSERT INTO AUX_MV_CPTE ");
    ConstructorSentencias::ArmaListaValores(sentencia, lista, true);
    return ejecuta(sentencia, nombrePaso);
}

bool GeneradorAuxiliar::esUnoDe(const QString& tipo, std::initializer_list<const char*> tipos)
{
    for (const char* t : tipos)
        if (tipo.compare(QLatin1String(t), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString GeneradorAuxiliar::condicionPropias() const
{
    return QStringLiteral(" WHERE USUARIO = ") + literal(m_usuario) + QStringLiteral(" AND TC = ")
        + literal(gUtilidades().FormateaCodigo(m_tc, 4)) + QStringLiteral(" AND IDCOMPROBANTE = ")
        + literal(idComprobante()) + QStringLiteral(" AND IDCOMPLEMENTO = ")
        + numero(m_complemento);
}

QString GeneradorAuxiliar::claveFija() const
{
    return literal(m_usuario) + u',' + literal(m_tc) + u',' + literal(idComprobante()) + u','
        + literal(m_complemento);
}

QString GeneradorAuxiliar::textoNumero(const Value& valor)
{
    const QChar separador = SeparadorDecimal().at(0);
    switch (valor.type()) {
    case ValueType::Currency:
        return valor.toCurrency().toString(separador);
    case ValueType::Double:
    case ValueType::Single:
        return numberText(valor.toDouble()).replace(u'.', separador);
    default:
        return gUtilidades().ValorCampo(valor);
    }
}

QStringList GeneradorAuxiliar::enPiezas(const QString& texto, qsizetype ancho)
{
    QStringList piezas;
    for (const QString& renglon : texto.split(u'\n')) {
        QString pieza;
        for (QString palabra : renglon.simplified().split(u' ', Qt::SkipEmptyParts)) {
            if (!pieza.isEmpty() && pieza.size() + 1 + palabra.size() > ancho) {
                piezas << pieza;
                pieza.clear();
            }
            while (palabra.size() > ancho) {
                piezas << palabra.left(ancho);
                palabra.remove(0, ancho);
            }
            pieza += (pieza.isEmpty() ? QString() : QStringLiteral(" ")) + palabra;
        }
        if (!pieza.isEmpty())
            piezas << pieza;
    }
    return piezas;
}
