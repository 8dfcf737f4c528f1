#include "platform/qt/FechasDialogoArchivo.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace {

class FechasLocales final : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* archivos = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!archivos || role != Qt::DisplayRole)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex origen = mapToSource(index);
        // The model's columns: name, size, type, date modified.
        if (index.column() == 3)
            return QLocale().toString(archivos->lastModified(origen), QLocale::ShortFormat);
        if (index.column() == 1 && !archivos->isDir(origen))
            return QLocale().formattedDataSize(archivos->size(origen));
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

bool FechasDialogoArchivo::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Polish) {
        auto* dialogo = qobject_cast<QFileDialog*>(watched);
        if (dialogo && !dialogo->proxyModel())
            dialogo->setProxyModel(new FechasLocales(dialogo));
    }
    return QObject::eventFilter(watched, event);
}
