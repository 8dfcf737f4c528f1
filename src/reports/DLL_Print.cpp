#include "reports/DLL_Print.h"

#include "platform/Environment.h"
#include "platform/Utilidades.h"

namespace {

ReportControl& control()
{
    return Service<ReportControl>::get();
}

} // namespace

DLL_Print::DLL_Print()
    : pPathSistema(gUtilidades().RutaConBarra(programFolder()))
{
}

void DLL_Print::DestinoImpresion(int destino)
{
    control().setDestinoObjeto(destino);
}

int DLL_Print::DestinoImpresion() const
{
    return control().destinoObjeto();
}

void DLL_Print::NombreImpresora(const QString& nombre)
{
    m_nombreImpresora = nombre;
    control().setImpresora(nombre, m_complementoImpresora);
}

void DLL_Print::SeleccionaImpresora(const QString& nombre)
{
    m_seleccionaImpresora = nombre;
    control().setImpresora(nombre, m_complementoImpresora);
}

void DLL_Print::ComplementoImpresora(const QString& complemento)
{
    m_complementoImpresora = complemento;
    control().setImpresora(
        m_seleccionaImpresora.isEmpty() ? m_nombreImpresora : m_seleccionaImpresora, complemento);
}

void DLL_Print::AsignaPropiedad(const QString& nombre, const Value& valor)
{
    control().setByName(nombre, valor);
}

void DLL_Print::AsignaFormulas(const QStringList& formulas, int cantidad)
{
    Q_UNUSED(cantidad);
    control().setListaFormulas(formulas);
}

void DLL_Print::Imprimir(const QString& reporte, const QStringList& orden, const QString& seleccion,
    const QString& conexion, const RT_Crystal2::FormulaOpcional& formula1,
    const RT_Crystal2::FormulaOpcional& formula2, const RT_Crystal2::FormulaOpcional& formula3,
    const RT_Crystal2::FormulaOpcional& formula4, const RT_Crystal2::FormulaOpcional& formula5,
    const QString& subreporte1, const QString& subreporte2, const QString& subreporte3)
{
    RT_Crystal2::PedidoImpresion pedido;
    pedido.reporte = reporte;
    pedido.camposOrden = orden;
    pedido.seleccion = seleccion;
    pedido.conexion = conexion;
    pedido.formulas = { formula1, formula2, formula3, formula4, formula5 };
    pedido.subreportes = { subreporte1, subreporte2, subreporte3, QString(), QString() };
    RT_Crystal2::ImprimeSecuencia(pedido);
}

void DLL_Print::Finaliza(int codigo)
{
    Q_UNUSED(codigo);
    control().finalizaCorrida();
}
