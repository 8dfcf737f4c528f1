#pragma once

#include <memory>

#include <QDialog>

#include "platform/Value.h"

class DB_Dll;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace Ui {
class frmAcceso;
}

// "Control de Acceso": the operator gives the application user and password, the database and
// the server. The dialog also keeps this workstation's registered connections ("BASES.TXT"): lists
// them, fills the boxes from the one chosen, registers a new one after a trial connection, and
// writes a desktop shortcut that starts the program on the typed connection. It never opens the
// working connection and never checks the user: its callers do, with what it leaves in its boxes,
// in Aceptar and in gUsuarioLogeado / gClaveUsuario.
//
// How callers use it: construct (the list is read and the first entry applied), set TxtDbName,
// TxtServidor, TxtUserId, TxtUserPassword and CboPlataformaDB (PrecargaIngreso sets them for a
// new login), show it with MuestraModal, read Aceptar and the boxes. A box that shows its hint is
// empty.
class frmAcceso final : public QDialog
{
    Q_OBJECT

public:
    // The address Label8 opens.
    static const QString SitioWeb;

    explicit frmAcceso(QWidget* parent = nullptr);
    ~frmAcceso() override;

    // True after "Conectar", false after "Cancelar".
    bool Aceptar = false;

    // The registry's path: program folder and "BASES.TXT".
    QString RutaBases;
    // Server and database of the current connection (a registered one, or the typed one).
    QString ServidorActual;
    QString BaseActual;
    // The port: empty until a registration or a registered server with ":" sets it.
    Value PuertoActual;
    // Where the desktop shortcut goes; empty means the user's desktop.
    QString CarpetaEscritorio;

    QLineEdit* TxtUserId() const;
    QLineEdit* TxtUserPassword() const;
    QLineEdit* TxtDbName() const;
    QLineEdit* TxtServidor() const;
    QLineEdit* TxtPuerto() const;
    QComboBox* CboPlataformaDB() const;
    QListWidget* lstBases() const;

    // Registers the typed connection when the registry file does not exist yet.
    void RegistrarBases();
    // Runs a command line and waits for it to end, the window still served. False, with
    // "Error al ejecutar el comando" in ErrDevuelto, when it could not be started.
    bool EjecutarCmdRegDB(const QString& Archivo, QString& ErrDevuelto);
    // Fills lstBases from the registry and applies its first entry.
    void llenarlist();
    // Looks a display name up in the registry (trimmed, letter case significant) and, when found,
    // sets ServidorActual and BaseActual; otherwise they keep their values.
    void DatosBase(const QString& nombre);
    // Trial connection on a connection of its own: true when it opened. The shared connection is
    // not touched.
    bool ExisteBaseDeDatos(const QString& Servidor, const QString& Dbname, const QString& Usuario,
        const QString& Password, const QString& Proveedor = QStringLiteral("SQLOLEDB"));
    // Fills the boxes from the chosen list entry.
    void AsignarDatosBase();
    // Shows the box's hint when it is blank (the hint is no value: the box reads empty).
    void MensajeInicial(QLineEdit* ObjTxt);
    // The platforms of CboPlataformaDB, by index.
    enum Plataforma
    {
        SqlServer = 0,
        Oracle = 1,
        SQLite = 2,
    };

    // Fills the boxes for a new login: the database and server `db` names, the application user
    // and password of the start-up values, and the platform of `db`'s connection (an SQLite file
    // has no port to show).
    void PrecargaIngreso(const DB_Dll& db);

    void bcAceptar_Click();
    void bcCancelar_Click();
    void CmdLineaComando_Click();
    void CmdRegistrar_Click();
    void Label8_Click();
    void lstBases_Click();
    void lstBases_DblClick();
    void lstBases_KeyDown();
    void TxtDbName_Change();
    void TxtServidor_Change();
    void TxtUserId_GotFocus();
    void TxtUserPassword_Change();

    // Esc and the window's close button cancel.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    QString carpetaPrograma() const;

    std::unique_ptr<Ui::frmAcceso> ui;
};
