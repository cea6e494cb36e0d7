#include "removal/AsideFolders.h"

#include "platform/SystemLog.h"
#include "removal/AsideJournal.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

AsideFolders::AsideFolders(QStringList folderPaths)
    : m_name(QByteArray(namePrefix) + QByteArray::number(QRandomGenerator::system()->generate64(), 36))
    , m_folderPaths(std::move(folderPaths))
{
}

AsideFolders::~AsideFolders()
{
    for (const auto &[key, aside] : m_folders)
        removeFolder(aside);
    // A left-over that could not be put back keeps its record for the next start.
    if (m_journal && m_allRemoved)
        m_journal->drop();
}

int AsideFolders::folderBeside(int folderFd, std::pair<dev_t, ino_t> folderObject)
{
    const Key key = folderObject;
    if (const auto known = m_folders.find(key); known != m_folders.end())
        return known->second.folder->get();
    beginJournal();
    const int fd = makeFolder(folderFd);
    if (fd < 0)
        return -1;
    if (m_order.size() == foldersKept) {
        removeFolder(m_folders.at(m_order.front()));
        m_folders.erase(m_order.front());
        m_order.pop_front();
    }
    m_order.push_back(key);
    m_folders.emplace(key, Aside{std::make_unique<FileDescriptor>(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0)),
                                 std::make_unique<FileDescriptor>(fd)});
    return fd;
}

int AsideFolders::makeFolder(int folderFd)
{
    // One left from earlier in this removal (an item could not be put back) is this removal's own.
    const bool made = ::mkdirat(folderFd, m_name.constData(), S_IRWXU) == 0;
    if (!made && errno != EEXIST)
        return -1;
    const int fd = ::openat(folderFd, m_name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status {};
    const int error = fd < 0 ? errno
        : ::fstat(fd, &status) != 0 ? errno
        : status.st_uid != ::getuid() || (status.st_mode & 077) ? EEXIST
                                                                : 0;
    if (!error)
        return fd;
    if (fd >= 0)
        ::close(fd);
    if (made)
        ::unlinkat(folderFd, m_name.constData(), AT_REMOVEDIR);
    errno = error;
    return -1;
}

void AsideFolders::beginJournal()
{
    if (m_journalBegun)
        return;
    m_journalBegun = true;
    m_journal = AsideJournal::begin(m_name, m_folderPaths);
    if (!m_journal)
        SystemLog::write(u"Could not record where this removal puts items aside (%1): %2"_s.arg(
            AsideJournal::folderPath(), QString::fromLocal8Bit(::strerror(errno))));
}

void AsideFolders::removeFolder(const Aside &aside)
{
    if (::unlinkat(aside.parent->get(), m_name.constData(), AT_REMOVEDIR) != 0 && errno != ENOENT)
        m_allRemoved = false;
}
