#include "windows/DuplicateGroupsProxyModel.h"

#include "scanning/RQDuplicateFiles.h"
#include "windows/DuplicateGroupsModel.h"

namespace {

// -1, 0 or 1 in the values' natural order.
template <typename Value>
int compareValues(const Value &left, const Value &right)
{
    return left < right ? -1 : (right < left ? 1 : 0);
}

int compareGroups(const RQDuplicateFiles &left, const RQDuplicateFiles &right, qint64 option)
{
    switch (option) {
    case DuplicateGroupsProxyModel::SortByKind:
        if (const int byType = left.UTI().compare(right.UTI()))
            return byType;
        return compareValues(left.isPackage(), right.isPackage());
    case DuplicateGroupsProxyModel::SortByName:
        return left.fileName().compare(right.fileName());
    case DuplicateGroupsProxyModel::SortByCount:
        return compareValues(left.count(), right.count());
    case DuplicateGroupsProxyModel::SortBySelectedSize:
        return compareValues(left.selectedFileSize(), right.selectedFileSize());
    default:
        return compareValues(left.totalSize(), right.totalSize());
    }
}

} // namespace

DuplicateGroupsProxyModel::DuplicateGroupsProxyModel(DuplicateGroupsModel *groups, QObject *parent)
    : QSortFilterProxyModel(parent), m_groups(groups)
{
    // Rows move only at refresh(), never because a tick changed a sort value.
    setDynamicSortFilter(false);
    setSourceModel(groups);
    refresh();
}

void DuplicateGroupsProxyModel::setCategory(qint64 category)
{
    m_category = DuplicateGroupsModel::normalizedCategory(category);
}

void DuplicateGroupsProxyModel::setSearchText(const QString &text)
{
    m_searchText = text;
    m_foldedSearchText = DuplicateGroupsModel::foldedForSearch(text);
}

void DuplicateGroupsProxyModel::setSortOption(qint64 option)
{
    m_sortOption = option;
}

void DuplicateGroupsProxyModel::setSortOrder(qint64 order)
{
    m_sortOrder = order;
}

void DuplicateGroupsProxyModel::refresh()
{
    invalidate();
    // The comparison decides the direction itself, so the proxy always sorts "ascending".
    sort(0, Qt::AscendingOrder);
}

int DuplicateGroupsProxyModel::groupRow(int visibleRow) const
{
    return mapToSource(index(visibleRow, 0)).row();
}

bool DuplicateGroupsProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    if (m_category != DuplicateGroupsModel::AllCategories
        && m_groups->categoryAt(sourceRow) != m_category)
        return false;
    return m_foldedSearchText.isEmpty()
        || m_groups->searchKeyAt(sourceRow).contains(m_foldedSearchText);
}

bool DuplicateGroupsProxyModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const int order = compareGroups(*m_groups->groupAt(left.row()),
                                    *m_groups->groupAt(right.row()), m_sortOption);
    return m_sortOrder == Descending ? order > 0 : order < 0;
}
