#include "scanning/RQSymbolicLink.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(RQSymbolicLinkTest, NamesThePlaceOfItsTargetFromTheTextAlone)
{
    struct Case
    {
        QString link;
        QString target;
        QString place;
    };
    const Case cases[] = {
        {u"/x/de/LC_TIME/m"_s, u"../LC_MESSAGES/m"_s, u"/x/de/LC_MESSAGES/m"_s},
        {u"/x/l"_s, u"/usr//share/./doc/"_s, u"/usr/share/doc"_s},
        {u"/x/l"_s, u"/a/../b"_s, u"/b"_s},
        {u"/x/l"_s, u"../../../t"_s, u"/t"_s},
        {u"/x/l"_s, u"."_s, u"/x"_s},
        {u"/x/l"_s, u"sub/../../x/f"_s, u"/x/f"_s},
        {u"r/l"_s, u"../../t"_s, u"../t"_s},
    };
    for (const Case &entry : cases)
        EXPECT_EQ(RQSymbolicLink::linkWithPath(entry.link, entry.target)->namedPlace(), entry.place)
            << entry.link.toStdString() << " -> " << entry.target.toStdString();
}
