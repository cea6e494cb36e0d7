#include "platform/PropertyList.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QVariantList>
#include <QVariantMap>

namespace {

const char xmlList[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
    <key>Name</key><string>Ünïcode</string>
    <key>Count</key><integer>-42</integer>
    <key>Ratio</key><real>0.5</real>
    <key>On</key><true/>
    <key>Bytes</key><data>AAEC</data>
    <key>When</key><date>2001-01-02T00:00:00Z</date>
    <key>List</key><array><string>a</string><integer>7</integer></array>
</dict>
</plist>)";

} // namespace

TEST(PropertyListTest, ReadsEveryXmlValueType)
{
    const auto value = PropertyList::fromData(QByteArray(xmlList));
    ASSERT_TRUE(value.has_value());
    ASSERT_EQ(value->typeId(), QMetaType::QVariantMap);
    const QVariantMap map = value->toMap();
    EXPECT_EQ(map.value(QStringLiteral("Name")).toString(), QStringLiteral("Ünïcode"));
    EXPECT_EQ(map.value(QStringLiteral("Count")).toLongLong(), -42);
    EXPECT_DOUBLE_EQ(map.value(QStringLiteral("Ratio")).toDouble(), 0.5);
    EXPECT_EQ(map.value(QStringLiteral("On")).typeId(), QMetaType::Bool);
    EXPECT_TRUE(map.value(QStringLiteral("On")).toBool());
    EXPECT_EQ(map.value(QStringLiteral("Bytes")).toByteArray(), QByteArray("\x00\x01\x02", 3));
    EXPECT_EQ(map.value(QStringLiteral("When")).toDateTime(),
              QDateTime(QDate(2001, 1, 2), QTime(0, 0), Qt::UTC));
    const QVariantList list = map.value(QStringLiteral("List")).toList();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.at(0).toString(), QStringLiteral("a"));
    EXPECT_EQ(list.at(1).toLongLong(), 7);
}

TEST(PropertyListTest, ReadsBinaryLists)
{
    // bplist00 with the single string "hi": object table, offset table and trailer.
    const QByteArray binary = QByteArray::fromHex(
        "62706c6973743030" "526869" "08"
        "000000000000010100000000000000010000000000000000000000000000000b");
    const auto value = PropertyList::fromData(binary);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->toString(), QStringLiteral("hi"));
}

TEST(PropertyListTest, RejectsWhatIsNotAPropertyList)
{
    const QByteArray full(xmlList);
    for (const QByteArray &bad : {QByteArray(), QByteArray("not a plist"), full.left(full.size() / 2),
                                  QByteArray("bplist00"), QByteArray("bplist00\xff\xff\xff")}) {
        EXPECT_FALSE(PropertyList::fromData(bad).has_value()) << bad.constData();
    }
    EXPECT_FALSE(PropertyList::fromFile(QStringLiteral("/nonexistent/list.plist")).has_value());
}
