// Times the getters the interface and the remover read, on a file the walk placed by name at
// several depths and on the same file made from its path, in nanoseconds per call.

#include "scanning/RQDirectory.h"

#include <QElapsedTimer>

#include <cstdio>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int callCount = 2000000;

template<typename Getter>
double nanosecondsPerCall(const RQFile &item, Getter getter)
{
    qsizetype total = 0;
    QElapsedTimer timer;
    timer.start();
    for (int call = 0; call < callCount; ++call)
        total += getter(item).size();
    const double nanoseconds = double(timer.nsecsElapsed()) / callCount;
    // Used, so that the calls are not left out.
    if (total == 0)
        std::fprintf(stderr, "no text\n");
    return nanoseconds;
}

void printTimes(const char *kind, const RQFile &item)
{
    std::printf(" %s_path_ns=%.1f %s_fileName_ns=%.1f %s_UTI_ns=%.1f", kind,
                nanosecondsPerCall(item, [](const RQFile &file) { return file.path(); }), kind,
                nanosecondsPerCall(item, [](const RQFile &file) { return file.fileName(); }), kind,
                nanosecondsPerCall(item, [](const RQFile &file) { return file.UTI(); }));
}

} // namespace

int main()
{
    for (const int depth : {3, 10, 40}) {
        std::vector<std::shared_ptr<RQDirectory>> branch = {RQDirectory::fileWithPath(u"/home/user/photos"_s)};
        while (static_cast<int>(branch.size()) < depth) {
            auto folder = RQDirectory::fileWithName(u"g08034"_s, *branch.back());
            branch.back()->addChild(folder);
            branch.push_back(folder);
        }
        const auto placed = RQFile::fileWithName(u"photo-08034-83.jpg"_s, *branch.back());
        branch.back()->addChild(placed);
        const auto fromPath = RQFile::fileWithPath(placed->path());
        std::printf("depth=%d path_length=%lld", depth, static_cast<long long>(placed->path().size()));
        printTimes("placed", *placed);
        printTimes("from_path", *fromPath);
        std::printf("\n");
    }
    return 0;
}
