#include "formhelpers/EstiloFormulario.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

#include "data/DataObjects.h"
#include "formhelpers/Controles.h"
#include "formhelpers/SkinFramework.h"
#include "platform/Service.h"
#include "services/Globales.h"
#include "services/VariablesInicio.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

namespace {

// The look each style file of the test program folder stands for, so a test can tell them apart.
const char* const LookFiles[][2] = {
    { "styles/vista.cjstyles", "QWidget { color: #000001; }" },
    { "styles/winxp.luna.cjstyles", "QWidget { color: #000002; }" },
    { "styles/winxp.royale.cjstyles", "QWidget { color: #000003; }" },
    { "styles/itunes/normalitunes.ini", "QWidget { color: #000004; }" },
    { "styles/office2007.cjstyles", "QWidget { color: #000000; }" },
};

QString look(int n)
{
    return QStringLiteral("QWidget { color: #00000%1; }").arg(n);
}

class EstiloFormularioTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Written in lower case: the program's "Styles/..." names must still find them.
        testsupport::environment().setExecutableFolder(m_home.path());
        for (const auto& file : LookFiles)
            write(QString::fromLatin1(file[0]), file[1]);
        m_data.gDB.gDBName = QStringLiteral("Demo");
    }

    void write(const QString& name, const QByteArray& content)
    {
        const QString path = m_home.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    QTemporaryDir m_home;
    DataObjects m_data;
    ScopedService<DataObjects> m_dataService { m_data };
    Globales m_globales;
    ScopedService<Globales> m_globalesService { m_globales };
    VariablesInicio m_inicio;
    ScopedService<VariablesInicio> m_inicioService { m_inicio };
    Controles m_controles;
    ScopedService<Controles> m_controlesService { m_controles };
};

class FrmMDI : public QWidget
{
    Q_OBJECT
};

QToolBar* addToolbar(QWidget& form, const QString& name)
{
    auto* bar = new QToolBar(&form);
    bar->setObjectName(name);
    bar->addAction(QStringLiteral("Pantalla"));
    return bar;
}

bool flat(QToolBar* bar)
{
    const QList<QToolButton*> buttons = bar->findChildren<QToolButton*>();
    return !buttons.isEmpty() && buttons.first()->autoRaise();
}

} // namespace

TEST_F(EstiloFormularioTest, the_stored_skin_number_chooses_the_look)
{
    struct Row
    {
        const char* stored; // nullptr: no key for this user and database
        qint16 skin;
        int look;
    };
    const Row rows[] = {
        { nullptr, 4, 4 },
        { "1", 1, 1 },
        { "2", 2, 2 },
        { "3", 3, 3 },
        { "4", 4, 4 },
        { "2.6", 3, 3 }, // rounded to the nearest
        { "2.5", 2, 2 }, // half to even, as the suite's conversion
        { " 1 ", 1, 1 },
        { "abc", 0, 0 }, // no number: 0, the Office look
        { "7", 7, 0 },
    };
    for (const Row& row : rows) {
        write(QStringLiteral("ZR417px.INI"),
            row.stored ? QByteArray("[OPERADOR_DEMOStyles]\r\nStyles=") + row.stored + "\r\n"
                       : QByteArray("[OTRO_DEMOStyles]\r\nStyles=1\r\n"));
        QWidget form;

        EstiloFormulario::AplicaSkinFormulario(&form);

        SCOPED_TRACE(row.stored ? row.stored : "(none)");
        EXPECT_EQ(m_globales.gEstiloSkin, row.skin);
        EXPECT_EQ(form.styleSheet(), look(row.look));
        auto* skin = form.findChild<SkinFramework*>(QStringLiteral("SkinFramework1"));
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(skin->ApplyOptions() & 1, 1);
    }
}

TEST_F(EstiloFormularioTest, each_database_keeps_its_own_choice_for_the_same_user)
{
    write(QStringLiteral("zr417px.ini"),
        "[OPERADOR_DEMOStyles]\r\nStyles=1\r\n[OPERADOR_SUCURSALStyles]\r\nStyles=3\r\n");
    QWidget demo;
    QWidget sucursal;

    EstiloFormulario::AplicaSkinFormulario(&demo);
    m_data.gDB.gDBName = QStringLiteral("sucursal");
    EstiloFormulario::AplicaSkinFormulario(&sucursal);

    EXPECT_EQ(demo.styleSheet(), look(1));
    EXPECT_EQ(sucursal.styleSheet(), look(3));
}

TEST_F(EstiloFormularioTest, a_missing_look_is_silent_and_the_window_is_still_dressed)
{
    QFile::remove(m_home.filePath(QStringLiteral("styles/itunes/normalitunes.ini")));
    QWidget form;
    form.setStyleSheet(QStringLiteral("QWidget { color: red; }"));
    auto* skin = new SkinFramework(&form);
    skin->setObjectName(QStringLiteral("SkinFramework1"));
    skin->setApplyOptions(4);

    EstiloFormulario::AplicaSkinFormulario(&form);

    // Nothing loaded, so the window gets the plain look; the other option bits stay.
    EXPECT_TRUE(form.styleSheet().isEmpty());
    EXPECT_EQ(skin->ApplyOptions(), 5);
    EXPECT_EQ(form.findChildren<SkinFramework*>().size(), 1);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(EstiloFormularioTest, every_look_of_the_table_is_shipped)
{
    const char* const shipped[] = { "Styles/Vista.cjstyles", "Styles/WinXP.Luna.cjstyles",
        "Styles/WinXP.Royale.cjstyles", "Styles/Office2007.cjstyles" };
    SkinFramework skin;
    for (const char* path : shipped) {
        EXPECT_NO_THROW(
            skin.LoadSkin(QStringLiteral(RP_SHARE_DIR "/") + QLatin1String(path), QString()))
            << path;
        EXPECT_FALSE(skin.styleSheet().isEmpty()) << path;
    }
    EXPECT_NO_THROW(skin.LoadSkin(
        QStringLiteral(RP_SHARE_DIR "/Styles/iTunes"), QStringLiteral("Normalitunes.ini")));
    EXPECT_TRUE(skin.styleFile().endsWith(QStringLiteral("iTunes/Normalitunes.ini")));
    EXPECT_TRUE(QFile::exists(QStringLiteral(RP_SHARE_DIR "/corvane.ico")));
}

TEST_F(EstiloFormularioTest, toolbars_take_the_workstation_style)
{
    struct Row
    {
        Value style;
        bool flatButtons;
    };
    const Row rows[] = {
        { Value(QStringLiteral("1")), true },
        { Value(QStringLiteral("0")), false },
        { Value(qint32(1)), true },
    };
    for (const Row& row : rows) {
        m_inicio.gFlatToolbars = row.style;
        QWidget form;
        // The main window has only the report toolbar; the other two names are skipped.
        QToolBar* report = addToolbar(form, QStringLiteral("TBarRep1"));
        report->findChildren<QToolButton*>().first()->setAutoRaise(!row.flatButtons);

        EstiloFormulario::AplicaIconoYBarras(&form);

        EXPECT_EQ(flat(report), row.flatButtons);
        EXPECT_EQ(report->property("StyleBar").toInt(), row.flatButtons ? 1 : 0);
        EXPECT_FALSE(form.windowIcon().isNull());
    }
}

TEST_F(EstiloFormularioTest, a_style_that_is_no_number_leaves_the_toolbars_as_they_are)
{
    m_inicio.gFlatToolbars = Value(QStringLiteral("plano"));
    QWidget form;
    QToolBar* first = addToolbar(form, QStringLiteral("UtilKzq1"));
    QToolBar* last = addToolbar(form, QStringLiteral("Util0011"));

    EstiloFormulario::AplicaIconoYBarras(&form);

    EXPECT_FALSE(first->property("StyleBar").isValid());
    EXPECT_FALSE(last->property("StyleBar").isValid());
    EXPECT_FALSE(form.windowIcon().isNull());
}

TEST_F(EstiloFormularioTest, the_mdi_frame_gets_its_icon_and_nothing_else)
{
    m_inicio.gFlatToolbars = Value(QStringLiteral("0"));
    FrmMDI frame;
    QToolBar* bar = addToolbar(frame, QStringLiteral("TBarRep1"));

    EstiloFormulario::AplicaIconoYBarras(&frame);

    EXPECT_FALSE(frame.windowIcon().isNull());
    EXPECT_FALSE(bar->property("StyleBar").isValid());
    EXPECT_TRUE(flat(bar)); // Qt's own default, untouched
}

TEST(ClaveEstacion, is_machine_and_user_upper_cased_and_cut_to_fifty)
{
    testsupport::environment().setComputerName(QStringLiteral("caja-2"));
    testsupport::environment().setUserName(QStringLiteral("María"));
    EXPECT_EQ(ClaveEstacion(), QStringLiteral("CAJA-2|MARÍA"));

    testsupport::environment().setComputerName(QString(40, u'p'));
    testsupport::environment().setUserName(QStringLiteral("administrador"));
    EXPECT_EQ(ClaveEstacion(), QString(40, u'P') + QStringLiteral("|ADMINISTR"));
}

#include "EstiloFormulario_test.moc"
