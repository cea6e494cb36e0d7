#include "removal/AsideFolders.h"

#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

AsideFolders::~AsideFolders()
{
    for (const auto &[key, aside] : m_folders)
        ::unlinkat(aside.parent->get(), aside.name.constData(), AT_REMOVEDIR);
}

int AsideFolders::folderBeside(int folderFd)
{
    struct stat status {};
    if (::fstat(folderFd, &status) != 0)
        return -1;
    const auto key = std::make_pair(status.st_dev, status.st_ino);
    if (const auto known = m_folders.find(key); known != m_folders.end())
        return known->second.folder->get();
    for (int attempt = 0; attempt < 16; ++attempt) {
        QByteArray name(namePrefix);
        name.append(QByteArray::number(QRandomGenerator::system()->generate64(), 36));
        if (::mkdirat(folderFd, name.constData(), S_IRWXU) != 0) {
            if (errno == EEXIST)
                continue;
            return -1;
        }
        auto folder = std::make_unique<FileDescriptor>(
            ::openat(folderFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (folder->get() < 0) {
            const int error = errno;
            ::unlinkat(folderFd, name.constData(), AT_REMOVEDIR);
            errno = error;
            return -1;
        }
        const int fd = folder->get();
        m_folders.emplace(key, Aside{std::make_unique<FileDescriptor>(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0)),
                                     std::move(folder), name});
        return fd;
    }
    errno = EEXIST;
    return -1;
}
