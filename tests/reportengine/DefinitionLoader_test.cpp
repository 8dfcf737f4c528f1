#include "reportengine/DefinitionLoader.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray wrap(const char* body)
{
    return QByteArray("<report version=\"1\" name=\"R\">\n<data><table name=\"T\"/></data>\n")
        + body + "\n</report>\n";
}

} // namespace

TEST(DefinitionLoader, reads_every_part_of_a_definition)
{
    const QByteArray xml = R"RPT(<?xml version="1.0" encoding="UTF-8"?>
<report version="1" name="RP_Prueba" title="Lista de prueba">
  <page paper="A4" orientation="landscape" left="12.5" top="8" right="12.5" bottom="9"/>
  <fonts><substitute from="Futura" to="DejaVu Sans"/></fonts>
  <styles>
    <style name="default" font="Arial" size="8"/>
    <style name="titulo" basedOn="default" size="14" bold="true" align="center"/>
  </styles>
  <data>
    <table name="V_MA_PRECIOS"/>
    <table name="V_MA_ARTICULOS" alias="art" join="left" on="art.IdArticulo = V_MA_PRECIOS.IdArticulo"/>
  </data>
  <formulas>
    <formula name="Nombreempresa" type="text">''</formula>
    <formula name="QuePrecio" type="number">4</formula>
  </formulas>
  <selection>{V_MA_PRECIOS.TIPOLISTA} = 'V'</selection>
  <sort><by field="{art.Descripcion}" order="desc"/></sort>
  <group name="Lista" by="{V_MA_PRECIOS.IdLista}" newPageAfter="{@CortePorLista} = '-1'"
         repeatHeader="true" keepTogether="true">
    <header height="8"><field x="0" y="0" width="50" height="5" expr="{V_MA_PRECIOS.IdLista}" style="titulo"/></header>
    <footer height="6"><summary x="100" y="0" width="20" height="5" function="count" expr="{art.IdArticulo}" scope="Lista"/></footer>
  </group>
  <pageHeader height="10"><text x="0" y="0" width="100" height="6" style="titulo">Lista de precios</text></pageHeader>
  <detail height="5"><field x="0" y="0" width="30" height="5" expr="{art.Descripcion}" canGrow="true" italic="true"/></detail>
  <detail name="extra" height="4" suppress="{@QuePrecio} = 0"/>
  <pageFooter height="6"><special x="150" y="0" width="40" height="5" kind="pageNofM" align="right"/></pageFooter>
  <subreports>
    <report name="RP_RM"><data><sql>SELECT 1 AS UNO</sql></data></report>
  </subreports>
</report>)RPT";

    DefinitionError error;
    const auto def = DefinitionLoader::loadData(xml, QStringLiteral("prueba.rpt"), &error);

    ASSERT_TRUE(def.has_value()) << error.toString().toStdString();
    EXPECT_EQ(def->title, QStringLiteral("Lista de prueba"));
    EXPECT_DOUBLE_EQ(def->page.pageWidthMm(), 297.0);
    EXPECT_DOUBLE_EQ(def->page.pageHeightMm(), 210.0);
    EXPECT_DOUBLE_EQ(def->page.marginLeftMm, 12.5);
    ASSERT_EQ(def->data.tables.size(), 2u);
    EXPECT_EQ(def->data.tables[0].alias, QStringLiteral("V_MA_PRECIOS"));
    EXPECT_EQ(def->data.tables[1].join, JoinKind::Left);
    EXPECT_EQ(def->formula(QStringLiteral("queprecio"))->type, FormulaType::Number);
    EXPECT_TRUE(def->sort[0].descending);
    ASSERT_EQ(def->groups.size(), 1u);
    EXPECT_TRUE(def->groups[0].repeatHeader);
    EXPECT_EQ(def->groups[0].footers[0].items[0].function, SummaryFunction::Count);
    EXPECT_EQ(def->details.size(), 2u);
    // The style's size and weight, the item's own italic on top of the default style's font.
    const ReportItem& title = def->pageHeaders[0].items[0];
    EXPECT_EQ(title.text, QStringLiteral("Lista de precios"));
    EXPECT_TRUE(def->style(QStringLiteral("titulo"))->font.bold);
    EXPECT_DOUBLE_EQ(def->style(QStringLiteral("titulo"))->font.sizePt, 14.0);
    const ReportItem& detail = def->details[0].items[0];
    EXPECT_TRUE(detail.font.italic);
    EXPECT_DOUBLE_EQ(detail.font.sizePt, 8.0);
    EXPECT_TRUE(detail.canGrow);
    EXPECT_EQ(def->pageFooters[0].items[0].special, SpecialField::PageNofM);
    ASSERT_NE(def->subreport(QStringLiteral("rp_rm")), nullptr);
    EXPECT_EQ(def->subreport(QStringLiteral("rp_rm"))->data.sql, QStringLiteral("SELECT 1 AS UNO"));
}

TEST(DefinitionLoader, names_line_and_column_of_what_is_wrong)
{
    struct Row
    {
        QByteArray xml;
        qint64 line;
        const char* message;
    };
    const Row rows[] = {
        { "<report version=\"1\" name=\"R\">\n<data><table name=\"T\"/></data>\n<detail "
          "heigth=\"5\"/>\n</report>",
            3, "atributo desconocido \"heigth\" en <detail>" },
        { wrap("<detail height=\"cinco\"/>"), 3,
            "el atributo \"height\" de <detail> debe ser un número no negativo: \"cinco\"" },
        { wrap("<detail><circle/></detail>"), 3,
            "elemento <circle> no admitido dentro de <detail>" },
        { wrap("<detail><field x=\"0\"/></detail>"), 3, "falta el atributo \"expr\" en <field>" },
        { wrap("<group name=\"G\" by=\"{T.a}\" order=\"up\"/>"), 3,
            "valor no válido \"up\" en el atributo \"order\" (se admite: asc, desc)" },
        { wrap("<detail>\n  <text x=\"0\"></detail>"), 4,
            "XML mal formado: la etiqueta que cierra no es la del elemento abierto" },
        { "<report version=\"1\" name=\"R\">\n<data>", 2,
            "XML mal formado: el archivo termina antes de cerrar sus elementos" },
        { "<report version=\"2\" name=\"R\"/>", 1, "versión de formato no admitida: \"2\"" },
        { "<report version=\"1\" name=\"R\"></report>", 1, "no tiene origen de datos" },
        { "<informe/>", 1, "se esperaba el elemento <report>" },
        { wrap("<page paper=\"A7\"/>"), 3, "papel desconocido \"A7\"" },
        { wrap("<page left=\"150\" right=\"100\"/>"), 3, "los márgenes no dejan lugar" },
        { wrap("<detail><field expr=\"{T.a}\" style=\"negrita\"/></detail>"), 3,
            "estilo desconocido \"negrita\"" },
        { wrap("<formulas><formula name=\"A\"/><formula name=\"a\"/></formulas>"), 3,
            "fórmula repetida \"a\"" },
        { wrap("<detail><image x=\"0\"/></detail>"), 3, "<image> lleva \"file\" o \"expr\"" },
        // Figures that would overflow the layout's whole-number coordinates or mean nothing.
        { wrap("<detail height=\"nan\"/>"), 3,
            "\"height\" de <detail> debe ser un número no negativo" },
        { wrap("<detail><line x=\"0\" width=\"-inf\"/></detail>"), 3,
            "\"width\" de <line> debe ser un número" },
        { wrap("<page paper=\"Custom\" width=\"6000\" height=\"100\"/>"), 3,
            "\"width\" de <page> vale 6000, más que el máximo de 5000" },
        { wrap("<styles><style name=\"s\" size=\"1e9\"/></styles>"), 3,
            "\"size\" de <style> vale 1e9, más que el máximo de 1000" },
        { wrap("<labels columns=\"4\" rows=\"8\" width=\"63.5\" height=\"33.9\"/>"), 4,
            "las etiquetas de <labels> (4 x 8) no caben en la página" },
        { wrap("<labels columns=\"1e10\" rows=\"1\" width=\"1\" height=\"1\"/>"), 3,
            "\"columns\" de <labels> vale 1e10, más que el máximo de 1000" },
        // A value of the wrong kind for its declared type, and what a definition never holds.
        { wrap("<formulas><formula name=\"N\" type=\"number\">'abc'</formula></formulas>"), 3,
            "la fórmula \"N\" se declara de tipo \"number\" y su valor no lo es" },
        { "<!DOCTYPE report [<!ENTITY a \"aaaa\">]>\n<report version=\"1\" name=\"R\"/>", 1,
            "no admite una declaración <!DOCTYPE>" },
        { wrap("") + "<report version=\"1\" name=\"S\"/>", 5,
            "XML mal formado: hay texto después del elemento <report>" },
    };
    for (const Row& row : rows) {
        DefinitionError error;
        const auto def = DefinitionLoader::loadData(row.xml, QStringLiteral("mal.rpt"), &error);

        EXPECT_FALSE(def.has_value()) << row.message;
        EXPECT_EQ(error.file, QStringLiteral("mal.rpt"));
        EXPECT_EQ(error.line, row.line) << row.message << " / " << error.toString().toStdString();
        EXPECT_GT(error.column, 0) << row.message;
        EXPECT_TRUE(error.message.contains(QString::fromUtf8(row.message)))
            << error.toString().toStdString();
    }
}

TEST(DefinitionLoader, error_text_is_file_line_column_and_message)
{
    DefinitionError error;

    DefinitionLoader::loadData(
        wrap("<detail heigth=\"5\"/>"), QStringLiteral("/r/RP_X.rpt"), &error);

    EXPECT_EQ(error.toString(),
        QStringLiteral("/r/RP_X.rpt:3:20: atributo desconocido \"heigth\" en <detail>"));
}

// What stands where the definition should be is told in the program's words; a FIFO is told
// without waiting for a writer.
TEST(DefinitionLoader, a_path_that_is_no_readable_file_is_reported_with_its_path)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("carpeta.rpt")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("tuberia.rpt"))), 0600), 0);
    ASSERT_TRUE(QFile::link(
        dir.filePath(QStringLiteral("nada.rpt")), dir.filePath(QStringLiteral("enlace.rpt"))));
    const struct
    {
        const char* name;
        const char* reason;
    } rows[] = {
        { "no_existe.rpt", "el archivo no existe" },
        { "carpeta.rpt", "es una carpeta, no un archivo" },
        { "tuberia.rpt", "no es un archivo común" },
        { "enlace.rpt", "es un enlace a un archivo que no existe" },
    };
    for (const auto& row : rows) {
        const QString path = dir.filePath(QLatin1String(row.name));
        DefinitionError error;

        EXPECT_FALSE(DefinitionLoader::loadFile(path, &error).has_value());
        EXPECT_EQ(error.file, path);
        EXPECT_EQ(error.message,
            QStringLiteral("no se puede abrir la definición: ") + QString::fromUtf8(row.reason));
    }
}

TEST(DefinitionLoader, a_file_read_again_after_it_changed_gives_its_new_definition)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RP_X.rpt"));
    const auto write = [&](const char* detail) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(wrap(detail));
    };
    write("<detail height=\"5\"/>");
    ASSERT_TRUE(DefinitionLoader::loadFile(path, nullptr).has_value());

    write("<detail height=\"7\"/>");
    const std::optional<ReportDefinition> definition = DefinitionLoader::loadFile(path, nullptr);

    ASSERT_TRUE(definition.has_value());
    ASSERT_EQ(definition->details.size(), 1u);
    EXPECT_EQ(definition->details.front().heightMm, 7.0);
}

TEST(DefinitionLoader, every_shipped_definition_loads)
{
    const QDir reports(QStringLiteral(RP_SOURCE_DIR "/share/reports"));
    const QStringList files = reports.entryList({ QStringLiteral("*.rpt") }, QDir::Files);
    for (const QString& file : files) {
        DefinitionError error;
        EXPECT_TRUE(DefinitionLoader::loadFile(reports.filePath(file), &error).has_value())
            << error.toString().toStdString();
    }
}
