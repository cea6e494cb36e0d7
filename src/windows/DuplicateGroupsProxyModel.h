#pragma once

#include <QSortFilterProxyModel>
#include <QString>

#include <vector>

class DuplicateGroupsModel;

// The visible groups: a category and a search text filter the groups, and a sort key with a
// direction orders them. Choices take effect at refresh(), not while ticks change, so rows do
// not move under the user while they tick; ties keep the scan's order. Rows keep their
// identity through a refresh, so a view's chosen groups stay chosen while they are visible.
class DuplicateGroupsProxyModel final : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    // The sort pop-up's item indexes: five keys, a separator, then the two directions.
    enum SortOption : qint64 {
        SortBySize = 0,
        SortByKind = 1,
        SortByName = 2,
        SortByCount = 3,
        SortBySelectedSize = 4,
    };
    enum SortOrder : qint64 {
        Ascending = 6,
        Descending = 7,
    };

    explicit DuplicateGroupsProxyModel(DuplicateGroupsModel *groups, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(DuplicateGroupsProxyModel)

    DuplicateGroupsModel *groupsModel() const { return m_groups; }

    qint64 category() const { return m_category; }
    void setCategory(qint64 category);
    QString searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    // Any option outside the five keys sorts by size.
    qint64 sortOption() const { return m_sortOption; }
    void setSortOption(qint64 option);
    // Every key ascends exactly when the order is not Descending.
    qint64 sortOrder() const { return m_sortOrder; }
    void setSortOrder(qint64 order);

    // Filters and sorts the groups again with the current choices.
    void refresh();

    // The source row of a visible row.
    int groupRow(int visibleRow) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    DuplicateGroupsModel *m_groups;
    qint64 m_category = 0;
    QString m_searchText;
    QString m_foldedSearchText;
    qint64 m_sortOption = SortBySize;
    qint64 m_sortOrder = Descending;
    // Each source row's place in the current order, made at refresh().
    std::vector<int> m_rank;
};
