#include "formhelpers/EstadoFormulario.h"

#include <algorithm>

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

#include "platform/Environment.h"
#include "platform/IniFile.h"
#include "platform/Utilidades.h"
#include "services/VariablesInicio.h"

namespace {

const QString Texto = QStringLiteral(".Text");
const QString Valor = QStringLiteral(".Value");
const QString Indice = QStringLiteral(".ListIndex");

// Controls the state is made of: named by the form, not Qt's inner parts (the line edit of an
// editable combo or of a spin box).
bool esPropio(const QWidget* control)
{
    const QString nombre = control->objectName();
    if (nombre.isEmpty() || nombre.startsWith(QLatin1String("qt_")))
        return false;
    const QWidget* padre = control->parentWidget();
    return !qobject_cast<const QComboBox*>(padre) && !qobject_cast<const QAbstractSpinBox*>(padre);
}

// Values are written between quotes so that leading and trailing blanks survive the INI reader.
QString entreComillas(const QString& valor)
{
    return u'"' + valor + u'"';
}

bool leeEntero(const IniFile& ini, const QString& seccion, const QString& clave, int& valor)
{
    if (!ini.hasKey(seccion, clave))
        return false;
    bool ok = false;
    const int leido = ini.value(seccion, clave).toInt(&ok);
    if (ok)
        valor = leido;
    return ok;
}

// A field the window marks as a date (Tag "FECHA") is stored in one fixed form, so that a state
// stored under one regional setting reads the same under another.
bool esFecha(const QLineEdit* caja)
{
    return caja->property("Tag").toString().compare(QLatin1String("FECHA"), Qt::CaseInsensitive)
        == 0;
}

QString fechaGuardada(const QString& texto)
{
    const QDate fecha = gUtilidades().LeeFecha(texto);
    return fecha.isValid() ? fecha.toString(Qt::ISODate) : texto;
}

// The stored date in the workstation's short form. Earlier runs stored the text as typed, in the
// regional form of their day: the workstation's order is tried first, then the other usual ones.
// A text that is no date at all comes back as it was, for the field's own check to refuse.
QString fechaRecuperada(const QString& guardado)
{
    QDate fecha = gUtilidades().LeeFecha(guardado);
    QString texto = guardado.trimmed();
    texto.replace(u'.', u'/').replace(u'-', u'/');
    for (const char* formato : { "d/M/yyyy", "M/d/yyyy" }) {
        if (!fecha.isValid())
            fecha = QDate::fromString(texto, QLatin1String(formato));
    }
    return fecha.isValid() ? QLocale().toString(fecha, Utilidades::FormatoFechaCorta()) : guardado;
}

// A window stored on another screen, or on a larger one, comes back wholly inside the screen it
// is on now: moved in, and made smaller where it does not fit (down to its minimum size).
void traeALaPantalla(QWidget* form)
{
    const QScreen* pantalla = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!pantalla)
        return;
    const QRect area = pantalla->availableGeometry();
    // The window manager's frame counts too; before the window first shows it is not known, so
    // room is left for a title bar and borders.
    const QRect marco = form->frameGeometry();
    const QRect cliente = form->geometry();
    const QSize bordes
        = form->isVisible() && marco != cliente ? marco.size() - cliente.size() : QSize(16, 48);
    const QSize cabe(std::min(form->width(), area.width() - bordes.width()),
        std::min(form->height(), area.height() - bordes.height()));
    if (cabe != form->size())
        form->resize(cabe);
    const QSize total = form->size() + bordes;
    const QPoint lugar(std::max(area.left(), std::min(form->x(), area.right() + 1 - total.width())),
        std::max(area.top(), std::min(form->y(), area.bottom() + 1 - total.height())));
    // A window left where the window manager puts it keeps that place when it fits.
    if (lugar != form->pos())
        form->move(lugar);
}

// A window may still take its mode's size after its state came back (the price-list window
// does): the screen is checked again as it first shows, before the window manager places it.
class AlMostrarse final : public QObject
{
public:
    static inline const QString Nombre = QStringLiteral("EstadoFormularioAlMostrarse");

    explicit AlMostrarse(QWidget* form)
        : QObject(form)
    {
        setObjectName(Nombre);
        form->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched == parent()) {
            traeALaPantalla(static_cast<QWidget*>(watched));
            deleteLater();
        }
        return false;
    }
};

} // namespace

EstadoFormulario::EstadoFormulario(QString archivo)
    : m_archivo(std::move(archivo))
{
}

QString EstadoFormulario::archivoPorDefecto()
{
    const QString carpeta = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return carpeta + u'/' + executableName() + QStringLiteral("/EstadoFormularios.ini");
}

QString EstadoFormulario::seccion(const QWidget* form, const QString& nombre)
{
    QString seccion = seccionSinVariante(form, nombre);
    const QString variante = form->property("VarianteEstado").toString();
    if (!variante.isEmpty())
        seccion.insert(seccion.lastIndexOf(u'|'), u'#' + variante);
    return seccion;
}

QString EstadoFormulario::seccionSinVariante(const QWidget* form, const QString& nombre)
{
    QString usuario;
    if (const VariablesInicio* inicio = Service<VariablesInicio>::tryGet())
        usuario = inicio->gUsuarioLogeado.trimmed().toUpper();
    QString seccion = form->objectName();
    if (!nombre.isEmpty())
        seccion += u'@' + nombre;
    return seccion + u'|' + usuario;
}

void EstadoFormulario::PreparaFormulario(QWidget* form, bool modal)
{
    // The window is placed by the form look before this runs; nothing else needs readying.
    Q_UNUSED(form);
    Q_UNUSED(modal);
}

void EstadoFormulario::RecuperaEstadoFormulario(QWidget* form, const QString& nombre)
{
    if (!form)
        return;
    IniFile ini;
    if (!ini.load(m_archivo))
        return;
    QString seccion = EstadoFormulario::seccion(form, nombre);
    // Before windows kept a state per variant, one state served them all: it still comes back
    // until the variant stores its own.
    if (!ini.sections().contains(seccion, Qt::CaseInsensitive))
        seccion = seccionSinVariante(form, nombre);
    if (!ini.sections().contains(seccion, Qt::CaseInsensitive))
        return;

    for (QWidget* control : form->findChildren<QWidget*>()) {
        if (!esPropio(control))
            continue;
        const QString n = control->objectName();
        if (auto* caja = qobject_cast<QLineEdit*>(control)) {
            if (ini.hasKey(seccion, n + Texto)) {
                const QString valor = ini.value(seccion, n + Texto);
                caja->setText(esFecha(caja) ? fechaRecuperada(valor) : valor);
            }
        } else if (auto* opcion = qobject_cast<QRadioButton*>(control)) {
            // Only the chosen option is put back: choosing it clears the others of its group.
            int valor = 0;
            if (leeEntero(ini, seccion, n + Valor, valor) && valor != 0)
                opcion->setChecked(true);
        } else if (auto* tilde = qobject_cast<QCheckBox*>(control)) {
            int valor = 0;
            if (leeEntero(ini, seccion, n + Valor, valor) && valor >= 0 && valor <= 2)
                tilde->setCheckState(Qt::CheckState(valor));
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            int valor = -1;
            if (leeEntero(ini, seccion, n + Indice, valor) && valor >= 0 && valor < combo->count())
                combo->setCurrentIndex(valor);
        }
    }

    int x = form->x();
    int y = form->y();
    if (leeEntero(ini, seccion, QStringLiteral("Left"), x)
        && leeEntero(ini, seccion, QStringLiteral("Top"), y))
        form->move(x, y);
    // A window of fixed size keeps the size its mode gives it.
    if (form->minimumSize() != form->maximumSize()) {
        int ancho = form->width();
        int alto = form->height();
        if (leeEntero(ini, seccion, QStringLiteral("Width"), ancho)
            && leeEntero(ini, seccion, QStringLiteral("Height"), alto))
            form->resize(ancho, alto);
    }
    traeALaPantalla(form);
    if (!form->isVisible()
        && !form->findChild<QObject*>(AlMostrarse::Nombre, Qt::FindDirectChildrenOnly))
        new AlMostrarse(form);
}

void EstadoFormulario::GuardaEstadoFormulario(QWidget* form, const QString& nombre)
{
    if (!form)
        return;
    IniFile ini;
    if (!ini.load(m_archivo)) {
        // A new state file is written in UTF-8 (the mark tells the reader), so any text typed in
        // a field comes back as it was.
        QDir().mkpath(QFileInfo(m_archivo).absolutePath());
        QFile nuevo(m_archivo);
        if (nuevo.open(QIODevice::WriteOnly))
            nuevo.write("\xEF\xBB\xBF");
        nuevo.close();
        ini.load(m_archivo);
    }
    const QString seccion = EstadoFormulario::seccion(form, nombre);

    for (QWidget* control : form->findChildren<QWidget*>()) {
        if (!esPropio(control))
            continue;
        const QString n = control->objectName();
        if (auto* caja = qobject_cast<QLineEdit*>(control)) {
            ini.setValue(seccion, n + Texto,
                entreComillas(esFecha(caja) ? fechaGuardada(caja->text()) : caja->text()));
        } else if (auto* opcion = qobject_cast<QRadioButton*>(control)) {
            ini.setValue(seccion, n + Valor,
                opcion->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
        } else if (auto* tilde = qobject_cast<QCheckBox*>(control)) {
            ini.setValue(seccion, n + Valor, QString::number(int(tilde->checkState())));
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            ini.setValue(seccion, n + Indice, QString::number(combo->currentIndex()));
        }
    }
    ini.setValue(seccion, QStringLiteral("Left"), QString::number(form->x()));
    ini.setValue(seccion, QStringLiteral("Top"), QString::number(form->y()));
    ini.setValue(seccion, QStringLiteral("Width"), QString::number(form->width()));
    ini.setValue(seccion, QStringLiteral("Height"), QString::number(form->height()));
    ini.save(m_archivo);
}
