// Runs one scan of the given roots, as the application would, and prints what it found.
// The last line is "groups=G members=M extra=E extra_bytes=B seconds=S"; the lines before it
// give peak memory, the bytes read (which, unlike wall time, the load of the machine does not
// move) and when the walk ended.

#include "scanning/RQDuplicateFiles.h"
#include "scanning/RQDuplicateFinder.h"
#include "scanning/RQFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdio>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

long peakResidentKilobytes()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Bytes this process has read through read() and its kind so far: "rchar" of /proc/self/io.
long long bytesRead()
{
    QFile io(u"/proc/self/io"_s);
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}

// Backslashes and control characters as C escapes, so that every path stays on its line.
QByteArray escaped(const QString &path)
{
    QByteArray text;
    for (const char byte : path.toUtf8()) {
        switch (byte) {
        case '\\': text += "\\\\"; break;
        case '\n': text += "\\n"; break;
        case '\r': text += "\\r"; break;
        case '\t': text += "\\t"; break;
        default:
            if ((byte >= 0 && byte < 0x20) || byte == 0x7f)
                text += QByteArray::number(static_cast<int>(byte), 8).rightJustified(3, '0').prepend('\\');
            else
                text += byte;
        }
    }
    return text;
}

// One line per group: "group " and the members' escaped paths, sorted, joined by " | ".
QByteArrayList groupLines(const RQDuplicateFinder::Groups &groups)
{
    QByteArrayList lines;
    for (const auto &group : groups) {
        QByteArrayList paths;
        for (const auto &member : group->duplicates())
            paths.append(escaped(member->path()));
        std::sort(paths.begin(), paths.end());
        lines.append("group " + paths.join(" | "));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

int usage()
{
    std::fprintf(stderr, "usage: scan-bench [--list] [--min-size BYTES] ROOT...\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    // --list prints every group's members, one group a line, the lines sorted, before the totals.
    const bool list = !arguments.isEmpty() && arguments.front() == "--list"_L1;
    if (list)
        arguments.removeFirst();
    double minimumFileSize = 0;
    if (arguments.size() >= 2 && arguments.front() == "--min-size"_L1) {
        bool valid = false;
        minimumFileSize = arguments.at(1).toDouble(&valid);
        if (!valid)
            return usage();
        arguments = arguments.mid(2);
    }
    if (arguments.isEmpty())
        return usage();

    const long baseline = peakResidentKilobytes();
    const long long bytesReadBefore = bytesRead();
    auto finder = RQDuplicateFinder::duplicateFinderWithPaths(arguments, minimumFileSize);
    QElapsedTimer timer;
    // When the main thread first heard of each step (-1: never): where the time goes.
    std::array<double, 6> stepStarts {};
    stepStarts.fill(-1);
    finder->setProgressBlock([&](qint64 step, double) {
        auto &start = stepStarts[static_cast<std::size_t>(step)];
        if (start < 0)
            start = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    });
    finder->setCompletionBlock([&](const auto &finished, const auto &groups) {
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        qint64 members = 0;
        qint64 extra = 0;
        double extraBytes = 0;
        const RQDuplicateFinder::Groups found = groups.value_or(RQDuplicateFinder::Groups());
        if (list) {
            for (const QByteArray &line : groupLines(found))
                std::printf("%s\n", line.constData());
        }
        for (const auto &group : found) {
            members += group->count();
            extra += group->count() - 1;
            extraBytes += group->totalSize() - group->fileSize();
        }
        const qint64 items = finished->totalFilesScanned();
        const long peak = peakResidentKilobytes();
        std::printf("items=%lld peak_rss_kb=%ld baseline_rss_kb=%ld bytes_per_item=%.0f\n",
                    static_cast<long long>(items), peak, baseline,
                    items > 0 ? double(peak - baseline) * 1024.0 / double(items) : 0.0);
        // The walk ends where stage 1 begins.
        std::printf("bytes_read=%lld walk_seconds=%.3f\n", bytesRead() - bytesReadBefore, stepStarts[1]);
        std::printf("first_report_seconds=");
        for (const double start : stepStarts)
            std::printf("%.3f ", start);
        std::printf("\n");
        std::printf("finder_extra=%lld finder_extra_bytes=%.0f\n",
                    static_cast<long long>(finished->totalDuplicatesFound()), finished->totalDuplicatesSize());
        std::printf("groups=%zu members=%lld extra=%lld extra_bytes=%.0f seconds=%.3f\n",
                    groups ? groups->size() : std::size_t(0), static_cast<long long>(members),
                    static_cast<long long>(extra), extraBytes, seconds);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    timer.start();
    finder->start();
    return QCoreApplication::exec();
}
