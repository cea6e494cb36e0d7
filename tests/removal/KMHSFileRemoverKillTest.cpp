// A removal killed (SIGKILL) at a random moment, in each mode, by a program of its own: nothing
// outside the list is touched, no listed item is lost outside the Trash in the trash modes, at
// most the one item in flight lacks its link or lies aside, and the next start of the remover
// puts a left-over back or finishes it, with a log line. A few kills per mode here;
// MARROWICK_KILL_RUNS and MARROWICK_KILL_ITEMS set them for a longer run.

#include "support/RemovalFixture.h"

#include "removal/AsideFolders.h"
#include "removal/AsideJournal.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>
#include <random>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

int fromEnvironment(const char *name, int fallback)
{
    const int value = qEnvironmentVariableIntValue(name);
    return value > 0 ? value : fallback;
}

struct KillMode
{
    const char *name;
    const char *argument;
    bool useTrash;
    bool makeLinks;
};

void PrintTo(const KillMode &mode, std::ostream *stream)
{
    *stream << mode.name;
}

// What a run left, counted.
struct Tally
{
    int runs = 0;
    int leftAside = 0;
    int putBack = 0;
    int finished = 0;
    int withoutLink = 0;
};

class KMHSFileRemoverKillTest : public RemovalFixture, public ::testing::WithParamInterface<KillMode>
{
protected:
    // copies/N, each the copy of kept/N (every 50th a folder of two files), and other/N, never
    // listed.
    void makeTree(int items)
    {
        QDir(dataPath(QString())).removeRecursively();
        for (int index = 0; index < items; ++index) {
            const QString name = QString::number(index);
            const QByteArray content = "listed " + name.toLatin1();
            for (const QString &side : {u"copies/"_s, u"kept/"_s}) {
                if (index % 50 == 7) {
                    file(side + name + u"/a.txt"_s, content + " a");
                    file(side + name + u"/b.txt"_s, content + " b");
                } else {
                    file(side + name, content);
                }
            }
            file(u"other/"_s + name, "never listed " + name.toLatin1());
        }
    }

    // Starts the removal and kills it after delayMicroseconds of removing (never, when negative);
    // answers how long it removed.
    qint64 runChild(qint64 delayMicroseconds)
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QStringLiteral(MARROWICK_REMOVAL_CHILD), {dataPath(QString()), QString::fromLatin1(GetParam().argument)});
        EXPECT_TRUE(child.waitForStarted(30000));
        while (!child.canReadLine() && child.waitForReadyRead(60000)) {
        }
        EXPECT_EQ(child.readLine().trimmed(), QByteArray("removing"));
        QElapsedTimer removing;
        removing.start();
        if (delayMicroseconds >= 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds));
            child.kill();
        }
        EXPECT_TRUE(child.waitForFinished(120000));
        return removing.nsecsElapsed() / 1000;
    }

    QStringList asideEntries() const
    {
        QStringList entries;
        for (const QString &aside : QDir(dataPath(u"copies"_s)).entryList({QString::fromLatin1(AsideFolders::namePrefix) + u'*'},
                                                                          QDir::AllEntries | QDir::Hidden))
            entries += QDir(dataPath(u"copies/"_s + aside)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        return entries;
    }

    // Each listed item is as it was, replaced by its link, in the Trash (trash modes) or gone
    // (delete modes); answers those that went without a link in a link mode.
    int checkListedItems(const Snapshot &before, int items, const QStringList &aside)
    {
        const KillMode &mode = GetParam();
        const Snapshot after = snapshot();
        int withoutLink = 0;
        for (int index = 0; index < items; ++index) {
            const QString name = QString::number(index);
            const QString place = u"copies/"_s + name;
            const QByteArray now = after.value(place);
            if (now.isEmpty()) {
                if (mode.useTrash) {
                    EXPECT_TRUE(QFileInfo::exists(homeTrash() + "/files/"_L1 + name) || aside.contains(name))
                        << "lost outside the Trash: " << index;
                }
                if (mode.makeLinks && !aside.contains(name))
                    ++withoutLink;
            } else if (now.startsWith("L:")) {
                EXPECT_TRUE(mode.makeLinks);
                EXPECT_EQ(now, "L:" + dataPath(u"kept/"_s + name).toUtf8());
            } else {
                for (auto entry = before.lowerBound(place); entry != before.cend() && entry.key().startsWith(place); ++entry) {
                    if (entry.key() == place || entry.key().startsWith(place + u'/')) {
                        EXPECT_EQ(after.value(entry.key()), entry.value()) << "changed: " << entry.key().toStdString();
                    }
                }
            }
        }
        return withoutLink;
    }

    void killOnce(int items, qint64 delay, Tally &tally)
    {
        makeTree(items);
        const Snapshot before = snapshot();
        runChild(delay);

        expectUntouchedExcept(before, {u"copies"_s});
        const QStringList aside = asideEntries();
        EXPECT_LE(aside.size(), 1) << "items left aside: " << aside.join(u' ').toStdString();
        const int withoutLink = checkListedItems(before, items, aside);
        EXPECT_LE(withoutLink + aside.size(), 1) << "items without their link: " << withoutLink;

        LogCapture log;
        remove({}, false);
        EXPECT_TRUE(asideEntries().isEmpty());
        EXPECT_TRUE(QDir(AsideJournal::folderPath()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        const int putBack = int(log.lines().filter(u"Put back "_s).size());
        const int finished = int(log.lines().filter(u"Finished removing "_s).size());
        EXPECT_EQ(putBack + finished, aside.size()) << log.lines().join(u'\n').toStdString();
        checkListedItems(before, items, {});
        expectUntouchedExcept(before, {u"copies"_s});

        ++tally.runs;
        tally.leftAside += int(aside.size());
        tally.putBack += putBack;
        tally.finished += finished;
        tally.withoutLink += withoutLink;
    }
};

} // namespace

TEST_P(KMHSFileRemoverKillTest, KilledRemovalLosesNothingAndItsLeftOverIsRecoveredAtTheNextStart)
{
    const int items = fromEnvironment("MARROWICK_KILL_ITEMS", 1000);
    const int runs = fromEnvironment("MARROWICK_KILL_RUNS", 3);
    makeTree(items);
    const qint64 duration = runChild(-1);
    std::minstd_rand random(std::random_device{}());
    Tally tally;
    for (int run = 0; run < runs; ++run) {
        // The first kill falls in the middle of the removal, the others anywhere in it.
        const qint64 delay = run == 0 ? duration / 2 : qint64(random() % quint64(duration + 1));
        killOnce(items, delay, tally);
        if (HasFailure())
            break;
    }
    std::printf("%s: %d kills of a removal of %d items (%lld us): %d left aside (%d put back, %d finished), "
                "%d gone without their link\n",
                GetParam().name, tally.runs, items, qlonglong(duration), tally.leftAside, tally.putBack,
                tally.finished, tally.withoutLink);
}

INSTANTIATE_TEST_SUITE_P(Modes, KMHSFileRemoverKillTest,
                         ::testing::Values(KillMode{"Trash", "trash", true, false},
                                           KillMode{"Delete", "delete", false, false},
                                           KillMode{"TrashAndLinks", "trash,links", true, true},
                                           KillMode{"DeleteAndLinks", "delete,links", false, true}),
                         [](const auto &mode) { return std::string(mode.param.name); });
