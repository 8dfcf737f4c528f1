// The voucher's QR row: the QR image of its electronic-invoice data, the tax authority's logo and
// the company logo with its position.

#include "vouchers/GeneradorAuxiliar.h"

#include <memory>

#include <QDate>
#include <QFile>
#include <QScopeGuard>

#include "data/DataObjects.h"
#include "platform/ComponenteQR.h"
#include "platform/Environment.h"
#include "platform/FileNames.h"
#include "platform/LeadingNumber.h"
#include "platform/Service.h"
#include "platform/Utilidades.h"
#include "startup/Configuracion.h"
#include "startup/ConstructorSentencias.h"
#include "startup/Formatos.h"
#include "startup/ModArchivos.h"
#include "startup/ModEjecutar.h"
#include "vouchers/FmtNroAS400.h"

namespace {

qint64 entero(const QString& texto)
{
    return static_cast<qint64>(leadingNumber(texto));
}

} // namespace

void GeneradorAuxiliar::AgregaQRFactura()
{
    const Utilidades& util = gUtilidades();
    const auto campo = [&](const char* nombre) {
        return m_comprobantes.Fields(QLatin1String(nombre)).Value();
    };
    const QDate fecha = campo("fecha").isNull() ? QDate() : campo("fecha").toDateTime().date();
    const QString fechaIso = fecha.toString(QStringLiteral("yyyy-MM-dd"));

    // 1-3: the drawing. Any failure here leaves the row without the QR image and the authority's
    // logo, and the run goes on with the logos.
    std::unique_ptr<ComponenteQR> componente;
    QString archivoQR;
    bool dibujado = false;
    paso(QStringLiteral("AgregaQRFactura componente"), [&] {
        // Without a component (a program that installs none) the row has no QR image.
        FabricaComponenteQR* fabrica = Service<FabricaComponenteQR>::tryGet();
        if (fabrica == nullptr)
            return;
        componente = fabrica->crea(Configuracion::Cfg(QStringLiteral("URL_QR_FACTURA")).trimmed());
        archivoQR = componente->crearArchivo();
    });
    if (componente)
        paso(QStringLiteral("AgregaQRFactura datos"), [&] {
            QString moneda = m_moneda.trimmed();
            if (moneda.isEmpty() || moneda == u"0")
                moneda = QStringLiteral("1");
            Value cotizacion(qint32(1));
            if (moneda != u"1")
                // The day's last capture of the rate. A day without one, or a currency without
                // its column, leaves the rate at 1.
                paso(QStringLiteral("AgregaQRFactura cotizacion"), [&] {
                    AdoRecordset rs;
                    const QString dia = literal(fechaIso);
                    gDB().AbrirRecordset(
                        QStringLiteral("SELECT top 1 * FROM TA_COTIZACION WITH(NOLOCK) "
                                       "WHERE DBO.FN_SOLO_FECHA(FECHA_HORA) = ")
                            + dia
                            + QStringLiteral(" AND ID = (SELECT MAX(ID) AS ELID FROM "
                                             "TA_COTIZACION WHERE DBO.FN_SOLO_FECHA(FECHA_HORA) = ")
                            + dia + QStringLiteral(" )"),
                        rs);
                    const auto cierra = qScopeGuard([&] { gDB().CierraRecordset(rs); });
                    if (rs.Eof())
                        return;
                    const Value valor = rs.Fields(QStringLiteral("MONEDA") + moneda).Value();
                    cotizacion = Value(FmtNroAS400::FormateaNroAS400(textoNumero(valor), 13, 6));
                });
            const auto digitos = [&](const QString& t) {
                return util.QuitaCaracteres(t, QStringLiteral("-"), QStringLiteral(" "),
                    QStringLiteral("/"));
            };
            const QList<Value> valores {
                Value(qint32(1)),
                Value(fechaIso),
                Value(digitos(Configuracion::Cfg(QStringLiteral("CUIT")))),
                Value(entero(m_suc)),
                Value(entero(util.ValorCampo(campo("CodCpteAfip")))),
                Value(entero(m_nro)),
                Value(FmtNroAS400::FormateaNroAS400(textoNumero(Value(m_importe)), 13, 2)),
                Value(moneda == u"1" ? QStringLiteral("PES") : QStringLiteral("DOL")),
                cotizacion,
                Value(entero(util.ValorCampo(campo("documentotipo")))),
                Value(digitos(util.ValorCampo(campo("DOCUMENTONUMERO")))),
                Value(QStringLiteral("A")),
                Value(m_cae),
            };
            dibujado = !componente->GenerarImagen(valores).trimmed().isEmpty();
        });

    // 4: the logos.
    QString logoAutoridad;
    QString logoEmpresa;
    paso(QStringLiteral("AgregaQRFactura logos"), [&] {
        QString corte = Configuracion::Cfg(QStringLiteral("cfgFechaInicioeFacARCA")).trimmed();
        if (corte.isEmpty())
        {
            corte = QStringLiteral("01/12/2024");
            Configuracion::GrabaDfg(QStringLiteral("cfgFechaInicioeFacARCA"), Value(corte));
        }
        const QDate desde = util.LeeFecha(corte);
        logoAutoridad = FileNames::resolve(FileNames::inProgramFolder(
            desde.isValid() && fecha.isValid() && desde <= fecha ? QStringLiteral("ARCA.PNG")
                                                                 : QStringLiteral("AFIP.PNG")));
        const QString logo = FileNames::resolve(ModEjecutar::RutaCompletaArchivo(
            Configuracion::Cfg(QStringLiteral("RutaImagenes")).trimmed()
            + QStringLiteral("logo.jpg")));
        if (ModArchivos::PuedeAbrirArchivo(logo))
            logoEmpresa = logo;
    });

    // 5-9: this workstation's row for the voucher, replaced.
    ejecuta(QStringLiteral("DELETE AUX_MV_CPTEQR WHERE TC = ") + literal(m_tc)
            + QStringLiteral(" AND IDCOMPROBANTE = ") + literal(idComprobante())
            + QStringLiteral(" AND Usuario = ") + literal(m_usuario),
        QStringLiteral("AgregaQRFactura borrado"));
    paso(QStringLiteral("AgregaQRFactura fila"), [&] {
        AdoRecordset rs;
        gDB().AbrirRecordset(QStringLiteral("SELECT TOP 0 * FROM AUX_MV_CPTEQR"), rs, nullptr,
            adOpenDynamic, adLockOptimistic);
        rs.AddNew();
        rs.Fields(QStringLiteral("Usuario")).setValue(Value(m_usuario));
        rs.Fields(QStringLiteral("TC")).setValue(Value(m_tc));
        rs.Fields(QStringLiteral("IdComprobante")).setValue(Value(idComprobante()));
        rs.Fields(QStringLiteral("muestra_logo")).setValue(Value(m_posicionLogo));
        if (dibujado)
        {
            ConstructorSentencias::CargaArchivoEnCampo(
                rs.Fields(QStringLiteral("QR_AFIP")), archivoQR);
            ConstructorSentencias::CargaArchivoEnCampoPorPartes(
                rs.Fields(QStringLiteral("IMG_AFIP")), logoAutoridad);
        }
        if (!logoEmpresa.isEmpty())
        {
            if (m_posicionLogo.trimmed() != u"NO")
                ConstructorSentencias::CargaArchivoEnCampoPorPartes(
                    rs.Fields(QStringLiteral("LOGO_EMPRESA")), logoEmpresa);
        }
        else
            rs.Fields(QStringLiteral("muestra_logo")).setValue(Value(QStringLiteral("NO")));
        const bool guardado = rs.Update();
        const RuntimeError error = rs.LastError();
        gDB().CierraRecordset(rs);
        if (!guardado)
            throw error;
    });
    // The drawing's file is ours alone and no longer needed.
    if (!archivoQR.isEmpty())
        QFile::remove(archivoQR);
}
