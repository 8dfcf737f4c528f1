#include "services/ConstructorSentencias.h"

#include <QFile>

#include "data/DataObjects.h"
#include "platform/AdoField.h"
#include "platform/RuntimeError.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "services/Globales.h"

namespace ConstructorSentencias {

namespace {

constexpr auto CI = Qt::CaseInsensitive;
constexpr qint64 Trozo = 1024;

QList<CampoValor>& iniciada(ListaCamposValores& lista)
{
    if (!lista)
        throw RuntimeError(
            RuntimeError::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    return *lista;
}

// "(a,b) VALUES (1,'x')"
QString columnasYValores(const QList<CampoValor>& entradas)
{
    QStringList campos;
    QStringList valores;
    for (const CampoValor& entrada : entradas) {
        campos << entrada.Campo;
        valores << entrada.Valor;
    }
    return u'(' + campos.join(u',') + QStringLiteral(") VALUES (") + valores.join(u',') + u')';
}

} // namespace

void AgregaCampoValor(const QString& Campo, QString& Valor, const QString& Tipo, bool NuevaLista)
{
    ListaCamposValores& lista = gGlobales().gCamposValores;
    if (NuevaLista)
        lista = QList<CampoValor>();
    QList<CampoValor>& entradas = iniciada(lista);

    // The values come from forms and files: an apostrophe is dropped rather than quoted.
    Valor.remove(u'\'');
    const QString valor = Valor.compare(QLatin1String("NULL"), CI) == 0
        ? QStringLiteral("Null")
        : gDB().SQLValue(Value(Valor), Tipo);
    entradas.append({ Campo, valor });
}

void ArmaSentenciaSQL(ListaCamposValores& Lista, QStringList& Sentencias, const QString& Tabla,
    bool EsUpdate, QString& Condicion, bool ConservarLista)
{
    const QList<CampoValor>& entradas = iniciada(Lista);
    QString sentencia;
    if (EsUpdate) {
        QStringList asignaciones;
        for (const CampoValor& entrada : entradas)
            asignaciones << entrada.Campo + QStringLiteral(" = ") + entrada.Valor;
        if (!Condicion.contains(QLatin1String("WHERE"), CI))
            Condicion = QStringLiteral(" WHERE ") + Condicion;
        sentencia = QStringLiteral("UPDATE ") + Tabla + QStringLiteral(" SET ")
            + asignaciones.join(u',') + u' ' + Condicion;
    } else {
        sentencia = QStringLiteral("INSERT INTO ") + Tabla + u' ' + columnasYValores(entradas);
    }
    // The script runner expects the statements separated by empty elements, the list ending in one.
    Sentencias << sentencia << QString();
    if (!ConservarLista)
        Lista = QList<CampoValor> { CampoValor() };
}

void ArmaListaValores(QString& Sentencia, ListaCamposValores& Lista, bool Limpiar)
{
    Sentencia += columnasYValores(iniciada(Lista));
    if (Limpiar)
        Lista.reset();
}

QString AdaptaSQLMotor(const QString& Sql)
{
    if (!gDB().gConnString.contains(QLatin1String("oracle"), CI))
        return Sql;
    if (gUtilidades().ClasificaTexto(Sql) <= 1)
        return Sql.compare(QLatin1String("LEN"), CI) == 0 ? QStringLiteral("LENGTH") : Sql;
    if (!Sql.contains(QLatin1String("top "), CI))
        return Sql;

    const qsizetype top = Sql.indexOf(QLatin1String("top"), 0, CI);
    const QString resto = Sql.mid(top + 3);
    const qsizetype asterisco = resto.indexOf(u'*');
    if (asterisco < 0)
        throw RuntimeError(
            RuntimeError::InvalidCall, QStringLiteral("Invalid procedure call or argument"));
    // The limit keeps its blanks; the ROWNUM test always goes at the very end.
    const QString limite = resto.left(asterisco);
    return Sql.left(top) + QStringLiteral(" * ") + resto.mid(asterisco + 1)
        + QStringLiteral(" WHERE ROWNUM <= ") + limite;
}

bool ContieneApostrofe(const QString& Texto)
{
    return Texto.contains(u'\'');
}

void CargaArchivoEnCampo(AdoField& Campo, const QString& Archivo)
{
    QFile archivo(Archivo);
    if (!archivo.open(QIODevice::ReadOnly))
        return;
    const QByteArray contenido = archivo.readAll();
    archivo.close();
    Steps::silent().run([&] { Campo.setValue(Value(contenido)); });
}

void CargaArchivoEnCampoPorPartes(AdoField& Campo, const QString& Archivo)
{
    QFile archivo(Archivo);
    if (!archivo.open(QIODevice::ReadOnly))
        return;
    const qint64 largo = archivo.size();
    Steps pasos = Steps::silent();
    // The odd piece first, then the whole chunks: the field still gets the file in its order.
    pasos.run([&] { Campo.AppendChunk(Value(archivo.read(largo % Trozo))); });
    for (qint64 i = 0; i < largo / Trozo; ++i)
        pasos.run([&] { Campo.AppendChunk(Value(archivo.read(Trozo))); });
}

} // namespace ConstructorSentencias
