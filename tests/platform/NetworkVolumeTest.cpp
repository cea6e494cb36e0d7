#include "platform/NetworkVolume.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(NetworkVolumeTest, LocalFoldersAreNotOnTheNetwork)
{
    const TemporaryFolder folder;
    EXPECT_FALSE(NetworkVolume::pathIsOnNetworkVolume(folder.path()));
    EXPECT_FALSE(NetworkVolume::pathIsOnNetworkVolume(folder.filePath(u"missing"_s)));
}

TEST(NetworkVolumeTest, FuseSubtypesThatTalkToAServer)
{
    const std::vector<std::pair<QString, bool>> cases = {
        {u"sshfs"_s, true}, {u"rclone"_s, true}, {u"s3fs"_s, true},
        {u"ntfs-3g"_s, false}, {u"gvfsd-fuse"_s, false}, {u"portal"_s, false},
    };
    for (const auto &[subtype, network] : cases)
        EXPECT_EQ(NetworkVolume::fuseSubtypeIsNetwork(subtype), network) << subtype.toStdString();
}
