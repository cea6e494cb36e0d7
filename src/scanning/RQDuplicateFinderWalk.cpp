#include "scanning/RQDuplicateFinderWalk.h"

#include "photolibraries/RQPhotosLibrary.h"
#include "photolibraries/RQPhotosLibraryParser.h"
#include "photolibraries/RQiPhotoDatabaseParser.h"
#include "photolibraries/RQiPhotoLibrary.h"
#include "platform/DirectoryWalker.h"
#include "platform/FileTypeInfo.h"
#include "platform/NetworkVolume.h"
#include "platform/SystemLog.h"
#include "scanning/RQDirectory.h"
#include "scanning/RQDuplicateFinder.h"
#include "scanning/RQDuplicateFinderScan.h"
#include "scanning/RQIgnoreList.h"
#include "scanning/RQSymbolicLink.h"
#include "foundation/RQStringPath.h"

#include <QVariantMap>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

QVariantMap resourceValues(const DirectoryEntry &entry)
{
    QVariantMap attributes;
    for (const QString &name : entry.extendedAttributeNames)
        attributes.insert(name, QVariant());
    return {{u"NSFileExtendedAttributes"_s, attributes}};
}

RQFileIdentity::Kind kindOf(DirectoryEntry::Type type)
{
    switch (type) {
    case DirectoryEntry::Type::Directory: return RQFileIdentity::Kind::Directory;
    case DirectoryEntry::Type::RegularFile: return RQFileIdentity::Kind::RegularFile;
    case DirectoryEntry::Type::SymbolicLink: return RQFileIdentity::Kind::SymbolicLink;
    case DirectoryEntry::Type::Other: return RQFileIdentity::Kind::Other;
    }
    return RQFileIdentity::Kind::Unknown;
}

RQFileIdentity identityOf(const DirectoryEntry &entry)
{
    return {entry.device, entry.inode, static_cast<qint64>(entry.size), entry.modificationTimeNs,
            kindOf(entry.type)};
}

bool isLibrary(const QString &path)
{
    return RQiPhotoLibrary::sharedInstance().pathIsPhotoLibrary(path)
        || RQPhotosLibrary::sharedInstance().pathIsPhotoLibrary(path);
}

} // namespace

RQDuplicateFinderWalk::RQDuplicateFinderWalk(RQDuplicateFinder &finder, RQDuplicateFinderScan &scan, int readers)
    : m_finder(finder), m_scan(scan), m_readers(readers)
{
}

bool RQDuplicateFinderWalk::walkRoots()
{
    DirectoryWalker::raiseDescriptorLimit();
    for (const QString &root : m_finder.paths()) {
        if (m_finder.isCancelled() || !walkRoot(root))
            return false;
    }
    return true;
}

bool RQDuplicateFinderWalk::walkRoot(const QString &root)
{
    const auto rootItem = RQDirectory::fileWithPath(root);
    DirectoryEntry rootValues;
    const bool rootReadable = DirectoryWalker::readEntry(root, rootValues);
    rootItem->setCreationDate(rootValues.creationDate);
    if (rootReadable)
        rootItem->setIdentity(identityOf(rootValues));
    if (NetworkVolume::pathIsOnNetworkVolume(root))
        rootItem->setIsNetworkVolume(true);
    m_scan.roots.push_back(rootItem);
    ++m_scan.itemCount;
    m_finder.setCurrentProgress(1.0 / 6.0);

    const QString resolvedRoot = RQDuplicateFinder::resolvedPath(root);
    const bool leadsElsewhere = !rq_isEqualToPath(resolvedRoot, root);
    m_rootPath = rootItem->path();
    m_resolvedRootPath.clear();
    if (leadsElsewhere)
        m_resolvedRootPath = resolvedRoot.endsWith(u'/') ? resolvedRoot : resolvedRoot + u'/';
    m_folders.clear();
    m_folderAnswers.clear();
    m_branchPathLengths.clear();
    openFolder(rootItem, m_rootPath);
    const QString &judgedRoot = leadsElsewhere ? resolvedRoot : root;
    const RQIgnoreList &ignoreList = m_finder.ignoreList();
    if (ignoreList.pathIsChildOfSystemPath(judgedRoot) || ignoreList.filePathIsIgnored(judgedRoot)) {
        SystemLog::debug(u"Path is a system path or is ignored not even going to try to scan. "_s + root);
        m_finder.setCurrentProgress(1.0);
        return false;
    }
    if (isLibrary(root)) {
        // A library given as a root is taken whole: one child folder, the library itself,
        // which holds at most its media and is never walked.
        if (rootReadable) {
            rootValues.depth = 1;
            handleEntry(rootValues, nullptr);
        }
        m_folders.back()->markContentNotCompared();
        return true;
    }
    if (rootReadable)
        m_metFolders.emplace(rootValues.device, rootValues.inode);
    DirectoryWalker walker(root, m_readers);
    DirectoryEntry entry;
    while (!m_finder.isCancelled() && walker.next(entry))
        handleEntry(entry, &walker);
    closeFoldersFrom(0);
    return true;
}

void RQDuplicateFinderWalk::handleEntry(const DirectoryEntry &entry, DirectoryWalker *walker)
{
    // The entries of a folder follow it, so the parent is the open folder one level up.
    closeFoldersFrom(static_cast<std::size_t>(entry.depth));
    m_folderAnswers.erase(m_folderAnswers.begin() + entry.depth, m_folderAnswers.end());
    m_branchPathLengths.resize(static_cast<std::size_t>(entry.depth));
    m_branchPath.truncate(m_branchPathLengths.back());
    RQDirectory &parent = *m_folders.back();
    if (entry.passedOver != DirectoryEntry::PassedOver::None) {
        handlePassedOver(entry, parent);
        return;
    }
    if (isRefused(entry, walker != nullptr) || isFolderMetBefore(entry, walker != nullptr)) {
        if (walker)
            walker->skipDescendants();
        parent.markContentNotCompared();
        return;
    }

    std::shared_ptr<RQDirectory> folder;
    std::shared_ptr<RQFile> item;
    QString folderPath;
    if (entry.type == DirectoryEntry::Type::Directory) {
        folderPath = pathOf(entry, walker != nullptr);
        folder = makeFolder(entry, folderPath, parent, walker);
        item = folder;
    } else {
        item = makeFile(entry, parent, walker != nullptr);
        if (!item)
            return;
    }
    item->setCreationDate(entry.creationDate);
    item->setIdentity(identityOf(entry));
    ++m_scan.itemCount;
    parent.addChild(item);
    m_finder.addFilesScanned(1);

    if (folder) {
        openFolder(folder, folderPath);
    } else if (entry.type == DirectoryEntry::Type::RegularFile) {
        m_scan.digests.addFile(*item);
        ++m_scan.allFilesCount;
    }
}

void RQDuplicateFinderWalk::handlePassedOver(const DirectoryEntry &entry, RQDirectory &parent)
{
    parent.markContentNotCompared();
    if (entry.passedOver == DirectoryEntry::PassedOver::UnrepresentableName)
        SystemLog::debug(u"Skipping an entry whose name is not valid UTF-8 in "_s + parent.path());
    else if (entry.passedOver == DirectoryEntry::PassedOver::DescriptorLimit)
        SystemLog::debug(u"Cannot open a folder for lack of file descriptors: "_s + parent.path());
    else if (entry.passedOver == DirectoryEntry::PassedOver::UnreadableEntry && entry.name.isEmpty())
        SystemLog::debug(u"Cannot list %1: %2"_s.arg(parent.path(), QString::fromLocal8Bit(std::strerror(entry.error))));
    else if (entry.passedOver == DirectoryEntry::PassedOver::UnreadableEntry)
        SystemLog::debug(u"Cannot read %1: %2"_s.arg(parent.path() + entry.name,
                                                    QString::fromLocal8Bit(std::strerror(entry.error))));
}

QString RQDuplicateFinderWalk::judgedPath(const QString &path) const
{
    if (m_resolvedRootPath.isEmpty())
        return path;
    return m_resolvedRootPath + QStringView(path).mid(m_rootPath.size());
}

void RQDuplicateFinderWalk::openFolder(const std::shared_ptr<RQDirectory> &folder, const QString &path)
{
    m_folders.push_back(folder);
    m_folderAnswers.emplace_back(m_finder.ignoreList(), judgedPath(path));
    m_branchPath = path;
    m_branchPathLengths.push_back(path.size());
}

void RQDuplicateFinderWalk::closeFoldersFrom(std::size_t depth)
{
    for (std::size_t index = depth; index < m_folders.size(); ++index)
        m_folders[index]->freeSpareRoom();
    m_folders.resize(depth);
}

bool RQDuplicateFinderWalk::isRefused(const DirectoryEntry &entry, bool entryLiesInFolder) const
{
    const RQIgnoreList &ignoreList = m_finder.ignoreList();
    // Most entries carry no extended attribute, and only one can mark a backup.
    if (!entry.extendedAttributeNames.isEmpty()
        && ignoreList.pathIsTimeMachineBackup(pathOf(entry, entryLiesInFolder), resourceValues(entry)))
        return true;
    if (!entryLiesInFolder)
        return ignoreList.pathIsChildOfSystemPath(judgedPath(pathOf(entry, false)));
    return m_folderAnswers.back().entryIsChildOfSystemPath(entry.name);
}

QString RQDuplicateFinderWalk::pathOf(const DirectoryEntry &entry, bool entryLiesInFolder) const
{
    const QString path = entryLiesInFolder ? m_branchPath + entry.name : entry.name;
    if (entry.type == DirectoryEntry::Type::Directory && !path.endsWith(u'/'))
        return path + u'/';
    return path;
}

bool RQDuplicateFinderWalk::isFolderMetBefore(const DirectoryEntry &entry, bool entryLiesInFolder)
{
    // Removing one of two paths to the same folder would empty both, so they are never two.
    if (entry.type != DirectoryEntry::Type::Directory || m_metFolders.emplace(entry.device, entry.inode).second)
        return false;
    SystemLog::debug(u"Skipping a folder already met at another path: "_s + pathOf(entry, entryLiesInFolder));
    return true;
}

std::shared_ptr<RQFile> RQDuplicateFinderWalk::makeFile(const DirectoryEntry &entry, RQDirectory &parent,
                                                        bool placedByName) const
{
    // A link's length is no content: removing the link frees nothing worth counting.
    const double size = entry.type == DirectoryEntry::Type::SymbolicLink ? 0 : entry.size;
    const double minimum = m_finder.minimumFileSize();
    const QString name = placedByName ? entry.name : FileTypeInfo::displayName(entry.name);
    if ((minimum > 0 && size < minimum) || m_folderAnswers.back().entryIsIgnored(name)) {
        // Only the bytes count, so the folder's content is no longer compared in full.
        parent.addIgnoredSize(size);
        parent.markContentNotCompared();
        return {};
    }
    // Items are made from their paths: a file URL would more than double an item's memory, and
    // it is always QUrl::fromLocalFile(path()).
    std::shared_ptr<RQFile> file;
    const bool isLink = entry.type == DirectoryEntry::Type::SymbolicLink && entry.linkTargetIsRepresentable;
    if (!placedByName)
        file = isLink ? RQSymbolicLink::linkWithPath(entry.name, entry.linkTarget) : RQFile::fileWithPath(entry.name);
    else if (isLink)
        file = RQSymbolicLink::linkWithName(name, parent, entry.linkTarget);
    else
        file = RQFile::fileWithName(name, parent);
    return file;
}

std::shared_ptr<RQDirectory> RQDuplicateFinderWalk::makeFolder(const DirectoryEntry &entry, const QString &path,
                                                               RQDirectory &parent, DirectoryWalker *walker)
{
    auto folder = walker ? RQDirectory::fileWithName(entry.name, parent) : RQDirectory::fileWithPath(path);
    folder->setIsPackage(entry.isPackage);
    const RQIgnoreList &ignoreList = m_finder.ignoreList();
    if (folder->isIPhotoLibrary() && !ignoreList.filePathIsIgnored(judgedPath(path))) {
        std::vector<std::shared_ptr<RQFile>> media;
        if (RQiPhotoLibrary::sharedInstance().iPhotoVersionIsSupported()) {
            const RQiPhotoDatabaseParser parser(path + u"AlbumData.xml"_s);
            media = parser.imagePaths().value_or(std::vector<std::shared_ptr<RQFile>>());
        } else {
            m_finder.setSkippedIphoto();
        }
        addLibraryMedia(*folder, media, walker);
    } else if (folder->isPhotosLibrary() && RQPhotosLibrary::sharedInstance().currentLibraryPath().isEmpty()
               && !ignoreList.filePathIsIgnored(judgedPath(path))) {
        RQPhotosLibrary::sharedInstance().setCurrentLibraryPath(path);
        const RQPhotosLibraryParser parser(path);
        addLibraryMedia(*folder, parser.imageFiles(), walker);
    }
    return folder;
}

void RQDuplicateFinderWalk::addLibraryMedia(RQDirectory &library, const std::vector<std::shared_ptr<RQFile>> &media,
                                            DirectoryWalker *walker)
{
    // Only the media are compared, never the library's own databases and settings.
    library.markContentNotCompared();
    library.addChildren(media);
    const double minimum = m_finder.minimumFileSize();
    for (const auto &medium : media) {
        if (minimum > 0 && medium->fileSize() < minimum) {
            library.removeChild(medium);
            continue;
        }
        m_scan.digests.addFile(*medium);
        m_finder.addFilesScanned(1);
    }
    m_scan.itemCount += static_cast<qsizetype>(library.children().size());
    m_scan.allFilesCount += static_cast<qsizetype>(media.size());
    if (walker)
        walker->skipDescendants();
}
