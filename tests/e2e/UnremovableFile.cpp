#include "UnremovableFile.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString immutableFlag = u"the immutable flag"_s;
const QString readOnlyParent = u"a read-only parent folder"_s;

} // namespace

UnremovableFile::UnremovableFile(QString path)
    : m_path(std::move(path))
{
    if (setImmutable(true)) {
        m_method = immutableFlag;
        return;
    }
    // Root removes entries of a read-only folder all the same.
    if (::geteuid() != 0 && ::chmod(QFile::encodeName(QFileInfo(m_path).absolutePath()).constData(), 0555) == 0)
        m_method = readOnlyParent;
}

UnremovableFile::~UnremovableFile()
{
    if (m_method == immutableFlag)
        setImmutable(false);
    else if (m_method == readOnlyParent)
        ::chmod(QFile::encodeName(QFileInfo(m_path).absolutePath()).constData(), 0755);
}

bool UnremovableFile::setImmutable(bool immutable) const
{
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}
