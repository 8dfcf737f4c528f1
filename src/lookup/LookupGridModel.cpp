#include "lookup/LookupGridModel.h"

#include <algorithm>

#include <QCollator>
#include <QLocale>

#include "lookup/LookupGridRules.h"
#include "platform/AdoRecordset.h"

namespace {

// Records fetched per block while reading: big enough to keep the per-call cost away, small enough
// to keep memory flat on a large lookup.
constexpr qint64 BlockRows = 512;

int fieldIndex(AdoRecordset& rs, const QString& name)
{
    const QString wanted = name.trimmed();
    if (wanted.isEmpty())
        return -1;
    for (int i = 0; i < rs.FieldCount(); ++i) {
        if (rs.Fields(i).Name().compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

LookupGridModel::LookupGridModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void LookupGridModel::clear()
{
    beginResetModel();
    m_columns.clear();
    m_textos.clear();
    m_cortes.clear();
    m_rows.clear();
    m_order.clear();
    m_longest.clear();
    for (std::optional<QColor>& nivel : m_niveles)
        nivel.reset();
    m_lectura = Lectura();
    endResetModel();
}

void LookupGridModel::agregarColumna(const Columna& columna)
{
    beginResetModel();
    const int count = int(m_columns.size());
    // Rows already there get an empty cell in the new column: one more offset, at the end.
    std::vector<quint32> cortes;
    cortes.reserve(m_rows.size() * size_t(count + 2));
    for (size_t r = 0; r < m_rows.size(); ++r) {
        const auto fila = m_cortes.begin() + qsizetype(r) * (count + 1);
        cortes.insert(cortes.end(), fila, fila + count + 1);
        cortes.push_back(cortes.back());
    }
    m_cortes = std::move(cortes);
    m_columns.append(columna);
    m_longest.push_back(0);
    endResetModel();
}

void LookupGridModel::agregarFila(const QStringList& celdas, bool checked)
{
    beginResetModel();
    EstadoFila estado;
    estado.checked = checked;
    agregaCeldas(celdas.constData(), celdas.size(), estado);
    if (m_sorted)
        applySort();
    endResetModel();
}

void LookupGridModel::setCheckBoxes(bool on)
{
    if (m_checkBoxes == on)
        return;
    beginResetModel();
    m_checkBoxes = on;
    endResetModel();
}

void LookupGridModel::Encolumnar(AdoRecordset& rs, const Carga& carga)
{
    clear();
    const bool nombresDeListas = LookupGridRules::usaNombresDeListas(carga.sql);
    const bool ensanchar = !nombresDeListas
        && carga.valoresDefault.compare(QLatin1String("@10"), Qt::CaseInsensitive) == 0;

    // Each column is shown as soon as it is made, so a failure half-way keeps the ones before it.
    const int count = rs.FieldCount();
    for (int j = 0; j < count; ++j) {
        const AdoField& field = rs.Fields(j);
        Columna columna;
        columna.campo = field.Name();
        columna.titulo = field.Name();
        columna.tipo = field.Type();
        columna.tamanio = field.DefinedSize();
        columna.ensanchar = ensanchar;
        if (nombresDeListas && carga.cfg) {
            const QString clave = LookupGridRules::clavePrecio(columna.campo);
            if (!clave.isEmpty())
                columna.titulo = carga.cfg(clave);
        }
        beginInsertColumns(QModelIndex(), j, j);
        m_columns.append(columna);
        m_longest.push_back(0);
        endInsertColumns();
    }
}

void LookupGridModel::Leer(AdoRecordset& rs, const Carga& carga, qint64 primeras)
{
    const int fieldCount = int(m_columns.size());
    m_lectura = Lectura();
    if (fieldCount == 0 || rs.Eof())
        return;

    Lectura& l = m_lectura;
    l.rs = &rs;
    l.valoresDefault = carga.checkBoxes ? carga.valoresDefault : QString();
    l.devuelto = carga.checkBoxes ? fieldIndex(rs, carga.campoDevuelto) : -1;
    // Stock colours: only article lookups that show stock and carry both fields. A lookup with a
    // single field never colours its rows, as the suite's list never did.
    if (fieldCount > 1 && LookupGridRules::esConsultaArticulos(carga.sql)
        && carga.muestraStock.trimmed().compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0) {
        l.puntoPedido = fieldIndex(rs, QStringLiteral("PUNTOPEDIDO"));
        l.stock = fieldIndex(rs, QStringLiteral("Stock"));
        for (int i = 0; i < 4; ++i)
            l.niveles[i] = LookupGridRules::colorDeNivel(carga.stkNivel[i]);
    }

    beginResetModel();
    try {
        QList<QList<Value>> block;
        do {
            leerBloque(primeras > 0 ? primeras - qint64(m_rows.size()) : BlockRows, block);
            agregaRegistros(block);
        } while (quedanFilas() && (primeras <= 0 || qint64(m_rows.size()) < primeras));
    } catch (...) {
        m_lectura = Lectura();
        endResetModel();
        throw;
    }
    if (m_sorted)
        applySort();
    endResetModel();
    if (!quedanFilas())
        Q_EMIT lecturaTerminada();
}

void LookupGridModel::leerBloque(qint64 filas, QList<QList<Value>>& block)
{
    block.clear();
    if (!m_lectura.rs)
        return;
    AdoRecordset& rs = *m_lectura.rs;
    try {
        if (!rs.Eof())
            block = rs.GetRows(std::clamp<qint64>(filas, 1, BlockRows));
    } catch (...) {
        m_lectura = Lectura();
        throw;
    }
    if (rs.Eof())
        m_lectura.rs = nullptr;
}

void LookupGridModel::agregaRegistros(const QList<QList<Value>>& block)
{
    const Lectura& l = m_lectura;
    const int fieldCount = int(m_columns.size());
    const bool colorea = l.puntoPedido >= 0 && l.stock >= 0;
    for (int i = 0; i < 4; ++i)
        m_niveles[i] = l.niveles[i];
    std::vector<QString> celdas(static_cast<size_t>(fieldCount));
    for (const QList<Value>& record : block) {
        EstadoFila estado;
        if (colorea) {
            if (const auto nivel
                = LookupGridRules::nivelStock(record.at(l.puntoPedido), record.at(l.stock)))
                estado.nivel = qint8(*nivel - 1);
        }
        // Every cell is the field's text trimmed: the first as the row's text, the others as
        // the library's code fitting without a width leaves them.
        for (int i = 0; i < fieldCount; ++i) {
            QString& text = celdas[size_t(i)];
            text = record.at(i).toString().trimmed();
            if (i == l.devuelto && !record.at(i).isNull() && !text.isEmpty()
                && l.valoresDefault.contains(text, Qt::CaseInsensitive))
                estado.checked = true;
        }
        agregaCeldas(celdas.data(), fieldCount, estado);
    }
}

bool LookupGridModel::leerMas(qint64 filas)
{
    if (!quedanFilas())
        return false;
    QList<QList<Value>> block;
    while (filas > 0 && quedanFilas()) {
        leerBloque(filas, block);
        filas -= block.size();
        if (block.isEmpty())
            continue;
        const int first = rowCount();
        // Rows read behind a sorted list would go to their place: the list sorts only once every
        // row is there (leerTodo), so here they always go to the end.
        beginInsertRows(QModelIndex(), first, first + int(block.size()) - 1);
        agregaRegistros(block);
        endInsertRows();
    }
    if (!quedanFilas())
        Q_EMIT lecturaTerminada();
    return true;
}

void LookupGridModel::leerTodo()
{
    while (quedanFilas())
        leerMas(BlockRows * 64);
}

bool LookupGridModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && quedanFilas();
}

void LookupGridModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid())
        return;
    // Called by the view, which cannot take an exception: a failure is told by signal.
    try {
        leerMas(BlockRows);
    } catch (const RuntimeError& error) {
        Q_EMIT lecturaFallida(error);
    }
}

void LookupGridModel::desmarcarTodo()
{
    m_lectura.valoresDefault.clear();
    for (int fila = 0; fila < rowCount(); ++fila) {
        if (checked(fila))
            setChecked(fila, false);
    }
}

int LookupGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int LookupGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QStringView LookupGridModel::cell(int storedRow, int column) const
{
    const size_t corte = size_t(storedRow) * size_t(m_columns.size() + 1) + size_t(column);
    return QStringView(m_textos[size_t(storedRow)])
        .sliced(m_cortes[corte], m_cortes[corte + 1] - m_cortes[corte]);
}

void LookupGridModel::agregaCeldas(const QString* celdas, qsizetype cantidad, EstadoFila estado)
{
    const int count = int(m_columns.size());
    QString texto;
    qsizetype largo = 0;
    for (qsizetype c = 0; c < qMin<qsizetype>(cantidad, count); ++c)
        largo += celdas[c].size();
    texto.reserve(largo);
    for (int c = 0; c < count; ++c) {
        m_cortes.push_back(quint32(texto.size()));
        if (c < cantidad) {
            texto += celdas[c];
            m_longest[size_t(c)] = qMax(m_longest[size_t(c)], int(celdas[c].size()));
        }
    }
    m_cortes.push_back(quint32(texto.size()));
    m_textos.push_back(std::move(texto));
    m_order.push_back(int(m_rows.size()));
    m_rows.push_back(estado);
}

QVariant LookupGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    const int row = stored(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return cell(row, index.column()).toString();
    case Qt::CheckStateRole:
        if (m_checkBoxes && index.column() == 0)
            return m_rows[size_t(row)].checked ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    case Qt::ForegroundRole:
        if (const std::optional<QColor> c = color(index.row()))
            return *c;
        return QVariant();
    case Qt::TextAlignmentRole:
        if (LookupGridRules::esColumnaNumerica(m_columns.at(index.column()).tipo))
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

bool LookupGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || !m_checkBoxes || index.column() != 0)
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant LookupGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_columns.at(section).titulo;
    return QVariant();
}

Qt::ItemFlags LookupGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_checkBoxes && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

void LookupGridModel::sort(int column, Qt::SortOrder order)
{
    setSorting(true, column, order);
}

void LookupGridModel::setSorting(bool sorted, int key, Qt::SortOrder order)
{
    const bool resort = sorted && (!m_sorted || key != m_sortKey || order != m_sortOrder);
    // The list sorts every row of the query, not the ones read so far.
    if (sorted) {
        try {
            leerTodo();
        } catch (const RuntimeError& error) {
            Q_EMIT lecturaFallida(error);
        }
    }
    m_sorted = sorted;
    m_sortKey = key;
    m_sortOrder = order;
    if (!resort || m_order.size() < 2)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> rowsBefore;
    rowsBefore.reserve(size_t(before.size()));
    for (const QModelIndex& index : before)
        rowsBefore.push_back(stored(index.row()));
    applySort();
    std::vector<int> placeOf(m_order.size());
    for (size_t place = 0; place < m_order.size(); ++place)
        placeOf[size_t(m_order[place])] = int(place);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(placeOf[size_t(rowsBefore[size_t(i)])], before.at(i).column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void LookupGridModel::applySort()
{
    if (m_sortKey < 0 || m_sortKey >= columnCount())
        return;
    const int column = m_sortKey;
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    if (LookupGridRules::esColumnaNumerica(m_columns.at(column).tipo)) {
        std::vector<double> keys(m_rows.size());
        for (size_t r = 0; r < m_rows.size(); ++r)
            keys[r] = LookupGridRules::leeCantidad(cell(int(r), column).toString(), u'.');
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            return descending ? keys[size_t(b)] < keys[size_t(a)]
                              : keys[size_t(a)] < keys[size_t(b)];
        });
        return;
    }
    // Text sorts as the operator reads it: the workstation's alphabet, case ignored. Sort keys are
    // made once per row, so a large lookup sorts in a fraction of a second.
    QCollator collator { QLocale() };
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(m_rows.size());
    for (size_t r = 0; r < m_rows.size(); ++r)
        keys.push_back(collator.sortKey(cell(int(r), column).toString()));
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        return descending ? keys[size_t(b)].compare(keys[size_t(a)]) < 0
                          : keys[size_t(a)].compare(keys[size_t(b)]) < 0;
    });
}

int LookupGridModel::anchoCaracteres(int column) const
{
    const Columna& c = m_columns.at(column);
    return LookupGridRules::anchoCaracteres(
        c.tipo, c.tamanio, int(c.titulo.trimmed().size()), m_longest[size_t(column)], c.ensanchar);
}

QString LookupGridModel::texto(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return QString();
    return cell(stored(row), column).toString();
}

void LookupGridModel::setTexto(int row, int column, const QString& text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    // The row's text is made again with the new cell; the cells after it move by the
    // difference.
    const int fila = stored(row);
    const size_t corte = size_t(fila) * size_t(m_columns.size() + 1) + size_t(column);
    const qsizetype desde = m_cortes[corte];
    const qsizetype largo = m_cortes[corte + 1] - desde;
    m_textos[size_t(fila)].replace(desde, largo, text);
    const qint64 diferencia = text.size() - largo;
    for (size_t c = corte + 1; c <= corte + size_t(m_columns.size() - column); ++c)
        m_cortes[c] = quint32(qint64(m_cortes[c]) + diferencia);
    m_longest[size_t(column)] = qMax(m_longest[size_t(column)], int(text.size()));
    const QModelIndex changed = index(row, column);
    Q_EMIT dataChanged(changed, changed, { Qt::DisplayRole });
}

bool LookupGridModel::checked(int row) const
{
    if (row < 0 || row >= rowCount())
        return false;
    return m_rows[size_t(stored(row))].checked;
}

void LookupGridModel::setChecked(int row, bool checked)
{
    if (row < 0 || row >= rowCount())
        return;
    m_rows[size_t(stored(row))].checked = checked;
    const QModelIndex changed = index(row, 0);
    Q_EMIT dataChanged(changed, changed, { Qt::CheckStateRole });
}

std::optional<QColor> LookupGridModel::color(int row) const
{
    if (row < 0 || row >= rowCount())
        return std::nullopt;
    const qint8 nivel = m_rows[size_t(stored(row))].nivel;
    return nivel < 0 ? std::nullopt : m_niveles[nivel];
}

int LookupGridModel::Busqueda(int clave, const QString& queValor, int desde) const
{
    const int column = clave < 1 ? 0 : clave;
    if (column >= columnCount())
        return 0;
    const QString wanted = queValor.trimmed();
    for (size_t place = size_t(qMax(desde, 0)); place < m_order.size(); ++place) {
        if (cell(m_order[place], column).trimmed().startsWith(wanted, Qt::CaseInsensitive))
            return int(place) + 1;
    }
    return 0;
}

int LookupGridModel::IndiceColumna(const QString& columna) const
{
    const QString wanted = columna.trimmed();
    for (int i = 0; i < columnCount(); ++i) {
        if (m_columns.at(i).titulo.trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}
