#include "DuplicateTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <chrono>
#include <fcntl.h>
#include <random>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

// Bytes that no other content of the tree shares.
QByteArray content(qint64 size, unsigned seed)
{
    std::mt19937 generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = static_cast<char>(generator() & 0xff);
    return bytes;
}

std::optional<statx_timestamp> birthTime(const QString &path)
{
    struct statx status {};
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), AT_SYMLINK_NOFOLLOW, STATX_BTIME, &status) != 0
        || !(status.stx_mask & STATX_BTIME))
        return std::nullopt;
    return status.stx_btime;
}

bool isBefore(const statx_timestamp &earlier, const statx_timestamp &later)
{
    return earlier.tv_sec < later.tv_sec || (earlier.tv_sec == later.tv_sec && earlier.tv_nsec < later.tv_nsec);
}

} // namespace

DuplicateTree::DuplicateTree(const QString &root)
    : m_rootA(root + u"/A"_s)
    , m_rootB(root + u"/B"_s)
{
    makeFolder(m_rootA);
    makeFolder(m_rootB);

    const QByteArray report = content(300'000, 1);
    const QString reportA = writeFile(m_rootA + u"/report.bin"_s, report);
    const QString reportB = writeFile(m_rootB + u"/report copy.bin"_s, report);
    m_groups.append({{reportA, reportB}, report.size(), false});

    const QByteArray video = content(1'000'000, 2);
    const QString videoB = writeFile(m_rootB + u"/video.bin"_s, video);
    const QString videoA = writeFile(m_rootA + u"/video.bin"_s, video);
    makeFolder(m_rootA + u"/nested"_s);
    const QString videoNested = writeFile(m_rootA + u"/nested/video again.bin"_s, video);
    m_groups.append({{videoB, videoA, videoNested}, video.size(), false});

    const QByteArray first = content(40'000, 3);
    const QByteArray second = content(40'000, 4);
    const QString albumA = makeFolder(m_rootA + u"/album"_s);
    writeFile(albumA + u"/first.bin"_s, first);
    writeFile(albumA + u"/second.bin"_s, second);
    const QString albumB = makeFolder(m_rootB + u"/album"_s);
    writeFile(albumB + u"/first.bin"_s, first);
    writeFile(albumB + u"/second.bin"_s, second);
    m_groups.append({{albumA, albumB}, first.size() + second.size(), true});

    QByteArray notes = content(50'000, 5);
    writeFile(m_rootA + u"/notes.bin"_s, notes);
    notes.back() = static_cast<char>(notes.back() ^ 0x01);
    writeFile(m_rootB + u"/notes.bin"_s, notes);

    const QByteArray tiny = content(10'000, 6);
    writeFile(m_rootA + u"/tiny.bin"_s, tiny);
    writeFile(m_rootB + u"/tiny.bin"_s, tiny);
}

void DuplicateTree::nextCopyLater()
{
    // File systems stamp birth times from a coarse clock; 20 ms apart they are surely ordered.
    if (!m_writtenInOrder.isEmpty())
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

QString DuplicateTree::writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    nextCopyLater();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a file of the scanned tree");
    m_writtenInOrder.append(path);
    m_fileSizes.insert(path, bytes.size());
    return path;
}

QString DuplicateTree::makeFolder(const QString &path)
{
    nextCopyLater();
    if (!QDir().mkpath(path))
        throw std::runtime_error("cannot make a folder of the scanned tree");
    m_writtenInOrder.append(path);
    return path;
}

qint64 DuplicateTree::itemsScanned(qint64 minimumFileSize) const
{
    // Every folder and file below the roots, less the files below the minimum size.
    const qint64 small = std::count_if(m_fileSizes.cbegin(), m_fileSizes.cend(),
                                       [&](qint64 size) { return size < minimumFileSize; });
    return m_writtenInOrder.size() - 2 - small;
}

qint64 DuplicateTree::extraCopies() const
{
    qint64 copies = 0;
    for (const Group &group : m_groups)
        copies += group.members.size() - 1;
    return copies;
}

qint64 DuplicateTree::extraBytes() const
{
    qint64 bytes = 0;
    for (const Group &group : m_groups)
        bytes += (group.members.size() - 1) * group.memberSize;
    return bytes;
}

QStringList DuplicateTree::keepOldestTicked() const
{
    QStringList ticked;
    for (const Group &group : m_groups)
        ticked += group.members.mid(1);
    return ticked;
}

QString DuplicateTree::keptCopyOf(const QString &ticked) const
{
    for (const Group &group : m_groups) {
        if (group.members.contains(ticked))
            return group.members.constFirst();
    }
    return {};
}

qint64 DuplicateTree::sizeOf(const QString &member) const
{
    for (const Group &group : m_groups) {
        if (group.members.contains(member))
            return group.memberSize;
    }
    return 0;
}

QString DuplicateTree::birthTimeProblem() const
{
    std::optional<statx_timestamp> previous;
    for (const QString &path : m_writtenInOrder) {
        const std::optional<statx_timestamp> born = birthTime(path);
        if (!born)
            return u"the file system keeps no birth time for "_s + path;
        if (previous && !isBefore(*previous, *born))
            return u"the birth time of %1 is not after that of the item written before it"_s.arg(path);
        previous = born;
    }
    return {};
}
