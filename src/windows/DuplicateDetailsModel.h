#pragma once

#include "controls/ResultRoles.h"

#include <QAbstractTableModel>
#include <QList>

#include <memory>
#include <vector>

class DuplicateGroupsModel;
class RQFile;

// The member files of the chosen groups, one row each, with the group each belongs to. The
// tick column carries the file's flag in Qt::CheckStateRole; a tick set there goes through
// the model: the flag, dataChanged for the row and for its group's badge, then
// "RQDidToggleSelected" with the file. Main thread only.
class DuplicateDetailsModel final : public QAbstractTableModel, public FileRowRoles
{
    Q_OBJECT

public:
    enum Column { TickColumn = 0, FileColumn = 1, ColumnCount = 2 };


    struct Entry
    {
        std::shared_ptr<RQFile> file;
        int groupRow = 0;
        // The place in the list as joined, groups in row order and members in their order:
        // what decides between entries that the sort key does not.
        int memberOrder = 0;
    };

    explicit DuplicateDetailsModel(DuplicateGroupsModel *groups, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(DuplicateDetailsModel)

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    // TickColumn sorts by the flag (unticked first when ascending), any other column by
    // creation date; ties in member order, in both directions.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The members of these groups (rows of the groups model), taken in ascending row order
    // and then ordered by creation date, oldest first.
    void setGroupRows(QList<int> groupRows);
    void clear();

    const std::vector<Entry> &entries() const { return m_entries; }
    const std::shared_ptr<RQFile> &fileAt(int row) const { return m_entries[row].file; }
    // The file's row, or -1.
    int rowOfFile(const RQFile *file) const;
    // The groups, ascending, whose members the list holds.
    const QList<int> &groupRows() const { return m_groupRows; }

    // A tick from the user: sets the flag and tells everyone, as a tick in the table does.
    void setFileSelected(int row, bool selected);
    // Sets the flag quietly (an answer that takes a tick back): rows and badges only.
    void setFileSelectedWithoutNotice(int row, bool selected);
    // The flags of many rows changed at once: every row and every badge is asked again.
    void selectionDidChange();

    // Creation-date order in which files without a date come after every dated file in both
    // directions.
    static bool isBeforeByCreationDate(const RQFile &left, const RQFile &right, bool ascending);
    // The text of a creation date as the lists show it, "---" without one.
    static QString creationDateText(const QDateTime &date);

private:
    void changeSelection(int row, bool selected);
    // The tip of a file inside a ticked folder, which goes with the folder; empty otherwise.
    static QString coveringFolderTip(const RQFile &file);

    DuplicateGroupsModel *m_groups;
    std::vector<Entry> m_entries;
    QList<int> m_groupRows;
};
