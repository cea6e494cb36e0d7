#include "platform/DirectoryWalker.h"

#include "platform/EntryDescription.h"
#include "platform/FolderReading.h"
#include "platform/WalkDescriptorReserve.h"

#include <QFile>
#include <QThread>

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

std::string folderPathBytes(const QString &path)
{
    std::string bytes = QFile::encodeName(path).toStdString();
    if (bytes.empty() || bytes.back() != '/')
        bytes += '/';
    return bytes;
}

} // namespace

DirectoryWalker::DirectoryWalker(const QString &rootPath, int readers)
    : m_queue(std::max(0, readers - 1)),
      m_root(std::make_shared<FolderReading>(nullptr, folderPathBytes(rootPath), 1, std::vector<std::uint32_t>()))
{
}

DirectoryWalker::~DirectoryWalker() = default;

int DirectoryWalker::defaultReaders()
{
    return QThread::idealThreadCount();
}

bool DirectoryWalker::isPackageName(QStringView name)
{
    // Folders that file managers present as one document or program.
    static const std::array<QLatin1StringView, 27> extensions = {
        "app"_L1, "appex"_L1, "bundle"_L1, "framework"_L1, "plugin"_L1, "kext"_L1, "xpc"_L1,
        "prefpane"_L1, "qlgenerator"_L1, "mdimporter"_L1, "saver"_L1, "wdgt"_L1, "component"_L1,
        "photoslibrary"_L1, "photolibrary"_L1, "migratedphotolibrary"_L1, "aplibrary"_L1,
        "fcpbundle"_L1, "imovielibrary"_L1, "logicx"_L1, "band"_L1, "rtfd"_L1, "pages"_L1,
        "numbers"_L1, "key"_L1, "xcodeproj"_L1, "xcworkspace"_L1,
    };
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0)
        return false;
    const QStringView extension = name.mid(dot + 1);
    return std::any_of(extensions.cbegin(), extensions.cend(), [extension](QLatin1StringView known) {
        return extension.compare(known, Qt::CaseInsensitive) == 0;
    });
}

void DirectoryWalker::raiseDescriptorLimit()
{
    rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    WalkDescriptorReserve::update();
}

bool DirectoryWalker::readEntry(const QString &path, DirectoryEntry &entry)
{
    std::string fullPath = QFile::encodeName(path).toStdString();
    // A root given as a link to a folder is taken as that folder.
    return describeEntry(AT_FDCWD, fullPath.c_str(), 0, fullPath, 0, entry);
}

bool DirectoryWalker::next(DirectoryEntry &entry)
{
    if (m_root) {
        const std::shared_ptr<FolderReading> root = std::exchange(m_root, nullptr);
        take(*root);
        if (root->isMissingRoot())
            return false;
        if (!enter(root, entry))
            return true;
    }
    if (m_descendPending) {
        m_descendPending = false;
        const Level &parent = m_levels.back();
        const std::shared_ptr<FolderReading> folder = parent.folder->subfolders()[parent.nextSubfolder - 1];
        take(*folder);
        if (!enter(folder, entry))
            return true;
    }
    while (!m_levels.empty()) {
        Level &level = m_levels.back();
        std::vector<DirectoryEntry> &entries = level.folder->entries();
        if (level.nextEntry == entries.size()) {
            closeTopLevel();
            continue;
        }
        // Exchanged, not moved: a moved-to string gives its old text to the source, and each
        // folder of a deep branch would keep the paths handed out before.
        entry = std::exchange(entries[level.nextEntry++], DirectoryEntry());
        m_descendPending = entry.passedOver == DirectoryEntry::PassedOver::None
                           && entry.type == DirectoryEntry::Type::Directory;
        if (m_descendPending)
            ++level.nextSubfolder;
        return true;
    }
    return false;
}

void DirectoryWalker::skipDescendants()
{
    if (!m_descendPending)
        return;
    m_descendPending = false;
    const Level &parent = m_levels.back();
    leave(*parent.folder->subfolders()[parent.nextSubfolder - 1]);
}

void DirectoryWalker::take(FolderReading &folder)
{
    if (folder.claim())
        m_queue.readClaimed(folder);
    else
        folder.waitUntilPublished();
    m_queue.folderTaken();
}

bool DirectoryWalker::enter(const std::shared_ptr<FolderReading> &folder, DirectoryEntry &entry)
{
    if (folder->failure() != DirectoryEntry::PassedOver::None) {
        entry = DirectoryEntry::note(folder->failure(), folder->depth(), folder->failureError());
        folder->release();
        return false;
    }
    m_levels.push_back({folder});
    return true;
}

void DirectoryWalker::leave(FolderReading &folder)
{
    if (folder.leave())
        return;
    folder.waitUntilPublished();
    m_queue.folderTaken();
    for (const auto &subfolder : folder.subfolders())
        leave(*subfolder);
    folder.release();
}

void DirectoryWalker::closeTopLevel()
{
    m_levels.back().folder->release();
    m_levels.pop_back();
}
