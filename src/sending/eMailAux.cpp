#include "sending/eMailAux.h"

#include <QFile>

#include "data/ConsultasDatos.h"
#include "data/DB_Dll.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Environment.h"
#include "platform/FileNames.h"
#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"
#include "platform/Windows1252.h"
#include "sending/ArchivoTexto.h"
#include "services/Configuracion.h"
#include "services/ManejoErrores.h"
#include "texttools/ModGlobal.h"

namespace eMailAux {

namespace {

bool verdadero(AdoRecordset& rs, const QString& campo)
{
    const Value v = rs.Fields(campo).Value();
    return !v.isNull() && !v.isEmpty() && v.toBool();
}

} // namespace

void GeneraArchivoPie(QString& RutaPie)
{
    Steps pasos = reportAs(QStringLiteral("GeneraArchivoPie"));
    QString ruta;
    QString nombre;
    if (!pasos.run([&] {
            ruta = gUtilidades().RutaConBarra(temporaryFolder()) + QStringLiteral("PiePag.htm");
        }))
        return;
    if (!pasos.run([&] { nombre = Configuracion::Cfg(QStringLiteral("NOMBRE")); }))
        return;
    if (!pasos.run([&] {
            ArchivoTexto::escribe(ruta,
                { QStringLiteral("<HTML>"), QStringLiteral("<HEAD>"), QStringLiteral("</HEAD>"),
                    QStringLiteral("<BODY>"), QStringLiteral("<BR>"),
                    QStringLiteral("<B>") + nombre + QStringLiteral("</B><BR>"),
                    QStringLiteral("<BR>"), QStringLiteral("<BR>"), QStringLiteral("</BODY>"),
                    QStringLiteral("</HTML>") });
        }))
        return;
    RutaPie = ruta;
}

void GenerarEstiloCtrlDiff(const QString& Carpeta)
{
    QStringList lineas = {
        QStringLiteral("/* Control de Diferencias: style sheet */"),
        QStringLiteral("/* Define colores, fuentes y atributos de estilo  */"),
        QStringLiteral("/* Background de página */"),
        QStringLiteral("body { background-color: #FFFFFF }"),
        QStringLiteral("/* Colores de los enlaces */"),
        QStringLiteral("A:active { COLOR: red; text-decoration: none}"),
        QStringLiteral("A:link { COLOR: black; text-decoration: none }"),
        QStringLiteral("A:visited { COLOR: black; text-decoration: none }"),
        QStringLiteral("A {COLOR: black; text-decoration: none }"),
        QStringLiteral("/* Colores generales */"),
        QStringLiteral(".Header { background: #EEEEEE; font-size: 17; FONT-WEIGHT: bolder; "
                       "color: black;}"),
        QStringLiteral(".SubroutineHeader { COLOR: #3333cc; FONT-SIZE: 15; FONT-WEIGHT: bolder; "
                       "Text-Decoration: Underline;}"),
        QStringLiteral("/* Colores de tabla */"),
        QStringLiteral(".TableTitulo{ background: #000066; font-size: 11; FONT-FAMILY: Verdana; "
                       "Text-Decoration: Bold; color: #FFFFFF; }"),
        QStringLiteral(".TableCaption { background: #000066; font-size: 10; FONT-FAMILY: Verdana; "
                       "color: #FFFFFF;}"),
        QStringLiteral(".TableSubcaption { background: #EEEEEE; font-size: 12; FONT-WEIGHT: "
                       "bolder; color: #AA00AA;}"),
        QStringLiteral(".TableDetalles{ Border=0 CellPadding=3 CellSpacing=1;}"),
        QStringLiteral(".TableRow{ background: #E6E6E6; font-size: 10; FONT-FAMILY: Verdana; "
                       "font-color: black;}"),
        QStringLiteral(".TableRow2{ background: #f0dab9; font-size: 10; FONT-FAMILY: Verdana; "
                       "font-color: black;}"),
        QStringLiteral(".TableRowPar{ background: #E6E6E6; font-size: 10; FONT-FAMILY: Verdana; "
                       "font-color: black;}"),
        QStringLiteral(".TableRowImpar{ background: white; font-size: 10; FONT-FAMILY: Verdana; "
                       "font-color: black;}"),
        QStringLiteral(".TableNormal{ background: #E6E6E6; font-size: 10; FONT-FAMILY: Verdana; "
                       "font-color: black;}"),
    };

    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("select * from ta_clasificaciones"), rs);
    while (!rs.Eof()) {
        const Value color = rs.Fields(QStringLiteral("Color")).Value();
        if (!color.isNull()) {
            lineas << QStringLiteral(".TableRowClasificacion")
                    + gUtilidades()
                          .ValorCampo(rs.Fields(QStringLiteral("Codigo")).Value())
                          .trimmed()
                    + QStringLiteral("{ background: ")
                    + ModGlobal::ColorAHtml(gUtilidades().ValorCampo(color).trimmed())
                    + QStringLiteral("; font-size: 10; FONT-FAMILY: Verdana; font-color: black;}");
        }
        rs.MoveNext();
    }
    gDB().CierraRecordset(rs);

    lineas << QStringLiteral(".TableRowAbierto{  font-size: 10; FONT-FAMILY: Verdana; "
                             "font-color: black;}")
           << QStringLiteral(".TableRowColor { background: #FFFFFF; }")
           << QStringLiteral(".RowHeader { background: #EEEEFF;}")
           << QStringLiteral(".TableCABDetalle{ font-size: 10; FONT-FAMILY: verdana; "
                             "font-color: black; Text-Decoration: Bold;}")
           << QStringLiteral(".TableRowDetalle{ font-size: 10; FONT-FAMILY: verdana; "
                             "font-color: black; Text-Decoration: Italic;}")
           << QStringLiteral(".TableCabeceraCaption{ font-size: 11; FONT-FAMILY: arial; "
                             "font-color: black; Text-Decoration: Bold;}")
           << QStringLiteral(".TableCabeceraValor{ font-size: 10; FONT-FAMILY: arial; "
                             "font-color: black; Text-Decoration: Bold;}")
           << QStringLiteral(".TableCABpIE{ font-size: 10; FONT-FAMILY: verdana; "
                             "font-color: black; Text-Decoration: Bold;}")
           << QStringLiteral("/* Barra de navegación */")
           << QStringLiteral(".BotonEnabled {background-color:#EEEEFF; color:#0000FF;}")
           << QStringLiteral(".BotonDisabled {background-color:#CCCCFF; color:#000000;}");
    ArchivoTexto::escribe(
        gUtilidades().RutaConBarra(Carpeta) + QStringLiteral("Style_CtrlDIFF.css"), lineas);
}

QString TextoAHtml(QString& Texto)
{
    Texto.replace(u'\r', QStringLiteral("<BR>"));
    return QStringLiteral("<HTML>") + QStringLiteral("<BODY>") + Texto + QStringLiteral("</BODY>")
        + QStringLiteral("</HTML>");
}

QString ObtieneMailsContactos(const QString& TC, const QString& Cuenta)
{
    static const QStringList pagosCobros
        = { QStringLiteral("PG"), QStringLiteral("OPG"), QStringLiteral("PGFP"),
              QStringLiteral("CB"), QStringLiteral("CBFP"), QStringLiteral("CBCT") };
    const QString tipo = TC.toUpper();
    const QString cuenta = ConsultasDatos::literal(Cuenta);

    QString lista;
    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("Select * from ma_contactos where mailPGCB = 1 and "
                                        "CuentaRel = ")
            + cuenta + QStringLiteral(" and email <> ''"),
        rs);
    while (!rs.Eof()) {
        const QString email = gUtilidades().ValorCampo(rs.Fields(QStringLiteral("EMail")).Value());
        bool agrega = false;
        if (pagosCobros.contains(tipo))
            agrega = verdadero(rs, QStringLiteral("mailPGCB"));
        else if (tipo == QLatin1String("OT"))
            agrega = verdadero(rs, QStringLiteral("MAILOT"));
        else if (tipo == QLatin1String("OC"))
            agrega = verdadero(rs, QStringLiteral("MAILOC"));
        else
            agrega = !email.isEmpty();
        if (agrega)
            lista += email + u';';
        rs.MoveNext();
    }
    gDB().CierraRecordset(rs);

    if (lista.trimmed().isEmpty())
        lista = gUtilidades().ValorCampo(gDB().DatosTabla(QStringLiteral("ma_cuentasadic"), Cuenta,
            QStringLiteral("mail"), QStringLiteral("Codigo")));
    if (!lista.trimmed().isEmpty() && lista.endsWith(u';'))
        return lista.trimmed().chopped(1);
    return lista;
}

} // namespace eMailAux
