#pragma once

#include "scanning/RQContentType.h"
#include "scanning/RQFileIdentity.h"
#include "scanning/RQItemName.h"
#include "scanning/Sha1Digest.h"

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <memory>
#include <optional>

class RQDirectory;

// One scanned item: a file, or (as RQDirectory) a folder. Folders own their children; an
// item's parent is a plain pointer, which the folder clears when it lets the item go, or when it
// goes while something else still holds the item. An item made from a path keeps that path; one
// the walk placed in a folder keeps only its name, makes its path through its folders when
// asked, and takes its whole path when it loses its folder. Items are made and linked on the
// scan's thread; after the scan only isSelected and aliasDestinationFile change, and the path
// an item takes on the thread that lets its folder go. Items compare by identity.
// A scan keeps millions of items, so an item is small: the walk's size and modification time
// serve both the getters and the identity, and the flags share a byte.
class RQFile
{
public:
    // Content type codes of fileType().
    enum ContentType : qint64 {
        Image = 0,
        Movie = 1,
        Document = 2,
        Audio = 3,
        Archive = 4,
        Application = 5,
        Other = -1,
    };

    static std::shared_ptr<RQFile> fileWithPath(const QString &path);
    static std::shared_ptr<RQFile> fileWithURL(const QUrl &url);
    // An item in the folder, known by its name alone; the folder still has to add it.
    static std::shared_ptr<RQFile> fileWithName(const QString &name, RQDirectory &folder);

    virtual ~RQFile() = default;
    RQFile(const RQFile &) = delete;
    RQFile &operator=(const RQFile &) = delete;

    // Made through the folders for an item the walk placed: one string and a step per level.
    QString path() const;
    // The last component of the path, without a folder's "/".
    QString nameInFolder() const;
    // Appends nameInFolder() in UTF-8 without making it first.
    void appendNameInFolderUtf8(QByteArray &text) const;
    QString UTI() const { return m_contentType->typeIdentifier(); }
    qint64 fileType() const { return m_contentType->code(); }
    QUrl fileURL() const { return m_seldom ? m_seldom->fileURL : QUrl(); }

    QVariantMap metadata() const { return m_seldom ? m_seldom->metadata : QVariantMap(); }
    void setMetadata(const QVariantMap &metadata) { seldom().metadata = metadata; }

    // The content digest as text; empty until the hashing stage sets it.
    virtual QString fileHash() const;
    void setFileHash(const QString &hash);
    void setContentDigest(const std::optional<Sha1Digest> &digest) { m_digest = digest; }
    std::optional<Sha1Digest> contentDigest() const { return m_digest; }

    // What this item adds to its folder's digest. No value makes the folder's digest unique,
    // so that a folder is only ever grouped with a folder whose content was compared in full.
    virtual std::optional<Sha1Digest> folderDigestContribution() const { return m_digest; }

    // The display name of the path, unless one was set (a library reader's title): a scan
    // makes millions of items and shows few of them, so the name is made when asked.
    QString fileName() const;
    void setFileName(const QString &fileName) { seldom().fileName = fileName; }

    virtual double fileSize() const { return m_size; }
    void setFileSize(double fileSize) { m_size = fileSize; }

    QDateTime creationDate() const { return m_creationDate; }
    void setCreationDate(const QDateTime &date) { m_creationDate = date; }
    // In UTC, to the millisecond; set with the identity for an item the walk read.
    QDateTime modificationDate() const;
    // For items made outside a walk: the identity's modification time is the date's.
    void setModificationDate(const QDateTime &date);

    // The device, inode, kind, size and modification time the walk read; unknown (all zero)
    // for items made outside a walk (library media). Setting it sets the size and the
    // modification date too.
    RQFileIdentity identity() const;
    void setIdentity(const RQFileIdentity &identity);

    bool inPackage() const { return m_inPackage; }
    void setInPackage(bool value) { m_inPackage = value; }
    bool inIPhotoLibrary() const { return m_inIPhotoLibrary; }
    void setInIPhotoLibrary(bool value) { m_inIPhotoLibrary = value; }
    bool inPhotosLibrary() const { return m_inPhotosLibrary; }
    void setInPhotosLibrary(bool value) { m_inPhotosLibrary = value; }
    bool isNetworkItem() const { return m_isNetworkItem; }
    virtual void setIsNetworkItem(bool value) { m_isNetworkItem = value; }

    std::shared_ptr<RQFile> aliasDestinationFile() const
    {
        return m_seldom ? m_seldom->aliasDestinationFile : nullptr;
    }
    void setAliasDestinationFile(const std::shared_ptr<RQFile> &file);

    std::shared_ptr<RQDirectory> parent() const;
    std::shared_ptr<RQDirectory> parentDirectory() const { return parent(); }

    bool isSelected() const { return m_isSelected; }
    void setSelected(bool selected) { m_isSelected = selected; }

    virtual bool isEmpty() const { return fileSize() == 0; }
    virtual bool isDirectory() const { return false; }
    bool exists() const;

    QUrl previewItemURL() const { return fileURL(); }
    QString previewItemTitle() const { return fileName(); }
    virtual QString description() const;

    qint64 determineContentType();
    void removeFromParent();
    // The item's parent folder lies under the path (or is it); no parent answers NO.
    bool isChildOfPath(const QString &path) const;

protected:
    RQFile() = default;

    template<typename Item>
    static std::shared_ptr<Item> make(const QString &path, const QUrl &url);
    template<typename Item>
    static std::shared_ptr<Item> makeInFolder(const QString &name, RQDirectory &folder);
    // Places the item and its reference counts in one allocation, through the subclasses'
    // private constructors (they are RQFile's friends).
    template<typename Item>
    struct OneBlockAllocator;
    QString addressText() const;
    void setFileURL(const QUrl &url) { seldom().fileURL = url; }

private:
    friend class RQDirectory;

    // What few items carry (roots, library media, items made from URLs, removed copies), kept
    // apart so that the millions of items of a scan pay one null pointer for all of it.
    struct Seldom
    {
        // The whole path (a folder's ends with "/") of an item that is not placed by name.
        QString path;
        // Null unless set; see fileName().
        QString fileName;
        QUrl fileURL;
        QVariantMap metadata;
        std::shared_ptr<RQFile> aliasDestinationFile;
    };

    void initWithPath(const QString &path);
    void initWithName(const QString &name, RQDirectory &folder);
    Seldom &seldom();
    // Called by the folder that lets the item go or goes while the item stays.
    void leaveParent();
    void setParent(RQDirectory *folder) { m_parent = folder; }
    bool isPlacedByName() const { return !m_holdsPath; }
    // From the extension of the path, or of the name of an item placed by name.
    void setContentTypeFrom(QStringView pathOrName);

    // Empty unless the item is placed by name.
    RQItemName m_name;
    QDateTime m_creationDate;
    // Set when the item is made; see RQContentType.
    const RQContentType *m_contentType = nullptr;
    std::unique_ptr<Seldom> m_seldom;
    RQDirectory *m_parent = nullptr;
    // fileSize() of a file; the identity's size.
    double m_size = 0;
    // The rest of the identity.
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
    std::int64_t m_modificationTimeNs = 0;
    std::optional<Sha1Digest> m_digest;
    RQFileIdentity::Kind m_kind = RQFileIdentity::Kind::Unknown;
    // A byte of its own: the interface changes it while other threads may read the flags.
    bool m_isSelected = false;
    bool m_hasModificationDate : 1 = false;
    bool m_inPackage : 1 = false;
    bool m_inIPhotoLibrary : 1 = false;
    bool m_inPhotosLibrary : 1 = false;
    bool m_isNetworkItem : 1 = false;
    bool m_holdsPath : 1 = true;
};

template<typename Item>
struct RQFile::OneBlockAllocator : std::allocator<Item>
{
    template<typename Other>
    struct rebind
    {
        using other = OneBlockAllocator<Other>;
    };
    OneBlockAllocator() = default;
    template<typename Other>
    explicit OneBlockAllocator(const OneBlockAllocator<Other> &) {}

    template<typename Made>
    void construct(Made *place) { ::new (static_cast<void *>(place)) Made(); }
    template<typename Made>
    void destroy(Made *place) { place->~Made(); }
};

template<typename Item>
std::shared_ptr<Item> RQFile::make(const QString &path, const QUrl &url)
{
    // Two steps, so that the virtual isDirectory() of the finished object decides the path.
    auto item = std::allocate_shared<Item>(OneBlockAllocator<Item>());
    item->initWithPath(path);
    if (!url.isEmpty())
        item->setFileURL(url);
    return item;
}

template<typename Item>
std::shared_ptr<Item> RQFile::makeInFolder(const QString &name, RQDirectory &folder)
{
    auto item = std::allocate_shared<Item>(OneBlockAllocator<Item>());
    item->initWithName(name, folder);
    return item;
}
