#include "ListaImpresa.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

#include <gtest/gtest.h>

namespace listaimpresa {

QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList codes(const QString& text)
{
    QStringList out;
    static const QRegularExpression line(
        QStringLiteral("^\\s*(\\d{6})\\s"), QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(text); it.hasNext();)
        out << it.next().captured(1);
    return out;
}

QStringList rows(const QString& connectionName, const QString& sql)
{
    QSqlQuery query(QSqlDatabase::database(connectionName));
    EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
    QStringList out;
    while (query.next()) {
        QStringList row;
        for (int c = 0; c < query.record().count(); ++c)
            row << query.value(c).toString();
        out << row.join(u'|');
    }
    return out;
}

} // namespace listaimpresa
