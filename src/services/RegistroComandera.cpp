#include "services/RegistroComandera.h"

#include <array>

#include "platform/Windows1252.h"

namespace {

struct Campo
{
    QString RegistroComandera::*miembro;
    int ancho;
};

// The fields in file order, without gaps.
constexpr std::array<Campo, 17> Campos { {
    { &RegistroComandera::Puesto, 254 },
    { &RegistroComandera::Impresora, 150 },
    { &RegistroComandera::Puerto, 5 },
    { &RegistroComandera::Campo4, 2 },
    { &RegistroComandera::ImprimeEncabezado1, 1 },
    { &RegistroComandera::Encabezado1, 150 },
    { &RegistroComandera::ImprimeEncabezado2, 1 },
    { &RegistroComandera::Encabezado2, 150 },
    { &RegistroComandera::ImprimeNumero, 1 },
    { &RegistroComandera::ImprimeCliente, 1 },
    { &RegistroComandera::ImprimePie, 1 },
    { &RegistroComandera::Pie, 150 },
    { &RegistroComandera::Campo13, 1 },
    { &RegistroComandera::Campo14, 20 },
    { &RegistroComandera::Campo15, 20 },
    { &RegistroComandera::DetallePrecio, 1 },
    { &RegistroComandera::Campo17, 2 },
} };

constexpr int sumaAnchos()
{
    int total = 0;
    for (const Campo& campo : Campos)
        total += campo.ancho;
    return total;
}
static_assert(sumaAnchos() == RegistroComandera::Longitud);

} // namespace

RegistroComandera RegistroComandera::desdeBytes(const QByteArray& bytes)
{
    RegistroComandera registro;
    qsizetype desde = 0;
    for (const Campo& campo : Campos) {
        registro.*campo.miembro = Windows1252::decode(bytes.mid(desde, campo.ancho));
        desde += campo.ancho;
    }
    return registro;
}

QByteArray RegistroComandera::aBytes() const
{
    QByteArray bytes;
    for (const Campo& campo : Campos)
        bytes += Windows1252::encodeFixed(this->*campo.miembro, campo.ancho);
    return bytes;
}
