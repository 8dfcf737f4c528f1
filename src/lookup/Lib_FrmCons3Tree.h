#pragma once

#include <memory>
#include <optional>

#include <QDialog>
#include <QString>
#include <QStringList>

#include "lookup/LookupTreeModel.h"
#include "lookup/SentenciaConsulta.h"
#include "platform/Value.h"

namespace Ui {
class Lib_FrmCons3Tree;
}

// The lookup shown as a tree ("Consulta..."): the product families by their own statement, or any
// query whose first column is a code and second a description, each code hanging under the
// longest code it extends. The operator searches by code or description, checks branches and
// confirms; the dialog returns the chosen code (single choice) or the checked codes (Valores).
//
// Use: create it, set Sql, CampoDevuelto and CheckBoxes, call Form_Load() (showing it loads it the
// first time), show it modally; accepting or cancelling hides it. Read ValorDevuelto and Valores,
// then Form_Unload() and destroy it. Statements run on gDB(); failures go to the error reporter
// under "FORM_LOAD", "ArmarTreeVFamilias", "ArmarTreeVAutomatico" and "CmdAceptar_Click".
class Lib_FrmCons3Tree final : public QDialog
{
    Q_OBJECT

public:
    explicit Lib_FrmCons3Tree(QWidget* parent = nullptr);
    ~Lib_FrmCons3Tree() override;

    // --- Public members, as the lookup object sets and reads them ---

    // The statement of the automatic tree; one holding "v_ta_familias" builds the families tree,
    // which puts its own statement here.
    QString Sql;
    // The kind of code returned: "IDFAMILIA", "IDPOSICION" or "CODIGO" (any case).
    QString CampoDevuelto;
    // Set to nothing by a cancel; otherwise not used.
    std::optional<QStringList> CmpsDevueltos;
    // Nodes carry check boxes: multiple choice.
    bool CheckBoxes = false;
    // Single-choice result; empty text after a cancel.
    Value ValorDevuelto;
    // Multiple-choice results: new and empty at each load, nothing after a cancel.
    std::optional<QStringList> Valores;

    // Builds the families tree.
    void ArmarTreeVFamilias();

    // --- Handlers, public so the lookup object and tests can drive them ---

    void Form_Load();
    void Form_Unload();
    // F5 (116) filters by description; the arrow and page keys go to the tree. True when used.
    bool CmbSearch_KeyDown(int Index, int KeyCode, int Shift);
    void CmbSearch_Change(int Index);
    void CmbSearch_Click(int Index);
    void CmbSearch_GotFocus(int Index);
    void CmdNueva_Click();
    void TreeV_NodeCheck(int node);
    void TreeV_DblClick();
    void CmdAceptar_Click();
    void CmdCancelar_Click();

    // --- For the lookup object and tests ---

    LookupTreeModel& modelo() { return *m_model; }
    // The selected node, -1 when none.
    int nodoSeleccionado() const;
    void seleccionarNodo(int node);
    bool expandido(int node) const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void conectar();
    void ArmarTreeVAutomatico();
    // Clears the tree, adds the root and reads every row of the statement (column, row); false
    // when the statement could not be opened or the builder is left.
    bool comienzoArmado(const QString& rutina, QList<QList<Value>>& filas);
    void armar();
    // The stored value of `codigo` in the table CampoDevuelto names; nothing when not found.
    std::optional<QString> valorGuardado(const QString& tabla, const QString& codigo);

    std::unique_ptr<Ui::Lib_FrmCons3Tree> ui;
    LookupTreeModel* m_model;
    bool m_cargado = false;
    int m_indiceBusqueda = 0;
    SentenciaConsulta m_sentencia;
};
