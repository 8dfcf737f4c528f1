#include "receipts/CuentasMedioPago.h"

#include <QStringList>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "services/Configuracion.h"
#include "services/FechaServidor.h"

namespace CuentasMedioPago {

using ConsultasDatos::literal;

namespace {

const QString TablaCuentas = QStringLiteral("ma_cuentas");

QString campo(AdoRecordset& rs, const QString& nombre)
{
    return gUtilidades().ValorCampo(rs.Fields(nombre).Value());
}

bool igual(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The account row by one key column, read-only; the row current when found.
bool buscaPor(const QString& columna, const QString& valor, AdoRecordset& rs)
{
    return gDB().ExisteEnTabla(
        TablaCuentas, valor, columna, &rs, Value(qint32(8)), QString(), true);
}

enum class Clave
{
    Codigo,
    Opcional,
    Ninguna
};

// Cheque and card: the account code unless it is empty, then the alternative code.
Clave claveChequeTarjeta(const QString& opcional, const QString& codigo)
{
    if (!codigo.isEmpty())
        return Clave::Codigo;
    return opcional.trimmed().isEmpty() ? Clave::Ninguna : Clave::Opcional;
}

// Bank and DB: the alternative code when given, else a non-blank account code.
Clave claveBancaria(const QString& opcional, const QString& codigo)
{
    if (!opcional.isEmpty())
        return Clave::Opcional;
    return codigo.trimmed().isEmpty() ? Clave::Ninguna : Clave::Codigo;
}

bool busca(Clave clave, const QString& opcional, const QString& codigo, AdoRecordset& rs)
{
    switch (clave) {
    case Clave::Codigo:
        return buscaPor(QStringLiteral("Codigo"), codigo.trimmed(), rs);
    case Clave::Opcional:
        return buscaPor(QStringLiteral("CodigoOpcional"), opcional.trimmed(), rs);
    case Clave::Ninguna:
        break;
    }
    return false;
}

bool medioSimple(
    const QString& opcional, QString& descripcion, const QString& codigo, const QString& medio)
{
    AdoRecordset rs;
    if (!busca(claveChequeTarjeta(opcional, codigo), opcional, codigo, rs))
        return false;
    descripcion = campo(rs, QStringLiteral("Descripcion")).trimmed();
    return igual(campo(rs, QStringLiteral("MedioDePago")).trimmed(), medio);
}

// DC and DB: the medium is trimmed when the account was found by its code and compared as stored
// when found by its alternative code.
bool medioDebito(Clave clave, const QString& opcional, QString& codigo, QString& descripcion,
    const QString& medio)
{
    AdoRecordset rs;
    if (!busca(clave, opcional, codigo, rs))
        return false;
    QString valor = campo(rs, QStringLiteral("MedioDePago"));
    if (clave == Clave::Codigo)
        valor = valor.trimmed();
    codigo = campo(rs, QStringLiteral("Codigo")).trimmed();
    descripcion = campo(rs, QStringLiteral("Descripcion")).trimmed();
    return igual(valor, medio);
}

QString retencion(const QString& codigo, const QString& medio)
{
    if (codigo.isEmpty())
        return QString();
    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("select * from ma_cuentas where codigo = ")
            + literal(codigo) + QStringLiteral(" and MedioDePago = ") + literal(medio),
        rs);
    if (rs.State() != adStateOpen || rs.Bof())
        return QString();
    return codigo;
}

} // namespace

bool ValidaCuentaEfectivo(
    const QString& CodigoOpcional, QString& Descripcion, const QString& Codigo)
{
    Descripcion.clear();
    AdoRecordset rs;
    bool encontrada = false;
    if (!Codigo.isEmpty()) {
        encontrada = buscaPor(QStringLiteral("Codigo"), Codigo.trimmed(), rs);
    } else {
        if (CodigoOpcional.trimmed().isEmpty())
            return false;
        QString clave = CodigoOpcional.trimmed();
        bool opcionalPrimero = true;
        encontrada = ExisteCuenta(clave, &rs, true, opcionalPrimero);
    }
    if (!encontrada)
        return false;
    static const QStringList efectivo { QStringLiteral("EF"), QStringLiteral("RI"),
        QStringLiteral("RG"), QStringLiteral("RB"), QStringLiteral("RO") };
    const bool acepta = efectivo.contains(
        campo(rs, QStringLiteral("MedioDePago")).trimmed(), Qt::CaseInsensitive);
    Descripcion = campo(rs, QStringLiteral("Descripcion")).trimmed();
    return acepta;
}

bool ValidaCuentaCheque(const QString& CodigoOpcional, QString& Descripcion, const QString& Codigo)
{
    return medioSimple(CodigoOpcional, Descripcion, Codigo, QStringLiteral("CH"));
}

bool ValidaCuentaTarjeta(const QString& CodigoOpcional, QString& Descripcion, const QString& Codigo)
{
    return medioSimple(CodigoOpcional, Descripcion, Codigo, QStringLiteral("TJ"));
}

bool ValidaCuentaBancaria(
    const QString& CodigoOpcional, QString& Codigo, const QString&, QString& Descripcion)
{
    AdoRecordset rs;
    if (!busca(claveBancaria(CodigoOpcional, Codigo), CodigoOpcional, Codigo, rs))
        return false;
    const bool acepta
        = igual(campo(rs, QStringLiteral("TipoVista")).trimmed(), QStringLiteral("BC"))
        && igual(campo(rs, QStringLiteral("MedioDePago")).trimmed(), QStringLiteral("CH"));
    Codigo = campo(rs, QStringLiteral("Codigo"));
    Descripcion = campo(rs, QStringLiteral("Descripcion")).trimmed();
    return acepta;
}

bool ValidaCuentaMedioDC(
    const QString& CodigoOpcional, QString& Codigo, const QString&, QString& Descripcion)
{
    // Unlike DB, an empty account code is still looked up.
    const Clave clave = CodigoOpcional.isEmpty() ? Clave::Codigo : Clave::Opcional;
    return medioDebito(clave, CodigoOpcional, Codigo, Descripcion, QStringLiteral("DC"));
}

bool ValidaCuentaMedioDB(
    const QString& CodigoOpcional, QString& Codigo, const QString&, QString& Descripcion)
{
    return medioDebito(claveBancaria(CodigoOpcional, Codigo), CodigoOpcional, Codigo, Descripcion,
        QStringLiteral("DB"));
}

QString CuentaRetencionIVA(const QString& Codigo)
{
    return retencion(Codigo, QStringLiteral("RI"));
}

QString CuentaRetencionGanancias(const QString& Codigo)
{
    return retencion(Codigo, QStringLiteral("RG"));
}

QString CuentaRetencionIBrutos(const QString& Codigo)
{
    return retencion(Codigo, QStringLiteral("RB"));
}

QString CuentaRetencionOtras(const QString& Codigo)
{
    return retencion(Codigo, QStringLiteral("RO"));
}

void CuentaIVADF(QString& CtaRetIVA, QString& CtaRetIIBB, QString& CtaRetGanancias,
    QString& CtaDescuento, bool EsCobranza)
{
    Steps pasos([](const RuntimeError& error) {
        return gDB().TratamientoErrores(
            error, Msg::AbortRetryIgnore + Msg::Critical, QStringLiteral("CuentaIVADF"));
    });
    AdoRecordset rs;
    if (!pasos.run([&] {
            gDB().AbrirRecordset(QStringLiteral("SELECT * FROM TA_CUENTASIVA with(nolock)  "), rs);
        }))
        return;
    bool hayFila = false;
    if (!pasos.run([&] { hayFila = rs.State() == adStateOpen && !rs.Bof(); }))
        return;
    const QString prefijo = EsCobranza ? QStringLiteral("CB_") : QStringLiteral("PG_");
    const QString claveDescuento = EsCobranza ? QStringLiteral("CuentaDesCuentosOtorgados")
                                              : QStringLiteral("CuentaDesCuentosObtenidos");
    if (!hayFila) {
        // The discount account still follows the receipt's direction (a collection used to get
        // the payments' setting here).
        CtaRetIVA.clear();
        CtaRetIIBB.clear();
        CtaRetGanancias.clear();
        pasos.run([&] { CtaDescuento = Configuracion::Cfg(claveDescuento); });
        return;
    }
    const auto cuenta = [&](QString& destino, const QString& columna, const QString& comun) {
        return pasos.run([&] {
            destino = campo(rs, prefijo + columna).trimmed();
            if (destino.isEmpty())
                destino = campo(rs, comun).trimmed();
        });
    };
    if (!cuenta(CtaRetIVA, QStringLiteral("RETIVA"), QStringLiteral("CFI_RETPERC")))
        return;
    if (!cuenta(CtaRetGanancias, QStringLiteral("RETGAN"), QStringLiteral("CFI_RETIGAN")))
        return;
    if (!cuenta(CtaRetIIBB, QStringLiteral("RETIB"), QStringLiteral("CFI_RETIBTOS")))
        return;
    pasos.run([&] {
        CtaDescuento = campo(rs, prefijo + QStringLiteral("DESCUENTO")).trimmed();
        if (CtaDescuento.isEmpty())
            CtaDescuento = Configuracion::Cfg(claveDescuento);
    });
}

} // namespace CuentasMedioPago
