#include "windows/DuplicateGroupsModel.h"

#include "scanning/RQDuplicateFiles.h"
#include "scanning/RQFile.h"

DuplicateGroupsModel::DuplicateGroupsModel(Groups groups, QObject *parent)
    : QAbstractListModel(parent), m_groups(std::move(groups))
{
    // Folded once here, so that a keystroke only compares.
    m_searchKeys.reserve(m_groups.size());
    m_categories.reserve(m_groups.size());
    for (const auto &group : m_groups) {
        m_searchKeys.push_back(foldedForSearch(group->fileName()));
        const qint64 category = categoryOf(*group);
        m_categories.push_back(static_cast<qint8>(category));
        ++m_categoryTotals[category];
    }
    m_categoryTotals[AllCategories] = static_cast<qsizetype>(m_groups.size());
}

int DuplicateGroupsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_groups.size());
}

QVariant DuplicateGroupsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return {};
    const RQDuplicateFiles &group = *m_groups[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case FileNameRole:
        return group.fileName();
    case Qt::DecorationRole:
        // Asked only for the rows that are painted, so icons are made for those alone.
        return group.icon();
    case TotalSizeRole:
        return group.totalSize();
    case CountRole:
        return group.count();
    case SelectedCountRole:
        return selectedCountOf(group);
    case SelectedFileSizeRole:
        return selectedSizeOf(group);
    case UTIRole:
        return group.UTI();
    case IsPackageRole:
        return group.isPackage();
    case IsDirectoryRole:
        return group.isDirectory();
    case FileTypeRole:
        return group.fileType();
    case CategoryRole:
        return categoryAt(index.row());
    case SearchKeyRole:
        return searchKeyAt(index.row());
    default:
        return {};
    }
}

qsizetype DuplicateGroupsModel::totalForCategory(qint64 category) const
{
    return m_categoryTotals[normalizedCategory(category)];
}

void DuplicateGroupsModel::selectionDidChange(int firstRow, int lastRow)
{
    if (firstRow > lastRow)
        return;
    emit dataChanged(index(firstRow), index(lastRow), {SelectedCountRole, SelectedFileSizeRole});
}

void DuplicateGroupsModel::selectionDidChange()
{
    selectionDidChange(0, rowCount() - 1);
}

qint64 DuplicateGroupsModel::categoryOf(const RQDuplicateFiles &group)
{
    if (group.isDirectory()) {
        if (!group.isPackage())
            return Folders;
        return group.fileType() == RQFile::Application ? Applications : AllCategories;
    }
    switch (group.fileType()) {
    case RQFile::Image: return Images;
    case RQFile::Document: return Documents;
    case RQFile::Movie: return Movies;
    case RQFile::Audio: return AudioFiles;
    case RQFile::Archive: return Archives;
    case RQFile::Other: return OtherFiles;
    default: return AllCategories;
    }
}

qint64 DuplicateGroupsModel::normalizedCategory(qint64 category)
{
    return category >= AllCategories && category < OtherFiles ? category : OtherFiles;
}

QString DuplicateGroupsModel::foldedForSearch(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar character : decomposed) {
        if (!character.isMark())
            folded.append(character);
    }
    return folded.toCaseFolded();
}

qsizetype DuplicateGroupsModel::selectedCountOf(const RQDuplicateFiles &group)
{
    qsizetype selected = 0;
    for (const auto &member : group.duplicates())
        selected += member->isSelected() ? 1 : 0;
    return selected;
}

double DuplicateGroupsModel::selectedSizeOf(const RQDuplicateFiles &group)
{
    double total = 0;
    for (const auto &member : group.duplicates()) {
        if (member->isSelected())
            total += member->fileSize();
    }
    return total;
}
