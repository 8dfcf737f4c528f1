#pragma once

#include <QTranslator>

// Qt's own texts that the installed Spanish translation lacks (the file dialog's "Folder" and
// "Drive", the print dialog's "Pages", its refusal of a page list and two-sided printing, the
// printer properties' "Advanced" and conflicts), in Spanish. Installed after Qt's translation, it
// answers only for those; every other text is left to Qt's translation.
class TextosQtFaltantes final : public QTranslator
{
    Q_OBJECT

public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
        int n) const override;
    bool isEmpty() const override { return false; }
};
