// Times the file remover on COUNT files (10,000 unless given), each the copy of a kept file, in the
// four modes: deleted, deleted and replaced by links, moved to the Trash, and both; and moved to
// the Trash once more with every copy of one name, each in a folder of its own. The files are made in a fresh temporary folder, written to the disk before each timing, and scanned
// by the walk, so that the items are what a scan hands over; home, settings and Trash are the
// temporary folder's own, never the user's.

#include "removal/KMHSFileRemover.h"
#include "scanning/RQDirectory.h"
#include "scanning/RQDuplicateFinder.h"
#include "scanning/RQDuplicateFinderScan.h"
#include "scanning/RQDuplicateFinderWalk.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

class CompletionWaiter final : public KMHSFileRemoverDelegate
{
public:
    void fileRemoverDidRemoveFileWithDetails(KMHSFileRemover *, KMHSDetails) override {}
    void fileRemoverDidStartCreatingAliases(KMHSFileRemover *) override {}
    void fileRemoverDidCompleteWithErrors(KMHSFileRemover *, const KMHSErrorDictionary &errors, qint64 removed,
                                          quint64) override
    {
        m_failed = errors.size();
        m_removed = removed;
        m_loop.quit();
    }

    void wait() { m_loop.exec(); }
    qint64 removed() const { return m_removed; }
    qsizetype failed() const { return m_failed; }

private:
    QEventLoop m_loop;
    qint64 m_removed = 0;
    qsizetype m_failed = 0;
};

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

// data/kept/N and data/copies/N (or data/copies/N/cover.jpg) with the same content; answers the
// copies, each keeping its kept file, as items of a walk over data/.
KMHSFileRemover::FileList makeCopies(const QString &data, int count, bool oneName,
                                     std::vector<std::shared_ptr<RQFile>> &tree)
{
    QDir().mkpath(data + "/kept"_L1);
    QDir().mkpath(data + "/copies"_L1);
    const auto copyPath = [&data, oneName](int index) -> QString {
        return data + "/copies/"_L1 + QString::number(index) + (oneName ? "/cover.jpg"_L1 : ""_L1);
    };
    for (int index = 0; index < count; ++index) {
        const QByteArray content = "content of file " + QByteArray::number(index);
        writeFile(data + "/kept/"_L1 + QString::number(index), content);
        if (oneName)
            QDir().mkpath(QFileInfo(copyPath(index)).path());
        writeFile(copyPath(index), content);
    }
    const auto finder = RQDuplicateFinder::duplicateFinderWithPaths({data}, 0);
    RQDuplicateFinderScan scan;
    RQDuplicateFinderWalk(*finder, scan).walkRoots();
    QCoreApplication::sendPostedEvents();
    QHash<QString, std::shared_ptr<RQFile>> byPath;
    scan.forEachItem([&byPath](const auto &item) { byPath.insert(item->path(), item); });
    KMHSFileRemover::FileList copies;
    for (int index = 0; index < count; ++index) {
        const auto copy = byPath.value(copyPath(index));
        copy->setAliasDestinationFile(byPath.value(data + "/kept/"_L1 + QString::number(index)));
        copies.push_back(copy);
    }
    tree.assign(scan.roots.cbegin(), scan.roots.cend());
    return copies;
}

double secondsToRemove(const QString &data, int count, bool useTrash, bool makeLinks, bool oneName = false)
{
    std::vector<std::shared_ptr<RQFile>> tree;
    const KMHSFileRemover::FileList copies = makeCopies(data, count, oneName, tree);
    // On the disk before the clock starts, so that the removal does not share it with their writing.
    ::sync();
    CompletionWaiter waiter;
    QElapsedTimer timer;
    timer.start();
    {
        KMHSFileRemover remover;
        remover.setUseTrash(useTrash);
        remover.setMakeAliases(makeLinks);
        remover.setDelegate(&waiter);
        remover.removeFiles(copies);
        waiter.wait();
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (waiter.removed() != count || waiter.failed() != 0)
        std::fprintf(stderr, "removed %lld, failed %lld\n", qlonglong(waiter.removed()), qlonglong(waiter.failed()));
    QDir(data).removeRecursively();
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    const QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + "/share"_L1));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + "/config"_L1));
    QCoreApplication application(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    const QString data = home.path() + "/data"_L1;
    const double deleted = secondsToRemove(data, count, false, false);
    const double deletedLinked = secondsToRemove(data, count, false, true);
    const double trashed = secondsToRemove(data, count, true, false);
    const double trashedLinked = secondsToRemove(data, count, true, true);
    const double trashedOneName = secondsToRemove(data, count, true, false, true);
    std::printf("%d files: deleted %.3f s, deleted + links %.3f s, trashed %.3f s, trashed + links %.3f s, "
                "trashed, one name %.3f s\n",
                count, deleted, deletedLinked, trashed, trashedLinked, trashedOneName);
    return 0;
}
