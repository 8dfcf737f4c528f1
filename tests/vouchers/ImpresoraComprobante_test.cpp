#include "vouchers/ImpresoraComprobante.h"

#include <gtest/gtest.h>

#include "support/DemoDatabaseTest.h"
#include "support/QtPrinters.h"

using namespace ImpresionCpte;

namespace {

class ImpresoraComprobanteTest : public testsupport::DemoDatabaseTest
{
protected:
    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
        exec(QStringLiteral("DELETE FROM TA_CONFIG_IMP_CPTE"));
        const char* filas[] = {
            "('ND', 'A', NULL, 'General|1', '1', '20', 'Pantalla')",
            // This workstation's row, stored in another case: it wins, empty fields and all.
            "('ND', 'A', 'puesto01|OPERADOR', ' Laser|2 ', '3 copias', '2.5', '')",
            "('ND', 'B', NULL, 'General|1', '', 'treinta', ' Impresora ')",
            "('ND', 'C', 'OTRO|usuario', 'Otro|1', '4', '10', 'Pantalla')",
            // A type holding an apostrophe neither breaks nor widens the statement.
            "('N''D', 'A', NULL, 'Apostrofo|1', '3.5', '1', 'Pantalla')",
        };
        for (const char* fila : filas)
            exec(QStringLiteral("INSERT INTO TA_CONFIG_IMP_CPTE (TC, LETRA, USUARIO, impresora, "
                                "CantCopias, CantLineas, DestinoDefault) VALUES ")
                + QLatin1String(fila));
    }
};

TEST_F(ImpresoraComprobanteTest, reads_the_workstation_row_else_the_general_row)
{
    const struct
    {
        const char* tc;
        const char* letra;
        const char* usuario;
        const char* impresora;
        int copias;
        int lineas;
        const char* destino;
        const char* usuarioDevuelto;
    } filas[] = {
        { "ND", "A", "", "Laser|2", 3, 2, "", "PUESTO01|operador" },
        { "ND", "A", "   ", "Laser|2", 3, 2, "", "PUESTO01|operador" },
        { "ND", "A", "OTRO|usuario", "General|1", 1, 20, "Pantalla", "OTRO|usuario" },
        { "ND", "B", "", "General|1", 0, 0, "Impresora", "PUESTO01|operador" },
        // Another workstation's row is not this one's, and there is no general row.
        { "ND", "C", "", "", 0, 77, "sin cambio", "PUESTO01|operador" },
        { "ND", "C", "otro|USUARIO", "Otro|1", 4, 10, "Pantalla", "otro|USUARIO" },
        { "N'D", "A", "", "Apostrofo|1", 4, 1, "Pantalla", "PUESTO01|operador" },
        { "ND", "X", "", "", 0, 77, "sin cambio", "PUESTO01|operador" },
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(std::string(f.tc) + f.letra + " " + f.usuario);
        QString impresora = QStringLiteral("antes");
        int copias = 99;
        int lineas = 77;
        QString destino = QStringLiteral("sin cambio");
        QString usuario = QString::fromLatin1(f.usuario);

        ObtieneImpresoraComprobante(QString::fromLatin1(f.tc), QString::fromLatin1(f.letra),
            impresora, copias, lineas, destino, usuario);

        EXPECT_EQ(impresora, QString::fromLatin1(f.impresora));
        EXPECT_EQ(copias, f.copias);
        EXPECT_EQ(lineas, f.lineas);
        EXPECT_EQ(destino, QString::fromLatin1(f.destino));
        EXPECT_EQ(usuario, QString::fromLatin1(f.usuarioDevuelto));
    }
}

} // namespace
