#include "platform/qt/QtFileDialog.h"

#include <algorithm>

#include <QApplication>
#include <QFileDialog>

QStringList QtFileDialog::nameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == u"*.*")
                pattern = QStringLiteral("*");
        }
        // A caption that names its patterns already ("Todos los archivos (*.*)") gets Qt's
        // instead of a second pair after them.
        QString caption = parts[i].trimmed();
        if (caption.endsWith(u')') && caption.lastIndexOf(QLatin1String(" (")) > 0)
            caption.truncate(caption.lastIndexOf(QLatin1String(" (")));
        result.append(caption + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return result;
}

namespace {

std::optional<QStringList> muestra(const OpenFileRequest& request, QFileDialog::FileMode modo)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialFolder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(modo);
    const QStringList filters = QtFileDialog::nameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(
            filters.value(qBound(0, request.filterIndex - 1, int(filters.size()) - 1)));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles();
}

} // namespace

std::optional<QString> QtFileDialog::getOpenFileName(const OpenFileRequest& request)
{
    const std::optional<QStringList> elegidos
        = muestra(request, request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!elegidos)
        return std::nullopt;
    return elegidos->front();
}

std::optional<QStringList> QtFileDialog::getOpenFileNames(const OpenFileRequest& request)
{
    return muestra(request, QFileDialog::ExistingFiles);
}

std::optional<SavedFileChoice> QtFileDialog::getSaveFileName(const SaveFileRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialFolder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = nameFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return SavedFileChoice { dialog.selectedFiles().front(),
        int(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter()))) + 1 };
}
