#include "platform/gui/FileIconProvider.h"

#include "platform/FileIconSource.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(FileIconProviderTest, AnswersForTheEngineOnceInstalled)
{
    const TemporaryFolder folder;
    const QString file = folder.writeFile(u"notes.txt"_s, "text"_ba);
    EXPECT_FALSE(FileIconSource::iconForFile(file).isValid());
    FileIconProvider::install();
    for (const QString &path : {file, folder.path()}) {
        const QVariant icon = FileIconSource::iconForFile(path);
        ASSERT_TRUE(icon.canConvert<QIcon>()) << path.toStdString();
        EXPECT_FALSE(icon.value<QIcon>().isNull()) << path.toStdString();
    }
    FileIconSource::setProvider({});
}
