#pragma once

#include "scanning/RQFile.h"

#include <QStringList>

#include <vector>

// A folder: owns its children in order of addition, knows its total size (children, plus
// those removed and those the scan skipped) and its digest, made from its children's.
// The library, package and size answers are worked out on first use and then kept; they are
// not safe against concurrent first use.
class RQDirectory final : public RQFile, public std::enable_shared_from_this<RQDirectory>
{
public:
    using Children = std::vector<std::shared_ptr<RQFile>>;

    static std::shared_ptr<RQDirectory> fileWithPath(const QString &path);
    static std::shared_ptr<RQDirectory> fileWithURL(const QUrl &url);
    // A folder in the folder, known by its name alone; the folder still has to add it.
    static std::shared_ptr<RQDirectory> fileWithName(const QString &name, RQDirectory &folder);

    // The children that outlive the folder take their whole paths.
    ~RQDirectory() override;

    bool isDirectory() const override { return true; }
    const Children &children() const { return m_children; }

    void addChild(const std::shared_ptr<RQFile> &child);
    void addChildren(const std::vector<std::shared_ptr<RQFile>> &children);
    void removeChild(const std::shared_ptr<RQFile> &child) { removeChild(*child); }
    void removeChild(const RQFile &child);
    // For a folder that gets no more children: gives back the room kept for them.
    void freeSpareRoom() { m_children.shrink_to_fit(); }

    // The folder digest: the SHA-1 of the children's names and digests, in order. A folder that
    // holds a child without a content digest (a file nobody else's size matched, an unreadable
    // file, a device), or whose content the scan did not compare in full, gets a digest that
    // no other folder can have, so it never counts as a duplicate.
    QString fileHash() const override;
    std::optional<Sha1Digest> folderDigestContribution() const override { return digest(); }
    char folderDigestKind() const override { return 'd'; }
    Sha1Digest digest() const;

    // The scan calls this when it left something below the folder uncompared (a hidden entry,
    // a skipped or unreadable file). Must come before the digest is first asked for.
    void markContentNotCompared() { m_contentNotCompared = true; }
    bool contentNotCompared() const { return m_contentNotCompared; }

    double fileSize() const override;
    // Kept once asked, since every folder above asks again; adding or removing a child clears
    // the kept answers of this folder and of those above it.
    bool isEmpty() const override;

    double removedFileSizes() const { return m_removedFileSizes; }
    double ignoredSize() const { return m_ignoredSize; }
    void setIgnoredSize(double size) { m_ignoredSize = size; }
    void addIgnoredSize(double size) { m_ignoredSize += size; }

    bool isPackage() const;
    void setIsPackage(bool value) { m_isPackage = value; }
    bool isIPhotoLibrary() const;
    void setIsIPhotoLibrary(bool value) { m_isIPhotoLibrary = value; }
    bool isPhotosLibrary() const;
    void setIsPhotosLibrary(bool value) { m_isPhotosLibrary = value; }

    bool isNetworkVolume() const { return m_isNetworkVolume; }
    void setIsNetworkVolume(bool value);
    void setIsNetworkItem(bool value) override;

    QStringList iPhotoPaths() const;
    QString description() const override;

private:
    friend class RQFile;
    RQDirectory() = default;

    bool parentIsIPhotoLibrary() const;
    bool parentIsPhotosLibrary() const;
    bool parentIsPackage() const;
    bool hasChildWithoutDigest() const;
    // Clears the kept emptiness answers from this folder upwards; untilUnasked stops at the
    // first folder that holds none, which is enough when a child was added (see addChild).
    void forgetEmptiness(bool untilUnasked);
    // The files that shared the folder's device keep the one they had.
    void setOwnDevice(std::uint64_t device);

    Children m_children;
    // The identity's device, which the files in the folder share unless they keep their own.
    std::uint64_t m_device = 0;
    mutable std::optional<Sha1Digest> m_directoryHash;
    mutable double m_directoryFileSize = 0;
    double m_removedFileSizes = 0;
    double m_ignoredSize = 0;
    mutable bool m_checkedIsPackage = false;
    mutable bool m_checkedIsPhotolibrary = false;
    mutable bool m_checkedIsPhotoslibrary = false;
    mutable bool m_isPackage = false;
    mutable bool m_isIPhotoLibrary = false;
    mutable bool m_isPhotosLibrary = false;
    mutable bool m_checkedIsEmpty = false;
    mutable bool m_isEmptyAnswer = false;
    bool m_isNetworkVolume = false;
    bool m_contentNotCompared = false;
};
