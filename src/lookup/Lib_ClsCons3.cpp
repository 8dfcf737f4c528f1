#include "lookup/Lib_ClsCons3.h"

#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "data/DataObjects.h"
#include "formhelpers/FormularioModal.h"
#include "lookup/ArmadoConsulta.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/Lib_FrmCons3Tree.h"
#include "platform/AdoRecordset.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Steps.h"
#include "platform/Twips.h"
#include "platform/Windows1252.h"
#include "services/Configuracion.h"
#include "services/ModArchivos.h"

namespace {

// Twips per character of the option pickers' single column.
constexpr int TwipsPorCaracter = 120;

Value nivelStock(const QString& clave)
{
    const QString texto = Configuracion::Cfg(clave);
    return texto.isEmpty() ? Value(qint32(0)) : Value(texto);
}

// The lines of a text file as the suite's programs write them (Windows-1252, CR LF, CR or LF).
QStringList lineasArchivo(const QString& ruta)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return {};
    QString texto = Windows1252::decode(archivo.readAll());
    texto.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    texto.replace(u'\r', u'\n');
    if (texto.endsWith(u'\n'))
        texto.chop(1);
    if (texto.isEmpty())
        return {};
    return texto.split(u'\n');
}

int anchoPantallaTwips(const QWidget& ventana)
{
    const QScreen* pantalla
        = ventana.screen() ? ventana.screen() : QGuiApplication::primaryScreen();
    return Twips::fromPixels(pantalla ? pantalla->geometry().width() : 1024);
}

} // namespace

Lib_ClsCons3::Lib_ClsCons3()
{
    CmpsDevueltos = QStringList();
    Valores = QStringList();
    MuestraStock = Configuracion::Cfg(QStringLiteral("MostrarStockenConsultas"));
    StkNivel1 = nivelStock(QStringLiteral("Stk_Nivel1"));
    StkNivel2 = nivelStock(QStringLiteral("Stk_Nivel2"));
    StkNivel3 = nivelStock(QStringLiteral("Stk_Nivel3"));
    StkNivel4 = nivelStock(QStringLiteral("Stk_Nivel4"));
    m_usaConsultaLike = Configuracion::Cfg(QStringLiteral("UsaConsultaLike"))
                            .compare(QLatin1String("SI"), Qt::CaseInsensitive)
        == 0;
}

Lib_ClsCons3::~Lib_ClsCons3() = default;

void Lib_ClsCons3::GrabaConsultaDefault() { }

QStringList Lib_ClsCons3::sondeaCampos(const QString& nombre)
{
    QStringList campos;
    DB_Dll& db = gDB();
    AdoRecordset rs;
    Steps steps = Steps::silent();
    steps.run([&] { db.AbrirRecordset(QStringLiteral("select top 1 * from ") + nombre, rs); });
    steps.run([&] {
        if (rs.State() != adStateOpen)
            return;
        for (int i = 0; i < rs.FieldCount(); ++i)
            campos.append(rs.Fields(i).Name());
    });
    steps.run([&] { db.CierraRecordset(rs); });
    return campos;
}

void Lib_ClsCons3::ConsultaSearch(const QString& Sql, std::optional<QStringList>* CmpsDevueltos,
    const QString& Clave, QString* CampoBusqueda, QString* Where, const QString& SentenciaOpcional,
    bool TreeView, const QString& ValoresDefault)
{
    QString campoLocal;
    QString whereLocal;
    QString& campoBusqueda = CampoBusqueda ? *CampoBusqueda : campoLocal;
    QString& where = Where ? *Where : whereLocal;

    where = ArmadoConsulta::normalizaWhere(where);
    const int filas = ArmadoConsulta::limiteFilas(Configuracion::Cfg(QStringLiteral("TopConsArt")));

    QString sentencia;
    if (ArmadoConsulta::esSentencia(Sql)) {
        sentencia = ArmadoConsulta::sentenciaDada(Sql, where);
    } else {
        std::optional<MascarasConsulta::RegistroMascaraConsulta> mascara;
        if (gUsarMascarasConsultas)
            mascara = ArmadoConsulta::buscaMascara(gRutaMascaraConsultas, Sql);
        if (mascara) {
            const auto deMascara
                = ArmadoConsulta::sentenciaDeMascara(*mascara, filas, campoBusqueda, where);
            if (!deMascara) {
                MsgBox(QStringLiteral("Debe configurar la consulta para esta tabla"),
                    Msg::Information, QStringLiteral("Aviso al operador"));
                return;
            }
            sentencia = *deMascara;
        } else {
            // A name no mask covers, also when the mask file has gone missing since start-up:
            // the defaults give a statement the dialog can run, where the bare name could not.
            sentencia = ArmadoConsulta::sentenciaPorDefecto(Sql, filas, campoBusqueda, where,
                SentenciaOpcional, [this](const QString& nombre) { return sondeaCampos(nombre); });
        }
    }
    m_ultimaSentencia = sentencia;

    if (TreeView)
        muestraArbol(sentencia);
    else
        muestraGrilla(sentencia, CmpsDevueltos, Clave, campoBusqueda, ValoresDefault);

    CampoDevuelto.clear();
    if (CmpsDevueltos && *CmpsDevueltos) {
        (*CmpsDevueltos)->clear();
        CmpsDevueltos->reset();
    }
}

void Lib_ClsCons3::muestraArbol(const QString& sentencia)
{
    Lib_FrmCons3Tree dlg;
    dlg.Sql = sentencia;
    dlg.CampoDevuelto = CampoDevuelto;
    dlg.CheckBoxes = Checks;
    Valores.reset();
    dlg.Form_Load();
    MuestraModal(dlg);
    ValorDevuelto = dlg.ValorDevuelto;
    Valores = dlg.Valores;
    Checks = false;
    dlg.Form_Unload();
}

void Lib_ClsCons3::muestraGrilla(const QString& sentencia,
    std::optional<QStringList>* CmpsDevueltos, const QString& Clave, const QString& CampoBusqueda,
    const QString& ValoresDefault)
{
    Lib_FrmCons3 dlg;
    dlg.StkNivel1 = StkNivel1;
    dlg.StkNivel2 = StkNivel2;
    dlg.StkNivel3 = StkNivel3;
    dlg.StkNivel4 = StkNivel4;
    dlg.MuestraStock = MuestraStock;
    dlg.CfgUsaConsultaLIKE = m_usaConsultaLike;
    dlg.OrdenarPorLwv = !sentencia.contains(QLatin1String("ORDER BY"), Qt::CaseInsensitive);
    dlg.FiltroInicial = Clave;
    dlg.CampoBusqueda = CampoBusqueda;
    if (gConnString.isEmpty())
        gConnString = gDB().gConnString;
    dlg.Sql = sentencia;
    dlg.gConnString = gConnString;
    dlg.CampoDevuelto = CampoDevuelto;
    dlg.CheckBoxes = Checks;
    dlg.UsaCantidades = UsaCantidades;
    dlg.ValoresDefault = ValoresDefault;
    Valores.reset();
    Cantidades.reset();
    dlg.CmpsDevueltos = CmpsDevueltos ? *CmpsDevueltos : std::nullopt;

    dlg.Form_Load();
    // A multiple choice always starts with nothing checked, whatever ValoresDefault marked.
    if (Checks)
        dlg.modelo().desmarcarTodo();
    MuestraModal(dlg);

    Checks = false;
    Valores = dlg.Valores;
    Cantidades = dlg.Cantidades;
    ValorDevuelto = dlg.ValorDevuelto;
    dlg.CampoDevuelto.clear();
    dlg.Form_Unload();
}

QString Lib_ClsCons3::CheckOpciones(
    const QString& Titulo, std::optional<QStringList>*, const QStringList& Opc)
{
    return muestraOpciones(Picker::Checks, Titulo, Opc);
}

QString Lib_ClsCons3::MenuOpciones(const QString& Titulo, const QStringList& Opc)
{
    return muestraOpciones(Picker::Menu, Titulo, Opc);
}

QString Lib_ClsCons3::ConsultaDesdeArchivo(
    const QString& Titulo, const QString& QueArchivo, const QString& Separador)
{
    Q_UNUSED(Separador);
    if (!ModArchivos::ExisteArchivo(QueArchivo)) {
        MsgBox(QStringLiteral("No existe el archivo ") + QueArchivo
            + QStringLiteral(" que desea consultar consulta "));
        return QString();
    }
    return muestraOpciones(
        Picker::Archivo, Titulo, lineasArchivo(QString(QueArchivo).remove(u'"')));
}

QString Lib_ClsCons3::muestraOpciones(Picker tipo, const QString& Titulo, const QStringList& filas)
{
    Lib_FrmCons3 dlg;
    dlg.Form_Load();
    dlg.setWindowTitle(Titulo);
    if (auto* nueva = dlg.findChild<QPushButton*>(QStringLiteral("CmdNueva")))
        nueva->hide();
    dlg.OrdenarPorLwv = true;
    dlg.Sql.clear();
    dlg.gConnString.clear();
    dlg.CampoDevuelto = Titulo;
    dlg.CheckBoxes = tipo == Picker::Checks;

    LookupGridModel& modelo = dlg.modelo();
    modelo.clear();
    modelo.setCheckBoxes(dlg.CheckBoxes);
    LookupGridModel::Columna columna;
    columna.campo = Titulo;
    columna.titulo = Titulo;
    modelo.agregarColumna(columna);

    qsizetype largo = Titulo.size();
    for (const QString& opcion : filas) {
        if (tipo == Picker::Checks)
            modelo.agregarFila({ opcion.mid(1) }, opcion.startsWith(u'1'));
        else
            modelo.agregarFila({ opcion });
        largo = qMax(largo, opcion.size());
    }

    const int anchoPantalla = anchoPantallaTwips(dlg);
    const int ancho = int(largo) * TwipsPorCaracter < anchoPantalla ? int(largo) * TwipsPorCaracter
                                                                    : anchoPantalla;
    dlg.ajustarListaUnica(Twips::toPixels(ancho));

    MuestraModal(dlg);

    QString resultado;
    if (tipo == Picker::Checks)
        Valores = dlg.Valores;
    else
        resultado = dlg.ValorDevuelto.toString();
    dlg.Form_Unload();
    return resultado;
}

ConsultasPrograma::ConsultasPrograma() = default;
ConsultasPrograma::~ConsultasPrograma() = default;

Lib_ClsCons3& ConsultasPrograma::objeto()
{
    if (!m_objeto)
        m_objeto = std::make_unique<Lib_ClsCons3>();
    return *m_objeto;
}

void ConsultasPrograma::reinicia()
{
    m_objeto.reset();
}

Lib_ClsCons3& gConsultas()
{
    return Service<ConsultasPrograma>::get().objeto();
}
