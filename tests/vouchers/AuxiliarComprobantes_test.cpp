#include "vouchers/AuxiliarComprobantes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/AdoRecordset.h"
#include "platform/ComponenteQR.h"
#include "platform/Utilidades.h"
#include "platform/qt/ComponenteQRImagen.h"
#include "services/Configuracion.h"
#include "services/VariablesInicio.h"
#include "support/BloqueoPrueba.h"
#include "support/DemoDatabaseTest.h"
#include "support/FakeDialogs.h"
#include "support/ToolProcess.h"
#include "support/LocalePrueba.h"

namespace {

using testsupport::environment;
using testsupport::messages;

const QString kPuesto = QStringLiteral("PUESTO01|OPERADOR");

// The voucher-wide columns are checked once per voucher; the key columns against the voucher.
const QStringList kColumnasDelComprobante = { "ENCABEZADO", "FORMADEPAGO", "IMPORTEENLETRAS" };
const QStringList kColumnasClave
    = { "ID", "USUARIO", "TC", "IDCOMPROBANTE", "IDCOMPLEMENTO", "TIPO" };

// A value as the expectations write it: a text padded with blanks shows its width in brackets
// ("L2611[50]"), so padding is checked without fifty blanks in the source.
QString muestra(const QString& valor)
{
    QString sinRelleno = valor;
    while (sinRelleno.endsWith(u' '))
        sinRelleno.chop(1);
    if (sinRelleno.size() == valor.size())
        return valor;
    return sinRelleno + QStringLiteral("[%1]").arg(valor.size());
}

class AuxiliarComprobantesTest : public testsupport::DemoDatabaseTest
{
protected:
    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
        m_globales.gCantidadDecimales = QStringLiteral("2");
        QFile::remove(
            QDir(environment().systemTempFolder()).filePath(QStringLiteral("KZQERR.LOG")));
    }

    // One voucher by type and id, as the callers ask for it.
    ResultadoAuxiliar genera(const QString& tc, const QString& id, bool noBorrar = false,
        qint16 lineasTitulo = 3, const QString& tarea = QString())
    {
        QString tipo = tc;
        return GeneraAuxiliarComprobantes(tipo, id.mid(0, 4), id.mid(4, 8), id.mid(12),
            QStringLiteral("0"), lineasTitulo, QString(), QString(), QString(), QString(),
            QString(), QString(), tarea, noBorrar);
    }

    // The buffer rows of a workstation (this one by default), in ID order: "Tipo|COL=value|..."
    // with every non-empty column but the key and the voucher-wide ones.
    QStringList filas(const QString& condicion = QString(), const QString& puesto = kPuesto)
    {
        AdoRecordset rs;
        m_objects.gDB.AbrirRecordset(QStringLiteral("SELECT * FROM AUX_MV_CPTE WHERE USUARIO = '")
                + puesto + u'\'' + condicion + QStringLiteral(" ORDER BY ID"),
            rs);
        QStringList resultado;
        for (; !rs.Eof(); rs.MoveNext()) {
            QString fila = gUtilidades().ValorCampo(rs.Fields(QStringLiteral("TIPO")).Value());
            for (int c = 0; c < rs.FieldCount(); ++c) {
                const QString nombre = rs.Fields(c).Name().toUpper();
                const QString valor = gUtilidades().ValorCampo(rs.Fields(c).Value());
                if (kColumnasClave.contains(nombre) || kColumnasDelComprobante.contains(nombre)
                    || valor.isEmpty())
                    continue;
                fila += u'|' + nombre + u'=' + muestra(valor);
            }
            resultado.append(fila);
        }
        m_objects.gDB.CierraRecordset(rs);
        return resultado;
    }

    // The distinct "key|ENCABEZADO|FORMADEPAGO|IMPORTEENLETRAS" of a voucher's rows: one line when
    // every row carries the same voucher-wide values.
    QStringList delComprobante(const QString& tc, const QString& id)
    {
        AdoRecordset rs;
        m_objects.gDB.AbrirRecordset(
            QStringLiteral("SELECT DISTINCT USUARIO, TC, IDCOMPROBANTE, IDCOMPLEMENTO, "
                           "ENCABEZADO, FORMADEPAGO, IMPORTEENLETRAS FROM AUX_MV_CPTE WHERE "
                           "USUARIO = '%1' AND TC = '%2' AND IDCOMPROBANTE = '%3'")
                .arg(kPuesto, tc, id),
            rs);
        QStringList resultado;
        for (; !rs.Eof(); rs.MoveNext()) {
            QStringList partes;
            for (int c = 0; c < rs.FieldCount(); ++c)
                partes.append(muestra(gUtilidades().ValorCampo(rs.Fields(c).Value())));
            resultado.append(partes.join(u'|'));
        }
        m_objects.gDB.CierraRecordset(rs);
        return resultado;
    }

    int cuenta(const QString& sql)
    {
        AdoRecordset rs;
        m_objects.gDB.AbrirRecordset(sql, rs);
        const int n = rs.Fields(0).Value().toLongLong();
        m_objects.gDB.CierraRecordset(rs);
        return n;
    }

    // The row id of a voucher in V_MV_CPTE.
    QString idDe(const QString& tc, const QString& id)
    {
        return QString::number(cuenta(QStringLiteral("SELECT ID FROM V_MV_CPTE WHERE TC = '%1' AND "
                                                     "IDCOMPROBANTE = '%2'")
                                          .arg(tc, id)));
    }

    // "TC IDCOMPROBANTE" of every voucher with rows of this workstation, sorted.
    QStringList comprobantesEnBuffer()
    {
        AdoRecordset rs;
        m_objects.gDB.AbrirRecordset(QStringLiteral("SELECT DISTINCT TC, IDCOMPROBANTE FROM "
                                                    "AUX_MV_CPTE WHERE USUARIO = '")
                + kPuesto + QStringLiteral("' ORDER BY TC, IDCOMPROBANTE"),
            rs);
        QStringList resultado;
        for (; !rs.Eof(); rs.MoveNext())
            resultado.append(gUtilidades().ValorCampo(rs.Fields(0).Value()) + u' '
                + gUtilidades().ValorCampo(rs.Fields(1).Value()));
        m_objects.gDB.CierraRecordset(rs);
        return resultado;
    }

    QStringList lineasDelRegistro()
    {
        QFile log(QDir(environment().systemTempFolder()).filePath(QStringLiteral("KZQERR.LOG")));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(log.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
};

// What the report files read for each kind of demo voucher: every row in order with every
// column, and the voucher-wide values on all of its rows.
struct Esperado
{
    const char* tc;
    const char* id;
    QStringList filas;
    const char* encabezado;
    const char* formaDePago;
    const char* importeEnLetras;
};

const Esperado kEsperados[] = {
    { "FC", "000200002001A",
        { "", "3", "M|SECCION=Insumos - Materiales Utilizados - Productos", "3",
            "IN|COLUMNA1=000001|COLUMNA2=Tornillo autoperforante 8x1\" (caja x100)|"
            "COLUMNA3=UN|COLUMNA4=2|COLUMNA5=1500,00|COLUMNA6=3000,00|COLUMNA7=1500,00|"
            "COLUMNA8=L2611[50]|PIEDEPAGINA=08-19758|COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|"
            "COLUMNA13=2|COLUMNA14=UN|COLUMNA15=1|"
            "COLUMNA16=Tornillo autoperforante 8x1\" (caja x100)[50]|COLUMNA17=21|"
            "CANTIDAD_ORIGEN=2|IDARTICULO=000001",
            "XX|SECCION=L2611 - LOTE Orig.Lote de producción noviembre",
            "IN|COLUMNA1=000002|COLUMNA2=Llave francesa 12 cromada|COLUMNA3=UN|COLUMNA4=1|"
            // The lot key and the serial text as site forms read them.
            "COLUMNA5=8200,50|COLUMNA6=8200,50|COLUMNA7=8200,50|COLUMNA8=D-100 D-300[50]|"
            "PIEDEPAGINA=13-31297|COLUMNA9=205|COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|"
            "COLUMNA13=1|COLUMNA14=UN|COLUMNA15=1|COLUMNA16=Llave francesa 12 cromada[50]|"
            "COLUMNA17=21|CANTIDAD_ORIGEN=1|IDARTICULO=000002",
            "IN|COLUMNA1=000003|COLUMNA2=Cable unipolar 2,5 mm rollo 100 m|COLUMNA3=UN|"
            "COLUMNA4=3|COLUMNA5=23100,00|COLUMNA6=69300,00|COLUMNA7=23100,00|"
            "COLUMNA8=DSP-7 /ADUANA/Orig.Puerto de Buenos Aires[50]|PIEDEPAGINA=11-34178|"
            "COLUMNA9=1|COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|COLUMNA13=3|COLUMNA14=UN|"
            "COLUMNA15=1|COLUMNA16=Cable unipolar 2,5 mm rollo 100 m[50]|COLUMNA17=10.5|"
            "CANTIDAD_ORIGEN=3|IDARTICULO=000003",
            "IN|COLUMNA1=000004|COLUMNA2=Cinta aisladora|COLUMNA3=UN|COLUMNA4=10|"
            "COLUMNA5=450,00|COLUMNA6=4500,00|COLUMNA7=450,00|COLUMNA8=DSP-9[50]|"
            "PIEDEPAGINA=05-87366|COLUMNA9=3|COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|"
            "COLUMNA13=10|COLUMNA14=UN|COLUMNA15=1|COLUMNA16=Cinta aisladora[50]|"
            "COLUMNA17=21|CANTIDAD_ORIGEN=10|IDARTICULO=000004",
            "XX|SECCION=DSP-9 -  Orig.",
            "IN|COLUMNA1=000005|COLUMNA2=Tarugo de nylon 8 mm|COLUMNA3=UN|COLUMNA4=100|"
            "COLUMNA5=12,25|COLUMNA6=1163,75|COLUMNA7=12,25|COLUMNA8=L2611[50]|"
            "PIEDEPAGINA=09-30269|COLUMNA10=5|COLUMNA11=0|COLUMNA12=0|COLUMNA13=100|"
            "COLUMNA14=UN|COLUMNA15=1|COLUMNA16=Tarugo de nylon 8 mm[50]|COLUMNA17=21|"
            "CANTIDAD_ORIGEN=100|IDARTICULO=000005",
            "IN|COLUMNA1=000006|"
            "COLUMNA2=Sellador siliconado transparente para vidrios, aluminio y sanitarios 280 ml"
            "|"
            "COLUMNA3=UN|COLUMNA4=4|COLUMNA5=3100,00|COLUMNA6=12400,00|COLUMNA7=3100,00|"
            "COLUMNA8=LOTE D'OR[50]|PIEDEPAGINA=13-38948|COLUMNA9=1|COLUMNA10=0|COLUMNA11=0|"
            "COLUMNA12=0|COLUMNA13=4|COLUMNA14=UN|COLUMNA15=1|"
            "COLUMNA16=Sellador siliconado transparente para vidrios, alu|COLUMNA17=21|"
            "CANTIDAD_ORIGEN=4|IDARTICULO=000006",
            "ZZ|SECCION=D-100 D-300 DSP-7 DSP-9  LOTE D'OR", "3",
            "M|SECCION=Otros Conceptos - Observaciones - Comentarios", "3",
            "OC|COLUMNA2=Flete a domicilio|COLUMNA3=0|COLUMNA4=0|COLUMNA5=0|"
            "COLUMNA6=10000,00|COLUMNA7=10000,00|COLUMNA8=0|COLUMNA12=21/11/2026|"
            "COLUMNA13=V-0031",
            "OC|COLUMNA2=Bonificación DAmico|COLUMNA3=0|COLUMNA4=0|COLUMNA5=0|"
            "COLUMNA6=0,00|COLUMNA7=0,00|COLUMNA8=0",
            "|PIEDEPAGINA=Mercadería viaja por cuenta y orden del cliente." },
        "Entregar en el depósito de D'Amico, portón 2.",
        "Contado o transferencia bancaria. Cuenta corriente a 30 días para clientes habilitad"
        "os.[250]",
        " ciento veinticuatro mil ochenta y seis Pesos con 24/100" },
    { "FC", "000200002002B",
        { "", "3", "M|SECCION=Insumos - Materiales Utilizados - Productos", "3",
            "IN|COLUMNA1=000007|COLUMNA2=Pintura látex interior 4 l|COLUMNA3=UN|COLUMNA4=3|"
            "COLUMNA5=110,50|COLUMNA6=331,50|COLUMNA7=100,00|COLUMNA8=[50]|"
            "PIEDEPAGINA=02-21950|COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|COLUMNA13=3|"
            "COLUMNA14=UN|COLUMNA15=1|COLUMNA16=Pintura látex interior 4 l[50]|"
            "COLUMNA17=10.5|CANTIDAD_ORIGEN=3|IDARTICULO=000007",
            "IN|COLUMNA1=000008|COLUMNA2=Yerba mate 1 kg|COLUMNA3=UN|COLUMNA4=2|"
            "COLUMNA5=2500,00|COLUMNA6=5000,00|COLUMNA7=2500,00|COLUMNA8=[50]|"
            "PIEDEPAGINA=09-50129|COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|COLUMNA13=2|"
            "COLUMNA14=UN|COLUMNA15=1|COLUMNA16=Yerba mate 1 kg[50]|COLUMNA17=0|"
            "CANTIDAD_ORIGEN=2|IDARTICULO=000008",
            "IN|COLUMNA1=000009|COLUMNA2=Martillo galponero|COLUMNA3=UN|COLUMNA4=1|"
            "COLUMNA5=9680,00|COLUMNA6=9680,00|COLUMNA7=8000,00|COLUMNA8=[50]|"
            "PIEDEPAGINA=04-48503|COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|COLUMNA13=1|"
            "COLUMNA14=UN|COLUMNA15=1|COLUMNA16=Martillo galponero[50]|COLUMNA17=21|"
            "CANTIDAD_ORIGEN=1|IDARTICULO=000009",
            "3", "M|SECCION=Otros Conceptos - Observaciones - Comentarios", "3",
            "OC|COLUMNA2=Envío|COLUMNA3=0|COLUMNA4=0|COLUMNA5=0|COLUMNA6=1210,00|"
            "COLUMNA7=1000,00|COLUMNA8=0|COLUMNA13=V-0032" },
        ".",
        "Contado o transferencia bancaria. Cuenta corriente a 30 días para clientes habilitad"
        "os.[250]",
        " dieciseis mil doscientos veintiun Pesos con 50/100" },
    { "NC", "000200002003B",
        { "", "3", "M|SECCION=Insumos - Materiales Utilizados - Productos", "3",
            "IN|COLUMNA1=000010|COLUMNA2=Devolución lámpara LED 9 W|COLUMNA3=UN|COLUMNA4=2|"
            "COLUMNA5=1452,00|COLUMNA6=2904,00|COLUMNA7=1200,00|"
            // Of its batches L2612 and X9 (amounts 1 and 0), the one it takes as the lot key; the
            // serial text as stored.
            "COLUMNA8=L2612 /LOTE/Orig.Importado de Brasil[50]|PIEDEPAGINA=05-66189|"
            "COLUMNA9=10|COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|COLUMNA13=2|COLUMNA14=UN|"
            "COLUMNA15=1|COLUMNA16=Devolución lámpara LED 9 W[50]|COLUMNA17=21|"
            "CANTIDAD_ORIGEN=2|IDARTICULO=000010",
            "ZZ|SECCION=L2612X9", "|PIEDEPAGINA=Devolución por falla de fábrica." },
        ".",
        "Contado o transferencia bancaria. Cuenta corriente a 30 días para clientes habilitad"
        "os.[250]",
        " dos mil novecientos cuatro Pesos con 00/100" },
    { "FP", "000200002004X",
        { "", "3", "M|SECCION=Insumos - Materiales Utilizados - Productos", "3",
            "IN|COLUMNA1=000011|COLUMNA2=Cemento portland 50 kg|COLUMNA3=UN|COLUMNA4=20|"
            "COLUMNA5=11011,00|COLUMNA6=220220,00|COLUMNA7=9100,00|COLUMNA8=[50]|"
            "PIEDEPAGINA=02-95093|COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|COLUMNA13=20|"
            "COLUMNA14=UN|COLUMNA15=1|COLUMNA16=Cemento portland 50 kg[50]|COLUMNA17=21|"
            "CANTIDAD_ORIGEN=20|IDARTICULO=000011",
            "IN|COLUMNA1=000012|COLUMNA2=Arena fina m3|COLUMNA3=UN|COLUMNA4=2|"
            "COLUMNA5=45980,00|COLUMNA6=91960,00|COLUMNA7=38000,00|COLUMNA8=[50]|"
            "PIEDEPAGINA=01-49669|COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|COLUMNA13=2|"
            "COLUMNA14=UN|COLUMNA15=1|COLUMNA16=Arena fina m3[50]|COLUMNA17=21|"
            "CANTIDAD_ORIGEN=2|IDARTICULO=000012" },
        ".",
        "Contado o transferencia bancaria. Cuenta corriente a 30 días para clientes habilitad"
        "os.[250]",
        " trescientos doce mil ciento ochenta Pesos con 00/100" },
    { "FC", "000200002005A",
        { "", "3", "M|SECCION=Insumos - Materiales Utilizados - Productos", "3",
            "IN|COLUMNA1=000013|COLUMNA2=Taladro percutor 750 W|COLUMNA3=UN|COLUMNA4=1|"
            "COLUMNA5=1250,75|COLUMNA6=1250,75|COLUMNA7=1250,75|COLUMNA8=[50]|"
            "PIEDEPAGINA=10-22935|COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|COLUMNA13=1|"
            "COLUMNA14=UN|COLUMNA15=1|COLUMNA16=Taladro percutor 750 W[50]|COLUMNA17=21|"
            "CANTIDAD_ORIGEN=1|IDARTICULO=000013" },
        "Importe en dólares al tipo de cambio del día.",
        "Contado o transferencia bancaria. Cuenta corriente a 30 días para clientes habilitad"
        "os.[250]",
        " mil quinientos trece Dólares Estadounidenses con 41/100" },
    { "PR", "000200002006X",
        { "", "3", "M|SECCION=Detalles de Tareas a Realizar", "3",
            "TA|COLUMNA1=1|COLUMNA2=Instalación de grifería|COLUMNA3=[1]|COLUMNA4=01:30|"
            "COLUMNA5=18150,00|COLUMNA6=27225,00|COLUMNA7=15000,00",
            "TA|COLUMNA1=1|COLUMNA2={\\rtf1\\ansi\\deff0 Instalación en la cocina de "
            "D'Amico.\\par}|COLUMNA4=0|COLUMNA5=0|COLUMNA6=0|COLUMNA7=0",
            "TA|COLUMNA1=2|COLUMNA2=Revisión de pérdidas|COLUMNA3=[1]|COLUMNA4=00:30|"
            "COLUMNA5=0,00|COLUMNA6=0,00|COLUMNA7=0,00",
            "3", "M|SECCION=Insumos - Materiales a Utilizar - Productos", "3",
            "IN|COLUMNA1=000014|COLUMNA2=Canilla monocomando cocina|COLUMNA3=UN|COLUMNA4=1|"
            "COLUMNA5=45000,00|COLUMNA6=45000,00|COLUMNA7=37190,08|COLUMNA8=[50]|"
            "PIEDEPAGINA=08-10490|COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|COLUMNA13=1|"
            "COLUMNA14=UN|COLUMNA15=1|COLUMNA16=Canilla monocomando cocina[50]|COLUMNA17=21|"
            "CANTIDAD_ORIGEN=1|IDARTICULO=000014" },
        ".",
        "Contado o transferencia bancaria. Cuenta corriente a 30 días para clientes habilitad"
        "os.[250]",
        " setenta y dos mil doscientos veinticinco Pesos con 00/100" },
    { "OT", "000200002007X",
        { "", "3", "M|SECCION=Detalles de Tareas a Realizar", "3",
            "TA|COLUMNA1=4|COLUMNA2=Reparación de bomba d'agua|COLUMNA3=[1]|COLUMNA4=02:05|"
            "COLUMNA5=12100,00|COLUMNA6=25208,33|COLUMNA7=10000,00",
            "TA|COLUMNA1=4|COLUMNA2={\\rtf1\\fbidis Cambio de sello mecánico|COLUMNA4=0|"
            "COLUMNA5=0|COLUMNA6=0|COLUMNA7=0",
            "3", "M|SECCION=Insumos - Materiales a Utilizar - Productos", "3",
            "IN|COLUMNA1=000015|COLUMNA2=Flexible mallado 40 cm|COLUMNA3=UN|COLUMNA4=2|"
            "COLUMNA5=3200,00|COLUMNA6=6400,00|COLUMNA7=2644,63|COLUMNA8=[50]|"
            "PIEDEPAGINA=06-78885|COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|COLUMNA13=2|"
            "COLUMNA14=UN|COLUMNA15=1|COLUMNA16=Flexible mallado 40 cm[50]|COLUMNA17=21|"
            "CANTIDAD_ORIGEN=2|IDARTICULO=000015" },
        ".", "", " treinta y un mil seiscientos ocho Pesos con 33/100" },
};

TEST_F(AuxiliarComprobantesTest, writes_every_kind_of_row_of_the_demo_vouchers)
{
    for (const Esperado& e : kEsperados) {
        const ResultadoAuxiliar r = genera(QLatin1String(e.tc), QLatin1String(e.id));

        EXPECT_TRUE(r.omitidas.isEmpty()) << e.id << r.omitidas.join(u';').toStdString();
        EXPECT_EQ(filas(), e.filas) << e.id;
        EXPECT_EQ(delComprobante(QLatin1String(e.tc), QLatin1String(e.id)),
            QStringList(kPuesto + u'|' + QLatin1String(e.tc) + u'|' + QLatin1String(e.id)
                + QStringLiteral("|0|") + QString::fromUtf8(e.encabezado) + u'|'
                + QString::fromUtf8(e.formaDePago) + u'|' + QString::fromUtf8(e.importeEnLetras)))
            << e.id;
    }
}

TEST_F(AuxiliarComprobantesTest, numbers_follow_the_workstation_and_the_timber_trade_columns)
{
    const struct
    {
        char separador;
        bool maderera;
        const char* id;
        const char* fila;
    } casos[] = {
        // 100 at 10.5 % with VAT added: 110.50 a unit, 331.50 the line.
        { '.', false, "000200002002B",
            "IN|COLUMNA1=000007|COLUMNA2=Pintura látex interior 4 l|COLUMNA3=UN|COLUMNA4=3|"
            "COLUMNA5=110.50|COLUMNA6=331.50|COLUMNA7=100.00|COLUMNA8=[50]|"
            "PIEDEPAGINA=02-21950|COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|COLUMNA13=3|COLUMNA14=UN|"
            "COLUMNA15=1|COLUMNA16=Pintura látex interior 4 l[50]|COLUMNA17=10.5|"
            "CANTIDAD_ORIGEN=3|IDARTICULO=000007" },
        // The unit of the price and the price by that unit; no supplier code.
        { ',', true, "000200002001A",
            "IN|COLUMNA1=000005|COLUMNA2=Tarugo de nylon 8 mm|COLUMNA3=UN|COLUMNA4=100|"
            "COLUMNA5=12,25|COLUMNA6=1163,75|COLUMNA7=12,25|COLUMNA8=L2611[50]|COLUMNA10=5|"
            "COLUMNA11=0|COLUMNA12=0|COLUMNA13=100|COLUMNA14=UN|COLUMNA15=1|COLUMNA16=M2|"
            "COLUMNA17=6.125|CANTIDAD_ORIGEN=100|IDARTICULO=000005" },
        { '.', true, "000200002001A",
            "IN|COLUMNA1=000003|COLUMNA2=Cable unipolar 2,5 mm rollo 100 m|COLUMNA3=UN|"
            "COLUMNA4=3|COLUMNA5=23100.00|COLUMNA6=69300.00|COLUMNA7=23100.00|"
            "COLUMNA8=DSP-7 /ADUANA/Orig.Puerto de Buenos Aires[50]|COLUMNA9=1|COLUMNA10=0|"
            "COLUMNA11=0|COLUMNA12=0|COLUMNA13=3|COLUMNA14=UN|COLUMNA15=1|COLUMNA16=M2|"
            "COLUMNA17=11550|CANTIDAD_ORIGEN=3|IDARTICULO=000003" },
    };
    for (const auto& c : casos) {
        LocalePrueba locale(c.separador);
        m_globales.gMaderera = c.maderera;

        genera(QStringLiteral("FC"), QLatin1String(c.id));

        EXPECT_TRUE(filas().contains(QString::fromUtf8(c.fila)))
            << c.separador << c.id << "\n"
            << filas().join(u'\n').toStdString();
    }
}

TEST_F(AuxiliarComprobantesTest, proformas_print_vat_under_the_setting_for_customers_of_condition_1)
{
    exec(
        QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = 'si' WHERE CLAVE = 'RobaIvaProforma'"));

    genera(QStringLiteral("FP"), QStringLiteral("000200002004X"));

    const QStringList precios
        = filas(QStringLiteral(" AND TIPO = 'IN'"))
              .replaceInStrings(
                  QRegularExpression(QStringLiteral("^.*(COLUMNA5=[^|]*\\|COLUMNA6=[^|]*).*$")),
                  QStringLiteral("\\1"));
    // The second line's stored price already differs from the one without VAT.
    EXPECT_EQ(precios,
        QStringList(
            { "COLUMNA5=11011,00|COLUMNA6=220220,00", "COLUMNA5=45980,00|COLUMNA6=91960,00" }));
}

} // namespace

namespace {

TEST_F(AuxiliarComprobantesTest, chooses_vouchers_by_list_ids_type_of_the_first_id_and_range)
{
    const QString idFactura = idDe(QStringLiteral("FC"), QStringLiteral("000200002001A"));
    const QString idCredito = idDe(QStringLiteral("NC"), QStringLiteral("000200002003B"));
    const struct
    {
        const char* caso;
        const char* tc;
        const char* desde;
        const char* hasta;
        QString ids;
        const char* lista;
        const char* tcFinal;
        QStringList buffer;
    } casos[] = {
        { "lista", "FC", "", "", QString(), "'000200002001A','000200002005A'", "FC",
            { "FC 000200002001A", "FC 000200002005A" } },
        // The list of vouchers wins over the ids.
        { "lista sobre ids", "FC", "", "", idCredito, "'000200002005A'", "FC",
            { "FC 000200002005A" } },
        { "ids", "FC", "", "", idFactura + QStringLiteral(" , ") + idCredito, "", "FC",
            { "FC 000200002001A" } },
        // "todo" takes the type of the first id for the whole run: the invoice is walked as a
        // credit note, so only its header note is found.
        { "todo", "todo", "", "", idCredito + u',' + idFactura, "", "NC",
            { "NC 000200002001A", "NC 000200002003B" } },
        { "rango", "FC", "000200002001A", "000200002005A", QString(), "", "FC",
            { "FC 000200002001A", "FC 000200002002B", "FC 000200002005A" } },
        { "uno", "FC", "000200002002B", "", QString(), "", "FC", { "FC 000200002002B" } },
        { "rango abierto", "NC", "", "", QString(), "", "NC",
            { "NC 000200000045A", "NC 000200002003B", "NC 000200002009A" } },
        { "ninguno", "FC", "000200099999A", "", QString(), "", "FC", {} },
    };
    for (const auto& c : casos) {
        genera(QStringLiteral("PR"), QStringLiteral("000200002006X"));
        QString tc = QLatin1String(c.tc);
        const QString desde = QLatin1String(c.desde);
        const QString hasta = QLatin1String(c.hasta);

        const ResultadoAuxiliar r = GeneraAuxiliarComprobantes(tc, desde.mid(0, 4), desde.mid(4, 8),
            desde.mid(12), QStringLiteral("0"), 3, hasta.mid(0, 4), hasta.mid(4, 8), hasta.mid(12),
            QStringLiteral("0"), c.ids, QLatin1String(c.lista), QString());

        EXPECT_EQ(tc, QLatin1String(c.tcFinal)) << c.caso;
        EXPECT_EQ(r.comprobantes, c.buffer.size()) << c.caso;
        EXPECT_EQ(comprobantesEnBuffer(), c.buffer) << c.caso;
        EXPECT_TRUE(r.omitidas.isEmpty()) << c.caso << ": " << r.omitidas.join(u';').toStdString();
    }
}

TEST_F(AuxiliarComprobantesTest, selection_lists_that_are_not_lists_are_refused_and_lose_nothing)
{
    genera(QStringLiteral("PR"), QStringLiteral("000200002006X"));
    const QStringList antes = filas();
    const struct
    {
        const char* ids;
        const char* lista;
        const char* error;
    } casos[] = {
        { "1);DELETE FROM V_MV_CPTE;--", "", "La lista de identificadores no es válida: " },
        { "1,a", "", "La lista de identificadores no es válida: " },
        { "", "'000200002001A') OR (1=1", "La lista de comprobantes no es válida: " },
        { "", "000200002001A", "La lista de comprobantes no es válida: " },
    };
    for (const auto& c : casos) {
        QString tc = QStringLiteral("FC");

        const ResultadoAuxiliar r = GeneraAuxiliarComprobantes(tc, QString(), QString(), QString(),
            QStringLiteral("0"), 3, QString(), QString(), QString(), QString(),
            QString::fromUtf8(c.ids), QString::fromUtf8(c.lista), QString());

        EXPECT_TRUE(r.error.startsWith(QString::fromUtf8(c.error))) << r.error.toStdString();
        EXPECT_EQ(filas(), antes) << c.ids << c.lista;
    }
}

TEST_F(AuxiliarComprobantesTest, workstations_keep_their_own_rows_and_no_borrar_gathers_vouchers)
{
    environment().setComputerName(QStringLiteral("caja02"));
    genera(QStringLiteral("FC"), QStringLiteral("000200002001A"));
    const QStringList otroPuesto = filas(QString(), QStringLiteral("CAJA02|OPERADOR"));
    environment().setComputerName(QStringLiteral("PUESTO01"));

    genera(QStringLiteral("FC"), QStringLiteral("000200002001A"));
    genera(QStringLiteral("FC"), QStringLiteral("000200002005A"), true);

    EXPECT_EQ(comprobantesEnBuffer(), QStringList({ "FC 000200002001A", "FC 000200002005A" }));
    // The other workstation's dispatch note does not stop ours.
    EXPECT_EQ(filas(QStringLiteral(" AND TIPO = 'XX'")), otroPuesto.filter(QStringLiteral("XX|")));
    EXPECT_EQ(filas(QString(), QStringLiteral("CAJA02|OPERADOR")), otroPuesto);

    genera(QStringLiteral("FC"), QStringLiteral("000200002002B"));

    EXPECT_EQ(comprobantesEnBuffer(), QStringList({ "FC 000200002002B" }));
    EXPECT_EQ(filas(QString(), QStringLiteral("CAJA02|OPERADOR")), otroPuesto);
}

TEST_F(AuxiliarComprobantesTest, title_block_puts_the_title_in_its_middle_row)
{
    const struct
    {
        qint16 lineas;
        QStringList tipos;
    } casos[] = {
        { 3, { "", "3", "M", "3", "IN" } },
        { 2, { "", "3", "M", "IN" } },
        { 4, { "", "3", "3", "M", "3", "IN" } },
        { 1, { "", "M", "IN" } },
        { 0, { "", "M", "IN" } },
        // The title's row would be -1: a single blank row is written.
        { -3, { "", "3", "IN" } },
    };
    for (const auto& c : casos) {
        genera(QStringLiteral("FC"), QStringLiteral("000200002005A"), false, c.lineas);

        QStringList tipos;
        for (const QString& f : filas())
            tipos.append(f.section(u'|', 0, 0));
        EXPECT_EQ(tipos, c.tipos) << c.lineas;
    }
}

TEST_F(AuxiliarComprobantesTest, texts_with_apostrophes_are_stored_whole)
{
    exec(QStringLiteral("UPDATE TA_CONFIGURACION SET valoraux = 'Cheque a 30 d''as, sin "
                        "inter''s' WHERE CLAVE = 'FormaDePago_UN_1'"));
    exec(QStringLiteral("UPDATE V_MV_CPTE_Observ SET Observacion = 'Bulto 3 de 3 ''frágil''' "
                        "WHERE IDCOMPROBANTE = '000200002001A' AND Tipo_Obs = 'PP'"));

    const ResultadoAuxiliar r = genera(QStringLiteral("FC"), QStringLiteral("000200002001A"));

    EXPECT_TRUE(r.omitidas.isEmpty()) << r.omitidas.join(u';').toStdString();
    const QStringList comprobante
        = delComprobante(QStringLiteral("FC"), QStringLiteral("000200002001A"));
    ASSERT_EQ(comprobante.size(), 1);
    // The workstation key holds a "|" of its own.
    EXPECT_EQ(comprobante.first().section(u'|', 5, 6),
        QStringLiteral("Entregar en el depósito de D'Amico, portón 2.|Cheque a 30 d'as, sin "
                       "inter's[250]"));
    EXPECT_EQ(filas().last(), QStringLiteral("|PIEDEPAGINA=Bulto 3 de 3 'frágil'"));
}

TEST_F(AuxiliarComprobantesTest, failing_statements_are_skipped_logged_and_counted)
{
    // The closing row fails silently; a failing item row is also shown, as the operator always
    // saw it.
    {
        QSqlDatabase directa
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("disparador"));
        directa.setDatabaseName(m_file);
        ASSERT_TRUE(directa.open());
        QSqlQuery disparador(directa);
        ASSERT_TRUE(disparador.exec(QStringLiteral(
            "CREATE TRIGGER rechaza BEFORE INSERT ON AUX_MV_CPTE WHEN NEW.TIPO = 'ZZ' OR "
            "NEW.COLUMNA1 = '000004' BEGIN SELECT RAISE(ABORT, 'fila rechazada'); END")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("disparador"));
    messages().answer(Msg::Ok);
    // The box comes after the voucher's rows are committed: another workstation can write
    // while the operator reads it.
    bool otroPuedeEscribir = false;
    QSqlDatabase otro
        = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("otro"));
    otro.setDatabaseName(m_file);
    otro.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    ASSERT_TRUE(otro.open());
    messages().onShow = [&] {
        QSqlQuery escritura(otro);
        otroPuedeEscribir = escritura.exec(QStringLiteral("BEGIN IMMEDIATE"));
        if (otroPuedeEscribir)
            escritura.exec(QStringLiteral("ROLLBACK"));
    };

    const ResultadoAuxiliar r = genera(QStringLiteral("FC"), QStringLiteral("000200002001A"));
    messages().onShow = nullptr;
    otro.close();
    otro = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("otro"));
    EXPECT_TRUE(otroPuedeEscribir);

    ASSERT_EQ(r.omitidas.size(), 2);
    EXPECT_TRUE(r.omitidas.at(0).startsWith(QStringLiteral("AgregaInsumos: ")));
    EXPECT_TRUE(r.omitidas.at(1).startsWith(QStringLiteral("AgregaCierreSeccion: ")));
    ASSERT_EQ(messages().shown().size(), 1);
    EXPECT_TRUE(messages().shown().first().text.contains(QStringLiteral("fila rechazada")));
    EXPECT_EQ(filas().filter(QRegularExpression(QStringLiteral("^IN\\|"))).size(), 5);
    EXPECT_TRUE(filas(QStringLiteral(" AND TIPO = 'ZZ'")).isEmpty());
    const QStringList log = lineasDelRegistro();
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log.at(1).contains(
        QStringLiteral("Rutina: - GeneraAuxiliarComprobantes - AgregaCierreSeccion Mensaje")));
}

TEST_F(AuxiliarComprobantesTest, tool_fills_the_buffer_and_tells_what_it_could_not_do)
{
    const struct
    {
        QStringList argumentos;
        int salida;
        const char* filas;
        const char* error;
    } casos[] = {
        { { "--tc", "FC", "--id", "000200002005A", "--filas" }, 0, "5", "" },
        { { "--tc", "FC", "--id", "000200099999A" }, 2, "0",
            "No se encontró el comprobante FC 000200099999A" },
        { { "--tc", "QQ", "--id", "000200002005A" }, 2, "0",
            "Tipo de comprobante desconocido: QQ" },
        { { "--tc", "FC", "--ids", "1;2" }, 2, "0",
            "La lista de identificadores no es válida: 1;2" },
        { { "--tc", "FC", "--hasta" }, 2, "0", "Falta el valor de --hasta" },
    };
    for (const auto& c : casos) {
        QProcess tool;
        QProcessEnvironment entorno = testsupport::toolEnvironment();
        entorno.insert(QStringLiteral("TEMP"), m_dir.path());
        tool.setProcessEnvironment(entorno);

        tool.start(QStringLiteral(RP_VOUCHER_EXE),
            QStringList { "buffer", "--db", m_file } + c.argumentos);
        ASSERT_TRUE(tool.waitForFinished(60000));

        const QString error = QString::fromUtf8(tool.readAllStandardError());
        const QStringList salida
            = QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        EXPECT_EQ(tool.exitCode(), c.salida) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
        EXPECT_EQ(QString::number(salida.size()), QLatin1String(c.filas));
        for (const QString& fila : salida)
            EXPECT_EQ(fila.count(u'\t'), 29) << fila.toStdString();
    }
}

TEST_F(AuxiliarComprobantesTest, a_database_another_process_holds_stops_the_run_at_the_first_wait)
{
    genera(QStringLiteral("FC"), QStringLiteral("000200002001A"));
    const QStringList antes = filas();
    const testsupport::EsperaCorta espera(m_dir.path(), m_file);
    {
        const testsupport::OtroProceso otro(m_file, "BEGIN EXCLUSIVE");
        ASSERT_TRUE(otro.holds());

        const ResultadoAuxiliar r = genera(QStringLiteral("FC"), QStringLiteral("000200002005A"));

        EXPECT_EQ(r.error,
            QStringLiteral("La base de datos %1 está bloqueada por otro proceso: se "
                           "esperó 30 s y no se liberó.")
                .arg(m_file));
        EXPECT_TRUE(r.omitidas.isEmpty()) << r.omitidas.join(u'\n').toStdString();
    }
    EXPECT_EQ(filas(), antes);
}

TEST_F(AuxiliarComprobantesTest, two_workstations_filling_at_once_both_write_every_voucher)
{
    const QString base = testsupport::writeDemoDatabases(m_dir.filePath(QStringLiteral("dos")), 20,
        { QStringLiteral("--voucher-invoices"), QStringLiteral("120") });
    ASSERT_FALSE(base.isEmpty());
    DataObjects objetos;
    ScopedService<DataObjects> servicio(objetos);
    abre(objetos.gDB, base);
    // A row of the second workstation's earlier fill, which its own fill must replace.
    objetos.gDB.EjecutaConsultaSQL(QStringLiteral(
        "INSERT INTO AUX_MV_CPTE (USUARIO, TC, IDCOMPROBANTE, TIPO, COLUMNA1) VALUES "
        "('PC2|CAJA', 'FC', '000200010001A', 'IN', 'anterior')"));
    ASSERT_EQ(objetos.gDB.gCnn().Errors().Count(), 0);
    QProcess puestos[2];
    for (int i = 0; i < 2; ++i)
        puestos[i].start(QStringLiteral(RP_VOUCHER_EXE),
            { "buffer", "--db", base, "--tc", "FC", "--id", "000200010001A", "--hasta",
                "000200010120B", "--equipo", QStringLiteral("PC%1").arg(i + 1), "--usuario",
                "CAJA" });

    for (QProcess& puesto : puestos) {
        ASSERT_TRUE(puesto.waitForFinished(300000));
        EXPECT_EQ(puesto.exitCode(), 0) << puesto.readAllStandardError().toStdString();
    }
    for (const char* puesto : { "PC1|CAJA", "PC2|CAJA" }) {
        AdoRecordset rs;
        objetos.gDB.AbrirRecordset(QStringLiteral("SELECT COUNT(DISTINCT IDCOMPROBANTE), "
                                                  "SUM(COLUMNA1 = 'anterior') FROM AUX_MV_CPTE "
                                                  "WHERE USUARIO = '%1'")
                                       .arg(QLatin1String(puesto)),
            rs);
        EXPECT_EQ(rs.Fields(0).Value().toLongLong(), 120) << puesto;
        EXPECT_EQ(rs.Fields(1).Value().toLongLong(), 0) << puesto;
        objetos.gDB.CierraRecordset(rs);
    }
}

} // namespace

namespace {

TEST_F(AuxiliarComprobantesTest, task_rows_with_their_titles_hours_descriptions_and_diary)
{
    const struct
    {
        const char* caso;
        const char* tc;
        const char* id;
        const char* tarea;
        bool ocultaImportes;
        QStringList filas;
    } casos[] = {
        { "presupuesto", "PR", "000200002006X", "", false,
            { "M|SECCION=Detalles de Tareas a Realizar",
                "TA|COLUMNA1=1|COLUMNA2=Instalación de grifería|COLUMNA3=[1]|COLUMNA4=01:30|"
                "COLUMNA5=18150,00|COLUMNA6=27225,00|COLUMNA7=15000,00",
                // The rich-text description on a row of its own, accents turned into letters.
                "TA|COLUMNA1=1|COLUMNA2={\\rtf1\\ansi\\deff0 Instalación en la cocina de "
                "D'Amico.\\par}|COLUMNA4=0|COLUMNA5=0|COLUMNA6=0|COLUMNA7=0",
                "TA|COLUMNA1=2|COLUMNA2=Revisión de pérdidas|COLUMNA3=[1]|COLUMNA4=00:30|"
                "COLUMNA5=0,00|COLUMNA6=0,00|COLUMNA7=0,00",
                "M|SECCION=Insumos - Materiales a Utilizar - Productos" } },
        // A work order in lower case, its hours hidden; the amounts still print.
        { "orden oculta", "ot", "000200002007X", "", true,
            { "M|SECCION=Detalles de Tareas a Realizar",
                "TA|COLUMNA1=4|COLUMNA2=Reparación de bomba d'agua|COLUMNA3=[1]|COLUMNA4=[6]|"
                "COLUMNA5=12100,00|COLUMNA6=25208,33|COLUMNA7=10000,00",
                "TA|COLUMNA1=4|COLUMNA2={\\rtf1\\fbidis Cambio de sello mecánico|COLUMNA4=0|"
                "COLUMNA5=0|COLUMNA6=0|COLUMNA7=0",
                "M|SECCION=Insumos - Materiales a Utilizar - Productos" } },
        { "una tarea con lineas", "OT", "000200002007X", "   4", false,
            { "M|SECCION=Detalles de Tareas a Realizar",
                "TA|COLUMNA1=4|COLUMNA2=Reparación de bomba d'agua|COLUMNA3=[1]|COLUMNA4=02:05|"
                "COLUMNA5=12100,00|COLUMNA6=25208,33|COLUMNA7=10000,00",
                "TA|COLUMNA1=4|COLUMNA2={\\rtf1\\fbidis Cambio de sello mecánico|COLUMNA4=0|"
                "COLUMNA5=0|COLUMNA6=0|COLUMNA7=0" } },
        // A task with only its diary: each note in its own row, apostrophes and all; blank
        // notes leave the description alone.
        { "diario", "OT", "000200002007X", "   9", false,
            { "M|SECCION=Detalles de Tareas a Realizar",
                "TA|COLUMNA1=9|COLUMNA2={\\rtf1\\ansi Visita técnica\r\n Se revisó el tablero.|"
                "COLUMNA3=[1]|COLUMNA4=00:45|COLUMNA5=0|COLUMNA6=0|COLUMNA7=0",
                "TA|COLUMNA1=9|COLUMNA2={\\rtf1\\ansi Visita técnica\r\n El cliente pidió "
                "presupuesto de la bomba d'agua.|COLUMNA3=[1]|COLUMNA4=00:30|COLUMNA5=0|"
                "COLUMNA6=0|COLUMNA7=0",
                "TA|COLUMNA1=9|COLUMNA2=Visita técnica|COLUMNA3=[1]|COLUMNA4=00:15|COLUMNA5=0|"
                "COLUMNA6=0|COLUMNA7=0" } },
        { "tarea sin diario", "OT", "000200002007X", "  99", false,
            { "M|SECCION=Detalles de Tareas a Realizar" } },
        { "factura sin tareas", "FC", "000200002005A", "", false,
            { "M|SECCION=Insumos - Materiales Utilizados - Productos" } },
    };
    for (const auto& c : casos) {
        exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '%1' WHERE CLAVE = "
                            "'NoMostrarImportesEnOT'")
                 .arg(c.ocultaImportes ? "SI" : "NO"));

        const ResultadoAuxiliar r
            = genera(QLatin1String(c.tc), QLatin1String(c.id), false, 3, QLatin1String(c.tarea));

        EXPECT_TRUE(r.omitidas.isEmpty()) << c.caso << r.omitidas.join(u';').toStdString();
        EXPECT_EQ(filas(QStringLiteral(" AND TIPO IN ('M', 'TA')")), c.filas) << c.caso;
    }
}

TEST_F(AuxiliarComprobantesTest, other_concepts_print_net_on_letter_a_and_may_leave_zeros_out)
{
    const struct
    {
        const char* caso;
        const char* id;
        bool ceroVacio;
        const char* letraNota;
        QStringList filas;
    } casos[] = {
        { "A", "000200002001A", false, "A",
            { "OC|COLUMNA2=Flete a domicilio|COLUMNA3=0|COLUMNA4=0|COLUMNA5=0|COLUMNA6=10000,00|"
              "COLUMNA7=10000,00|COLUMNA8=0|COLUMNA12=21/11/2026|COLUMNA13=V-0031",
                "OC|COLUMNA2=Bonificación DAmico|COLUMNA3=0|COLUMNA4=0|COLUMNA5=0|"
                "COLUMNA6=0,00|COLUMNA7=0,00|COLUMNA8=0" } },
        { "a minuscula, ceros vacios", "000200002001A", true, "a",
            { "OC|COLUMNA2=Flete a domicilio|COLUMNA3=0|COLUMNA4=0|COLUMNA5=0|COLUMNA6=10000,00|"
              "COLUMNA7=10000,00|COLUMNA8=0|COLUMNA12=21/11/2026|COLUMNA13=V-0031",
                "OC|COLUMNA2=Bonificación DAmico|COLUMNA3=0|COLUMNA4=0|COLUMNA5=0|COLUMNA8=0" } },
        // The gross amount on any other letter; the zero rule decides per column.
        { "B", "000200002002B", true, "B",
            { "OC|COLUMNA2=Envío|COLUMNA3=0|COLUMNA4=0|COLUMNA5=0|COLUMNA6=1210,00|COLUMNA8=0|"
              "COLUMNA13=V-0032" } },
    };
    // The B invoice's charge with no net amount.
    exec(QStringLiteral("UPDATE V_MV_CPTE_Observ SET Importe_S_IVA = 0 WHERE NroViaje = 'V-0032'"));
    for (const auto& c : casos) {
        exec(QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE CLAVE = 'IgnoraImportesCeroEnOC'"));
        if (c.ceroVacio)
            exec(QStringLiteral("INSERT INTO TA_CONFIGURACION (GRUPO, CLAVE, VALOR) VALUES "
                                "('DATOS', 'IgnoraImportesCeroEnOC', 'si')"));
        const QString id = QLatin1String(c.id);
        exec(QStringLiteral("UPDATE V_MV_CPTE_Observ SET IDCOMPROBANTE = '%1' WHERE "
                            "IDCOMPROBANTE = '%2' AND Tipo_Obs = 'OC'")
                 .arg(id.left(12) + QLatin1String(c.letraNota), id));

        genera(QStringLiteral("FC"), id);

        EXPECT_EQ(filas(QStringLiteral(" AND TIPO = 'OC'")), c.filas) << c.caso;
        EXPECT_EQ(filas(QStringLiteral(" AND TIPO = 'M'")).last(),
            QStringLiteral("M|SECCION=Otros Conceptos - Observaciones - Comentarios"));
    }
}

TEST_F(AuxiliarComprobantesTest, delivery_note_in_retail_lists_the_pending_lines_of_its_order)
{
    const QString pendientes
        = QStringLiteral("M|SECCION=Insumos - Materiales Utilizados - Productos (Sin Preparación)");
    const QString ladrillo = QStringLiteral(
        "IN|COLUMNA1=000016|COLUMNA2=Ladrillo hueco 12x18x33|COLUMNA3=UN|COLUMNA4=0|"
        "COLUMNA5=410,00|COLUMNA6=205000,00|COLUMNA7=338,84|COLUMNA8=L7L8|COLUMNA9=S1S2|"
        "COLUMNA10=0|COLUMNA11=0|COLUMNA12=0|COLUMNA13=500|COLUMNA14=UN|COLUMNA15=1|"
        "CANTIDAD_ORIGEN=500|IDARTICULO=000016");
    const QString segunda = QStringLiteral(
        "IN|COLUMNA1=000016|COLUMNA2=Ladrillo hueco 12x18x33 (segunda entrega)|COLUMNA3=UN|"
        "COLUMNA4=0|COLUMNA5=410,00|COLUMNA6=102500,00|COLUMNA7=338,84|COLUMNA10=0|"
        "COLUMNA11=0|COLUMNA12=0|COLUMNA13=250|COLUMNA14=UN|COLUMNA15=1|CANTIDAD_ORIGEN=250|"
        "IDARTICULO=000016");
    const struct
    {
        const char* caso;
        const char* retail;
        const char* cambio;
        QStringList filas;
    } casos[] = {
        // Both lines of the pending article, each on its own row; the delivered one is not.
        { "pendientes", "si", "", { pendientes, ladrillo, segunda } },
        { "sin retail", "NO", "", {} },
        { "todo entregado", "SI", "DELETE FROM VT_V_MV_Insumos_NPPendiente", { pendientes } },
        { "sin origen", "SI", "UPDATE V_MV_CPTE SET ComprobanteOrigen = NULL WHERE TC = 'RM'", {} },
        { "otro origen", "SI", "UPDATE V_MV_CPTE SET TcOrigen = 'PR' WHERE TC = 'RM'", {} },
    };
    for (const auto& c : casos) {
        exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '%1' WHERE CLAVE = 'RETAIL'")
                 .arg(QLatin1String(c.retail)));
        if (*c.cambio != '\0')
            exec(QLatin1String(c.cambio));

        genera(QStringLiteral("RM"), QStringLiteral("000200003002R"));

        const QStringList todas = filas(QStringLiteral(" AND TIPO IN ('M', 'IN')"));
        // The delivery note's own title and line come first.
        EXPECT_EQ(todas.mid(2), c.filas) << c.caso;
    }
}

} // namespace

namespace {

// The drawing as a site's component would do it, or failing.
class ComponenteQRPrueba final : public ComponenteQR
{
public:
    explicit ComponenteQRPrueba(bool falla)
        : m_falla(falla)
    {
    }
    QString GenerarImagen(const QList<Value>&) override
    {
        if (m_falla)
            return QString();
        m_imagen = "imagen del componente";
        return QStringLiteral("texto");
    }
    QByteArray imagen() const override { return m_imagen; }

private:
    bool m_falla;
    QByteArray m_imagen;
};

class FabricaQRPrueba final : public FabricaComponenteQR
{
public:
    explicit FabricaQRPrueba(bool falla)
        : m_falla(falla)
    {
    }
    std::unique_ptr<ComponenteQR> crea(const QString&) override
    {
        return std::make_unique<ComponenteQRPrueba>(m_falla);
    }

private:
    bool m_falla;
};

class AuxiliarComprobantesQRTest : public AuxiliarComprobantesTest
{
protected:
    void SetUp() override
    {
        AuxiliarComprobantesTest::SetUp();
        for (const char* imagen : { "AFIP.PNG", "ARCA.PNG", "logo.jpg" })
            QFile::copy(QStringLiteral(RP_SHARE_DIR "/") + QLatin1String(imagen),
                m_dir.filePath(QLatin1String(imagen)));
    }

    static QByteArray bytesDe(const QString& archivo)
    {
        QFile f(archivo);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The workstation's QR rows of a voucher: position, QR bytes, authority logo, company logo.
    struct FilaQR
    {
        QString posicion;
        QByteArray qr;
        QByteArray autoridad;
        QByteArray empresa;
    };
    QList<FilaQR> filasQR(const QString& id, const QString& puesto = kPuesto)
    {
        AdoRecordset rs;
        m_objects.gDB.AbrirRecordset(QStringLiteral("SELECT * FROM AUX_MV_CPTEQR WHERE "
                                                    "USUARIO = '%1' AND IDCOMPROBANTE = '%2'")
                                         .arg(puesto, id),
            rs);
        QList<FilaQR> filas;
        const auto bytes = [&](const char* columna) {
            const Value v = rs.Fields(QLatin1String(columna)).Value();
            return v.isNull() ? QByteArray() : v.toBytes();
        };
        for (; !rs.Eof(); rs.MoveNext())
            filas.append(
                { gUtilidades().ValorCampo(rs.Fields(QStringLiteral("muestra_logo")).Value()),
                    bytes("QR_AFIP"), bytes("IMG_AFIP"), bytes("LOGO_EMPRESA") });
        m_objects.gDB.CierraRecordset(rs);
        return filas;
    }

    // What a reader finds in the image: the JSON of the electronic-invoice data.
    QString leeQR(const QByteArray& png)
    {
        const QString archivo = m_dir.filePath(QStringLiteral("leido.png"));
        QFile f(archivo);
        f.open(QIODevice::WriteOnly);
        f.write(png);
        f.close();
        QProcess lector;
        lector.start(QStringLiteral("zbarimg"), { "--raw", "-q", archivo });
        if (!lector.waitForFinished(30000)) {
            ADD_FAILURE() << "zbarimg no se pudo ejecutar (zbar-tools)";
            return QString();
        }
        // The demo's QR opens the authority's address; the data follow "?p=" in base64.
        const QByteArray texto = lector.readAllStandardOutput().trimmed();
        const qsizetype datos = texto.indexOf("?p=");
        return QString::fromUtf8(QByteArray::fromBase64(texto.mid(datos < 0 ? 0 : datos + 3)));
    }

    FabricaComponenteQRImagen m_fabrica;
    ScopedService<FabricaComponenteQR> m_fabricaServicio { m_fabrica };
};

TEST_F(AuxiliarComprobantesQRTest, qr_image_reads_back_as_the_voucher_data)
{
    const QString fijo = QStringLiteral(
        "\"cuit\":30714582948,\"fecha\":\"2026-11-20\",\"importe\":%1,\"moneda\":\"%2\","
        "\"nroCmp\":%3,\"nroDocRec\":%4,\"ptoVta\":2,\"tipoCmp\":1,\"tipoCodAut\":\"E\","
        "\"tipoDocRec\":80,\"ver\":1}");
    // Each row that changes a voucher works on a copy of its own (type `tc`, number `id`) of the
    // demo invoice `desde`, with `cambios` applied and, when `conCae`, its authorisation row: no
    // row reads what another row changed.
    const auto copia = [](const char* tc, const char* id, const char* desde, const char* cambios,
                           bool conCae) {
        QStringList sql { QStringLiteral(
            "INSERT INTO V_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,FECHA,CUENTA,nombre,"
            "CondicionIva,documentotipo,DOCUMENTONUMERO,Moneda,IMPORTE,CodCpteAfip) SELECT '%1', "
            "'%2', 0, UNEGOCIO, FECHA, CUENTA, nombre, CondicionIva, documentotipo, "
            "DOCUMENTONUMERO, Moneda, IMPORTE, CodCpteAfip FROM V_MV_CPTE WHERE TC = 'FC' AND "
            "IDCOMPROBANTE = '%3'")
                              .arg(QLatin1String(tc), QLatin1String(id), QLatin1String(desde)) };
        if (*cambios)
            sql << QStringLiteral(
                "UPDATE V_MV_CPTE SET %1 WHERE TC = '%2' AND IDCOMPROBANTE = '%3'")
                       .arg(QLatin1String(cambios), QLatin1String(tc), QLatin1String(id));
        if (conCae)
            sql << QStringLiteral("INSERT INTO V_MV_CPTE_ELECTRONICOS (TC,IDCOMPROBANTE,Fecha_CPTE,"
                                  "CAE,VtoCAE) SELECT '%1', '%2', Fecha_CPTE, CAE, VtoCAE FROM "
                                  "V_MV_CPTE_ELECTRONICOS WHERE TC = 'FC' AND IDCOMPROBANTE = '%3'")
                       .arg(QLatin1String(tc), QLatin1String(id), QLatin1String(desde));
        return sql;
    };
    const struct
    {
        const char* caso;
        const char* tc;
        const char* id;
        QStringList cambios;
        QString json;
        const char* letras = nullptr;
    } casos[] = {
        { "pesos", "FC", "000200002001A", {},
            "{\"codAut\":76123456789012,\"ctz\":1,"
                + fijo.arg("124086.24", "PES", "2001", "30701073319") },
        // Two captures that day: the last one.
        { "dolares", "FC", "000200002005A", {},
            "{\"codAut\":76123456789013,\"ctz\":1480.125,"
                + fijo.arg("1513.41", "DOL", "2005", "30701219933") },
        { "moneda 0", "FC", "000200002105A",
            copia("FC", "000200002105A", "000200002005A", "Moneda = '0'", true),
            "{\"codAut\":76123456789013,\"ctz\":1,"
                + fijo.arg("1513.41", "PES", "2105", "30701219933") },
        // The same digits as the demo's own CUIT, which every other row reads.
        { "cuit con separadores", "FC", "000200002001A",
            { "UPDATE TA_CONFIGURACION SET VALOR = ' 30-71458294/8' WHERE CLAVE = 'CUIT'" },
            "{\"codAut\":76123456789012,\"ctz\":1,"
                + fijo.arg("124086.24", "PES", "2001", "30701073319") },
        // Rounded to the cent once, half away from zero: the QR and the words say the TOTAL.
        { "centavos", "FC", "000200002101A",
            copia("FC", "000200002101A", "000200002001A", "IMPORTE = 1234.999", true),
            "{\"codAut\":76123456789012,\"ctz\":1,"
                + fijo.arg("1235", "PES", "2101", "30701073319"),
            "mil doscientos treinta y cinco Pesos con 00/100" },
        // An electronic credit invoice not yet authorised: no code.
        { "credito sin CAE", "FCE", "000200002901A",
            copia("FCE", "000200002901A", "000200002001A", "", false),
            "{\"codAut\":0,\"ctz\":1," + fijo.arg("124086.24", "PES", "2901", "30701073319") },
        // Its page prints the code it was authorised with: the QR carries the same.
        { "credito con CAE", "FCE", "000200002902A",
            copia("FCE", "000200002902A", "000200002001A", "", false)
                << QStringLiteral("INSERT INTO V_MV_CPTE_ELECTRONICOS (TC,IDCOMPROBANTE,"
                                  "Fecha_CPTE,CAE,VtoCAE) VALUES ('FCE', '000200002902A', "
                                  "'2026-11-20', '76999000000008', '2026-11-30')"),
            "{\"codAut\":76999000000008,\"ctz\":1,"
                + fijo.arg("124086.24", "PES", "2902", "30701073319") },
        // The customer's number as written on file: the QR holds its digits alone, whatever
        // separates them; one with no digits holds 0.
        { "dni con puntos", "FC", "000200002111A",
            copia("FC", "000200002111A", "000200002001A",
                "documentotipo = 96, DOCUMENTONUMERO = '28.123.456'", true),
            "{\"codAut\":76123456789012,\"ctz\":1,"
                + fijo.arg("124086.24", "PES", "2111", "28123456")
                      .replace(QStringLiteral("\"tipoDocRec\":80"),
                          QStringLiteral("\"tipoDocRec\":96")) },
        { "cuil con guiones", "FC", "000200002112A",
            copia("FC", "000200002112A", "000200002001A",
                "documentotipo = 86, DOCUMENTONUMERO = '20-28123456-7'", true),
            "{\"codAut\":76123456789012,\"ctz\":1,"
                + fijo.arg("124086.24", "PES", "2112", "20281234567")
                      .replace(QStringLiteral("\"tipoDocRec\":80"),
                          QStringLiteral("\"tipoDocRec\":86")) },
        { "cuit con puntos, blancos y barra", "FC", "000200002113A",
            copia("FC", "000200002113A", "000200002001A", "DOCUMENTONUMERO = ' 30.70107331 /9'",
                true),
            "{\"codAut\":76123456789012,\"ctz\":1,"
                + fijo.arg("124086.24", "PES", "2113", "30701073319") },
        { "sin digitos", "FC", "000200002114A",
            copia("FC", "000200002114A", "000200002001A", "DOCUMENTONUMERO = 'S/N'", true),
            "{\"codAut\":76123456789012,\"ctz\":1," + fijo.arg("124086.24", "PES", "2114", "0") },
    };
    for (const auto& c : casos) {
        for (const QString& cambio : c.cambios)
            exec(cambio);

        genera(QLatin1String(c.tc), QLatin1String(c.id));

        const QList<FilaQR> filas = filasQR(QLatin1String(c.id));
        ASSERT_EQ(filas.size(), 1) << c.caso;
        EXPECT_EQ(leeQR(filas.first().qr), c.json) << c.caso;
        EXPECT_TRUE(filas.first().qr.startsWith("\x89PNG")) << c.caso;
        if (c.letras) {
            EXPECT_TRUE(delComprobante(QLatin1String(c.tc), QLatin1String(c.id))
                            .first()
                            .endsWith(QLatin1String(c.letras)))
                << c.caso;
        }
    }
}

// A code of the voucher that no whole number holds leaves the QR undrawn and is named with its
// field, where reading it as one was undefined (a wrong code in the QR).
TEST_F(AuxiliarComprobantesQRTest, a_code_no_whole_number_holds_is_named_and_draws_no_qr)
{
    const QString donde = QStringLiteral(" WHERE TC = 'FC' AND IDCOMPROBANTE = '000200002001A'");
    const struct
    {
        const char* cambio;
        const char* vuelta;
        const char* omitida;
    } casos[] = {
        { "CodCpteAfip = '1e99'", "CodCpteAfip = '1'",
            "AgregaQRFactura datos: V_MV_CPTE.CodCpteAfip: '1e99' " },
        { "documentotipo = '9e99'", "documentotipo = '80'",
            "AgregaQRFactura datos: V_MV_CPTE.documentotipo: '9e99' " },
    };
    for (const auto& c : casos) {
        exec(QStringLiteral("UPDATE V_MV_CPTE SET ") + QLatin1String(c.cambio) + donde);

        const ResultadoAuxiliar r = genera(QStringLiteral("FC"), QStringLiteral("000200002001A"));
        exec(QStringLiteral("UPDATE V_MV_CPTE SET ") + QLatin1String(c.vuelta) + donde);

        ASSERT_EQ(r.omitidas.size(), 1) << c.cambio;
        EXPECT_TRUE(r.omitidas.first().startsWith(QLatin1String(c.omitida)))
            << r.omitidas.first().toStdString();
        const QList<FilaQR> filas = filasQR(QStringLiteral("000200002001A"));
        ASSERT_EQ(filas.size(), 1) << c.cambio;
        EXPECT_TRUE(filas.first().qr.isEmpty()) << c.cambio;
    }
}

TEST_F(AuxiliarComprobantesQRTest, logos_by_cut_over_date_position_and_file)
{
    const QByteArray afip = bytesDe(m_dir.filePath(QStringLiteral("AFIP.PNG")));
    const QByteArray arca = bytesDe(m_dir.filePath(QStringLiteral("ARCA.PNG")));
    const QByteArray logo = bytesDe(m_dir.filePath(QStringLiteral("logo.jpg")));
    exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '' WHERE CLAVE = "
                        "'cfgFechaInicioeFacARCA'"));
    const struct
    {
        const char* caso;
        const char* fecha;
        const char* logoEmpresa;
        const char* imprimeLogo;
        const char* posicion;
        QByteArray autoridad;
        QByteArray empresa;
    } casos[] = {
        { "antes del cambio", "2024-11-30", "SI", "SI", "IZ", afip, logo },
        { "desde el cambio", "2024-12-01", "SI", "SI", "IZ", arca, logo },
        { "sin logo impreso", "2024-12-01", "SI", "NO", "NO", arca, {} },
        { "sin archivo de logo", "2024-12-01", "NO", "SI", "NO", arca, {} },
        // What is not a picture file is left out at once, said: a FIFO would hold the print,
        // a device would be read without end.
        { "FIFO en el logo", "2024-12-01", "FIFO", "SI", "NO", arca, {} },
        { "enlace a un dispositivo", "2024-12-01", "CERO", "SI", "NO", arca, {} },
    };
    const QString archivoLogo = m_dir.filePath(QStringLiteral("logo.jpg"));
    for (const auto& c : casos) {
        exec(QStringLiteral("UPDATE V_MV_CPTE SET FECHA = '%1' WHERE IDCOMPROBANTE = "
                            "'000200002001A'")
                 .arg(QLatin1String(c.fecha)));
        exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '%1' WHERE CLAVE = "
                            "'PrintLogo_FC_NC_ND'")
                 .arg(QLatin1String(c.imprimeLogo)));
        const QLatin1String logoEmpresa(c.logoEmpresa);
        if (logoEmpresa != u"SI")
            QFile::remove(archivoLogo);
        if (logoEmpresa == u"FIFO") {
            ASSERT_EQ(::mkfifo(QFile::encodeName(archivoLogo).constData(), 0666), 0);
        }
        if (logoEmpresa == u"CERO") {
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), archivoLogo));
        }

        const ResultadoAuxiliar r = genera(QStringLiteral("FC"), QStringLiteral("000200002001A"));

        const QList<FilaQR> filas = filasQR(QStringLiteral("000200002001A"));
        ASSERT_EQ(filas.size(), 1) << c.caso;
        EXPECT_EQ(filas.first().posicion, QLatin1String(c.posicion)) << c.caso;
        EXPECT_EQ(filas.first().autoridad, c.autoridad) << c.caso;
        EXPECT_EQ(filas.first().empresa, c.empresa) << c.caso;
        EXPECT_EQ(r.omitidas.join(u';').contains(QStringLiteral("no es un archivo común")),
            logoEmpresa == u"FIFO" || logoEmpresa == u"CERO")
            << c.caso << r.omitidas.join(u';').toStdString();
    }
    // The default cut-over date is written back the first time it is needed.
    EXPECT_EQ(Configuracion::Cfg(QStringLiteral("cfgFechaInicioeFacARCA")), u"01/12/2024");
}

TEST_F(AuxiliarComprobantesQRTest, row_holds_what_the_component_drew_and_each_workstation_its_own)
{
    FabricaQRPrueba dibuja(false);
    FabricaQRPrueba falla(true);
    // The demo's cut-over date is long past: the new logo.
    const QByteArray arca = bytesDe(m_dir.filePath(QStringLiteral("ARCA.PNG")));
    environment().setComputerName(QStringLiteral("caja02"));
    genera(QStringLiteral("FC"), QStringLiteral("000200002005A"));
    environment().setComputerName(QStringLiteral("PUESTO01"));

    {
        ScopedService<FabricaComponenteQR> servicio(dibuja);
        genera(QStringLiteral("FC"), QStringLiteral("000200002005A"));
        genera(QStringLiteral("FC"), QStringLiteral("000200002005A"));
    }
    const QList<FilaQR> dibujada = filasQR(QStringLiteral("000200002005A"));
    {
        ScopedService<FabricaComponenteQR> servicio(falla);
        genera(QStringLiteral("FC"), QStringLiteral("000200002005A"));
    }
    const QList<FilaQR> fallida = filasQR(QStringLiteral("000200002005A"));

    ASSERT_EQ(dibujada.size(), 1);
    EXPECT_EQ(dibujada.first().qr, QByteArray("imagen del componente"));
    EXPECT_EQ(dibujada.first().autoridad, arca);
    ASSERT_EQ(fallida.size(), 1);
    EXPECT_TRUE(fallida.first().qr.isEmpty());
    EXPECT_TRUE(fallida.first().autoridad.isEmpty());
    EXPECT_EQ(
        filasQR(QStringLiteral("000200002005A"), QStringLiteral("CAJA02|OPERADOR")).size(), 1);
}

TEST_F(AuxiliarComprobantesQRTest, tool_writes_the_stored_qr_image_or_says_there_is_none)
{
    const struct
    {
        const char* id;
        const char* buffer; // the voucher the buffer is filled for first
        int salida;
        const char* error;
    } casos[] = {
        { "000200002001A", "000200002001A", 0, "" },
        // The buffer holds another voucher: nothing stored for this one.
        { "000200002005A", "000200002002B", 2, "El comprobante no tiene imagen QR" },
    };
    for (const auto& c : casos) {
        const QString png = m_dir.filePath(QStringLiteral("qr_%1.png").arg(QLatin1String(c.id)));
        const auto corre = [&](const QStringList& argumentos) {
            QProcess tool;
            tool.setProcessEnvironment(testsupport::toolEnvironment());
            tool.start(QStringLiteral(RP_VOUCHER_EXE), argumentos);
            EXPECT_TRUE(tool.waitForFinished(60000));
            return std::make_pair(tool.exitCode(), QString::fromUtf8(tool.readAllStandardError()));
        };

        corre({ "buffer", "--db", m_file, "--tc", "FC", "--id", QLatin1String(c.buffer) });
        const auto [salida, error] = corre(
            { "qr", "--db", m_file, "--tc", "FC", "--id", QLatin1String(c.id), "--out", png });

        EXPECT_EQ(salida, c.salida) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
        if (c.salida == 0)
            EXPECT_TRUE(leeQR(bytesDe(png)).contains(QLatin1String("\"nroCmp\":2001")));
        else
            EXPECT_FALSE(QFile::exists(png));
    }
}

} // namespace
