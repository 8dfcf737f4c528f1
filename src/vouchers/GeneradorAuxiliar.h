#pragma once

#include <functional>
#include <initializer_list>

#include <QString>
#include <QStringList>

#include "platform/AdoRecordset.h"
#include "platform/EsperasBloqueo.h"
#include "platform/Value.h"
#include "services/ConstructorSentencias.h"
#include "vouchers/AuxiliarComprobantes.h"

class RuntimeError;

// One run of GeneraAuxiliarComprobantes: the values every section shares and the sections, run
// per voucher in the order the report files expect the rows (header note, QR row, tasks, items,
// pending order items, other concepts, footer note, then the voucher-wide updates). The frame is
// in GeneradorAuxiliar.cpp; each group of sections has a source file of its own.
class GeneradorAuxiliar final
{
public:
    struct Parametros
    {
        QString TC;
        QString SucDesde;
        QString NroDesde;
        QString LetraDesde;
        QString ComplementoDesde;
        qint16 LineasTitulo = 3;
        QString SucHasta;
        QString NroHasta;
        QString LetraHasta;
        QString ComplementoHasta;
        QString ListaIds;
        QString ListaComprobantes;
        QString IdTarea;
        bool NoBorrar = false;
    };

    explicit GeneradorAuxiliar(const Parametros& parametros);

    // Runs the whole buffer fill; `TC` holds the fitted type afterwards.
    ResultadoAuxiliar genera();
    const QString& tc() const { return m_tc; }

private:
    // ---- frame (GeneradorAuxiliar.cpp)
    QString validaSeleccion() const;
    void decideLogo();
    QString condicionSeleccion();
    void preparaComprobante();
    void recorreComprobante();
    void BorraAuxiliarUsuario();

    // ---- notes, amount in words, payment terms (GeneradorAuxiliar_Notas.cpp)
    void AgregaObservacionesEncabezado();
    void AgregaObservacionesPie();
    void agregaObservacion(const QString& filtro, const QString& columna, bool puntoSinNota);
    void ActualizaImporteEnLetras();
    void ActualizaEncabezado();
    void ActualizaFormaDePagoUN();

    // ---- QR row (GeneradorAuxiliar_QR.cpp)
    void AgregaQRFactura();

    // ---- tasks (GeneradorAuxiliar_Tareas.cpp)
    void AgregaTareas();
    void agregaTarea(AdoRecordset& tarea);
    void agregaDiario(AdoRecordset& linea);
    // The hours of a task line, or six blanks on a work order that hides its amounts.
    QString horasTarea(const Value& minutos) const;

    // ---- pending order lines and other concepts (GeneradorAuxiliar_Conceptos.cpp)
    void AgregaInsumosOrigenNP();
    void agregaPendiente(AdoRecordset& linea);
    void AgregaOtrosConceptos();

    // ---- items, lots and dispatches (GeneradorAuxiliar_Insumos.cpp)
    void AgregaInsumos();
    void agregaLinea(AdoRecordset& linea, QString& resumenLotes);
    QString CompletaDespachoLote(const QString& claveLote);
    // An item's ControladoPor as its buffer column prints it.
    static QString controladoPor(const Value& valor, QChar separador);
    void AgregaDespachoLote(QString& claveLote);

    // ---- fixed rows (GeneradorAuxiliar_Filas.cpp)
    void AgregaTituloSeccion(const QString& titulo);
    void AgregaLineaEnBlanco();
    void AgregaCierreSeccion(const QString& cierre);

    // ---- rows built column by column
    using ListaValores = ConstructorSentencias::ListaCamposValores;
    // A list holding the current voucher's key columns and the row type.
    ListaValores nuevaLista(const QString& tipo) const;
    // Adds a column; a value that cannot be worked out is skipped (and logged) and the row
    // still goes in without it.
    void agregaValor(
        ListaValores& lista, const char* columna, const std::function<QString()>& calcula);
    // Runs "INSERT INTO AUX_MV_CPTE (...) VALUES (...)"; false when it failed (skipped, logged).
    bool inserta(ListaValores& lista, const QString& paso);

    // ---- shared helpers
    // Runs an action statement; a failure is skipped (and logged), false returned.
    bool ejecuta(const QString& sql, const QString& paso);
    // Runs a step; a run-time error inside it is skipped (and logged), false returned.
    bool paso(const QString& nombre, const std::function<void()>& cuerpo);
    // True once a statement of the run has waited out the connection's time-out (another
    // process holds the database): the run stops there with the lock's message, for every
    // further statement would wait as long again. Steps and statements then run no more.
    bool detenida();
    void omitida(const QString& paso, const RuntimeError& error);
    // Voucher types compare ignoring case.
    static bool esUnoDe(const QString& tipo, std::initializer_list<const char*> tipos);
    // Field `nombre` of the current voucher's row, checked against its column (CampoLeido).
    Value comprobante(const char* nombre);
    // The voucher's point of sale, number and letter joined.
    QString idComprobante() const { return m_suc + m_nro + m_letra; }
    // " WHERE USUARIO = ... AND IDCOMPLEMENTO = n": the rows of the current voucher.
    QString condicionPropias() const;
    // "'<user>','<type>','<voucher>','<complement>'": the key of the fixed-form inserts.
    QString claveFija() const;
    // The text of a numeric column the way the workstation writes numbers ("2,5" or "2.5").
    static QString textoNumero(const Value& valor);
    // `texto` in pieces of at most `ancho` characters, each line of it broken between words
    // where it can: every piece fits a buffer column of that width, and the pieces read one
    // after the other give the text back.
    static QStringList enPiezas(const QString& texto, qsizetype ancho);
    // The widest text a buffer column holds on a server: a longer one would refuse its row.
    static constexpr qsizetype AnchoColumna = 255;

    Parametros m_p;
    QString m_usuario;
    QString m_tc;
    ResultadoAuxiliar m_resultado;
    // Notices for the operator gathered while a voucher's rows are written, shown once they are
    // committed: a box in the middle would keep the database locked while it is read.
    QStringList m_avisos;
    // The commands that waited a lock's time-out out since the run began.
    EsperasBloqueo m_esperas;
    bool m_detenida = false;
    // The workstation's earlier rows are still to be deleted.
    bool m_borrarPendiente = false;

    // Shared by the sections for the whole run.
    bool m_noMostrarImportesEnOT = false;
    QString m_posicionLogo = QStringLiteral("NO");
    AdoRecordset m_comprobantes;

    // The current voucher.
    QString m_suc;
    QString m_nro;
    QString m_letra;
    QString m_complemento;
    QString m_condicion;
    QString m_cae;
    QString m_moneda;
    // The voucher's amount to the cent, as the form prints it: words and QR say the same.
    Currency m_importe;
    QString m_importeEnLetras;
    bool m_robaIvaProforma = false;
};
