#include "PhotosLibraryFixture.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>

#include <sqlite3.h>

using namespace Qt::StringLiterals;
using Layout = PhotosLibraryFixture::Layout;

namespace {

// Runs a query text exactly as given and answers its rows, the columns joined by "|".
QStringList rowsOf(const QString &databasePath, const QString &query)
{
    sqlite3 *connection = nullptr;
    QStringList rows;
    if (sqlite3_open_v2(QFile::encodeName(databasePath).constData(), &connection, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(connection, query.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
            rows << u"prepare failed: "_s + QString::fromUtf8(sqlite3_errmsg(connection));
        while (statement && sqlite3_step(statement) == SQLITE_ROW) {
            QStringList columns;
            for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
                columns << (text ? QString::fromUtf8(text) : u"NULL"_s);
            }
            rows << columns.join(u'|');
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(connection);
    return rows;
}

} // namespace

// The stand-in must answer the reader's queries as they are written, values formatted in.
TEST(PhotosLibraryFixtureTest, AnswersTheReadersQueriesAsWritten)
{
    const TemporaryFolder folder;
    const PhotosLibraryFixture::Contents contents{
        .masters = {{.modelId = 1, .uuid = u"m1"_s, .fileName = u"a.jpg"_s, .imagePath = u"2015/a.jpg"_s},
                    {.modelId = 2, .uuid = u"m2"_s, .fileName = u"b.jpg"_s, .imagePath = u"b.jpg"_s, .isInTrash = 1}},
        .versions = {{.modelId = 101, .uuid = u"v1"_s, .name = u"Beach"_s, .masterUuid = u"m1"_s},
                     {.modelId = 102, .uuid = u"v2"_s, .masterUuid = u"m1"_s, .adjustmentUuid = u"edit"_s},
                     {.modelId = 103, .uuid = u"v3"_s, .masterUuid = u"m1"_s, .showInLibrary = 0}},
        .modelResources = {{.attachedModelId = 101, .resourceUuid = u"ABC"_s, .filename = u"t.jpg"_s}},
    };

    for (const Layout layout : {Layout::Newer, Layout::Older}) {
        SCOPED_TRACE(layout == Layout::Newer ? "newer" : "older");
        const QString package = PhotosLibraryFixture::write(
            folder.filePath(layout == Layout::Newer ? u"New.photoslibrary"_s : u"Old.photoslibrary"_s), layout, contents);
        const QString main = PhotosLibraryFixture::mainDatabasePath(package, layout);

        EXPECT_EQ(rowsOf(main, u"SELECT modelId, uuid, fileName, imagePath FROM RKMaster WHERE (isInTrash = 0)"_s),
                  QStringList{u"1|m1|a.jpg|2015/a.jpg"_s});
        EXPECT_EQ(rowsOf(main, u"SELECT modelId, uuid, name, adjustmentUuid FROM RKVersion WHERE (isInTrash = 0) AND"
                               " (showInLibrary = 1) AND (masterUuid = 'm1') AND (adjustmentUuid = 'UNADJUSTEDNONRAW')"_s),
                  QStringList{u"101|v1|Beach|UNADJUSTEDNONRAW"_s});
        EXPECT_TRUE(QFile::exists(package + u"/Masters/2015/a.jpg"_s));
        if (layout == Layout::Older) {
            EXPECT_EQ(rowsOf(PhotosLibraryFixture::proxyDatabasePath(package),
                             u"SELECT resourceUuid, filename FROM RKModelResource WHERE attachedModelId = '101' LIMIT 1"_s),
                      QStringList{u"ABC|t.jpg"_s});
        }
    }
}
