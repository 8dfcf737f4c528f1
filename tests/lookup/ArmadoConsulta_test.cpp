#include "lookup/ArmadoConsulta.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

using MascarasConsulta::RegistroMascaraConsulta;

namespace {

void escribeMascaras(const QString& ruta, const QList<RegistroMascaraConsulta>& registros,
    const QByteArray& cola = QByteArray())
{
    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    for (const RegistroMascaraConsulta& r : registros)
        archivo.write(MascarasConsulta::Codifica(r));
    archivo.write(cola);
}

} // namespace

TEST(ArmadoConsulta, where_is_wrapped_only_when_longer_than_one_character_and_not_in_parentheses)
{
    const struct
    {
        const char* where;
        const char* esperado;
    } casos[] = {
        { "", "" },
        { "x", "x" },
        { " x ", " x " }, // one character once trimmed
        { "(A=1) OR B=2", "(A=1) OR B=2" },
        { " (A=1)", " ( (A=1)) " }, // the first character is a blank, not "("
        { "A=1", " (A=1) " },
        { "WHERE A=1", " (WHERE A=1) " },
    };
    for (const auto& c : casos)
        EXPECT_EQ(ArmadoConsulta::normalizaWhere(QString::fromUtf8(c.where)),
            QString::fromUtf8(c.esperado))
            << c.where;
}

TEST(ArmadoConsulta, row_limit_defaults_to_a_thousand)
{
    const struct
    {
        const char* valor;
        int filas;
    } casos[] = {
        { "", 1000 }, { " ", 1000 }, { "0", 1000 }, { "abc", 1000 }, { "250", 250 },
        { " 250 ", 250 }, { "250.6", 251 },
        { "-5", 1000 }, // a negative limit only makes the server fail
    };
    for (const auto& c : casos)
        EXPECT_EQ(ArmadoConsulta::limiteFilas(QString::fromUtf8(c.valor)), c.filas) << c.valor;
}

TEST(ArmadoConsulta, a_whole_statement_gets_the_article_view_and_the_callers_condition)
{
    const struct
    {
        const char* sql;
        const char* where; // as normalised by the lookup
        const char* sentencia;
        const char* whereDespues;
    } casos[] = {
        { "SELECT IDFAMILIA, DESCRIPCION FROM V_TA_FAMILIAS ORDER BY IDFAMILIA", "",
            "SELECT IDFAMILIA, DESCRIPCION FROM V_TA_FAMILIAS ORDER BY IDFAMILIA", "" },
        { "select * from v_ma_articulos a", "", "select * from VT_MA_ARTICULOS a", "" },
        // Appended after whatever the statement ends with, ORDER BY included.
        { "SELECT A FROM T ORDER BY A", " (B=1) ", "SELECT A FROM T ORDER BY A WHERE  (B=1) ",
            " WHERE  (B=1) " },
        { "SELECT A FROM T", " (WHERE B=1) ", "SELECT A FROM T (WHERE B=1) ", " (WHERE B=1) " },
        { "SELECT A FROM T", " ", "SELECT A FROM T", " " },
    };
    for (const auto& c : casos) {
        QString where = QString::fromUtf8(c.where);
        EXPECT_EQ(ArmadoConsulta::sentenciaDada(QString::fromUtf8(c.sql), where),
            QString::fromUtf8(c.sentencia))
            << c.sql;
        EXPECT_EQ(where, QString::fromUtf8(c.whereDespues)) << c.sql;
    }
}

TEST(ArmadoConsulta, statement_from_a_mask)
{
    const struct
    {
        const char* tabla;
        const char* campos;
        const char* whereMascara;
        const char* campoBusqueda; // the caller's
        const char* where; // the caller's, normalised
        const char* sentencia;
        const char* campoDespues;
    } casos[] = {
        { "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|", "", "", "",
            "SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE "
            "SUSPENDIDO = 0 ORDER BY DESCRIPCION",
            "DESCRIPCION" },
        { "VT_CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|", "", "CODIGO", "",
            "SELECT TOP 1000 RAZON_SOCIAL,CODIGO,CONTACTO FROM VT_CLIENTES  with(nolock)  WHERE "
            "Dada_De_Baja = 0 ORDER BY CODIGO",
            "CODIGO" },
        { "vt_proveedores", "|RAZON_SOCIAL|CODIGO|", "", "", "",
            "SELECT TOP 1000 RAZON_SOCIAL,CODIGO FROM vt_proveedores  with(nolock)  WHERE "
            "Dada_De_Baja = 0 ORDER BY RAZON_SOCIAL",
            "RAZON_SOCIAL" },
        // The mask's condition wins over the caller's.
        { "MA_CONTACTOS", "|Nombre|Telefono|", "Activo = 1", "", " (Tipo = 2) ",
            "SELECT TOP 1000 Nombre,Telefono FROM MA_CONTACTOS  with(nolock)  WHERE Activo = 1 "
            "ORDER BY Nombre",
            "Nombre" },
        { "MA_CONTACTOS", "|Nombre|Telefono|", "", "", " (Tipo = 2) ",
            "SELECT TOP 1000 Nombre,Telefono FROM MA_CONTACTOS  with(nolock)  WHERE  (Tipo = 2)  "
            "ORDER BY Nombre",
            "Nombre" },
        { "V_TA_VENDEDORES", "|NOMBRE|IDVENDEDOR|", "", "", "",
            "SELECT TOP 1000 NOMBRE,IDVENDEDOR FROM V_TA_VENDEDORES  with(nolock)  ORDER BY NOMBRE",
            "NOMBRE" },
        // Columns beginning with two commas leave no search column: one blank before the hint
        // and no order.
        { "T", "||A|B|", "", "", "", "SELECT TOP 1000 ,A,B FROM T with(nolock) ", "" },
        // A single column is enough when the caller names the search column.
        { "T", "|A|", "", "A", "", "SELECT TOP 1000 A FROM T  with(nolock)  ORDER BY A", "A" },
        { "T", "", "", "A", "", "SELECT TOP 1000 * FROM T  with(nolock)  ORDER BY A", "A" },
    };
    for (const auto& c : casos) {
        const RegistroMascaraConsulta mascara { QStringLiteral("X"), QString::fromUtf8(c.tabla),
            QString::fromUtf8(c.campos), QString::fromUtf8(c.whereMascara) };
        QString campo = QString::fromUtf8(c.campoBusqueda);
        const auto sentencia
            = ArmadoConsulta::sentenciaDeMascara(mascara, 1000, campo, QString::fromUtf8(c.where));
        ASSERT_TRUE(sentencia.has_value()) << c.tabla << c.campos;
        EXPECT_EQ(*sentencia, QString::fromUtf8(c.sentencia)) << c.tabla << c.campos;
        EXPECT_EQ(campo, QString::fromUtf8(c.campoDespues)) << c.tabla << c.campos;
    }
}

TEST(ArmadoConsulta, a_mask_with_one_column_and_no_search_column_is_not_configured)
{
    for (const char* campos : { "|A|", "", "   " }) {
        QString campo;
        const RegistroMascaraConsulta mascara { QString(), QStringLiteral("T"),
            QString::fromUtf8(campos), QString() };

        EXPECT_FALSE(ArmadoConsulta::sentenciaDeMascara(mascara, 1000, campo, QString())) << campos;
        EXPECT_EQ(campo, QString());
    }
}

TEST(ArmadoConsulta, finds_the_first_mask_of_a_table_ignoring_case_and_padding)
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("consultas.qzk"));
    RegistroMascaraConsulta conNulos { QStringLiteral("RUBROS"),
        QStringLiteral("V_TA_RUBROS") + QChar(0) + QChar(0xFF),
        QStringLiteral("|Descripcion|idrubro|"), QString() };
    escribeMascaras(ruta,
        { { QStringLiteral("A"), QStringLiteral("OTRA"), QStringLiteral("|X|"), {} }, conNulos,
            { QStringLiteral("ART 1"), QStringLiteral("V_MA_ARTICULOS"),
                QStringLiteral("|DESCRIPCION|IDARTICULO|"), {} },
            { QStringLiteral("ART 2"), QStringLiteral("V_MA_ARTICULOS"),
                QStringLiteral("|IDARTICULO|DESCRIPCION|"), {} } },
        QByteArray(200, ' ')); // a torn last record

    const auto articulos = ArmadoConsulta::buscaMascara(ruta, QStringLiteral(" v_ma_articulos "));
    const auto rubros = ArmadoConsulta::buscaMascara(ruta, QStringLiteral("V_TA_RUBROS"));
    const auto ninguna = ArmadoConsulta::buscaMascara(ruta, QStringLiteral("V_TA_MARCAS"));
    const auto sinArchivo = ArmadoConsulta::buscaMascara(
        carpeta.filePath(QStringLiteral("no")), QStringLiteral("OTRA"));

    ASSERT_TRUE(articulos.has_value());
    EXPECT_EQ(articulos->Titulo.trimmed(), QStringLiteral("ART 1"));
    ASSERT_TRUE(rubros.has_value());
    EXPECT_EQ(rubros->Campos.trimmed(), QStringLiteral("|Descripcion|idrubro|"));
    EXPECT_FALSE(ninguna.has_value());
    EXPECT_FALSE(sinArchivo.has_value());
}

TEST(ArmadoConsulta, statement_from_the_defaults)
{
    const QStringList tropa = { QStringLiteral("CODIGO"), QStringLiteral("DESCRIPCION"),
        QStringLiteral("PRECIO"), QStringLiteral("ID") };
    const struct
    {
        const char* nombre;
        const char* campoBusqueda;
        const char* where;
        const char* sentenciaOpcional;
        QStringList campos;
        const char* sentencia;
        const char* campoDespues;
    } casos[] = {
        { "V_TA_Unidad", "", "", "", {},
            "SELECT TOP 1000 Descripcion,IdUnidad FROM V_TA_Unidad  ORDER BY IdUnidad",
            "IdUnidad" },
        // The fixed sets overwrite the caller's search column.
        { "v_ta_deposito", "Descripcion", "", "", {},
            "SELECT TOP 1000 Descripcion,Unidad,IdDeposito FROM v_ta_deposito  ORDER BY IdDeposito",
            "IdDeposito" },
        { "V_TA_STATUS", "", " (Tipo = 'A') ", "", {},
            "SELECT TOP 1000 Descripcion,Tipo,CodigoEstado FROM V_TA_STATUS WHERE   (Tipo = 'A')  "
            "ORDER BY CodigoEstado",
            "CodigoEstado" },
        // The probe lists the fields last first and searches by the description.
        { "V_TA_PRECIOS", "", "", "", tropa,
            "SELECT TOP 1000 PRECIO,DESCRIPCION,CODIGO FROM V_TA_PRECIOS  ORDER BY DESCRIPCION",
            "DESCRIPCION" },
        { "V_MV_TROPA_STOCK", "", "", "", tropa,
            "SELECT TOP 1000 ID,PRECIO,DESCRIPCION,CODIGO FROM V_MV_TROPA_STOCK  ORDER BY ID",
            "ID" },
        { "T", "", "", "",
            { QStringLiteral("ID"), QStringLiteral("Codigo"), QStringLiteral("FECHAHORA_GRABACION"),
                QStringLiteral("Importe") },
            "SELECT TOP 1000 Importe,Codigo FROM T  ORDER BY Codigo", "Codigo" },
        { "T", "", "", "SELECT * FROM OTRA", tropa, "SELECT * FROM OTRA", "" },
        // Nothing probed: every column, and no order without a search column.
        { "NO_EXISTE", "", "", "", {}, "SELECT TOP 1000  *  FROM NO_EXISTE ", "" },
    };
    for (const auto& c : casos) {
        QString campo = QString::fromUtf8(c.campoBusqueda);
        int sondeos = 0;
        const QString sentencia = ArmadoConsulta::sentenciaPorDefecto(QString::fromUtf8(c.nombre),
            1000, campo, QString::fromUtf8(c.where), QString::fromUtf8(c.sentenciaOpcional),
            [&](const QString& nombre) {
                ++sondeos;
                EXPECT_EQ(nombre, QString::fromUtf8(c.nombre));
                return c.campos;
            });
        EXPECT_EQ(sentencia, QString::fromUtf8(c.sentencia)) << c.nombre;
        EXPECT_EQ(campo, QString::fromUtf8(c.campoDespues)) << c.nombre;
        EXPECT_LE(sondeos, 1);
    }
}
