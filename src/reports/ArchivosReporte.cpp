#include "reports/ArchivosReporte.h"

#include <QDate>
#include <QFileInfo>

#include "data/ConsultasDatos.h"
#include "data/DB_Dll.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Entorno.h"
#include "platform/FileNames.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "reports/RutasReporte.h"
#include "services/Configuracion.h"
#include "services/ManejoErrores.h"
#include "services/ModArchivos.h"

namespace ArchivosReporte {

using ConsultasDatos::literal;

namespace {

const QString FormularioRemito = QStringLiteral("RM-R.rpt");
const QString ClaveRutaFormularios = QStringLiteral("RUTA_FORMULARIOS_EFACTURA");
const QString FechaQRPorDefecto = QStringLiteral("01/03/2021");

bool esArchivoNormal(const QString& path)
{
    return !path.isEmpty() && QFileInfo(FileNames::resolve(path)).isFile();
}

bool terminaEnRpt(const QString& name)
{
    return name.trimmed().endsWith(QLatin1String(".RPT"), Qt::CaseInsensitive);
}

bool esCompras(const QString& tipo)
{
    const QString sistema = gUtilidades().ValorCampo(gDB().DatosTabla(
        QStringLiteral("V_TA_CPTE"), tipo, QStringLiteral("SISTEMA"), QStringLiteral("Codigo")));
    return sistema.trimmed().compare(QLatin1String("Compras"), Qt::CaseInsensitive) == 0;
}

// A voucher report name of a type of 2, 3 or 4 characters, "-" and one letter: the type.
QString tipoDeNombreCorto(const QString& nombre)
{
    const qsizetype n = nombre.size();
    if (n >= 4 && n <= 6 && nombre.at(n - 2) == u'-')
        return nombre.left(n - 2);
    return QString();
}

QString campo(AdoRecordset& rs, const QString& nombre)
{
    return gUtilidades().ValorCampo(rs.Fields(nombre).Value());
}

QString sqlReportes(const QString& nombre)
{
    return QStringLiteral("SELECT * FROM TA_REPORTES  with(nolock)  WHERE NOMBRE = ")
        + literal(nombre);
}

} // namespace

QString ResuelveArchivoReporte(QString& ArchivoRep, const QString& NombreBase)
{
    Steps pasos = Steps::silent();
    const QString carpeta = RutasReporte::carpetaReportes();
    const QString porDefecto = carpeta + NombreBase + QStringLiteral(".rpt");

    pasos.run([&] { ArchivoRep = RutasReporte::archivoDeLaBase(ArchivoRep); });

    if (ArchivoRep.isEmpty()) {
        ArchivoRep = porDefecto;
        bool falta = true;
        pasos.run([&] { falta = !esArchivoNormal(ArchivoRep); });
        if (falta) {
            const QString tipoCorto = tipoDeNombreCorto(NombreBase);
            if (!tipoCorto.isEmpty()) {
                const QString candidato = carpeta + tipoCorto + QStringLiteral(".RPT");
                ArchivoRep = esArchivoNormal(candidato) ? candidato : QString();
            } else {
                ArchivoRep.clear();
                pasos.run([&] {
                    if (esCompras(NombreBase))
                        ArchivoRep = carpeta + QStringLiteral("CpteCompras.RPT");
                });
            }
            if (ArchivoRep.isEmpty()) {
                const QString tipo = NombreBase.section(u'-', 0, 0);
                pasos.run([&] {
                    if (esCompras(tipo))
                        ArchivoRep = carpeta + QStringLiteral("CpteCompras.RPT");
                });
            }
        }
    }

    if (!terminaEnRpt(ArchivoRep)) {
        // A full path only lacks its extension; a bare name is a definition of the reports folder.
        ArchivoRep = (RutasReporte::esAbsoluta(ArchivoRep) ? ArchivoRep : carpeta + ArchivoRep)
            + QStringLiteral(".rpt");
    } else if (!RutasReporte::esAbsoluta(ArchivoRep.trimmed())) {
        // The suite's workstations ran with the program folder as the current folder, so a name
        // with extension and no folder meant a definition beside the program.
        ArchivoRep = carpeta + ArchivoRep;
    }

    bool existe = true;
    pasos.run([&] { existe = ModArchivos::ExisteArchivo(ArchivoRep); });
    if (!existe) {
        MsgBox(QStringLiteral("No se encuentra el Archivo ") + ArchivoRep + QStringLiteral(" (")
                + NombreBase + QStringLiteral(")")
                + QStringLiteral(" por favor verifique la configuración de Reportes")
                + QStringLiteral("\r\n") + QStringLiteral(" Se tomara en su lugar el formulario ")
                + porDefecto,
            Msg::Critical + Msg::OkOnly, QStringLiteral("Aviso al Operador"));
        ArchivoRep = porDefecto;
    }
    return ArchivoRep;
}

QString NombreReporte(QString& NombreRep, const QString& Puesto, ArchivosCopias* Archivos,
    const QString& IdComprobante)
{
    Steps pasos = reportAs(QStringLiteral("NombreReporte$"));
    QString resultado;
    QString ClavePC;
    QString TipoBase;
    QString NombreBase;
    QString FechaCpte;
    bool EsElectronico = false;
    bool hallado = false;
    bool halladoConCopias = false;
    AdoRecordset rs;

    auto resolver = [&](const QString& archivo) {
        QString ruta = archivo;
        return ResuelveArchivoReporte(ruta, NombreBase);
    };
    auto copias = [&](const QString& ruta) {
        if (Archivos)
            for (int k = 1; k <= 4; ++k)
                (*Archivos)[k] = ruta;
    };
    // Takes the files of the first row of a TA_REPORTES statement: the report and, when the caller
    // wants them, its four copies; with `repiteAnterior` an empty copy column repeats the copy
    // before it. False when the statement finds no row.
    auto tomaFila = [&](const QString& sql, bool repiteAnterior) {
        gDB().AbrirRecordset(sql, rs);
        if (rs.Bof())
            return false;
        hallado = true;
        resultado = resolver(campo(rs, QStringLiteral("Archivo")));
        if (Archivos) {
            (*Archivos)[1] = resolver(campo(rs, QStringLiteral("Archivo")));
            for (int k = 2; k <= 4; ++k) {
                const QString valor = campo(rs, QStringLiteral("Archivo%1").arg(k));
                (*Archivos)[k]
                    = repiteAnterior && valor.isEmpty() ? (*Archivos)[k - 1] : resolver(valor);
            }
        }
        return true;
    };
    auto cerrar = [&] { gDB().CierraRecordset(rs); };
    auto salir = [&] {
        cerrar();
        return resultado;
    };

    if (!pasos.run([&] { ClavePC = gEntorno().NombrePC().toUpper().trimmed(); }))
        return salir();
    if (NombreRep.contains(u'-'))
        TipoBase = NombreRep.section(u'-', 0, 0);

    // Electronic voucher: its date picks the form with or without the QR code.
    if (!pasos.run([&] {
            AdoRecordset electronico;
            QString sql = QStringLiteral("select * from V_MV_CPTE_ELECTRONICOS WHERE TC=")
                + literal(TipoBase) + QStringLiteral(" AND IDCOMPROBANTE=")
                + literal(IdComprobante.trimmed());
            gDB().AbrirRecordset(sql, electronico);
            if (!electronico.Bof()) {
                EsElectronico = true;
                FechaCpte = campo(electronico, QStringLiteral("Fecha_CPTE"));
            }
            gDB().CierraRecordset(electronico);
        }))
        return salir();

    static const QStringList Electronicos { QStringLiteral("EEFC-E"), QStringLiteral("EENC-E"),
        QStringLiteral("EEND-E") };
    if (Electronicos.contains(NombreRep, Qt::CaseInsensitive))
        NombreRep = NombreRep.mid(2);
    NombreBase = NombreRep;

    if (Puesto.trimmed().isEmpty()) {
        if (!pasos.run([&] {
                NombreRep
                    = gEntorno().NombrePC() + u'|' + gEntorno().UsuarioWindows() + u'|' + NombreRep;
            }))
            return salir();
    }

    // The workstation's (or the caller's) own row: every copy column stands for itself.
    if (!pasos.run([&] {
            if (tomaFila(sqlReportes(NombreRep.trimmed()), false) && Archivos)
                halladoConCopias = true;
        }))
        return salir();

    // The shared row: an empty copy column repeats the copy before it.
    if (!hallado && !pasos.run([&] { tomaFila(sqlReportes(NombreBase.trimmed()), true); }))
        return salir();

    // Payment orders print with the settlement form when they have no row of their own.
    if (!hallado && NombreBase.compare(QLatin1String("LiqOpg"), Qt::CaseInsensitive) == 0
        && !pasos.run([&] {
               tomaFila(QStringLiteral("SELECT * FROM TA_REPORTES  with(nolock)  "
                                       "WHERE NOMBRE = 'OPG-X' OR NOMBRE = 'PG-X' "),
                   false);
           }))
        return salir();

    if (!hallado && !pasos.run([&] {
            resultado = resolver(QString());
            if (Archivos)
                for (int k = 1; k <= 4; ++k)
                    (*Archivos)[k] = resolver(QString());
        }))
        return salir();

    // Delivery notes of a business unit print with the unit's own form when it has one.
    if (TipoBase.trimmed().compare(QLatin1String("RM"), Qt::CaseInsensitive) == 0
        && IdComprobante.endsWith(u'R', Qt::CaseInsensitive)) {
        QString unidad;
        if (!pasos.run([&] {
                unidad = gUtilidades().ValorCampo(gDB().DatosTabla(QStringLiteral("V_MV_CPTE"),
                    IdComprobante, QStringLiteral("UNEGOCIO"), QStringLiteral("IDCOMPROBANTE"),
                    Value(qint32(8)),
                    QStringLiteral(" TC='RM' AND IDCOMPROBANTE=") + literal(IdComprobante)));
            }))
            return salir();
        if (!unidad.trimmed().isEmpty() && !pasos.run([&] {
                AdoRecordset un;
                QString sql = QStringLiteral("SELECT * FROM V_TA_UNIDADNEGOCIO WHERE CODIGO=")
                    + literal(gUtilidades().FormateaCodigo(unidad, 4));
                gDB().AbrirRecordset(sql, un);
                const QString ruta
                    = un.Bof() ? QString() : campo(un, QStringLiteral("ruta_reporte"));
                gDB().CierraRecordset(un);
                if (!ruta.trimmed().isEmpty()) {
                    const QString archivo
                        = gUtilidades().RutaConBarra(RutasReporte::carpetaDeLaBase(ruta.trimmed()))
                        + FormularioRemito;
                    if (ModArchivos::ExisteArchivo(archivo))
                        copias(archivo);
                    return;
                }
                const QString configurada = Configuracion::Cfg(ClaveRutaFormularios);
                if (configurada.trimmed().isEmpty())
                    return;
                const QString archivo = gUtilidades().RutaConBarra(
                                            RutasReporte::carpetaDeLaBase(configurada.trimmed()))
                    + FormularioRemito;
                if (ModArchivos::ExisteArchivo(archivo)) {
                    resultado = archivo;
                    copias(archivo);
                }
            }))
            return salir();
    }

    // Electronic invoices print with the forms of their own folder.
    if (EsElectronico) {
        QString FechaQR;
        QString CarpetaFormularios;
        auto carpetaConfigurada = [&] {
            const QString propia = Configuracion::Cfg(ClavePC + u'_' + ClaveRutaFormularios);
            if (!propia.trimmed().isEmpty()) {
                CarpetaFormularios = propia.trimmed();
                return;
            }
            const QString general = Configuracion::Cfg(ClaveRutaFormularios);
            if (!general.trimmed().isEmpty())
                CarpetaFormularios = general.trimmed();
        };
        if (!pasos.run([&] {
                FechaQR = Configuracion::Cfg(QStringLiteral("FechaInicioeFacQR")).trimmed();
                if (FechaQR.isEmpty())
                    FechaQR = FechaQRPorDefecto;
            }))
            return salir();
        if (!pasos.run([&] {
                if (IdComprobante.trimmed().isEmpty()) {
                    carpetaConfigurada();
                    return;
                }
                AdoRecordset un;
                QString sql = QStringLiteral("SELECT * FROM V_TA_UNIDADNEGOCIO WHERE LTRIM(PDV)=")
                    + literal(IdComprobante.left(4).trimmed());
                gDB().AbrirRecordset(sql, un);
                if (un.Bof()) {
                    gDB().CierraRecordset(un);
                    if (!halladoConCopias)
                        carpetaConfigurada();
                    return;
                }
                const Value usaefc = un.Fields(QStringLiteral("usaefc")).Value();
                const QString ruta = campo(un, QStringLiteral("ruta_reporte")).trimmed();
                gDB().CierraRecordset(un);
                // A unit that issues electronic invoices reads 1, or true (-1) where the column
                // is a bit; anything else does not.
                bool ok = false;
                const double marca = gUtilidades().ValorCampo(usaefc).trimmed().toDouble(&ok);
                const bool emite = (usaefc.type() == ValueType::Boolean && usaefc.toBool())
                    || (ok && (marca == 1 || marca == -1));
                if (emite && !ruta.isEmpty())
                    CarpetaFormularios = ruta;
                else
                    carpetaConfigurada();
            }))
            return salir();

        if (!CarpetaFormularios.isEmpty()) {
            QString nombre;
            if (!pasos.run([&] {
                    nombre = gUtilidades().RutaConBarra(
                                 RutasReporte::carpetaDeLaBase(CarpetaFormularios))
                        + u'e' + NombreBase + QStringLiteral(".RPT");
                }))
                return salir();
            if (!pasos.run([&] {
                    const QDate cpte = gUtilidades().LeeFecha(FechaCpte);
                    const QDate corte = gUtilidades().LeeFecha(FechaQR);
                    if (!cpte.isValid() || !corte.isValid())
                        throw RuntimeError(
                            RuntimeError::TypeMismatch, QStringLiteral("No coinciden los tipos"));
                    // Only the extension: a folder holding ".rpt" in its name stays as it is.
                    if (cpte < corte && terminaEnRpt(nombre))
                        nombre = nombre.left(nombre.size() - 4) + QStringLiteral("_SINQR.RPT");
                }))
                return salir();
            if (!pasos.run([&] {
                    resultado = resolver(nombre);
                    copias(resultado);
                }))
                return salir();
        }
    }

    return salir();
}

} // namespace ArchivosReporte
