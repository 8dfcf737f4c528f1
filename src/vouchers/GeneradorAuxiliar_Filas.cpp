// Rows of a fixed form shared by the sections: the section title block, the blank row and the
// closing row of the item block.

#include "vouchers/GeneradorAuxiliar.h"

#include "data/ConsultasDatos.h"

using ConsultasDatos::literal;

void GeneradorAuxiliar::AgregaTituloSeccion(const QString& titulo)
{
    // The title sits in the middle row of the block (integer division toward zero); at least one
    // row is always written, so a block of 0 or 1 rows is the title alone and a negative count
    // gives a single blank row.
    const int posicion = m_p.LineasTitulo / 2;
    for (int fila = 0;; ++fila) {
        if (fila == posicion)
            ejecuta(QStringLiteral("INSERT INTO Aux_MV_Cpte (Usuario, TC , IdComprobante , "
                                   "IdComplemento , Tipo , Seccion) VALUES (")
                    + claveFija() + QStringLiteral(",'M',") + literal(titulo) + u')',
                QStringLiteral("AgregaTituloSeccion"));
        else
            AgregaLineaEnBlanco();
        if (fila + 1 >= m_p.LineasTitulo)
            break;
    }
}

void GeneradorAuxiliar::AgregaLineaEnBlanco()
{
    ejecuta(QStringLiteral("INSERT INTO Aux_MV_Cpte(Usuario,TC,IdComprobante,IdComplemento,Tipo) "
                           "VALUES (")
            + claveFija() + QStringLiteral(",'3')"),
        QStringLiteral("AgregaLineaEnBlanco"));
}

void GeneradorAuxiliar::AgregaCierreSeccion(const QString& cierre)
{
    ejecuta(QStringLiteral("INSERT INTO Aux_MV_Cpte(Usuario,TC,IdComprobante,IdComplemento,Tipo,"
                           "SECCION) VALUES (")
            + claveFija() + QStringLiteral(",'ZZ',") + literal(cierre) + u')',
        QStringLiteral("AgregaCierreSeccion"));
}
