#include "ScanFixture.h"

#include "scanning/RQDuplicateFiles.h"
#include "scanning/RQFile.h"

#include "support/EventLoop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

// What the process's descriptors name below the folder, read when it is called.
QStringList filesOpenBelow(const QString &folder)
{
    QStringList open;
    const QDir descriptors(u"/proc/self/fd"_s);
    for (const QString &descriptor : descriptors.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = QFile::symLinkTarget(descriptors.filePath(descriptor));
        if (target.startsWith(folder + u'/'))
            open.append(target);
    }
    return open;
}

} // namespace

QString ScanFixture::write(const QString &relativePath, const QByteArray &content) const
{
    return m_folder.writeFile(relativePath, content);
}

QString ScanFixture::write(const QString &relativePath, qsizetype size, char fill, std::optional<char> last) const
{
    QByteArray content(size, fill);
    if (last && size > 0)
        content[size - 1] = *last;
    return m_folder.writeFile(relativePath, content);
}

void ScanFixture::makeSymlink(const QString &relativePath, const QString &target) const
{
    m_folder.makeSymlink(relativePath, target);
}

ScanReports ScanFixture::scan(const QStringList &roots, double minimumFileSize, const Configure &configure) const
{
    auto reports = std::make_shared<ScanReports>();
    auto finder = RQDuplicateFinder::duplicateFinderWithPaths(roots, minimumFileSize);
    if (configure)
        configure(*finder);
    bool starting = true;
    auto noteThread = [reports](const QString &callback) {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            reports->offMainThread.append(callback);
    };
    auto note = [reports, noteThread](const QString &callback) {
        noteThread(callback);
        if (reports->completed)
            reports->reportAfterCompletion = true;
    };
    finder->setFailureBlock([reports, noteThread, &starting](const auto &error) {
        noteThread(u"failure"_s);
        EXPECT_FALSE(error.has_value());
        reports->failed = true;
        reports->failedBeforeStartReturned = starting;
    });
    finder->setProgressBlock([reports, note](qint64 step, double value) {
        note(u"progress"_s);
        reports->progress.emplace_back(step, value);
    });
    finder->setDidScanFileBlock([reports, note](qint64 total) {
        note(u"file scanned"_s);
        reports->scanned.push_back(total);
    });
    finder->setDidFindDuplicateBlock([reports, note](qint64 count, double bytes) {
        note(u"duplicate found"_s);
        reports->found.emplace_back(count, bytes);
    });
    finder->setCompletionBlock([reports, noteThread, folder = m_folder.path()](const auto &finished, const auto &groups) {
        noteThread(u"completion"_s);
        EXPECT_FALSE(reports->completed) << "one completion only";
        reports->filesOpenAtCompletion = filesOpenBelow(folder);
        reports->completed = true;
        reports->groups = groups;
        reports->skippedIphoto = finished->skippedIphoto();
    });
    finder->start();
    starting = false;
    EXPECT_TRUE(processEventsUntil([&] { return reports->completed; }, 60000));
    // Anything still queued would show up here.
    processEventsFor(20);
    return *reports;
}

QString ScanFixture::relative(const QString &path) const
{
    const QString prefix = m_folder.path() + u'/';
    return path.startsWith(prefix) ? path.mid(prefix.size()) : path;
}

QStringList ScanFixture::groupsOf(const ScanReports &reports) const
{
    QStringList groups;
    if (!reports.groups)
        return groups;
    for (const auto &group : *reports.groups) {
        QStringList members;
        for (const auto &member : group->duplicates())
            members.append(relative(member->path()));
        members.sort();
        groups.append(members.join(" | "_L1));
    }
    groups.sort();
    return groups;
}
