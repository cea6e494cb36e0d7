#include "scanning/RQDirectory.h"
#include "scanning/RQDuplicateFiles.h"
#include "scanning/RQDuplicateFinder.h"
#include "scanning/RQDuplicateFinderGrouping.h"
#include "scanning/RQDuplicateFinderScan.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>

#include <cstdint>

using namespace Qt::StringLiterals;

namespace {

// A digest that begins with eight bytes of the given value and ends with the given byte: the
// grouping only compares digests, so these stand for content that was read.
Sha1Digest digestOf(std::uint8_t start, std::uint8_t last)
{
    Sha1Digest::Bytes bytes {};
    bytes.fill(start);
    bytes.back() = last;
    return Sha1Digest(bytes);
}

} // namespace

TEST(RQDuplicateFinderGroupingTest, ItemsAreGroupedByTheirWholeDigestNotItsFirstBytes)
{
    struct Row
    {
        const char16_t *name;
        Sha1Digest digest;
    };
    // "other" begins as the pair "a" does; "alone" begins as nothing else.
    const Row rows[] = {
        {u"a1", digestOf(0xaa, 1)}, {u"other", digestOf(0xaa, 2)}, {u"b1", digestOf(0xbb, 1)},
        {u"a2", digestOf(0xaa, 1)}, {u"alone", digestOf(0xcc, 1)}, {u"b2", digestOf(0xbb, 1)},
    };
    RQDuplicateFinderScan scan;
    const auto root = RQDirectory::fileWithPath(u"/top"_s);
    scan.roots.push_back(root);
    scan.itemCount = 1;
    for (const Row &row : rows) {
        const auto file = RQFile::fileWithName(QString::fromUtf16(row.name), *root);
        file->setFileSize(10);
        file->setContentDigest(row.digest);
        root->addChild(file);
        ++scan.itemCount;
    }
    const auto finder = RQDuplicateFinder::duplicateFinderWithPaths({root->path()}, 0);

    const RQDuplicateFinder::Groups groups = RQDuplicateFinderGrouping(*finder, scan).findGroups();
    QCoreApplication::sendPostedEvents();

    QStringList found;
    for (const auto &group : groups) {
        QStringList names;
        for (const auto &member : group->duplicates())
            names.append(member->fileName());
        found.append(names.join(u' '));
    }
    EXPECT_EQ(found, (QStringList{u"a1 a2"_s, u"b1 b2"_s}));
}
