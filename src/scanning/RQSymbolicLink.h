#pragma once

#include "scanning/RQFile.h"

// A symbolic link met by the scan. It stays in the tree and is never digested or grouped on
// its own, but it takes part in its folder's digest by the place it names, so folders that hold
// links to the same places can still be equal. It has no bytes of its own.
class RQSymbolicLink final : public RQFile
{
public:
    static std::shared_ptr<RQSymbolicLink> linkWithPath(const QString &path, const QString &target);
    // A link in the folder, known by its name alone; the folder still has to add it.
    static std::shared_ptr<RQSymbolicLink> linkWithName(const QString &name, RQDirectory &folder,
                                                        const QString &target);

    QString target() const { return m_target; }
    // The target made absolute against the link's folder and cleaned of ".", ".." and repeated
    // "/", from the text alone: nothing is looked up or followed on disk.
    QString namedPlace() const;
    std::optional<Sha1Digest> folderDigestContribution() const override;
    char folderDigestKind() const override { return 'l'; }
    // The length of the target, which the identity keeps, is no content: removing the link
    // frees nothing worth counting.
    double fileSize() const override { return 0; }

private:
    friend class RQFile;
    RQSymbolicLink() = default;

    QString m_target;
};
