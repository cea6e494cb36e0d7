#include "scanning/RQDirectory.h"

#include "photolibraries/RQPhotosLibrary.h"
#include "photolibraries/RQiPhotoLibrary.h"
#include "platform/FileTypeInfo.h"
#include "foundation/RQStringPath.h"
#include "scanning/Sha1Hasher.h"

#include <algorithm>
#include <atomic>

using namespace Qt::StringLiterals;

namespace {

// A digest that no folder content can produce: the SHA-1 of a tagged, never repeated counter.
Sha1Digest uniqueFolderDigest()
{
    static std::atomic<quint64> counter = 0;
    const QByteArray seed = "\0marrowick-uncompared-folder\0"_ba + QByteArray::number(counter.fetch_add(1));
    return Sha1Hasher::digest(seed.constData(), static_cast<std::size_t>(seed.size()));
}

} // namespace

std::shared_ptr<RQDirectory> RQDirectory::fileWithPath(const QString &path)
{
    return make<RQDirectory>(path, QUrl());
}

std::shared_ptr<RQDirectory> RQDirectory::fileWithURL(const QUrl &url)
{
    return make<RQDirectory>(url.path(), url);
}

std::shared_ptr<RQDirectory> RQDirectory::fileWithName(const QString &name, RQDirectory &folder)
{
    return makeInFolder<RQDirectory>(name, folder);
}

RQDirectory::~RQDirectory()
{
    // A child held only here goes with the folder and still reaches its path through it, since
    // the children go before the folder's own name and parent do.
    for (const auto &child : m_children) {
        if (child->m_parent == this && child.use_count() > 1)
            child->leaveParent();
    }
}

bool RQDirectory::parentIsIPhotoLibrary() const
{
    return m_parent && m_parent->isIPhotoLibrary();
}

bool RQDirectory::parentIsPhotosLibrary() const
{
    return m_parent && m_parent->isPhotosLibrary();
}

bool RQDirectory::parentIsPackage() const
{
    return m_parent && m_parent->isPackage();
}

void RQDirectory::addChild(const std::shared_ptr<RQFile> &child)
{
    child->setParent(this);
    child->setIsNetworkItem(isNetworkVolume());
    auto *childFolder = dynamic_cast<RQDirectory *>(child.get());
    if (isIPhotoLibrary()) {
        child->setInIPhotoLibrary(true);
        if (childFolder)
            childFolder->setIsIPhotoLibrary(true);
    }
    if (isPhotosLibrary()) {
        child->setInPhotosLibrary(true);
        if (childFolder)
            childFolder->setIsPhotosLibrary(true);
    }
    if (isPackage()) {
        child->setInPackage(true);
        if (childFolder)
            childFolder->setIsPackage(true);
    }
    m_children.push_back(child);
    // A folder above one never asked cannot hold a "yes": that would have asked every folder
    // below it. A "no" stays true when something is added.
    forgetEmptiness(true);
}

void RQDirectory::setOwnDevice(std::uint64_t device)
{
    if (device == m_device)
        return;
    for (const auto &child : m_children) {
        if (!child->isDirectory() && child->m_parent == this && !child->hasFlag(DeviceKeptApart)) {
            child->seldom().device = m_device;
            child->setFlag(DeviceKeptApart, true);
        }
    }
    m_device = device;
}

void RQDirectory::addChildren(const std::vector<std::shared_ptr<RQFile>> &children)
{
    for (const auto &child : children)
        addChild(child);
}

void RQDirectory::removeChild(const RQFile &removed)
{
    const auto found = std::find_if(m_children.begin(), m_children.end(),
                                    [&removed](const auto &child) { return child.get() == &removed; });
    if (found == m_children.end())
        return;
    // Held here until the folder has let it go.
    const std::shared_ptr<RQFile> child = *found;
    child->leaveParent();
    m_removedFileSizes += child->fileSize();
    auto *childFolder = dynamic_cast<RQDirectory *>(child.get());
    if (isIPhotoLibrary()) {
        child->setInIPhotoLibrary(false);
        if (childFolder)
            childFolder->setIsIPhotoLibrary(false);
    }
    if (isPackage()) {
        child->setInPackage(false);
        if (childFolder)
            childFolder->setIsPackage(false);
    }
    m_children.erase(found);
    forgetEmptiness(false);
}

void RQDirectory::forgetEmptiness(bool untilUnasked)
{
    for (RQDirectory *folder = this; folder; folder = folder->m_parent) {
        if (untilUnasked && !folder->m_checkedIsEmpty)
            return;
        folder->m_checkedIsEmpty = false;
    }
}

bool RQDirectory::hasChildWithoutDigest() const
{
    return std::any_of(m_children.cbegin(), m_children.cend(),
                       [](const auto &child) { return !child->folderDigestContribution(); });
}

Sha1Digest RQDirectory::digest() const
{
    if (m_directoryHash)
        return *m_directoryHash;
    if (m_contentNotCompared || hasChildWithoutDigest()) {
        m_directoryHash = uniqueFolderDigest();
        return *m_directoryHash;
    }
    // Each child by its name, its kind and its digest, so that equal content under other names,
    // or a file whose bytes are a folder's digest input, is not a copy: the name's bytes, a NUL
    // (which no name holds), the kind's letter, then the 40 characters of the digest.
    // Gathered in blocks: one digest call per child costs more than the child's bytes.
    constexpr qsizetype blockSize = 64 * 1024;
    Sha1Hasher hasher;
    QByteArray text;
    text.reserve(blockSize);
    const auto digestText = [&hasher, &text] {
        hasher.update(text.constData(), static_cast<std::size_t>(text.size()));
        text.resize(0);
    };
    for (const auto &child : m_children) {
        // The name as it stands in the folder, in UTF-8 (the scan passes over names that are
        // not), which is the name's bytes.
        child->appendNameInFolderUtf8(text);
        text += '\0';
        text += child->folderDigestKind();
        char hex[40];
        child->folderDigestContribution()->writeHex(hex);
        text.append(hex, sizeof hex);
        if (text.size() >= blockSize)
            digestText();
    }
    digestText();
    m_directoryHash = hasher.finish();
    return *m_directoryHash;
}

QString RQDirectory::fileHash() const
{
    return digest().toHex();
}

double RQDirectory::fileSize() const
{
    if (m_directoryFileSize != 0)
        return m_directoryFileSize;
    double total = 0;
    for (const auto &child : m_children)
        total += child->fileSize();
    m_directoryFileSize = total + m_removedFileSizes + m_ignoredSize;
    return m_directoryFileSize;
}

bool RQDirectory::isEmpty() const
{
    if (!m_checkedIsEmpty) {
        m_isEmptyAnswer = std::all_of(m_children.cbegin(), m_children.cend(),
                                      [](const auto &child) { return child->isEmpty(); });
        m_checkedIsEmpty = true;
    }
    return m_isEmptyAnswer;
}

bool RQDirectory::isPackage() const
{
    if (m_checkedIsPackage || parentIsPackage())
        return m_isPackage;
    m_checkedIsPackage = true;
    static const QStringList packageExtensions = {u"framework"_s, u"pbxindex"_s, u"pbxstring"_s,
                                                  u"xcarchive"_s};
    if (packageExtensions.contains(FileTypeInfo::extensionView(nameInFolder()).toString().toLower()))
        m_isPackage = true;
    return m_isPackage;
}

bool RQDirectory::isIPhotoLibrary() const
{
    if (m_checkedIsPhotolibrary || parentIsIPhotoLibrary())
        return m_isIPhotoLibrary;
    m_checkedIsPhotolibrary = true;
    const QStringList libraries = iPhotoPaths();
    if (std::any_of(libraries.cbegin(), libraries.cend(),
                    [this](const QString &library) { return rq_isEqualToPath(path(), library); }))
        m_isIPhotoLibrary = true;
    return m_isIPhotoLibrary;
}

bool RQDirectory::isPhotosLibrary() const
{
    if (m_checkedIsPhotoslibrary || parentIsPhotosLibrary())
        return m_isPhotosLibrary;
    m_checkedIsPhotoslibrary = true;
    // Only the extension decides, so the name serves and no path is made for every folder.
    m_isPhotosLibrary = RQPhotosLibrary::sharedInstance().pathIsPhotoLibrary(nameInFolder());
    return m_isPhotosLibrary;
}

void RQDirectory::setIsNetworkVolume(bool value)
{
    if (value == m_isNetworkVolume)
        return;
    m_isNetworkVolume = value;
    for (const auto &child : m_children) {
        if (auto *childFolder = dynamic_cast<RQDirectory *>(child.get()))
            childFolder->setIsNetworkVolume(value);
        else
            child->setIsNetworkItem(value);
    }
}

void RQDirectory::setIsNetworkItem(bool value)
{
    RQFile::setIsNetworkItem(value);
    setIsNetworkVolume(value);
}

QStringList RQDirectory::iPhotoPaths() const
{
    return RQiPhotoLibrary::sharedInstance().libraryPaths();
}

QString RQDirectory::description() const
{
    return u"<RQDirectory %1, path=%2, hash=%3, fileSize=%4>"_s.arg(
        addressText(), path(), fileHash(), QString::number(fileSize(), 'f', 6));
}
