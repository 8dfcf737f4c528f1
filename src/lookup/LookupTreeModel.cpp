#include "lookup/LookupTreeModel.h"

#include "platform/RuntimeError.h"

namespace {

// The tree control's own error numbers, which the error reporter shows.
constexpr int ClaveRepetida = 35602;
constexpr int ElementoNoEncontrado = 35601;

const std::vector<int> SinHijos;

} // namespace

LookupTreeModel::LookupTreeModel(QObject* parent)
    : QAbstractItemModel(parent)
{
}

void LookupTreeModel::clear()
{
    beginResetModel();
    m_nodes.clear();
    m_top.clear();
    m_porClave.clear();
    endResetModel();
}

void LookupTreeModel::setCheckBoxes(bool on)
{
    if (m_checkBoxes == on)
        return;
    beginResetModel();
    m_checkBoxes = on;
    endResetModel();
}

int LookupTreeModel::agregar(const QString& parentKey, const QString& key, const QString& text)
{
    if (m_porClave.contains(key))
        throw RuntimeError(ClaveRepetida, QStringLiteral("Key is not unique in collection"),
            QStringLiteral("TreeView"));
    int padre = -1;
    if (!parentKey.isEmpty()) {
        padre = buscar(parentKey);
        if (padre < 0)
            throw RuntimeError(ElementoNoEncontrado, QStringLiteral("Element not found"),
                QStringLiteral("TreeView"));
    }
    std::vector<int>& hermanos = padre < 0 ? m_top : m_nodes[size_t(padre)].hijos;
    const int fila = int(hermanos.size());
    beginInsertRows(padre < 0 ? QModelIndex() : indexOf(padre), fila, fila);
    const int numero = int(m_nodes.size());
    Nodo nodo;
    nodo.key = key;
    nodo.text = text;
    nodo.padre = padre;
    nodo.fila = fila;
    m_nodes.push_back(std::move(nodo));
    // m_nodes may have moved: take the siblings again.
    (padre < 0 ? m_top : m_nodes[size_t(padre)].hijos).push_back(numero);
    m_porClave.insert(key, numero);
    endInsertRows();
    return numero;
}

int LookupTreeModel::buscar(const QString& key) const
{
    return m_porClave.value(key, -1);
}

QString LookupTreeModel::key(int node) const
{
    return node >= 0 && node < count() ? m_nodes[size_t(node)].key : QString();
}

QString LookupTreeModel::text(int node) const
{
    return node >= 0 && node < count() ? m_nodes[size_t(node)].text : QString();
}

bool LookupTreeModel::checked(int node) const
{
    return node >= 0 && node < count() && m_nodes[size_t(node)].checked;
}

void LookupTreeModel::setChecked(int node, bool checked)
{
    if (node < 0 || node >= count())
        return;
    m_nodes[size_t(node)].checked = checked;
    const QModelIndex changed = indexOf(node);
    Q_EMIT dataChanged(changed, changed, { Qt::CheckStateRole });
}

int LookupTreeModel::padre(int node) const
{
    return node >= 0 && node < count() ? m_nodes[size_t(node)].padre : -1;
}

const std::vector<int>& LookupTreeModel::hijos(int node) const
{
    return node >= 0 && node < count() ? m_nodes[size_t(node)].hijos : SinHijos;
}

int LookupTreeModel::prefijoMasLargo(const QString& key) const
{
    int mejor = -1;
    qsizetype largo = -1;
    for (int i = 0; i < count(); ++i) {
        const QString& candidato = m_nodes[size_t(i)].key;
        if (candidato.size() > largo && key.startsWith(candidato, Qt::CaseInsensitive)) {
            mejor = i;
            largo = candidato.size();
        }
    }
    return mejor;
}

QModelIndex LookupTreeModel::indexOf(int node) const
{
    if (node < 0 || node >= count())
        return QModelIndex();
    return createIndex(m_nodes[size_t(node)].fila, 0, quintptr(node));
}

int LookupTreeModel::nodeOf(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return -1;
    return int(index.internalId());
}

QModelIndex LookupTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return QModelIndex();
    const std::vector<int>& hermanos = parent.isValid() ? hijos(nodeOf(parent)) : m_top;
    if (row >= int(hermanos.size()))
        return QModelIndex();
    return createIndex(row, 0, quintptr(hermanos[size_t(row)]));
}

QModelIndex LookupTreeModel::parent(const QModelIndex& child) const
{
    return indexOf(padre(nodeOf(child)));
}

int LookupTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(m_top.size());
    return int(hijos(nodeOf(parent)).size());
}

int LookupTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant LookupTreeModel::data(const QModelIndex& index, int role) const
{
    const int node = nodeOf(index);
    if (node < 0 || node >= count())
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_nodes[size_t(node)].text;
    if (role == Qt::CheckStateRole && m_checkBoxes)
        return m_nodes[size_t(node)].checked ? Qt::Checked : Qt::Unchecked;
    return QVariant();
}

bool LookupTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const int node = nodeOf(index);
    if (role != Qt::CheckStateRole || !m_checkBoxes || node < 0 || node >= count())
        return false;
    setChecked(node, value.toInt() == Qt::Checked);
    Q_EMIT nodeChecked(node);
    return true;
}

Qt::ItemFlags LookupTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_checkBoxes)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}
