// The sender's contacts: the recipient's contact data beside "Para", the recipient and WhatsApp
// lookups, and every mailed recipient kept as a contact.
#include "sending/FrmEnviar.h"
#include "ui_FrmEnviar.h"

#include <QApplication>
#include <QKeyEvent>

#include "data/DataObjects.h"
#include "lookup/Lib_ClsCons3.h"
#include "platform/AdoRecordset.h"
#include "platform/Utilidades.h"
#include "sending/MensajeCorreo.h"
#include "sending/eMailAux.h"
#include "startup/ConstructorSentencias.h"
#include "startup/Globales.h"
#include "startup/ManejoErrores.h"
#include "startup/RegistrosAccion.h"
#include "startup/VariablesInicio.h"

namespace {

const QString SeleccionMultiple = QStringLiteral("Seleccion Multiple");

QString literal(QString texto)
{
    return texto.replace(u'\'', QStringLiteral("''"));
}

// "email = 'a' or email = 'b'" over the addresses that are not empty: an empty one would match
// every contact stored without an address.
QString porDireccion(const QStringList& direcciones)
{
    QStringList partes;
    for (const QString& d : direcciones) {
        if (!d.isEmpty())
            partes << QStringLiteral("email = '") + literal(d) + u'\'';
    }
    return partes.join(QStringLiteral(" or "));
}

void ejecutaSentencias()
{
    Globales& g = gGlobales();
    bool hayError = false;
    qint32 numero = 0;
    QString script, descripcion;
    GActualizarDatoScript(g.gSentenciasSQL, hayError, numero, false, false, script, descripcion,
        true);
    g.gSentenciasSQL.clear();
    g.gCamposValores.reset();
}

} // namespace

QLineEdit* FrmEnviar::campoContacto(int indice) const
{
    switch (indice) {
    case 0:
        return ui->TxtNombre;
    case 1:
        return ui->TxtCargo;
    default:
        return ui->TxtTelefono;
    }
}

QString FrmEnviar::marcaContacto(int indice)
{
    static const QString marcas[] = { QStringLiteral("Ingrese el Nombre"),
        QStringLiteral("Ingrese el Cargo"), QStringLiteral("Ingrese el Celular") };
    return marcas[qBound(0, indice, 2)];
}

void FrmEnviar::muestraContacto(int indice, const QString& valor)
{
    QLineEdit* campo = campoContacto(indice);
    const bool marca = valor.isEmpty();
    campo->setText(marca ? marcaContacto(indice) : valor);
    QPalette p = campo->palette();
    p.setColor(QPalette::Text,
        QApplication::palette().color(marca ? QPalette::Disabled : QPalette::Active,
            QPalette::Text));
    campo->setPalette(p);
}

bool FrmEnviar::muestraMarca(int indice) const
{
    return campoContacto(indice)->text().compare(marcaContacto(indice), Qt::CaseInsensitive) == 0;
}

void FrmEnviar::contactoVacio()
{
    muestraContacto(0, QString());
    // The name starts empty, ready to be typed, not showing its placeholder.
    ui->TxtNombre->clear();
    QPalette p = ui->TxtNombre->palette();
    p.setColor(QPalette::Text, QApplication::palette().color(QPalette::Active, QPalette::Text));
    ui->TxtNombre->setPalette(p);
    muestraContacto(1, QString());
    muestraContacto(2, QString());
    if (isVisible())
        ui->TxtNombre->setFocus();
}

void FrmEnviar::VerificarContacto()
{
    controles();
    Steps pasos = Steps::silent();
    const QString para = texto(QStringLiteral("Para")).trimmed();
    bool encontrado = false;
    if (!para.isEmpty()) {
        pasos.run([&] {
            AdoRecordset rs;
            gDB().AbrirRecordset(QStringLiteral("select Contacto as Nombre_y_Apellido, Cargo, "
                                                "Telefono, email  from vt_e_mail where email = '")
                    + literal(para) + u'\'',
                rs);
            if (!rs.Eof()) {
                encontrado = true;
                const char* const columnas[] = { "Nombre_y_Apellido", "Cargo", "Telefono" };
                for (int i = 0; i < 3; ++i)
                    muestraContacto(i,
                        gUtilidades().ValorCampo(rs.Fields(QString::fromLatin1(columnas[i])).Value()));
            }
            gDB().CierraRecordset(rs);
        });
    }
    if (!encontrado)
        pasos.run([&] { contactoVacio(); });

    const VariablesInicio* inicio = Service<VariablesInicio>::tryGet();
    if (inicio
        && inicio->gParametroAdicional.compare(QLatin1String("Email_Prueba"), Qt::CaseInsensitive)
            == 0) {
        setTexto(QStringLiteral("Asunto"), QStringLiteral("MENSAJE DE PRUEBA ORBA LIS"));
        setTexto(QStringLiteral("Mensaje"),
            QStringLiteral("Este es un mensaje de prueba para ajustar el envio de e-mail, si lo "
                           "recibe le agradecira responder. ")
                + QStringLiteral("\r\nMuchas gracias\r\n\r\n") + inicio->gUsuarioLogeado
                + QStringLiteral("\r\nProgracion Orba Lis"));
    }
}

long FrmEnviar::ObtenerIdContacto(const QString& EMail)
{
    controles();
    const QString condicion
        = porDireccion({ texto(QStringLiteral("Para")).trimmed(), EMail.trimmed() });
    if (condicion.isEmpty())
        return 0;
    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("SELECT TOP 1 * FROM MA_CONTACTOS where ") + condicion, rs,
        nullptr, adOpenDynamic, adLockOptimistic);
    const long id = rs.Eof()
        ? 0
        : long(gUtilidades().ValorCampo(rs.Fields(QStringLiteral("IdContacto")).Value()).toLongLong());
    gDB().CierraRecordset(rs);
    return id;
}

void FrmEnviar::GrabarContacto(const QString& EMail, const QString& Cuenta, const QString& NombreCuenta)
{
    grabaContacto(EMail, Cuenta, NombreCuenta, true);
}

void FrmEnviar::grabaContacto(const QString& EMail, const QString& Cuenta,
    const QString& NombreCuenta, bool conDatos)
{
    controles();
    const QString para = texto(QStringLiteral("Para")).trimmed();
    if (para.compare(SeleccionMultiple, Qt::CaseInsensitive) == 0)
        return;
    QString email = EMail.trimmed();
    // Only an address is kept: not a list, not whatever was typed where one should be.
    if (!MensajeCorreo::esDireccion(email.isEmpty() ? para : email))
        return;

    Steps pasos = reportAs(QStringLiteral("GrabarContacto"));
    QString id;
    if (!pasos.run([&] {
            AdoRecordset rs;
            gDB().AbrirRecordset(QStringLiteral("select Contacto as Nombre_y_Apellido, Cargo, "
                                                "Telefono, email  from vt_e_mail where ")
                    + porDireccion({ para, email }),
                rs);
            if (!rs.Eof())
                id = QString::number(ObtenerIdContacto(email));
            gDB().CierraRecordset(rs);
        }))
        return;
    if (!id.isEmpty() && NombreCuenta.isEmpty())
        return;

    QString nombre = !conDatos || muestraMarca(0) ? QString() : ui->TxtNombre->text();
    QString cargo = !conDatos || muestraMarca(1) ? QString() : ui->TxtCargo->text();
    QString celular = !conDatos || muestraMarca(2) ? QString() : ui->TxtTelefono->text();
    if (email.isEmpty())
        email = para;
    if (nombre.isEmpty() && !NombreCuenta.isEmpty())
        nombre = NombreCuenta;

    Globales& g = gGlobales();
    using ConstructorSentencias::AgregaCampoValor;
    using ConstructorSentencias::ArmaSentenciaSQL;
    if (!pasos.run([&] {
            AgregaCampoValor(QStringLiteral("Nombre_y_Apellido"), nombre, QStringLiteral("'"), true);
            AgregaCampoValor(QStringLiteral("Cargo"), cargo, QStringLiteral("'"), false);
            AgregaCampoValor(QStringLiteral("CELULAR"), celular, QStringLiteral("'"), false);
            // The address is stored as it is looked up, apostrophe and all (doubled inside the
            // literal): one that lost it would never be found again and come back on every send.
            g.gCamposValores->append(
                { QStringLiteral("email"), gDB().SQLValue(Value(email), QStringLiteral("'")) });
            QString condicion = QStringLiteral(" where idcontacto = ") + id;
            ArmaSentenciaSQL(g.gCamposValores, g.gSentenciasSQL, QStringLiteral("MA_CONTACTOS"),
                !id.isEmpty(), condicion, false);
        }))
        return;
    if (!pasos.run([&] { ejecutaSentencias(); }))
        return;

    const QString cuenta = Cuenta.trimmed();
    if (cuenta.isEmpty())
        return;
    if (!pasos.run([&] {
            const QString idContacto = QString::number(ObtenerIdContacto(email));
            QString condicion = QStringLiteral("where IDCONTACTO = ") + idContacto
                + QStringLiteral(" AND CUENTA = '") + literal(cuenta) + u'\'';
            AdoRecordset rs;
            gDB().AbrirRecordset(QStringLiteral("SELECT * FROM MA_CONTACTOS_CUENTAS ") + condicion,
                rs);
            const bool existe = !rs.Eof();
            gDB().CierraRecordset(rs);
            QString numero = idContacto;
            QString codigo = cuenta;
            AgregaCampoValor(QStringLiteral("IDCONTACTO"), numero, QStringLiteral("N"), true);
            AgregaCampoValor(QStringLiteral("CUENTA"), codigo, QStringLiteral("'"), false);
            ArmaSentenciaSQL(g.gCamposValores, g.gSentenciasSQL,
                QStringLiteral("MA_CONTACTOS_CUENTAS"), existe, condicion, false);
        }))
        return;
    pasos.run([&] { ejecutaSentencias(); });
}

void FrmEnviar::CmdConsultar_Click()
{
    Lib_ClsCons3& consultas = gConsultas();
    consultas.Checks = true;
    consultas.CampoDevuelto = QStringLiteral("email");
    consultas.ConsultaSearch(QStringLiteral("Select * from vt_e_mail order by razonsocial"));
    const QStringList elegidas = consultas.Valores.value_or(QStringList());
    QString para;
    if (!elegidas.isEmpty()) {
        eMailAux::gDestinatarios = QStringList { QString() } + elegidas;
        para = elegidas.size() == 1 ? elegidas.first() : SeleccionMultiple;
    }
    setTexto(QStringLiteral("Para"), para);
}

void FrmEnviar::cmdConsultarContacto_Click()
{
    Lib_ClsCons3& consultas = gConsultas();
    consultas.Checks = false;
    consultas.CampoDevuelto = QStringLiteral("celular");
    std::optional<QStringList> columnas
        = QStringList { QStringLiteral("celular"), QStringLiteral("telefono") };
    consultas.ConsultaSearch(QStringLiteral("select nombre_y_apellido,celular,telefono From "
                                            "vt_ma_cuentas_contactos where cuenta='")
            + literal(Cuenta) + QStringLiteral("' order by nombre_y_apellido "),
        &columnas);
    QString numero = consultas.ValorDevuelto.toString();
    const QStringList valores = consultas.Valores.value_or(QStringList());
    if (!valores.isEmpty())
        numero = valores.value(0).trimmed().isEmpty() ? valores.value(1) : valores.value(0);
    ui->txtParaWhatsapp->setText(numero);
}

// Placeholders of the contact fields, the arrow keys between them, and leaving "Para".
bool FrmEnviar::eventFilter(QObject* objeto, QEvent* evento)
{
    if (filtroImagenes(objeto, evento))
        return true;
    for (int i = 0; i < 3; ++i) {
        if (objeto != campoContacto(i))
            continue;
        if (evento->type() == QEvent::FocusIn && muestraMarca(i)) {
            campoContacto(i)->clear();
            QPalette p = campoContacto(i)->palette();
            p.setColor(QPalette::Text,
                QApplication::palette().color(QPalette::Active, QPalette::Text));
            campoContacto(i)->setPalette(p);
        } else if (evento->type() == QEvent::FocusOut && campoContacto(i)->text().isEmpty()) {
            muestraContacto(i, QString());
        } else if (evento->type() == QEvent::KeyPress && i > 0
            && static_cast<QKeyEvent*>(evento)->key() == Qt::Key_Up) {
            campoContacto(i - 1)->setFocus();
            return true;
        }
        return QDialog::eventFilter(objeto, evento);
    }
    if (objeto == ui->txtfields_1 && evento->type() == QEvent::FocusOut)
        txtfields_LostFocus(1);
    return QDialog::eventFilter(objeto, evento);
}

void FrmEnviar::txtfields_LostFocus(int Index)
{
    if (Index != 1)
        return;
    VerificarContacto();
    reportAs(QStringLiteral("txtfields_LostFocus")).run([&] {
        ObtenerLink(QString(), QString(), QString(), true);
    });
}
