#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

#include "services/VariablesInicio.h"
#include "support/DemoDatabaseTest.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QStandardItemModel;
class QTableView;
class QTreeView;

namespace testsupport {

// A small window of the suite's kind, with one control of each kind the form-state store keeps,
// control arrays named as the program's forms name them, and widgets it must pass over.
class FrmPrueba : public QWidget
{
public:
    FrmPrueba();

    QList<QLineEdit*> txtfields;
    QLineEdit* txtNota;
    QCheckBox* chkSuelto;
    QList<QCheckBox*> ChkCol;
    QList<QRadioButton*> OptOrden;
    QRadioButton* OptSolo;
    QComboBox* CmbCond;
    QComboBox* CboPlantilla;
    QListWidget* LstItems;
    QTreeView* ListView1;
    QTableView* GrdDatos;
};

// A demo database opened on gDB() through the real provider, the logged user "MARTA", no rows in
// TA_CONFIG_FORM.
class ConfigFormDemo : public DemoDatabaseTest
{
protected:
    void SetUp() override;

    // Runs a statement straight on the connection; fails the test when it fails.
    void ejecuta(const QString& sql);
    // The rows of TA_CONFIG_FORM under `formulario`, in ID order, each as
    // "USUARIO|TIPOOBJETO|NOMBRE|PROPIEDAD|DATAFIELD|VALOR".
    QStringList filasGuardadas(const QString& formulario);
    // Inserts a row as another program of the suite writes it.
    void insertaFila(const QString& formulario, const QString& usuario, const QString& tipo,
        const QString& nombre, const QString& propiedad, const QString& dataField,
        const QString& valor);

    VariablesInicio m_inicio;
    ScopedService<VariablesInicio> m_inicioService { m_inicio };
};

} // namespace testsupport
