#include "scanning/RQItemName.h"

#include <gtest/gtest.h>

#include <QString>

#include <utility>

using namespace Qt::StringLiterals;

TEST(RQItemNameTest, KeepsEveryCodeUnitOfTheName)
{
    const QString names[] = {
        u"a"_s,
        u"photo-08034-83.jpg"_s,
        u"caf\u00e9 na\u00efve.txt"_s,
        // A character outside the basic plane is two code units.
        QString::fromUcs4(U"\U0001F600 smile.png"),
        u" leading and trailing "_s,
        QString(255, u'x'),
    };
    for (const QString &name : names) {
        const RQItemName kept(name);
        EXPECT_FALSE(kept.isEmpty()) << name.toStdString();
        EXPECT_EQ(kept.view().size(), name.size()) << name.toStdString();
        EXPECT_EQ(kept.view(), name) << name.toStdString();
    }
}

TEST(RQItemNameTest, AnEmptyOrNullNameIsEmpty)
{
    EXPECT_TRUE(RQItemName().isEmpty());
    EXPECT_TRUE(RQItemName().view().isEmpty());
    EXPECT_TRUE(RQItemName(QString()).isEmpty());
    EXPECT_TRUE(RQItemName(u""_s).isEmpty());
}

TEST(RQItemNameTest, MovingHandsTheNameOver)
{
    RQItemName first(u"first.jpg"_s);
    RQItemName second(std::move(first));
    EXPECT_EQ(second.view(), u"first.jpg"_s);
    first = RQItemName(u"again"_s);
    second = std::move(first);
    EXPECT_EQ(second.view(), u"again"_s);
}
