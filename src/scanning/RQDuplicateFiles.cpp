#include "scanning/RQDuplicateFiles.h"

#include "platform/FileIconSource.h"
#include "scanning/RQDirectory.h"

using namespace Qt::StringLiterals;

std::shared_ptr<RQDuplicateFiles> RQDuplicateFiles::duplicateFilesWithHash(const QString &hash,
                                                                           const Members &duplicates)
{
    return std::make_shared<RQDuplicateFiles>(Made(), hash, duplicates);
}

RQDuplicateFiles::RQDuplicateFiles(Made, const QString &hash, const Members &duplicates)
    : m_duplicates(duplicates), m_digest(Sha1Digest::fromHex(hash))
{
    for (const auto &member : m_duplicates)
        m_totalSize += member->fileSize();
    if (m_duplicates.empty())
        return;
    const RQFile &first = *m_duplicates.front();
    m_fileSize = first.fileSize();
    if (first.isDirectory())
        m_isPackage = static_cast<const RQDirectory &>(first).isPackage();
}

QString RQDuplicateFiles::fileName() const
{
    return m_duplicates.empty() ? QString() : m_duplicates.front()->fileName();
}

QString RQDuplicateFiles::UTI() const
{
    return m_duplicates.empty() ? QString() : m_duplicates.front()->UTI();
}

bool RQDuplicateFiles::isDirectory() const
{
    return !m_duplicates.empty() && m_duplicates.front()->isDirectory();
}

qint64 RQDuplicateFiles::fileType() const
{
    return m_duplicates.empty() ? RQFile::Other : m_duplicates.front()->fileType();
}

QVariant RQDuplicateFiles::icon() const
{
    // Made here rather than on the scan's thread, since the provider may need the GUI.
    if (!m_icon)
        m_icon = std::make_unique<QVariant>(FileIconSource::iconForFile(m_duplicates.front()->path()));
    return *m_icon;
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
        QString::number(reinterpret_cast<quintptr>(this), 16), fileHash(), QString::number(count()),
        fileName(), QString::number(m_totalSize, 'f', 6));
}
