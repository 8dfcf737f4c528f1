#include "services/BaseInicio.h"

#include "platform/AdoRecordset.h"

BaseInicio::BaseInicio() = default;
BaseInicio::~BaseInicio() = default;

void BaseInicio::conecta()
{
    DB_Dll& db = gDB();
    db.gServidor = QStringLiteral("SQLITE");
    db.gDBName = QStringLiteral("DEMO");
    db.gUsuario = QStringLiteral("DEMO");
    db.gUserPassWord = QStringLiteral("DEMO");
    db.OpenServerADODB(false, adUseClient, QString(), false, false);
    ASSERT_TRUE(db.gOpenFlag);
}

Value BaseInicio::valor(const QString& sql)
{
    AdoRecordset registro;
    if (!registro.Open(sql, &gDB().gCnn(), adOpenStatic, adLockReadOnly))
        return Value(QStringLiteral("<error> ") + registro.LastError().description());
    if (registro.Eof())
        return Value(QStringLiteral("<sin filas>"));
    return registro.Fields(0).Value();
}

QList<QStringList> BaseInicio::filas(const QString& sql)
{
    QList<QStringList> resultado;
    AdoRecordset registro;
    if (!registro.Open(sql, &gDB().gCnn(), adOpenStatic, adLockReadOnly)) {
        ADD_FAILURE() << registro.LastError().description().toStdString();
        return resultado;
    }
    while (!registro.Eof()) {
        QStringList fila;
        for (int i = 0; i < registro.FieldCount(); ++i)
            fila << registro.Fields(i).Value().toString();
        resultado << fila;
        registro.MoveNext();
    }
    return resultado;
}

void BaseInicio::configuracion(const QList<QPair<QString, QString>>& claves)
{
    exec(QStringLiteral("DELETE FROM TA_CONFIGURACION"));
    for (const auto& [clave, valor] : claves) {
        exec(QStringLiteral(
            "INSERT INTO TA_CONFIGURACION (GRUPO, CLAVE, VALOR) VALUES ('DATOS', '%1', '%2')")
                 .arg(clave, QString(valor).replace(u'\'', QStringLiteral("''"))));
    }
}
