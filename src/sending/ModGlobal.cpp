#include "sending/ModGlobal.h"

#include "platform/RuntimeError.h"

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

} // namespace ModGlobal
