// The sender's contacts: the recipient's contact data beside "Para", the recipient and WhatsApp
// lookups, and every mailed recipient kept as a contact.
#include "sending/FrmEnviar.h"
#include "ui_FrmEnviar.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

#include "formhelpers/Controles.h"
#include "lookup/Lib_ClsCons3.h"
#include "sending/BloqueoBase.h"
#include "sending/ContactosEnvio.h"
#include "sending/eMailAux.h"
#include "services/ManejoErrores.h"
#include "services/VariablesInicio.h"

using ContactosEnvio::SeleccionMultiple;

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
        QApplication::palette().color(
            marca ? QPalette::Disabled : QPalette::Active, QPalette::Text));
    campo->setPalette(p);
}

bool FrmEnviar::muestraMarca(int indice) const
{
    return campoContacto(indice)->text().compare(marcaContacto(indice), Qt::CaseInsensitive) == 0;
}

void FrmEnviar::contactoVacio(bool focoANombre)
{
    muestraContacto(0, QString());
    // The name starts empty, ready to be typed, not showing its placeholder.
    ui->TxtNombre->clear();
    QPalette p = ui->TxtNombre->palette();
    p.setColor(QPalette::Text, QApplication::palette().color(QPalette::Active, QPalette::Text));
    ui->TxtNombre->setPalette(p);
    muestraContacto(1, QString());
    muestraContacto(2, QString());
    if (focoANombre && isVisible())
        ui->TxtNombre->setFocus();
}

void FrmEnviar::VerificarContacto()
{
    verificaContacto(false);
}

void FrmEnviar::verificaContacto(bool focoANombre)
{
    controles();
    Steps pasos = Steps::silent();
    const QString para = texto(QStringLiteral("Para")).trimmed();
    bool encontrado = false;
    if (!para.isEmpty()) {
        pasos.run([&] {
            const std::optional<ContactosEnvio::Datos> datos = ContactosEnvio::busca(para);
            if (!datos)
                return;
            encontrado = true;
            muestraContacto(0, datos->nombre);
            muestraContacto(1, datos->cargo);
            muestraContacto(2, datos->celular);
        });
    }
    if (!encontrado)
        pasos.run([&] { contactoVacio(focoANombre); });

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
    return ContactosEnvio::idContacto(texto(QStringLiteral("Para")).trimmed(), EMail.trimmed());
}

void FrmEnviar::GrabarContacto(
    const QString& EMail, const QString& Cuenta, const QString& NombreCuenta)
{
    grabaContacto(EMail, Cuenta, NombreCuenta, true);
}

void FrmEnviar::grabaContacto(
    const QString& EMail, const QString& Cuenta, const QString& NombreCuenta, bool conDatos)
{
    controles();
    ContactosEnvio::Datos datos;
    if (conDatos) {
        const auto valor
            = [&](int i) { return muestraMarca(i) ? QString() : campoContacto(i)->text(); };
        datos = { valor(0), valor(1), valor(2) };
    }
    BloqueoBase bloqueo;
    Steps pasos = bloqueo.pasos(QStringLiteral("GrabarContacto"));
    ContactosEnvio::graba(
        pasos, texto(QStringLiteral("Para")).trimmed(), EMail, Cuenta, NombreCuenta, datos);
}

void FrmEnviar::CmdConsultar_Click()
{
    Lib_ClsCons3& consultas = gConsultas();
    consultas.Checks = true;
    consultas.CampoDevuelto = QStringLiteral("email");
    consultas.ConsultaSearch(ContactosEnvio::consultaDestinatarios());
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
    consultas.ConsultaSearch(ContactosEnvio::consultaNumeros(Cuenta), &columnas);
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
            p.setColor(
                QPalette::Text, QApplication::palette().color(QPalette::Active, QPalette::Text));
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
    if (objeto == ui->txtfields_1 && evento->type() == QEvent::KeyPress) {
        // Return leaves the recipient as Tab does, the suite's rule for data-entry fields.
        int tecla = VbKey::fromQt(static_cast<QKeyEvent*>(evento)->key());
        if (tecla == VbKey::Return) {
            Controles().TeclaAbajo(tecla);
            return true;
        }
    }
    if (objeto == ui->txtfields_1 && evento->type() == QEvent::FocusOut)
        txtfields_LostFocus(1, static_cast<QFocusEvent*>(evento)->reason());
    return QDialog::eventFilter(objeto, evento);
}

void FrmEnviar::txtfields_LostFocus(int Index, Qt::FocusReason motivo)
{
    if (Index != 1)
        return;
    // An unknown recipient hands the focus on to the name only when the operator left "Para" by
    // the keyboard: a click chose the next field, and what is typed there must land there.
    verificaContacto(motivo == Qt::TabFocusReason || motivo == Qt::BacktabFocusReason);
    reportAs(QStringLiteral("txtfields_LostFocus")).run([&] {
        ObtenerLink(QString(), QString(), QString(), true);
    });
}
