#include "pricelists/Plantillas.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "ConfigFormDemo.h"
#include "support/QtPrinters.h"
#include "support/FakeDialogs.h"
#include "support/TestEnvironment.h"

using testsupport::FrmPrueba;

namespace {

const QString Ventana = QStringLiteral("FrmPrueba");

class PlantillasDemo : public testsupport::ConfigFormDemo
{
protected:
    static QStringList entradas(const QComboBox* caja)
    {
        QStringList lista;
        for (int i = 0; i < caja->count(); ++i)
            lista.append(caja->itemText(i));
        return lista;
    }

    void graba(FrmPrueba& form, const QString& nombre)
    {
        form.CboPlantilla->setEditText(nombre);
        ASSERT_TRUE(Plantillas::GrabaPlantillaForm(Ventana, &form));
    }
};

} // namespace

TEST(Plantillas, list_and_delete_statements)
{
    DataObjects objetos;
    ScopedService<DataObjects> servicio(objetos);

    EXPECT_EQ(Plantillas::sentenciaLista(QStringLiteral("Rp_Tarifolio")),
        QStringLiteral("select formulario from ta_config_form where formulario like "
                       "'%@Rp_Tarifolio@%' group by formulario"));
    EXPECT_EQ(Plantillas::sentenciaBorrado(QStringLiteral("Rp_Tarifolio"),
                  QStringLiteral("Rp_Tarifolio"), QStringLiteral("D'Angelo")),
        QStringLiteral("Delete ta_config_form where formulario = "
                       "'Rp_Tarifolio@Rp_Tarifolio@D''Angelo'"));
}

TEST_F(PlantillasDemo, a_window_without_templates_lists_only_general)
{
    FrmPrueba form;

    Plantillas::CargaComboPlantillas(Ventana, &form);

    EXPECT_EQ(entradas(form.CboPlantilla), QStringList { QStringLiteral("General") });
    EXPECT_EQ(form.CboPlantilla->currentText(), QStringLiteral("General"));
}

TEST_F(PlantillasDemo, saved_templates_are_listed_and_the_box_keeps_the_name_just_saved)
{
    FrmPrueba form;
    graba(form, QStringLiteral("Mayoristas"));
    graba(form, QStringLiteral("D'Angelo y Cía"));
    // A template of another window never shows up here.
    FrmPrueba otra;
    otra.setObjectName(QStringLiteral("FrmOtra"));
    otra.CboPlantilla->setEditText(QStringLiteral("Ajena"));
    Plantillas::GrabaPlantillaForm(QStringLiteral("FrmOtra"), &otra);

    EXPECT_EQ(entradas(form.CboPlantilla),
        (QStringList { QStringLiteral("D'Angelo y Cía"), QStringLiteral("Mayoristas") }));
    EXPECT_EQ(form.CboPlantilla->currentText(), QStringLiteral("D'Angelo y Cía"));
    Plantillas::CargaComboPlantillas(Ventana, &form);
    EXPECT_EQ(form.CboPlantilla->currentText(), QStringLiteral("General"));
}

TEST_F(PlantillasDemo, applying_a_template_sets_the_options_saved_with_it)
{
    FrmPrueba form;
    form.txtNota->setText(QStringLiteral("O'Higgins 'centro'"));
    form.ChkCol[0]->setChecked(true);
    form.OptOrden[1]->setChecked(true);
    graba(form, QStringLiteral("Rosario's"));
    FrmPrueba otra;
    Plantillas::CargaComboPlantillas(Ventana, &otra);
    otra.CboPlantilla->setEditText(QStringLiteral("Rosario's"));

    EXPECT_TRUE(Plantillas::BotonPlantilla(Ventana, &otra));

    EXPECT_EQ(otra.txtNota->text(), QStringLiteral("O'Higgins 'centro'"));
    EXPECT_TRUE(otra.ChkCol[0]->isChecked());
    EXPECT_TRUE(otra.OptOrden[1]->isChecked());
    EXPECT_EQ(otra.CboPlantilla->currentText(), QStringLiteral("Rosario's"));
}

TEST_F(PlantillasDemo, a_blank_name_does_nothing_on_the_button_and_is_refused_in_the_menu)
{
    for (const QString& nombre : { QString(), QStringLiteral("   ") }) {
        FrmPrueba form;
        form.CboPlantilla->setEditText(nombre);
        testsupport::messages().clear();

        EXPECT_FALSE(Plantillas::BotonPlantilla(Ventana, &form));
        EXPECT_TRUE(testsupport::messages().shown().isEmpty());
        testsupport::messages().answer(Msg::Ok);
        EXPECT_FALSE(Plantillas::MenuPlantilla(QStringLiteral("Grabar"), Ventana, &form));

        ASSERT_EQ(testsupport::messages().shown().size(), 1);
        const testsupport::ShownBox& caja = testsupport::messages().shown().first();
        EXPECT_EQ(caja.text, QStringLiteral("Debe seleccionar una plantilla"));
        EXPECT_EQ(caja.title, QStringLiteral("Aviso al Operador"));
        EXPECT_EQ(caja.style, Msg::Information);
        EXPECT_TRUE(filasGuardadas(QStringLiteral("FrmPrueba@FrmPrueba@") + nombre).isEmpty());
    }
}

TEST_F(PlantillasDemo, menu_entries_save_apply_and_delete_after_asking)
{
    FrmPrueba form;
    form.CboPlantilla->setEditText(QStringLiteral("Minoristas"));
    form.chkSuelto->setChecked(true);
    EXPECT_FALSE(Plantillas::MenuPlantilla(QStringLiteral("grabar"), Ventana, &form));
    form.chkSuelto->setChecked(false);

    EXPECT_TRUE(Plantillas::MenuPlantilla(QStringLiteral("APLICAR"), Ventana, &form));
    EXPECT_TRUE(form.chkSuelto->isChecked());

    // No keeps the template.
    testsupport::messages().answer(Msg::No);
    Plantillas::MenuPlantilla(QStringLiteral("Eliminar"), Ventana, &form);
    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_EQ(testsupport::messages().shown().first().text,
        QStringLiteral("Seguro desea borrar la plantilla Minoristas"));
    EXPECT_EQ(testsupport::messages().shown().first().title, QStringLiteral("Aviso al Operador"));
    EXPECT_EQ(testsupport::messages().shown().first().style, Msg::YesNo + Msg::DefaultButton2);
    EXPECT_FALSE(filasGuardadas(QStringLiteral("FrmPrueba@FrmPrueba@Minoristas")).isEmpty());

    testsupport::messages().answer(Msg::Yes);
    form.CboPlantilla->setEditText(QStringLiteral("Minoristas"));
    Plantillas::MenuPlantilla(QStringLiteral("Eliminar"), Ventana, &form);
    EXPECT_TRUE(filasGuardadas(QStringLiteral("FrmPrueba@FrmPrueba@Minoristas")).isEmpty());
    EXPECT_EQ(entradas(form.CboPlantilla), QStringList { QStringLiteral("General") });
}

TEST_F(PlantillasDemo, a_name_with_leading_blanks_is_saved_as_typed_but_deleted_trimmed)
{
    FrmPrueba form;
    graba(form, QStringLiteral("  Ofertas"));
    graba(form, QStringLiteral("D'Angelo"));

    form.CboPlantilla->setEditText(QStringLiteral("  Ofertas"));
    Plantillas::BorraPlantillaForm(Ventana, &form);
    form.CboPlantilla->setEditText(QStringLiteral("D'Angelo"));
    Plantillas::BorraPlantillaForm(Ventana, &form);

    EXPECT_FALSE(filasGuardadas(QStringLiteral("FrmPrueba@FrmPrueba@  Ofertas")).isEmpty());
    EXPECT_TRUE(filasGuardadas(QStringLiteral("FrmPrueba@FrmPrueba@D'Angelo")).isEmpty());
}

TEST_F(PlantillasDemo, a_name_with_no_template_changes_nothing)
{
    FrmPrueba form;
    form.txtNota->setText(QStringLiteral("sin cambios"));
    form.CboPlantilla->setEditText(QStringLiteral("Inexistente"));

    Plantillas::AplicaPlantillaForm(Ventana, &form);

    EXPECT_EQ(form.txtNota->text(), QStringLiteral("sin cambios"));
    EXPECT_EQ(form.CmbCond->currentIndex(), 2);
}
