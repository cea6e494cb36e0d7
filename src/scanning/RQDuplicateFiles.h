#pragma once

#include <QString>
#include <QVariant>

#include <memory>
#include <unordered_set>
#include <vector>

class RQFile;

// One group of equal items found by a scan: files with the same content, or folders with the
// same digest and size. Made by the finder's last stage on the scan's thread and handed to the
// main thread with the results; the group owns its members. The values taken from the first
// member are read once, when the group is made, but for its path, which the icon alone needs.
// Groups compare by identity.
class RQDuplicateFiles final
{
public:
    using Members = std::vector<std::shared_ptr<RQFile>>;

    // duplicates: the members, at least two.
    static std::shared_ptr<RQDuplicateFiles> duplicateFilesWithHash(const QString &hash,
                                                                    const Members &duplicates);

    RQDuplicateFiles(const RQDuplicateFiles &) = delete;
    RQDuplicateFiles &operator=(const RQDuplicateFiles &) = delete;

    QString fileName() const { return m_fileName; }
    double totalSize() const { return m_totalSize; }
    double fileSize() const { return m_fileSize; }
    QString UTI() const { return m_UTI; }
    bool isDirectory() const { return m_isDirectory; }
    bool isPackage() const { return m_isPackage; }
    qint64 fileType() const { return m_fileType; }
    QString fileHash() const { return m_fileHash; }
    const Members &duplicates() const { return m_duplicates; }

    // The platform's icon for the first member's path (a QIcon in a QVariant, see
    // FileIconSource), made on first use. Main thread only.
    QVariant icon() const;

    qsizetype count() const { return static_cast<qsizetype>(m_duplicates.size()); }
    // Read the members' selection as it is at the moment of the call.
    double selectedFileSize() const;
    Members selectedFiles() const;
    std::unordered_set<std::shared_ptr<RQFile>> unselectedFiles() const;

    QString description() const;

private:
    RQDuplicateFiles(const QString &hash, const Members &duplicates);

    QString m_fileName;
    double m_totalSize = 0;
    double m_fileSize = 0;
    mutable QVariant m_icon;
    mutable bool m_iconMade = false;
    QString m_UTI;
    bool m_isDirectory = false;
    bool m_isPackage = false;
    qint64 m_fileType = -1;
    QString m_fileHash;
    Members m_duplicates;
};
