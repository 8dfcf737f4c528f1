#include "formhelpers/EstiloFormulario.h"

#include <cmath>

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include "data/DataObjects.h"
#include "formhelpers/Controles.h"
#include "formhelpers/SkinFramework.h"
#include "platform/Entorno.h"
#include "platform/Environment.h"
#include "platform/FileNames.h"
#include "platform/LeadingNumber.h"
#include "platform/LectorIni.h"
#include "platform/RuntimeError.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "services/Globales.h"
#include "services/VariablesInicio.h"

// The built-in icon lives in this static library's resources; the library registers them itself
// so that no executable has to.
static void registraRecursos()
{
    Q_INIT_RESOURCE(formhelpers);
}

namespace EstiloFormulario {

namespace {

struct Skin
{
    const char* path;
    const char* scheme;
};

// Indexed by skin number; entry 0 serves every number outside 1..4.
constexpr Skin Skins[] = {
    { "Styles/Office2007.cjstyles", "" },
    { "Styles/Vista.cjstyles", "" },
    { "Styles/WinXP.Luna.cjstyles", "" },
    { "Styles/WinXP.Royale.cjstyles", "" },
    { "Styles/iTunes", "Normalitunes.ini" },
};

const QString IniFile = QStringLiteral("ZR417px.INI");
const QString SkinControl = QStringLiteral("SkinFramework1");
const char* const Toolbars[] = { "UtilKzq1", "TBarRep1", "Util0011" };

// The stored skin text as a skin number: its leading number rounded half to even, as the suite's
// integer conversion does; a number beyond the 16-bit range is an overflow.
qint16 numeroSkin(const QString& text)
{
    const double rounded = std::nearbyint(leadingNumber(text));
    if (rounded < -32768.0 || rounded > 32767.0)
        throw RuntimeError(6, QStringLiteral("Overflow"));
    return qint16(rounded);
}

SkinFramework* controlSkin(QWidget* form)
{
    if (auto* skin = form->findChild<SkinFramework*>(SkinControl, Qt::FindDirectChildrenOnly))
        return skin;
    auto* skin = new SkinFramework(form);
    skin->setObjectName(SkinControl);
    return skin;
}

void aplicaEstiloBarra(QObject* toolbar, const Value& style)
{
    const qint64 estilo = style.toLongLong(); // text that is no number raises 13: skipped
    toolbar->setProperty("StyleBar", QVariant::fromValue(estilo));
    if (toolbar->metaObject()->indexOfProperty("StyleBar") >= 0)
        return;
    // A plain tool bar: standard (0) buttons keep their frame, flat ones show it on hover only.
    if (auto* bar = qobject_cast<QToolBar*>(toolbar)) {
        for (QToolButton* button : bar->findChildren<QToolButton*>())
            button->setAutoRaise(estilo != 0);
    }
}

} // namespace

void AplicaSkinFormulario(QWidget* form)
{
    if (!form)
        return;
    Globales& globales = gGlobales();
    Steps pasos = Steps::silent();

    pasos.run([&] {
        // One choice per Windows user and database: the same user keeps another look elsewhere.
        const QString seccion = gEntorno().UsuarioWindows().toUpper() + u'_'
            + gDB().gDBName.toUpper() + QStringLiteral("Styles");
        const QString texto
            = gLectorIni().LeeIni(IniFile, seccion, QStringLiteral("Styles"), QStringLiteral("4"));
        globales.gEstiloSkin = numeroSkin(texto);
    });

    SkinFramework* skin = controlSkin(form);
    const int numero = globales.gEstiloSkin;
    const Skin& fila = Skins[numero >= 1 && numero <= 4 ? numero : 0];
    pasos.run([&] {
        skin->LoadSkin(gUtilidades().RutaConBarra(programFolder()) + QLatin1String(fila.path),
            QLatin1String(fila.scheme));
    });
    // Applied even when the look did not load: the window then keeps the plain look.
    pasos.run([&] { skin->ApplyWindow(form); });
    pasos.run([&] { skin->setApplyOptions(skin->ApplyOptions() | 1); });
}

void AplicaIconoYBarras(QWidget* form)
{
    if (!form)
        return;
    Steps pasos = Steps::silent();

    pasos.run([&] {
        registraRecursos();
        const QPixmap icono(QStringLiteral(":/ICONCORVANE"));
        // A missing resource leaves the icon the form already had.
        if (!icono.isNull())
            form->setWindowIcon(QIcon(icono));
    });
    pasos.run([&] {
        if (form->windowIcon().isNull()) {
            const QString archivo = FileNames::inProgramFolder(QStringLiteral("corvane.ico"));
            form->setWindowIcon(QIcon(archivo));
        }
    });

    if (QString::fromLatin1(form->metaObject()->className())
            .compare(QStringLiteral("FRMMDI"), Qt::CaseInsensitive)
        == 0)
        return;

    pasos.run([&] { gControles().PreparaVentana(form); });
    for (const char* nombre : Toolbars) {
        pasos.run([&] {
            if (QObject* barra = form->findChild<QObject*>(QLatin1String(nombre)))
                aplicaEstiloBarra(barra, gInicio().gFlatToolbars);
        });
    }
    QCoreApplication::processEvents();
}

} // namespace EstiloFormulario
