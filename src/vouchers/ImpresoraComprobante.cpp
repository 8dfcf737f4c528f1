#include "vouchers/ImpresoraComprobante.h"

#include <cmath>

#include <QGuiApplication>

#include "data/ConsultasDatos.h"
#include "data/DB_Dll.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Entorno.h"
#include "platform/LeadingNumber.h"
#include "platform/Utilidades.h"
#include "services/ManejoErrores.h"

namespace ImpresionCpte {

namespace {

using ConsultasDatos::literal;

int entero(const QString& texto)
{
    return int(std::nearbyint(leadingNumber(texto)));
}

} // namespace

void ObtieneImpresoraComprobante(const QString& TC, const QString& Letra, QString& Impresora,
    int& CantCopias, int& CantLineas, QString& DestinoDefault, QString& Usuario)
{
    // A failure first gives the operator the ordinary pointer back, then asks.
    Steps pasos([](const RuntimeError& error) {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        return ManejoErrores(error, QStringLiteral("ObtieneImpresoraComprobante"));
    });
    AdoRecordset rs;
    const auto cierra = [&] { pasos.run([&] { gDB().CierraRecordset(rs); }); };

    if (Usuario.trimmed().isEmpty() && !pasos.run([&] {
            Usuario = gEntorno().NombrePC() + u'|' + gEntorno().UsuarioWindows();
        }))
        return;

    const QString base
        = QStringLiteral("SELECT * FROM TA_CONFIG_IMP_CPTE  with(nolock)  WHERE TC = ")
        + literal(TC) + QStringLiteral(" AND LETRA = ") + literal(Letra) + QStringLiteral(" AND ");
    if (!pasos.run([&] {
            gDB().AbrirRecordset(base + QStringLiteral("USUARIO = ") + literal(Usuario), rs);
        })) {
        cierra();
        return;
    }
    bool hallado = true;
    if (!pasos.run([&] {
            if (rs.Bof()) {
                gDB().AbrirRecordset(base + QStringLiteral("USUARIO IS NULL"), rs);
                hallado = !rs.Bof();
            }
        })) {
        cierra();
        return;
    }
    if (!hallado) {
        Impresora.clear();
        CantCopias = 0;
    } else {
        const auto campo = [&](const char* nombre) {
            return gUtilidades().ValorCampo(rs.Fields(QLatin1String(nombre)).Value());
        };
        if (!pasos.runAll({ [&] { Impresora = campo("impresora").trimmed(); },
                [&] { CantCopias = entero(campo("CantCopias")); },
                [&] { CantLineas = entero(campo("CantLineas")); },
                [&] { DestinoDefault = campo("DestinoDefault").trimmed(); } })) {
            cierra();
            return;
        }
    }
    cierra();
}

} // namespace ImpresionCpte
