// rp_voucher recibo: fills the receipt print buffer for this workstation (or the one named) as
// the document sender does, shows the rows and the formulas, and prints the receipt to PDF.

#include <QElapsedTimer>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"
#include "receipts/AuxiliarRecibo.h"
#include "services/Configuracion.h"
#include "services/VariablesInicio.h"
#include "tools/ImpresionEnConsola.h"
#include "tools/SesionVoucher.h"
#include "tools/SubcomandosVoucher.h"
#include "vouchers/ImprimirComprobante.h"

const char* const kUsoRecibo
    = "recibo --db ARCHIVO.db --tc TC --id ID [--cuenta CUENTA] [--copias-por-pagina N] "
      "[--items N] [--equipo EQUIPO --usuario USUARIO] [--filas] [--formulas] [--pdf CARPETA] "
      "[--tiempo]";

using ConsultasDatos::literal;

namespace {

const QStringList kTiposRecibo { "CB", "CBFP", "CBCT", "PG", "PGFP", "OPG" };

// A whole number from an option or a setting; nullopt when it is none.
std::optional<int> entero(const QString& texto)
{
    bool ok = false;
    const int valor = texto.trimmed().toInt(&ok);
    return ok ? std::optional<int>(valor) : std::nullopt;
}

int imprimeRecibo(
    const OpcionesVoucher& o, int copias, int items, QTextStream& salida, QTextStream& errores);

} // namespace

int subcomandoRecibo(const QStringList& argumentos, QTextStream& salida, QTextStream& errores)
{
    const OpcionesVoucher o = leeOpciones(argumentos,
        { "--db", "--tc", "--id", "--cuenta", "--copias-por-pagina", "--items", "--pdf", "--equipo",
            "--usuario" },
        { "--filas", "--formulas", "--tiempo" });
    const QString tc = o.valor("--tc");
    const QString id = o.valor("--id");
    if (!o.error.isEmpty() || !o.tiene("--db") || !o.tiene("--tc") || !o.tiene("--id"))
        return usoSubcomando(errores, o.error, kUsoRecibo);
    if (!kTiposRecibo.contains(tc.trimmed(), Qt::CaseInsensitive)) {
        errores << "El tipo " << tc << " no es un recibo ni una orden de pago\n";
        return 2;
    }
    if (id.size() != 13) {
        errores << "El número de comprobante debe tener 13 caracteres (punto de venta, número y "
                   "letra): "
                << id << "\n";
        return 2;
    }

    int fallaSesion = 2;
    const auto sesion = abreSesion(o, errores, fallaSesion);
    if (!sesion)
        return fallaSesion;

    // As the document sender does: the two settings unless given.
    const auto ajuste = [&](const char* opcion, const char* clave) {
        return entero(o.tiene(opcion) ? o.valor(opcion) : Configuracion::Cfg(QLatin1String(clave)));
    };
    const std::optional<int> copias = ajuste("--copias-por-pagina", "CobranzasCopiasPorPagina");
    const std::optional<int> items = ajuste("--items", "CobranzasItems");
    if (!copias || !items) {
        errores << "Las copias por página y los renglones deben ser números enteros\n";
        return 2;
    }
    // A count given on the line is never below zero; a setting is taken as the document sender
    // takes it.
    for (const char* opcion : { "--copias-por-pagina", "--items" })
        if (o.tiene(opcion) && *entero(o.valor(opcion)) < 0) {
            errores << "El valor de " << opcion << " no puede ser negativo: " << o.valor(opcion)
                    << "\n";
            return 2;
        }

    // Each step traps its own failures; one that escapes them is told naming the receipt.
    try {
        return imprimeRecibo(o, *copias, *items, salida, errores);
    } catch (const RuntimeError& error) {
        avisaNoImpreso(errores, tc.trimmed(), id, error.description());
        return 1;
    }
}

namespace {

int imprimeRecibo(
    const OpcionesVoucher& o, int copias, int items, QTextStream& salida, QTextStream& errores)
{
    const QString tc = o.valor("--tc");
    const QString id = o.valor("--id");
    QStringList formulas;
    InformeRecibo informe;
    QElapsedTimer reloj;
    reloj.start();
    const bool completo = GeneraAuxiliarRecibo_PagoCobranza(tc, id.left(4), id.mid(4, 8),
        id.mid(12), o.valor("--cuenta"), formulas, copias, items, &informe);
    const qint64 ms = reloj.elapsed();

    if (!informe.bloqueo.isEmpty()) {
        errores << informe.bloqueo << "\n";
        return 1;
    }
    // An amount it could not print right: nothing is printed, as for a sales voucher.
    if (!informe.importeInvalido.isEmpty()) {
        errores << informe.importeInvalido << "\n";
        return 1;
    }
    // A receipt whose rows were not all written would print wrong: it is named with what failed
    // and left without a file, as a voucher is.
    if (!informe.erroresOmitidos.isEmpty()) {
        for (const QString& omitido : informe.erroresOmitidos)
            avisaNoImpreso(errores, tc.trimmed(), id, omitido);
        return 1;
    }
    if (informe.sinMovimientos) {
        errores << "El recibo " << tc << " " << id << " no tiene aplicaciones ni asientos\n";
        return 2;
    }
    // This workstation's rows in the order they were written.
    const int filas = muestraFilas(QStringLiteral("SELECT TIPO, COLUMNA1, COLUMNA2, COLUMNA3, "
                                                  "COLUMNA4, COLUMNA5, COLUMNA6, COLUMNA7, "
                                                  "COLUMNA8, COLUMNA9, COLUMNA10, COLUMNA11, "
                                                  "COLUMNA12, COLUMNA13 FROM AUX_MV_CPTE WHERE "
                                                  "USUARIO = ")
            + literal(ClaveEstacion()) + QStringLiteral(" ORDER BY ID"),
        o.bandera("--filas"), salida);
    if (o.bandera("--formulas")) {
        for (int k = 1; k < formulas.size(); ++k)
            salida << k << "\t" << formulas.at(k) << "\n";
    }
    if (o.bandera("--tiempo"))
        errores << "Tiempo: " << ms << " ms, " << filas << " filas\n";
    bool impresionFallida = false;
    if (o.tiene("--pdf")) {
        // As the document sender goes on: the receipt printed by type with the buffer's formulas,
        // every print captured in the folder.
        ImpresionEnConsola impresion(o.valor("--pdf"));
        if (!impresion.listo()) {
            errores << "No se puede crear la carpeta " << o.valor("--pdf") << "\n";
            return 2;
        }
        QString reporte = tc.trimmed();
        QStringList orden { QString() };
        QString seleccion;
        QString formulario = QStringLiteral("Todos");
        bool esContable = false;
        int destino = -1;
        const int faltantes = ImpresionCpte::FormulariosNoEncontrados();
        ImpresionCpte::ImprimirComprobante(tc.trimmed(), id, QStringLiteral("0"), reporte, orden,
            seleccion, formulas, destino, false, QString(), formulario, esContable, false);
        impresionFallida = impresion.fallas() > 0;
        if (impresionFallida)
            avisaNoImpreso(errores, tc, id, impresion.ultimaFalla());
        else if (ImpresionCpte::FormulariosNoEncontrados() > faltantes) {
            impresionFallida = true;
            avisaNoImpreso(errores, tc, id, QStringLiteral("no se encuentra el formulario"));
        }
    }
    if (!completo) {
        errores << "Abandonado: el recibo quedó a medio escribir\n";
        return 1;
    }
    return impresionFallida ? 1 : 0;
}

} // namespace
