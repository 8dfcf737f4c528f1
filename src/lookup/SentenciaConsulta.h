#pragma once

#include <QString>
#include <QStringList>

// A lookup's statement kept in its parts, so that what the operator types can only ever narrow
// it: the statement as the lookup was given it (its head up to its own filter, that filter, and
// its ORDER BY or GROUP BY tail, found outside quotes, brackets, comments and parentheses) and
// the conditions added since. The text is rebuilt from the parts; it is never searched again.
class SentenciaConsulta
{
public:
    SentenciaConsulta() = default;
    explicit SentenciaConsulta(const QString& sentencia);

    // Adds one condition, ANDed with the statement's own filter and the earlier conditions. The
    // caller builds it from a column name and ConsultasDatos::literal() of the typed text.
    void agregaCondicion(const QString& condicion);

    // The statement: its own filter kept whole in parentheses, then the added conditions, then
    // the tail. With no condition added, the statement as given.
    QString texto() const;

    // The statement as given.
    const QString& original() const { return m_original; }

private:
    QString m_original;
    QString m_cabeza; // up to and including its own WHERE, or the whole head when it has none
    QString m_filtro; // its own filter, without the WHERE
    QString m_cola; // from its own GROUP BY or ORDER BY to the end
    bool m_conWhere = false;
    QStringList m_condiciones;
};
