#pragma once

#include <memory>
#include <optional>

#include <QDialog>
#include <QList>
#include <QTimer>
#include <QString>
#include <QStringList>

#include "lookup/LookupGridModel.h"
#include "lookup/SentenciaConsulta.h"
#include "platform/AdoRecordset.h"
#include "platform/Value.h"

class DB_Dll;
class QComboBox;

namespace Ui {
class Lib_FrmCons3;
}

// The suite's generic lookup window ("Consulta..."): runs one SELECT, shows its rows in a grid
// with one search box per column above it, and returns the chosen row's value or the checked
// rows' values.
//
// Use: create it, set the public members, call Form_Load() (or show it, which loads it the first
// time), show it modally; it hides itself when the operator accepts or cancels. Read ValorDevuelto,
// Valores and Cantidades, then call Form_Unload() and destroy it. Every lookup uses a fresh dialog.
//
// Statements run through the program-wide data objects (gDB, or gUDBC with UsarUDBC); failures are
// reported as the suite reports them (the data layer's dialog, the error reporter under the
// routine names "FORM_LOAD", "ListView1_KeyDown", "CmdAceptar_Click").
class Lib_FrmCons3 final : public QDialog
{
    Q_OBJECT

public:
    explicit Lib_FrmCons3(QWidget* parent = nullptr);
    ~Lib_FrmCons3() override;

    // --- Public members, as the lookup object sets and reads them ---

    // Text colours of article rows at stock levels 1..4: colour numbers (red in the low byte) as
    // number or text; empty means no colour.
    Value StkNivel1;
    Value StkNivel2;
    Value StkNivel3;
    Value StkNivel4;
    // "SI" (any case) shows the stock colours.
    QString MuestraStock;
    // The SELECT to run; each load appends one blank.
    QString Sql;
    // Caption of the column whose value is returned; with CheckBoxes its value also decides which
    // rows start checked (ValoresDefault).
    QString CampoDevuelto;
    // Captions of further columns returned in Valores on a single choice; nothing after a cancel.
    std::optional<QStringList> CmpsDevueltos;
    // Rows carry check boxes: multiple choice.
    bool CheckBoxes = false;
    // Handed over by the lookup object; not used here.
    QString gConnString;
    // The returned value (always text after an accept; empty text after a cancel).
    Value ValorDevuelto;
    // Text put into the first search box at the end of each load.
    QString FiltroInicial;
    // Handed over by the lookup object; not used here.
    QString CampoBusqueda;
    // The grid sorts its rows itself (true) or keeps the statement's order (false).
    bool OrdenarPorLwv = false;
    // Returned values: new and empty at each load, filled by an accept, nothing after a cancel.
    std::optional<QStringList> Valores;
    // New and empty at each load; typed quantities stay in the grid's quantity column.
    std::optional<QStringList> Cantidades;
    // Rows carry a quantity ("**Cantidad**" column) that Insert, Shift+Insert and Delete change.
    bool UsaCantidades = false;
    // With CheckBoxes, rows whose returned value occurs in this text start checked; "@10" widens
    // the columns of a lookup that is not over the article tables by ten characters.
    QString ValoresDefault;
    // The F5 filter matches words anywhere (true) or a prefix (false).
    bool CfgUsaConsultaLIKE = false;
    // Write the column widths back to "CONSULTASLEN.qzk" at unload.
    bool GrabarCfg = false;
    // Run the statement through gUDBC instead of gDB; back to false at unload.
    bool UsarUDBC = false;

    // --- Public methods ---

    // Places the search boxes over their columns and sizes the window to the columns.
    void CalcularAncho();
    // Adds one row per remaining record of the open query (the arguments have no effect).
    void Leer(qint32 Cdesde, qint16 Cuantas = 0);
    // Rebuilds the columns and search boxes from the fields of the open query.
    void Encolumnar();
    // Runs the load again with the statement ordered by the column `Cual`, then restores Sql.
    void OrdenarPorFecha(const QString& Cual);
    // 1-based row (current order) whose cell in column `Clave` (0: first column, k: column k + 1)
    // starts with `QueValor` ignoring case; 0 when none.
    qint32 Busqueda(qint32 Clave, const QString& QueValor) const;
    // 1-based position of the column captioned `Columna` (trimmed, any case); 0 when none.
    qint16 IndiceColumna(const QString& Columna) const;

    // The form's load: runs the statement and fills the grid. Run again by reloads.
    void Form_Load();
    // The form's unload: writes the widths when GrabarCfg, removes the rows.
    void Form_Unload();

    // --- Event handlers, public so the lookup object and tests can drive them ---

    void CmdAceptar_Click();
    void CmdCancelar_Click();
    void ListView1_DblClick();
    void ListView1_ColumnClick(int column);
    // `KeyCode` and `Shift` as the suite numbers them (VbKey codes; Shift 1, Ctrl 2, Alt 4).
    // Returns true when the key was used here and the grid must not act on it.
    bool ListView1_KeyDown(int KeyCode, int Shift);
    void CmbSearch_Change(int Index);
    void CmbSearch_Click(int Index);
    void CmbSearch_GotFocus(int Index);
    void CmbSearch_LostFocus(int Index);
    bool CmbSearch_KeyDown(int Index, int KeyCode, int Shift);
    void HScroll1_Change();
    // "&Nueva Busqueda": back to the first statement of this dialog.
    void CmdNueva_Click();
    // "N&uevo": starts the suite's maintenance program of the looked-up table.
    void CmdNuevo_Click();
    // "&Marcar": every row's check mark turns round.
    void CmdTodos_Click();
    // A key anywhere in the dialog, before the control that has the focus: F12 in an article
    // lookup reports the selected article as a stock shortage. `KeyCode` becomes 0 when the key
    // was used here.
    void Form_KeyDown(int& KeyCode, int Shift);

    // --- For the lookup object and tests ---

    LookupGridModel& modelo() { return *m_model; }
    // The table after "from" at the last load (key of the column-width file).
    const QString& tablaConsulta() const { return m_tablaConsulta; }
    const QString& sqlInicial() const { return m_sqlInicial; }
    // The search boxes, box i over column i.
    const QList<QComboBox*>& cajasBusqueda() const { return m_cmbSearch; }
    int indiceBusquedaActual() const { return m_indiceBusquedaActual; }
    // The selected row (current order, 0-based), -1 when none.
    int filaSeleccionada() const;
    void seleccionarFila(int row);
    // The width of a column in twips.
    int anchoColumna(int column) const;
    // The option pickers' layout: the window `ancho` pixels wide, its one column and first search
    // box as wide as the list.
    void ajustarListaUnica(int ancho);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void conectar();
    QComboBox* cajaBusqueda(int index);
    LookupGridModel::Carga carga() const;
    void aplicarAnchosIniciales();
    // What a column needs to show its whole caption, in pixels.
    int anchoTitulo(int column) const;
    void leerAnchosGuardados();
    void grabarAnchos();
    void ubicarCajas();
    void actualizarIndicadorOrden();
    void cambiarCantidad(int KeyCode, int Shift);
    // Reading the rest of the query: each part of it, the end, a failure.
    void cierraConsulta();
    // Every row of the query read; a failure is reported.
    void leerTodoReportando();
    void lecturaFallida(const RuntimeError& error);
    // A search that found nothing in the rows read so far goes on reading in short turns, so
    // the window takes keys meanwhile.
    void continuaBusqueda();
    // The last search over the rows read, from where it may start; selects the row found.
    bool buscaEnLeidas();
    void filtraPorColumna(int Index);
    void informaFaltante();

    std::unique_ptr<Ui::Lib_FrmCons3> ui;
    LookupGridModel* m_model;
    QList<QComboBox*> m_cmbSearch;
    AdoRecordset m_rsConsulta;

    // The database object the open query of the last load runs on.
    DB_Dll* m_dbConsulta = nullptr;
    // The last search, for the next one to start where it can: a row that does not start with
    // a text does not start with a longer one either.
    struct UltimaBusqueda
    {
        int clave = -1;
        QString texto;
        int desde = 0; // 0-based row from which a longer text may match
        quint64 orden = 0; // m_orden when it ran
    };
    UltimaBusqueda m_busqueda;
    // Grows whenever the rows change order or are read again.
    quint64 m_orden = 0;
    QTimer m_continuaBusqueda;

    bool m_cargado = false;
    bool m_esConsultaArticulos = false;
    int m_indiceBusquedaActual = 0;
    QString m_sqlInicial;
    SentenciaConsulta m_sentencia;
    QString m_tablaConsulta;
};
