#include "scanning/RQItemName.h"

#include <gtest/gtest.h>

#include <QString>

#include <utility>

using namespace Qt::StringLiterals;

TEST(RQItemNameTest, KeepsEveryCodeUnitOfTheName)
{
    // Short ASCII names are kept in the name's own word, longer ones a byte a character in a
    // block, any other as UTF-16; each answers the same.
    const QString names[] = {
        u"a"_s,
        u"seven.c"_s,
        u"eight.cc"_s,
        u"\u00e9"_s,
        u"photo-08034-83.jpg"_s,
        u"\u007f last ASCII"_s,
        u"caf\u00e9 na\u00efve.txt"_s,
        // A character outside the basic plane is two code units.
        QString::fromUcs4(U"\U0001F600 smile.png"),
        u" leading and trailing "_s,
        QString(255, u'x'),
    };
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const RQItemName kept(name);
        EXPECT_FALSE(kept.isEmpty());
        EXPECT_EQ(kept.size(), name.size());
        EXPECT_EQ(kept.toString(), name);
        QByteArray utf8 = "before/";
        kept.appendUtf8To(utf8);
        EXPECT_EQ(utf8, "before/" + name.toUtf8());
    }
}

TEST(RQItemNameTest, AnEmptyOrNullNameIsEmpty)
{
    EXPECT_TRUE(RQItemName().isEmpty());
    EXPECT_EQ(RQItemName().size(), 0);
    EXPECT_TRUE(RQItemName().toString().isEmpty());
    EXPECT_TRUE(RQItemName(QString()).isEmpty());
    EXPECT_TRUE(RQItemName(u""_s).isEmpty());
}

TEST(RQItemNameTest, MovingHandsTheNameOver)
{
    RQItemName first(u"first.jpg"_s);
    RQItemName second(std::move(first));
    EXPECT_EQ(second.toString(), u"first.jpg"_s);
    first = RQItemName(u"again"_s);
    second = std::move(first);
    EXPECT_EQ(second.toString(), u"again"_s);
}
