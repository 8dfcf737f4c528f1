#include "formhelpers/EstadoFormulario.h"

#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "services/VariablesInicio.h"

namespace {

// A small window with one control of each kind the store keeps.
struct Ventana
{
    Ventana()
    {
        form.setObjectName(QStringLiteral("FrmPrueba"));
        auto* capa = new QVBoxLayout(&form);
        texto = agrega<QLineEdit>(capa, QStringLiteral("txtfields_0"));
        tilde = agrega<QCheckBox>(capa, QStringLiteral("ChkFiltro_1"));
        opcionA = agrega<QRadioButton>(capa, QStringLiteral("OptOrden_0"));
        opcionB = agrega<QRadioButton>(capa, QStringLiteral("OptOrden_1"));
        combo = agrega<QComboBox>(capa, QStringLiteral("CmbCpra_Vta"));
        combo->addItems({ QString(), QStringLiteral("Contado"), QStringLiteral("Tarjeta") });
        sinNombre = agrega<QLineEdit>(capa, QString());
        opcionA->setChecked(true);
        form.setFixedSize(300, 200);
    }
    template <typename T> T* agrega(QVBoxLayout* capa, const QString& nombre)
    {
        auto* control = new T(&form);
        control->setObjectName(nombre);
        capa->addWidget(control);
        return control;
    }

    QWidget form;
    QLineEdit* texto;
    QCheckBox* tilde;
    QRadioButton* opcionA;
    QRadioButton* opcionB;
    QComboBox* combo;
    QLineEdit* sinNombre;
};

class EstadoFormularioTest : public ::testing::Test
{
protected:
    QString archivo() const { return m_dir.filePath(QStringLiteral("conf/EstadoFormularios.ini")); }

    QTemporaryDir m_dir;
    EstadoFormulario m_estado { archivo() };
    VariablesInicio m_inicio;
    ScopedService<VariablesInicio> m_inicioService { m_inicio };
};

} // namespace

TEST_F(EstadoFormularioTest, what_was_stored_comes_back_in_a_new_window)
{
    m_inicio.gUsuarioLogeado = QStringLiteral("vendedor");
    Ventana antes;
    antes.texto->setText(QStringLiteral("  Ñandú 'D'  "));
    antes.tilde->setChecked(true);
    antes.opcionB->setChecked(true);
    antes.combo->setCurrentIndex(2);
    antes.sinNombre->setText(QStringLiteral("no se guarda"));
    antes.form.move(40, 30);
    m_estado.GuardaEstadoFormulario(&antes.form);

    Ventana despues;
    m_estado.RecuperaEstadoFormulario(&despues.form);

    EXPECT_EQ(despues.texto->text(), QStringLiteral("  Ñandú 'D'  "));
    EXPECT_TRUE(despues.tilde->isChecked());
    EXPECT_TRUE(despues.opcionB->isChecked());
    EXPECT_FALSE(despues.opcionA->isChecked());
    EXPECT_EQ(despues.combo->currentIndex(), 2);
    EXPECT_EQ(despues.sinNombre->text(), QString());
    EXPECT_EQ(despues.form.size(), QSize(300, 200));
    IniFile ini;
    ASSERT_TRUE(ini.load(archivo()));
    EXPECT_EQ(ini.sections(), QStringList { QStringLiteral("FrmPrueba|VENDEDOR") });
    EXPECT_EQ(ini.value(QStringLiteral("FrmPrueba|VENDEDOR"), QStringLiteral("ChkFiltro_1.Value")),
        QStringLiteral("2"));
}

TEST_F(EstadoFormularioTest, each_user_and_name_keeps_a_state_of_its_own)
{
    m_inicio.gUsuarioLogeado = QStringLiteral("ana");
    Ventana deAna;
    deAna.texto->setText(QStringLiteral("de Ana"));
    m_estado.GuardaEstadoFormulario(&deAna.form);
    deAna.texto->setText(QStringLiteral("plantilla"));
    m_estado.GuardaEstadoFormulario(&deAna.form, QStringLiteral("Mayoristas"));

    m_inicio.gUsuarioLogeado = QStringLiteral("beto");
    Ventana deBeto;
    m_estado.RecuperaEstadoFormulario(&deBeto.form);
    EXPECT_EQ(deBeto.texto->text(), QString());

    m_inicio.gUsuarioLogeado = QStringLiteral("ANA");
    m_estado.RecuperaEstadoFormulario(&deBeto.form);
    EXPECT_EQ(deBeto.texto->text(), QStringLiteral("de Ana"));
    m_estado.RecuperaEstadoFormulario(&deBeto.form, QStringLiteral("Mayoristas"));
    EXPECT_EQ(deBeto.texto->text(), QStringLiteral("plantilla"));
}

TEST_F(EstadoFormularioTest, a_missing_or_stale_state_changes_nothing_it_cannot_apply)
{
    Ventana ventana;
    ventana.texto->setText(QStringLiteral("tal cual"));
    m_estado.RecuperaEstadoFormulario(&ventana.form); // no file yet
    EXPECT_EQ(ventana.texto->text(), QStringLiteral("tal cual"));

    ventana.combo->setCurrentIndex(2);
    m_estado.GuardaEstadoFormulario(&ventana.form);
    Ventana vacia;
    vacia.combo->clear(); // the list is filled later than the state comes back
    vacia.form.move(-5000, 99999); // stored off every screen
    m_estado.GuardaEstadoFormulario(&vacia.form, QStringLiteral("fuera"));
    m_estado.RecuperaEstadoFormulario(&vacia.form);
    EXPECT_EQ(vacia.combo->currentIndex(), -1);

    m_estado.RecuperaEstadoFormulario(&vacia.form, QStringLiteral("fuera"));
    EXPECT_GE(vacia.form.x(), 0);
    EXPECT_GE(vacia.form.y(), 0);
    EXPECT_LT(vacia.form.y(), 99999);
}

TEST_F(EstadoFormularioTest, a_date_comes_back_whatever_regional_setting_stored_it)
{
    const QLocale antes;
    const std::shared_ptr<void> restaura(nullptr, [antes](void*) { QLocale::setDefault(antes); });
    Ventana ventana;
    ventana.texto->setProperty("Tag", QStringLiteral("FECHA"));
    const QString seccion = EstadoFormulario::seccion(&ventana.form, QString());
    const QString clave = QStringLiteral("txtfields_0.Text");
    const struct
    {
        const char* caso;
        QLocale guarda;
        QString tipeado;
        QLocale recupera;
        QString guardado;
        QString vuelve;
    } casos[] = {
        { "stored in English, read in Spanish", QLocale(QLocale::English, QLocale::UnitedStates),
            QStringLiteral("12/31/2026"), antes, QStringLiteral("2026-12-31"),
            QStringLiteral("31/12/2026") },
        { "stored in Spanish, read in English", antes, QStringLiteral("05/01/2026"),
            QLocale(QLocale::English, QLocale::UnitedStates), QStringLiteral("2026-01-05"),
            QStringLiteral("01/05/2026") },
        { "not a date: kept as typed", antes, QStringLiteral("31/13/2026"), antes,
            QStringLiteral("31/13/2026"), QStringLiteral("31/13/2026") },
    };
    for (const auto& c : casos) {
        QLocale::setDefault(c.guarda);
        ventana.texto->setText(c.tipeado);
        m_estado.GuardaEstadoFormulario(&ventana.form);
        IniFile ini;
        ASSERT_TRUE(ini.load(archivo()));
        QLocale::setDefault(c.recupera);
        ventana.texto->clear();
        m_estado.RecuperaEstadoFormulario(&ventana.form);

        EXPECT_EQ(ini.value(seccion, clave), c.guardado) << c.caso;
        EXPECT_EQ(ventana.texto->text(), c.vuelve) << c.caso;
    }

    // Earlier runs stored the text as typed, in their own regional form; a date that reads
    // either way is the workstation's day first.
    const QStringList deAntes[] = { { QStringLiteral("12/31/2026"), QStringLiteral("31/12/2026") },
        { QStringLiteral("31.12.2026"), QStringLiteral("31/12/2026") },
        { QStringLiteral("05/01/2026"), QStringLiteral("05/01/2026") } };
    for (const QStringList& caso : deAntes) {
        IniFile ini;
        ASSERT_TRUE(ini.load(archivo()));
        ini.setValue(seccion, clave, u'"' + caso[0] + u'"');
        ASSERT_TRUE(ini.save(archivo()));
        m_estado.RecuperaEstadoFormulario(&ventana.form);
        EXPECT_EQ(ventana.texto->text(), caso[1]) << caso[0].toStdString();
    }
}

// A place stored on a larger screen: the whole window comes back on this one, moved in and made
// smaller where it does not fit.
TEST_F(EstadoFormularioTest, a_window_from_a_larger_screen_comes_back_wholly_on_this_one)
{
    QWidget ventana;
    ventana.setObjectName(QStringLiteral("FrmGrande"));
    const QRect area = ventana.screen()->availableGeometry();
    const struct
    {
        const char* caso;
        QRect guardado;
    } casos[] = {
        { "right and bottom edges off", QRect(area.center(), area.size() * 3 / 4) },
        { "larger than the screen", QRect(area.topLeft(), area.size() * 2) },
        { "fits where it was", QRect(area.topLeft() + QPoint(10, 10), area.size() / 2) },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        ventana.move(c.guardado.topLeft());
        ventana.resize(c.guardado.size());
        m_estado.GuardaEstadoFormulario(&ventana);
        ventana.move(area.topLeft());
        ventana.resize(100, 100);

        m_estado.RecuperaEstadoFormulario(&ventana);

        EXPECT_TRUE(area.contains(QRect(ventana.pos(), ventana.size())))
            << ventana.x() << "," << ventana.y() << " " << ventana.width() << "x"
            << ventana.height();
        if (area.contains(c.guardado.adjusted(0, 0, 16, 48))) {
            EXPECT_EQ(QRect(ventana.pos(), ventana.size()), c.guardado);
        }
    }

    // The size its mode gives it after the state came back still fits as the window shows, its
    // frame and title bar too: the bottom edge stays on the screen.
    ventana.move(area.center());
    ventana.resize(area.size() / 4);
    m_estado.GuardaEstadoFormulario(&ventana);
    m_estado.RecuperaEstadoFormulario(&ventana);
    ventana.setFixedSize(area.size() * 3 / 4);

    ventana.show();

    ASSERT_NE(ventana.frameGeometry().size(), ventana.size()) << "a frame the test can see";
    EXPECT_TRUE(area.contains(ventana.frameGeometry()))
        << ventana.frameGeometry().bottom() << " below " << area.bottom();
}
