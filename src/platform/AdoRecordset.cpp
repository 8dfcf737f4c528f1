#include "platform/AdoRecordset.h"

#include "platform/AdoConnection.h"

namespace {

const QString ErrorSource = QStringLiteral("Recordset");

QString closedText()
{
    return QStringLiteral("No se permite esta operación si el objeto está cerrado.");
}

QString noCurrentText()
{
    return QStringLiteral("BOF o EOF es verdadero, o el registro actual fue eliminado: la "
                          "operación necesita un registro actual.");
}

QString connectionText()
{
    return QStringLiteral("No se puede usar la conexión para esta operación: está cerrada o no "
                          "es válida en este contexto.");
}

QString readOnlyText()
{
    return QStringLiteral("El conjunto de registros no admite actualizaciones: es de solo lectura "
                          "o su consulta no nombra una tabla.");
}

[[noreturn]] void raise(int number, const QString& text)
{
    throw RuntimeError(number, text, ErrorSource);
}

} // namespace

AdoRecordset::AdoRecordset() = default;

AdoRecordset::~AdoRecordset()
{
    release();
}

bool AdoRecordset::fail(int number, const QString& description)
{
    m_lastError = RuntimeError(number, description, ErrorSource);
    return false;
}

bool AdoRecordset::failFromConnection()
{
    m_connection->fail();
    m_lastError = m_connection->LastError();
    return false;
}

bool AdoRecordset::Open(
    const QString& source, AdoConnection* activeConnection, int cursorType, int lockType, int)
{
    if (m_open)
        return fail(AdoErrorNumber::ObjectOpen,
            QStringLiteral("No se permite esta operación si el objeto está abierto."));
    const bool abierto = openSource(source, activeConnection, cursorType, lockType);
    m_noAbierto = abierto ? QString() : m_lastError.description().trimmed();
    return abierto;
}

bool AdoRecordset::openSource(
    const QString& source, AdoConnection* activeConnection, int cursorType, int lockType)
{
    if (cursorType != adOpenUnspecified)
        m_cursorType = cursorType;
    if (lockType != adLockUnspecified)
        m_lockType = lockType;
    if (!activeConnection || activeConnection->State() != adStateOpen)
        return fail(AdoErrorNumber::InvalidConnection, connectionText());
    if (!activeConnection->begin(true)) {
        m_lastError = activeConnection->LastError();
        return false;
    }
    m_connection = activeConnection;
    m_source = source;
    const bool updatable = m_lockType != adLockReadOnly;
    std::unique_ptr<AdoCursor> cursor = m_connection->driverOpenCursor(source, updatable);
    if (!cursor)
        return failFromConnection();
    return openCursor(std::move(cursor), updatable || m_cursorType != adOpenForwardOnly);
}

bool AdoRecordset::openCursor(std::unique_ptr<AdoCursor> cursor, bool buffered)
{
    m_columns = cursor->columns();
    m_fields.clear();
    m_fieldIndex.clear();
    m_exactIndex.clear();
    for (int i = 0; i < m_columns.size(); ++i) {
        m_fields.push_back(AdoField(this, i));
        // Of two names equal but for case a lookup by name finds the first.
        const QString key = m_columns.at(i).name.toLower();
        if (!m_fieldIndex.contains(key)) {
            m_fieldIndex.insert(key, i);
            m_exactIndex.insert(m_columns.at(i).name, i);
        }
    }
    m_table = cursor->baseTable();
    m_keyColumns = cursor->keyColumns();
    m_rows.clear();
    m_current = AdoRow();
    m_currentDeleted = false;
    m_editMode = adEditNone;
    m_streamRow = 0;
    m_streamEnd = false;
    m_streaming = !buffered;
    ++m_rowSerial;
    if (buffered) {
        AdoRow row;
        while (cursor->fetch(row))
            m_rows.append(row);
        if (cursor->failed()) {
            m_rows.clear();
            return failFromConnection();
        }
        m_pos = 0;
    } else {
        m_cursor = std::move(cursor);
        if (!m_cursor->fetch(m_current)) {
            const bool failed = m_cursor->failed();
            m_cursor.reset();
            if (failed)
                return failFromConnection();
            m_streamEnd = true;
        } else {
            m_streamRow = 1;
        }
    }
    m_open = true;
    if (m_connection)
        m_connection->registerRecordset(this);
    return true;
}

void AdoRecordset::release()
{
    m_cursor.reset();
    m_rows.clear();
    m_current = AdoRow();
    m_pending.clear();
    m_assigned.clear();
    m_editMode = adEditNone;
    if (m_connection)
        m_connection->unregisterRecordset(this);
    m_open = false;
}

void AdoRecordset::connectionClosing()
{
    if (m_streaming) {
        m_cursor.reset();
        release();
    }
    if (m_connection)
        m_connection->unregisterRecordset(this);
    m_connection = nullptr;
}

bool AdoRecordset::Close()
{
    if (!m_open)
        return fail(AdoErrorNumber::ObjectClosed, closedText());
    if (m_editMode != adEditNone)
        return fail(AdoErrorNumber::IllegalOperation,
            QStringLiteral("No se permite la operación en este contexto: hay una modificación "
                           "pendiente."));
    release();
    m_fields.clear();
    m_fieldIndex.clear();
    m_exactIndex.clear();
    m_columns.clear();
    return true;
}

void AdoRecordset::requireOpen() const
{
    // A caller that read on after an open that failed (a table that is not there) learns why the
    // recordset is closed, not only that it is.
    if (!m_open)
        raise(AdoErrorNumber::ObjectClosed,
            m_noAbierto.isEmpty()
                ? closedText()
                : closedText() + QStringLiteral(" No se pudo abrir: ") + m_noAbierto);
}

bool AdoRecordset::hasCurrent() const
{
    if (m_editMode == adEditAdd)
        return true;
    if (m_streaming)
        return m_streamRow > 0 && !m_streamEnd;
    return !m_currentDeleted && m_pos >= 0 && m_pos < m_rows.size();
}

void AdoRecordset::requireCurrent() const
{
    requireOpen();
    if (!hasCurrent())
        raise(AdoErrorNumber::NoCurrentRecord, noCurrentText());
}

bool AdoRecordset::Bof() const
{
    requireOpen();
    if (m_streaming)
        return m_streamRow == 0;
    if (m_currentDeleted)
        return false;
    return m_pos < 0 || m_rows.isEmpty();
}

bool AdoRecordset::Eof() const
{
    requireOpen();
    if (m_streaming)
        return m_streamEnd;
    if (m_currentDeleted)
        return false;
    return m_pos >= m_rows.size();
}

void AdoRecordset::moved()
{
    ++m_rowSerial;
}

void AdoRecordset::fetchNextStreaming()
{
    if (!m_cursor) {
        m_streamEnd = true;
        return;
    }
    if (m_cursor->fetch(m_current)) {
        ++m_streamRow;
        return;
    }
    const bool failed = m_cursor->failed();
    // The engine's statement goes as soon as the last row is read.
    m_cursor.reset();
    m_streamEnd = true;
    m_current = AdoRow();
    if (failed) {
        failFromConnection();
        throw m_lastError;
    }
}

// A pending edit is stored before the current row changes, as the program expects of a move.
static void storePending(AdoRecordset& rs)
{
    if (rs.EditMode() != adEditNone && !rs.Update())
        throw rs.LastError();
}

void AdoRecordset::MoveNext()
{
    requireOpen();
    storePending(*this);
    moved();
    if (m_streaming) {
        if (m_streamEnd)
            raise(AdoErrorNumber::NoCurrentRecord, noCurrentText());
        fetchNextStreaming();
        return;
    }
    if (m_currentDeleted) {
        m_currentDeleted = false;
        return;
    }
    if (m_pos >= m_rows.size())
        raise(AdoErrorNumber::NoCurrentRecord, noCurrentText());
    ++m_pos;
}

void AdoRecordset::MovePrevious()
{
    requireOpen();
    if (m_streaming)
        raise(AdoErrorNumber::NotSupported,
            QStringLiteral("Un conjunto de registros de solo avance no puede retroceder."));
    storePending(*this);
    moved();
    m_currentDeleted = false;
    if (m_pos < 0)
        raise(AdoErrorNumber::NoCurrentRecord, noCurrentText());
    --m_pos;
}

void AdoRecordset::MoveFirst()
{
    requireOpen();
    storePending(*this);
    if (!m_streaming) {
        moved();
        m_currentDeleted = false;
        m_pos = 0;
        return;
    }
    if (m_streamRow <= 1 && !(m_streamRow == 1 && m_streamEnd))
        return;
    // Past the first row a forward-only set can only start again by running its statement.
    if (!m_connection || m_connection->State() != adStateOpen)
        raise(AdoErrorNumber::InvalidConnection, connectionText());
    m_cursor.reset();
    m_connection->begin(true);
    std::unique_ptr<AdoCursor> cursor = m_connection->driverOpenCursor(m_source, false);
    if (!cursor) {
        failFromConnection();
        throw m_lastError;
    }
    moved();
    m_cursor = std::move(cursor);
    m_streamRow = 0;
    m_streamEnd = false;
    fetchNextStreaming();
}

void AdoRecordset::MoveLast()
{
    requireOpen();
    if (m_streaming)
        raise(AdoErrorNumber::NotSupported,
            QStringLiteral("Un conjunto de registros de solo avance no puede ir al último "
                           "registro."));
    storePending(*this);
    if (m_rows.isEmpty())
        raise(AdoErrorNumber::NoCurrentRecord, noCurrentText());
    moved();
    m_currentDeleted = false;
    m_pos = m_rows.size() - 1;
}

qint64 AdoRecordset::RecordCount() const
{
    requireOpen();
    return m_streaming ? -1 : m_rows.size();
}

qint64 AdoRecordset::AbsolutePosition() const
{
    requireOpen();
    if (m_streaming || !hasCurrent() || m_editMode == adEditAdd)
        return -1;
    return m_pos + 1;
}

int AdoRecordset::FieldCount() const
{
    requireOpen();
    return int(m_columns.size());
}

bool AdoRecordset::HasField(const QString& name) const
{
    return m_open && m_fieldIndex.contains(name.toLower());
}

AdoField& AdoRecordset::Fields(const QString& name)
{
    requireOpen();
    // Most callers spell the name as the statement does: no case folding needed then.
    const auto exact = m_exactIndex.constFind(name);
    if (exact != m_exactIndex.constEnd())
        return m_fields[std::size_t(*exact)];
    const auto it = m_fieldIndex.constFind(name.toLower());
    if (it == m_fieldIndex.constEnd())
        raise(AdoErrorNumber::ItemNotFound,
            QStringLiteral("No se encontró el campo \"%1\" en la colección.").arg(name));
    return m_fields[std::size_t(*it)];
}

AdoField& AdoRecordset::Fields(int index)
{
    requireOpen();
    if (index < 0 || index >= int(m_fields.size()))
        raise(AdoErrorNumber::ItemNotFound,
            QStringLiteral("No se encontró el campo %1 en la colección.").arg(index));
    return m_fields[std::size_t(index)];
}

const AdoColumn& AdoRecordset::column(int index) const
{
    requireOpen();
    return m_columns.at(index);
}

Value AdoRecordset::currentValue(int index) const
{
    requireCurrent();
    if (m_editMode != adEditNone)
        return m_pending.at(index);
    const AdoRow& row = m_streaming ? m_current : m_rows.at(m_pos);
    return index < row.values.size() ? row.values.at(index) : Value::null();
}

void AdoRecordset::setPendingValue(int index, const Value& value)
{
    requireOpen();
    if (readOnly())
        raise(AdoErrorNumber::NotSupported, readOnlyText());
    if (m_editMode == adEditNone) {
        requireCurrent();
        m_pending = m_rows.at(m_pos).values;
        m_assigned = QList<bool>(m_columns.size(), false);
        m_editMode = adEditInProgress;
    }
    m_pending[index] = value;
    m_assigned[index] = true;
}

bool AdoRecordset::readOnly() const
{
    return m_lockType == adLockReadOnly || m_streaming;
}

// A change goes to the recordset's table through its connection: both must be there.
bool AdoRecordset::canWriteRows()
{
    if (!m_connection || m_connection->State() != adStateOpen)
        return fail(AdoErrorNumber::InvalidConnection, connectionText());
    if (m_table.isEmpty())
        return fail(AdoErrorNumber::NotSupported, readOnlyText());
    return true;
}

QList<QList<Value>> AdoRecordset::GetRows(qint64 rows)
{
    requireCurrent();
    storePending(*this);
    QList<QList<Value>> block;
    while ((rows < 0 || block.size() < rows) && hasCurrent()) {
        block.append(m_streaming ? m_current.values : m_rows.at(m_pos).values);
        MoveNext();
    }
    return block;
}

bool AdoRecordset::AddNew()
{
    if (!m_open)
        return fail(AdoErrorNumber::ObjectClosed, closedText());
    if (readOnly())
        return fail(AdoErrorNumber::NotSupported, readOnlyText());
    if (m_editMode != adEditNone && !Update())
        return false;
    m_posBeforeAdd = m_pos;
    m_pending = QList<Value>(m_columns.size(), Value::null());
    m_assigned = QList<bool>(m_columns.size(), false);
    m_editMode = adEditAdd;
    moved();
    return true;
}

bool AdoRecordset::Update()
{
    if (!m_open)
        return fail(AdoErrorNumber::ObjectClosed, closedText());
    if (m_editMode == adEditNone)
        return true;
    if (!canWriteRows())
        return false;
    QStringList names;
    QList<Value> values;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_assigned.at(i)) {
            names.append(m_columns.at(i).name);
            values.append(m_pending.at(i));
        }
    }
    m_connection->begin(true);
    if (m_editMode == adEditAdd) {
        QList<Value> key;
        if (!m_connection->driverInsert(m_table, names, values, m_keyColumns, &key))
            return failFromConnection();
        m_rows.append(AdoRow { m_pending, key });
        m_pos = m_rows.size() - 1;
    } else {
        AdoRow& row = m_rows[m_pos];
        if (!names.isEmpty()
            && !m_connection->driverUpdate(m_table, m_keyColumns, row.key, names, values))
            return failFromConnection();
        // A changed key column (primary key over ODBC) finds the row under its new value.
        for (int k = 0; k < m_keyColumns.size() && k < row.key.size(); ++k) {
            for (qsizetype n = 0; n < names.size(); ++n) {
                if (names.at(n).compare(m_keyColumns.at(k), Qt::CaseInsensitive) == 0)
                    row.key[k] = values.at(n);
            }
        }
        row.values = m_pending;
    }
    m_editMode = adEditNone;
    m_pending.clear();
    m_assigned.clear();
    return true;
}

bool AdoRecordset::CancelUpdate()
{
    if (!m_open)
        return fail(AdoErrorNumber::ObjectClosed, closedText());
    if (m_editMode == adEditAdd)
        m_pos = m_posBeforeAdd;
    m_editMode = adEditNone;
    m_pending.clear();
    m_assigned.clear();
    moved();
    return true;
}

bool AdoRecordset::Delete()
{
    if (!m_open)
        return fail(AdoErrorNumber::ObjectClosed, closedText());
    if (readOnly())
        return fail(AdoErrorNumber::NotSupported, readOnlyText());
    if (m_editMode == adEditAdd)
        return CancelUpdate();
    if (!hasCurrent())
        return fail(AdoErrorNumber::NoCurrentRecord, noCurrentText());
    if (!canWriteRows())
        return false;
    m_connection->begin(true);
    if (!m_connection->driverDelete(m_table, m_keyColumns, m_rows.at(m_pos).key))
        return failFromConnection();
    m_editMode = adEditNone;
    m_pending.clear();
    m_assigned.clear();
    m_rows.removeAt(m_pos);
    m_currentDeleted = true;
    moved();
    return true;
}

qsizetype AdoRecordset::bufferedRowCount() const
{
    if (!m_open)
        return 0;
    if (m_streaming)
        return m_streamEnd ? 0 : 1;
    return m_rows.size();
}
