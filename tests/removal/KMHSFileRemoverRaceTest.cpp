// Another program renames files while the removal runs: a second thread swaps each listed name
// with an unlisted file of the same size (renameat2 RENAME_EXCHANGE, as atomic saves and sync
// tools do) in a loop. Whatever the timing, no unlisted file may leave the tree. The removal is
// repeated a few times per mode here; MARROWICK_RACE_RUNS sets the count for a longer run.

#include "support/RemovalFixture.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

constexpr int itemCount = 200;

int raceRuns()
{
    const int runs = qEnvironmentVariableIntValue("MARROWICK_RACE_RUNS");
    return runs > 0 ? runs : 3;
}

// Same size as the listed copies, so that only the object tells them apart.
QByteArray listedContent(int index)
{
    return "listed " + QByteArray::number(index).rightJustified(4, '0');
}

QByteArray unlistedContent(int index)
{
    return "unlist " + QByteArray::number(index).rightJustified(4, '0');
}

class KMHSFileRemoverRaceTest : public RemovalFixture, public ::testing::WithParamInterface<bool>
{
protected:
    // One run on a fresh tree: the number of unlisted files that left data/.
    int unlistedFilesLostInOneRun(bool useTrash)
    {
        QDir(dataPath(QString())).removeRecursively();
        for (int index = 0; index < itemCount; ++index) {
            file(u"kept/%1"_s.arg(index), listedContent(index));
            file(u"copies/%1"_s.arg(index), listedContent(index));
            file(u"copies/other-%1"_s.arg(index), unlistedContent(index));
        }
        scan();
        KMHSFileRemover::FileList files;
        for (int index = 0; index < itemCount; ++index) {
            const auto copy = scanned(u"copies/%1"_s.arg(index));
            copy->setAliasDestinationFile(scanned(u"kept/%1"_s.arg(index)));
            files.push_back(copy);
        }

        std::atomic<bool> stop = false;
        const QByteArray copies = QFile::encodeName(dataPath(u"copies"_s));
        std::thread swapper([&stop, copies] {
            const int folder = ::open(copies.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            std::minstd_rand random(12345);
            while (!stop.load()) {
                const QByteArray index = QByteArray::number(int(random() % itemCount));
                ::renameat2(folder, index.constData(), folder, QByteArray("other-" + index).constData(),
                            RENAME_EXCHANGE);
            }
            ::close(folder);
        });
        remove(files, useTrash);
        stop = true;
        swapper.join();

        QSet<QByteArray> left;
        for (const QByteArray &value : snapshot())
            left.insert(value);
        int lost = 0;
        for (int index = 0; index < itemCount; ++index)
            lost += left.contains("F:" + unlistedContent(index)) ? 0 : 1;
        for (int index = 0; index < itemCount; ++index)
            EXPECT_TRUE(left.contains("F:" + listedContent(index))) << "kept copy lost: " << index;
        return lost;
    }
};

} // namespace

TEST_P(KMHSFileRemoverRaceTest, NoUnlistedFileLeavesWhileNamesAreSwapped)
{
    const bool useTrash = GetParam();
    const int runs = raceRuns();
    int runsThatLost = 0;
    int lost = 0;
    for (int run = 0; run < runs; ++run) {
        const int lostThisRun = unlistedFilesLostInOneRun(useTrash);
        lost += lostThisRun;
        runsThatLost += lostThisRun > 0 ? 1 : 0;
    }
    std::printf("%s: %d of %d runs removed unlisted files, %d files in all\n", useTrash ? "trash" : "delete",
                runsThatLost, runs, lost);
    EXPECT_EQ(lost, 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, KMHSFileRemoverRaceTest, ::testing::Values(false, true),
                         [](const auto &mode) { return mode.param ? "Trash" : "Delete"; });
