#include "vouchers/ImprimirComprobante.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include "ImpresionDemo.h"
#include "platform/MessageDialog.h"
#include "support/FakeSystem.h"
#include "support/QtPrinters.h"

using namespace ImpresionCpte;

namespace {

class SalidaComprobanteTest : public testsupport::ImpresionDemo
{
protected:
    QStringList formularios() const override
    {
        return { QStringLiteral("F1.rpt"), QStringLiteral("F2.rpt"), QStringLiteral("F3.rpt"),
            QStringLiteral("F4.rpt"), QStringLiteral("NC.RPT"), QStringLiteral("FC.rpt"),
            QStringLiteral("Unico.rpt"), QStringLiteral("COMANDA_COCINA.rpt"),
            QStringLiteral("COMANDA_BAR2.rpt"), QStringLiteral("PEXX.rpt") };
    }

    // This workstation's settings for a type and letter, and the type's four copy forms.
    void configura(const QString& tc, const QString& letra, const QString& impresora,
        const QString& copias, const QString& destino, const QStringList& archivos = {})
    {
        exec(QStringLiteral("INSERT INTO TA_CONFIG_IMP_CPTE (TC, LETRA, USUARIO, impresora, "
                            "CantCopias, CantLineas, DestinoDefault) VALUES ('%1', '%2', "
                            "'puesto01|OPERADOR', '%3', '%4', '30', '%5')")
                 .arg(tc, letra, impresora, copias, destino));
        if (!archivos.isEmpty())
            exec(QStringLiteral("INSERT INTO TA_REPORTES (NOMBRE, Archivo, Archivo2, Archivo3, "
                                "Archivo4) VALUES ('%1-%2', '%3')")
                     .arg(tc, letra, archivos.join(QStringLiteral("', '"))));
    }

    struct Resultado
    {
        int destino = 0;
        // Per print: the form's file name and its slot 4 (Encabezado) or 5 (CodigoPostal).
        QStringList impresiones;
        QStringList impresoras;
        bool fin = false;
    };

    Resultado imprime(const QString& tc, const QString& id, int destino = -1,
        const QString& formulario = QStringLiteral("Todos"), bool unaCopia = false)
    {
        m_control.log.clear();
        QString reporte = tc;
        QStringList orden { QString() };
        QString seleccion;
        QString form = formulario;
        bool esContable = false;
        ImprimirComprobante(tc, id, QStringLiteral("0"), reporte, orden, seleccion, {}, destino,
            false, QString(), form, esContable, unaCopia);

        Resultado r;
        r.destino = destino;
        QString actual;
        for (const QString& e : m_control.log) {
            if (e.startsWith(QLatin1String("3=")))
                actual = QFileInfo(e.mid(2)).fileName();
            else if (e.startsWith(QLatin1String("29(3)=")) || e.startsWith(QLatin1String("29(4)=")))
                actual += u' ' + e.mid(6);
            else if (e == QLatin1String("12()"))
                r.impresiones << actual;
            else if (e.startsWith(QLatin1String("impresora=")))
                r.impresoras << e.mid(10);
            else if (e == QLatin1String("fin"))
                r.fin = true;
        }
        return r;
    }
};

// The default destination word: the destination a -1 takes and where the voucher goes. The
// routes that print no form still end the run.
TEST_F(SalidaComprobanteTest, default_destination_words_set_destination_and_route)
{
    const struct
    {
        const char* tc;
        const char* palabra;
        int destinoPedido;
        int destino;
        const char* impreso; // "" nothing printed
        const char* anexa; // the kitchen call, "" none
    } filas[] = {
        { "NC", "Pantalla", -1, DLL_Print::DestinoPantalla, "NC.RPT", "" },
        { "NC", "impresora", -1, DLL_Print::DestinoImpresora, "NC.RPT", "" },
        { "NC", "E-M@ail", -1, DLL_Print::DestinoMail, "NC.RPT", "" },
        { "NC", "Ninguno", -1, DLL_Print::DestinoPantalla, "NC.RPT", "" },
        { "NC", "", -1, 0, "NC.RPT", "" },
        { "NC", "Otra cosa", -1, 0, "NC.RPT", "" },
        // A given destination stays, whatever the word; the route still follows the word.
        { "NC", "Pantalla", DLL_Print::DestinoImpresora, DLL_Print::DestinoImpresora, "NC.RPT",
            "" },
        { "NC", "Selectivo", DLL_Print::DestinoImpresora, DLL_Print::DestinoImpresora, "", "" },
        { "NC", "Controlador Fiscal:", -1, 0, "", "" },
        { "NC", "Ver COMANDERA cocina", -1, 0, "",
            "comandera NC 000200000045A Ver COMANDERA "
            "cocina 0 0" },
        { "PEBR", "Comandera", -1, 0, "", "comandera PE 000200000045A Comandera 0 1" },
        { "PECO", "Comandera", -1, 0, "", "comandera PE 000200000045A Comandera 1 0" },
        { "PEXX", "Comandera", -1, 0, "", "comandera PE 000200000045A Comandera 0 0" },
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(std::string(f.tc) + " " + f.palabra);
        exec(QStringLiteral("DELETE FROM TA_CONFIG_IMP_CPTE"));
        configura(QString::fromLatin1(f.tc), QStringLiteral("A"), QStringLiteral("PDF|"),
            QStringLiteral("1"), QString::fromUtf8(f.palabra));
        m_anexas.llamadas.clear();

        const Resultado r
            = imprime(QString::fromLatin1(f.tc), QStringLiteral("000200000045A"), f.destinoPedido);

        EXPECT_EQ(r.destino, f.destino);
        EXPECT_EQ(m_reporte.DestinoImpresion(), f.destino);
        EXPECT_EQ(r.impresiones.join(u' ').section(u' ', 0, 0), QString::fromLatin1(f.impreso));
        EXPECT_EQ(m_anexas.llamadas.join(u'/'), QString::fromUtf8(f.anexa));
        EXPECT_TRUE(r.fin);
    }
}

// Five copies on four forms: the fourth form serves every copy from the fourth on, each copy
// with its caption, the printer set before each copy.
TEST_F(SalidaComprobanteTest, copies_take_their_form_and_caption_by_number)
{
    configura(QStringLiteral("NC"), QStringLiteral("A"), QStringLiteral("  PDF  | bandeja 2 "),
        QStringLiteral("5 copias"), QStringLiteral("Impresora"),
        { QStringLiteral("F1.rpt"), QStringLiteral("F2.rpt"), QStringLiteral("f3.RPT"),
            QStringLiteral("F4.rpt") });

    const Resultado r = imprime(QStringLiteral("NC"), QStringLiteral("000200000045A"));

    const QStringList esperado { QStringLiteral("F1.rpt Encabezado = 'ORIGINAL'"),
        QStringLiteral("F2.rpt Encabezado = 'DUPLICADO'"),
        QStringLiteral("f3.RPT Encabezado = 'TRIPLICADO'"),
        QStringLiteral("F4.rpt Encabezado = 'TRIPLICADO'"),
        QStringLiteral("F4.rpt Encabezado = 'TRIPLICADO'") };
    EXPECT_EQ(r.impresiones, esperado);
    EXPECT_EQ(r.impresoras.last(), QStringLiteral("PDF|bandeja 2"));
    EXPECT_EQ(r.impresoras.size(), 3 * 6);
    EXPECT_TRUE(r.fin);
}

// The decided fault: a setting without "|" is the printer's name, not a failure.
TEST_F(SalidaComprobanteTest, a_printer_setting_without_bar_names_the_printer)
{
    configura(QStringLiteral("NC"), QStringLiteral("A"), QStringLiteral(" Laser "),
        QStringLiteral("1"), QStringLiteral("Impresora"));

    const Resultado r = imprime(QStringLiteral("NC"), QStringLiteral("000200000045A"));

    EXPECT_EQ(r.impresoras.last(), QStringLiteral("Laser|"));
    EXPECT_EQ(r.impresiones.size(), 1);
}

TEST_F(SalidaComprobanteTest, a_preview_shows_each_form_once_and_a_missing_form_is_told)
{
    configura(QStringLiteral("NC"), QStringLiteral("A"), QStringLiteral("PDF|"),
        QStringLiteral("4"), QStringLiteral("Pantalla"),
        { QStringLiteral("F1.rpt"), QStringLiteral("F1.rpt"), QStringLiteral("F2.rpt"),
            QStringLiteral("Falta.rpt") });
    // The report table's own check of the missing copy form, then the copy's.
    testsupport::messages().answer(Msg::Ok);
    testsupport::messages().answer(Msg::Ok);

    const Resultado r = imprime(QStringLiteral("NC"), QStringLiteral("000200000045A"));

    EXPECT_EQ(r.impresiones,
        (QStringList { QStringLiteral("F1.rpt Encabezado = 'ORIGINAL'"),
            QStringLiteral("F2.rpt Encabezado = 'TRIPLICADO'") }));
    const auto cajas = testsupport::messages().shown();
    ASSERT_EQ(cajas.size(), 2);
    EXPECT_TRUE(cajas[1].text.startsWith(QLatin1String("No se encuentra el Formulario ")));
    EXPECT_EQ(cajas[1].title, QStringLiteral("Atención"));
    EXPECT_EQ(cajas[1].style, Msg::Information);
    EXPECT_TRUE(r.fin);
}

// One given form prints once, whatever the copies; an electronic invoice gets an empty caption.
TEST_F(SalidaComprobanteTest, a_given_form_prints_once_without_caption)
{
    configura(QStringLiteral("FC"), QStringLiteral("A"), QStringLiteral("PDF|"),
        QStringLiteral("3"), QStringLiteral("Impresora"));
    configura(QStringLiteral("NC"), QStringLiteral("A"), QStringLiteral("PDF|"),
        QStringLiteral("3"), QStringLiteral("Impresora"));
    const QString unico = carpetaReportes() + QStringLiteral("unico.RPT");

    const Resultado nc = imprime(QStringLiteral("NC"), QStringLiteral("000200000045A"), -1, unico);
    const Resultado fc = imprime(QStringLiteral("FC"), QStringLiteral("000200001202A"), -1, unico);

    EXPECT_EQ(nc.impresiones, QStringList { QStringLiteral("unico.RPT") });
    EXPECT_EQ(fc.impresiones,
        QStringList { QStringLiteral("unico.RPT Encabezado='Av. San Martín 1450 - Villa María' "
                                     "CodigoPostal=''") });
}

// The electronic invoice's slots: the unit's data under the names its forms read them.
TEST_F(SalidaComprobanteTest, an_electronic_invoice_carries_the_unit_data_in_its_slots)
{
    exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '2' WHERE CLAVE = 'COPIAS_EFACTURA'"));

    imprime(QStringLiteral("FC"), QStringLiteral("000200001202A"), DLL_Print::DestinoImpresora);

    QStringList slots;
    for (const QString& e : m_control.log)
        if (e.startsWith(QLatin1String("29(")))
            slots << e;
    const QStringList una { QStringLiteral(
                                "29(0)=NombreEmpresa='Ferretería y Almacén El Progreso S.R.L.'"),
        QStringLiteral("29(1)=Localidad='Ingresos Brutos: 280-145829-4'"),
        QStringLiteral("29(2)=Direccion='Inicio de Actividades: 01/03/1987'"),
        QStringLiteral("29(3)=Encabezado='Av. San Martín 1450 - Villa María'") };
    ASSERT_EQ(slots.size(), 10);
    EXPECT_EQ(slots.mid(0, 4), una);
    EXPECT_EQ(slots[4], QStringLiteral("29(4)=CodigoPostal='ORIGINAL' "));
    EXPECT_EQ(slots[9], QStringLiteral("29(4)=CodigoPostal='DUPLICADO' "));
}

// A failure inside the print goes to the program's reporter: Retry runs the step again, Ignore
// goes on with the next one, Abort leaves without the end-of-run call.
TEST_F(SalidaComprobanteTest, failures_are_retried_ignored_or_end_the_print)
{
    // The company's VAT condition must be a number: this one fails the company data step.
    exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = 'XX' "
                        "WHERE CLAVE IN ('CONDIVAEMPRESA', 'CONDICIONIVA_UN_1')"));
    const struct
    {
        std::vector<int> respuestas;
        int impresiones;
        bool fin;
    } filas[] = {
        { { Msg::Retry, Msg::Ignore }, 1, true },
        { { Msg::Ignore }, 1, true },
        { { Msg::Abort }, 0, false },
    };
    for (const auto& f : filas) {
        testsupport::messages().clear();
        for (int respuesta : f.respuestas)
            testsupport::messages().answer(respuesta);

        const Resultado r = imprime(QStringLiteral("NC"), QStringLiteral("000200000045A"));

        EXPECT_EQ(r.impresiones.size(), f.impresiones);
        EXPECT_EQ(r.fin, f.fin);
        const auto cajas = testsupport::messages().shown();
        ASSERT_EQ(cajas.size(), int(f.respuestas.size()));
        EXPECT_TRUE(cajas[0].title.contains(QLatin1String("ImprimirComprobante")))
            << cajas[0].title.toStdString();
    }
}

} // namespace
