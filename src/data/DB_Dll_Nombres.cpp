// The data object's helpers for the names of database objects and files. Text only: nothing here
// touches the connection.

#include "data/DB_Dll.h"

#include <algorithm>

namespace {

RuntimeError argumentoInvalido()
{
    return RuntimeError(
        RuntimeError::InvalidCall, QStringLiteral("Invalid procedure call or argument"));
}

} // namespace

QString DB_Dll::stSTF(QString& rsName, qint16 rnPart)
{
    const qsizetype puntos = rsName.count(u'.');
    if (puntos == 0)
        return rsName;
    if (puntos == 1) {
        const qsizetype punto = rsName.indexOf(u'.');
        return rnPart == 0 ? rsName.left(punto) : rsName.mid(punto + 1);
    }
    // base.owner.table: only the base goes, whichever part was asked for.
    return StripOwner(rsName);
}

QString DB_Dll::AddBrackets(const QString& rObjName)
{
    if (!rObjName.startsWith(u'[') && rObjName.contains(u' '))
        return u'[' + rObjName + u']';
    return rObjName;
}

QString DB_Dll::StripConnect(const QString& rsTblName)
{
    const qsizetype flecha = rsTblName.indexOf(QLatin1String("->"));
    if (flecha < 0)
        return rsTblName;
    // The display form is "name -> connection": the blank before the arrow goes with it, even when
    // there is none ("a->b" loses its last letter, as it always has).
    if (flecha == 0)
        throw argumentoInvalido();
    return rsTblName.left(flecha - 1);
}

QString DB_Dll::StripBrackets(const QString& rsObjName)
{
    if (!rsObjName.startsWith(u'['))
        return rsObjName;
    if (rsObjName.size() < 2)
        throw argumentoInvalido();
    // The last character goes whatever it is: "[abc" gives "ab".
    return rsObjName.mid(1, rsObjName.size() - 2);
}

QString DB_Dll::StripOwner(QString& rsTblName)
{
    const qsizetype punto = rsTblName.indexOf(u'.');
    if (punto >= 0)
        rsTblName = rsTblName.mid(punto + 1);
    return rsTblName;
}

QString DB_Dll::StripFileName(const QString& rsFileName)
{
    // Paths written here use "/", the suite's stored ones "\": either separates.
    const qsizetype barra = std::max(rsFileName.lastIndexOf(u'\\'), rsFileName.lastIndexOf(u'/'));
    return barra > 0 ? rsFileName.left(barra) : QString();
}
