#pragma once

#include <deque>
#include <memory>

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/AdoCursor.h"
#include "platform/AdoField.h"
#include "platform/AdoTypes.h"
#include "platform/RuntimeError.h"
#include "platform/Value.h"

class AdoConnection;

// A recordset as the program uses it: created by the caller, opened on a statement and a
// connection, read field by field, closed by the caller.
//
// Fetching: a forward-only, read-only recordset streams from the engine one row at a time (memory
// flat whatever the row count); any other cursor type, and every updatable recordset, is fetched
// to the client at Open, so it holds nothing of the connection afterwards. Close releases the
// engine's statement at once.
//
// Commands (Open, Close, AddNew, Update, Delete, CancelUpdate) never throw: they return false and
// leave the failure in LastError() (provider failures also in the connection's Errors).
// Navigation and field access (Move*, Fields, Bof/Eof, GetRows) raise RuntimeError: 3704 on a
// closed recordset, 3021 with no current row, 3265 for an unknown field, or the provider's failure
// while fetching.
//
// Updatable sets (lock type other than read-only) write to the table named after FROM: AddNew +
// Update inserts the fields assigned (the others take the table's defaults); editing or deleting
// the current row finds it by its key (rowid on SQLite, primary key over ODBC).
class AdoRecordset
{
public:
    AdoRecordset();
    ~AdoRecordset();
    AdoRecordset(const AdoRecordset&) = delete;
    AdoRecordset& operator=(const AdoRecordset&) = delete;

    // Opens on the statement `source` through `activeConnection`. adOpenUnspecified and
    // adLockUnspecified keep CursorType() and LockType() (default forward-only, read-only).
    // False with 3705 when already open, 3709 when the connection is missing or closed, or the
    // provider's failure. `options` is accepted and ignored. Used after an open that failed, the
    // recordset's 3704 also says why it did not open (the provider's words: a missing table).
    bool Open(const QString& source, AdoConnection* activeConnection,
        int cursorType = adOpenUnspecified, int lockType = adLockUnspecified, int options = -1);
    // False with 3704 when closed, 3219 while an AddNew or edit is pending (CancelUpdate first).
    bool Close();
    int State() const { return m_open ? adStateOpen : adStateClosed; }

    int CursorType() const { return m_cursorType; }
    void setCursorType(int type) { m_cursorType = type; }
    int LockType() const { return m_lockType; }
    void setLockType(int type) { m_lockType = type; }
    AdoConnection* ActiveConnection() const { return m_connection; }
    const QString& Source() const { return m_source; }

    // Before the first row / after the last. Both are true on an empty recordset.
    bool Bof() const;
    bool Eof() const;
    // On a forward-only recordset MoveFirst past the first row runs the statement again;
    // MovePrevious and MoveLast raise 3251 there.
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    // Rows of a recordset fetched to the client; -1 for a forward-only one.
    qint64 RecordCount() const;
    // 1-based position of the current row on a client recordset; -1 when there is none.
    qint64 AbsolutePosition() const;

    int FieldCount() const;
    // By name ignoring case, or by 0-based index; unknown raises 3265.
    AdoField& Fields(const QString& name);
    AdoField& Fields(int index);
    bool HasField(const QString& name) const;

    // Block read: up to `rows` rows (all remaining when negative) from the current one on, each a
    // list of the field values in field order; the current row moves past them.
    QList<QList<Value>> GetRows(qint64 rows = -1);

    bool AddNew();
    bool Update();
    bool Delete();
    bool CancelUpdate();
    int EditMode() const { return m_editMode; }

    const RuntimeError& LastError() const { return m_lastError; }

    // Rows held in memory right now (a streaming recordset holds only its current row).
    qsizetype bufferedRowCount() const;

private:
    friend class AdoField;
    friend class AdoConnection;

    bool fail(int number, const QString& description);
    bool failFromConnection();
    bool openSource(
        const QString& source, AdoConnection* activeConnection, int cursorType, int lockType);
    bool openCursor(std::unique_ptr<AdoCursor> cursor, bool buffered);
    void release();
    void connectionClosing();
    void requireOpen() const;
    void requireCurrent() const;
    bool hasCurrent() const;
    void fetchNextStreaming();
    const AdoColumn& column(int index) const;
    Value currentValue(int index) const;
    void setPendingValue(int index, const Value& value);
    bool readOnly() const;
    bool canWriteRows();
    void moved();

    AdoConnection* m_connection = nullptr;
    QString m_source;
    int m_cursorType = adOpenForwardOnly;
    int m_lockType = adLockReadOnly;
    bool m_open = false;
    bool m_streaming = false;

    QList<AdoColumn> m_columns;
    std::deque<AdoField> m_fields;
    QHash<QString, int> m_fieldIndex; // lower-case names
    QHash<QString, int> m_exactIndex; // names as the statement gives them
    QString m_table;
    QStringList m_keyColumns;

    // Streaming: the engine's cursor and the current row.
    std::unique_ptr<AdoCursor> m_cursor;
    AdoRow m_current;
    bool m_streamEnd = false;
    qint64 m_streamRow = 0;

    // Client rows and the position: -1 before the first, size() after the last.
    QList<AdoRow> m_rows;
    qsizetype m_pos = -1;
    bool m_currentDeleted = false;

    // Pending AddNew or edit.
    int m_editMode = adEditNone;
    QList<Value> m_pending;
    QList<bool> m_assigned;
    qsizetype m_posBeforeAdd = -1;

    quint64 m_rowSerial = 1;
    RuntimeError m_lastError { 0, QString() };
    // Why the last Open failed; empty once one succeeds.
    QString m_noAbierto;
};
