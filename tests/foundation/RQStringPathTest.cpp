#include "foundation/RQStringPath.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct PathCase
{
    const char16_t *path;
    const char16_t *other;
    bool expected;
};

} // namespace

TEST(RQStringPathTest, EqualPaths)
{
    const PathCase cases[] = {
        {u"/x/", u"/x/", true},   {u"/x", u"/X", false},    {u"/a/b", u"/a/b/", true},
        {u"/a/b/", u"/a/b", true}, {u"/a/b//", u"/a/b/", false}, {u"/a/b", u"/a/bc", false},
        {u"", u"", true},         {u"", u"/", true},        {u"/", u"", true},
        {u"/a/b", u"/a/b//", false},
    };
    for (const auto &entry : cases) {
        EXPECT_EQ(rq_isEqualToPath(QString::fromUtf16(entry.path), QString::fromUtf16(entry.other)),
                  entry.expected)
            << QString::fromUtf16(entry.path).toStdString() << " vs "
            << QString::fromUtf16(entry.other).toStdString();
    }
}

TEST(RQStringPathTest, ChildPaths)
{
    // candidate, parent, expected
    const PathCase cases[] = {
        {u"/x/y", u"/x", true},  {u"/x", u"/x/", true},   {u"/x/", u"/x", true},
        {u"/xy", u"/x", false},  {u"/x", u"/xy", false},  {u"/a/bc", u"/a/b", false},
        {u"/a/b/c/d", u"/a/b/", true}, {u"/anything", u"", true}, {u"/X/y", u"/x", false},
        {u"/", u"/x", false},    {u"", u"/", true},       {u"/x/", u"/x//", false},
        {u"/x//y", u"/x//", true}, {u"/x", u"/x//", false},
    };
    for (const auto &entry : cases) {
        EXPECT_EQ(rq_isChildOfPath(QString::fromUtf16(entry.path), QString::fromUtf16(entry.other)),
                  entry.expected)
            << QString::fromUtf16(entry.path).toStdString() << " under "
            << QString::fromUtf16(entry.other).toStdString();
    }
}
