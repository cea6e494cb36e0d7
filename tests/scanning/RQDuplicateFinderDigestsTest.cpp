#include "scanning/RQDuplicateFinderDigests.h"

#include "ScanFixture.h"
#include "scanning/RQFile.h"
#include "scanning/RQHashHelper.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <atomic>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

TEST(RQDuplicateFinderDigestsTest, OnlyFilesThatShareASizeAreDigested)
{
    const std::vector<std::shared_ptr<RQFile>> files = {
        fileOfSize(u"/a"_s, 10), fileOfSize(u"/b"_s, 20), fileOfSize(u"/c"_s, 10),
        fileOfSize(u"/d"_s, 30), fileOfSize(u"/e"_s, 30), fileOfSize(u"/f"_s, 10),
    };
    QStringList chosen;
    for (const auto &file : RQDuplicateFinderDigests::filesSharingSize(files))
        chosen.append(file->path());
    EXPECT_EQ(chosen, (QStringList{u"/d"_s, u"/e"_s, u"/a"_s, u"/c"_s, u"/f"_s}));
}

TEST(RQDuplicateFinderDigestsTest, FilesThatChangedSinceTheWalkKeepNoDigest)
{
    TemporaryFolder folder;
    const QByteArray content(300000, 'c');
    struct Case
    {
        QString name;
        std::function<void(const QString &path)> change;
        bool digested;
    };
    const std::vector<Case> cases = {
        {u"unchanged"_s, [](const QString &) {}, true},
        {u"vanished"_s, [](const QString &path) { QFile::remove(path); }, false},
        {u"now-a-link"_s,
         [&folder](const QString &path) {
             QFile::remove(path);
             QFile::link(folder.filePath(u"unchanged"_s), path);
         },
         false},
        {u"now-a-fifo"_s,
         [](const QString &path) {
             QFile::remove(path);
             ::mkfifo(QFile::encodeName(path).constData(), 0600);
         },
         false},
        {u"now-a-folder"_s,
         [](const QString &path) {
             QFile::remove(path);
             QDir().mkdir(path);
         },
         false},
    };
    std::vector<std::shared_ptr<RQFile>> files;
    for (const Case &change : cases) {
        const QString path = folder.writeFile(change.name, content);
        files.push_back(fileOfSize(path, double(content.size())));
        change.change(path);
    }
    std::atomic<int> reported = 0;
    RQDuplicateFinderDigests::digestFiles(files, 128 * 1024, [&reported] { ++reported; });
    EXPECT_EQ(reported.load(), int(cases.size()));
    for (std::size_t index = 0; index < cases.size(); ++index) {
        EXPECT_EQ(files[index]->contentDigest().has_value(), cases[index].digested) << cases[index].name.toStdString();
    }
    EXPECT_EQ(files[0]->fileHash(), RQHashHelper::sha1ForData(content));
}
