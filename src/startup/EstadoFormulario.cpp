#include "startup/EstadoFormulario.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

#include "platform/Environment.h"
#include "platform/IniFile.h"
#include "startup/VariablesInicio.h"

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

// A window stored on a screen that is no longer there comes back inside the screen it is on now.
void traeALaPantalla(QWidget* form)
{
    const QScreen* pantalla = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!pantalla)
        return;
    const QRect area = pantalla->availableGeometry();
    QPoint lugar = form->pos();
    if (lugar.x() < area.left() || lugar.x() >= area.right())
        lugar.setX(area.left());
    if (lugar.y() < area.top() || lugar.y() >= area.bottom())
        lugar.setY(area.top());
    form->move(lugar);
}

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
    const QString seccion = EstadoFormulario::seccion(form, nombre);
    if (!ini.sections().contains(seccion, Qt::CaseInsensitive))
        return;

    for (QWidget* control : form->findChildren<QWidget*>()) {
        if (!esPropio(control))
            continue;
        const QString n = control->objectName();
        if (auto* caja = qobject_cast<QLineEdit*>(control)) {
            if (ini.hasKey(seccion, n + Texto))
                caja->setText(ini.value(seccion, n + Texto));
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
        && leeEntero(ini, seccion, QStringLiteral("Top"), y)) {
        form->move(x, y);
        traeALaPantalla(form);
    }
    // A window of fixed size keeps the size its mode gives it.
    if (form->minimumSize() != form->maximumSize()) {
        int ancho = form->width();
        int alto = form->height();
        if (leeEntero(ini, seccion, QStringLiteral("Width"), ancho)
            && leeEntero(ini, seccion, QStringLiteral("Height"), alto))
            form->resize(ancho, alto);
    }
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
            ini.setValue(seccion, n + Texto, entreComillas(caja->text()));
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
