#include "vouchers/AnexasComprobante.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include "ImpresionDemo.h"
#include "app/AsientosImpresos.h"
#include "vouchers/ImprimirComprobante.h"

namespace {

TEST(ReglasPedido, a_rule_selects_its_sections_its_units_or_both)
{
    const struct
    {
        const char* valoraux;
        const char* esperado;
    } filas[] = {
        { " 7, 12 |", " ( idrubro='   7' or  idrubro='  12') " },
        { "|1,,2", " ( unegocio='   1' or  unegocio='   2') " },
        { "7|1", " ( idrubro='   7')  and ( unegocio='   1') " },
        { "A'B|", " ( idrubro='A''B') " },
        // No bar, or nothing on either side: the rule prints nothing.
        { "7,12", "" },
        { " , | ", "" },
    };
    for (const auto& f : filas)
        EXPECT_EQ(ReglasPedido::CondicionReglas(QString::fromLatin1(f.valoraux)),
            QString::fromLatin1(f.esperado))
            << f.valoraux;
}

class AnexasComprobanteTest : public testsupport::ImpresionDemo
{
protected:
    QStringList formularios() const override { return { QStringLiteral("NP.rpt") }; }

    // Per print: the form's file name, the selection it printed with and its caption.
    QStringList impresiones() const
    {
        QStringList lista;
        QString actual;
        for (const QString& e : m_control.log) {
            if (e.startsWith(QLatin1String("3=")))
                actual = QFileInfo(e.mid(2)).fileName();
            else if (e.startsWith(QLatin1String("29(3)=")) || e.startsWith(QLatin1String("13=")))
                actual += QStringLiteral(" | ") + e.mid(e.indexOf(u'=') + 1);
            else if (e == QLatin1String("12()"))
                lista << actual;
        }
        return lista;
    }

    AnexasComprobante m_reales;
    ScopedService<ImpresionesAnexas> m_realesService { m_reales };
    AsientosImpresos m_asientos;
    ScopedService<ImpresionAsiento> m_asientosService { m_asientos };
};

// The demo's rule "NPS_IMPRESION_COCINA" (section 7 in unit 1, printer "COMANDERA COCINA")
// matches the order note's pizza only.
TEST_F(AnexasComprobanteTest, each_copy_of_an_order_note_is_followed_by_its_rule_print)
{
    exec(QStringLiteral("INSERT INTO TA_CONFIG_IMP_CPTE (TC, LETRA, USUARIO, impresora, "
                        "CantCopias, CantLineas, DestinoDefault) VALUES ('NP', 'X', "
                        "'PUESTO01|operador', 'PDF|bandeja', '2', '30', 'Impresora')"));
    QString reporte = QStringLiteral("NP");
    QStringList orden { QString() };
    QString seleccion;
    QString formulario = QStringLiteral("Todos");
    bool esContable = false;
    int destino = -1;

    ImpresionCpte::ImprimirComprobante(QStringLiteral("NP"), QStringLiteral("000300000201X"),
        QStringLiteral("0"), reporte, orden, seleccion, {}, destino, false, QString(), formulario,
        esContable, false);

    const QStringList prints = impresiones();
    // The copy's selection reads the workstation's buffer rows; the rule's narrows it further.
    const QString base = QStringLiteral("NP.rpt |  {V_MV_CPTE.TC} = 'NP' AND "
                                        "{V_MV_CPTE.IDCOMPROBANTE} = '000300000201X' AND "
                                        "{V_MV_CPTE.IDCOMPLEMENTO} = 0 AND "
                                        "{Aux_MV_CPte.USUARIO} = 'PUESTO01|OPERADOR'");
    const QString articulo = QStringLiteral(" AND ( {AUX_MV_CPTE.IDARTICULO}='000001' )");
    const QStringList esperado { base + QStringLiteral(" | Encabezado = 'ORIGINAL'"),
        base + articulo + QStringLiteral(" | Encabezado = 'ORIGINAL'"),
        base + QStringLiteral(" | Encabezado = 'DUPLICADO'"),
        base + articulo + QStringLiteral(" | Encabezado = 'DUPLICADO'") };
    EXPECT_EQ(prints, esperado);
    const QStringList impresoras = m_control.log.filter(QStringLiteral("impresora="));
    EXPECT_EQ(impresoras.last(), QStringLiteral("impresora=COMANDERA COCINA|"));
}

// The demo's accounting voucher holds entries 5001 and 5002 on 20/11/2026.
TEST_F(AnexasComprobanteTest, journal_entries_of_the_day_are_previewed_in_order)
{
    const struct
    {
        const char* fecha;
        int asientos;
    } filas[] = { { "20/11/2026", 2 }, { "2026-11-20 00:00:00", 2 }, { "21/11/2026", 0 } };
    for (const auto& f : filas) {
        SCOPED_TRACE(f.fecha);
        m_control.log.clear();

        m_reales.ImprimeAsientoDelCpte(QStringLiteral("AS"), QStringLiteral("000200000001X"),
            QString::fromLatin1(f.fecha), true);

        const QStringList prints = impresiones();
        ASSERT_EQ(prints.size(), f.asientos);
        for (int k = 0; k < f.asientos; ++k) {
            EXPECT_TRUE(prints.at(k).startsWith(QLatin1String("AsientoCCosto")))
                << prints.at(k).toStdString();
            EXPECT_TRUE(prints.at(k).endsWith(
                QStringLiteral("{MV_ASIENTOS.NUMERO ASIENTO} = %1").arg(5001 + k)))
                << prints.at(k).toStdString();
        }
    }
}

} // namespace
