#include "sending/EnvioWhatsapp.h"

#include <QUrl>

namespace EnvioWhatsapp {

QString componeMensaje(const QString& mensaje, const QString& asunto, const QString& links)
{
    const QString crlf = QStringLiteral("\r\n");
    QString texto = mensaje.trimmed().isEmpty() ? QString() : mensaje + crlf;
    // The cash-balance report's body is a table; only its subject and link make sense in a chat.
    if (texto.contains(QLatin1String("SALDO CONSOLIDADO DE CAJA ")))
        texto.clear();
    // The mail's anchors ("<a href='link'> 'legend' </a>.") keep only their link and legend.
    for (const char* marca : { "<a href='", "'> '", "'>", "' </a>.", "' </a>.", "</a>." })
        texto.remove(QLatin1String(marca), Qt::CaseInsensitive);
    const QString leyenda = QStringLiteral("LINK PARA VISUALIZAR Y FIRMAR NUESTRA PROPUESTA, AQUI");
    texto.replace(leyenda, leyenda + crlf);
    if (!texto.trimmed().isEmpty())
        texto += QStringLiteral(" ") + crlf;
    texto += crlf + asunto.trimmed();
    if (!links.isEmpty())
        texto += crlf + crlf + QStringLiteral("Link del documento : ") + links.trimmed();
    return texto + crlf;
}

QString numero(const QString& tecleado)
{
    // Only digits go into the address: anything else typed there would reach the query raw.
    QString n;
    for (const QChar c : tecleado) {
        if (c >= u'0' && c <= u'9')
            n += c;
    }
    if (!n.startsWith(QLatin1String("549")))
        n.prepend(QStringLiteral("549"));
    return u'+' + n;
}

QString direccion(const QString& host, const QString& numero, const QString& texto)
{
    QString lineas = texto;
    lineas.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return QStringLiteral("https://") + host.trimmed() + QStringLiteral("/send?phone=") + numero
        + QStringLiteral("&text=") + QString::fromLatin1(QUrl::toPercentEncoding(lineas));
}

} // namespace EnvioWhatsapp
