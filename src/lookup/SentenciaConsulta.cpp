#include "lookup/SentenciaConsulta.h"

namespace {

bool esDePalabra(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

// Where the statement's own clauses start: only words at the outer level count, never a word
// inside a literal, a quoted or bracketed name, a comment or a sub-select.
struct Clausulas
{
    qsizetype where = -1;
    qsizetype group = -1;
    qsizetype order = -1;
};

// The index just past the end of what starts at `i` when it is a literal, a quoted name or a
// comment; `i` itself otherwise.
qsizetype saltaCitado(const QString& s, qsizetype i)
{
    const qsizetype n = s.size();
    const QChar c = s.at(i);
    const QChar sig = i + 1 < n ? s.at(i + 1) : QChar();
    if (c == u'\'' || c == u'"') {
        for (qsizetype j = i + 1; j < n; ++j) {
            if (s.at(j) == c) {
                if (j + 1 < n && s.at(j + 1) == c) { // a doubled quote stays inside
                    ++j;
                    continue;
                }
                return j + 1;
            }
        }
        return n;
    }
    if (c == u'[') {
        const qsizetype fin = s.indexOf(u']', i + 1);
        return fin < 0 ? n : fin + 1;
    }
    if (c == u'-' && sig == u'-') {
        const qsizetype fin = s.indexOf(u'\n', i + 2);
        return fin < 0 ? n : fin + 1;
    }
    if (c == u'/' && sig == u'*') {
        const qsizetype fin = s.indexOf(QLatin1String("*/"), i + 2);
        return fin < 0 ? n : fin + 2;
    }
    return i;
}

Clausulas buscaClausulas(const QString& s)
{
    Clausulas encontradas;
    const qsizetype n = s.size();
    int nivel = 0;
    qsizetype i = 0;
    const auto palabraEn = [&](qsizetype desde, qsizetype& fin) {
        fin = desde;
        while (fin < n && esDePalabra(s.at(fin)))
            ++fin;
        return s.mid(desde, fin - desde);
    };
    while (i < n) {
        const qsizetype salto = saltaCitado(s, i);
        if (salto != i) {
            i = salto;
            continue;
        }
        const QChar c = s.at(i);
        if (c == u'(') {
            ++nivel;
        } else if (c == u')') {
            --nivel;
        } else if (nivel == 0 && esDePalabra(c) && (i == 0 || !esDePalabra(s.at(i - 1)))) {
            qsizetype fin = i;
            const QString palabra = palabraEn(i, fin);
            const auto es = [&](const char* p) {
                return palabra.compare(QLatin1String(p), Qt::CaseInsensitive) == 0;
            };
            if (es("where") && encontradas.where < 0) {
                encontradas.where = i;
            } else if (es("group") || es("order")) {
                qsizetype j = fin;
                while (j < n && s.at(j).isSpace())
                    ++j;
                qsizetype finBy = j;
                if (palabraEn(j, finBy).compare(QLatin1String("by"), Qt::CaseInsensitive) == 0) {
                    qsizetype& lugar = es("group") ? encontradas.group : encontradas.order;
                    if (lugar < 0)
                        lugar = i;
                }
            }
            i = fin;
            continue;
        }
        ++i;
    }
    return encontradas;
}

} // namespace

SentenciaConsulta::SentenciaConsulta(const QString& sentencia)
    : m_original(sentencia)
{
    const Clausulas c = buscaClausulas(sentencia);
    // Conditions go in front of a GROUP BY, which stands in front of the ORDER BY.
    const qsizetype corte = c.group >= 0 ? c.group : c.order >= 0 ? c.order : sentencia.size();
    m_cola = sentencia.mid(corte);
    const QString cuerpo = sentencia.left(corte);
    m_conWhere = c.where >= 0 && c.where < corte;
    if (m_conWhere) {
        m_cabeza = cuerpo.left(c.where + 5);
        m_filtro = cuerpo.mid(c.where + 5).trimmed();
    } else {
        m_cabeza = cuerpo;
    }
}

void SentenciaConsulta::agregaCondicion(const QString& condicion)
{
    m_condiciones.append(condicion);
}

QString SentenciaConsulta::texto() const
{
    if (m_condiciones.isEmpty())
        return m_original;
    QString texto = m_cabeza;
    if (m_conWhere)
        // Its own filter in parentheses: an OR in it cannot take rows past the added conditions.
        texto += QStringLiteral(" (") + m_filtro + QStringLiteral(")  and ");
    else
        texto += QStringLiteral(" where ");
    texto += m_condiciones.join(QStringLiteral("  and "));
    return texto + u' ' + m_cola;
}
