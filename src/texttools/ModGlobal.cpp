#include "texttools/ModGlobal.h"

#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"

namespace ModGlobal {

QString ColorAHtml(const QString& Color)
{
    bool ok = false;
    const qint64 numero = Color.trimmed().toLongLong(&ok);
    if (!ok)
        throw RuntimeError(RuntimeError::TypeMismatch, QStringLiteral("No coinciden los tipos"));
    // A 32-bit colour: negative numbers read as their two's complement, as the suite wrote them.
    const QString hex
        = (QStringLiteral("00000") + QString::number(quint32(qint32(numero)), 16).toUpper())
              .right(6);
    return u'#' + hex.mid(4, 2) + hex.mid(2, 2) + hex.mid(0, 2);
}

void Cuenta_Series_Y_Lotes(const QString& Texto, QStringList& Elementos)
{
    Elementos = QStringList { QString() };
    QString work = Texto.trimmed();
    if (work.startsWith(u'|'))
        work.remove(0, 1);
    qsizetype position = work.indexOf(u'|');
    if (position < 0) {
        if (!work.isEmpty()) {
            Elementos.last() = work.trimmed();
            Elementos.append(QString());
        }
        return;
    }
    for (;;) {
        Elementos.last() = work.left(position).trimmed();
        Elementos.append(QString());
        work = work.mid(position + 1);
        if (work.trimmed().isEmpty())
            return;
        position = work.indexOf(u'|');
        if (position < 0)
            position = work.size();
    }
}

QString Cuenta_Series_Lotes(QString& Lotes, const QString& Series)
{
    Lotes.remove(QChar(0xFF));
    QString result;
    for (const LoteConCantidad& elegido : lotesConCantidad(Lotes, Series))
        result += elegido.lote + u' ';
    return result;
}

QList<LoteConCantidad> lotesConCantidad(const QString& Lotes, const QString& Series)
{
    QStringList amounts;
    QStringList batches;
    Cuenta_Series_Y_Lotes(Series, amounts);
    Cuenta_Series_Y_Lotes(Lotes, batches);
    if (Series.isEmpty() && !Lotes.isEmpty())
        amounts = QStringList(batches.size(), QString());

    const Utilidades& util = gUtilidades();
    QList<LoteConCantidad> result;
    for (qsizetype i = 0; i < batches.size(); ++i) {
        if (i >= amounts.size())
            continue;
        Currency amount;
        try {
            amount = util.ValorMoneda(amounts.at(i));
        } catch (const RuntimeError&) {
            // A batch list written by hand may carry a word where the amount goes: such a batch
            // is not printed, and the voucher still is.
            continue;
        }
        if (amount > Currency())
            result.append({ batches.at(i), amounts.at(i) });
    }
    return result;
}

QString textoLotesConCantidad(const QList<LoteConCantidad>& lotes)
{
    QStringList partes;
    for (const LoteConCantidad& l : lotes) {
        if (!l.lote.trimmed().isEmpty())
            partes << l.lote.trimmed() + QStringLiteral(": ") + l.cantidad.trimmed();
    }
    return partes.join(QStringLiteral(", "));
}

QString ConvierteAcentosRTF(QString& Texto)
{
    Texto.replace(QStringLiteral("\\e1"), QStringLiteral("á"), Qt::CaseInsensitive);
    Texto.replace(QStringLiteral("\\e9"), QStringLiteral("é"), Qt::CaseInsensitive);
    Texto.replace(QStringLiteral("\\ed"), QStringLiteral("í"), Qt::CaseInsensitive);
    Texto.replace(QStringLiteral("\\f3"), QStringLiteral("ó"), Qt::CaseInsensitive);
    Texto.replace(QStringLiteral("ú"), QStringLiteral("u"), Qt::CaseInsensitive);
    return Texto;
}

} // namespace ModGlobal
