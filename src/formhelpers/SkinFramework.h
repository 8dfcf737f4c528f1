#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// The skin control of a form: it loads one of the program's looks (a Qt style sheet in the
// "Styles" folder of the program folder) and dresses the windows it is applied to. A form carries
// one, named "SkinFramework1"; the form look creates it when the form has none.
class SkinFramework final : public QObject
{
    Q_OBJECT

public:
    explicit SkinFramework(QObject* parent = nullptr);

    // Loads the look at `path`: a style file, or a folder whose colour scheme `schemeName` is the
    // style file (the file name matched ignoring case, like every name of the program folder).
    // Raises RuntimeError 53 when the file is missing or unreadable; the look loaded before stays.
    void LoadSkin(const QString& path, const QString& schemeName);

    // Dresses `window` and everything inside it with the loaded look; with no look loaded the
    // window gets the plain look back.
    void ApplyWindow(QWidget* window);

    // Option bits the callers set (the form look adds 1). Our style sheets reach every child of a
    // dressed window anyway, so no bit changes what ApplyWindow does.
    int ApplyOptions() const { return m_applyOptions; }
    void setApplyOptions(int options) { m_applyOptions = options; }

    // The style sheet loaded last ("" before any) and the file it came from.
    const QString& styleSheet() const { return m_styleSheet; }
    const QString& styleFile() const { return m_styleFile; }

private:
    QString m_styleSheet;
    QString m_styleFile;
    int m_applyOptions = 0;
};
