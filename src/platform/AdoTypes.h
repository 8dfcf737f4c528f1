#pragma once

#include <QtGlobal>

// The numbers of the database-object model the program was written against. Callers store and
// compare them as plain numbers (cursor 0..3, lock 1..4, field type codes), so they stay ints.

// Recordset cursor types.
enum AdoCursorType : int
{
    adOpenUnspecified = -1,
    adOpenForwardOnly = 0,
    adOpenKeyset = 1,
    adOpenDynamic = 2,
    adOpenStatic = 3,
};

// Recordset lock types.
enum AdoLockType : int
{
    adLockUnspecified = -1,
    adLockReadOnly = 1,
    adLockPessimistic = 2,
    adLockOptimistic = 3,
    adLockBatchOptimistic = 4,
};

// Connection.CursorLocation.
enum AdoCursorLocation : int
{
    adUseServer = 2,
    adUseClient = 3,
};

// State of a connection or recordset.
enum AdoObjectState : int
{
    adStateClosed = 0,
    adStateOpen = 1,
};

// Recordset.EditMode.
enum AdoEditMode : int
{
    adEditNone = 0,
    adEditInProgress = 1,
    adEditAdd = 2,
};

// Connection.IsolationLevel (accepted and reported; the engines keep their own).
enum AdoIsolationLevel : int
{
    adXactUnspecified = -1,
    adXactReadUncommitted = 256,
    adXactReadCommitted = 4096,
    adXactRepeatableRead = 65536,
    adXactSerializable = 1048576,
};

// Connection.OpenSchema kinds the program asks for.
enum AdoSchemaKind : int
{
    adSchemaColumns = 4,
    adSchemaTables = 20,
};

// Field.Type codes.
enum AdoDataType : int
{
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBSTR = 8,
    adBoolean = 11,
    adVariant = 12,
    adDecimal = 14,
    adTinyInt = 16,
    adUnsignedTinyInt = 17,
    adBigInt = 20,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adVarBinary = 204,
    adLongVarBinary = 205,
};

// What a field type code holds, as the grid, the report engine and the data layer tell columns
// apart. Date and time types count as dates, every text type as text.
enum class AdoTypeClass
{
    Other,
    Boolean,
    Date,
    Text,
    Number
};
AdoTypeClass adoTypeClass(int adoType);

// Error numbers: the object model's own (raised by the connection and recordset objects) and the
// provider results the program tells apart, as the signed 32-bit numbers it compares.
namespace AdoErrorNumber {
constexpr int NoCurrentRecord = 3021; // BOF or EOF is true, or the row was deleted
constexpr int NotSupported = 3251; // the recordset does not support this (read-only, ...)
constexpr int ItemNotFound = 3265; // no field of that name or index
constexpr int IllegalOperation = 3219; // operation not allowed in this context (pending edit)
constexpr int ObjectClosed = 3704; // operation not allowed when the object is closed
constexpr int ObjectOpen = 3705; // operation not allowed when the object is open
constexpr int ProviderNotFound = 3706; // provider cannot be found
constexpr int InvalidConnection = 3709; // the connection cannot be used (closed or invalid)
constexpr int Fail = int(0x80004005u); // E_FAIL, the generic provider failure
constexpr int ErrorsInCommand = int(0x80040E14u); // DB_E_ERRORSINCOMMAND
constexpr int IntegrityViolation = int(0x80040E2Fu); // DB_E_INTEGRITYVIOLATION
constexpr int NoTable = int(0x80040E37u); // DB_E_NOTABLE
constexpr int NoResult = 0x00040EC9; // DB_S_NORESULT
} // namespace AdoErrorNumber

// Native numbers of the suite's SQL Server that the program compares; the SQLite provider maps its
// engine's failures onto them.
namespace SqlNativeError {
constexpr int GeneralNetworkError = 11;
constexpr int CannotInsertNull = 515;
constexpr int ConstraintConflict = 547; // foreign key or check constraint
constexpr int DuplicateKey = 2627;
constexpr int StatementTerminated = 3621;
constexpr int StringTruncated = 8152;
} // namespace SqlNativeError
