// What a removal cut short leaves, made on disk as a kill leaves it (the record written, the aside
// folder holding the item in flight, the removal gone), and what the next start does with it.

#include "support/RemovalFixture.h"

#include "removal/AsideJournal.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QByteArray asideName = QByteArrayLiteral(".marrowick-removing-test");

struct LeftOverCase
{
    const char *name;
    // Changes the item's place after the item went aside; empty leaves it free.
    std::function<void(RemovalFixture &self)> placeTaken;
    // What the place holds after the next start (a link's target below data/), and the log line's
    // start.
    QByteArray placeAfter;
    QString logStart;
    bool leftOverStays;
};

void PrintTo(const LeftOverCase &test, std::ostream *stream)
{
    *stream << test.name;
}

class AsideJournalTest : public RemovalFixture, public ::testing::WithParamInterface<LeftOverCase>
{
protected:
    // copies/x moved into its aside folder by a removal that then died; record still locked while
    // the answer lives.
    std::unique_ptr<AsideJournal> leaveItemAside()
    {
        file(u"kept/x"_s, "content");
        file(u"copies/x"_s, "content");
        auto record = AsideJournal::begin(asideName, {dataPath(u"copies"_s), dataPath(u"elsewhere"_s)});
        EXPECT_NE(record, nullptr);
        EXPECT_TRUE(QDir().mkdir(asidePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        EXPECT_TRUE(QFile::rename(dataPath(u"copies/x"_s), asidePath() + "/x"_L1));
        return record;
    }

    QString asidePath() const { return dataPath(u"copies/"_s) + QString::fromLatin1(asideName); }

    QStringList records() const
    {
        return QDir(AsideJournal::folderPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

} // namespace

TEST_P(AsideJournalTest, NextStartPutsTheLeftOverBackOrFinishesIt)
{
    const LeftOverCase &test = GetParam();
    leaveItemAside().reset();
    if (test.placeTaken)
        test.placeTaken(*this);

    LogCapture log;
    remove({}, false);

    const QByteArray placeAfter = test.placeAfter.startsWith("L:")
        ? "L:" + dataPath(QString::fromLatin1(test.placeAfter.mid(2))).toUtf8()
        : test.placeAfter;
    EXPECT_EQ(snapshot().value(u"copies/x"_s), placeAfter);
    ASSERT_EQ(log.lines().size(), 1) << log.lines().join(u'\n').toStdString();
    EXPECT_TRUE(log.lines().first().startsWith(test.logStart + dataPath(u"copies/x"_s))) << log.lines().first().toStdString();
    EXPECT_EQ(QFileInfo::exists(asidePath() + "/x"_L1), test.leftOverStays);
    EXPECT_EQ(QFileInfo::exists(asidePath()), test.leftOverStays);
    // A left-over that stays is looked for again at the next start.
    EXPECT_EQ(records().size(), test.leftOverStays ? 1 : 0);
    EXPECT_EQ(snapshot().value(u"kept/x"_s), QByteArray("F:content"));
}

INSTANTIATE_TEST_SUITE_P(
    LeftOvers, AsideJournalTest,
    ::testing::Values(
        LeftOverCase{"PlaceFree", {}, "F:content", u"Put back "_s, false},
        LeftOverCase{"LinkStandsInItsPlace",
                     [](RemovalFixture &self) { self.m_folder.makeSymlink(u"data/copies/x"_s, self.dataPath(u"kept/x"_s)); },
                     "L:kept/x", u"Finished removing "_s, false},
        LeftOverCase{"OtherFileTookItsPlace", [](RemovalFixture &self) { self.file(u"copies/x"_s, "another"); },
                     "F:another", u"Left "_s, true},
        LeftOverCase{"LinkToSomethingElseTookItsPlace",
                     [](RemovalFixture &self) {
                         self.file(u"kept/other"_s, "other, longer content");
                         self.m_folder.makeSymlink(u"data/copies/x"_s, self.dataPath(u"kept/other"_s));
                     },
                     "L:kept/other", u"Left "_s, true}),
    [](const auto &entry) { return std::string(entry.param.name); });

// The record of a removal that still runs is left alone, and so is its item.
TEST_F(AsideJournalTest, RunningRemovalsLeftOverIsLeftAlone)
{
    const auto running = leaveItemAside();

    LogCapture log;
    remove({}, false);

    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(asidePath() + "/x"_L1));
    EXPECT_EQ(records().size(), 1);
}
