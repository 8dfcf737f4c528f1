// The task block of a voucher: its title and one "TA" row per task line, with a second row for a
// rich-text additional description; for one task without lines, its work diary.

#include "vouchers/GeneradorAuxiliar.h"

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/CampoLeido.h"
#include "platform/Utilidades.h"
#include "reportengine/FormulaText.h"
#include "services/Formatos.h"
#include "texttools/ModGlobal.h"

using ConsultasDatos::literal;

namespace {

const QString kSeisBlancos = QStringLiteral("      ");

} // namespace

void GeneradorAuxiliar::AgregaTareas()
{
    const bool unaTarea = !m_p.IdTarea.isEmpty();
    const QString filtroTarea
        = unaTarea ? QStringLiteral(" and idtarea = ") + literal(m_p.IdTarea) : QString();
    const QString titulo = esUnoDe(m_tc.trimmed(), { "PR", "OT" })
        ? QStringLiteral("Detalles de Tareas a Realizar")
        : QStringLiteral("Detalles de Tareas Realizadas");
    AdoRecordset tareas;
    if (!paso(QStringLiteral("AgregaTareas"), [&] {
            gDB().AbrirRecordset(QStringLiteral("SELECT * FROM V_MV_CPTETAREAS  ") + m_condicion
                    + filtroTarea + QStringLiteral(" ORDER BY ID "),
                tareas);
        }))
        return;
    if (tareas.Eof()) {
        gDB().CierraRecordset(tareas);
        if (!unaTarea)
            return;
        // A task printed on its own before it reached the voucher: its work diary stands in.
        AdoRecordset diario;
        if (!paso(QStringLiteral("AgregaTareas diario"), [&] {
                gDB().AbrirRecordset(QStringLiteral("SELECT * FROM V_MV_DIARIOS ") + m_condicion
                        + filtroTarea + QStringLiteral(" ORDER BY ID "),
                    diario);
            }))
            return;
        AgregaTituloSeccion(titulo);
        for (; !diario.Eof(); diario.MoveNext())
            paso(QStringLiteral("AgregaTareas diario"), [&] { agregaDiario(diario); });
        gDB().CierraRecordset(diario);
        return;
    }
    AgregaTituloSeccion(titulo);
    for (; !tareas.Eof(); tareas.MoveNext())
        paso(QStringLiteral("AgregaTareas"), [&] { agregaTarea(tareas); });
    gDB().CierraRecordset(tareas);
}

QString GeneradorAuxiliar::horasTarea(const Value& minutos) const
{
    if (esUnoDe(m_tc.trimmed(), { "OT" }) && m_noMostrarImportesEnOT)
        return kSeisBlancos;
    // A line without hours prints none, as a line without quantity does.
    if (minutos.isNull())
        return QString();
    qint32 horas = 0;
    qint32 resto = 0;
    return FmtHoraDecimal(minutos, horas, resto);
}

void GeneradorAuxiliar::agregaTarea(AdoRecordset& tarea)
{
    const Utilidades& util = gUtilidades();
    const auto valor = [&](const char* nombre) {
        return CampoLeido::valor(tarea, QStringLiteral("V_MV_CPTETAREAS"), QLatin1String(nombre));
    };
    const auto importe = [&](const char* nombre) {
        return literal(FmtMoneda(textoNumero(valor(nombre)), DecimalesMoneda::Configurados, false));
    };
    const QString idTarea = util.ValorCampo(valor("IDTAREA")).trimmed();

    ListaValores lista = nuevaLista(QStringLiteral("TA"));
    agregaValor(lista, "Columna1", [&] { return literal(idTarea); });
    agregaValor(lista, "Columna2",
        [&] { return literal(util.ValorCampo(valor("Descripcion")).trimmed()); });
    agregaValor(lista, "Columna3", [&] { return QStringLiteral("' '"); });
    agregaValor(lista, "Columna4", [&] { return literal(horasTarea(valor("Horas"))); });
    agregaValor(lista, "Columna5", [&] { return importe("ValorHora"); });
    agregaValor(lista, "Columna6", [&] { return importe("Total"); });
    agregaValor(lista, "Columna7", [&] { return importe("valorHora_S_Iva"); });
    if (!inserta(lista, QStringLiteral("AgregaTareas")))
        return;

    // A rich-text description prints on a row of its own, right after its task.
    const QString adicional = util.ValorCampo(valor("descripcionadicional"));
    const QString recortada = adicional.trimmed();
    if (!recortada.contains(QLatin1String("{\\rtf1\\ansi"), Qt::CaseInsensitive)
        && !recortada.contains(QLatin1String("{\\rtf1\\fbidis"), Qt::CaseInsensitive))
        return;
    QString texto = adicional;
    ModGlobal::ConvierteAcentosRTF(texto);
    // One longer than the column goes in as its plain text, on as many rows as it takes: a
    // rich text cut anywhere would no longer read as one.
    const QStringList piezas = texto.size() > AnchoColumna
        ? enPiezas(FormulaText::plainFromRtf(texto), AnchoColumna)
        : QStringList { texto };
    for (const QString& pieza : piezas) {
        ListaValores fila = nuevaLista(QStringLiteral("TA"));
        agregaValor(fila, "COLUMNA1", [&] { return literal(idTarea); });
        agregaValor(fila, "COLUMNA2", [&] { return literal(pieza); });
        agregaValor(fila, "COLUMNA3", [&] { return QStringLiteral("''"); });
        for (const char* columna : { "COLUMNA4", "COLUMNA5", "COLUMNA6", "COLUMNA7" })
            agregaValor(fila, columna, [&] { return QStringLiteral("'0'"); });
        inserta(fila, QStringLiteral("AgregaTareas descripcion"));
    }
}

void GeneradorAuxiliar::agregaDiario(AdoRecordset& linea)
{
    const Utilidades& util = gUtilidades();
    const auto valor = [&](const char* nombre) {
        return CampoLeido::valor(linea, QStringLiteral("V_MV_DIARIOS"), QLatin1String(nombre));
    };
    const QString notas = util.ValorCampo(valor("Observaciones"));
    const QString descripcion = util.ValorCampo(valor("Descripcion")).trimmed();

    ListaValores lista = nuevaLista(QStringLiteral("TA"));
    agregaValor(
        lista, "Columna1", [&] { return literal(util.ValorCampo(valor("IDTAREA")).trimmed()); });
    // Notes make the line a rich text (left open, as the diary forms read it); the notes go in
    // whole, apostrophes too, in the same statement.
    agregaValor(lista, "Columna2", [&] {
        if (util.LimpiaTexto(notas.trimmed()).isEmpty())
            return literal(descripcion);
        return literal(
            QStringLiteral("{\\rtf1\\ansi ") + descripcion + QStringLiteral("\r\n ") + notas);
    });
    agregaValor(lista, "Columna3", [&] { return QStringLiteral("' '"); });
    agregaValor(lista, "Columna4", [&] { return literal(horasTarea(valor("Minutos"))); });
    for (const char* columna : { "Columna5", "Columna6", "Columna7" })
        agregaValor(lista, columna, [&] { return QStringLiteral("'0'"); });
    inserta(lista, QStringLiteral("AgregaTareas diario"));
}
