#include "photolibraries/RQPhotosLibraryParser.h"

#include "PhotosLibraryFixture.h"
#include "scanning/RQFile.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <unistd.h>

using namespace Qt::StringLiterals;
using Layout = PhotosLibraryFixture::Layout;

namespace {

// Every test gets a cache folder of its own, so the real one is never written and tests that
// run at the same time never share the fixed copy folder.
class PhotosLibraryParserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previousCacheHome = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cacheHome.path()));
        ASSERT_TRUE(RQPhotosLibraryParser::cachesPath().startsWith(m_cacheHome.path() + u'/'));
    }

    void TearDown() override
    {
        if (m_previousCacheHome.isNull())
            qunsetenv("XDG_CACHE_HOME");
        else
            qputenv("XDG_CACHE_HOME", m_previousCacheHome);
    }

    static bool cachesPathExists() { return QFileInfo::exists(RQPhotosLibraryParser::cachesPath()); }

    static QStringList cachesPathEntries()
    {
        return QDir(RQPhotosLibraryParser::cachesPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    TemporaryFolder m_library;

private:
    TemporaryFolder m_cacheHome;
    QByteArray m_previousCacheHome;
};

struct ExpectedItem {
    QString photoUUID;
    QString fileName;
    QString imagePath; // below "Masters"
    QString masterUUID;
    QString imageName;
    QString versionImagePath; // older layout only; empty: none
};

// One library that holds every case the reader tells apart.
PhotosLibraryFixture::Contents everyCase()
{
    return {
        .masters = {
            {.modelId = 1, .uuid = u"m-plain"_s, .fileName = u"IMG_0001.JPG"_s, .imagePath = u"2015/01/02/IMG_0001.JPG"_s},
            {.modelId = 2, .uuid = u"m-trash"_s, .fileName = u"IMG_0002.JPG"_s, .imagePath = u"IMG_0002.JPG"_s, .isInTrash = 1},
            {.modelId = 3, .uuid = u"m-hidden"_s, .fileName = u"IMG_0003.JPG"_s, .imagePath = u"IMG_0003.JPG"_s},
            {.modelId = 4, .uuid = u"m-edited"_s, .fileName = u"IMG_0004.JPG"_s, .imagePath = u"IMG_0004.JPG"_s},
            {.modelId = 5, .uuid = u"m-named"_s, .fileName = u"IMG_0005.JPG"_s, .imagePath = u"2016/IMG_0005.JPG"_s},
            {.modelId = 6, .uuid = u"m-twice"_s, .fileName = u"IMG_0006.JPG"_s, .imagePath = u"2016/IMG_0006.JPG"_s},
            {.modelId = 7, .uuid = u"O'Brien"_s, .fileName = u"IMG_0007.JPG"_s, .imagePath = u"IMG_0007.JPG"_s},
            // Formatted into the text, this uuid would select every version of the library.
            {.modelId = 8, .uuid = u"x') OR (1 = 1) OR ('"_s, .fileName = u"IMG_0008.JPG"_s, .imagePath = u"IMG_0008.JPG"_s},
            {.modelId = 9, .uuid = u"m-no-path"_s, .fileName = u"IMG_0009.JPG"_s, .imagePath = u""_s, .content = std::nullopt},
        },
        .versions = {
            {.modelId = 101, .uuid = u"v-plain"_s, .masterUuid = u"m-plain"_s},
            {.modelId = 102, .uuid = u"v-trash"_s, .masterUuid = u"m-trash"_s},
            {.modelId = 103, .uuid = u"v-hidden"_s, .masterUuid = u"m-hidden"_s, .showInLibrary = 0},
            {.modelId = 104, .uuid = u"v-edited"_s, .masterUuid = u"m-edited"_s, .adjustmentUuid = u"CROP-1"_s},
            {.modelId = 105, .uuid = u"v-named"_s, .name = u"Beach"_s, .masterUuid = u"m-named"_s},
            {.modelId = 106, .uuid = u"v-twice-1"_s, .name = u""_s, .masterUuid = u"m-twice"_s},
            {.modelId = 107, .uuid = u"v-twice-2"_s, .masterUuid = u"m-twice"_s},
            {.modelId = 108, .uuid = u"v-version-in-trash"_s, .masterUuid = u"m-twice"_s, .isInTrash = 1},
            {.modelId = 109, .uuid = u"v-quote"_s, .masterUuid = u"O'Brien"_s},
            {.modelId = 110, .uuid = u"v-no-path"_s, .masterUuid = u"m-no-path"_s},
        },
        .modelResources = {
            {.attachedModelId = 101, .resourceUuid = u"AB12-CD"_s, .filename = u"thumb.jpg"_s},
            {.attachedModelId = 105, .resourceUuid = u"A"_s, .filename = u"short.jpg"_s},
            {.attachedModelId = 106, .resourceUuid = std::nullopt, .filename = u"null.jpg"_s},
            {.attachedModelId = 109, .resourceUuid = u"zy"_s, .filename = std::nullopt},
            {.attachedModelId = 107, .resourceUuid = u"é9"_s, .filename = u"accent.jpg"_s},
        },
    };
}

const std::vector<ExpectedItem> everyCaseItems = {
    {u"v-plain"_s, u"IMG_0001.JPG"_s, u"2015/01/02/IMG_0001.JPG"_s, u"m-plain"_s, u""_s,
     u"resources/modelresources/65/66/AB12-CD/thumb.jpg"_s},
    {u"v-named"_s, u"IMG_0005.JPG (Beach)"_s, u"2016/IMG_0005.JPG"_s, u"m-named"_s, u"Beach"_s, u""_s},
    {u"v-twice-1"_s, u"IMG_0006.JPG"_s, u"2016/IMG_0006.JPG"_s, u"m-twice"_s, u""_s, u""_s},
    {u"v-twice-2"_s, u"IMG_0006.JPG"_s, u"2016/IMG_0006.JPG"_s, u"m-twice"_s, u""_s,
     u"resources/modelresources/233/57/é9/accent.jpg"_s},
    {u"v-quote"_s, u"IMG_0007.JPG"_s, u"IMG_0007.JPG"_s, u"O'Brien"_s, u""_s, u""_s},
};

class PhotosLibraryLayoutTest : public PhotosLibraryParserTest, public ::testing::WithParamInterface<Layout>
{
};

// A fingerprint of every file in a folder: its name, size, modification time and content.
QMap<QString, QByteArray> fingerprint(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator entries(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry(entries.next());
        QByteArray print = QByteArray::number(entry.size()) + ' '
            + QByteArray::number(entry.lastModified().toMSecsSinceEpoch());
        QFile file(entry.filePath());
        if (entry.isFile() && file.open(QIODevice::ReadOnly))
            print += ' ' + QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
        files.insert(entry.filePath(), print);
    }
    return files;
}

} // namespace

TEST_P(PhotosLibraryLayoutTest, ReadsOneItemPerUneditedVisibleVersion)
{
    const Layout layout = GetParam();
    const QString library = PhotosLibraryFixture::write(m_library.filePath(u"Family.photoslibrary"_s), layout, everyCase());
    const auto before = fingerprint(library);
    const LogCapture log;

    const RQPhotosLibraryParser parser(library);

    const auto &items = parser.imageFiles();
    ASSERT_EQ(items.size(), everyCaseItems.size());
    for (std::size_t index = 0; index < items.size(); ++index) {
        const ExpectedItem &expected = everyCaseItems[index];
        const auto &item = items[index];
        SCOPED_TRACE(expected.photoUUID.toStdString());
        const QVariantMap metadata = item->metadata();
        EXPECT_EQ(metadata.value(u"photoUUID"_s).toString(), expected.photoUUID);
        EXPECT_EQ(item->path(), library + u"/Masters/"_s + expected.imagePath);
        EXPECT_EQ(item->fileURL(), QUrl::fromLocalFile(item->path()));
        EXPECT_EQ(item->fileName(), expected.fileName);
        EXPECT_EQ(item->fileSize(), 5.0); // the fixture's media hold "image"
        EXPECT_TRUE(item->modificationDate().isValid());
        EXPECT_EQ(metadata.value(u"masterImagePath"_s).toString(), expected.imagePath);
        EXPECT_EQ(metadata.value(u"imageFileName"_s).toString(), QFileInfo(expected.imagePath).fileName());
        EXPECT_EQ(metadata.value(u"masterUUID"_s).toString(), expected.masterUUID);
        ASSERT_TRUE(metadata.contains(u"imageName"_s));
        EXPECT_EQ(metadata.value(u"imageName"_s).toString(), expected.imageName);
        const bool hasVersionPath = layout == Layout::Older && !expected.versionImagePath.isEmpty();
        EXPECT_EQ(metadata.contains(u"versionImagePath"_s), hasVersionPath);
        if (hasVersionPath) {
            EXPECT_EQ(metadata.value(u"versionImagePath"_s).toString(), expected.versionImagePath);
        }
    }
    EXPECT_EQ(items[2]->path(), items[3]->path());
    EXPECT_NE(items[2], items[3]);

    EXPECT_FALSE(cachesPathExists());
    EXPECT_EQ(fingerprint(library), before);
    EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, PhotosLibraryLayoutTest, ::testing::Values(Layout::Newer, Layout::Older),
                         [](const auto &test) { return test.param == Layout::Newer ? "Newer" : "Older"; });

TEST_F(PhotosLibraryParserTest, LibraryWithBothLayoutsIsReadFromPhotosDbOnly)
{
    const QString library = m_library.filePath(u"Both.photoslibrary"_s);
    PhotosLibraryFixture::write(library, Layout::Older, everyCase());
    PhotosLibraryFixture::write(
        library, Layout::Newer,
        {.masters = {{.modelId = 1, .uuid = u"new"_s, .fileName = u"new.heic"_s, .imagePath = u"new.heic"_s}},
         .versions = {{.modelId = 101, .uuid = u"v-new"_s, .masterUuid = u"new"_s}}});

    const RQPhotosLibraryParser parser(library);

    ASSERT_EQ(parser.imageFiles().size(), 1u);
    const QVariantMap metadata = parser.imageFiles().front()->metadata();
    EXPECT_EQ(metadata.value(u"photoUUID"_s).toString(), u"v-new"_s);
    EXPECT_FALSE(metadata.contains(u"versionImagePath"_s));
}

namespace {

PhotosLibraryFixture::Contents oneMaster()
{
    return {.masters = {{.modelId = 1, .uuid = u"m"_s, .fileName = u"a.jpg"_s, .imagePath = u"a.jpg"_s}},
            .versions = {{.modelId = 101, .uuid = u"v"_s, .masterUuid = u"m"_s}},
            .modelResources = {{.attachedModelId = 101, .resourceUuid = u"AB"_s, .filename = u"a.jpg"_s}}};
}

void overwrite(const QString &path, const QByteArray &content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// The first half of a database that is large enough to span many pages.
void truncateToHalf(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() / 2));
}

// Pages at the end overwritten: the schema still reads, the rows stored there do not.
void damageTheLastQuarter(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 size = file.size();
    ASSERT_TRUE(file.seek(size - size / 4));
    file.write(QByteArray(size / 4, '\xff'));
}

PhotosLibraryFixture::Contents manyMasters()
{
    PhotosLibraryFixture::Contents contents;
    for (qint64 id = 1; id <= 2000; ++id) {
        const QString uuid = u"master-%1"_s.arg(id);
        contents.masters.push_back({.modelId = id, .uuid = uuid, .fileName = u"f.jpg"_s,
                                    .imagePath = u"f.jpg"_s, .content = std::nullopt});
        contents.versions.push_back({.modelId = id, .uuid = u"version-%1"_s.arg(id), .masterUuid = uuid});
    }
    contents.masters.front().content = QByteArray("image");
    return contents;
}

struct FailureCase {
    const char *name;
    // Writes a broken library below the folder and answers its path; may break the caches.
    std::function<QString(const TemporaryFolder &folder)> makeLibrary;
    QStringList expectedLines; // each found inside some line of the log
    bool cachesPathStays;
};

const QString packageName = u"Broken.photoslibrary"_s;

void writeGarbage(const QString &path)
{
    overwrite(path, QByteArray(8192, 'x'));
}

enum class Database { Main, Proxy };

// A library written whole, whose database the damage then spoils.
QString libraryWithDamage(const TemporaryFolder &folder, Layout layout, const PhotosLibraryFixture::Contents &contents,
                          Database database, void (*damage)(const QString &path))
{
    const QString library = PhotosLibraryFixture::write(folder.filePath(packageName), layout, contents);
    damage(database == Database::Main ? PhotosLibraryFixture::mainDatabasePath(library, layout)
                                      : PhotosLibraryFixture::proxyDatabasePath(library));
    return library;
}

const std::vector<FailureCase> failureCases = {
    {"CorruptNewerDatabase",
     [](const TemporaryFolder &folder) {
         return libraryWithDamage(folder, Layout::Newer, oneMaster(), Database::Main, writeGarbage);
     },
     {u"file is not a database"_s}, false},
    {"TruncatedNewerDatabase",
     [](const TemporaryFolder &folder) {
         return libraryWithDamage(folder, Layout::Newer, manyMasters(), Database::Main, truncateToHalf);
     },
     {u"database disk image is malformed"_s}, false},
    {"TruncatedOlderDatabase",
     [](const TemporaryFolder &folder) {
         return libraryWithDamage(folder, Layout::Older, manyMasters(), Database::Main, truncateToHalf);
     },
     {u"database disk image is malformed"_s}, false},
    // Rows read before the damage are not offered on their own.
    {"DamagedPagesInOlderDatabase",
     [](const TemporaryFolder &folder) {
         return libraryWithDamage(folder, Layout::Older, manyMasters(), Database::Main, damageTheLastQuarter);
     },
     {u"error calling sqlite3_step (11: database disk image is malformed) rs"_s}, false},
    {"CorruptProxyDatabase",
     [](const TemporaryFolder &folder) {
         return libraryWithDamage(folder, Layout::Older, oneMaster(), Database::Proxy, writeGarbage);
     },
     {u"file is not a database"_s}, false},
    {"MissingDatabaseFolder",
     [](const TemporaryFolder &folder) { return folder.makeFolder(packageName); },
     {u"Could not copy either the library or proxy database"_s, u"Library: 0"_s, u"Proxy: 0"_s,
      u"Could not copy libraries"_s},
     true},
    {"PhotosDbIsAFolder",
     [](const TemporaryFolder &folder) {
         folder.makeFolder(packageName + u"/database/photos.db"_s);
         return folder.filePath(packageName);
     },
     {u"Could not copy either the library"_s, u"Library: 0"_s, u"Could not copy libraries"_s}, true},
    {"LibraryDatabaseIsADanglingLink",
     [](const TemporaryFolder &folder) {
         const QString library = PhotosLibraryFixture::write(folder.filePath(packageName), Layout::Older, oneMaster());
         QFile::remove(PhotosLibraryFixture::mainDatabasePath(library, Layout::Older));
         folder.makeSymlink(packageName + u"/database/Library.apdb"_s, folder.filePath(u"gone.apdb"_s));
         return library;
     },
     {u"Could not copy either the library or proxy database"_s, u"Library: 0"_s, u"Proxy: 1"_s,
      u"Could not copy libraries"_s},
     true},
    {"CachesPathIsAFile",
     [](const TemporaryFolder &folder) {
         QDir().mkpath(QFileInfo(RQPhotosLibraryParser::cachesPath()).absolutePath());
         overwrite(RQPhotosLibraryParser::cachesPath(), "in the way");
         return PhotosLibraryFixture::write(folder.filePath(packageName), Layout::Newer, oneMaster());
     },
     {u"Could not create cache path because of error: "_s, u"Could not copy libraries"_s}, true},
    {"StaleCopyCannotBeReplaced",
     [](const TemporaryFolder &folder) {
         QDir().mkpath(RQPhotosLibraryParser::cachesLibraryDBPath() + u"/stuck"_s);
         return PhotosLibraryFixture::write(folder.filePath(packageName), Layout::Older, oneMaster());
     },
     {u"Could not copy either the library or proxy database"_s, u"Library: 0"_s, u"Proxy: 1"_s,
      u"Could not copy libraries"_s},
     true},
};

void PrintTo(const FailureCase &failure, std::ostream *out)
{
    *out << failure.name;
}

class PhotosLibraryFailureTest : public PhotosLibraryParserTest, public ::testing::WithParamInterface<FailureCase>
{
};

bool someLineContains(const QStringList &lines, const QString &text)
{
    return std::any_of(lines.begin(), lines.end(), [&](const QString &line) { return line.contains(text); });
}

} // namespace

TEST_P(PhotosLibraryFailureTest, LogsAndReadsNothing)
{
    const FailureCase &failure = GetParam();
    const QString library = failure.makeLibrary(m_library);
    const auto before = fingerprint(library);
    const LogCapture log;

    const RQPhotosLibraryParser parser(library);

    EXPECT_TRUE(parser.imageFiles().empty());
    for (const QString &expected : failure.expectedLines)
        EXPECT_TRUE(someLineContains(log.lines(), expected)) << expected.toStdString() << " not in:\n"
                                                            << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(cachesPathExists(), failure.cachesPathStays);
    EXPECT_EQ(fingerprint(library), before);
}

INSTANTIATE_TEST_SUITE_P(BrokenLibraries, PhotosLibraryFailureTest, ::testing::ValuesIn(failureCases),
                         [](const auto &test) { return std::string(test.param.name); });

// Permission bits do not stop root, so these cases run only for other users; the cases above
// fail the same steps in ways that hold for root too.
TEST_F(PhotosLibraryParserTest, PermissionsThatForbidTheCopy)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root, which reads and writes whatever the permission bits say";
    const QString library = PhotosLibraryFixture::write(m_library.filePath(packageName), Layout::Newer, oneMaster());
    const QString cacheFolder = QFileInfo(RQPhotosLibraryParser::cachesPath()).absolutePath();
    ASSERT_TRUE(QDir().mkpath(cacheFolder));
    const struct {
        const char *name;
        QString path;
        QFile::Permissions permissions;
        QString expectedLine;
    } cases[] = {
        {"unreadable database", PhotosLibraryFixture::mainDatabasePath(library, Layout::Newer), {}, u"Library: 0"_s},
        {"read-only cache folder", cacheFolder, QFile::ReadOwner | QFile::ExeOwner,
         u"Could not create cache path because of error: "_s},
    };
    for (const auto &entry : cases) {
        SCOPED_TRACE(entry.name);
        QDir(RQPhotosLibraryParser::cachesPath()).removeRecursively();
        const auto permissions = QFile::permissions(entry.path);
        ASSERT_TRUE(QFile::setPermissions(entry.path, entry.permissions));
        const LogCapture log;

        const RQPhotosLibraryParser parser(library);

        QFile::setPermissions(entry.path, permissions);
        EXPECT_TRUE(parser.imageFiles().empty());
        EXPECT_TRUE(someLineContains(log.lines(), entry.expectedLine)) << log.lines().join(u'\n').toStdString();
        EXPECT_TRUE(log.contains(u"Could not copy libraries"_s));
    }
}

// A failed copy leaves the folder, but the next parse replaces what it holds.
TEST_F(PhotosLibraryParserTest, StaleCopiesNeverAccumulate)
{
    const QString library = PhotosLibraryFixture::write(m_library.filePath(u"Old.photoslibrary"_s), Layout::Older, oneMaster());
    const QString proxy = PhotosLibraryFixture::proxyDatabasePath(library);
    ASSERT_TRUE(QFile::rename(proxy, proxy + u".away"_s));
    // What a run that was stopped while it read would leave behind.
    ASSERT_TRUE(QDir().mkpath(RQPhotosLibraryParser::cachesPath()));
    for (const QString &name : {u"Library.db"_s, u"Library.db-wal"_s, u"Library.db-shm"_s, u"ImageProxies.db-journal"_s})
        overwrite(RQPhotosLibraryParser::cachesPath() + u'/' + name, "stale");

    for (int run = 0; run < 2; ++run) {
        EXPECT_TRUE(RQPhotosLibraryParser(library).imageFiles().empty());
        EXPECT_EQ(cachesPathEntries(), QStringList{u"Library.db"_s});
    }

    ASSERT_TRUE(QFile::rename(proxy + u".away"_s, proxy));
    EXPECT_EQ(RQPhotosLibraryParser(library).imageFiles().size(), 1u);
    EXPECT_FALSE(cachesPathExists());
}
