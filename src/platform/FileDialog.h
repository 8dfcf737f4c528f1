#pragma once

#include <optional>

#include <QString>
#include <QStringList>

// What the file-open dialog is asked for.
struct OpenFileRequest
{
    QString title;
    // Pairs of description and pattern joined by "|", as the program writes them:
    // "Imagenes|*.jpg;*.png|Todos|*.*".
    QString filter;
    // The pair offered first, counting from 1.
    int filterIndex = 1;
    // Only existing files may be chosen.
    bool mustExist = true;
    // Folder the dialog opens in; empty for the last one used.
    QString initialFolder;
};

// What the file-save dialog is asked for.
struct SaveFileRequest
{
    QString title;
    // Pairs of description and pattern joined by "|", as in OpenFileRequest.
    QString filter;
    // Folder the dialog opens in; empty for the last one used.
    QString initialFolder;
};

// The name typed or chosen in the file-save dialog and the filter pair it was left on.
struct SavedFileChoice
{
    QString path;
    int filterIndex = 1; // counting from 1
};

// The file-open and file-save dialogs. Reached through Service<FileDialog>; tests script the
// choice.
class FileDialog
{
public:
    virtual ~FileDialog() = default;

    // Shows the open dialog. Returns the chosen file's full path, or nothing when the operator
    // cancelled.
    virtual std::optional<QString> getOpenFileName(const OpenFileRequest& request) = 0;

    // The same dialog allowing several files. Returns the chosen files' full paths, in the order
    // the dialog gives them, or nothing when the operator cancelled.
    virtual std::optional<QStringList> getOpenFileNames(const OpenFileRequest& request) = 0;

    // Shows the save dialog (it asks before replacing a file). Returns the path as typed there
    // (no extension added) and the filter chosen, or nothing when the operator cancelled.
    virtual std::optional<SavedFileChoice> getSaveFileName(const SaveFileRequest& request) = 0;
};
