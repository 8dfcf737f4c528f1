#pragma once

#include <functional>

#include <QString>
#include <QStringList>

#include "platform/AdoRecordset.h"
#include "platform/EsperasBloqueo.h"
#include "platform/Steps.h"
#include "platform/Value.h"

struct InformeRecibo;

// One run of the receipt print buffer (GeneraAuxiliarRecibo_PagoCobranza): its parameters, the
// two lists it pairs, the buffer row being built and the running totals. Used once.
class ReciboEnCurso
{
public:
    struct Parametros
    {
        QString tc;
        QString sucursal;
        QString numero;
        QString letra;
        QString cuenta;
        int copiasPorPagina = 1;
        int cantidadItems = -1;
    };

    ReciboEnCurso(const Parametros& parametros, InformeRecibo& informe);

    // The whole run; false when the operator left it.
    bool genera(QStringList& formulas);

private:
    // Thrown by paso() when the operator leaves the run.
    struct Abandono
    {
    };

    // Runs one statement through the run's error handling; throws Abandono on Abort and once a
    // statement has waited out the time-out of a locked database. A field that is not what its
    // column holds (CampoLeido) stops the run as datoInvalido() does.
    void paso(const std::function<void()>& sentencia);
    // Stops the run on a value read that is not what its column holds: the receipt is named with
    // the error (InformeRecibo::importeInvalido) and nothing of it is kept.
    [[noreturn]] void datoInvalido(const RuntimeError& error);
    // Whether a statement of this run waited out the time-out: the run stops there rather than
    // wait again at every statement after it (the lock's message goes to the report).
    bool detenida();
    int respuestaError(const RuntimeError& error);
    void anotaOmitido(const RuntimeError& error);

    void preparacion();
    void abreLista(const QString& sql, AdoRecordset& rs, qint64& cantidad);
    void cuerpo();
    // Adds a buffer row with this receipt's keys and leaves it pending.
    void nuevaFila();
    // Stores the pending row.
    void guardaFila();
    void ladoAplicacion();
    void otrosComprobantes();
    void filasEnBlanco();
    void copias();
    void retencionesCabecera();
    void formulas(QStringList& lista);

    // ReciboEnCursoMedios.cpp: the journal line of the current row.
    void agregaMedioDePago();
    bool retencionODescuento(const QString& cuentaLinea, Currency importe);
    bool pruebaMedio(const std::function<bool()>& prueba);
    void lineaConMoneda();
    void lineaCheque();
    void lineaTarjeta();
    void importeSinMoneda();
    bool negado(const QString& debeHaber) const;

    // Helpers shared by both files.
    bool hayFila(AdoRecordset& rs) const;
    Value campo(AdoRecordset& rs, const QString& nombre) const;
    QString texto(AdoRecordset& rs, const QString& nombre) const;
    void pon(const QString& columna, const Value& valor);
    // Runs a statement straight on the connection; with `filas` opens it on the returned rows and
    // says whether there is a first row.
    bool directo(const QString& sql, AdoRecordset* filas = nullptr);
    // The amount `nombre` of the current row of `rs` (of table `tabla`, for the voucher `de`, when
    // given) as money; Null reads as 0. A value money cannot hold, or a text that is no number
    // (any text unless `textoLeible`), stops the run (datoInvalido): printed, it would read 0,00
    // or a wrong figure.
    Currency importeLeido(AdoRecordset& rs, const QString& tabla, const QString& nombre,
        const QString& de, bool textoLeible = true);
    // Field `nombre` of the current journal line, checked against its column (CampoLeido), and
    // its amount.
    Value asientoLeido(const char* nombre);
    Currency importeAsiento();
    // Every applied amount of the receipt read one by one, before any row is written: their sum
    // alone would take a text as 0 or as its leading digits on an engine that sums texts.
    void compruebaAplicados();
    QString restriccionCuenta() const;
    QString idComprobante() const;

    Parametros m_p;
    InformeRecibo& m_informe;
    Steps m_pasos;
    EsperasBloqueo m_esperas;
    QString m_tc4;
    QString m_clave;

    bool m_incluirCuitLibrador = false;
    bool m_esCobranza = false;
    QString m_ctaRetIVA;
    QString m_ctaRetIIBB;
    QString m_ctaRetGanancias;
    QString m_ctaDescuento;

    AdoRecordset m_rsAux;
    AdoRecordset m_rsAplicaciones;
    AdoRecordset m_rsAsientos;
    qint64 m_cantAplicaciones = 0;
    qint64 m_cantAsientos = 0;
    bool m_aplicacionesLideran = true;

    Currency m_totalComprobantes;
    Currency m_totalAplicado;
    Currency m_totalSaldo;
    Currency m_totalMediosPago;
    Currency m_retIVA;
    Currency m_retOtras;
    Currency m_retIBrutos;
    Currency m_retGanancias;
    Currency m_retSUSS;
    Currency m_descuentosOtorgados;

    QString m_concepto;
    QString m_cuentaAsiento;
    bool m_esCuentaTitular = false;
    QString m_descripcionMedio;
};
