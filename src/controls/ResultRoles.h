#pragma once

#include <Qt>

// The item roles that the results models answer and the row delegates paint from. The models
// take these enums in by deriving from them, so both sides name the same numbers.

struct GroupRowRoles
{
    enum Role : int {
        FileNameRole = Qt::UserRole + 1,
        TotalSizeRole,        // double, bytes
        CountRole,            // qsizetype
        SelectedCountRole,    // qsizetype
        SelectedFileSizeRole, // double, bytes
        UTIRole,
        IsPackageRole,
        IsDirectoryRole,
        FileTypeRole,
        CategoryRole,
        SearchKeyRole,
    };
};

struct FileRowRoles
{
    enum Role : int {
        FileRole = Qt::UserRole + 1, // std::shared_ptr<RQFile>
        GroupRowRole,                // the group's row in the groups model
        FileNameRole,
        FolderPathRole,   // the path less its last component
        FileSizeRole,     // double, bytes
        CreationDateRole, // QDateTime, invalid without one
        CreationDateTextRole,
        IsSelectedRole,
        HasIssueRole, // bool: the file cannot be removed
        CoveringFolderRole, // QString: a ticked folder the file lies in, which takes it along; empty when none
    };
};
