#include "tools/ComandosDocumento.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QLineEdit>
#include <QTextStream>

#include "data/DataObjects.h"
#include "formhelpers/FormularioModal.h"
#include "formhelpers/FrmMsgBox.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"
#include "reports/RT_Crystal2.h"
#include "reports/ReportEngineControl.h"
#include "sending/FrmEnviar.h"
#include "services/ConfiguracionGlobal.h"
#include "services/Globales.h"
#include "vouchers/ImprimirComprobante.h"

namespace ComandosDocumento {

namespace {

QString unaLinea(QString texto)
{
    texto.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
    texto.replace(u'\n', QStringLiteral(" / "));
    return texto;
}

void imprimeCampos(FrmEnviar& f, QTextStream& salida)
{
    salida << "FrmEnviar | De=" << f.texto(QStringLiteral("De"))
           << "; Para=" << f.texto(QStringLiteral("Para"))
           << "; Asunto=" << f.texto(QStringLiteral("Asunto"))
           << "; Adjuntos=" << f.control<QLineEdit>("txtAttach")->text()
           << "; Mensaje=" << unaLinea(f.texto(QStringLiteral("Mensaje"))) << Qt::endl;
}

// Nobody is at the command line to send a shown sender: what it held is printed and it is left
// unsent. Timed notices are printed too.
class ModalImpreso final : public FormularioModal
{
public:
    explicit ModalImpreso(QTextStream& salida)
        : m_salida(salida)
    {
    }
    int muestra(QDialog& form) override
    {
        if (auto* aviso = qobject_cast<FrmMsgBox*>(&form))
            m_salida << unaLinea(aviso->Titulo) << " | " << unaLinea(aviso->Mensaje) << Qt::endl;
        else if (auto* emisor = qobject_cast<FrmEnviar*>(&form))
            imprimeCampos(*emisor, m_salida);
        return QDialog::Rejected;
    }

private:
    QTextStream& m_salida;
};

QString valor(const QHash<QString, QStringList>& valores, const char* nombre)
{
    return valores.value(QString::fromLatin1(nombre)).value(0);
}

bool bandera(const QHash<QString, QStringList>& valores, const char* nombre)
{
    return valores.contains(QString::fromLatin1(nombre));
}

// What voucher printing needs of the program's start-up.
void preparaImpresion()
{
    // Amounts follow the user's region; one that names none writes them as the program's home
    // region does.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    // Voucher printing reads the database through the program's connection text.
    gGlobales().gCadenaODBC = QStringLiteral("DSN=%1; UID=; PWD=").arg(gDB().gDBName);
    CargaConfiguracionGlobal(programFolder() + u'/');
}

int documento(const QHash<QString, QStringList>& valores,
    const std::function<void(FrmEnviar&)>& prepara, const std::function<bool()>& registro,
    QTextStream& salida)
{
    preparaImpresion();
    ModalImpreso modal(salida);
    const ScopedService<FormularioModal> modalServicio(modal);

    // The screen's previews are written as PDF files into a folder of their own.
    const bool pantalla = bandera(valores, "--pantalla");
    auto* control = dynamic_cast<ReportEngineControl*>(Service<ReportControl>::tryGet());
    QString capturas;
    if (pantalla && control) {
        capturas = gUtilidades().RutaConBarra(temporaryFolder()) + QStringLiteral("PANTALLA-")
            + Now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QDir().mkpath(capturas);
        control->capturaEn(capturas);
    }

    FrmEnviar f;
    prepara(f);
    const int faltantesAntes = ImpresionCpte::FormulariosNoEncontrados();
    QString cuenta = valor(valores, "--cuenta");
    f.VerificaeMail(cuenta, valor(valores, "--tc"), valor(valores, "--id"), pantalla,
        bandera(valores, "--forzar"), valor(valores, "--para"));

    salida << "carpeta: " << f.carpetaDocumento() << Qt::endl;
    salida << "adjuntos: " << f.archAdjunto << Qt::endl;
    if (!capturas.isEmpty()) {
        salida << "pantalla: " << capturas << Qt::endl;
        for (const QString& c : control->capturas())
            salida << "  " << QString(c).replace(u'\t', u' ') << Qt::endl;
        control->capturaEn(QString());
    }
    const bool ok = registro();
    // A form not found leaves its part of the document unwritten, on the screen as well.
    if (ImpresionCpte::FormulariosNoEncontrados() > faltantesAntes)
        return 1;
    return ok || pantalla ? 0 : 1;
}

int especial(const QHash<QString, QStringList>& valores,
    const std::function<void(FrmEnviar&)>& prepara, QTextStream& salida)
{
    FrmEnviar f;
    prepara(f);
    try {
        f.EnviarMail_Especial(valor(valores, "--cuenta"), valor(valores, "--archivo"));
    } catch (const RuntimeError& error) {
        salida << "Error " << error.number() << " | " << error.description() << Qt::endl;
        return 1;
    }
    imprimeCampos(f, salida);
    return 0;
}

int enlace(const QHash<QString, QStringList>& valores,
    const std::function<void(FrmEnviar&)>& prepara, QTextStream& salida)
{
    preparaImpresion();
    FrmEnviar f;
    prepara(f);
    if (bandera(valores, "--documentos"))
        f.setServidorDocumentos(valor(valores, "--documentos"));
    const QString id = valor(valores, "--id");
    f.TC = valor(valores, "--tc");
    f.IdComprobante = id;
    f.Cuenta = valor(valores, "--cuenta");
    if (bandera(valores, "--para"))
        f.setTexto(QStringLiteral("Para"), valor(valores, "--para"));
    const bool cambiar = bandera(valores, "--cambiar");
    try {
        f.ObtenerLink(id.mid(0, 4), id.mid(4, 8), id.mid(12, 1), cambiar);
    } catch (const RuntimeError& error) {
        salida << "Error " << error.number() << " | " << error.description() << Qt::endl;
        return 1;
    }
    salida << "mensaje: " << unaLinea(f.texto(QStringLiteral("Mensaje"))) << Qt::endl;
    if (!cambiar) {
        salida << "adjuntos: " << f.control<QLineEdit>("txtAttach")->text() << Qt::endl;
        salida << "subida: " << f.LinkDocumento << Qt::endl;
    }
    return cambiar || f.LinkDocumento.startsWith(QLatin1String("https://")) ? 0 : 1;
}

int exportar(const QStringList& posicionales, QTextStream& salida)
{
    const QString destino = posicionales.at(1);
    QFile::remove(destino);
    RT_Crystal2::ExportarArchivo(posicionales.at(0), destino, posicionales.at(2).toInt());
    const bool escrito = QFileInfo(destino).isFile();
    salida << (escrito ? "escrito: " : "no escrito: ") << destino << Qt::endl;
    return escrito ? 0 : 1;
}

} // namespace

const char* uso()
{
    return "       documento --tc TC --id ID [--cuenta CUENTA] [--forzar] [--para DIRECCIONES] "
           "[--pantalla] | especial --cuenta CUENTA --archivo ARCHIVO | "
           "exportar ORIGEN DESTINO CODIGO | enlace --tc PR --id ID --cuenta CUENTA [--para A] "
           "[--cambiar] [--documentos SERVIDOR:PUERTO]";
}

const QStringList& comandos()
{
    static const QStringList lista = { QStringLiteral("documento"), QStringLiteral("especial"),
        QStringLiteral("exportar"), QStringLiteral("enlace") };
    return lista;
}

const QStringList& opciones()
{
    static const QStringList lista = { QStringLiteral("--id"), QStringLiteral("--archivo") };
    return lista;
}

const QStringList& banderas()
{
    static const QStringList lista
        = { QStringLiteral("--forzar"), QStringLiteral("--pantalla"), QStringLiteral("--cambiar") };
    return lista;
}

bool completo(const QString& comando, const QHash<QString, QStringList>& valores,
    const QStringList& posicionales)
{
    const auto hay = [&](const char* nombre) { return !valor(valores, nombre).isEmpty(); };
    if (comando == u"documento")
        return hay("--tc") && hay("--id");
    if (comando == u"enlace")
        return hay("--tc") && hay("--id") && hay("--cuenta");
    if (comando == u"especial")
        return hay("--cuenta") && hay("--archivo");
    if (comando == u"exportar") {
        bool numero = false;
        return posicionales.size() == 3 && (posicionales.at(2).toInt(&numero), numero);
    }
    return true;
}

int ejecuta(const QString& comando, const QHash<QString, QStringList>& valores,
    const QStringList& posicionales, const std::function<void(FrmEnviar&)>& prepara,
    const std::function<bool()>& registro, QTextStream& salida)
{
    if (comando == u"documento")
        return documento(valores, prepara, registro, salida);
    if (comando == u"especial")
        return especial(valores, prepara, salida);
    if (comando == u"enlace")
        return enlace(valores, prepara, salida);
    return exportar(posicionales, salida);
}

} // namespace ComandosDocumento
