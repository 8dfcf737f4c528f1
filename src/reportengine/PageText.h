#pragma once

#include <QString>

#include "reportengine/DisplayList.h"

// The text a Text item shows: its string, with a deferred value put in when the values are
// known and the mark dropped when they are not (as the painter draws it). Empty for items that
// are no text or refer to no string.
QString displayText(
    const PageDisplayList& page, const DisplayItem& item, const DeferredValues* deferred);
