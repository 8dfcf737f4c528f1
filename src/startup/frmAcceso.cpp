#include "startup/frmAcceso.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include "data/DataObjects.h"
#include "platform/AdoProvider.h"
#include "platform/Environment.h"
#include "platform/FileNames.h"
#include "platform/Launcher.h"
#include "platform/MessageDialog.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "services/ManejoErrores.h"
#include "services/ModArchivos.h"
#include "services/ModEjecutar.h"
#include "services/ParametrosSesion.h"
#include "services/VariablesInicio.h"
#include "startup/AccesoDirecto.h"
#include "startup/LBM_Common.h"

#include "ui_frmAcceso.h"

const QString frmAcceso::SitioWeb = QStringLiteral("https://www.orbalis.example/");

namespace {

constexpr int PuertoPredeterminado = 1433;

// Errors of a registration that are part of its normal course (closing what is already closed,
// services already running) and let it go on.
bool errorQueSigue(int numero)
{
    constexpr int Seguibles[] = { 3704, -2147023840, 1056, 440, 20480 };
    for (const int seguible : Seguibles) {
        if (numero == seguible)
            return true;
    }
    return false;
}

// A number as the suite's runtime writes it in messages: a blank where a minus sign would go.
QString numeroConSigno(int numero)
{
    return numero < 0 ? QString::number(numero) : u' ' + QString::number(numero);
}

// The server as the display name shows it: upper-cased, trimmed, without ":" and port.
QString servidorSinPuerto(const QString& servidor)
{
    QString resultado = servidor.toUpper().trimmed();
    const qsizetype dosPuntos = resultado.indexOf(u':');
    if (dosPuntos >= 0)
        resultado.truncate(dosPuntos);
    return resultado;
}

QString nombreVisible(const QString& base, const QString& servidor)
{
    return base.toUpper().trimmed() + QStringLiteral(" / ") + servidorSinPuerto(servidor);
}

} // namespace

frmAcceso::frmAcceso(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmAcceso>())
{
    ui->setupUi(this);
    // The fields keep together above an empty last row that takes what the connections list
    // needs beyond them, so the port row hidden for SQLite leaves no gap between them.
    ui->layoutDatos->setRowStretch(7, 1);
    ui->Label8->setText(SitioWeb);
    ui->TxtUserId->setPlaceholderText(QStringLiteral("Ingrese el usuario"));
    ui->TxtDbName->setPlaceholderText(QStringLiteral("ingrese el nombre de la base de datos"));
    ui->TxtServidor->setPlaceholderText(
        QStringLiteral("ingrese el nombre del servidor e instancia"));

    connect(ui->bcAceptar, &QPushButton::clicked, this, &frmAcceso::bcAceptar_Click);
    connect(ui->bcCancelar, &QPushButton::clicked, this, &frmAcceso::bcCancelar_Click);
    connect(ui->CmdLineaComando, &QPushButton::clicked, this, &frmAcceso::CmdLineaComando_Click);
    connect(ui->CmdRegistrar, &QPushButton::clicked, this, &frmAcceso::CmdRegistrar_Click);
    // A change of the selection, by mouse, keys or code, is the list's click; a list emptied
    // selects nothing.
    connect(ui->lstBases, &QListWidget::currentRowChanged, this, [this](int fila) {
        if (fila >= 0)
            lstBases_Click();
    });
    connect(ui->lstBases, &QListWidget::itemClicked, this, &frmAcceso::lstBases_Click);
    connect(ui->lstBases, &QListWidget::itemDoubleClicked, this, &frmAcceso::lstBases_DblClick);
    connect(ui->TxtDbName, &QLineEdit::textChanged, this, &frmAcceso::TxtDbName_Change);
    connect(ui->TxtServidor, &QLineEdit::textChanged, this, &frmAcceso::TxtServidor_Change);
    connect(ui->TxtUserPassword, &QLineEdit::textChanged, this, &frmAcceso::TxtUserPassword_Change);
    // An SQLite file is reached without a port.
    connect(ui->CboPlataformaDB, &QComboBox::currentIndexChanged, this, [this](int indice) {
        ui->Label9->setHidden(indice == SQLite);
        ui->TxtPuerto->setHidden(indice == SQLite);
    });

    for (QLineEdit* box : { ui->TxtUserId, ui->TxtUserPassword, ui->TxtDbName, ui->TxtServidor })
        box->installEventFilter(this);
    ui->lstBases->installEventFilter(this);
    ui->Label8->installEventFilter(this);

    Form_Load();
}

frmAcceso::~frmAcceso() = default;

QLineEdit* frmAcceso::TxtUserId() const
{
    return ui->TxtUserId;
}

QLineEdit* frmAcceso::TxtUserPassword() const
{
    return ui->TxtUserPassword;
}

QLineEdit* frmAcceso::TxtDbName() const
{
    return ui->TxtDbName;
}

QLineEdit* frmAcceso::TxtServidor() const
{
    return ui->TxtServidor;
}

QLineEdit* frmAcceso::TxtPuerto() const
{
    return ui->TxtPuerto;
}

QComboBox* frmAcceso::CboPlataformaDB() const
{
    return ui->CboPlataformaDB;
}

QListWidget* frmAcceso::lstBases() const
{
    return ui->lstBases;
}

QString frmAcceso::carpetaPrograma() const
{
    return gUtilidades().RutaConBarra(programFolder());
}

void frmAcceso::Form_Load()
{
    adjustSize();
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect area = pantalla->availableGeometry();
        move(area.left() + (area.width() - width()) / 2,
            area.top() + (area.height() - height()) / 2);
    }
    llenarlist();
    MensajeInicial(ui->TxtUserId);
    MensajeInicial(ui->TxtUserPassword);
    MensajeInicial(ui->TxtDbName);
    MensajeInicial(ui->TxtServidor);
}

void frmAcceso::PrecargaIngreso(const DB_Dll& db)
{
    const VariablesInicio& inicio = gInicio();
    ui->TxtDbName->setText(db.gDBName);
    ui->TxtServidor->setText(db.gServidor);
    ui->TxtUserId->setText(inicio.gUsuarioLogeado);
    ui->TxtUserPassword->setText(inicio.gClaveUsuario);
    Plataforma plataforma = SqlServer;
    if (db.gServidor.trimmed().compare(QStringLiteral("SQLITE"), Qt::CaseInsensitive) == 0)
        plataforma = SQLite;
    else if (db.gConnString.contains(QStringLiteral("ORACLE"), Qt::CaseInsensitive)
        || db.gServidor.startsWith(u'#'))
        plataforma = Oracle;
    ui->CboPlataformaDB->setCurrentIndex(plataforma);
}

void frmAcceso::MensajeInicial(QLineEdit* ObjTxt)
{
    Q_ASSERT(ObjTxt);
    if (!ObjTxt)
        return;
    // The hint is the box's placeholder: shown grey while the box is empty and never read as a
    // value. A box holding only blanks, or the hint's own words, is emptied so the hint shows.
    const QString texto = ObjTxt->text();
    if (texto.isEmpty())
        return;
    if (texto.trimmed().isEmpty() || texto == ObjTxt->placeholderText())
        ObjTxt->clear();
}

bool frmAcceso::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->Label8 && event->type() == QEvent::MouseButtonRelease) {
        Label8_Click();
        return true;
    }
    if (watched == ui->TxtUserId && event->type() == QEvent::FocusIn)
        TxtUserId_GotFocus();
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);

    const int tecla = static_cast<QKeyEvent*>(event)->key();
    if (watched == ui->lstBases) {
        // The entry under the selection before the list moves it.
        lstBases_KeyDown();
        return false;
    }
    if (tecla != Qt::Key_Return && tecla != Qt::Key_Enter)
        return QDialog::eventFilter(watched, event);

    // Enter walks the boxes in order and ends on "Conectar" (without pressing it).
    if (watched == ui->TxtUserId)
        ui->TxtUserPassword->setFocus();
    else if (watched == ui->TxtUserPassword)
        ui->TxtDbName->setFocus();
    else if (watched == ui->TxtDbName)
        ui->TxtServidor->setFocus();
    else if (watched == ui->TxtServidor)
        ui->bcAceptar->setFocus();
    else
        return QDialog::eventFilter(watched, event);
    return true;
}

void frmAcceso::TxtDbName_Change()
{
    MensajeInicial(ui->TxtDbName);
}

void frmAcceso::TxtServidor_Change()
{
    MensajeInicial(ui->TxtServidor);
}

void frmAcceso::TxtUserPassword_Change()
{
    MensajeInicial(ui->TxtUserPassword);
}

void frmAcceso::TxtUserId_GotFocus()
{
    MensajeInicial(ui->TxtUserId);
}

void frmAcceso::lstBases_Click()
{
    AsignarDatosBase();
}

void frmAcceso::lstBases_KeyDown()
{
    AsignarDatosBase();
}

void frmAcceso::lstBases_DblClick()
{
    AsignarDatosBase();
    bcAceptar_Click();
}

void frmAcceso::AsignarDatosBase()
{
    const QListWidgetItem* elegido = ui->lstBases->currentItem();
    DatosBase(elegido ? elegido->text().trimmed() : QString());

    const qsizetype dosPuntos = ServidorActual.indexOf(u':');
    if (dosPuntos >= 0) {
        PuertoActual = ServidorActual.mid(dosPuntos + 1);
        ServidorActual = ServidorActual.left(dosPuntos).toUpper().trimmed();
    }
    ui->TxtServidor->setText(ServidorActual);
    // A registered connection names the database, never the person: user and password are typed.
    ui->TxtUserId->setText(QString());
    ui->TxtUserPassword->setText(QString());
    ui->TxtDbName->setText(BaseActual);
    ui->TxtPuerto->setText(gUtilidades().ValorCampo(PuertoActual));
}

void frmAcceso::llenarlist()
{
    RutaBases = FileNames::helperFileToRead(QString::fromLatin1(LBM_Common::ArchivoBases));
    if (!ModArchivos::ExisteArchivo(RutaBases)) {
        ui->lstBases->clear();
        return;
    }

    // The error routine's name is the one the suite's log has always shown for this list.
    Steps pasos = reportAs(QStringLiteral("FormLoad"));
    const bool sigue = pasos.run([this] {
        ui->lstBases->clear();
        QList<LBM_Common::RegistroConexion> registros;
        const auto agrega = [this, &registros] {
            for (const auto& registro : registros) {
                if (!registro.nombre.trimmed().isEmpty())
                    ui->lstBases->addItem(registro.nombre);
            }
        };
        try {
            LBM_Common::LeeRegistrosBases(RutaBases, registros);
        } catch (const RuntimeError&) {
            // The records before the broken one are listed whatever the operator answers.
            agrega();
            throw;
        }
        agrega();
    });
    // Selecting the first entry applies it (the list was emptied, so the row changes).
    if (sigue && ui->lstBases->count() > 0)
        ui->lstBases->setCurrentRow(0);
}

void frmAcceso::DatosBase(const QString& nombre)
{
    RutaBases = FileNames::helperFileToRead(QString::fromLatin1(LBM_Common::ArchivoBases));
    if (!ModArchivos::ExisteArchivo(RutaBases))
        return;

    QList<LBM_Common::RegistroConexion> registros;
    std::optional<RuntimeError> falla;
    try {
        LBM_Common::LeeRegistrosBases(RutaBases, registros);
    } catch (const RuntimeError& error) {
        falla = error;
    }
    const QString buscado = nombre.trimmed();
    for (const auto& registro : registros) {
        if (registro.nombre.trimmed() == buscado) {
            ServidorActual = registro.servidor;
            BaseActual = registro.base;
            return;
        }
    }
    // A file that breaks after the record sought never reaches its broken part.
    if (falla)
        ManejoErrores(*falla, QStringLiteral("DatosBase"));
}

bool frmAcceso::ExisteBaseDeDatos(const QString& Servidor, const QString& Dbname,
    const QString& Usuario, const QString& Password, const QString& Proveedor)
{
    const QString texto = QStringLiteral("PROVIDER=") + Proveedor + u';' + QStringLiteral("Server=")
        + Servidor + u';' + QStringLiteral("Database =") + Dbname + u';' + QStringLiteral("UId=")
        + Usuario + u';' + QStringLiteral("Pwd=") + Password + u';';
    // A connection of its own: the trial must neither close nor replace the program's connection.
    const std::unique_ptr<AdoConnection> prueba = Service<AdoProvider>::get().createConnection();
    const bool abierta = prueba->Open(texto, QString(), QString(), -1);
    if (abierta)
        prueba->Close();
    return abierta;
}

void frmAcceso::bcAceptar_Click()
{
    ServidorActual.clear();
    DatosBase(nombreVisible(ui->TxtDbName->text(), ui->TxtServidor->text()));

    VariablesInicio& inicio = gInicio();
    inicio.gUsuarioLogeado = ui->TxtUserId->text();
    inicio.gClaveUsuario = ui->TxtUserPassword->text();

    if (ServidorActual.isEmpty()) {
        ServidorActual = ui->TxtServidor->text();
        BaseActual = ui->TxtDbName->text();
    }
    Aceptar = true;
    RegistrarBases();
    hide();
}

void frmAcceso::bcCancelar_Click()
{
    Aceptar = false;
    hide();
}

void frmAcceso::reject()
{
    bcCancelar_Click();
}

void frmAcceso::RegistrarBases()
{
    RutaBases = FileNames::helperFileToRead(QString::fromLatin1(LBM_Common::ArchivoBases));
    // The first "Conectar" on a workstation without a registry registers what was typed.
    if (!ModArchivos::ExisteArchivo(RutaBases))
        CmdRegistrar_Click();
}

void frmAcceso::CmdRegistrar_Click()
{
    DB_Dll& db = gDB();
    // An unexpected error is shown and the registration skips to "ODBC.exe" and the list.
    Steps pasos([](const RuntimeError& error) {
        if (errorQueSigue(error.number()))
            return int(Msg::Ignore);
        MsgBox(QStringLiteral("SQL Server start failed.  \rSQL-DMO error:  ")
                + numeroConSigno(error.number()) + u' ' + error.description(),
            Msg::OkOnly, executableName());
        return int(Msg::Abort);
    });

    QString servidorRecortado;
    do {
        QString nombre;
        if (!pasos.run(
                [&] { nombre = nombreVisible(ui->TxtDbName->text(), ui->TxtServidor->text()); }))
            break;

        // The registry cannot hold a comma or a line break: every later record would shift for
        // every program of the suite that reads it.
        if (!LBM_Common::CampoAdmitido(ui->TxtDbName->text().trimmed())) {
            MsgBox(QStringLiteral("El nombre de la base de datos no puede contener comas ni saltos "
                                  "de linea."),
                Msg::Exclamation, QStringLiteral("Atencion"));
            return;
        }
        if (!LBM_Common::CampoAdmitido(ui->TxtServidor->text().trimmed())) {
            MsgBox(QStringLiteral(
                       "El nombre del servidor no puede contener comas ni saltos de linea."),
                Msg::Exclamation, QStringLiteral("Atencion"));
            return;
        }

        bool existe = false;
        if (!pasos.run([&] {
                ServidorActual.clear();
                DatosBase(nombre);
                existe = !ServidorActual.trimmed().isEmpty();
            }))
            break;
        if (existe) {
            MsgBox(QStringLiteral("La conexion que intenta registrar ya existe "), Msg::Information,
                QStringLiteral("Atencion"));
            return;
        }

        if (!pasos.run([&] {
                const Currency puerto = gUtilidades().ValorMoneda(ui->TxtPuerto->text());
                PuertoActual
                    = puerto == Currency() ? Value(qint32(PuertoPredeterminado)) : Value(puerto);
            }))
            break;

        if (!pasos.run([&] {
                for (QLineEdit* box :
                    { ui->TxtServidor, ui->TxtUserId, ui->TxtUserPassword, ui->TxtDbName })
                    box->setText(box->text().trimmed());
                servidorRecortado = ui->TxtServidor->text();
            }))
            break;

        const QString base = ui->TxtDbName->text();
        const QString servidor = ui->TxtServidor->text();
        const auto graba = [&] {
            LBM_Common::GrabarConexionBases(nombre, base, base, base, servidor, QString(), false);
        };

        // The suite's SQL Server logins are named after their database, with the same password.
        bool prueba = false;
        if (!pasos.run([&] {
                prueba = ExisteBaseDeDatos(
                    servidor, base.toUpper(), base.toUpper(), base.toUpper(), DB_Dll::pSQLOLEDB());
            }))
            break;
        if (prueba) {
            pasos.run(graba);
            break;
        }

        // Not a database login: try the typed application user on the program's connection.
        if (!pasos.run([&] {
                if (db.gOpenFlag)
                    db.gCnn().Close();
                db.gServidor = servidor;
                db.gUsuario = ui->TxtUserId->text();
                db.gUserPassWord = ui->TxtUserPassword->text();
                db.gDBName = base;
                db.OpenServerADODB();
            }))
            break;
        if (!db.gOpenFlag) {
            MsgBox(QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR ") + servidor
                    + QStringLiteral(" VERIFIQUE EL NOMBRE DE USUARIO Y PASSWORD INGRESADO"),
                Msg::Information, QStringLiteral("AVISO AL OPERADOR"));
            return;
        }
        pasos.run(graba);
    } while (false);

    // "ODBC.exe" sets up the workstation's data source for the new connection; it runs on its own.
    // A failure to start it is not retried: the registration goes on with the list.
    const QString odbc = FileNames::inProgramFolder(QStringLiteral("ODBC.exe"));
    if (QFileInfo(odbc).isFile()) {
        const QString argumentos = QStringLiteral("Server=") + servidorRecortado
            + QStringLiteral(";DB=") + db.gDBName + u';';
        Service<Launcher>::get().startProgram(
            ModEjecutar::citaArgumento(odbc) + u' ' + ModEjecutar::citaArgumento(argumentos));
    }
    llenarlist();
}

bool frmAcceso::EjecutarCmdRegDB(const QString& Archivo, QString& ErrDevuelto)
{
    if (Service<Launcher>::get().runAndWait(Archivo))
        return true;
    ErrDevuelto = QStringLiteral("Error al ejecutar el comando");
    return false;
}

void frmAcceso::CmdLineaComando_Click()
{
    const auto informa = [](const RuntimeError& error) {
        MsgBox(QStringLiteral("Se ha producido un error: ") + error.description(), Msg::Critical,
            QStringLiteral("Error"));
    };

    const Environment& entorno = Service<Environment>::get();
    QString nombre = QGuiApplication::applicationDisplayName();
    if (nombre.trimmed().isEmpty())
        nombre = executableName();
    const QString escritorio
        = CarpetaEscritorio.isEmpty() ? AccesoDirecto::CarpetaEscritorio() : CarpetaEscritorio;
    const QString archivo = AccesoDirecto::ArchivoAccesoDirecto(escritorio, nombre);
    const QString programa = entorno.executableFolder() + u'/' + executableName();

    if (!QFileInfo(escritorio).isDir()) {
        MsgBox(QStringLiteral("No se pudo crear el acceso directo: no se encuentra la carpeta del "
                              "escritorio (%1).")
                   .arg(escritorio),
            Msg::Exclamation, QStringLiteral("Acceso Directo"));
        return;
    }
    if (QFileInfo::exists(archivo)) {
        MsgBox(QStringLiteral("El acceso directo ya existe."), Msg::Information,
            QStringLiteral("Acceso Directo"));
        return;
    }

    // Never a password in a file on the desktop: "@Password=" stays empty.
    const QString argumentos = ParametrosSesion::ArmaCadena(ui->TxtServidor->text(),
        ui->TxtDbName->text(), ui->TxtUserId->text(), QString(), QString(), QString(), QString());
    const QString carpeta = programFolder();
    const bool otraCarpeta = QFileInfo(carpeta) != QFileInfo(entorno.executableFolder());

    try {
        AccesoDirecto::Escribe(archivo,
            AccesoDirecto::Contenido(
                nombre, programa, argumentos, otraCarpeta ? carpeta : QString()));
    } catch (const RuntimeError& error) {
        // No launcher was written: the error is the last word, never followed by a success.
        informa(error);
        return;
    }
    MsgBox(QStringLiteral("Acceso directo creado correctamente en el escritorio."),
        Msg::Information, QStringLiteral("Acceso Directo"));
}

void frmAcceso::Label8_Click()
{
    ModEjecutar::AbreArchivoAsociado(SitioWeb, true);
}
