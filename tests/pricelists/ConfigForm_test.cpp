#include "pricelists/ConfigForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTableView>
#include <QTreeView>

#include <gtest/gtest.h>

#include "ConfigFormDemo.h"
#include "support/QtPrinters.h"
#include "platform/Twips.h"

using testsupport::FrmPrueba;

namespace {

QStringList texto(const QList<FilaConfigForm>& filas)
{
    QStringList lineas;
    for (const FilaConfigForm& f : filas)
        lineas.append(
            QStringList { f.TipoObjeto, f.Nombre, f.Propiedad, f.DataField, f.Valor }.join(u'|'));
    return lineas;
}

const QString Plantilla = QStringLiteral("@FrmPrueba@Mayoristas");

class ConfigFormStore : public testsupport::ConfigFormDemo
{
};

} // namespace

TEST(ConfigForm, rows_follow_the_suites_layout_control_by_control)
{
    FrmPrueba form;
    form.txtfields[1]->setText(QStringLiteral("Tornillo"));
    form.txtNota->setText(QStringLiteral("a ver"));
    form.ChkCol[1]->setChecked(true);

    const QStringList filas = texto(ConfigForm::filas(&form, Plantilla, true));

    const QStringList esperadas {
        // txtfields_0 holds the record's key (DataField "ID..."): never part of a state.
        QStringLiteral("TextBox|txtfields|Text|Nombre|Tornillo"),
        QStringLiteral("TextBox|txtNota|Text||a ver"),
        QStringLiteral("CheckBox|chkSuelto|Value||0"),
        // Array members are told apart by their index.
        QStringLiteral("CheckBox|ChkCol|Value|0|0"),
        QStringLiteral("CheckBox|ChkCol|Value|1|1"),
        QStringLiteral("OptionButton|OptOrden|Value|0|True"),
        QStringLiteral("OptionButton|OptOrden|Value|1|False"),
        // A single option button goes by its name.
        QStringLiteral("OptionButton|OptSolo|Value|OptSolo|False"),
        QStringLiteral("ComboBox|CmbCond|ListIndex||2"),
        QStringLiteral("ComboBox|CboPlantilla|ListIndex||-1"),
        QStringLiteral("ListBox|LstItems|List||L1"),
        QStringLiteral("ListBox|LstItems|Selected||False"),
        QStringLiteral("ListBox|LstItems|List||L2"),
        QStringLiteral("ListBox|LstItems|Selected||True"),
        QStringLiteral("ListView|ListView1|ColWidth|Codigo|900"),
        QStringLiteral("ListView|ListView1|ColWidth|Descripcion|3000"),
        QStringLiteral("ListView|ListView1|ColPosition|Codigo|1"),
        QStringLiteral("ListView|ListView1|ColPosition|Descripcion|2"),
        QStringLiteral("KzqDBGrid|GrdDatos|PageSize||20"),
        QStringLiteral("KzqDBGrid|GrdDatos|CamposSel|||CODIGO|"),
        QStringLiteral("KzqDBGrid|GrdDatos|ColWidth||750"),
        QStringLiteral("KzqDBGrid|GrdDatos|ColWidth||900"),
        QStringLiteral("KzqDBGrid|GrdDatos|ColWidth||1050"),
    };
    EXPECT_EQ(filas, esperadas);
}

TEST(ConfigForm, list_contents_only_when_asked_and_window_rows_only_for_a_plain_state)
{
    FrmPrueba form;
    form.move(20, 30);
    form.resize(400, 500);

    const QStringList plantilla = texto(ConfigForm::filas(&form, Plantilla, false));
    const QStringList plano = texto(ConfigForm::filas(&form, QString(), false));

    EXPECT_FALSE(plantilla.join(u'\n').contains(QLatin1String("ListBox")));
    EXPECT_FALSE(plantilla.join(u'\n').contains(QLatin1String("FrmPrueba|")));
    ASSERT_EQ(plano.size(), plantilla.size() + 4);
    // The window's rows carry the data field of the last control walked (the grid's: none).
    EXPECT_EQ(plano.mid(plantilla.size()),
        (QStringList { QStringLiteral("FrmPrueba|FrmPrueba|Top||450"),
            QStringLiteral("FrmPrueba|FrmPrueba|Left||300"),
            QStringLiteral("FrmPrueba|FrmPrueba|Width||6000"),
            QStringLiteral("FrmPrueba|FrmPrueba|Height||7500") }));
}

TEST(ConfigForm, key_field_rule_of_the_first_txtfields_member)
{
    struct Caso
    {
        const char* dataField;
        bool guardado;
    };
    const Caso casos[] = {
        { "IDArticulo", false },
        { "Codigo", false },
        { "Cuenta", false },
        { "Nombre", true },
        // The key rule holds in any letter case.
        { "idrubro", false },
    };
    for (const Caso& caso : casos) {
        FrmPrueba form;
        form.txtfields[0]->setProperty("DataField", QString::fromLatin1(caso.dataField));

        const QStringList filas = texto(ConfigForm::filas(&form, Plantilla, false));

        EXPECT_EQ(filas.first().startsWith(
                      QLatin1String("TextBox|txtfields|Text|") + QLatin1String(caso.dataField)),
            caso.guardado)
            << caso.dataField;
    }
}

TEST(ConfigForm, statements_double_apostrophes_inside_their_literals)
{
    struct Caso
    {
        QString obtenido;
        QString esperado;
    };
    DataObjects objetos;
    ScopedService<DataObjects> servicio(objetos);
    const Caso casos[] = {
        { ConfigForm::sentenciaBorrado(QStringLiteral("Frm@Frm@D'Angelo"), QString(), QString()),
            QStringLiteral(
                "DELETE TA_CONFIG_FORM WHERE FORMULARIO = 'Frm@Frm@D''Angelo' AND USUARIO= ''") },
        { ConfigForm::sentenciaBorrado(
              QStringLiteral("Frm"), QStringLiteral("MARTA"), QStringLiteral("txtfields")),
            QStringLiteral("DELETE TA_CONFIG_FORM WHERE FORMULARIO = 'Frm' AND USUARIO= 'MARTA' "
                           "and Nombre = 'txtfields'") },
        { ConfigForm::sentenciaInsercion(QStringLiteral("Frm"), QString(),
              { QStringLiteral("TextBox"), QStringLiteral("txtfields"), QStringLiteral("Text"),
                  QStringLiteral("Nombre"), QStringLiteral("O'Brien") }),
            QStringLiteral("INSERT INTO TA_CONFIG_FORM "
                           "(FORMULARIO,USUARIO,TIPOOBJETO,NOMBRE,PROPIEDAD,DATAFIELD,VALOR) "
                           "VALUES ('Frm','','TextBox','txtfields','Text','Nombre','O''Brien')") },
        { ConfigForm::sentenciaLectura(QStringLiteral("Frm"), QStringLiteral("MARTA")),
            QStringLiteral("SELECT * FROM TA_CONFIG_FORM  with(nolock)  WHERE FORMULARIO = 'Frm' "
                           "AND USUARIO = 'MARTA' order by id") },
    };
    for (const Caso& caso : casos)
        EXPECT_EQ(caso.obtenido, caso.esperado);
}

TEST_F(ConfigFormStore, a_saved_state_comes_back_into_a_changed_window)
{
    FrmPrueba form;
    form.txtfields[1]->setText(QStringLiteral("  D'Angelo  "));
    form.chkSuelto->setChecked(true);
    form.OptOrden[1]->setChecked(true);
    form.CmbCond->setCurrentIndex(1);
    form.ListView1->header()->resizeSection(1, 150);
    ASSERT_TRUE(ConfigForm::GuardaConfigForm(&form, Plantilla));

    FrmPrueba otra;
    otra.CboPlantilla->setEditText(QStringLiteral("Mayoristas"));
    ASSERT_TRUE(ConfigForm::RecuperaConfigForm(&otra, Plantilla));

    // A text comes back trimmed.
    EXPECT_EQ(otra.txtfields[1]->text(), QStringLiteral("D'Angelo"));
    EXPECT_TRUE(otra.chkSuelto->isChecked());
    EXPECT_TRUE(otra.OptOrden[1]->isChecked());
    EXPECT_FALSE(otra.OptOrden[0]->isChecked());
    EXPECT_EQ(otra.CmbCond->currentIndex(), 1);
    EXPECT_EQ(otra.ListView1->header()->sectionSize(1), 150);
    EXPECT_EQ(otra.CboPlantilla->currentText(), QStringLiteral("Mayoristas"));
    // A template is no user's: the rows carry an empty user.
    const QStringList filas = filasGuardadas(QStringLiteral("FrmPrueba@FrmPrueba@Mayoristas"));
    ASSERT_FALSE(filas.isEmpty());
    EXPECT_EQ(filas.first(), QStringLiteral("|TextBox|txtfields|Text|Nombre|  D'Angelo  "));
}

TEST_F(ConfigFormStore, saving_again_replaces_the_rows_of_its_key_only)
{
    FrmPrueba form;
    ASSERT_TRUE(ConfigForm::GuardaConfigForm(&form, Plantilla));
    ASSERT_TRUE(ConfigForm::GuardaConfigForm(&form, QString()));
    const int plantilla = filasGuardadas(QStringLiteral("FrmPrueba@FrmPrueba@Mayoristas")).size();
    const int plano = filasGuardadas(QStringLiteral("FrmPrueba")).size();

    ASSERT_TRUE(ConfigForm::GuardaConfigForm(&form, Plantilla));

    EXPECT_EQ(filasGuardadas(QStringLiteral("FrmPrueba@FrmPrueba@Mayoristas")).size(), plantilla);
    EXPECT_EQ(filasGuardadas(QStringLiteral("FrmPrueba")).size(), plano);
    EXPECT_TRUE(
        filasGuardadas(QStringLiteral("FrmPrueba")).first().startsWith(QLatin1String("MARTA|")));
}

TEST_F(ConfigFormStore, a_failing_save_leaves_the_previous_rows_whole)
{
    FrmPrueba form;
    form.txtNota->setText(QStringLiteral("primera"));
    ASSERT_TRUE(ConfigForm::GuardaConfigForm(&form, Plantilla));
    const QStringList antes = filasGuardadas(QStringLiteral("FrmPrueba@FrmPrueba@Mayoristas"));
    // The server refuses one row in the middle of the save, after the old rows were deleted: a
    // row of another user under the same key takes the one place an option may have.
    insertaFila(QStringLiteral("FrmPrueba@FrmPrueba@Mayoristas"), QStringLiteral("OTRO"),
        QStringLiteral("OptionButton"), QStringLiteral("OptSolo"), QStringLiteral("Value"),
        QStringLiteral("OptSolo"), QStringLiteral("True"));
    ejecuta(QStringLiteral("CREATE UNIQUE INDEX UnaOpcion ON TA_CONFIG_FORM (FORMULARIO) "
                           "WHERE NOMBRE = 'OptSolo' AND VALOR = 'True'"));
    form.OptSolo->setChecked(true);
    form.txtNota->setText(QStringLiteral("segunda"));

    EXPECT_FALSE(ConfigForm::GuardaConfigForm(&form, Plantilla));

    const QStringList despues = filasGuardadas(QStringLiteral("FrmPrueba@FrmPrueba@Mayoristas"));
    EXPECT_EQ(despues.mid(0, antes.size()).join(u'\n'), antes.join(u'\n'));
    EXPECT_EQ(despues.size(), antes.size() + 1);
    FrmPrueba otra;
    ConfigForm::RecuperaConfigForm(&otra, Plantilla);
    EXPECT_EQ(otra.txtNota->text(), QStringLiteral("primera"));
}

TEST_F(ConfigFormStore, rows_written_by_the_suites_other_programs_apply)
{
    const QString clave = QStringLiteral("FrmPrueba@FrmPrueba@Otra");
    // Another program upper-cases nothing but pads its key columns and writes Spanish booleans.
    insertaFila(clave, QString(), QStringLiteral("TextBox"), QStringLiteral("txtfields   "),
        QStringLiteral("Text"), QStringLiteral("NOMBRE"), QStringLiteral("Clavos "));
    insertaFila(clave, QString(), QStringLiteral("CHECKBOX"), QStringLiteral("ChkCol"),
        QStringLiteral("Value"), QStringLiteral("1"), QStringLiteral("1"));
    insertaFila(clave, QString(), QStringLiteral("OptionButton"), QStringLiteral("OptSolo"),
        QStringLiteral("Value"), QStringLiteral("OptSolo"), QStringLiteral("Verdadero"));
    // The first row of a property counts.
    insertaFila(clave, QString(), QStringLiteral("TextBox"), QStringLiteral("txtNota"),
        QStringLiteral("Text"), QString(), QStringLiteral("primera"));
    insertaFila(clave, QString(), QStringLiteral("TextBox"), QStringLiteral("txtNota"),
        QStringLiteral("Text"), QString(), QStringLiteral("segunda"));
    FrmPrueba form;

    ASSERT_TRUE(ConfigForm::RecuperaConfigForm(&form, QStringLiteral("@FrmPrueba@Otra")));

    EXPECT_EQ(form.txtfields[1]->text(), QStringLiteral("Clavos"));
    EXPECT_TRUE(form.ChkCol[1]->isChecked());
    EXPECT_FALSE(form.ChkCol[0]->isChecked());
    EXPECT_TRUE(form.OptSolo->isChecked());
    EXPECT_EQ(form.txtNota->text(), QStringLiteral("primera"));
}

TEST_F(ConfigFormStore, combo_index_zero_is_applied_and_minus_one_or_out_of_range_is_not)
{
    struct Caso
    {
        const char* valor;
        int esperado;
    };
    // The form starts on index 2.
    const Caso casos[] = { { "0", 0 }, { "1", 1 }, { "-1", 2 }, { "7", 2 } };
    for (const Caso& caso : casos) {
        ejecuta(QStringLiteral("DELETE FROM TA_CONFIG_FORM"));
        insertaFila(QStringLiteral("FrmPrueba@FrmPrueba@x"), QString(), QStringLiteral("ComboBox"),
            QStringLiteral("CmbCond"), QStringLiteral("ListIndex"), QString(),
            QString::fromLatin1(caso.valor));
        // A value that cannot be applied costs its own control only.
        insertaFila(QStringLiteral("FrmPrueba@FrmPrueba@x"), QString(), QStringLiteral("TextBox"),
            QStringLiteral("txtNota"), QStringLiteral("Text"), QString(), QStringLiteral("sigue"));
        FrmPrueba form;

        ConfigForm::RecuperaConfigForm(&form, QStringLiteral("@FrmPrueba@x"));

        EXPECT_EQ(form.CmbCond->currentIndex(), caso.esperado) << caso.valor;
        EXPECT_EQ(form.txtNota->text(), QStringLiteral("sigue")) << caso.valor;
    }
}

TEST_F(ConfigFormStore, restoring_another_windows_state_changes_nothing_and_a_filter_narrows)
{
    FrmPrueba form;
    form.txtNota->setText(QStringLiteral("guardada"));
    form.txtfields[1]->setText(QStringLiteral("guardada"));
    ASSERT_TRUE(ConfigForm::GuardaConfigForm(&form, Plantilla));

    FrmPrueba otra;
    otra.setObjectName(QStringLiteral("FrmOtra"));
    ConfigForm::RecuperaConfigForm(&otra, Plantilla);
    EXPECT_TRUE(otra.txtNota->text().isEmpty());

    FrmPrueba filtrada;
    ConfigForm::RecuperaConfigForm(&filtrada, Plantilla, QStringLiteral("TXTNOTA"));
    EXPECT_EQ(filtrada.txtNota->text(), QStringLiteral("guardada"));
    EXPECT_TRUE(filtrada.txtfields[1]->text().isEmpty());
}

TEST_F(ConfigFormStore, a_grid_gets_its_widths_in_order_and_the_last_one_set_hidden)
{
    const QString clave = QStringLiteral("FrmPrueba@FrmPrueba@g");
    for (const char* ancho : { "1500", "3000", "4500" })
        insertaFila(clave, QString(), QStringLiteral("KzqDBGrid"), QStringLiteral("GrdDatos"),
            QStringLiteral("ColWidth"), QString(), QString::fromLatin1(ancho));
    insertaFila(clave, QString(), QStringLiteral("KzqDBGrid"), QStringLiteral("GrdDatos"),
        QStringLiteral("PageSize"), QString(), QStringLiteral(" 50 "));
    FrmPrueba form;

    ConfigForm::RecuperaConfigForm(&form, QStringLiteral("@FrmPrueba@g"));

    EXPECT_EQ(form.GrdDatos->columnWidth(0), Twips::toPixels(1500));
    EXPECT_EQ(form.GrdDatos->columnWidth(1), Twips::toPixels(3000));
    EXPECT_EQ(form.GrdDatos->columnWidth(2), 0);
    EXPECT_EQ(form.GrdDatos->property("PageSize").toString(), QStringLiteral("50"));
}

TEST_F(ConfigFormStore, a_plain_state_brings_the_window_back_onto_the_screen)
{
    FrmPrueba form;
    form.move(10, 10);
    form.resize(400, 400);
    ASSERT_TRUE(ConfigForm::GuardaConfigForm(&form, QString()));
    ejecuta(QStringLiteral("UPDATE TA_CONFIG_FORM SET VALOR = '999999' WHERE PROPIEDAD = 'Left'"));
    ejecuta(QStringLiteral("UPDATE TA_CONFIG_FORM SET VALOR = '2000' WHERE PROPIEDAD = 'Width'"));
    ejecuta(QStringLiteral("UPDATE TA_CONFIG_FORM SET VALOR = '4500' WHERE PROPIEDAD = 'Top'"));

    FrmPrueba otra;
    ConfigForm::RecuperaConfigForm(&otra, QString());
    EXPECT_EQ(otra.x(), 0);
    EXPECT_EQ(otra.y(), Twips::toPixels(4500));
    EXPECT_EQ(otra.width(), Twips::toPixels(3500));

    // A fixed dialog gets its place back and keeps its size.
    FrmPrueba fija;
    fija.setProperty("BorderStyle", 3);
    fija.resize(300, 300);
    ConfigForm::RecuperaConfigForm(&fija, QString());
    EXPECT_EQ(fija.width(), 300);
    EXPECT_EQ(fija.y(), Twips::toPixels(4500));

    // Another user's state is not this one's.
    m_inicio.gUsuarioLogeado = QStringLiteral("PEDRO");
    FrmPrueba ajena;
    ajena.move(5, 5);
    ConfigForm::RecuperaConfigForm(&ajena, QString());
    EXPECT_EQ(ajena.x(), 5);
}
