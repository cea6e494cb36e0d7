// Digests every regular file below the roots on all threads, once per read size, and prints
// the wall time of each pass: how the read size of stage 1 was chosen.

#include "platform/DirectoryWalker.h"
#include "platform/WalkPaths.h"
#include "platform/ParallelFor.h"
#include "scanning/RQHashHelper.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QStringList roots = QCoreApplication::arguments().mid(1);
    // --serial digests on the calling thread only, which a busy machine disturbs less.
    const bool serial = !roots.isEmpty() && roots.front() == QLatin1StringView("--serial");
    if (serial)
        roots.removeFirst();
    if (roots.isEmpty()) {
        std::fprintf(stderr, "usage: digest-bench [--serial] ROOT...\n");
        return 2;
    }
    QStringList files;
    double bytes = 0;
    for (const QString &root : roots) {
        DirectoryWalker walker(root);
        WalkPaths paths(root);
        DirectoryEntry entry;
        while (walker.next(entry)) {
            const QString path = paths.pathOf(entry);
            if (entry.passedOver == DirectoryEntry::PassedOver::None
                && entry.type == DirectoryEntry::Type::RegularFile) {
                files.append(path);
                bytes += entry.size;
            }
        }
    }
    std::printf("files=%lld bytes=%.0f\n", static_cast<long long>(files.size()), bytes);
    for (const std::size_t chunkSize : {4096, 16384, 65536, 131072, 262144, 1048576}) {
        double best = 0;
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer timer;
            timer.start();
            const auto digest = [&files, chunkSize](qsizetype index) {
                (void)sha1DigestForFileAtPath(files.at(index), chunkSize);
            };
            if (serial) {
                for (qsizetype index = 0; index < files.size(); ++index)
                    digest(index);
            } else {
                parallelFor(files.size(), digest, DispatchPriority::High);
            }
            const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
            best = round == 0 ? seconds : std::min(best, seconds);
        }
        std::printf("chunk=%zu seconds=%.3f gb_per_second=%.2f\n", chunkSize, best, bytes / best / 1e9);
    }
    return 0;
}
