#include "platform/UserAccount.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>

TEST(UserAccountTest, TheHomeFolderDoesNotFollowTheEnvironment)
{
    const QString before = UserAccount::homeDirectory();
    ASSERT_FALSE(before.isEmpty());
    EXPECT_TRUE(QDir(before).isAbsolute());

    const QByteArray savedHome = qgetenv("HOME");
    TemporaryFolder elsewhere;
    qputenv("HOME", elsewhere.path().toUtf8());
    const QString during = UserAccount::homeDirectory();
    qputenv("HOME", savedHome);

    EXPECT_EQ(during, before);
    EXPECT_NE(during, elsewhere.path());
}
