#include "removal/KMHSFileRemover.h"

#include "photolibraries/RQPhotosLibrary.h"
#include "platform/RenameWithoutReplacing.h"
#include "platform/ScriptingBridge.h"
#include "platform/SerialQueue.h"
#include "platform/SystemLog.h"
#include "platform/Trash.h"
#include "removal/AsideFolders.h"
#include "removal/AsideJournal.h"
#include "removal/FileDeleter.h"
#include "removal/KMHSPhotosFileRemover.h"
#include "removal/KMHSiPhotoFileRemover.h"
#include "removal/RemovalError.h"
#include "removal/RemovalList.h"
#include "foundation/RQArrayChunks.h"
#include "foundation/RQDispatch.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

FileDeleter::Kind kindOf(const RQFile &file)
{
    return file.isDirectory() ? FileDeleter::Kind::Folder : FileDeleter::Kind::File;
}

// The folders that hold the items of the lists, each once.
QStringList foldersOf(std::initializer_list<const KMHSFileRemover::FileList *> lists)
{
    QSet<QString> folders;
    for (const KMHSFileRemover::FileList *list : lists) {
        for (const auto &file : *list)
            folders.insert(QFileInfo(RemovalList::diskPath(*file)).path());
    }
    return folders.values();
}

} // namespace

KMHSFileRemover::KMHSFileRemover()
    : m_lifetime(std::make_shared<KMHSFileRemover *>(this))
{
}

KMHSFileRemover::~KMHSFileRemover()
{
    // Finish the running removal while every member it uses is still there.
    m_queues.clear();
}

void KMHSFileRemover::removeFiles(const FileList &files)
{
    m_queues.push_back(std::make_unique<SerialQueue>(QString::fromLatin1(queueLabel)));
    m_queues.back()->async([this, files] { actuallyRemoveFiles(files); });
}

void KMHSFileRemover::actuallyRemoveFiles(const FileList &files)
{
    // What a removal cut short left aside goes back (or goes, as it was to) before this one starts.
    AsideJournal::recoverLeftOvers();
    m_errorDict = KMHSErrorDictionary();
    m_bytesTaken.clear();
    m_trashedNames.clear();
    m_locator = std::make_unique<ScannedItemLocator>();
    m_trash = std::make_unique<Trash>();
    const RemovalList list(files);
    m_totalFiles = qint64(list.items().size());

    FileList plain, network, iPhoto, photos;
    for (const auto &file : list.items()) {
        if (!file->exists())
            continue;
        if (list.removesKeptCopyOf(*file))
            recordError(*file, RemovalError::error(RemovalError::KeptCopyWouldBeRemoved));
        if (file->inIPhotoLibrary())
            iPhoto.push_back(file);
        else if (file->inPhotosLibrary())
            photos.push_back(file);
        else if (file->isNetworkItem())
            network.push_back(file);
        else
            plain.push_back(file);
    }

    m_asideFolders = std::make_unique<AsideFolders>(m_useTrash ? foldersOf({&network}) : foldersOf({&plain, &network}));
    deleteRegularFiles(plain);
    deleteNetworkFiles(network);
    deleteIPhotoFiles(iPhoto);
    deletePhotosAppFiles(photos);
    m_locator.reset();
    m_asideFolders.reset();
    m_trash.reset();
    RQPhotosLibrary::sharedInstance().setPhotosFilesRemoved(quint64(photos.size()));

    quint64 spaceFreed = sumOfFileArray(plain);
    spaceFreed += sumOfFileArray(network);
    spaceFreed += sumOfFileArray(iPhoto);
    spaceFreed += sumOfFileArray(photos);

    const KMHSErrorDictionary errors = m_errorDict;
    const qint64 removed = m_filesRemoved;
    std::weak_ptr<KMHSFileRemover *> lifetime = m_lifetime;
    RQDispatchAsyncMain([lifetime, errors, removed, spaceFreed] {
        const auto remover = lifetime.lock();
        if (!remover)
            return;
        if (KMHSFileRemoverDelegate *delegate = (*remover)->delegate())
            delegate->fileRemoverDidCompleteWithErrors(*remover, errors, removed, spaceFreed);
    });
}

void KMHSFileRemover::deleteRegularFiles(const FileList &files)
{
    for (const FileList &chunk : rq_chunkyArrayWithMaxSize(files, fileChunkSize)) {
        if (m_useTrash)
            moveFilesToTrash(chunk);
        else
            permanentlyRemoveFiles(chunk, m_makeAliases);
        updateTotalFilesRemoved(qint64(chunk.size()));
    }
}

void KMHSFileRemover::deleteNetworkFiles(const FileList &files)
{
    // Network volumes have no Trash that would take them back.
    for (const FileList &chunk : rq_chunkyArrayWithMaxSize(files, fileChunkSize)) {
        permanentlyRemoveFiles(chunk, false);
        updateTotalFilesRemoved(qint64(chunk.size()));
    }
}

void KMHSFileRemover::deleteIPhotoFiles(const FileList &files)
{
    if (files.empty())
        return;
    const auto chunks = rq_chunkyArrayWithMaxSize(files, libraryChunkSize);
    ScriptingBridge::current().launchApplicationHidden(
        QString::fromLatin1(KMHSiPhotoFileRemover::bundleIdentifier));
    m_iPhotoRemover = std::make_unique<KMHSiPhotoFileRemover>();
    for (const FileList &chunk : chunks) {
        const FileList toRemove = withoutFailures(chunk);
        if (toRemove.empty() || m_iPhotoRemover->removeFiles(toRemove)) {
            m_errorDict.insert(m_iPhotoRemover->errorDict());
        } else if (const auto error = m_iPhotoRemover->error()) {
            for (const auto &file : toRemove)
                recordError(*file, *error);
        }
        updateTotalFilesRemoved(qint64(chunk.size()));
    }
    m_iPhotoRemover.reset();
}

void KMHSFileRemover::deletePhotosAppFiles(const FileList &files)
{
    if (files.empty())
        return;
    const auto chunks = rq_chunkyArrayWithMaxSize(files, libraryChunkSize);
    ScriptingBridge::current().launchApplicationHidden(
        QString::fromLatin1(KMHSPhotosFileRemover::bundleIdentifier));
    m_photosAppRemover = std::make_unique<KMHSPhotosFileRemover>();
    for (const FileList &chunk : chunks) {
        const FileList toRemove = withoutFailures(chunk);
        if (!toRemove.empty()) {
            m_photosAppRemover->removeFiles(toRemove);
            m_errorDict.insert(m_photosAppRemover->errorDict());
        }
        updateTotalFilesRemoved(qint64(chunk.size()));
    }
    m_photosAppRemover.reset();
}

void KMHSFileRemover::permanentlyRemoveFiles(const FileList &chunk, bool withAliases)
{
    for (const auto &file : chunk) {
        ScannedItemLocator::Location item;
        if (!isReadyForRemoval(*file, item))
            continue;
        // Moved first where no other program knows it, then checked and deleted there: a name
        // swapped meanwhile never makes an unlisted file go.
        const int aside = m_asideFolders->folderBeside(item.folder(), item.folderObject());
        const int moveError = aside < 0 ? errno
                                        : renameWithoutReplacing(item.folder(), item.name().constData(), aside,
                                                                 item.name().constData());
        if (moveError) {
            recordError(*file, RQError::fileSystemError(moveError, item.path()));
            continue;
        }
        struct stat status {};
        std::optional<RQError> error = ScannedItemLocator::differenceAt(aside, item.name(), *file, &status);
        if (error) {
            putBack(aside, item);
            recordError(*file, *error);
            continue;
        }
        // The link takes the place before the item is deleted, so that an interruption never
        // leaves a place with neither.
        const bool linked = withAliases && makeAliasInPlaceOf(*file, item);
        const FileDeleter::Removal removal =
            FileDeleter::removeEntryAsRead(aside, item.name(), status, kindOf(*file), item.path());
        // A folder that went only in part still freed what went.
        m_bytesTaken.insert(errorKeyForFile(*file), removal.bytesRemoved);
        if (removal.error) {
            if (linked)
                takePlaceBackFromAlias(aside, item);
            else
                putBack(aside, item);
            recordError(*file, *removal.error);
        }
    }
}

void KMHSFileRemover::putBack(int asideFd, const ScannedItemLocator::Location &item)
{
    const QByteArray &name = item.name();
    const int error = renameWithoutReplacing(asideFd, name.constData(), item.folder(), name.constData());
    if (error && error != ENOENT)
        SystemLog::write(u"Could not put back %1: %2"_s.arg(item.path(), QString::fromLocal8Bit(::strerror(error))));
}

// The item that stays swaps places with its link in one step, so no other program's file that
// took the name meanwhile is ever removed in the link's stead.
void KMHSFileRemover::takePlaceBackFromAlias(int asideFd, const ScannedItemLocator::Location &item)
{
    const QByteArray &name = item.name();
    if (::renameat2(asideFd, name.constData(), item.folder(), name.constData(), RENAME_EXCHANGE) != 0) {
        SystemLog::write(u"Could not put back %1: %2"_s.arg(item.path(), QString::fromLocal8Bit(::strerror(errno))));
        return;
    }
    struct stat status {};
    if (::fstatat(asideFd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(status.st_mode))
        ::unlinkat(asideFd, name.constData(), 0);
}

void KMHSFileRemover::moveFilesToTrash(const FileList &chunk)
{
    // One item at a time, so that every failure is known and recorded for its own item.
    for (const auto &file : chunk) {
        ScannedItemLocator::Location item;
        if (!isReadyForRemoval(*file, item))
            continue;
        // Judged where it lies in the trash, where no other program swaps it any more.
        quint64 bytes = 0;
        const auto checkInTrash = [this, &file, &bytes](int folderFd, const QByteArray &name) {
            std::optional<RQError> error = ScannedItemLocator::differenceAt(folderFd, name, *file);
            if (!error)
                bytes = bytesTrashed(folderFd, name);
            return error;
        };
        if (const auto error = m_trash->moveEntryToTrash(item.folder(), item.path(), nullptr, checkInTrash)) {
            recordError(*file, RemovalError::fromTrashError(*error));
            continue;
        }
        m_bytesTaken.insert(errorKeyForFile(*file), bytes);
        if (m_makeAliases)
            makeAliasInPlaceOf(*file, item);
    }
}

quint64 KMHSFileRemover::bytesTrashed(int folderFd, const QByteArray &name)
{
    struct stat status {};
    if (::fstatat(folderFd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(status.st_mode)
        || status.st_nlink == 1)
        return FileDeleter::sizeOfEntry(folderFd, name);
    // A file of many names leaves its place with the last of them this removal moves.
    const nlink_t trashedNames = ++m_trashedNames[{status.st_dev, status.st_ino}];
    return trashedNames == status.st_nlink ? quint64(status.st_size) : 0;
}

bool KMHSFileRemover::isReadyForRemoval(const RQFile &file, ScannedItemLocator::Location &item)
{
    // Refused before the removal started.
    if (m_errorDict.contains(errorKeyForFile(file)))
        return false;
    std::optional<RQError> error = m_locator->locate(file, item);
    if (!error)
        error = keptCopyError(file, item);
    if (error)
        recordError(file, *error);
    return !error;
}

std::optional<RQError> KMHSFileRemover::keptCopyError(const RQFile &file, const ScannedItemLocator::Location &item)
{
    const std::shared_ptr<RQFile> keptCopy = file.aliasDestinationFile();
    if (!keptCopy)
        return std::nullopt;
    ScannedItemLocator::Location kept;
    if (const auto error = m_locator->locateWhole(*keptCopy, kept)) {
        const bool changed = error->domain() == QLatin1StringView(RemovalError::errorDomain)
            && error->code() == RemovalError::ChangedAfterScan;
        return RemovalError::error(changed ? RemovalError::KeptCopyChanged : RemovalError::KeptCopyGone);
    }
    if (item.isSameEntryAs(kept))
        return RemovalError::error(RemovalError::KeptCopyWouldBeRemoved);
    return std::nullopt;
}

KMHSFileRemover::FileList KMHSFileRemover::withoutFailures(const FileList &files) const
{
    FileList remaining;
    for (const auto &file : files) {
        if (!m_errorDict.contains(errorKeyForFile(*file)))
            remaining.push_back(file);
    }
    return remaining;
}

bool KMHSFileRemover::makeAliasInPlaceOf(const RQFile &file, const ScannedItemLocator::Location &item)
{
    const std::shared_ptr<RQFile> destination = file.aliasDestinationFile();
    if (!destination)
        return false;
    // Made in the folder the item left; symlinkat never replaces anything, so the link goes only
    // where the item is gone.
    const QByteArray target = QFile::encodeName(RemovalList::diskPath(*destination));
    if (::symlinkat(target.constData(), item.folder(), item.name().constData()) == 0)
        return true;
    SystemLog::debug(u"Could not make alias for file: %1, with destination: %2"_s.arg(file.description(),
                                                                                     destination->description()));
    return false;
}

void KMHSFileRemover::updateTotalFilesRemoved(qint64 count)
{
    m_totalFilesRemoved += count;
    if (!delegate())
        return;
    std::weak_ptr<KMHSFileRemover *> lifetime = m_lifetime;
    RQDispatchAsyncMain([lifetime] {
        const auto remover = lifetime.lock();
        if (!remover)
            return;
        KMHSFileRemover *self = *remover;
        if (KMHSFileRemoverDelegate *delegate = self->delegate())
            delegate->fileRemoverDidRemoveFileWithDetails(
                self, KMHSDetails{self->totalFilesRemoved(), self->totalFiles()});
    });
}

quint64 KMHSFileRemover::sumOfFileArray(const FileList &files)
{
    quint64 total = 0;
    for (const auto &file : files) {
        const QString key = errorKeyForFile(*file);
        const bool failed = m_errorDict.contains(key);
        if (!failed)
            ++m_filesRemoved;
        if (const auto taken = m_bytesTaken.constFind(key); taken != m_bytesTaken.cend())
            total += *taken;
        else if (!failed)
            // Library items: the size their library gave, truncated after every item so that
            // fractions of a byte never add up.
            total = quint64(file->fileSize() + double(total));
    }
    return total;
}

void KMHSFileRemover::recordError(const RQFile &file, const RQError &error)
{
    m_errorDict.insert(errorKeyForFile(file), error);
}
