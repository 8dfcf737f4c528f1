// The data object's schema helpers: does a table or a column exist, add a column.

#include "data/DB_Dll.h"

#include "data/DataObjects.h"

namespace {

constexpr int DefaultButtons = Msg::AbortRetryIgnore + Msg::Critical;

// Walks a schema rowset for a row whose `columna`, trimmed, is `nombre` ignoring case.
bool contieneNombre(AdoRecordset& rs, const QString& columna, const QString& nombre)
{
    if (rs.Bof())
        return false;
    const QString buscado = nombre.trimmed();
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        if (rs.Fields(columna).Value().toString().trimmed().compare(buscado, Qt::CaseInsensitive)
            == 0)
            return true;
    }
    return false;
}

} // namespace

void DB_Dll::AddField(const QString& Tabla, const QString& Campo, const QString& Tipo,
    bool PermiteNulos, const Value& ValorDefault)
{
    Steps pasos([this](const RuntimeError& error) {
        return TratamientoErrores(error, DefaultButtons, QStringLiteral("errAddField"));
    });
    QString sql;
    if (!pasos.run([&] {
            const QString nulos
                = PermiteNulos ? QStringLiteral(" Null ") : QStringLiteral(" Not Null ");
            QString porDefecto;
            if (!ValorDefault.isEmpty())
                porDefecto = QStringLiteral(" CONSTRAINT DF_") + Tabla.trimmed() + u'_'
                    + Campo.trimmed() + QStringLiteral(" DEFAULT (") + ValorDefault.toString()
                    + u')';
            sql = QStringLiteral("ALTER TABLE dbo.") + Tabla + QStringLiteral(" ADD ") + Campo
                + u' ' + Tipo + nulos + porDefecto;
        }))
        return;
    pasos.run([&] {
        qint64 afectados = 0;
        EjecutaConsultaSQL(sql, &afectados);
    });
}

bool DB_Dll::ExisteTablaDB(const QString& Tabla)
{
    bool existe = false;
    Steps pasos([this](const RuntimeError& error) {
        return TratamientoErrores(error, DefaultButtons, QStringLiteral("VerificaCampos"));
    });
    AdoRecordset rs;
    if (!pasos.run([&] {
            if (!gCnn().OpenSchema(adSchemaTables, {}, rs))
                throw gCnn().LastError();
        }))
        return false;
    pasos.run([&] { existe = contieneNombre(rs, QStringLiteral("TABLE_NAME"), Tabla); });
    return existe;
}

bool DB_Dll::ExisteCampoDB(const QString& Tabla, const QString& Campo)
{
    // Oracle's column rowset is not trusted: every column is taken as present there.
    if (gDB().gProveedor.contains(QLatin1String("ORACLE"), Qt::CaseInsensitive))
        return true;
    bool existe = false;
    Steps pasos([this](const RuntimeError& error) {
        return TratamientoErrores(error, DefaultButtons, QStringLiteral("VerificaCampos"));
    });
    AdoRecordset rs;
    if (!pasos.run([&] {
            const QList<Value> restricciones { Value(gDBName), Value(), Value(Tabla), Value() };
            if (!gCnn().OpenSchema(adSchemaColumns, restricciones, rs))
                throw gCnn().LastError();
        }))
        return false;
    pasos.run([&] { existe = contieneNombre(rs, QStringLiteral("COLUMN_NAME"), Campo); });
    return existe;
}

bool DB_Dll::VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar,
    const QString& Tipo, bool PermiteNulos, const Value& ValorDefault)
{
    if (ExisteTablaDB(Tabla) && !ExisteCampoDB(Tabla, Campo) && Agregar)
        AddField(Tabla, Campo, Tipo, PermiteNulos, ValorDefault);
    return true;
}
