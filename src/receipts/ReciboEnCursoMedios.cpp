// The right half of a receipt row: which journal line it shows, and how each payment medium is
// written.

#include "receipts/ReciboEnCurso.h"

#include "data/DataObjects.h"
#include "platform/CampoLeido.h"
#include "platform/Utilidades.h"
#include "receipts/CuentasMedioPago.h"
#include "receipts/TextosRecibo.h"
#include "services/Configuracion.h"

using namespace CuentasMedioPago;

namespace {

bool igual(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A bit column as the providers give it: Boolean, a number or its text.
bool verdadero(const Value& valor)
{
    if (valor.isNull() || valor.isEmpty())
        return false;
    if (valor.type() == ValueType::Boolean)
        return valor.toBool();
    if (valor.isNumeric())
        return valor.toDouble() != 0;
    const QString texto = valor.toString().trimmed();
    return igual(texto, QStringLiteral("True")) || igual(texto, QStringLiteral("-1"))
        || texto == QLatin1String("1");
}

} // namespace

Value ReciboEnCurso::asientoLeido(const char* nombre)
{
    return CampoLeido::valor(m_rsAsientos, QStringLiteral("MV_ASIENTOS"), QLatin1String(nombre));
}

Currency ReciboEnCurso::importeAsiento()
{
    return importeLeido(
        m_rsAsientos, QStringLiteral("MV_ASIENTOS"), QStringLiteral("Importe"), QString());
}

bool ReciboEnCurso::pruebaMedio(const std::function<bool()>& prueba)
{
    // A check that fails and is passed over counts as not holding.
    bool resultado = false;
    paso([&] { resultado = prueba(); });
    return resultado;
}

void ReciboEnCurso::agregaMedioDePago()
{
    AdoRecordset& asiento = m_rsAsientos;
    for (;;) {
        QString cuentaLinea;
        paso([&] {
            m_cuentaAsiento = texto(asiento, QStringLiteral("Cuenta"));
            cuentaLinea = m_cuentaAsiento;
            m_esCuentaTitular = false;
        });
        const QString cuenta = m_p.cuenta;
        // The holder's own line is no payment medium. Past the last applied document there is no
        // document account to compare with.
        paso([&] {
            if (!cuenta.isEmpty() && igual(cuentaLinea, cuenta) && hayFila(m_rsAplicaciones)
                && igual(texto(m_rsAplicaciones, QStringLiteral("Cuenta")), cuenta))
                m_esCuentaTitular = true;
        });
        if (!m_esCuentaTitular) {
            paso([&] {
                if (ValidaCuentaEfectivo(QString(), m_descripcionMedio, cuentaLinea)
                    && igual(cuenta, m_cuentaAsiento))
                    m_esCuentaTitular = true;
            });
        }
        if (!m_esCuentaTitular && igual(cuenta, m_ctaDescuento))
            m_ctaDescuento.clear();
        paso([&] {
            if (m_concepto.trimmed().isEmpty())
                m_concepto = texto(asiento, QStringLiteral("Detalle")).trimmed();
        });

        // A line without an account is no medium of any kind (it used to count as another
        // withholding, SUSS when the bare setting said so).
        if (!cuentaLinea.trimmed().isEmpty()) {
            Currency importe;
            paso([&] { importe = importeAsiento(); });
            if (retencionODescuento(cuentaLinea, importe))
                return;

            // The first medium whose check holds prints the line. All three cheque-type checks
            // are made; a cheque or bank account prints on the holder's own line too, a debit
            // medium does not.
            const struct
            {
                std::function<bool()> prueba;
                void (ReciboEnCurso::*escribe)();
            } medios[] = {
                { [&] {
                     return ValidaCuentaEfectivo(QString(), m_descripcionMedio, cuentaLinea)
                         && !m_esCuentaTitular;
                 },
                    &ReciboEnCurso::lineaConMoneda },
                { [&] {
                     const bool cheque
                         = ValidaCuentaCheque(QString(), m_descripcionMedio, cuentaLinea);
                     QString codigo = cuentaLinea;
                     const bool banco
                         = ValidaCuentaBancaria(QString(), codigo, QString(), m_descripcionMedio);
                     codigo = cuentaLinea;
                     const bool debito
                         = ValidaCuentaMedioDB(QString(), codigo, QString(), m_descripcionMedio);
                     return cheque || banco || (debito && !m_esCuentaTitular);
                 },
                    &ReciboEnCurso::lineaCheque },
                { [&] {
                     return ValidaCuentaTarjeta(QString(), m_descripcionMedio, cuentaLinea)
                         && !m_esCuentaTitular;
                 },
                    &ReciboEnCurso::lineaTarjeta },
                { [&] {
                     QString codigo = cuentaLinea;
                     return ValidaCuentaMedioDC(QString(), codigo, QString(), m_descripcionMedio)
                         && !m_esCuentaTitular;
                 },
                    &ReciboEnCurso::lineaConMoneda },
            };
            for (const auto& medio : medios) {
                if (pruebaMedio(medio.prueba)) {
                    (this->*medio.escribe)();
                    return;
                }
            }
        }

        // Not printed: the next journal line takes this row, so the pairing shifts by one.
        bool fin = true;
        paso([&] {
            asiento.MoveNext();
            fin = !hayFila(asiento);
        });
        if (fin)
            return;
    }
}

bool ReciboEnCurso::retencionODescuento(const QString& cuentaLinea, Currency importe)
{
    // Withholdings come before cash: their accounts pass the cash check too.
    if (pruebaMedio([&] { return CuentaRetencionOtras(cuentaLinea) == cuentaLinea; })) {
        bool suss = false;
        paso([&] {
            suss
                = igual(Configuracion::Cfg(QStringLiteral("CTA_RET_OTRA_") + cuentaLinea).trimmed(),
                    QStringLiteral("SU"));
        });
        (suss ? m_retSUSS : m_retOtras) += importe;
        return true;
    }
    if (pruebaMedio([&] { return CuentaRetencionIVA(cuentaLinea) == cuentaLinea; })) {
        m_retIVA += importe;
        return true;
    }
    if (pruebaMedio([&] { return CuentaRetencionIBrutos(cuentaLinea) == cuentaLinea; })) {
        m_retIBrutos += importe;
        return true;
    }
    if (pruebaMedio([&] { return CuentaRetencionGanancias(cuentaLinea) == cuentaLinea; })) {
        m_retGanancias += importe;
        return true;
    }
    if (igual(cuentaLinea, m_ctaDescuento)) {
        m_descuentosOtorgados += importe;
        return true;
    }
    return false;
}

bool ReciboEnCurso::negado(const QString& debeHaber) const
{
    const QString tc = m_p.tc.trimmed();
    const auto es = [&](std::initializer_list<const char*> tipos) {
        for (const char* tipo : tipos)
            if (igual(tc, QLatin1String(tipo)))
                return true;
        return false;
    };
    // Payments negate their debit lines only when the documents lead; CBCT never negates.
    if (igual(debeHaber, QStringLiteral("H")) && es({ "CB", "CBFP" }))
        return true;
    return m_aplicacionesLideran && igual(debeHaber, QStringLiteral("D"))
        && es({ "PGFP", "OPG", "PG" });
}

void ReciboEnCurso::lineaConMoneda()
{
    AdoRecordset& asiento = m_rsAsientos;
    paso([&] { pon(QStringLiteral("COLUMNA4"), m_descripcionMedio); });
    Currency importe;
    paso([&] {
        importe = importeAsiento();
        const Currency firmado
            = negado(texto(asiento, QStringLiteral("Debe-Haber")).trimmed()) ? -importe : importe;
        pon(QStringLiteral("COLUMNA8"), TextosRecibo::importeMedio(firmado));
        // Last: nothing after it can fail and have the amount added again.
        m_totalMediosPago += firmado;
    });
    Value cotizacion;
    paso([&] { cotizacion = asientoLeido("Cotizacion"); });
    // A rate of 0 is no rate: nothing to divide by.
    const bool sinCotizacion = cotizacion.isNull() || cotizacion.isEmpty()
        || TextosRecibo::numeroTexto(cotizacion).isEmpty()
        || (cotizacion.isNumeric() && cotizacion.toDouble() == 0);
    const QString textoCotizacion
        = sinCotizacion ? QString() : TextosRecibo::numeroTexto(cotizacion);
    paso([&] {
        pon(QStringLiteral("COLUMNA10"), texto(asiento, QStringLiteral("Moneda")));
        pon(QStringLiteral("COLUMNA12"), textoCotizacion);
    });
    if (m_aplicacionesLideran)
        return;
    paso([&] {
        const Currency moneda = CampoLeido::numeroDeTexto(
            campo(asiento, QStringLiteral("Moneda")), QStringLiteral("MV_ASIENTOS.Moneda"));
        if (moneda > Currency::fromInteger(1)) {
            const QString cantidad = sinCotizacion
                ? QString()
                : TextosRecibo::numeroTexto(importe.toDouble() / cotizacion.toDouble());
            pon(QStringLiteral("COLUMNA13"), cantidad);
            pon(QStringLiteral("COLUMNA6"),
                QStringLiteral("Cotiz: ") + textoCotizacion + QStringLiteral(" Cant: ") + cantidad);
        } else {
            pon(QStringLiteral("COLUMNA13"), TextosRecibo::numeroTexto(importe.toDouble()));
        }
    });
}

void ReciboEnCurso::importeSinMoneda()
{
    // Cheques and cards print their amount as stored, whatever the side, and no currency.
    paso([&] {
        const Currency importe = importeAsiento();
        pon(QStringLiteral("COLUMNA8"), TextosRecibo::importeMedio(importe));
        pon(QStringLiteral("COLUMNA10"), QStringLiteral("   1"));
        // Last: nothing after it can fail and have the amount added again.
        m_totalMediosPago += importe;
    });
}

void ReciboEnCurso::lineaCheque()
{
    AdoRecordset& asiento = m_rsAsientos;
    paso([&] {
        pon(QStringLiteral("COLUMNA4"),
            m_descripcionMedio
                + (verdadero(asientoLeido("ChPropio")) ? QStringLiteral("(Propio)") : QString()));
    });
    paso([&] {
        const QString numero = texto(asiento, QStringLiteral("NROCOMPROBANTEBANCARIO")).toUpper();
        const QString librador = texto(asiento, QStringLiteral("tj_observaciones")).trimmed();
        if (m_incluirCuitLibrador && !librador.isEmpty())
            pon(QStringLiteral("COLUMNA5"),
                numero + QStringLiteral(" (")
                    + gUtilidades().QuitaCaracteres(librador, QStringLiteral("-/"))
                    + QStringLiteral(")"));
        else
            pon(QStringLiteral("COLUMNA5"), numero);
    });
    paso([&] {
        const QString banco = texto(asiento, QStringLiteral("IdBanco"));
        pon(QStringLiteral("COLUMNA6"),
            banco + u'-'
                + gDB()
                      .DatosTabla(QStringLiteral("V_TA_BANCOS"), banco,
                          QStringLiteral("DESCRIPCION"), QStringLiteral("IDBANCO"),
                          Value(qint32(8)), QString(), true, false)
                      .toString());
    });
    paso([&] {
        pon(QStringLiteral("COLUMNA7"), TextosRecibo::fechaTexto(asientoLeido("vencimiento")));
    });
    importeSinMoneda();
}

void ReciboEnCurso::lineaTarjeta()
{
    AdoRecordset& asiento = m_rsAsientos;
    // Every card line reads "(Propio)", whatever the line says.
    paso([&] { pon(QStringLiteral("COLUMNA4"), m_descripcionMedio + QStringLiteral("(Propio)")); });
    paso([&] {
        pon(QStringLiteral("COLUMNA5"), texto(asiento, QStringLiteral("TJ_NroCupon")).toUpper());
    });
    paso([&] {
        const Value socio = campo(asiento, QStringLiteral("TJ_NroSocio"));
        if (!socio.isNull())
            pon(QStringLiteral("COLUMNA6"),
                QStringLiteral("Socio: ") + gUtilidades().ValorCampo(socio));
    });
    paso([&] {
        pon(QStringLiteral("COLUMNA7"),
            QStringLiteral(" Nº Cuotas ") + gUtilidades().ValorCampo(asientoLeido("TJ_cuotas")));
    });
    importeSinMoneda();
}
