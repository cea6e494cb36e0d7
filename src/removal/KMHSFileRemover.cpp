#include "removal/KMHSFileRemover.h"

#include "photolibraries/RQPhotosLibrary.h"
#include "platform/ScriptingBridge.h"
#include "platform/SerialQueue.h"
#include "platform/SystemLog.h"
#include "platform/Trash.h"
#include "removal/FileDeleter.h"
#include "removal/KMHSPhotosFileRemover.h"
#include "removal/KMHSiPhotoFileRemover.h"
#include "services/Preferences.h"
#include "foundation/RQArrayChunks.h"
#include "foundation/RQDispatch.h"

#include <QFile>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Where the item lies on disk: its path without a folder's trailing "/".
QString diskPath(const RQFile &file)
{
    QString path = file.path();
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

FileDeleter::Kind kindOf(const RQFile &file)
{
    return file.isDirectory() ? FileDeleter::Kind::Folder : FileDeleter::Kind::File;
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
    const Preferences &preferences = Preferences::sharedPreferences();
    m_makeAliases = preferences.useHardLinks();
    m_useTrash = preferences.useTrash();
    m_errorDict = KMHSErrorDictionary();
    m_totalFiles = qint64(files.size());

    FileList plain, network, iPhoto, photos;
    for (const auto &file : files) {
        if (!file || !file->exists())
            continue;
        if (file->inIPhotoLibrary())
            iPhoto.push_back(file);
        else if (file->inPhotosLibrary())
            photos.push_back(file);
        else if (file->isNetworkItem())
            network.push_back(file);
        else
            plain.push_back(file);
    }

    deleteRegularFiles(plain);
    deleteNetworkFiles(network);
    deleteIPhotoFiles(iPhoto);
    deletePhotosAppFiles(photos);
    if (m_makeAliases)
        makeAliasesForFiles(plain);
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
            permanentlyRemoveFiles(chunk);
        updateTotalFilesRemoved(qint64(chunk.size()));
    }
}

void KMHSFileRemover::deleteNetworkFiles(const FileList &files)
{
    // Network volumes have no Trash that would take them back.
    for (const FileList &chunk : rq_chunkyArrayWithMaxSize(files, fileChunkSize)) {
        permanentlyRemoveFiles(chunk);
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
        if (m_iPhotoRemover->removeFiles(chunk)) {
            m_errorDict.insert(m_iPhotoRemover->errorDict());
        } else if (const auto error = m_iPhotoRemover->error()) {
            for (const auto &file : chunk)
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
        m_photosAppRemover->removeFiles(chunk);
        m_errorDict.insert(m_photosAppRemover->errorDict());
        updateTotalFilesRemoved(qint64(chunk.size()));
    }
    m_photosAppRemover.reset();
}

void KMHSFileRemover::permanentlyRemoveFiles(const FileList &chunk)
{
    for (const auto &file : chunk) {
        if (const auto error = FileDeleter::removeItemAtPath(diskPath(*file), kindOf(*file)))
            recordError(*file, *error);
    }
}

void KMHSFileRemover::moveFilesToTrash(const FileList &chunk)
{
    // One item at a time, so that every failure is known and recorded for its own item.
    for (const auto &file : chunk) {
        const QString path = diskPath(*file);
        auto error = FileDeleter::checkKind(path, kindOf(*file));
        if (!error)
            error = Trash::moveItemToTrash(path);
        if (error)
            recordError(*file, *error);
    }
}

void KMHSFileRemover::makeAliasesForFiles(const FileList &files)
{
    for (const auto &file : files) {
        if (m_errorDict.contains(errorKeyForFile(*file)))
            continue;
        const std::shared_ptr<RQFile> destination = file->aliasDestinationFile();
        if (!destination)
            continue;
        // symlink never replaces anything, so the link goes only where the item is gone.
        const QByteArray link = QFile::encodeName(diskPath(*file));
        const QByteArray target = QFile::encodeName(diskPath(*destination));
        if (::symlink(target.constData(), link.constData()) != 0) {
            SystemLog::debug(u"Could not make alias for file: %1, with destination: %2"_s.arg(
                file->description(), destination->description()));
        }
    }
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
        if (m_errorDict.contains(errorKeyForFile(*file)))
            continue;
        ++m_filesRemoved;
        // Truncated after every item, so fractions of a byte never add up.
        total = quint64(file->fileSize() + double(total));
    }
    return total;
}

void KMHSFileRemover::recordError(const RQFile &file, const RQError &error)
{
    m_errorDict.insert(errorKeyForFile(file), error);
}
