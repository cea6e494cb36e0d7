#include "scanning/RQDuplicateFiles.h"

#include "platform/FileIconSource.h"
#include "scanning/RQDirectory.h"

using namespace Qt::StringLiterals;

std::shared_ptr<RQDuplicateFiles> RQDuplicateFiles::duplicateFilesWithHash(const QString &hash,
                                                                           const Members &duplicates)
{
    return std::shared_ptr<RQDuplicateFiles>(new RQDuplicateFiles(hash, duplicates));
}

RQDuplicateFiles::RQDuplicateFiles(const QString &hash, const Members &duplicates)
    : m_fileHash(hash), m_duplicates(duplicates)
{
    for (const auto &member : m_duplicates)
        m_totalSize += member->fileSize();
    if (m_duplicates.empty())
        return;
    const RQFile &first = *m_duplicates.front();
    m_fileName = first.fileName();
    m_UTI = first.UTI();
    m_isDirectory = first.isDirectory();
    m_fileType = first.fileType();
    m_fileSize = first.fileSize();
    if (m_isDirectory)
        m_isPackage = static_cast<const RQDirectory &>(first).isPackage();
}

QVariant RQDuplicateFiles::icon() const
{
    // Made here rather than on the scan's thread, since the provider may need the GUI.
    if (!m_iconMade) {
        m_icon = FileIconSource::iconForFile(m_duplicates.front()->path());
        m_iconMade = true;
    }
    return m_icon;
}

double RQDuplicateFiles::selectedFileSize() const
{
    double total = 0;
    for (const auto &member : selectedFiles())
        total += member->fileSize();
    return total;
}

RQDuplicateFiles::Members RQDuplicateFiles::selectedFiles() const
{
    Members selected;
    for (const auto &member : m_duplicates) {
        if (member->isSelected())
            selected.push_back(member);
    }
    return selected;
}

std::unordered_set<std::shared_ptr<RQFile>> RQDuplicateFiles::unselectedFiles() const
{
    std::unordered_set<std::shared_ptr<RQFile>> unselected;
    for (const auto &member : m_duplicates) {
        if (!member->isSelected())
            unselected.insert(member);
    }
    return unselected;
}

QString RQDuplicateFiles::description() const
{
    return u"<RQDuplicateFiles 0x%1 hash=%2, totalDuplicates=%3, filename=%4, totalSize=%5"_s.arg(
        QString::number(reinterpret_cast<quintptr>(this), 16), m_fileHash, QString::number(count()),
        m_fileName, QString::number(m_totalSize, 'f', 6));
}
