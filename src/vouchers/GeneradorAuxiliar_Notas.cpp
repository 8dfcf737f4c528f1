// The voucher's texts: the header and footer note rows and the values copied into every row of
// the voucher once its lines are written (amount in words, header note, payment terms).

#include "vouchers/GeneradorAuxiliar.h"

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/Utilidades.h"
#include "services/Configuracion.h"

using ConsultasDatos::literal;

namespace {

// The first note of a kind, or nothing.
std::optional<QString> primeraNota(const QString& condicion, const QString& filtro)
{
    AdoRecordset rs;
    gDB().AbrirRecordset(
        QStringLiteral("SELECT * FROM V_MV_CPTE_Observ ") + condicion + filtro, rs);
    std::optional<QString> nota;
    if (!rs.Eof())
        nota = gUtilidades().ValorCampo(rs.Fields(QStringLiteral("Observacion")).Value());
    gDB().CierraRecordset(rs);
    return nota;
}

const QString kFiltroEncabezado = QStringLiteral(" AND Tipo_Obs = 'EN' ");
const QString kFiltroPie = QStringLiteral(" AND (Tipo_Obs = 'PP')");

} // namespace

void GeneradorAuxiliar::AgregaObservacionesEncabezado()
{
    agregaObservacion(kFiltroEncabezado, QStringLiteral("Encabezado"), true);
}

void GeneradorAuxiliar::AgregaObservacionesPie()
{
    agregaObservacion(kFiltroPie, QStringLiteral("PieDePagina"), false);
}

void GeneradorAuxiliar::agregaObservacion(
    const QString& filtro, const QString& columna, bool puntoSinNota)
{
    if (!m_p.IdTarea.isEmpty())
        return;
    const QString nombre = QStringLiteral("Observaciones ") + columna;
    paso(nombre, [&] {
        const std::optional<QString> nota = primeraNota(m_condicion, filtro);
        if (!nota && !puntoSinNota)
            return;
        // A note with an apostrophe goes in doubled like any other: one statement, the whole text.
        ejecuta(
            QStringLiteral("INSERT INTO Aux_MV_Cpte (Usuario,TC,IdComprobante,IdComplemento,Tipo,")
                + columna + QStringLiteral(") VALUES (") + claveFija() + QStringLiteral(",'',")
                + literal(nota.value_or(QStringLiteral("."))) + u')',
            nombre);
    });
}

void GeneradorAuxiliar::ActualizaImporteEnLetras()
{
    // The report prints the words right after a caption; the blank in front is part of the text.
    ejecuta(QStringLiteral("UPDATE AUX_MV_CPTE SET IMPORTEENLETRAS = ")
            + literal(u' ' + m_importeEnLetras) + condicionPropias(),
        QStringLiteral("ActualizaImporteEnLetras"));
}

void GeneradorAuxiliar::ActualizaEncabezado()
{
    if (!m_p.IdTarea.isEmpty())
        return;
    paso(QStringLiteral("ActualizaEncabezado"), [&] {
        const std::optional<QString> nota = primeraNota(m_condicion, kFiltroEncabezado);
        ejecuta(QStringLiteral("UPDATE Aux_MV_Cpte SET Encabezado=")
                + literal(nota.value_or(QStringLiteral("."))) + condicionPropias(),
            QStringLiteral("ActualizaEncabezado"));
    });
}

void GeneradorAuxiliar::ActualizaFormaDePagoUN()
{
    paso(QStringLiteral("ActualizaFormaDePagoUN"), [&] {
        const Utilidades& util = gUtilidades();
        const QString unidad
            = util.ValorCampo(m_comprobantes.Fields(QStringLiteral("UNegocio")).Value());
        if (unidad.isEmpty())
            return;
        const QString forma
            = Configuracion::CfgAux(QStringLiteral("FormaDePago_UN_") + unidad.trimmed()).trimmed();
        if (forma.isEmpty())
            return;
        ejecuta(QStringLiteral("UPDATE Aux_MV_Cpte SET FormaDePago=")
                + gDB().SQLValue(util.RellenaDerecha(forma, 250)) + condicionPropias(),
            QStringLiteral("ActualizaFormaDePagoUN"));
    });
}
