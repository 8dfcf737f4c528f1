#include "pricelists/Plantillas.h"

#include <QComboBox>
#include <QWidget>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/MessageDialog.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "pricelists/ConfigForm.h"

namespace Plantillas {

namespace {

const QString Titulo = QStringLiteral("Aviso al Operador");

QComboBox* cajaNombre(QWidget* ventana)
{
    return ventana ? ventana->findChild<QComboBox*>(QStringLiteral("CboPlantilla")) : nullptr;
}

QString nombrePlantilla(QWidget* ventana)
{
    const QComboBox* caja = cajaNombre(ventana);
    return caja ? caja->currentText() : QString();
}

QString marca(const QString& nombreVentana)
{
    return u'@' + nombreVentana + u'@';
}

} // namespace

QString sufijo(const QString& nombreVentana, const QString& plantilla)
{
    return marca(nombreVentana) + plantilla;
}

QString sentenciaLista(const QString& nombreVentana)
{
    return QStringLiteral("select formulario from ta_config_form where formulario like ")
        + ConsultasDatos::literal(u'%' + marca(nombreVentana) + u'%')
        + QStringLiteral(" group by formulario");
}

QString sentenciaBorrado(
    const QString& nombreFormulario, const QString& nombreVentana, const QString& plantilla)
{
    // The key is cut to its column as the save cut it, so a long name is deleted too. Templates
    // belong to no user: the rows go whoever saved them.
    const QString clave = (nombreFormulario + sufijo(nombreVentana, plantilla)).left(100);
    return QStringLiteral("Delete ta_config_form where formulario = ")
        + gDB().SQLValue(Value(clave));
}

bool GrabaPlantillaForm(const QString& nombreVentana, QWidget* ventana)
{
    const QString nombre = nombrePlantilla(ventana);
    bool grabada = false;
    Steps pasos = Steps::silent();
    pasos.run(
        [&] { grabada = ConfigForm::GuardaConfigForm(ventana, sufijo(nombreVentana, nombre)); });
    CargaComboPlantillas(nombreVentana, ventana);
    if (QComboBox* caja = cajaNombre(ventana))
        caja->setEditText(nombre);
    return grabada;
}

void AplicaPlantillaForm(const QString& nombreVentana, QWidget* ventana)
{
    Steps::silent().run([&] {
        ConfigForm::RecuperaConfigForm(ventana, sufijo(nombreVentana, nombrePlantilla(ventana)));
    });
}

void BorraPlantillaForm(const QString& nombreVentana, QWidget* ventana)
{
    Steps::silent().run([&] {
        gDB().EjecutaConsultaSQL(sentenciaBorrado(
            ventana->objectName(), nombreVentana, nombrePlantilla(ventana).trimmed()));
    });
    CargaComboPlantillas(nombreVentana, ventana);
}

void CargaComboPlantillas(const QString& nombreVentana, QWidget* ventana)
{
    QComboBox* caja = cajaNombre(ventana);
    if (!caja)
        return;
    caja->clear();
    QStringList nombres;
    Steps pasos = Steps::silent();
    AdoRecordset rs;
    pasos.run([&] { gDB().AbrirRecordset(sentenciaLista(nombreVentana), rs); });
    pasos.run([&] {
        const QString buscada = marca(nombreVentana);
        for (; !rs.Eof(); rs.MoveNext()) {
            const QString clave = gUtilidades()
                                      .ValorCampo(rs.Fields(QStringLiteral("formulario")).Value())
                                      .trimmed();
            // The list's LIKE takes "_" in a window name for any character: only keys that
            // really hold the window's mark are its templates.
            const qsizetype desde = clave.indexOf(buscada, 0, Qt::CaseInsensitive);
            if (desde >= 0)
                nombres.append(clave.mid(desde + buscada.size()));
        }
    });
    pasos.run([&] { gDB().CierraRecordset(rs); });

    if (nombres.isEmpty())
        caja->addItem(General);
    else
        caja->addItems(nombres);
    caja->setEditText(General);
}

bool BotonPlantilla(const QString& nombreVentana, QWidget* ventana)
{
    if (nombrePlantilla(ventana).trimmed().isEmpty())
        return false;
    AplicaPlantillaForm(nombreVentana, ventana);
    return true;
}

bool MenuPlantilla(const QString& clave, const QString& nombreVentana, QWidget* ventana)
{
    const QString nombre = nombrePlantilla(ventana);
    if (nombre.trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Debe seleccionar una plantilla"), Msg::Information, Titulo);
        return false;
    }
    if (clave.compare(QStringLiteral("Aplicar"), Qt::CaseInsensitive) == 0) {
        AplicaPlantillaForm(nombreVentana, ventana);
        return true;
    }
    if (clave.compare(QStringLiteral("Grabar"), Qt::CaseInsensitive) == 0) {
        GrabaPlantillaForm(nombreVentana, ventana);
    } else if (clave.compare(QStringLiteral("Eliminar"), Qt::CaseInsensitive) == 0) {
        const int respuesta = MsgBox(QStringLiteral("Seguro desea borrar la plantilla ") + nombre,
            Msg::YesNo + Msg::DefaultButton2, Titulo);
        if (respuesta == Msg::Yes)
            BorraPlantillaForm(nombreVentana, ventana);
    }
    return false;
}

} // namespace Plantillas
