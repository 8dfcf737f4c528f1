// Measures the lookup grid on a large lookup: opening it over 100,000 articles and each keystroke
// of a search. Not part of the test suite: run it by hand,
//     build/bin/rp_demo_db --out /tmp/demo100k --articles 100000
//     build/bin/lookup_bench /tmp/demo100k/DEMO.db
// With a database file the articles are read through the real provider, as the program reads
// them; without one the same shape of rows comes from memory, so the figures are the grid's own.

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLocale>
#include <QStyleFactory>
#include <QTest>

#include <cstdio>

#include "data/DataObjects.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/MemoryConnection.h"
#include "platform/AdoProvider.h"
#include "platform/qt/QtAdoProvider.h"
#include "support/TestEnvironment.h"

namespace {

using testsupport::FakeAdoConnection;

const QString Statement = QStringLiteral(
    "SELECT TOP 100000 DESCRIPCION, IDARTICULO, PUNTOPEDIDO, Stock, PRECIO1 "
    "FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0 ORDER BY DESCRIPCION");

// Every connection made answers the statement with 100,000 articles.
void articulos(FakeAdoConnection& cnn)
{
    lookuptest::memoryDatabase(cnn);
    FakeAdoConnection::Result result;
    result.columns = {{QStringLiteral("DESCRIPCION"), adVarChar, 100},
                      {QStringLiteral("IDARTICULO"), adVarChar, 25},
                      {QStringLiteral("PUNTOPEDIDO"), adDouble, 8},
                      {QStringLiteral("Stock"), adDouble, 8},
                      {QStringLiteral("PRECIO1"), adCurrency, 8}};
    const char* words[] = {"TORNILLO", "TUERCA", "ARANDELA", "CLAVO", "BULON", "MECHA",
                           "PINTURA", "HARINA", "ACEITE", "YERBA"};
    for (int i = 0; i < 100000; ++i) {
        result.rows.append({QStringLiteral("%1 %2 MM X %3")
                                .arg(QString::fromLatin1(words[i % 10]))
                                .arg(i % 97)
                                .arg(i),
                            QStringLiteral("%1").arg(i, 8, 10, QChar(u'0')),
                            double(i % 13), double(i % 29),
                            Currency::fromInteger(i % 5000)});
    }
    std::sort(result.rows.begin(), result.rows.end(),
              [](const QList<Value>& a, const QList<Value>& b) {
                  return a.at(0).toString() < b.at(0).toString();
              });
    cnn.scriptStatement(Statement, result);
}

double ms(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    testsupport::installPinnedEnvironment();

    const QString file = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    testsupport::FakeAdoProvider memory(articulos);
    QtAdoProvider real(QtAdoProvider::Settings{});
    ScopedService<AdoProvider> providerService(file.isEmpty() ? static_cast<AdoProvider*>(&memory)
                                                              : &real);
    DataObjects objects;
    ScopedService<DataObjects> objectsService(objects);
    objects.gDB.gEsAdmin = true;
    if (!file.isEmpty()
        && !objects.gDB.gCnn().Open(
            QStringLiteral("PROVIDER=SQLOLEDB;Server=SQLITE;Database =%1;UId=;Pwd=;").arg(file))) {
        std::printf("%s\n", qPrintable(objects.gDB.gCnn().LastError().description()));
        return 1;
    }

    // The statement alone, read to its end: what no grid can go below.
    {
        QElapsedTimer raw;
        raw.start();
        AdoRecordset rs;
        QString sql = Statement;
        objects.gDB.AbrirRecordset(sql, rs);
        qint64 rows = 0;
        while (!rs.Eof())
            rows += rs.GetRows(512).size();
        objects.gDB.CierraRecordset(rs);
        std::printf("query alone: %lld rows in %.1f ms\n", rows, ms(raw));
    }

    Lib_FrmCons3 dlg;
    dlg.Sql = Statement;
    dlg.MuestraStock = QStringLiteral("SI");
    dlg.StkNivel1 = Value(qint32(0x0000FF));
    dlg.StkNivel2 = Value(qint32(0x008000));
    dlg.StkNivel3 = Value(qint32(0xFF0000));
    dlg.StkNivel4 = Value(qint32(0x808080));

    QElapsedTimer open;
    open.start();
    dlg.show();
    QApplication::processEvents();
    std::printf("open: %d rows in %.1f ms\n", dlg.modelo().rowCount(), ms(open));

    QComboBox* box = dlg.cajasBusqueda().at(0);
    box->setFocus();
    double worst = 0;
    for (const QChar c : QStringLiteral("yerba 9")) {
        QElapsedTimer key;
        key.start();
        QTest::keyClick(box, c.toLatin1());
        QApplication::processEvents();
        worst = qMax(worst, ms(key));
        std::printf("key '%c': row %d in %.2f ms\n", c.toLatin1(), dlg.filaSeleccionada() + 1,
                    ms(key));
    }
    // A text no row starts with scans every row.
    QElapsedTimer miss;
    miss.start();
    QTest::keyClick(box, 'z');
    QApplication::processEvents();
    worst = qMax(worst, ms(miss));
    std::printf("key 'z' (no match): %.2f ms\n", ms(miss));

    QElapsedTimer sort;
    sort.start();
    dlg.ListView1_ColumnClick(0);
    QApplication::processEvents();
    std::printf("header click (sort 100,000 texts): %.1f ms\n", ms(sort));
    std::printf("worst keystroke: %.2f ms\n", worst);
    return 0;
}
