#include "platform/PuertoSerie.h"

#include <algorithm>
#include <limits>

#include "platform/LectorIni.h"

namespace PuertosSerie {

QString dispositivo(const QString& seccion, int numero)
{
    const QString porDefecto = QStringLiteral("/dev/ttyS%1").arg(numero - 1);
    const QString leido = gLectorIni()
                              .LeeIni(QStringLiteral("ZR417px.INI"), seccion,
                                  QStringLiteral("COM%1").arg(numero), QString())
                              .trimmed();
    return leido.isEmpty() ? porDefecto : leido;
}

int tiempoDrenado(qint64 pendientes)
{
    // A byte takes ten bit times on an 8N1 line; a small printer also stops to cut and feed, so
    // two seconds more than the bare line time.
    constexpr qint64 Baudios = 9600;
    constexpr qint64 Margen = 2000;
    const qint64 ms = Margen + pendientes * 10 * 1000 / Baudios;
    return static_cast<int>(std::min<qint64>(ms, std::numeric_limits<int>::max()));
}

} // namespace PuertosSerie
