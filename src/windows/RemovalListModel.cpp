#include "windows/RemovalListModel.h"

#include "controls/ResultsNotifications.h"
#include "platform/NotificationCenter.h"
#include "platform/gui/FileIconProvider.h"
#include "removal/KMHSFileRemover.h"
#include "scanning/RQFile.h"
#include "windows/DuplicateDetailsModel.h"
#include "windows/RemovalRowMessage.h"

#include <QApplication>
#include <QStyle>

#include <algorithm>

using namespace Qt::StringLiterals;

RemovalListModel::RemovalListModel(FileList files, QObject *parent)
    : QAbstractListModel(parent), m_files(std::move(files))
{
}

int RemovalListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_files.size());
}

QString RemovalListModel::displayPath(const RQFile &file)
{
    QString path = file.path();
    if (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

bool RemovalListModel::hasFailed(const RQFile &file) const
{
    return m_errors.contains(KMHSFileRemover::errorKeyForFile(file));
}

QString RemovalListModel::messageForFile(const RQFile &file) const
{
    const auto found = m_errors.constFind(KMHSFileRemover::errorKeyForFile(file));
    return found == m_errors.constEnd() ? QString() : removalRowMessage(*found);
}

QVariant RemovalListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const auto &file = m_files[std::size_t(index.row())];
    const bool failed = hasFailed(*file);
    switch (role) {
    case Qt::DisplayRole:
    case FileNameRole:
        return displayPath(*file);
    case Qt::AccessibleTextRole:
        return failed ? u"%1, %2"_s.arg(displayPath(*file), messageForFile(*file)) : displayPath(*file);
    case Qt::DecorationRole:
        return failed ? QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning)
                      : FileIconProvider::iconForFile(file->path());
    // The row's subtitle line: the file's creation date, as in the results, or once it failed
    // the failure's message, which is also the tip (the line may be elided).
    case CreationDateTextRole:
        return failed ? messageForFile(*file) : DuplicateDetailsModel::creationDateText(file->creationDate());
    case Qt::ToolTipRole:
        return messageForFile(*file);
    case FileRole:
        return QVariant::fromValue(file);
    case FileSizeRole:
        return file->fileSize();
    case IsSelectedRole:
        return file->isSelected();
    case Qt::CheckStateRole:
        return file->isSelected() ? Qt::Checked : Qt::Unchecked;
    case HasIssueRole:
        return failed;
    default:
        return {};
    }
}

Qt::ItemFlags RemovalListModel::flags(const QModelIndex &index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (!hasFailed(*m_files[std::size_t(index.row())]))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool RemovalListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !flags(index).testFlag(Qt::ItemIsUserCheckable))
        return false;
    const auto &file = m_files[std::size_t(index.row())];
    file->setSelected(value.value<Qt::CheckState>() != Qt::Unchecked);
    emit dataChanged(index, index, {Qt::CheckStateRole, IsSelectedRole});
    NotificationCenter::defaultCenter().post(RQDidToggleSelectedNotification, file.get());
    return true;
}

bool RemovalListModel::hasSelectedFile() const
{
    return std::any_of(m_files.begin(), m_files.end(), [](const auto &file) { return file->isSelected(); });
}

RemovalListModel::FileList RemovalListModel::selectedFiles() const
{
    FileList selected;
    std::copy_if(m_files.begin(), m_files.end(), std::back_inserter(selected),
                 [](const auto &file) { return file->isSelected(); });
    return selected;
}

void RemovalListModel::showFailures(const KMHSErrorDictionary &errors)
{
    beginResetModel();
    m_errors = errors;
    std::erase_if(m_files, [this](const auto &file) { return !hasFailed(*file); });
    // What could not go is no longer one to remove: its box is off, and disabled.
    for (const auto &file : m_files)
        file->setSelected(false);
    endResetModel();
    // Each mark is told as a tick is, so that the totals made from the ticks follow.
    for (const auto &file : m_files)
        NotificationCenter::defaultCenter().post(RQDidToggleSelectedNotification, file.get());
}
