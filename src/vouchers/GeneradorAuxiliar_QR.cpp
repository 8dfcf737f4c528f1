// The voucher's QR row: the QR image of its electronic-invoice data, the tax authority's logo and
// the company logo with its position.

#include "vouchers/GeneradorAuxiliar.h"

#include <memory>

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/ArchivoImagen.h"
#include "platform/CampoLeido.h"
#include "platform/ComponenteQR.h"
#include "platform/FileNames.h"
#include "platform/LeadingNumber.h"
#include "platform/RuntimeError.h"
#include "platform/Service.h"
#include "platform/Utilidades.h"
#include "services/Configuracion.h"
#include "services/Formatos.h"
#include "services/ModEjecutar.h"
#include "vouchers/FmtNroAS400.h"

using ConsultasDatos::literal;

namespace {

// A CUIT, CUIL or DNI as the authority reads it: its digits alone. Stored numbers come written
// "28.123.456" or "20-28123456-7"; read as a number, the dot would make a decimal of them and name
// another person. One with no digits gives an empty text, which the QR counts as 0.
QString digitos(const QString& texto)
{
    QString solo;
    for (const QChar c : texto)
        if (c >= u'0' && c <= u'9')
            solo.append(c);
    return solo;
}

// A picture's bytes, read once (every voucher's row takes the same logos); none when the file
// cannot be read, with the reason. Kept for the whole program, not the run: a print of hundreds of
// vouchers fills the buffer once for each. A file changed since (another size or time) is read
// again.
struct Imagen
{
    std::optional<QByteArray> bytes;
    QString porque;
};

Imagen imagenDeArchivo(const QString& ruta)
{
    struct Leida
    {
        qint64 largo = -1;
        QDateTime cambio;
        Imagen imagen;
    };
    static QHash<QString, Leida> leidas;
    const QFileInfo info(ruta);
    const qint64 largo = info.exists() ? info.size() : -1;
    const QDateTime cambio = info.lastModified();
    const auto leida = leidas.constFind(ruta);
    if (leida != leidas.constEnd() && leida->largo == largo && leida->cambio == cambio)
        return leida->imagen;
    Leida nueva { largo, cambio, {} };
    nueva.imagen.bytes = ArchivoImagen::lee(ruta, &nueva.imagen.porque);
    leidas.insert(ruta, nueva);
    return nueva.imagen;
}

} // namespace

void GeneradorAuxiliar::AgregaQRFactura()
{
    const Utilidades& util = gUtilidades();
    // A date that is no date stops the voucher here, named, before anything of its row is
    // written: its QR would carry a wrong day and its authority logo would be chosen by none.
    QDate fecha;
    if (!paso(QStringLiteral("AgregaQRFactura"), [&] {
            const Value valor = comprobante("fecha");
            if (!valor.isNull())
                fecha = valor.toDateTime().date();
        }))
        return;
    const QString fechaIso = fecha.toString(QStringLiteral("yyyy-MM-dd"));

    // 1-3: the drawing. Any failure here leaves the row without the QR image and the authority's
    // logo, and the run goes on with the logos.
    std::unique_ptr<ComponenteQR> componente;
    bool dibujado = false;
    paso(QStringLiteral("AgregaQRFactura componente"), [&] {
        // Without a component (a program that installs none) the row has no QR image.
        FabricaComponenteQR* fabrica = Service<FabricaComponenteQR>::tryGet();
        if (fabrica == nullptr)
            return;
        componente = fabrica->crea(Configuracion::Cfg(QStringLiteral("URL_QR_FACTURA")).trimmed());
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
                    const Value valor = CampoLeido::valor(
                        rs, QStringLiteral("TA_COTIZACION"), QStringLiteral("MONEDA") + moneda);
                    cotizacion = Value(FmtNroAS400::FormateaNroAS400(textoNumero(valor), 13, 6));
                });
            // The authority's codes are kept as texts and read as whole numbers.
            const auto codigo = [&](const char* nombre) {
                const Currency leido = CampoLeido::numeroDeTexto(
                    comprobante(nombre), QStringLiteral("V_MV_CPTE.") + QLatin1String(nombre));
                return qint64(leido.toDouble());
            };
            const QList<Value> valores {
                Value(qint32(1)),
                Value(fechaIso),
                Value(digitos(Configuracion::Cfg(QStringLiteral("CUIT")))),
                Value(leadingWholeNumber(m_suc)),
                Value(codigo("CodCpteAfip")),
                Value(leadingWholeNumber(m_nro)),
                Value(FmtNroAS400::FormateaNroAS400(textoNumero(Value(m_importe)), 13, 2)),
                Value(moneda == u"1" ? QStringLiteral("PES") : QStringLiteral("DOL")),
                cotizacion,
                Value(codigo("documentotipo")),
                Value(digitos(util.ValorCampo(comprobante("DOCUMENTONUMERO")))),
                // The code's kind: "E" for a CAE, the only kind the electronic voucher's row
                // holds ("A" would tell the authority's check to look for an anticipated code).
                Value(QStringLiteral("E")),
                Value(m_cae),
            };
            dibujado = !componente->GenerarImagen(valores).trimmed().isEmpty();
        });

    // 4: the logos.
    std::optional<QByteArray> logoAutoridad;
    std::optional<QByteArray> logoEmpresa;
    paso(QStringLiteral("AgregaQRFactura logos"), [&] {
        QString corte = Configuracion::Cfg(QStringLiteral("cfgFechaInicioeFacARCA")).trimmed();
        if (corte.isEmpty()) {
            corte = QStringLiteral("01/12/2024");
            Configuracion::GrabaDfg(QStringLiteral("cfgFechaInicioeFacARCA"), Value(corte));
        }
        const QDate desde = util.LeeFecha(corte);
        logoAutoridad = imagenDeArchivo(
            FileNames::resolve(FileNames::inProgramFolder(
                desde.isValid() && fecha.isValid() && desde <= fecha ? QStringLiteral("ARCA.PNG")
                                                                     : QStringLiteral("AFIP.PNG"))))
                            .bytes;
        // A logo that cannot be read counts as none; one that stands there but is not a picture
        // file the program reads is also said, as the voucher then prints without it.
        const QString archivoLogo = FileNames::resolve(ModEjecutar::RutaCompletaArchivo(
            Configuracion::Cfg(QStringLiteral("RutaImagenes")).trimmed()
            + QStringLiteral("logo.jpg")));
        Imagen empresa = imagenDeArchivo(archivoLogo);
        logoEmpresa = std::move(empresa.bytes);
        if (!logoEmpresa && QFileInfo::exists(archivoLogo))
            omitida(QStringLiteral("AgregaQRFactura logo"),
                RuntimeError(0,
                    QStringLiteral("No se usa el logo %1: %2").arg(archivoLogo, empresa.porque)));
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
        if (dibujado) {
            rs.Fields(QStringLiteral("QR_AFIP")).setValue(Value(componente->imagen()));
            if (logoAutoridad)
                rs.Fields(QStringLiteral("IMG_AFIP")).setValue(Value(*logoAutoridad));
        }
        if (logoEmpresa) {
            if (m_posicionLogo.trimmed() != u"NO")
                rs.Fields(QStringLiteral("LOGO_EMPRESA")).setValue(Value(*logoEmpresa));
        } else
            rs.Fields(QStringLiteral("muestra_logo")).setValue(Value(QStringLiteral("NO")));
        const bool guardado = rs.Update();
        const RuntimeError error = rs.LastError();
        gDB().CierraRecordset(rs);
        if (!guardado)
            throw error;
    });
}
