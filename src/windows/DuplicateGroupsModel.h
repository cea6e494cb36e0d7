#pragma once

#include "controls/ResultRoles.h"

#include <QAbstractListModel>
#include <QString>

#include <array>
#include <memory>
#include <vector>

class RQDuplicateFiles;

// The duplicate groups of one scan, one row each, in the order the scan gave them; the list
// never changes. Raw values come in their own roles so that sorting and filtering never parse
// display text. Ticks are read from the members' flags at the moment of asking; whoever
// changes flags calls selectionDidChange for the rows concerned. Main thread only.
class DuplicateGroupsModel final : public QAbstractListModel, public GroupRowRoles
{
    Q_OBJECT

public:
    using Groups = std::vector<std::shared_ptr<RQDuplicateFiles>>;


    // The result categories of the category bar. A group falls in at most one of 1 to 8; a
    // package that is not an application falls in none and shows only under AllCategories.
    enum Category : qint64 {
        AllCategories = 0,
        Folders = 1,
        Images = 2,
        Documents = 3,
        Movies = 4,
        AudioFiles = 5,
        Archives = 6,
        Applications = 7,
        OtherFiles = 8,
    };
    static constexpr qint64 categoryCount = 9;

    explicit DuplicateGroupsModel(Groups groups, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(DuplicateGroupsModel)

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    const Groups &groups() const { return m_groups; }
    const std::shared_ptr<RQDuplicateFiles> &groupAt(int row) const { return m_groups[row]; }
    qint64 categoryAt(int row) const { return m_categories[row]; }
    const QString &searchKeyAt(int row) const { return m_searchKeys[row]; }

    // How many groups fall in the category (every group for AllCategories).
    qsizetype totalForCategory(qint64 category) const;

    // The flags of these rows' members changed: their badges and totals are asked again.
    void selectionDidChange(int firstRow, int lastRow);
    void selectionDidChange();

    static qint64 categoryOf(const RQDuplicateFiles &group);
    // The category bar's number for any category number: 0 to 7 stand for themselves,
    // anything else is OtherFiles.
    static qint64 normalizedCategory(qint64 category);
    // The text as the search compares it: decomposed, without marks, case-folded.
    static QString foldedForSearch(const QString &text);
    static qsizetype selectedCountOf(const RQDuplicateFiles &group);
    // The group's selectedFileSize, without making its list of selected files.
    static double selectedSizeOf(const RQDuplicateFiles &group);

private:
    Groups m_groups;
    std::vector<QString> m_searchKeys;
    std::vector<qint8> m_categories;
    std::array<qsizetype, categoryCount> m_categoryTotals{};
};
