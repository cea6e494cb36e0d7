#include "windows/DuplicateDetailsModel.h"

#include "platform/NotificationCenter.h"
#include "scanning/RQDirectory.h"
#include "scanning/RQDuplicateFiles.h"
#include "scanning/RQFile.h"
#include "windows/DuplicateGroupsModel.h"
#include "controls/ResultsNotifications.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <limits>
#include <tuple>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

QString folderOf(const QString &path)
{
    // A folder's trailing "/" is not a component of its own.
    QStringView trimmed(path);
    if (trimmed.endsWith(u'/'))
        trimmed.chop(1);
    const qsizetype slash = trimmed.lastIndexOf(u'/');
    if (slash < 0)
        return {};
    return slash == 0 ? u"/"_s : trimmed.first(slash).toString();
}

// Orders the entries by a key each, ties in member order. The keys are made once into a
// contiguous list, so that a list of every member sorts in well under a second.
template<typename Key>
void orderByKey(std::vector<DuplicateDetailsModel::Entry> &entries, const Key &keyOf)
{
    using Value = decltype(keyOf(entries.front()));
    std::vector<std::tuple<Value, int, std::size_t>> keys;
    keys.reserve(entries.size());
    for (std::size_t index = 0; index < entries.size(); ++index)
        keys.emplace_back(keyOf(entries[index]), entries[index].memberOrder, index);
    std::sort(keys.begin(), keys.end());
    std::vector<DuplicateDetailsModel::Entry> ordered;
    ordered.reserve(entries.size());
    for (const auto &key : keys)
        ordered.push_back(std::move(entries[std::get<2>(key)]));
    entries = std::move(ordered);
}

// Order by creation date, undated entries last in both directions.
void orderByCreationDate(std::vector<DuplicateDetailsModel::Entry> &entries, bool ascending)
{
    constexpr qint64 undated = std::numeric_limits<qint64>::max();
    orderByKey(entries, [ascending](const DuplicateDetailsModel::Entry &entry) {
        const QDateTime date = entry.file->creationDate();
        const qint64 msecs = date.isValid() ? date.toMSecsSinceEpoch() : undated;
        return ascending || msecs == undated ? msecs : -msecs;
    });
}

// Unticked first when ascending, ticked first when descending.
void orderByTick(std::vector<DuplicateDetailsModel::Entry> &entries, bool ascending)
{
    orderByKey(entries, [ascending](const DuplicateDetailsModel::Entry &entry) {
        return entry.file->isSelected() == ascending;
    });
}

// The outermost ticked folder above the file: the removal takes the file along with it.
QString coveringFolderPath(const RQFile &file)
{
    QString covering;
    for (auto folder = file.parent(); folder; folder = folder->parent()) {
        if (folder->isSelected())
            covering = folder->path();
    }
    return covering;
}

} // namespace

DuplicateDetailsModel::DuplicateDetailsModel(DuplicateGroupsModel *groups, QObject *parent)
    : QAbstractTableModel(parent), m_groups(groups)
{
}

int DuplicateDetailsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int DuplicateDetailsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DuplicateDetailsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return {};
    const Entry &entry = m_entries[index.row()];
    const RQFile &file = *entry.file;
    switch (role) {
    case Qt::CheckStateRole:
        if (index.column() != TickColumn)
            return {};
        return file.isSelected() ? Qt::Checked : Qt::Unchecked;
    case Qt::DisplayRole:
        return index.column() == FileColumn ? QVariant(file.fileName()) : QVariant();
    case Qt::AccessibleTextRole:
    case FileNameRole:
        return file.fileName();
    case FileRole:
        return QVariant::fromValue(entry.file);
    case GroupRowRole:
        return entry.groupRow;
    case FolderPathRole:
        return folderOf(file.path());
    case FileSizeRole:
        return file.fileSize();
    case CreationDateRole:
        return file.creationDate();
    case CreationDateTextRole:
        return creationDateText(file.creationDate());
    case IsSelectedRole:
        return file.isSelected();
    case HasIssueRole:
        return false;
    case CoveringFolderRole:
        return coveringFolderPath(file);
    case Qt::ToolTipRole:
        return coveringFolderTip(file);
    default:
        return {};
    }
}

QVariant DuplicateDetailsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    // The tick column is too narrow for a title; it says what it is to tools and tips.
    switch (role) {
    case Qt::DisplayRole:
        return section == TickColumn ? QString() : tr("File");
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
        return section == TickColumn ? tr("Remove") : tr("File");
    default:
        return QAbstractTableModel::headerData(section, orientation, role);
    }
}

Qt::ItemFlags DuplicateDetailsModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == TickColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool DuplicateDetailsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.model() != this || index.column() != TickColumn
        || role != Qt::CheckStateRole)
        return false;
    setFileSelected(index.row(), value.value<Qt::CheckState>() != Qt::Unchecked);
    return true;
}

void DuplicateDetailsModel::sort(int column, Qt::SortOrder order)
{
    const bool ascending = order == Qt::AscendingOrder;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<const RQFile *> filesBefore;
    filesBefore.reserve(before.size());
    for (const QModelIndex &index : before)
        filesBefore.push_back(m_entries[index.row()].file.get());

    if (column == TickColumn)
        orderByTick(m_entries, ascending);
    else
        orderByCreationDate(m_entries, ascending);

    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(rowOfFile(filesBefore[i]), before[i].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void DuplicateDetailsModel::setGroupRows(QList<int> groupRows)
{
    std::sort(groupRows.begin(), groupRows.end());
    groupRows.erase(std::unique(groupRows.begin(), groupRows.end()), groupRows.end());
    beginResetModel();
    m_groupRows = groupRows;
    m_entries.clear();
    for (const int row : std::as_const(m_groupRows)) {
        for (const auto &member : m_groups->groupAt(row)->duplicates())
            m_entries.push_back({member, row, static_cast<int>(m_entries.size())});
    }
    orderByCreationDate(m_entries, true);
    endResetModel();
}

void DuplicateDetailsModel::clear()
{
    setGroupRows({});
}

int DuplicateDetailsModel::rowOfFile(const RQFile *file) const
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [file](const Entry &entry) { return entry.file.get() == file; });
    return found == m_entries.end() ? -1 : static_cast<int>(found - m_entries.begin());
}

void DuplicateDetailsModel::setFileSelected(int row, bool selected)
{
    changeSelection(row, selected);
    NotificationCenter::defaultCenter().post(RQDidToggleSelectedNotification,
                                             m_entries[row].file.get());
}

void DuplicateDetailsModel::setFileSelectedWithoutNotice(int row, bool selected)
{
    changeSelection(row, selected);
}

void DuplicateDetailsModel::selectionDidChange()
{
    if (!m_entries.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1),
                         {Qt::CheckStateRole, IsSelectedRole, CoveringFolderRole, Qt::ToolTipRole});
    }
    m_groups->selectionDidChange();
}

QString DuplicateDetailsModel::coveringFolderTip(const RQFile &file)
{
    const QString folder = coveringFolderPath(file);
    return folder.isEmpty() ? QString() : tr("Removed with its ticked folder %1").arg(folder);
}

void DuplicateDetailsModel::changeSelection(int row, bool selected)
{
    const Entry &entry = m_entries[row];
    entry.file->setSelected(selected);
    // A folder's tick covers the rows of the files inside it as well.
    const int first = entry.file->isDirectory() ? 0 : row;
    const int last = entry.file->isDirectory() ? rowCount() - 1 : row;
    emit dataChanged(index(first, 0), index(last, ColumnCount - 1),
                     {Qt::CheckStateRole, IsSelectedRole, CoveringFolderRole, Qt::ToolTipRole});
    m_groups->selectionDidChange(entry.groupRow, entry.groupRow);
}

bool DuplicateDetailsModel::isBeforeByCreationDate(const RQFile &left, const RQFile &right,
                                                   bool ascending)
{
    const QDateTime leftDate = left.creationDate();
    const QDateTime rightDate = right.creationDate();
    if (!leftDate.isValid() || !rightDate.isValid())
        return leftDate.isValid() && !rightDate.isValid();
    return ascending ? leftDate < rightDate : rightDate < leftDate;
}

QString DuplicateDetailsModel::creationDateText(const QDateTime &date)
{
    if (!date.isValid())
        return u"---"_s;
    static const QLocale locale = QLocale::system();
    return locale.toString(date.toLocalTime(), u"MMM d, yyyy h:mm:ss AP"_s);
}
