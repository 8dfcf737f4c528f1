#pragma once

#include <vector>

#include <QAbstractItemModel>
#include <QHash>
#include <QString>

// The nodes of the lookup tree dialog, as the suite's tree control holds them: each node has a
// unique key and a text and hangs under a parent given by key; nodes may carry check marks. Nodes
// are numbered 0.. in the order they were added (root first), the order the dialog's searches and
// confirmations walk.
class LookupTreeModel final : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit LookupTreeModel(QObject* parent = nullptr);

    // Removes every node.
    void clear();
    // Adds a node under the node `parentKey` (empty text: at the top) and returns its number.
    // Raises RuntimeError 35602 when `key` is already in the tree and 35601 when `parentKey` is
    // not; nothing is added then.
    int agregar(const QString& parentKey, const QString& key, const QString& text);

    // Nodes carry check boxes.
    bool checkBoxes() const { return m_checkBoxes; }
    void setCheckBoxes(bool on);

    int count() const { return int(m_nodes.size()); }
    // Node number of `key` (exact), -1 when none.
    int buscar(const QString& key) const;
    QString key(int node) const;
    QString text(int node) const;
    bool checked(int node) const;
    // Sets one node's check mark (the dialog copies it down the branch itself).
    void setChecked(int node, bool checked);
    // Node number of the parent (-1 for a top node) and the children in order.
    int padre(int node) const;
    const std::vector<int>& hijos(int node) const;
    // The node whose key is the longest prefix of `key` (ignoring case), the earlier node on equal
    // length; -1 when none is.
    int prefijoMasLargo(const QString& key) const;

    QModelIndex indexOf(int node) const;
    int nodeOf(const QModelIndex& index) const;

    QModelIndex index(
        int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // A check mark clicked in the view: sets it and emits nodeChecked (the control's NodeCheck).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    // The operator changed the check mark of `node`.
    void nodeChecked(int node);

private:
    struct Nodo
    {
        QString key;
        QString text;
        int padre = -1;
        int fila = 0;
        bool checked = false;
        std::vector<int> hijos;
    };

    std::vector<Nodo> m_nodes;
    std::vector<int> m_top;
    QHash<QString, int> m_porClave;
    bool m_checkBoxes = false;
};
