#include "windows/IgnoredFoldersModel.h"

#include <QMimeData>
#include <QUrl>

#include <algorithm>

IgnoredFoldersModel::IgnoredFoldersModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void IgnoredFoldersModel::setPaths(const QStringList &paths)
{
    beginResetModel();
    m_paths = paths;
    endResetModel();
}

void IgnoredFoldersModel::appendPaths(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    beginInsertRows({}, int(m_paths.size()), int(m_paths.size() + paths.size() - 1));
    m_paths.append(paths);
    endInsertRows();
}

void IgnoredFoldersModel::removePathsAt(QList<int> rows)
{
    // From the last row up, so the rows still to go keep their indexes.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const int row : std::as_const(rows)) {
        if (row < 0 || row >= m_paths.size())
            continue;
        beginRemoveRows({}, row, row);
        m_paths.removeAt(row);
        endRemoveRows();
    }
}

QStringList IgnoredFoldersModel::localFilePaths(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    QStringList paths;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        paths.append(url.toLocalFile());
    }
    return paths;
}

int IgnoredFoldersModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_paths.size());
}

QVariant IgnoredFoldersModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_paths.at(index.row());
    return {};
}

Qt::ItemFlags IgnoredFoldersModel::flags(const QModelIndex &index) const
{
    // Drops land on the table as a whole, never on a row.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QStringList IgnoredFoldersModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

Qt::DropActions IgnoredFoldersModel::supportedDropActions() const
{
    return Qt::CopyAction;
}

bool IgnoredFoldersModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int,
                                          int, const QModelIndex &) const
{
    if (action != Qt::CopyAction)
        return false;
    const QStringList paths = localFilePaths(data);
    if (paths.isEmpty())
        return false;
    return !m_dropRule || std::all_of(paths.cbegin(), paths.cend(), m_dropRule);
}

bool IgnoredFoldersModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row,
                                       int column, const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    emit pathsDropped(localFilePaths(data));
    return true;
}
