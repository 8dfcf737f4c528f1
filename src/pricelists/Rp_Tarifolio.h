#pragma once

#include <memory>
#include <optional>

#include <QList>
#include <QString>
#include <QWidget>

class QCheckBox;
class QCloseEvent;
class QLineEdit;
class QRadioButton;
class TarifolioReglas;

namespace Ui {
class Rp_Tarifolio;
}

// The program's main window: the criteria and options of a price list, in sales mode (list type
// "V") or purchase mode ("C", when the start-up parameter "@ParametroAdicional" is "C"), fixed for
// the whole run, and the report toolbar that prints it. Loading it starts the program; closing it
// ends the program.
//
// Use: create it, call Form_Load() (it runs the start-up first), show it. Form_Unload() (the
// toolbar's "CERRAR" or closing the window) stores the window's state and ends the program.
//
// Needs the program-wide objects: the data objects (gDB), the start-up values (gInicio), the
// global settings, the control services (gControles), the utility objects and the window-state
// store (gEstadoFormulario).
class Rp_Tarifolio : public QWidget
{
    Q_OBJECT

public:
    explicit Rp_Tarifolio(QWidget* parent = nullptr);
    ~Rp_Tarifolio() override;

    // The load: start-up, look, saved state, mode, lists, captions; leaves the normal layout.
    void Form_Load();
    // The unload: stores the window's state, hides the window and ends the program (never
    // returns while a real end-of-program hook is installed).
    void Form_Unload();

    // Captions of the price classes from NOM_PCLASE1..8 (or "CLASE i"), and with RETAIL the
    // classes the mode leaves out unticked and hidden.
    void CargarChecks();

    // Window state the price-list operations read.
    const QString& TablaPrecios() const { return m_tablaPrecios; }
    int CampoActual() const { return m_campoActual; }
    bool ModoCompras() const;
    bool UsaRetail() const;
    QString TipoLista() const;

    // Where the last print key of the toolbar sends the report; the printing reads it.
    enum class Destino
    {
        Pantalla,
        Impresora,
        Archivo,
    };
    Destino DestinoImpresion() const { return m_destino; }
    // True from the toolbar's "MENSAJE" until the next toolbar button.
    bool EnviarPorMail() const { return m_enviarPorMail; }

    // Control arrays, in index order.
    const QList<QLineEdit*>& txtfields() const { return m_txtfields; }
    const QList<QRadioButton*>& OptOrden() const { return m_optOrden; }
    const QList<QRadioButton*>& OptGROUP() const { return m_optGroup; }
    const QList<QCheckBox*>& ChkFiltro() const { return m_chkFiltro; }

protected:
    // Step one of the load: the program's start-up (parameters, connection, user, settings). A
    // connection that cannot be opened or a failed login ends the program inside it.
    virtual void IniciaAplicacion();
    // Prints the price list to DestinoImpresion(): the window's state handed to ImpresionPrecios,
    // which prints through the report object gReporte() and the report driver.
    virtual void ImprimirReportePrecios();
    // The lookup of the field CampoActual(), chosen by its Tag: the lookup object's grid or tree,
    // or the date picker. The field takes the value (empty when cancelled), then Enter is handled
    // as if typed in it.
    virtual void ConsultarCampo();
    // Fills CboPlantilla with the window's saved templates; the box shows "General".
    virtual void CargaComboPlantillas();

    void closeEvent(QCloseEvent* event) override;
    // The toolbar's hot keys from any control the key passes through (the criteria fields have
    // their own rules, in eventFilter).
    void keyPressEvent(QKeyEvent* event) override;
    // The criteria fields' focus, key and mouse events reach their handlers here.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void conectar();
    void CargarListasAnalisis();
    void CargarCondicionesCpraVta();
    // The criteria field whose DataField is `dataField` (any case); null when none.
    QLineEdit* campo(const QString& dataField) const;
    void aplicaModo();
    void ajustaTamano(int alturaTwips);

    // Handlers.
    void chkAnalisisCostos_Click();
    void ChkArticulosEnOferta_Click();
    void chkIncluirMargen_Click();
    void ChkSelectivo_Click();
    void LstListas_ItemCheck(int item);
    void TBarRep1_BotonClick(const QString& clave);

    // Template toolbar: the button applies the template named in CboPlantilla, the menu entries
    // ("Aplicar", "Grabar", "Eliminar") apply, save or delete it.
    void TbarPlantilla_ButtonClick();
    void TbarPlantilla_ButtonMenuClick(const QString& clave);
    // After a template was applied: what the mode and RETAIL leave out is cleared again and the
    // warehouse description follows the applied code.
    void plantillaAplicada();
    // With RETAIL, unticks and hides the price classes the mode leaves out.
    void ocultaClasesRetail();
    // lblDescDep from V_TA_DEPOSITO for the code in the warehouse field, "..." when none is found;
    // nothing is shown to the operator.
    void refrescaDeposito();

    // Criteria fields (Rp_TarifolioCampos.cpp), each handler with the member's Index.
    void conectarCampos();
    void txtfields_GotFocus(int Index);
    void txtfields_LostFocus(int Index);
    void txtfields_KeyDown(int Index, int& KeyCode, int Shift);
    void txtfields_KeyPress(int Index, int& KeyAscii);
    void txtfields_MouseDown(int Index, int Button, int Shift, int X, int Y);
    void txtfields_Validate(int Index, bool& Cancel);
    // The field the operator is in, validated as leaving it would (before a print).
    void validaCampoActivo();
    // The description of the warehouse whose code is `codigo` (fitted to 4 characters); nothing
    // when the code is blank or no warehouse has it. Failures count as not found.
    std::optional<QString> descripcionDeposito(const QString& codigo) const;

    std::unique_ptr<Ui::Rp_Tarifolio> ui;
    std::unique_ptr<TarifolioReglas> m_reglas;
    QList<QLineEdit*> m_txtfields;
    QList<QRadioButton*> m_optOrden;
    QList<QRadioButton*> m_optGroup;
    QList<QCheckBox*> m_chkFiltro;

    QString m_tablaPrecios;
    int m_campoActual = 0;
    // The field that has the focus as the handlers see it (-1: none): another window taking the
    // focus for a while does not count as leaving the field.
    int m_campoConFoco = -1;
    Destino m_destino = Destino::Pantalla;
    bool m_enviarPorMail = false;
    bool m_descargando = false;
};
