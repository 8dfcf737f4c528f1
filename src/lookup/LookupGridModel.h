#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <QStringList>

#include "platform/RuntimeError.h"
#include "platform/Value.h"

class AdoRecordset;

// The rows of the lookup grid: one column per field of the lookup's statement, one row per
// record, each cell the field's value as text. It plays the suite's report-style list: check marks
// for a multiple choice, a text colour per row for the stock levels, and the list's own sorting
// (sorted or not, sort column, order), which only ever reorders the rows.
//
// Row numbers given to and returned by the public members are the rows in their current order
// (0-based, except where a member says 1-based as the dialog's callers count them); columns are
// 0-based, column 0 being the row's first field.
class LookupGridModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    // One column, as Encolumnar builds it from a field.
    struct Columna
    {
        QString campo; // field name
        QString titulo; // caption (the field name, or a price-class name)
        int tipo = 0; // ADO type code
        qint64 tamanio = 0; // defined size; 0 or less when the database gives none
        bool ensanchar = false; // the "@10" widening of non-article lookups
    };

    // What one load needs to know besides the recordset: the dialog's members of that moment.
    struct Carga
    {
        QString sql;
        bool checkBoxes = false;
        QString campoDevuelto;
        QString valoresDefault;
        QString muestraStock;
        Value stkNivel[4];
        // The configuration value of a key in the group "DATOS" (price-class captions).
        std::function<QString(const QString&)> cfg;
    };

    explicit LookupGridModel(QObject* parent = nullptr);

    // Rebuilds the columns from the fields of `rs`; every row goes. Raises RuntimeError when the
    // fields cannot be read (a closed recordset), with the columns made so far kept.
    void Encolumnar(AdoRecordset& rs, const Carga& carga);
    // Adds one row per remaining record of `rs`: cells as trimmed text, the check mark of
    // `valoresDefault` and the stock colour. Raises RuntimeError when a record cannot be read,
    // with the rows read so far kept.
    //
    // With `primeras` above 0 only that many records are read now: the rest come as the view
    // scrolls to them (fetchMore), as a search asks for them (leerMas) or all at once (leerTodo,
    // which sorting and the whole-list operations call first). `rs` must then stay open until
    // quedanFilas() is false (lecturaTerminada() says so) or clear() is called; a failure in a
    // later read is told by lecturaFallida() and ends the reading.
    void Leer(AdoRecordset& rs, const Carga& carga, qint64 primeras = 0);
    // Records of the query not read yet.
    bool quedanFilas() const { return m_lectura.rs != nullptr; }
    // Reads up to `filas` more records; false when none were left.
    bool leerMas(qint64 filas);
    void leerTodo();
    // Every row unchecked, the rows still to be read as well.
    void desmarcarTodo();
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    // No columns, no rows.
    void clear();
    // A column added by hand, for lists that come from no query (the option pickers).
    void agregarColumna(const Columna& columna);
    // A row added by hand at the end (sorted into place when the list sorts itself), its cells
    // as given (missing cells empty, extra cells dropped).
    void agregarFila(const QStringList& celdas, bool checked = false);

    // Rows carry check boxes (shown on column 0).
    bool checkBoxes() const { return m_checkBoxes; }
    void setCheckBoxes(bool on);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Sorts as a header click does: on, by `column`, in `order`.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The list's own sorting. While on, the rows are kept in the order of the sort column
    // (numbers by value, other text ignoring case); switching it off leaves them as they stand.
    bool sorted() const { return m_sorted; }
    int sortKey() const { return m_sortKey; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    void setSorting(bool sorted, int key, Qt::SortOrder order);

    const Columna& columna(int column) const { return m_columns.at(column); }
    // The column's starting width in characters: from the field's size and type, or from the
    // caption and the longest value when the database gives no size.
    int anchoCaracteres(int column) const;

    QString texto(int row, int column) const;
    void setTexto(int row, int column, const QString& text);
    bool checked(int row) const;
    void setChecked(int row, bool checked);
    std::optional<QColor> color(int row) const;

    // 1-based number of the first row, in the current order, whose trimmed cell in column `clave`
    // (0 or less: the first column; k: column k) starts with the trimmed `queValor`, ignoring
    // case; 0 when none does. A blank text matches the first row. Only the rows read so far are
    // looked at, from the 0-based row `desde` on.
    int Busqueda(int clave, const QString& queValor, int desde = 0) const;
    // 1-based position of the first column whose trimmed caption equals the trimmed `columna`,
    // ignoring case; 0 when none does.
    int IndiceColumna(const QString& columna) const;

Q_SIGNALS:
    // The last record of the query has been read: the recordset may be closed.
    void lecturaTerminada();
    // A record could not be read when the view asked for more; nothing more is read.
    void lecturaFallida(const RuntimeError& error);

private:
    // What reading the rest of the query needs.
    struct Lectura
    {
        AdoRecordset* rs = nullptr;
        QString valoresDefault;
        int devuelto = -1;
        int puntoPedido = -1;
        int stock = -1;
        std::optional<QColor> niveles[4];
    };

    struct EstadoFila
    {
        qint8 nivel = -1; // stock level 0..3 (m_niveles), -1 none
        bool checked = false;
    };

    int stored(int row) const { return m_order[size_t(row)]; }
    QStringView cell(int storedRow, int column) const;
    // A row at the end, its cells in column order (missing ones empty).
    void agregaCeldas(const QString* celdas, qsizetype cantidad, EstadoFila estado);
    void applySort();
    // Reads up to `filas` records into `block`; ends the reading at the query's end.
    void leerBloque(qint64 filas, QList<QList<Value>>& block);
    void agregaRegistros(const QList<QList<Value>>& block);

    QList<Columna> m_columns;
    // Rows in load order, each one text holding its cells one after another, and where each
    // cell starts (columnCount() + 1 offsets a row, the last one the text's end): a lookup over a
    // whole article file keeps a row in a third of the memory of a text per cell. m_order maps a
    // row's place in the list to its load row.
    std::vector<QString> m_textos;
    std::vector<quint32> m_cortes;
    std::vector<EstadoFila> m_rows;
    // The colours of the stock levels of the rows read.
    std::optional<QColor> m_niveles[4];
    std::vector<int> m_order;
    // Longest value per column, for the columns sized by their data.
    std::vector<int> m_longest;

    Lectura m_lectura;

    bool m_checkBoxes = false;
    bool m_sorted = false;
    int m_sortKey = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
