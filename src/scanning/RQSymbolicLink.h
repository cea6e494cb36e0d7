#pragma once

#include "scanning/RQFile.h"

// A symbolic link met by the scan. It stays in the tree and is never digested or grouped on
// its own, but it takes part in its folder's digest by its target text, so folders that hold
// the same links can still be equal.
class RQSymbolicLink final : public RQFile
{
public:
    static std::shared_ptr<RQSymbolicLink> linkWithPath(const QString &path, const QString &target);

    QString target() const { return m_target; }
    std::optional<Sha1Digest> folderDigestContribution() const override;

private:
    friend class RQFile;
    RQSymbolicLink() = default;

    QString m_target;
};
