#include "platform/AdoTypes.h"

AdoTypeClass adoTypeClass(int adoType)
{
    switch (adoType) {
    case adBoolean:
        return AdoTypeClass::Boolean;
    case adDate:
    case adDBDate:
    case adDBTimeStamp:
        return AdoTypeClass::Date;
    case adBSTR:
    case adChar:
    case adWChar:
    case adVarChar:
    case adLongVarChar:
    case adVarWChar:
    case adLongVarWChar:
        return AdoTypeClass::Text;
    case adSmallInt:
    case adInteger:
    case adSingle:
    case adDouble:
    case adCurrency:
    case adDecimal:
    case adTinyInt:
    case adUnsignedTinyInt:
    case adBigInt:
    case adNumeric:
        return AdoTypeClass::Number;
    default:
        return AdoTypeClass::Other;
    }
}
