#include "windows/DuplicateGroupsProxyModel.h"

#include "scanning/RQDuplicateFiles.h"
#include "windows/DuplicateGroupsModel.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

// Source rows in the order of one key, ties in scan order; the comparison reads contiguous
// keys rather than chasing every group for each of the sort's comparisons.
template <typename Key, typename KeyOf>
std::vector<int> rowsInOrder(const DuplicateGroupsModel &groups, bool descending, KeyOf keyOf)
{
    const int count = groups.rowCount();
    std::vector<Key> keys;
    keys.reserve(std::size_t(count));
    for (int row = 0; row < count; ++row)
        keys.push_back(keyOf(*groups.groupAt(row)));
    std::vector<int> rows(static_cast<std::size_t>(count));
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(), [&](int left, int right) {
        return descending ? keys[std::size_t(right)] < keys[std::size_t(left)]
                          : keys[std::size_t(left)] < keys[std::size_t(right)];
    });
    return rows;
}

std::vector<int> rowsInOrder(const DuplicateGroupsModel &groups, qint64 option, bool descending)
{
    switch (option) {
    case DuplicateGroupsProxyModel::SortByKind:
        return rowsInOrder<std::pair<QString, bool>>(groups, descending, [](const RQDuplicateFiles &group) {
            return std::pair(group.UTI(), group.isPackage());
        });
    case DuplicateGroupsProxyModel::SortByName:
        return rowsInOrder<QString>(groups, descending, [](const RQDuplicateFiles &group) { return group.fileName(); });
    case DuplicateGroupsProxyModel::SortByCount:
        return rowsInOrder<qsizetype>(groups, descending, [](const RQDuplicateFiles &group) { return group.count(); });
    case DuplicateGroupsProxyModel::SortBySelectedSize:
        return rowsInOrder<double>(groups, descending, [](const RQDuplicateFiles &group) {
            return DuplicateGroupsModel::selectedSizeOf(group);
        });
    default:
        return rowsInOrder<double>(groups, descending, [](const RQDuplicateFiles &group) { return group.totalSize(); });
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
    const std::vector<int> ordered = rowsInOrder(*m_groups, m_sortOption, m_sortOrder == Descending);
    m_rank.resize(ordered.size());
    for (std::size_t position = 0; position < ordered.size(); ++position)
        m_rank[std::size_t(ordered[position])] = int(position);
    // The ranks hold the direction, so the proxy always sorts "ascending";
    // once sorting, invalidating filters and sorts again in one pass.
    if (sortColumn() == 0)
        invalidate();
    else
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
    return m_rank[std::size_t(left.row())] < m_rank[std::size_t(right.row())];
}
