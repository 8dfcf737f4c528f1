#include "ConfigFormDemo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/AdoRecordset.h"
#include "platform/Utilidades.h"

namespace testsupport {

namespace {

template <typename Control> Control* nombrado(QWidget* padre, const QString& nombre)
{
    auto* control = new Control(padre);
    control->setObjectName(nombre);
    padre->layout()->addWidget(control);
    return control;
}

} // namespace

FrmPrueba::FrmPrueba()
{
    setObjectName(QStringLiteral("FrmPrueba"));
    new QVBoxLayout(this);
    auto* criterios = nombrado<QGroupBox>(this, QStringLiteral("Frame1"));
    new QVBoxLayout(criterios);
    const QStringList campos { QStringLiteral("IDArticulo"), QStringLiteral("Nombre") };
    for (int i = 0; i < campos.size(); ++i) {
        auto* campo = nombrado<QLineEdit>(criterios, QStringLiteral("txtfields_%1").arg(i));
        campo->setProperty("DataField", campos[i]);
        campo->setProperty("Index", i);
        txtfields.append(campo);
    }
    // An unnamed container and a label: walked through, never stored.
    auto* sinNombre = new QWidget(this);
    layout()->addWidget(sinNombre);
    new QVBoxLayout(sinNombre);
    txtNota = nombrado<QLineEdit>(sinNombre, QStringLiteral("txtNota"));
    nombrado<QLabel>(sinNombre, QStringLiteral("lblNota"))->setText(QStringLiteral("Nota"));
    chkSuelto = nombrado<QCheckBox>(this, QStringLiteral("chkSuelto"));
    for (int i = 0; i < 2; ++i)
        ChkCol.append(nombrado<QCheckBox>(this, QStringLiteral("ChkCol_%1").arg(i)));
    auto* orden = nombrado<QGroupBox>(this, QStringLiteral("Frame4"));
    new QVBoxLayout(orden);
    for (int i = 0; i < 2; ++i)
        OptOrden.append(nombrado<QRadioButton>(orden, QStringLiteral("OptOrden_%1").arg(i)));
    OptOrden[0]->setChecked(true);
    auto* otro = nombrado<QGroupBox>(this, QStringLiteral("Frame5"));
    new QVBoxLayout(otro);
    OptSolo = nombrado<QRadioButton>(otro, QStringLiteral("OptSolo"));
    CmbCond = nombrado<QComboBox>(this, QStringLiteral("CmbCond"));
    CmbCond->addItems({ QString(), QStringLiteral("Contado"), QStringLiteral("Tarjeta") });
    CmbCond->setCurrentIndex(2);
    CboPlantilla = nombrado<QComboBox>(this, QStringLiteral("CboPlantilla"));
    CboPlantilla->setEditable(true);
    LstItems = nombrado<QListWidget>(this, QStringLiteral("LstItems"));
    for (const QString& texto : { QStringLiteral("L1"), QStringLiteral("L2") }) {
        auto* item = new QListWidgetItem(texto, LstItems);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(texto == QLatin1String("L2") ? Qt::Checked : Qt::Unchecked);
    }
    // A spin box holds a line edit of Qt's own: not a control of the window.
    nombrado<QSpinBox>(this, QStringLiteral("spnCopias"));

    ListView1 = nombrado<QTreeView>(this, QStringLiteral("ListView1"));
    auto* modeloLista = new QStandardItemModel(0, 2, ListView1);
    modeloLista->setHorizontalHeaderLabels(
        { QStringLiteral("Codigo"), QStringLiteral("Descripcion") });
    ListView1->setModel(modeloLista);
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->resizeSection(0, 60);
    ListView1->header()->resizeSection(1, 200);

    GrdDatos = nombrado<QTableView>(this, QStringLiteral("GrdDatos"));
    auto* modeloGrilla = new QStandardItemModel(2, 3, GrdDatos);
    GrdDatos->setModel(modeloGrilla);
    for (int i = 0; i < 3; ++i)
        GrdDatos->setColumnWidth(i, 50 + 10 * i);
    GrdDatos->setProperty("PageSize", 20);
    GrdDatos->setProperty("CamposSel", QStringLiteral("|CODIGO|"));
}

void ConfigFormDemo::SetUp()
{
    DemoDatabaseTest::SetUp();
    if (HasFatalFailure())
        return;
    abrePrincipal();
    m_objects.gDB.gEsAdmin = true;
    m_inicio.gUsuarioLogeado = QStringLiteral("MARTA");
    ejecuta(QStringLiteral("DELETE FROM TA_CONFIG_FORM"));
}

void ConfigFormDemo::ejecuta(const QString& sql)
{
    ASSERT_TRUE(m_objects.gDB.gCnn().Execute(sql))
        << sql.toStdString() << ": "
        << m_objects.gDB.gCnn().LastError().description().toStdString();
}

QStringList ConfigFormDemo::filasGuardadas(const QString& formulario)
{
    QStringList filas;
    AdoRecordset rs;
    const QString sql = QStringLiteral("SELECT * FROM TA_CONFIG_FORM WHERE FORMULARIO = ")
        + m_objects.gDB.SQLValue(Value(formulario)) + QStringLiteral(" ORDER BY ID");
    m_objects.gDB.AbrirRecordset(QString(sql), rs);
    for (; !rs.Eof(); rs.MoveNext()) {
        QStringList campos;
        for (const char* campo :
            { "USUARIO", "TIPOOBJETO", "NOMBRE", "PROPIEDAD", "DATAFIELD", "VALOR" })
            campos.append(gUtilidades().ValorCampo(rs.Fields(QString::fromLatin1(campo)).Value()));
        filas.append(campos.join(u'|'));
    }
    return filas;
}

void ConfigFormDemo::insertaFila(const QString& formulario, const QString& usuario,
    const QString& tipo, const QString& nombre, const QString& propiedad, const QString& dataField,
    const QString& valor)
{
    const auto v = [this](const QString& texto) { return m_objects.gDB.SQLValue(Value(texto)); };
    ejecuta(QStringLiteral("INSERT INTO TA_CONFIG_FORM "
                           "(FORMULARIO,USUARIO,TIPOOBJETO,NOMBRE,PROPIEDAD,DATAFIELD,VALOR) "
                           "VALUES (%1,%2,%3,%4,%5,%6,%7)")
                .arg(v(formulario), v(usuario), v(tipo), v(nombre), v(propiedad), v(dataField),
                    v(valor)));
}

} // namespace testsupport
