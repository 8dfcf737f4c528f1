#pragma once

#include <utility>
#include <vector>

#include <QFont>
#include <QString>

#include "reportengine/ReportDefinition.h"

// Maps the Windows font names that definitions carry to fonts installed here: the Liberation
// families are metric-compatible with Arial, Times New Roman and Courier New, so columns keep
// their widths; other sans, serif and fixed fonts fall back to the nearest DejaVu or Liberation
// family. A definition's own <substitute> entries are consulted first.
class FontSubstitution
{
public:
    FontSubstitution() = default;
    explicit FontSubstitution(std::vector<std::pair<QString, QString>> own);

    // The family to use for `family` (ignoring case); a family with no rule is kept.
    QString family(const QString& family) const;
    // A QFont for painting and measuring: substituted family, size in points, no hinting so the
    // widths measured at layout time are the widths painted on any device.
    QFont font(const FontSpec& spec) const;

private:
    std::vector<std::pair<QString, QString>> m_own;
};
