#pragma once

#include "platform/FileDialog.h"

// The file-open and file-save dialogs on QFileDialog.
class QtFileDialog final : public FileDialog
{
public:
    std::optional<QString> getOpenFileName(const OpenFileRequest& request) override;
    std::optional<QStringList> getOpenFileNames(const OpenFileRequest& request) override;
    std::optional<SavedFileChoice> getSaveFileName(const SaveFileRequest& request) override;

    // "Imagenes|*.jpg;*.png|Todos|*.*" as Qt's name filters: "Imagenes (*.jpg *.png)", "Todos (*)".
    static QStringList nameFilters(const QString& filter);
};
