#include "vouchers/ImprimirComprobante.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include "ImpresionDemo.h"
#include "data/ConsultasDatos.h"
#include "reportengine/FormulaParser.h"
#include "support/QtPrinters.h"

using namespace ImpresionCpte;

namespace {

// What one print asked of the report control, in short: the form's file name, the names of the
// formula slots set, the sort fields and the sub-reports.
QString resumenImpresiones(const QStringList& log)
{
    QStringList impresiones;
    QString actual;
    for (const QString& entrada : log) {
        if (entrada.startsWith(QLatin1String("3="))) {
            actual = QFileInfo(entrada.mid(2)).fileName();
        } else if (entrada.startsWith(QLatin1String("29("))) {
            actual += u' ' + entrada.section(u'=', 1, 1).trimmed();
        } else if (entrada.startsWith(QLatin1String("108=")) && entrada.size() > 4) {
            actual += QStringLiteral(" sub:") + entrada.mid(4);
        } else if (entrada == QLatin1String("12()")) {
            impresiones << actual;
        }
    }
    return impresiones.join(QStringLiteral(" / "));
}

QString nombresFormulas(const QStringList& log)
{
    for (const QString& entrada : log)
        if (entrada.startsWith(QLatin1String("lista="))) {
            QStringList nombres;
            for (const QString& formula : entrada.mid(6).split(u';'))
                nombres << formula.section(u'=', 0, 0).trimmed();
            return nombres.join(u',');
        }
    return QStringLiteral("-");
}

class ImprimirComprobanteTest : public testsupport::ImpresionDemo
{
protected:
    QStringList formularios() const override
    {
        return { QStringLiteral("FC.rpt"), QStringLiteral("NC.RPT"), QStringLiteral("OT.rpt"),
            QStringLiteral("OT2.rpt"), QStringLiteral("OP.RPT"), QStringLiteral("RM.rpt"),
            QStringLiteral("ParteConsumoPE.rpt"), QStringLiteral("IR-OC.rpt"),
            QStringLiteral("COMANDA.rpt"), QStringLiteral("COMANDA_COCINA.rpt"),
            QStringLiteral("COMANDA_BAR.rpt"), QStringLiteral("COMANDA_BAR2.rpt"),
            QStringLiteral("RP_MV_3ros.rpt"), QStringLiteral("RP_Liq_Com.rpt"),
            QStringLiteral("STK5.rpt"), QStringLiteral("STK7.RPT"), QStringLiteral("OPG.RPT"),
            QStringLiteral("RETIVA.rpt"), QStringLiteral("LiqOPG.rpt"), QStringLiteral("CBCT.rpt"),
            QStringLiteral("AutOT.rpt"), QStringLiteral("CpteCompras.rpt") };
    }
};

// Every row of the choice by voucher type: the selection, the sort, the formula list and what is
// printed. The caller's selection is empty unless the row gives one; its sort is "+{X.Y}", so a
// row that leaves it unchanged shows it.
TEST_F(ImprimirComprobanteTest, chooses_report_selection_sort_and_formulas_by_voucher_type)
{
    struct Fila
    {
        const char* tc;
        const char* id;
        const char* clave;
        const char* previa;
        bool omitir;
        const char* seleccion;
        const char* orden;
        const char* formulas;
        const char* impresiones;
    };
    const QString empresa = QStringLiteral(
        "NombreEmpresa,Direccion,Localidad,CodigoPostal,Telefono,Condicion IVA,CUIT");
    const Fila filas[] = {
        // An electronic invoice: the unit's data in the slots, the payment footer last.
        { "FC", "000200001202A", "FC", "", false,
            " {V_MV_CPTE.TC} = 'FC' AND {V_MV_CPTE.IDCOMPROBANTE} = '000200001202A' AND "
            "{V_MV_CPTE.IDCOMPLEMENTO} = 0 AND {Aux_MV_CPte.USUARIO} = 'PUESTO01|OPERADOR'",
            "+{X.Y}", "E,PieDePagina,",
            "FC.rpt NombreEmpresa Localidad Direccion Encabezado "
            "CodigoPostal" },
        // Blanks and case still match the row, but the footer's and the electronic voucher's tests
        // are untrimmed: no footer, the plain caption.
        { " fc ", "000200001202A", "FC", "{X.Y} = 1", true, "{X.Y} = 1 AND  {V_MV_CPTE.TC} = 'fc'",
            "+{X.Y}", "E,", "FC.rpt Encabezado" },
        // A selection of blanks counts as empty but stays in front.
        { "NC", "000200000045A", "NC", "  ", true, "   {V_MV_CPTE.TC} = 'NC'", "+{X.Y}", "E,",
            "NC.RPT Encabezado" },
        { "OT", "000200000010X", "OT2", "", true, " {V_MV_CPTE.TC} = 'OT'", "+{X.Y}", "E,",
            "OT2.rpt Encabezado" },
        { "OP", "000200000011X", "OP", "", false,
            " {V_MV_CPTE.TC} = 'OP' AND {V_MV_CPTE.IDCOMPROBANTE} = '000200000011X' ",
            "+{V_Mv_CpteInsumos.Id}", "E,", "OP.RPT sub:opSub" },
        { "PE", "000200000012X", "PE", "{X.Y} = 1", false, "{X.Y} = 1", "", "E,",
            "ParteConsumoPE.rpt Encabezado" },
        // No company header, VAT or tax number, but the caller's formulas.
        { "IR", "000200000013X", "IR", "", false,
            " {V_MV_STOCK.TC} = 'IR' AND {V_MV_STOCK.IDCOMPROBANTE} = '000200000013X' ", "",
            "Propia,", "IR-OC.rpt Encabezado" },
        { "PEC", "000200000014X", "PEC", "", false,
            "{V_MV_CPTE.IDCOMPROBANTE} = '000200000014X' AND {V_MV_CPTE.TC} = 'PE'", "+{X.Y}", "E,",
            "COMANDA.rpt Encabezado" },
        { "PECO", "000200000014X", "PECO", "", false,
            "{V_MV_CPTE.IDCOMPROBANTE} = '000200000014X' AND {V_MV_CPTE.TC} = 'PE'", "+{X.Y}", "E,",
            "COMANDA_COCINA.rpt Encabezado" },
        { "PEBA", "000200000014X", "PEBA", "", false,
            "{V_MV_CPTE.IDCOMPROBANTE} = '000200000014X' AND {V_MV_CPTE.TC} = 'PE'", "+{X.Y}", "E,",
            "COMANDA_BAR.rpt Encabezado" },
        { "PEBR", "000200000014X", "PEBR", "", false,
            "{V_MV_CPTE.IDCOMPROBANTE} = '000200000014X' AND {V_MV_CPTE.TC} = 'PE'", "+{X.Y}", "E,",
            "COMANDA_BAR2.rpt Encabezado" },
        // T3 replaces the caller's selection, and the company goes in the slots.
        { "T3", "000200000015X", "T3", "{X.Y} = 1", false,
            "({v_mv_cpte.tc} = 'OT') and ({V_MV_CPTE.IDCOMPROBANTE} = '000200000015X' )", "+{X.Y}",
            "NombreEmpresa,Direccion,Localidad,CodigoPostal,Telefono,Propia,",
            "RP_MV_3ros.rpt Empresa Direccion Localidad CodigoPostal Telefono" },
        { "T3", "000200000015X", "T3", "{X.Y} = 1", true, "{X.Y} = 1", "+{X.Y}",
            "NombreEmpresa,Direccion,Localidad,CodigoPostal,Telefono,Propia,",
            "RP_MV_3ros.rpt Empresa Direccion Localidad CodigoPostal Telefono" },
        { "LQ", "000200000016X", "LQ", "{X.Y} = 1", true,
            "{V_MV_CPTE.IDCOMPROBANTE} = '000200000016X' AND {V_MV_CPTE.TC} = 'OT'", "+{X.Y}", "E,",
            "RP_Liq_Com.rpt Empresa Direccion Localidad CodigoPostal Telefono" },
        { "STK7", "000200000017X", "STK7", "", false, "", "+{X.Y}",
            "NombreEmpresa,Direccion,Localidad,CodigoPostal,Telefono,Propia,",
            "STK7.RPT Encabezado" },
        // The key stays the report, no form is resolved: the copy has no form.
        { "STK5", "000200000018X", "STK5CLIENTE", "", false, "", "+{X.Y}",
            "NombreEmpresa,Direccion,Localidad,CodigoPostal,Telefono,Propia,", "" },
        { "OPG", "000200000019X", "OPG", "{X.Y} = 1", false,
            "{V_MV_CPTE.TC} = 'OPG' AND  {V_MV_CPTE.IDCOMPROBANTE} = '000200000019X' and "
            "{AUX_MV_CPTE.USUARIO} = 'PUESTO01|OPERADOR'",
            "+{X.Y}", "E,", "OPG.RPT" },
        // An order's certificate prints on its own form, as a payment's does.
        { "OPG", "000200000019X", "RETIVA", "", false,
            "{V_MV_CPTE.TC} = 'OPG' AND  {V_MV_CPTE.IDCOMPROBANTE} = '000200000019X'", "+{X.Y}",
            "E,", "RETIVA.rpt" },
        { "PG", "000200000020X", "RETIVA", "", false,
            "{V_MV_CPTE.TC} = 'PG' AND  {V_MV_CPTE.IDCOMPROBANTE} = '000200000020X'", "+{X.Y}",
            "E,", "RETIVA.rpt" },
        { "PGFP", "000200000020X", "PGFP", "{X.Y} = 1", false,
            "{AUX_MV_CPTE.TC} = 'PGFP' AND {AUX_MV_CPTE.USUARIO} = 'PUESTO01|OPERADOR' AND  "
            "{AUX_MV_CPTE.IDCOMPROBANTE} = '000200000020X' AND {AUX_MV_CPTE.IDCOMPLEMENTO} = 0",
            "+{X.Y}", "E,", "LiqOPG.rpt Encabezado" },
        // Receipts name their number even when told to leave it out.
        { "CBCT", "000200000900X", "CBCT", "", true,
            " {AUX_MV_CPTE.TC} = 'CBCT' AND  {AUX_MV_CPTE.IDCOMPROBANTE} = '000200000900X' AND "
            "{AUX_MV_CPTE.IDCOMPLEMENTO} = 0 AND  {AUX_MV_CPTE.USUARIO} = 'PUESTO01|OPERADOR'",
            "", "E,", "CBCT.RPT Encabezado" },
        { "AutOt", "000200000021X", "AutOt", "", false,
            " {V_MV_CPTE.TC} = 'OT' AND {V_MV_CPTE.IDCOMPROBANTE} = '000200000021X' AND "
            "{V_MV_CPTE.IDCOMPLEMENTO} = 0 AND {Aux_MV_CPte.USUARIO} = 'PUESTO01|OPERADOR'",
            "+{Aux_Mv_Cpte.ID}", "E,", "AutOT.rpt Encabezado" },
        // A purchase type with no form of its own prints the purchase form with its sub-reports.
        { "FCC", "000100005500A", "FCC", "", false,
            "{C_MV_CPTE.IDCOMPROBANTE} = '000100005500A' AND {C_MV_CPTE.TC} = 'FCC'", "+{X.Y}",
            "E,", "CpteCompras.RPT sub:RP_CPTESER sub:RP_CpteObs" },
        // A stock type in the table's first row gets both sets of conditions and the row's form.
        { "RM", "000200000300R", "RM", "", false,
            " {V_MV_STOCK.TC} = 'RM' AND {V_MV_STOCK.IDCOMPROBANTE} = '000200000300R'  AND  "
            "{V_MV_CPTE.TC} = 'RM' AND {V_MV_CPTE.IDCOMPROBANTE} = '000200000300R' AND "
            "{V_MV_CPTE.IDCOMPLEMENTO} = 0 AND {Aux_MV_CPte.USUARIO} = 'PUESTO01|OPERADOR'",
            "", "", "RM.RPT Encabezado" },
        // A type in no row keeps the caller's selection and key, and has no form.
        { "ZZ", "000200000022X", "ZZ", "{X.Y} = 1", false, "{X.Y} = 1", "+{X.Y}", "E,", "" },
    };
    for (const Fila& f : filas) {
        SCOPED_TRACE(std::string(f.tc) + " " + f.clave);
        m_control.log.clear();
        testsupport::messages().clear();
        QString reporte = QString::fromUtf8(f.clave);
        QStringList orden { QStringLiteral("+{X.Y}") };
        QString seleccion = QString::fromUtf8(f.previa);
        int destino = -1;
        QString formulario = QStringLiteral("Todos");
        bool esContable = false;
        const bool sinFormulario = QByteArray(f.impresiones).isEmpty();
        if (sinFormulario)
            testsupport::messages().answer(Msg::Ok);

        ImprimirComprobante(QString::fromUtf8(f.tc), QString::fromUtf8(f.id), QStringLiteral("0"),
            reporte, orden, seleccion, { QStringLiteral("Propia = 'x'") }, destino, f.omitir,
            QString(), formulario, esContable, true);

        EXPECT_EQ(seleccion, QString::fromUtf8(f.seleccion));
        EXPECT_EQ(orden.value(0), QString::fromUtf8(f.orden));
        QString formulas = nombresFormulas(m_control.log);
        formulas.replace(empresa + QStringLiteral(",Propia"), QStringLiteral("E"));
        EXPECT_EQ(formulas, QString::fromUtf8(f.formulas));
        EXPECT_EQ(resumenImpresiones(m_control.log), QString::fromUtf8(f.impresiones));
        EXPECT_EQ(m_control.log.value(m_control.log.size() - 1), QStringLiteral("fin"));
        EXPECT_FALSE(esContable);
        if (sinFormulario) {
            EXPECT_EQ(testsupport::messages().shown().value(0).text,
                QStringLiteral("No se encuentra el Formulario (ninguno para %1 %2)")
                    .arg(QString::fromUtf8(f.tc), QString::fromUtf8(f.clave)));
        }
    }
}

// A stock type's id that has no stock movement (a sales voucher under the same type) prints
// nothing and says why.
TEST_F(ImprimirComprobanteTest, a_stock_type_without_stock_movement_says_so_and_prints_nothing)
{
    testsupport::messages().clear();
    testsupport::messages().answer(Msg::Ok);
    QString reporte = QStringLiteral("RM");
    QStringList orden { QString() };
    QString seleccion;
    int destino = -1;
    QString formulario = QStringLiteral("Todos");
    bool esContable = false;

    ImprimirComprobante(QStringLiteral("RM"), QStringLiteral("000200003002R"), QStringLiteral("0"),
        reporte, orden, seleccion, {}, destino, false, QString(), formulario, esContable, false);

    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_TRUE(testsupport::messages().shown().first().text.contains(
        QStringLiteral("RM 000200003002R no es un comprobante de stock")));
    EXPECT_TRUE(m_control.log.isEmpty()) << m_control.log.join(u'\n').toStdString();
}

// Accounting types print their journal entries only: no formulas, no form, no end-of-run call.
TEST_F(ImprimirComprobanteTest, accounting_types_hand_over_to_the_journal_entry_print)
{
    const struct
    {
        const char* tc;
        const char* formulario;
        const char* llamada;
    } filas[] = {
        { "AS", "Todos", "asiento AS 000200000001X 20/11/2026 0" },
        { "AS", "asientos con centro de COSTO", "asiento AS 000200000001X 20/11/2026 1" },
        // These two are accounting vouchers whatever the type table says.
        { "NCPE", "", "asiento NCPE 000200000001X 20/11/2026 0" },
        { "RN", "", "asiento RN 000200000001X 20/11/2026 0" },
    };
    for (const auto& f : filas) {
        m_anexas.llamadas.clear();
        m_control.log.clear();
        QString reporte = QString::fromLatin1(f.tc);
        QStringList orden { QString() };
        QString seleccion;
        int destino = -1;
        QString formulario = QString::fromUtf8(f.formulario);
        bool esContable = false;

        ImprimirComprobante(QString::fromLatin1(f.tc), QStringLiteral("000200000001X"),
            QStringLiteral("0"), reporte, orden, seleccion, {}, destino, false,
            QStringLiteral("20/11/2026"), formulario, esContable, false);

        EXPECT_TRUE(esContable);
        EXPECT_EQ(m_anexas.llamadas, QStringList { QString::fromUtf8(f.llamada) });
        EXPECT_TRUE(m_control.log.isEmpty()) << m_control.log.join(u'\n').toStdString();
    }
}

} // namespace

namespace {

// The footer of an invoice paid by a receipt in cash, card and cheque, and of one not paid: the
// seven blanks between the media stay.
TEST_F(ImprimirComprobanteTest, invoices_print_how_they_were_paid)
{
    const struct
    {
        const char* id;
        const char* pie;
    } filas[] = {
        { "000200001201A",
            "PieDePagina = 'Su pago: Caja 21266,17 Tarjetas de crédito a cobrar 12759,7   "
            "Valores a depositar 8506,46'" },
        { "000200001202A", "PieDePagina = '       '" },
    };
    for (const auto& f : filas) {
        m_control.log.clear();
        QString reporte = QStringLiteral("FC");
        QStringList orden { QString() };
        QString seleccion;
        int destino = -1;
        QString formulario = QStringLiteral("Todos");
        bool esContable = false;

        ImprimirComprobante(QStringLiteral("FC"), QString::fromLatin1(f.id), QStringLiteral("0"),
            reporte, orden, seleccion, {}, destino, false, QString(), formulario, esContable, true);

        const QString lista = m_control.log.filter(QStringLiteral("lista=")).value(0);
        EXPECT_TRUE(lista.endsWith(QString::fromUtf8(f.pie) + u';')) << lista.toStdString();
    }
}

// Names, addresses and account names holding apostrophes, and a voucher number holding one: every
// formula and selection handed to the form is one the formula language reads whole, and the texts
// read back as typed.
TEST_F(ImprimirComprobanteTest, texts_with_apostrophes_reach_the_form_as_typed)
{
    using ConsultasDatos::literal;
    const QString empresa = QStringLiteral("L'Artesana S.R.L.");
    exec(QStringLiteral("UPDATE V_TA_UNIDADNEGOCIO SET razon_social = ") + literal(empresa));
    const struct
    {
        const char* clave;
        const char* valor;
    } ajustes[] = {
        { "NOMBRE", "La Casa d'Italia" },
        { "DOMICILIO_UN_1", "Av. O'Higgins 123" },
        { "LOCALIDAD", "Villa O'Higgins" },
    };
    for (const auto& a : ajustes)
        exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = %1 WHERE CLAVE = '%2'")
                 .arg(literal(QString::fromUtf8(a.valor)), QLatin1String(a.clave)));
    exec(QStringLiteral("UPDATE MA_CUENTAS SET DESCRIPCION = 'Caja D''Elía' WHERE CODIGO = "
                        "'1110101'"));

    const QString seleccion = QStringLiteral("%1=").arg(ReportControl::Seleccion);
    QStringList textos;
    // A paid invoice (company, address, payment footer) and a third-party work order (the
    // settings' company name, its number in the selection).
    const struct
    {
        const char* tc;
        const char* id;
    } comprobantes[] = { { "FC", "000200001201A" }, { "T3", "0002000'0015X" } };
    for (const auto& c : comprobantes) {
        SCOPED_TRACE(c.tc);
        m_control.log.clear();
        QString reporte = QString::fromLatin1(c.tc);
        QStringList orden { QString() };
        QString filtro;
        int destino = -1;
        QString formulario = QStringLiteral("Todos");
        bool esContable = false;
        ImprimirComprobante(QString::fromLatin1(c.tc), QString::fromLatin1(c.id),
            QStringLiteral("0"), reporte, orden, filtro, {}, destino, false, QString(), formulario,
            esContable, true);

        QStringList asignaciones;
        for (const QString& entrada : m_control.log) {
            if (entrada.startsWith(QLatin1String("lista=")))
                asignaciones << entrada.mid(6).split(u';', Qt::SkipEmptyParts);
            else if (entrada.startsWith(QLatin1String("29(")))
                asignaciones << entrada.section(u'=', 1);
            else if (entrada.startsWith(seleccion))
                asignaciones << QStringLiteral("Seleccion=") + entrada.mid(seleccion.size());
        }
        EXPECT_FALSE(asignaciones.isEmpty());
        for (const QString& asignacion : asignaciones) {
            const FormulaParseResult r
                = FormulaParser::parse(asignacion.section(u'=', 0, 0), asignacion.section(u'=', 1));
            EXPECT_TRUE(r.ok()) << r.error.message().toStdString();
            if (r.ok() && r.tree && r.tree->kind() == FormulaNodeKind::Constant)
                textos << r.tree->constant().toString();
        }
    }
    EXPECT_TRUE(textos.contains(empresa));
    for (const auto& a : ajustes)
        EXPECT_TRUE(textos.contains(QString::fromUtf8(a.valor))) << a.valor;
    EXPECT_EQ(textos.filter(QStringLiteral("Su pago: Caja D'Elía ")).size(), 1)
        << textos.join(u'|').toStdString();
}

} // namespace
