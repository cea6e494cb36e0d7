#pragma once

#include "scanning/ItemArena.h"
#include "scanning/RQContentType.h"
#include "scanning/RQFileIdentity.h"
#include "scanning/RQItemName.h"
#include "scanning/Sha1Digest.h"

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <atomic>
#include <cstdint>
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
// A scan keeps millions of items, so an item is small (with its reference counts, one 112-byte
// block of the item arena): the walk's size and modification time serve both the getters and the identity,
// a file keeps no device of its own where its folder's is the same, the content type is a
// number, and the flags, the selection and the kind share one atomic word.
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
    QString UTI() const { return contentType().typeIdentifier(); }
    qint64 fileType() const { return contentType().code(); }
    // The URL the item was made from (library media), else the file URL of its path, made
    // when asked so that the walk's items carry none.
    QUrl fileURL() const;

    QVariantMap metadata() const { return m_seldom ? m_seldom->metadata : QVariantMap(); }
    void setMetadata(const QVariantMap &metadata) { seldom().metadata = metadata; }

    // The content digest as text; empty until the hashing stage sets it.
    virtual QString fileHash() const;
    void setFileHash(const QString &hash);
    void setContentDigest(const std::optional<Sha1Digest> &digest);
    std::optional<Sha1Digest> contentDigest() const;

    // What this item adds to its folder's digest. No value makes the folder's digest unique,
    // so that a folder is only ever grouped with a folder whose content was compared in full.
    virtual std::optional<Sha1Digest> folderDigestContribution() const { return contentDigest(); }
    // The item's kind in its folder's digest, beside its contribution: a file whose bytes read
    // as a folder's digest input is still no folder. 'f' a file, 'd' a folder, 'l' a link.
    virtual char folderDigestKind() const { return 'f'; }

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

    bool inPackage() const { return hasFlag(InPackage); }
    void setInPackage(bool value) { setFlag(InPackage, value); }
    bool inIPhotoLibrary() const { return hasFlag(InIPhotoLibrary); }
    void setInIPhotoLibrary(bool value) { setFlag(InIPhotoLibrary, value); }
    bool inPhotosLibrary() const { return hasFlag(InPhotosLibrary); }
    void setInPhotosLibrary(bool value) { setFlag(InPhotosLibrary, value); }
    bool isNetworkItem() const { return hasFlag(IsNetworkItem); }
    virtual void setIsNetworkItem(bool value) { setFlag(IsNetworkItem, value); }

    std::shared_ptr<RQFile> aliasDestinationFile() const
    {
        return m_seldom ? m_seldom->aliasDestinationFile : nullptr;
    }
    void setAliasDestinationFile(const std::shared_ptr<RQFile> &file);

    std::shared_ptr<RQDirectory> parent() const;
    std::shared_ptr<RQDirectory> parentDirectory() const { return parent(); }

    bool isSelected() const { return hasFlag(Selected); }
    void setSelected(bool selected) { setFlag(Selected, selected); }

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
    // Places the item and its reference counts in one block of the item arena, through the
    // subclasses' private constructors (they are RQFile's friends).
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
        // The device of a file whose folder is on another one, or that has no folder.
        std::uint64_t device = 0;
    };

    // The bits of m_flags; the kind of the identity takes the three above them.
    enum Flag : std::uint16_t {
        Selected = 1U << 0,
        HasModificationDate = 1U << 1,
        InPackage = 1U << 2,
        InIPhotoLibrary = 1U << 3,
        InPhotosLibrary = 1U << 4,
        IsNetworkItem = 1U << 5,
        HoldsPath = 1U << 6,
        HasDigest = 1U << 7,
        DeviceKeptApart = 1U << 8,
    };
    static constexpr int kindShift = 9;
    static constexpr std::uint16_t kindMask = 7U << kindShift;

    void initWithPath(const QString &path);
    void initWithName(const QString &name, RQDirectory &folder);
    Seldom &seldom();
    // Called by the folder that lets the item go or goes while the item stays.
    void leaveParent();
    // Keeps the device the item has, whichever folder it moves to.
    void setParent(RQDirectory *folder);
    bool isPlacedByName() const { return !hasFlag(HoldsPath); }
    const RQContentType &contentType() const { return RQContentType::withIndex(m_contentType); }
    RQFileIdentity::Kind kind() const
    {
        return static_cast<RQFileIdentity::Kind>((m_flags.load(std::memory_order_relaxed) & kindMask) >> kindShift);
    }
    std::uint64_t device() const;
    // A folder keeps its own; a file keeps one only where its folder's differs.
    void setDevice(std::uint64_t device);

    bool hasFlag(Flag flag) const { return (m_flags.load(std::memory_order_relaxed) & flag) != 0; }
    void setFlag(Flag flag, bool value) { setFlagBits(flag, value ? flag : 0); }
    // Atomic, since the interface sets the selection while other threads may set other bits.
    void setFlagBits(std::uint16_t mask, std::uint16_t bits);
    // From the extension of the path, or of the name of an item placed by name.
    void setContentTypeFrom(QStringView pathOrName);

    // Empty unless the item is placed by name.
    RQItemName m_name;
    QDateTime m_creationDate;
    std::unique_ptr<Seldom> m_seldom;
    RQDirectory *m_parent = nullptr;
    // fileSize() of a file; the identity's size.
    double m_size = 0;
    // The rest of the identity, but for its device (see device()) and kind (in m_flags).
    std::uint64_t m_inode = 0;
    std::int64_t m_modificationTimeNs = 0;
    // Meaningful when HasDigest is set.
    Sha1Digest m_digest;
    // RQContentType::index() of the type, set when the item is made.
    std::uint16_t m_contentType = 0;
    std::atomic<std::uint16_t> m_flags = HoldsPath;
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

    Item *allocate(std::size_t count)
    {
        static_assert(alignof(Item) <= ItemArena::blockAlignment);
        return static_cast<Item *>(ItemArena::allocate(count * sizeof(Item), ItemArena::Pool::Items));
    }
    void deallocate(Item *block, std::size_t count) noexcept { ItemArena::release(block, count * sizeof(Item)); }
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
