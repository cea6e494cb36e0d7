#include "platform/UserDefaults.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <QVariantList>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

class UserDefaultsTest : public ::testing::Test
{
protected:
    QString settingsFile() const { return m_folder.filePath(u"settings.ini"_s); }
    QByteArray fileContent() const
    {
        QFile file(settingsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TemporaryFolder m_folder;
};

struct RoundTrip
{
    const char *name;
    QVariant value;
};

} // namespace

TEST_F(UserDefaultsTest, ValuesKeepTheirTypesThroughAFreshRead)
{
    const RoundTrip cases[] = {
        {"text", u"Ünïcode, with comma"_s},
        {"text that looks like a number", u"42"_s},
        {"bool", true},
        {"integer", qint64(-7)},
        {"whole double", 20000.0},
        {"double", 20000.3},
        {"empty list", QStringList()},
        {"one-element list", QStringList{u"/home/a"_s}},
        {"list", QStringList{u"a"_s, u"b, c"_s}},
        {"mixed list", QVariantList{u"a"_s, qint64(1), 2.5, false}},
        {"dictionary", QVariantMap{{u"value"_s, qint64(3)}, {u"k"_s, u"v"_s}}},
    };
    {
        UserDefaults defaults(settingsFile());
        for (const RoundTrip &entry : cases)
            defaults.setObject(entry.value, QString::fromLatin1(entry.name));
        ASSERT_TRUE(defaults.synchronize());
    }
    const UserDefaults fresh(settingsFile());
    for (const RoundTrip &entry : cases) {
        const QVariant read = fresh.objectForKey(QString::fromLatin1(entry.name));
        EXPECT_EQ(read.metaType(), entry.value.metaType()) << entry.name;
        EXPECT_EQ(read, entry.value) << entry.name;
    }
}

TEST_F(UserDefaultsTest, RegisteredValuesAnswerUntilAValueIsStoredAndAreNeverWritten)
{
    {
        UserDefaults defaults(settingsFile());
        defaults.registerDefaults({{u"Registered"_s, u"default"_s}, {u"Other"_s, true}});
        EXPECT_EQ(defaults.objectForKey(u"Registered"_s), QVariant(u"default"_s));

        defaults.setObject(u"stored"_s, u"Registered"_s);
        EXPECT_EQ(defaults.objectForKey(u"Registered"_s), QVariant(u"stored"_s));
        defaults.removeObject(u"Registered"_s);
        EXPECT_EQ(defaults.objectForKey(u"Registered"_s), QVariant(u"default"_s));
        EXPECT_FALSE(defaults.objectForKey(u"Missing"_s).isValid());

        defaults.setObject(qint64(1), u"Written"_s);
        ASSERT_TRUE(defaults.synchronize());
    }
    EXPECT_FALSE(fileContent().contains("Registered"));
    EXPECT_FALSE(fileContent().contains("Other"));
    const UserDefaults fresh(settingsFile());
    EXPECT_FALSE(fresh.objectForKey(u"Registered"_s).isValid());
    EXPECT_EQ(fresh.integerForKey(u"Written"_s), 1);
}

TEST_F(UserDefaultsTest, SettingAnInvalidValueRemovesTheKey)
{
    UserDefaults defaults(settingsFile());
    defaults.setObject(true, u"Key"_s);
    defaults.setObject(QVariant(), u"Key"_s);
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_FALSE(UserDefaults(settingsFile()).objectForKey(u"Key"_s).isValid());
}

namespace {

struct TypedRead
{
    const char *name;
    QVariant stored;
    bool asBool;
    qint64 asInteger;
    double asDouble;
};

} // namespace

TEST_F(UserDefaultsTest, TypedReadsDecideWhatAValueMeans)
{
    constexpr qint64 largest = std::numeric_limits<qint64>::max();
    const TypedRead cases[] = {
        {"missing", QVariant(), false, 0, 0.0},
        {"true", true, true, 1, 1.0},
        {"false", false, false, 0, 0.0},
        {"positive real", 3.7, true, 3, 3.7},
        {"negative real", -3.7, true, -3, -3.7},
        {"small real", 0.25, true, 0, 0.25},
        {"huge real", 1e300, true, largest, 1e300},
        {"not a number", std::nan(""), true, 0, std::nan("")},
        {"text YES", u"YES"_s, true, 0, 0.0},
        {"text true", u"True"_s, true, 0, 0.0},
        {"text no", u"no"_s, false, 0, 0.0},
        {"text with a number", u"  12.5kg"_s, true, 12, 12.5},
        {"text with zero", u"0"_s, false, 0, 0.0},
        {"text exponent", u"-2e3"_s, true, -2000, -2000.0},
        {"list", QStringList{u"1"_s}, false, 0, 0.0},
        {"dictionary", QVariantMap{{u"a"_s, 1}}, false, 0, 0.0},
        {"bytes", QByteArray("1"), false, 0, 0.0},
    };
    UserDefaults defaults(settingsFile());
    for (const TypedRead &entry : cases) {
        const QString key = QString::fromLatin1(entry.name);
        defaults.setObject(entry.stored, key);
        EXPECT_EQ(defaults.boolForKey(key), entry.asBool) << entry.name;
        EXPECT_EQ(defaults.integerForKey(key), entry.asInteger) << entry.name;
        if (std::isnan(entry.asDouble)) {
            EXPECT_TRUE(std::isnan(defaults.doubleForKey(key))) << entry.name;
            continue;
        }
        EXPECT_EQ(defaults.doubleForKey(key), entry.asDouble) << entry.name;
        EXPECT_EQ(defaults.floatForKey(key), entry.asDouble > 1e38
                                                 ? std::numeric_limits<float>::infinity()
                                                 : float(entry.asDouble))
            << entry.name;
    }
}

TEST_F(UserDefaultsTest, FloatReadsAreAtSinglePrecision)
{
    UserDefaults defaults(settingsFile());
    defaults.setObject(20000.3, u"Size"_s);
    EXPECT_EQ(double(defaults.floatForKey(u"Size"_s)), 20000.30078125);
    EXPECT_EQ(defaults.doubleForKey(u"Size"_s), 20000.3);
}

TEST_F(UserDefaultsTest, HandWrittenAndDamagedFilesReadWithoutFailing)
{
    m_folder.writeFile(u"settings.ini"_s,
                       "[General]\n"
                       "UseTrash=true\n"
                       "TimesRun=17\n"
                       "MinimumFileSize=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5garbage)\n"
                       "IgnoreList=@Variant(\\0\\0\\0\\b\\0\\0\\0\\xff)\n"
                       "\x01\xff\xfe=\x80\x81\n"
                       "[broken\n");
    const UserDefaults defaults(settingsFile());
    EXPECT_TRUE(defaults.boolForKey(u"UseTrash"_s));
    EXPECT_EQ(defaults.integerForKey(u"TimesRun"_s), 17);
    EXPECT_EQ(defaults.floatForKey(u"MinimumFileSize"_s), 0.0f);
    EXPECT_EQ(defaults.integerForKey(u"IgnoreList"_s), 0);
    EXPECT_FALSE(defaults.boolForKey(u"Missing"_s));
}

TEST_F(UserDefaultsTest, AnUnreadableFileReadsAsEmptyAndReportsTheFailedWrite)
{
    // A folder where the file should be can be neither read nor written, even by root.
    m_folder.makeFolder(u"settings.ini"_s);
    UserDefaults defaults(settingsFile());
    defaults.registerDefaults({{u"UseTrash"_s, true}});
    EXPECT_TRUE(defaults.boolForKey(u"UseTrash"_s));
    defaults.setObject(qint64(3), u"TimesRun"_s);
    EXPECT_FALSE(defaults.synchronize());
}

TEST(StandardUserDefaultsTest, LivesInTheConfigFolder)
{
    QStandardPaths::setTestModeEnabled(true);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    EXPECT_TRUE(UserDefaults::standardUserDefaults().fileName().startsWith(folder + u'/'));
    EXPECT_TRUE(UserDefaults::standardUserDefaults().fileName().endsWith(".ini"_L1));
    EXPECT_EQ(&UserDefaults::standardUserDefaults(), &UserDefaults::standardUserDefaults());
}
