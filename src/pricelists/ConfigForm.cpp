#include "pricelists/ConfigForm.h"

#include <optional>

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTableView>
#include <QTreeView>
#include <QWidget>

#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/LeadingNumber.h"
#include "platform/RuntimeError.h"
#include "platform/Twips.h"
#include "platform/Utilidades.h"
#include "services/VariablesInicio.h"

namespace {

constexpr int AnchoFormulario = 100;
constexpr int AnchoColumna = 50;

const QString TextBox = QStringLiteral("TextBox");
const QString CheckBox = QStringLiteral("CheckBox");
const QString OptionButton = QStringLiteral("OptionButton");
const QString ComboBox = QStringLiteral("ComboBox");
const QString ListBox = QStringLiteral("ListBox");
const QString ListView = QStringLiteral("ListView");
const QString DataGrid = QStringLiteral("KzqDBGrid");

QString ajusta(const QString& texto, int ancho)
{
    return texto.left(ancho);
}

QString literal(const QString& texto)
{
    return gDB().SQLValue(Value(texto));
}

QString verdad(bool valor)
{
    return valor ? QStringLiteral("True") : QStringLiteral("False");
}

bool mismoTexto(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The server compares key columns ignoring case and trailing blanks; rows read back are matched
// the same way, so rows another program padded to the column width are found too.
bool mismaClave(const QString& guardado, const QString& buscado)
{
    QStringView g(guardado);
    QStringView b(buscado);
    while (g.endsWith(u' '))
        g.chop(1);
    while (b.endsWith(u' '))
        b.chop(1);
    return g.compare(b, Qt::CaseInsensitive) == 0;
}

[[noreturn]] void valorInvalido(const QString& control)
{
    throw RuntimeError(380, QStringLiteral("Valor de propiedad no válido"), control);
}

QString dataField(const QWidget* control)
{
    return control->property("DataField").toString();
}

// A check box or option button of an array is told apart by its index, a single one by its
// data field (check box) or name (option button).
QString miembro(const QWidget* control, const QString& siNoEsArreglo)
{
    const int indice = ConfigForm::indiceControl(control);
    return indice >= 0 ? QString::number(indice) : siNoEsArreglo;
}

QString textoControl(const QWidget* control)
{
    if (const auto* linea = qobject_cast<const QLineEdit*>(control))
        return linea->text();
    if (const auto* texto = qobject_cast<const QPlainTextEdit*>(control))
        return texto->toPlainText();
    return QString();
}

// The code field at the head of a suite window's "Txtfields" array holds the record's key, which
// belongs to the record and not to the window's state.
bool esCampoClave(const QWidget* control, const QString& nombre, const QString& campo)
{
    if (ConfigForm::indiceControl(control) != 0 || !mismoTexto(nombre, QStringLiteral("Txtfields")))
        return false;
    return gUtilidades().EstaEnLista(campo, { QStringLiteral("Codigo"), QStringLiteral("Cuenta") })
        || gUtilidades().EstaEnLista(campo.left(2), { QStringLiteral("ID") });
}

bool itemElegido(const QListWidgetItem* item)
{
    if (item->flags() & Qt::ItemIsUserCheckable)
        return item->checkState() == Qt::Checked;
    return item->isSelected();
}

QString tituloColumna(const QAbstractItemView* vista, int columna)
{
    const QAbstractItemModel* modelo = vista->model();
    return modelo ? modelo->headerData(columna, Qt::Horizontal).toString() : QString();
}

QHeaderView* encabezado(QWidget* control)
{
    if (auto* arbol = qobject_cast<QTreeView*>(control))
        return arbol->header();
    if (auto* tabla = qobject_cast<QTableView*>(control))
        return tabla->horizontalHeader();
    return nullptr;
}

int columnas(QWidget* control)
{
    const QHeaderView* cabecera = encabezado(control);
    return cabecera ? cabecera->count() : 0;
}

template <typename Visitor> void recorre(QWidget* padre, const Visitor& visita)
{
    for (QObject* hijo : padre->children()) {
        auto* control = qobject_cast<QWidget*>(hijo);
        if (!control || control->isWindow())
            continue;
        const QString nombre = control->objectName();
        if (!ConfigForm::tipoObjeto(control).isEmpty()) {
            if (!nombre.isEmpty() && !nombre.startsWith(QLatin1String("qt_")))
                visita(control);
            continue;
        }
        recorre(control, visita);
    }
}

void filasDeControl(QWidget* control, bool guardaListas, QList<FilaConfigForm>& filas)
{
    const QString tipo = ConfigForm::tipoObjeto(control);
    const QString nombre = ConfigForm::nombreControl(control);
    const auto agrega = [&](const QString& propiedad, const QString& campo, const QString& valor) {
        filas.append({ tipo, nombre, propiedad, campo, valor });
    };

    if (tipo == TextBox) {
        const QString campo = dataField(control);
        if (!esCampoClave(control, nombre, campo))
            agrega(QStringLiteral("Text"), campo, textoControl(control));
    } else if (tipo == CheckBox) {
        const auto* caja = static_cast<const QCheckBox*>(control);
        const int valor = caja->checkState() == Qt::Checked ? 1
            : caja->checkState() == Qt::PartiallyChecked    ? 2
                                                            : 0;
        agrega(
            QStringLiteral("Value"), miembro(control, dataField(control)), QString::number(valor));
    } else if (tipo == OptionButton) {
        agrega(QStringLiteral("Value"), miembro(control, nombre),
            verdad(static_cast<const QRadioButton*>(control)->isChecked()));
    } else if (tipo == ComboBox) {
        agrega(QStringLiteral("ListIndex"), dataField(control),
            QString::number(static_cast<const QComboBox*>(control)->currentIndex()));
    } else if (tipo == ListBox) {
        if (!guardaListas)
            return;
        const auto* lista = static_cast<const QListWidget*>(control);
        for (int i = 0; i < lista->count(); ++i) {
            agrega(QStringLiteral("List"), dataField(control), lista->item(i)->text());
            agrega(QStringLiteral("Selected"), dataField(control),
                verdad(itemElegido(lista->item(i))));
        }
    } else if (tipo == ListView) {
        auto* vista = static_cast<QTreeView*>(control);
        const QHeaderView* cabecera = vista->header();
        for (int i = 0; i < cabecera->count(); ++i)
            agrega(QStringLiteral("ColWidth"), tituloColumna(vista, i),
                QString::number(Twips::fromPixels(cabecera->sectionSize(i))));
        for (int i = 0; i < cabecera->count(); ++i)
            agrega(QStringLiteral("ColPosition"), tituloColumna(vista, i),
                QString::number(cabecera->visualIndex(i) + 1));
    } else if (tipo == DataGrid) {
        auto* grilla = static_cast<QTableView*>(control);
        agrega(QStringLiteral("PageSize"), QString(), control->property("PageSize").toString());
        agrega(QStringLiteral("CamposSel"), QString(), control->property("CamposSel").toString());
        const int total = columnas(control);
        // Kept as the suite's grid writes it: while the grid stands on its last column every
        // width is written as 0.
        const bool enUltima = grilla->currentIndex().column() == total - 1;
        for (int i = 0; i < total; ++i)
            agrega(QStringLiteral("ColWidth"), QString(),
                enUltima ? QStringLiteral("0")
                         : QString::number(Twips::fromPixels(grilla->columnWidth(i))));
    }
}

struct FilaLeida
{
    QString tipo;
    QString nombre;
    QString propiedad;
    QString campo;
    QString valor;
};

class FilasLeidas
{
public:
    explicit FilasLeidas(QList<FilaLeida> filas)
        : m_filas(std::move(filas))
    {
    }

    QStringList valores(const QString& tipo, const QString& nombre, const QString& campo,
        const QString& propiedad) const
    {
        const QString t = ajusta(tipo, AnchoColumna);
        const QString n = ajusta(nombre, AnchoColumna);
        const QString c = ajusta(campo, AnchoColumna);
        const QString p = ajusta(propiedad, AnchoColumna);
        QStringList encontrados;
        for (const FilaLeida& fila : m_filas) {
            if (mismaClave(fila.tipo, t) && mismaClave(fila.nombre, n) && mismaClave(fila.campo, c)
                && mismaClave(fila.propiedad, p))
                encontrados.append(fila.valor);
        }
        return encontrados;
    }

    std::optional<QString> primero(const QString& tipo, const QString& nombre, const QString& campo,
        const QString& propiedad) const
    {
        const QStringList todos = valores(tipo, nombre, campo, propiedad);
        if (todos.isEmpty())
            return std::nullopt;
        return todos.first();
    }

private:
    QList<FilaLeida> m_filas;
};

bool aVerdad(const QString& texto)
{
    const QString limpio = texto.trimmed();
    // Rows written on a Spanish workstation may carry the words of its language.
    if (mismoTexto(limpio, QStringLiteral("Verdadero")))
        return true;
    if (mismoTexto(limpio, QStringLiteral("Falso")))
        return false;
    return Value(limpio).toBool();
}

void recuperaControl(QWidget* control, const FilasLeidas& leidas)
{
    const QString tipo = ConfigForm::tipoObjeto(control);
    const QString nombre = ConfigForm::nombreControl(control);

    if (tipo == TextBox) {
        const auto valor = leidas.primero(tipo, nombre, dataField(control), QStringLiteral("Text"));
        if (!valor)
            return;
        if (auto* linea = qobject_cast<QLineEdit*>(control))
            linea->setText(valor->trimmed());
        else if (auto* texto = qobject_cast<QPlainTextEdit*>(control))
            texto->setPlainText(valor->trimmed());
    } else if (tipo == CheckBox) {
        const auto valor = leidas.primero(
            tipo, nombre, miembro(control, dataField(control)), QStringLiteral("Value"));
        if (!valor)
            return;
        const double numero = leadingNumber(*valor);
        auto* caja = static_cast<QCheckBox*>(control);
        if (numero == 0)
            caja->setCheckState(Qt::Unchecked);
        else if (numero == 1)
            caja->setCheckState(Qt::Checked);
        else if (numero == 2)
            caja->setCheckState(Qt::PartiallyChecked);
        else
            valorInvalido(nombre);
    } else if (tipo == OptionButton) {
        const auto valor
            = leidas.primero(tipo, nombre, miembro(control, nombre), QStringLiteral("Value"));
        if (valor)
            static_cast<QRadioButton*>(control)->setChecked(aVerdad(*valor));
    } else if (tipo == ComboBox) {
        // The template box shows the name being applied, not the one saved with it.
        if (mismoTexto(nombre, QStringLiteral("CboPlantilla")))
            return;
        const auto valor
            = leidas.primero(tipo, nombre, dataField(control), QStringLiteral("ListIndex"));
        if (!valor)
            return;
        // Index 0 is a real choice (the empty "no condition" entry of the condition box); only
        // -1, nothing chosen, leaves the current choice.
        const double indice = leadingNumber(*valor);
        if (indice < 0)
            return;
        auto* combo = static_cast<QComboBox*>(control);
        if (indice >= combo->count() || indice != int(indice))
            valorInvalido(nombre);
        combo->setCurrentIndex(int(indice));
    } else if (tipo == ListView) {
        if (control->property("CheckBoxes").toBool())
            return;
        auto* vista = static_cast<QTreeView*>(control);
        QHeaderView* cabecera = vista->header();
        // Columns are found by their caption, so a saved layout still fits when columns moved.
        for (int i = 0; i < cabecera->count(); ++i) {
            const QString titulo = tituloColumna(vista, i);
            if (const auto ancho = leidas.primero(tipo, nombre, titulo, QStringLiteral("ColWidth")))
                cabecera->resizeSection(i, Twips::toPixels(leadingNumber(*ancho)));
        }
        for (int i = 0; i < cabecera->count(); ++i) {
            const QString titulo = tituloColumna(vista, i);
            const auto posicion
                = leidas.primero(tipo, nombre, titulo, QStringLiteral("ColPosition"));
            if (!posicion)
                continue;
            const int destino = int(leadingNumber(*posicion)) - 1;
            if (destino >= 0 && destino < cabecera->count())
                cabecera->moveSection(cabecera->visualIndex(i), destino);
        }
    } else if (tipo == DataGrid) {
        for (const char* propiedad : { "PageSize", "CamposSel" }) {
            const auto valor
                = leidas.primero(tipo, nombre, QString(), QString::fromLatin1(propiedad));
            if (valor)
                control->setProperty(propiedad, valor->trimmed());
        }
        auto* grilla = static_cast<QTableView*>(control);
        const QStringList anchos
            = leidas.valores(tipo, nombre, QString(), QStringLiteral("ColWidth"));
        int columna = 0;
        for (; columna < anchos.size() && columna < columnas(control); ++columna)
            grilla->setColumnWidth(columna, Twips::toPixels(leadingNumber(anchos[columna])));
        // As the suite's grid does: the last column given a width is the grid's hidden one.
        if (columna > 0)
            grilla->setColumnWidth(columna - 1, 0);
    }
}

void recuperaVentana(QWidget* form, const FilasLeidas& leidas, const QString& campo)
{
    const QString nombre = form->objectName();
    const auto medida = [&](const char* propiedad) {
        return leidas.primero(nombre, nombre, campo, QString::fromLatin1(propiedad));
    };
    QRect lugar(form->pos(), form->size());
    if (const auto top = medida("Top"))
        lugar.moveTop(Twips::toPixels(leadingNumber(*top)));
    if (const auto left = medida("Left"))
        lugar.moveLeft(Twips::toPixels(leadingNumber(*left)));

    // Only a window the operator can size gets its size back (none 0, sizable 2, sizable tool
    // window 5); a fixed dialog keeps its design.
    const QVariant estilo = form->property("BorderStyle");
    const int borde = estilo.isValid()               ? estilo.toInt()
        : form->minimumSize() == form->maximumSize() ? 1
                                                     : 2;
    if (borde == 0 || borde == 2 || borde == 5) {
        if (const auto ancho = medida("Width"))
            lugar.setWidth(Twips::toPixels(leadingNumber(*ancho)));
        if (const auto alto = medida("Height"))
            lugar.setHeight(Twips::toPixels(leadingNumber(*alto)));
    }

    // Back onto the screen.
    const QScreen* pantalla = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    const QRect area = pantalla ? pantalla->geometry() : QRect(0, 0, 1024, 768);
    const int minimo = Twips::toPixels(3500);
    if (lugar.left() < 0 || lugar.left() > area.width())
        lugar.moveLeft(0);
    if (lugar.top() < 0 || lugar.top() > area.height())
        lugar.moveTop(0);
    if (lugar.width() > area.width())
        lugar.setWidth(area.width());
    if (lugar.width() < minimo)
        lugar.setWidth(minimo);
    if (lugar.height() < minimo)
        lugar.setHeight(minimo);

    form->move(lugar.topLeft());
    if (borde == 0 || borde == 2 || borde == 5)
        form->resize(lugar.size());
}

bool fallo()
{
    return gDB().gCnn().Errors().Count() > 0;
}

} // namespace

QString ConfigForm::tipoObjeto(const QWidget* control)
{
    if (qobject_cast<const QLineEdit*>(control) || qobject_cast<const QPlainTextEdit*>(control))
        return TextBox;
    if (qobject_cast<const QCheckBox*>(control))
        return CheckBox;
    if (qobject_cast<const QRadioButton*>(control))
        return OptionButton;
    if (qobject_cast<const QComboBox*>(control))
        return ComboBox;
    if (qobject_cast<const QListWidget*>(control))
        return ListBox;
    if (qobject_cast<const QTreeView*>(control))
        return ListView;
    if (qobject_cast<const QTableView*>(control))
        return DataGrid;
    return QString();
}

QString ConfigForm::nombreControl(const QWidget* control)
{
    static const QRegularExpression miembro(QStringLiteral("^(.+)_(\\d+)$"));
    const QString nombre = control->objectName();
    const QRegularExpressionMatch coincide = miembro.match(nombre);
    return coincide.hasMatch() ? coincide.captured(1) : nombre;
}

int ConfigForm::indiceControl(const QWidget* control)
{
    if (!gUtilidades().EsArregloControles(control))
        return -1;
    const QVariant indice = control->property("Index");
    if (indice.isValid())
        return indice.toInt();
    const QString nombre = control->objectName();
    return nombre.mid(nombre.lastIndexOf(u'_') + 1).toInt();
}

QString ConfigForm::claveFormulario(const QWidget* form, const QString& sufijo)
{
    return ajusta(form->objectName() + sufijo, AnchoFormulario);
}

QString ConfigForm::claveUsuario(const QString& sufijo)
{
    // A template belongs to nobody: every user sees and replaces the same rows.
    if (sufijo.contains(u'@'))
        return QString();
    return ajusta(gInicio().gUsuarioLogeado, AnchoColumna);
}

QList<FilaConfigForm> ConfigForm::filas(QWidget* form, const QString& sufijo, bool guardaListas)
{
    QList<FilaConfigForm> resultado;
    recorre(form, [&](QWidget* control) { filasDeControl(control, guardaListas, resultado); });
    if (sufijo.isEmpty()) {
        // The window's rows carry the data field of the last control walked: the restore walks
        // the same controls and looks them up the same way.
        const QString campo = resultado.isEmpty() ? QString() : resultado.last().DataField;
        const QString nombre = form->objectName();
        const auto agrega = [&](const char* propiedad, int pixeles) {
            resultado.append({ nombre, nombre, QString::fromLatin1(propiedad), campo,
                QString::number(Twips::fromPixels(pixeles)) });
        };
        agrega("Top", form->y());
        agrega("Left", form->x());
        agrega("Width", form->width());
        agrega("Height", form->height());
    }
    return resultado;
}

QString ConfigForm::sentenciaBorrado(
    const QString& formulario, const QString& usuario, const QString& filtro)
{
    QString sql = QStringLiteral("DELETE TA_CONFIG_FORM WHERE FORMULARIO = ") + literal(formulario)
        + QStringLiteral(" AND USUARIO= ") + literal(usuario);
    if (!filtro.isEmpty())
        sql += QStringLiteral(" and Nombre = ") + literal(filtro);
    return sql;
}

QString ConfigForm::sentenciaInsercion(
    const QString& formulario, const QString& usuario, const FilaConfigForm& fila)
{
    const QStringList valores { literal(formulario), literal(usuario),
        literal(ajusta(fila.TipoObjeto, AnchoColumna)), literal(ajusta(fila.Nombre, AnchoColumna)),
        literal(ajusta(fila.Propiedad, AnchoColumna)),
        literal(ajusta(fila.DataField, AnchoColumna)), literal(fila.Valor) };
    return QStringLiteral(
               "INSERT INTO TA_CONFIG_FORM "
               "(FORMULARIO,USUARIO,TIPOOBJETO,NOMBRE,PROPIEDAD,DATAFIELD,VALOR) VALUES (")
        + valores.join(u',') + u')';
}

QString ConfigForm::sentenciaLectura(const QString& formulario, const QString& usuario)
{
    return QStringLiteral("SELECT * FROM TA_CONFIG_FORM  with(nolock)  WHERE FORMULARIO = ")
        + literal(formulario) + QStringLiteral(" AND USUARIO = ") + literal(usuario)
        + QStringLiteral(" order by id");
}

bool ConfigForm::GuardaConfigForm(
    QWidget* form, const QString& sufijo, const QString& filtro, bool guardaListas)
{
    const QString formulario = claveFormulario(form, sufijo);
    const QString usuario = claveUsuario(sufijo);
    const QList<FilaConfigForm> nuevas = filas(form, sufijo, guardaListas);

    // The old rows go and the new ones come in one transaction: a save that fails half-way
    // leaves the state (or the template every user shares) as it was.
    AdoConnection& cnn = gDB().gCnn();
    if (!cnn.BeginTrans())
        return false;
    gDB().EjecutaConsultaSQL(sentenciaBorrado(formulario, usuario, filtro));
    bool ok = !fallo();
    for (qsizetype i = 0; ok && i < nuevas.size(); ++i) {
        const FilaConfigForm& fila = nuevas[i];
        if (!filtro.isEmpty() && !mismoTexto(filtro, fila.TipoObjeto)
            && !mismoTexto(filtro, fila.Nombre))
            continue;
        gDB().EjecutaConsultaSQL(sentenciaInsercion(formulario, usuario, fila));
        ok = !fallo();
    }
    if (ok && cnn.CommitTrans())
        return true;
    cnn.RollbackTrans();
    return false;
}

bool ConfigForm::RecuperaConfigForm(QWidget* form, const QString& sufijo, const QString& filtro)
{
    const QString formulario = claveFormulario(form, sufijo);
    const QString usuario = claveUsuario(sufijo);

    // Every row of the key is read once, in the order it was written; the first row of a
    // property is the one that counts.
    QList<FilaLeida> filasLeidas;
    try {
        AdoRecordset rs;
        gDB().AbrirRecordset(sentenciaLectura(formulario, usuario), rs);
        if (rs.State() == adStateClosed)
            return false;
        const auto texto = [&rs](const char* campo) {
            return gUtilidades().ValorCampo(rs.Fields(QString::fromLatin1(campo)).Value());
        };
        for (; !rs.Eof(); rs.MoveNext())
            filasLeidas.append({ texto("TIPOOBJETO"), texto("NOMBRE"), texto("PROPIEDAD"),
                texto("DATAFIELD"), texto("VALOR") });
        gDB().CierraRecordset(rs);
    } catch (const RuntimeError&) {
        return false;
    }
    const FilasLeidas leidas(std::move(filasLeidas));

    recorre(form, [&](QWidget* control) {
        if (!filtro.isEmpty() && !mismoTexto(filtro, nombreControl(control)))
            return;
        // A value that cannot be applied costs only its own control.
        try {
            recuperaControl(control, leidas);
        } catch (const RuntimeError&) {
        }
    });

    if (sufijo.isEmpty()) {
        const QList<FilaConfigForm> propias = filas(form, QString(), false);
        try {
            recuperaVentana(form, leidas, propias.last().DataField);
        } catch (const RuntimeError&) {
        }
    }
    return true;
}
