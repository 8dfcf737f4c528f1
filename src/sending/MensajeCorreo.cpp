#include "sending/MensajeCorreo.h"

#include <QFile>
#include <QFileInfo>

#include "platform/FileNames.h"
#include "platform/Utilidades.h"
#include "sending/eMailAux.h"

namespace MensajeCorreo {

namespace {

QStringList piezas(const QString& lista)
{
    QStringList resultado;
    for (const QString& pieza : lista.split(u';')) {
        if (!pieza.trimmed().isEmpty())
            resultado << pieza.trimmed();
    }
    return resultado;
}

bool legible(const QString& ruta)
{
    QFile archivo(FileNames::resolve(ruta));
    return QFileInfo(archivo).isFile() && archivo.open(QIODevice::ReadOnly);
}

} // namespace

bool esDireccion(const QString& texto)
{
    const qsizetype arroba = texto.indexOf(u'@');
    if (arroba <= 0 || arroba != texto.lastIndexOf(u'@') || arroba == texto.size() - 1)
        return false;
    for (const QChar c : texto) {
        if (c.isSpace() || c.category() == QChar::Other_Control || c == u'<' || c == u'>'
            || c == u',' || c == u';' || c == u'"' || c == u'(' || c == u')')
            return false;
    }
    return true;
}

Revision revisa(
    const QString& de, const QString& emailDe, const QString& para, const QString& adjuntos)
{
    Revision r;
    const auto problema = [&](Problema p, const QString& item) {
        r.problema = p;
        r.item = item;
        return r;
    };

    if (de.contains(u'@')) {
        if (!esDireccion(de.trimmed()))
            return problema(Problema::Remitente, de);
        r.responderA = de.trimmed();
    } else if (emailDe.trimmed().isEmpty()) {
        return problema(Problema::Remitente, QString());
    } else if (!esDireccion(emailDe.trimmed())) {
        return problema(Problema::Remitente, emailDe.trimmed());
    } else {
        r.responderA = emailDe.trimmed();
    }

    r.destinatarios = piezas(para);
    if (r.destinatarios.isEmpty())
        return problema(Problema::Destinatarios, para);
    for (const QString& d : std::as_const(r.destinatarios)) {
        if (!esDireccion(d))
            return problema(Problema::Destinatarios, d);
    }

    for (const QString& a : piezas(adjuntos)) {
        if (!legible(a))
            return problema(Problema::Adjuntos, a);
        r.adjuntos << FileNames::resolve(a);
    }
    return r;
}

QString nombraItem(const QString& item)
{
    return item.trimmed().isEmpty() ? QString() : QStringLiteral("\r\n") + item.trimmed();
}

QString sinAcentos(QString html)
{
    static const QString acentos = QStringLiteral("áéíóú");
    static const QString vocales = QStringLiteral("aeiou");
    for (int i = 0; i < acentos.size(); ++i) {
        html.replace(acentos[i], vocales[i], Qt::CaseInsensitive);
    }
    return html;
}

Cuerpos cuerpos(const QString& mensaje)
{
    QString copia = mensaje;
    const QString html = sinAcentos(eMailAux::TextoAHtml(copia));
    return { gUtilidades().LimpiaTexto(mensaje), gUtilidades().LimpiaTexto(html) };
}

bool enlazaAdjuntos(const QString& servidorTipo)
{
    return servidorTipo.trimmed().compare(QLatin1String("Otro"), Qt::CaseInsensitive) == 0;
}

Cuerpos cuerposOcultos(const QString& mensaje, const QString& servidorTipo, const QString& enlace)
{
    if (!enlazaAdjuntos(servidorTipo))
        return { mensaje, mensaje };
    if (enlace.trimmed().isEmpty())
        return cuerpos(mensaje);
    const QString texto = QStringLiteral("Adjunto link con la informacion: ") + enlace;
    return { texto, texto };
}

} // namespace MensajeCorreo
