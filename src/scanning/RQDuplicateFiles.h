#pragma once

#include "scanning/Sha1Digest.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

class RQFile;

// One group of equal items found by a scan: files with the same content, or folders with the
// same digest and size. Made by the finder's last stage on the scan's thread and handed to the
// main thread with the results; the group owns its members. The sizes and the package flag are
// taken from the first member when the group is made; its name, type and path are read from it
// when asked, since a scan makes many groups and shows few. Groups compare by identity.
class RQDuplicateFiles final
{
    // Lets make_shared reach the constructor, and no one outside the class.
    struct Made
    {
        explicit Made() = default;
    };

public:
    using Members = std::vector<std::shared_ptr<RQFile>>;

    // hash: the members' digest as text; duplicates: the members, at least two.
    static std::shared_ptr<RQDuplicateFiles> duplicateFilesWithHash(const QString &hash,
                                                                    const Members &duplicates);

    RQDuplicateFiles(Made, const QString &hash, const Members &duplicates);
    RQDuplicateFiles(const RQDuplicateFiles &) = delete;
    RQDuplicateFiles &operator=(const RQDuplicateFiles &) = delete;

    QString fileName() const;
    double totalSize() const { return m_totalSize; }
    double fileSize() const { return m_fileSize; }
    QString UTI() const;
    bool isDirectory() const;
    bool isPackage() const { return m_isPackage; }
    qint64 fileType() const;
    // Empty for a group made with a text that is no digest.
    QString fileHash() const { return m_digest ? m_digest->toHex() : QString(); }
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
    double m_totalSize = 0;
    double m_fileSize = 0;
    mutable std::unique_ptr<QVariant> m_icon;
    Members m_duplicates;
    std::optional<Sha1Digest> m_digest;
    bool m_isPackage = false;
};
