#include "platform/gui/ShouldEnableProxyModel.h"

#include <QFileSystemModel>

ShouldEnableProxyModel::ShouldEnableProxyModel(ShouldEnable shouldEnable, QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_shouldEnable(std::move(shouldEnable))
{
}

bool ShouldEnableProxyModel::shouldEnable(const QString &path) const
{
    return !m_shouldEnable || m_shouldEnable(path);
}

Qt::ItemFlags ShouldEnableProxyModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QSortFilterProxyModel::flags(index);
    if (!index.isValid())
        return flags;
    const QString path = index.data(QFileSystemModel::FilePathRole).toString();
    if (shouldEnable(path))
        return flags;
    return flags & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}
