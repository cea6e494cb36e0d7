// Times the directory walk over the roots with one reading thread and with every one, then the
// walk's two calls per entry on their own (statx, and listxattr for the backup test), so that
// their share of the walk on one thread is known.

#include "platform/DirectoryWalker.h"
#include "platform/WalkPaths.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <sys/xattr.h>
#include <vector>

#ifndef SYS_listxattrat
#define SYS_listxattrat 465
#endif

namespace {

template<typename Body>
double secondsOf(Body body)
{
    QElapsedTimer timer;
    timer.start();
    body();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList roots = QCoreApplication::arguments().mid(1);
    if (roots.isEmpty()) {
        std::fprintf(stderr, "usage: walk-bench ROOT...\n");
        return 2;
    }
    // The walk on its own thread alone, then with every reader.
    std::vector<std::string> paths;
    const auto walkWith = [&roots, &paths](int readers) {
        paths.clear();
        for (const QString &root : roots) {
            DirectoryWalker walker(root, readers);
            WalkPaths entryPaths(root);
            DirectoryEntry entry;
            while (walker.next(entry)) {
                const QString path = entryPaths.pathOf(entry);
                if (entry.passedOver == DirectoryEntry::PassedOver::None)
                    paths.push_back(QFile::encodeName(path).toStdString());
            }
        }
    };
    const double walkAlone = secondsOf([&] { walkWith(1); });
    const double walk = secondsOf([&] { walkWith(DirectoryWalker::defaultReaders()); });
    const double count = static_cast<double>(paths.size());
    std::vector<char> names(64 * 1024);
    // Each call as the walk makes it: relative to the open parent folder.
    const auto eachRelative = [&paths](const auto &call) {
        std::string openFolder;
        int folder = -1;
        for (const std::string &path : paths) {
            const std::size_t slash = path.find_last_of('/', path.size() - 2);
            const std::string parent = path.substr(0, slash + 1);
            if (parent != openFolder) {
                if (folder >= 0)
                    ::close(folder);
                folder = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                openFolder = parent;
            }
            std::string name = path.substr(slash + 1);
            if (!name.empty() && name.back() == '/')
                name.pop_back();
            call(folder, name.c_str(), path.c_str());
        }
        if (folder >= 0)
            ::close(folder);
    };
    const double relativeListings = secondsOf([&] {
        eachRelative([&names](int folder, const char *name, const char *) {
            (void)::syscall(SYS_listxattrat, folder, name, AT_SYMLINK_NOFOLLOW, names.data(), names.size());
        });
    });
    const double pathListings = secondsOf([&] {
        eachRelative([&names](int, const char *, const char *path) {
            (void)::llistxattr(path, names.data(), names.size());
        });
    });
    const double statxs = secondsOf([&] {
        struct statx values {};
        eachRelative([&values](int folder, const char *name, const char *) {
            (void)::statx(folder, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                          STATX_TYPE | STATX_SIZE | STATX_BTIME | STATX_MTIME, &values);
        });
    });
    std::printf("entries=%.0f readers=%d walk_seconds=%.3f walk_us_per_entry=%.2f one_reader_walk_seconds=%.3f\n",
                count, DirectoryWalker::defaultReaders(), walk, walk * 1e6 / count, walkAlone);
    std::printf("statx_us=%.2f listxattrat_us=%.2f llistxattr_by_path_us=%.2f listxattrat_share_of_one_reader_walk=%.0f%%\n",
                statxs * 1e6 / count, relativeListings * 1e6 / count, pathListings * 1e6 / count,
                100 * relativeListings / walkAlone);
    return 0;
}
