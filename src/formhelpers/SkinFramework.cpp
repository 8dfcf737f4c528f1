#include "formhelpers/SkinFramework.h"

#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include "platform/FileNames.h"
#include "platform/RuntimeError.h"

SkinFramework::SkinFramework(QObject* parent)
    : QObject(parent)
{
}

void SkinFramework::LoadSkin(const QString& path, const QString& schemeName)
{
    QString file = FileNames::resolve(path);
    // A look kept as a folder names its colour scheme; the scheme file is the style sheet.
    if (QFileInfo(file).isDir())
        file = FileNames::inFolder(file, schemeName);

    QFile styles(file);
    if (!QFileInfo(file).isFile() || !styles.open(QIODevice::ReadOnly))
        throw RuntimeError(RuntimeError::FileNotFound, QStringLiteral("File not found"),
            QStringLiteral("SkinFramework"));
    m_styleSheet = QString::fromUtf8(styles.readAll());
    m_styleFile = file;
}

void SkinFramework::ApplyWindow(QWidget* window)
{
    if (window)
        window->setStyleSheet(m_styleSheet);
}
