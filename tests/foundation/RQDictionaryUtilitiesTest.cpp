#include "foundation/RQDictionaryUtilities.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(RQDictionaryUtilitiesTest, ReplacingObject)
{
    const QVariantMap dictionary{{u"a"_s, 1}, {u"b"_s, 2}};
    EXPECT_EQ(rq_dictionaryByReplacingObject(dictionary, 3, u"b"_s),
              (QVariantMap{{u"a"_s, 1}, {u"b"_s, 3}}));
    EXPECT_EQ(rq_dictionaryByReplacingObject(dictionary, 3, u"c"_s),
              (QVariantMap{{u"a"_s, 1}, {u"b"_s, 2}, {u"c"_s, 3}}));
    EXPECT_EQ(rq_dictionaryByReplacingObject(dictionary, 3, u""_s),
              (QVariantMap{{u"a"_s, 1}, {u"b"_s, 2}, {u""_s, 3}}))
        << "an empty key is still a key";
    EXPECT_FALSE(rq_dictionaryByReplacingObject(dictionary, QVariant(), u"a"_s));
    EXPECT_FALSE(rq_dictionaryByReplacingObject(dictionary, 3, QString()));
    EXPECT_EQ(dictionary, (QVariantMap{{u"a"_s, 1}, {u"b"_s, 2}})) << "the receiver is unchanged";
}

TEST(RQDictionaryUtilitiesTest, MergingLetsTheArgumentWin)
{
    const QVariantMap dictionary{{u"a"_s, 1}, {u"b"_s, 2}};
    const QVariantMap other{{u"b"_s, 20}, {u"c"_s, 30}};
    EXPECT_EQ(rq_dictionaryByMergingWithDictionary(dictionary, other),
              (QVariantMap{{u"a"_s, 1}, {u"b"_s, 20}, {u"c"_s, 30}}));
    EXPECT_EQ(rq_dictionaryByMergingWithDictionary(dictionary, {}), dictionary);
}
