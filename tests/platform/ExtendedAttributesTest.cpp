#include "platform/ExtendedAttributes.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sys/xattr.h>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

// Answers false when the file system keeps no user attributes, so the test can skip.
bool setAttribute(const QString &path, const char *name, const QByteArray &value)
{
    return lsetxattr(QFile::encodeName(path).constData(), name, value.constData(),
                     static_cast<size_t>(value.size()), 0) == 0;
}

} // namespace

TEST(ExtendedAttributesTest, ReadsNamesWithoutTheUserNamespace)
{
    TemporaryFolder folder;
    const QString file = folder.writeFile(u"tagged.txt"_s, "x");
    if (!setAttribute(file, "user.com.example.Tag", "blue")) {
        if (errno == ENOTSUP)
            GTEST_SKIP() << "the temporary folder's file system has no user attributes";
        FAIL() << "lsetxattr failed";
    }
    ASSERT_TRUE(setAttribute(file, "user.empty", QByteArray()));

    const auto names = ExtendedAttributes::namesAtPath(file);
    ASSERT_TRUE(names.has_value());
    EXPECT_TRUE(names->contains(u"com.example.Tag"_s));
    EXPECT_TRUE(names->contains(u"empty"_s));
    EXPECT_FALSE(names->contains(u"user.com.example.Tag"_s));

    const auto attributes = ExtendedAttributes::attributesAtPath(file);
    ASSERT_TRUE(attributes.has_value());
    EXPECT_EQ(attributes->value(u"com.example.Tag"_s).toByteArray(), QByteArray("blue"));
    EXPECT_TRUE(attributes->contains(u"empty"_s));
}

TEST(ExtendedAttributesTest, DoesNotFollowSymbolicLinksAndReportsMissingItems)
{
    TemporaryFolder folder;
    const QString file = folder.writeFile(u"tagged.txt"_s, "x");
    if (!setAttribute(file, "user.com.example.Tag", "blue"))
        GTEST_SKIP() << "the temporary folder's file system has no user attributes";
    const QString link = folder.makeSymlink(u"link"_s, file);

    const auto linkNames = ExtendedAttributes::namesAtPath(link);
    ASSERT_TRUE(linkNames.has_value());
    EXPECT_FALSE(linkNames->contains(u"com.example.Tag"_s));

    EXPECT_FALSE(ExtendedAttributes::namesAtPath(folder.filePath(u"absent"_s)).has_value());
    EXPECT_FALSE(ExtendedAttributes::attributesAtPath(folder.filePath(u"absent"_s)).has_value());
    EXPECT_FALSE(ExtendedAttributes::namesAtPath(QString()).has_value());
}
