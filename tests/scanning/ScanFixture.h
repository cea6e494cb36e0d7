#pragma once

#include "scanning/RQDuplicateFinder.h"
#include "scanning/RQFile.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

// An item for a path, with the size a walk would have given it; nothing is read from disk.
inline std::shared_ptr<RQFile> fileOfSize(const QString &path, double size)
{
    auto file = RQFile::fileWithPath(path);
    file->setFileSize(size);
    return file;
}

// What a whole scan reported, in the order the main thread received it.
struct ScanReports
{
    bool failedBeforeStartReturned = false;
    bool failed = false;
    std::vector<std::pair<qint64, double>> progress;
    std::vector<qint64> scanned;
    std::vector<std::pair<qint64, double>> found;
    bool completed = false;
    bool reportAfterCompletion = false;
    // The callbacks, by name, that ran on a thread other than the main one.
    QStringList offMainThread;
    std::optional<RQDuplicateFinder::Groups> groups;
    bool skippedIphoto = false;
    // Files below the fixture's folder that the process still had open when the completion ran.
    QStringList filesOpenAtCompletion;
};

// A temporary folder to build trees in, and whole scans over it with every callback recorded.
class ScanFixture : public ::testing::Test
{
protected:
    using Configure = std::function<void(RQDuplicateFinder &)>;

    QString root(const QString &relativePath) const { return m_folder.filePath(relativePath); }
    QString write(const QString &relativePath, const QByteArray &content) const;
    // size bytes of the fill byte, the last one replaced by last when given.
    QString write(const QString &relativePath, qsizetype size, char fill, std::optional<char> last = {}) const;
    void makeFolder(const QString &relativePath) const { m_folder.makeFolder(relativePath); }
    void makeSymlink(const QString &relativePath, const QString &target) const;

    ScanReports scan(const QStringList &roots, double minimumFileSize = 0, const Configure &configure = {}) const;
    // Each group as its members' paths relative to the folder, joined by " | "; the groups sorted.
    QStringList groupsOf(const ScanReports &reports) const;
    QString relative(const QString &path) const;

    TemporaryFolder m_folder;
};
