#include <functional>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AdoConnection.h"
#include "platform/qt/QtAdoProvider.h"
#include "platform/qt/SqliteText.h"
#include "support/DemoDatabaseFiles.h"
#include "support/ToolProcess.h"

namespace {

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// `under`, when given, is the command the tool runs under (runuser for another account, a shell
// for a smaller stack), the tool and its arguments after it.
ToolRun runTool(const char* exe, const QStringList& args, const QStringList& under = {})
{
    // A runtime folder of its own, so Qt has nothing to warn about on the error output.
    static QTemporaryDir runtime;
    QProcessEnvironment environment = testsupport::toolEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess tool;
    tool.setProcessEnvironment(environment);
    QStringList command = under + QStringList { QString::fromUtf8(exe) } + args;
    tool.start(command.takeFirst(), command);
    ToolRun run;
    if (!tool.waitForFinished(120000) || tool.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << exe << " did not end: " << tool.readAllStandardError().toStdString();
        return run;
    }
    run.exitCode = tool.exitCode();
    run.out = QString::fromUtf8(tool.readAllStandardOutput());
    run.err = QString::fromUtf8(tool.readAllStandardError());
    return run;
}

ToolRun runRender(const QStringList& args, const QStringList& under = {})
{
    return runTool(RP_RENDER_EXE, args, under);
}

QString pdfText(const QString& pdf)
{
    QProcess tool;
    tool.start(
        QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    tool.waitForFinished(60000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// The lines of a CSV file as its fields: ";" between fields, "" inside quoted ones.
QList<QStringList> csvRows(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QString text = QString::fromUtf8(bytes.mid(3));
    QList<QStringList> rows;
    for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        QStringList fields { QString() };
        bool quoted = false;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c == u'"' && quoted && i + 1 < line.size() && line.at(i + 1) == u'"')
                fields.last() += line.at(++i);
            else if (c == u'"')
                quoted = !quoted;
            else if (c == u';' && !quoted)
                fields << QString();
            else
                fields.last() += c;
        }
        rows << fields;
    }
    return rows;
}

// The demo database read directly, with the program's text rules: the independent answer the
// tool's rows are compared with.
class DirectQuery
{
public:
    explicit DirectQuery(const QString& path)
        : m_name(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open() && registerSqliteText(db));
    }
    ~DirectQuery() { QSqlDatabase::removeDatabase(m_name); }

    QList<QStringList> rows(const QString& sql) const
    {
        QSqlQuery query(QSqlDatabase::database(m_name));
        EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        QList<QStringList> rows;
        while (query.next()) {
            QStringList row;
            for (int c = 0; c < query.record().count(); ++c)
                row << query.value(c).toString();
            rows << row;
        }
        return rows;
    }

private:
    QString m_name;
};

class RpRender : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_db = testsupport::writeDemoDatabases(m_dir.filePath(QStringLiteral("db")));
        ASSERT_FALSE(m_db.isEmpty());
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }

    // The first sales list of the demo data.
    QString firstSalesList() const
    {
        const QList<QStringList> rows = DirectQuery(m_db).rows(QStringLiteral(
            "SELECT IDLISTA FROM V_MA_PRECIOSCAB WHERE TIPOLISTA = 'V' ORDER BY IDLISTA LIMIT 1"));
        return rows.isEmpty() ? QString() : rows.first().first();
    }

    static QString priceList()
    {
        return QStringLiteral(RP_SOURCE_DIR "/tests/tools/ListaPrueba.rpt");
    }

    // The first two sales lists of the demo data, as a formula's list: "'a', 'b'".
    QString firstTwoSalesLists() const
    {
        QStringList codes;
        for (const QStringList& row : DirectQuery(m_db).rows(QStringLiteral(
                 "SELECT IDLISTA FROM V_MA_PRECIOSCAB WHERE TIPOLISTA = 'V' ORDER BY IDLISTA "
                 "LIMIT 2")))
            codes << QStringLiteral("'%1'").arg(row.first());
        return codes.join(QStringLiteral(", "));
    }

    QTemporaryDir m_dir;
    QString m_db;
};

TEST_F(RpRender, pdf_prints_the_selected_articles)
{
    const QString list = firstSalesList();
    const QString pdf = path(QStringLiteral("lista.pdf"));
    const QList<QStringList> expected = DirectQuery(m_db).rows(QStringLiteral(
        "SELECT a.IDARTICULO FROM V_MA_PRECIOS p JOIN V_MA_ARTICULOS a ON a.IDARTICULO = "
        "p.IdArticulo WHERE p.IdLista = '%1' AND a.SUSPENDIDO = 0 ORDER BY a.IDARTICULO")
                                                                   .arg(list));
    ASSERT_GT(expected.size(), 2);

    const ToolRun run = runRender({ QStringLiteral("--definition"), priceList(),
        QStringLiteral("--db"), m_db, QStringLiteral("--selection"),
        QStringLiteral("{V_MA_PRECIOS.TIPOLISTA} = 'V' AND {art.SUSPENDIDO} = False "
                       "AND {V_MA_PRECIOS.IdLista} = '%1'")
            .arg(list),
        QStringLiteral("--formula"), QStringLiteral("Empresa='Ferretería Prueba'"),
        QStringLiteral("--format"), QStringLiteral("pdf"), QStringLiteral("--out"), pdf });

    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Ferretería Prueba")));
    EXPECT_TRUE(text.contains(expected.first().first()));
    EXPECT_TRUE(text.contains(expected.last().first()));
    EXPECT_TRUE(text.indexOf(expected.at(0).first()) < text.indexOf(expected.at(1).first()));
}

TEST_F(RpRender, saved_report_is_written_with_its_magic_header)
{
    const QString saved = path(QStringLiteral("lista.rps"));

    const ToolRun run
        = runRender({ QStringLiteral("--definition"), priceList(), QStringLiteral("--db"), m_db,
            QStringLiteral("--format"), QStringLiteral("saved"), QStringLiteral("--out"), saved });

    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(8), QByteArray("\x89RPTSAV\n"));
}

TEST_F(RpRender, show_sql_prints_the_statement_and_the_local_part_of_the_selection)
{
    const QString list = firstSalesList();

    // Length() has no pushable form: it stays with the engine, the rest goes to the database.
    const ToolRun run = runRender({ QStringLiteral("--definition"), priceList(),
        QStringLiteral("--db"), m_db, QStringLiteral("--selection"),
        QStringLiteral("{V_MA_PRECIOS.IdLista} = '%1' AND Length({art.Descripcion}) > 20")
            .arg(list),
        QStringLiteral("--sort"), QStringLiteral("-{art.Descripcion}"), QStringLiteral("--format"),
        QStringLiteral("pdf"), QStringLiteral("--out"), path(QStringLiteral("a.pdf")),
        QStringLiteral("--show-sql") });

    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << run.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("SQL: SELECT "))) << lines[0].toStdString();
    // The list's code bound as a literal; the group key first in the order, then the sort asked.
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(
        " WHERE (V_MA_PRECIOS.IdLista COLLATE TEXTO = '%1') ORDER BY V_MA_PRECIOS.IdLista "
        "COLLATE TEXTO, art.Descripcion COLLATE TEXTO DESC")
                                      .arg(list)))
        << lines[0].toStdString();
    EXPECT_EQ(lines[1].toStdString(),
        "Selección evaluada en el informe ListaPrueba: (Length({art.Descripcion}) > 20)");
}

TEST_F(RpRender, show_sql_says_when_the_database_evaluates_the_whole_selection)
{
    const ToolRun run = runRender({ QStringLiteral("--definition"), priceList(),
        QStringLiteral("--db"), m_db, QStringLiteral("--format"), QStringLiteral("saved"),
        QStringLiteral("--out"), path(QStringLiteral("a.rps")), QStringLiteral("--show-sql") });

    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(
        run.out.endsWith(QStringLiteral("Selección evaluada en el informe ListaPrueba: ninguna\n")))
        << run.out.toStdString();
}

// The rows a test compares: the detail records after the selection (the database's part and the
// engine's) and the sort, each with the fields in the order printed (the price beside the code
// comes before the description below them).
TEST_F(RpRender, csv_has_the_selected_records_in_order_with_the_printed_fields)
{
    const QString lists = firstTwoSalesLists();
    const QString csv = path(QStringLiteral("lista.csv"));
    const QList<QStringList> expected = DirectQuery(m_db).rows(QStringLiteral(
        "SELECT a.IDARTICULO, p.PRECIO1, a.Descripcion FROM V_MA_PRECIOS p JOIN V_MA_ARTICULOS a "
        "ON a.IDARTICULO = p.IdArticulo WHERE p.TIPOLISTA = 'V' AND a.SUSPENDIDO = 0 "
        "AND p.IdLista IN (%1) AND length(a.Descripcion) > 20 "
        "ORDER BY p.IdLista, a.Descripcion DESC, a.IDARTICULO")
                                                                   .arg(lists));
    ASSERT_GT(expected.size(), 10);

    const ToolRun run = runRender({ QStringLiteral("--definition"), priceList(),
        QStringLiteral("--db"), m_db, QStringLiteral("--selection"),
        QStringLiteral("{V_MA_PRECIOS.TIPOLISTA} = 'V' AND {art.SUSPENDIDO} = False AND "
                       "{V_MA_PRECIOS.IdLista} in [%1] AND Length({art.Descripcion}) > 20")
            .arg(lists),
        QStringLiteral("--sort"), QStringLiteral("-{art.Descripcion}"), QStringLiteral("--sort"),
        QStringLiteral("+{art.IDARTICULO}"), QStringLiteral("--format"), QStringLiteral("csv"),
        QStringLiteral("--out"), csv });

    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QStringList> rows = csvRows(csv);
    ASSERT_EQ(rows.size(), expected.size() + 1);
    EXPECT_EQ(rows.first(),
        QStringList(
            { QStringLiteral("Codigo"), QStringLiteral("Precio"), QStringLiteral("Descripcion") }));
    for (qsizetype i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const QStringList& row = rows.at(i + 1);
        ASSERT_EQ(row.size(), 3);
        EXPECT_EQ(row[0], expected[i][0]);
        // Money with the decimal comma, as spreadsheets of this country read it.
        EXPECT_NEAR(
            QString(row[1]).replace(u',', u'.').toDouble(), expected[i][1].toDouble(), 1e-4);
        EXPECT_EQ(row[2], expected[i][2]);
    }
}

TEST_F(RpRender, xlsx_is_a_workbook)
{
    const QString xlsx = path(QStringLiteral("lista.xlsx"));

    const ToolRun run
        = runRender({ QStringLiteral("--definition"), priceList(), QStringLiteral("--db"), m_db,
            QStringLiteral("--format"), QStringLiteral("xlsx"), QStringLiteral("--out"), xlsx });

    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile file(xlsx);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(4), QByteArray("PK\x03\x04"));
    EXPECT_FALSE(QFileInfo::exists(xlsx + QStringLiteral(".part")));
}

TEST_F(RpRender, html_and_rtf_show_the_articles)
{
    const QString code
        = DirectQuery(m_db)
              .rows(QStringLiteral("SELECT MIN(a.IDARTICULO) FROM V_MA_PRECIOS p JOIN "
                                   "V_MA_ARTICULOS a ON a.IDARTICULO = "
                                   "p.IdArticulo WHERE p.TIPOLISTA = 'V' AND a.SUSPENDIDO = 0"))
              .value(0)
              .value(0);
    for (const QString& format : { QStringLiteral("html"), QStringLiteral("rtf") }) {
        SCOPED_TRACE(format.toStdString());
        const QString file = path(QStringLiteral("lista.") + format);

        const ToolRun run
            = runRender({ QStringLiteral("--definition"), priceList(), QStringLiteral("--db"), m_db,
                QStringLiteral("--format"), format, QStringLiteral("--out"), file });

        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        QFile written(file);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_TRUE(written.readAll().contains(code.toUtf8()));
    }
}

// Every failure: exit status 2, one line naming the problem, no output file.
TEST_F(RpRender, failures_exit_2_with_one_line_and_write_nothing)
{
    const QString broken = writeFile(QStringLiteral("roto.rpt"),
        "<report version=\"1\" name=\"R\">\n  <data><table name=\"V_MA_ARTICULOS\"/></data>\n"
        "  <detail height=\"5\"><field x=\"0\" y=\"0\" width=\"10\" height=\"5\" expr=\"1\">"
        "</detail>\n</report>\n");
    const QString out = path(QStringLiteral("salida.pdf"));
    const QString missingDb = path(QStringLiteral("no_existe.db"));
    struct Case
    {
        const char* label;
        QStringList args;
        QString message; // part of the one line
    };
    const QList<Case> cases = {
        { "malformed definition",
            { QStringLiteral("--definition"), broken, QStringLiteral("--db"), m_db,
                QStringLiteral("--format"), QStringLiteral("pdf"), QStringLiteral("--out"), out },
            QStringLiteral("roto.rpt:3:") },
        { "malformed selection",
            { QStringLiteral("--definition"), priceList(), QStringLiteral("--db"), m_db,
                QStringLiteral("--selection"), QStringLiteral("{V_MA_PRECIOS.IdLista} = = 'X'"),
                QStringLiteral("--format"), QStringLiteral("pdf"), QStringLiteral("--out"), out },
            QStringLiteral("Error en la fórmula «Seleccion», columna 26: ") },
        { "column the database lacks",
            { QStringLiteral("--definition"), priceList(), QStringLiteral("--db"), m_db,
                QStringLiteral("--selection"), QStringLiteral("{V_MA_PRECIOS.Nada} = 'X'"),
                QStringLiteral("--format"), QStringLiteral("pdf"), QStringLiteral("--out"), out },
            // Told as a formula mistake before any statement runs, not in the database's words.
            QStringLiteral(
                "columna 1: la tabla V_MA_PRECIOS no tiene el campo {V_MA_PRECIOS.Nada}") },
        { "missing database",
            { QStringLiteral("--definition"), priceList(), QStringLiteral("--db"), missingDb,
                QStringLiteral("--format"), QStringLiteral("pdf"), QStringLiteral("--out"), out },
            QStringLiteral("el archivo no existe") },
        { "unknown format",
            { QStringLiteral("--definition"), priceList(), QStringLiteral("--db"), m_db,
                QStringLiteral("--format"), QStringLiteral("doc"), QStringLiteral("--out"), out },
            QStringLiteral("Formato desconocido: doc") },
        { "unknown argument",
            { QStringLiteral("--definition"), priceList(), QStringLiteral("--copias"),
                QStringLiteral("2") },
            QStringLiteral("Argumento desconocido: --copias") },
        { "no output",
            { QStringLiteral("--definition"), priceList(), QStringLiteral("--db"), m_db,
                QStringLiteral("--format"), QStringLiteral("pdf") },
            QStringLiteral("Falta --out") },
        { "formula without value",
            { QStringLiteral("--definition"), priceList(), QStringLiteral("--db"), m_db,
                QStringLiteral("--formula"), QStringLiteral("Empresa"), QStringLiteral("--format"),
                QStringLiteral("pdf"), QStringLiteral("--out"), out },
            QStringLiteral("NOMBRE=VALOR") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);

        const ToolRun run = runRender(c.args);

        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("rp_render: "))) << run.err.toStdString();
        EXPECT_EQ(run.err.count(u'\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out));
        EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral(".part")));
        EXPECT_FALSE(QFileInfo::exists(missingDb));
    }
}

// An output naming an input, by its path or through another name of the same file, is refused
// before anything is written, and the input keeps its bytes.
TEST_F(RpRender, an_output_that_is_an_input_is_refused_and_the_input_kept)
{
    const QString definition = writeFile(QStringLiteral("lista.rpt"), [] {
        QFile f(priceList());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }());
    const QString dbLink = path(QStringLiteral("enlace.db"));
    const QString dbHardLink = path(QStringLiteral("otro_nombre.db"));
    ASSERT_EQ(
        ::symlink(QFile::encodeName(m_db).constData(), QFile::encodeName(dbLink).constData()), 0);
    ASSERT_EQ(
        ::link(QFile::encodeName(m_db).constData(), QFile::encodeName(dbHardLink).constData()), 0);
    const auto bytes = [](const QString& name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray dbBefore = bytes(m_db);
    const QByteArray definitionBefore = bytes(definition);
    struct Case
    {
        const char* label;
        QString out;
        QString message;
    };
    const QList<Case> cases = {
        { "the database's path", m_db, QStringLiteral("es la base de datos") },
        { "a link to the database", dbLink, QStringLiteral("es la base de datos") },
        { "another name of the database", dbHardLink, QStringLiteral("es la base de datos") },
        { "the definition", definition, QStringLiteral("es la definición") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);

        const ToolRun run = runRender({ QStringLiteral("--definition"), definition,
            QStringLiteral("--db"), m_db, QStringLiteral("--format"), QStringLiteral("csv"),
            QStringLiteral("--out"), c.out });

        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_EQ(bytes(m_db), dbBefore);
        EXPECT_EQ(bytes(definition), definitionBefore);
    }
}

// A report's picture is taken only from a regular picture file: a FIFO or a device at its name
// is left out at once with the reason, and the run goes on.
TEST_F(RpRender, an_image_that_is_not_a_picture_file_is_left_out_and_said_why)
{
    QFile lista(priceList());
    ASSERT_TRUE(lista.open(QIODevice::ReadOnly));
    const QString definition = writeFile(QStringLiteral("con_logo.rpt"),
        lista.readAll().replace("<pageHeader height=\"8\">",
            "<pageHeader height=\"8\"><image x=\"0\" y=\"0\" width=\"30\" height=\"8\" "
            "file=\"logo.jpg\"/>"));
    const QString logo = path(QStringLiteral("logo.jpg"));
    // Where another account may write too.
    QTemporaryDir outputs;
    ASSERT_EQ(::chmod(QFile::encodeName(outputs.path()).constData(), 01777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);
    const QString out = QDir(outputs.path()).filePath(QStringLiteral("lista.csv"));
    const auto copia
        = [&] { return QFile::copy(QStringLiteral(RP_SOURCE_DIR "/share/logo.jpg"), logo); };
    const struct
    {
        const char* caso;
        std::function<bool()> pone;
        const char* mensaje; // none for a picture that prints
        bool otraCuenta = false; // run by an account that is not the picture's owner
    } casos[] = {
        { "a picture", copia, "" },
        { "a picture only its owner may read",
            [&] { return copia() && QFile::setPermissions(logo, QFileDevice::ReadOwner); },
            "Imagen omitida: %1 (no se tiene permiso para leer el archivo)", true },
        { "a FIFO", [&] { return ::mkfifo(QFile::encodeName(logo).constData(), 0666) == 0; },
            "Imagen omitida: %1 (no es un archivo común)" },
        { "a link to a device", [&] { return QFile::link(QStringLiteral("/dev/zero"), logo); },
            "Imagen omitida: %1 (no es un archivo común)" },
        { "nothing", [] { return true; }, "Imagen no encontrada: %1" },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        if (c.otraCuenta && ::geteuid() != 0) {
            ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true")) << "CI runs as root";
            continue;
        }
        QFile::remove(logo);
        QFile::remove(out);
        ASSERT_TRUE(c.pone());

        const ToolRun run = runRender(
            { QStringLiteral("--definition"), definition, QStringLiteral("--db"), m_db,
                QStringLiteral("--format"), QStringLiteral("csv"), QStringLiteral("--out"), out },
            c.otraCuenta ? QStringList { QStringLiteral("runuser"), QStringLiteral("-u"),
                QStringLiteral("nobody"), QStringLiteral("--") }
                         : QStringList());

        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        if (*c.mensaje)
            EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.mensaje).arg(logo)))
                << run.err.toStdString();
        else
            EXPECT_FALSE(run.err.contains(QStringLiteral("Imagen"))) << run.err.toStdString();
    }
}

// On the smallest stack a user gives the program, a long total and ordinary nesting print their
// value, and a formula too deep for the engine (by its parentheses, or by a chain of formulas
// each naming the next) is refused in words, not ended by the system.
TEST_F(RpRender, formulas_print_or_are_refused_on_a_one_megabyte_stack)
{
    const QString out = path(QStringLiteral("hondo.pdf"));
    const QStringList smallStack = { QStringLiteral("sh"), QStringLiteral("-c"),
        QStringLiteral("ulimit -s 1024 && exec \"$0\" \"$@\"") };
    auto definition = [&](const char* name, const QString& formulas, const QString& fields) {
        return writeFile(QString::fromUtf8(name),
            QStringLiteral(R"RPT(<report version="1" name="Hondo">
  <page paper="A4" orientation="portrait" left="10" top="10" right="10" bottom="10"/>
  <styles><style name="default" font="Arial" size="8"/></styles>
  <data><table name="V_MA_PRECIOS"/></data>
  <formulas>%1</formulas>
  <reportHeader height="20">%2</reportHeader>
</report>)RPT")
                .arg(formulas, fields)
                .toUtf8());
    };
    auto field = [](int y, const QString& expr) {
        return QStringLiteral(R"(<field x="0" y="%1" width="190" height="5" expr="%2"/>)")
            .arg(y)
            .arg(expr.toHtmlEscaped());
    };
    auto render = [&](const QString& rpt) {
        return runRender(
            { QStringLiteral("--definition"), rpt, QStringLiteral("--db"), m_db,
                QStringLiteral("--format"), QStringLiteral("pdf"), QStringLiteral("--out"), out },
            smallStack);
    };

    // A chain of formulas each naming the next, as deep as the limit lets it go.
    auto chainOf = [](const char* name, int length) {
        QString formulas;
        for (int i = 0; i < length; ++i)
            formulas += QStringLiteral("<formula name=\"%1%2\">{@%1%3} + 1</formula>")
                            .arg(QString::fromUtf8(name))
                            .arg(i)
                            .arg(i + 1);
        return formulas
            + QStringLiteral("<formula name=\"%1%2\">1</formula>")
                  .arg(QString::fromUtf8(name))
                  .arg(length);
    };
    const ToolRun printed = render(definition("largo.rpt", chainOf("C", 90),
        field(0,
            QStringLiteral("'Total ' & ToText(1") + QStringLiteral(" + 1").repeated(899)
                + QStringLiteral(", 0)"))
            + field(6,
                QStringLiteral("'Anidado ' & ToText(") + QString(150, u'(')
                    + QStringLiteral("6 * 7") + QString(150, u')') + QStringLiteral(", 0)"))
            + field(12, QStringLiteral("'Cadena ' & ToText({@C0}, 0)"))));

    ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
    const QString text = pdfText(out);
    EXPECT_TRUE(text.contains(QStringLiteral("Total 900"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Anidado 42"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Cadena 91"))) << text.toStdString();

    const QStringList tooDeep = {
        definition("cadena.rpt", chainOf("F", 5000), field(0, QStringLiteral("{@F0}"))),
        definition(
            "parentesis.rpt", {}, field(0, QString(5000, u'(') + u'1' + QString(5000, u')'))),
    };
    for (const QString& rpt : tooDeep) {
        QFile::remove(out);

        const ToolRun run = render(rpt);

        EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("Fórmula demasiado compleja")))
            << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out));
    }
}

// Another account that may not write the file leaves nothing of its own beside it, in a folder
// where anyone may make files and in one where it may make none. A file its owner's program has
// closed it reads. A file left with a write-ahead journal but without that journal's files (as
// the sqlite3 shell leaves it) cannot be read without making them, which would keep the owner
// from writing it: the reader is refused with what to do, and the owner's next run goes on.
TEST_F(RpRender, an_account_that_may_not_write_the_file_leaves_nothing_beside_it)
{
    if (geteuid() != 0) {
        ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true")) << "CI runs as root";
        GTEST_SKIP() << "running the reader as another account needs root";
    }
    const QString list = firstSalesList();
    {
        // The owner's program: a write, then the end.
        QtAdoProvider provider(QtAdoProvider::Settings {});
        std::unique_ptr<AdoConnection> owner = provider.createConnection();
        ASSERT_TRUE(owner->Open(
            QStringLiteral("PROVIDER=SQLOLEDB;Server=SQLITE;Database =%1;UId=;Pwd=;").arg(m_db)));
        ASSERT_TRUE(owner->Execute(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = VALOR")));
    }
    QTemporaryDir outputs;
    const QByteArray db = QFile::encodeName(m_db);
    const QByteArray folder = QFile::encodeName(QFileInfo(m_db).absolutePath());
    ASSERT_EQ(::chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(outputs.path()).constData(), 01777), 0);
    // What lies beside the file, but the empty turn file the owner's rp_voucher run leaves there
    // on purpose.
    const auto beside = [&] {
        const QDir here(QFileInfo(m_db).absolutePath());
        QStringList found;
        for (const QFileInfo& f :
            here.entryInfoList({ QStringLiteral("DEMO.db-*") }, QDir::AllEntries | QDir::System)) {
            if (!f.fileName().startsWith(QLatin1String("DEMO.db-turno-")) || f.ownerId() != 0)
                found.append(f.fileName());
        }
        return found;
    };
    const struct
    {
        const char* label;
        mode_t folder;
        mode_t file;
        bool leftWriteAhead;
        const char* oneJournalFile; // of the owner's, left beside the file
    } rows[] = {
        { "closed, folder anyone may write", 01777, 0644, false, nullptr },
        { "closed, folder the reader may not write", 0755, 0644, false, nullptr },
        { "write-ahead, sticky folder anyone may write", 01777, 0644, true, nullptr },
        { "write-ahead, folder anyone may write", 0777, 0644, true, nullptr },
        // The reader may write the file, but not make files beside it: it may only read.
        { "write-ahead, file the reader may write in a folder it may not", 0755, 0666, true,
            nullptr },
        // One of the two is as good as none: the reader would make the other.
        { "write-ahead, with its -wal alone", 01777, 0644, true, "DEMO.db-wal" },
        { "write-ahead, with its -shm alone", 01777, 0644, true, "DEMO.db-shm" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        if (row.leftWriteAhead) {
            QSqlDatabase shell
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("shell"));
            shell.setDatabaseName(m_db);
            ASSERT_TRUE(shell.open());
            ASSERT_TRUE(QSqlQuery(shell).exec(QStringLiteral("PRAGMA journal_mode = WAL")));
            shell.close();
            shell = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("shell"));
            ASSERT_EQ(beside(), QStringList());
        }
        const QStringList left = row.oneJournalFile
            ? QStringList { QString::fromLatin1(row.oneJournalFile) }
            : QStringList();
        for (const QString& name : left) {
            QFile journal(QFileInfo(m_db).absoluteDir().filePath(name));
            ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
        }
        ASSERT_EQ(::chmod(folder.constData(), row.folder), 0);
        ASSERT_EQ(::chmod(db.constData(), row.file), 0);
        const QByteArray before = [&] {
            QFile f(m_db);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        const QString csv = QDir(outputs.path()).filePath(QStringLiteral("lista.csv"));
        QFile::remove(csv);

        const ToolRun run = runRender(
            { QStringLiteral("--definition"), priceList(), QStringLiteral("--db"), m_db,
                QStringLiteral("--selection"),
                QStringLiteral("{V_MA_PRECIOS.IdLista} = '%1'").arg(list),
                QStringLiteral("--format"), QStringLiteral("csv"), QStringLiteral("--out"), csv },
            { QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("nobody"),
                QStringLiteral("--") });

        if (row.leftWriteAhead) {
            EXPECT_EQ(run.exitCode, 2);
            EXPECT_TRUE(run.err.contains(
                QStringLiteral("Ábrala y ciérrela una vez con una cuenta que pueda escribirla.")))
                << run.err.toStdString();
        } else {
            EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
            EXPECT_GT(csvRows(csv).size(), 1);
        }
        EXPECT_EQ(beside(), left);
        QFile f(m_db);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly) && f.readAll() == before);

        // The owner's next run writes the file, and closes it leaving nothing beside it.
        const ToolRun owner = runTool(RP_VOUCHER_EXE,
            { QStringLiteral("buffer"), QStringLiteral("--db"), m_db, QStringLiteral("--tc"),
                QStringLiteral("FC"), QStringLiteral("--id"), QStringLiteral("000200002001A") });
        EXPECT_EQ(owner.exitCode, 0) << owner.err.toStdString();
        EXPECT_EQ(owner.err, QString());
        EXPECT_EQ(beside(), QStringList());
    }
}

} // namespace
