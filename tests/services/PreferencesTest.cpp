#include "services/Preferences.h"

#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString bundledExtensions = u":/plists/DefaultIgnoredExtensions.plist"_s;
const QString bundledIgnoreList = u":/plists/IgnoreList.plist"_s;

QByteArray plistOf(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body
        + "</plist>\n";
}

// Each "launch" is a fresh user-defaults object and a fresh store over the same file.
class PreferencesTest : public ::testing::Test
{
protected:
    Preferences &launch(const QString &extensions = bundledExtensions,
                        const QString &ignoreList = bundledIgnoreList)
    {
        m_preferences.reset();
        m_defaults = std::make_unique<UserDefaults>(settingsFile());
        m_preferences = std::make_unique<Preferences>(*m_defaults, extensions, ignoreList);
        return *m_preferences;
    }
    QString settingsFile() const { return m_folder.filePath(u"settings.ini"_s); }
    // What is on disk, without any registration domain.
    QVariant stored(const QString &key) const { return UserDefaults(settingsFile()).objectForKey(key); }
    void store(const QString &key, const QVariant &value) const
    {
        UserDefaults defaults(settingsFile());
        defaults.setObject(value, key);
        defaults.synchronize();
    }

    TemporaryFolder m_folder;
    std::unique_ptr<UserDefaults> m_defaults;
    std::unique_ptr<Preferences> m_preferences;
};

QStringList bundledList(const QString &resource, const QString &entry = {})
{
    const QVariant value = PropertyList::fromFile(resource).value_or(QVariant());
    return entry.isEmpty() ? value.toStringList() : value.toMap().value(entry).toStringList();
}

} // namespace

TEST_F(PreferencesTest, FirstLaunchShowsTheRegisteredDefaultsAndWritesNothing)
{
    const Preferences &preferences = launch();
    EXPECT_EQ(preferences.minFileSize(), 20000.0);
    EXPECT_EQ(preferences.minFileSizeType(), 1);
    EXPECT_TRUE(preferences.useTrash());
    EXPECT_EQ(preferences.autoSelectType(), 1);
    EXPECT_TRUE(preferences.firstRun());
    EXPECT_FALSE(preferences.useHardLinks());
    EXPECT_FALSE(preferences.suppressSelectAllWarning());
    EXPECT_FALSE(preferences.suppressFinderWarning());
    EXPECT_FALSE(preferences.suppressSelectAllFilesWarning());
    EXPECT_FALSE(preferences.suppressDeselectAllFilesWarning());
    EXPECT_EQ(preferences.timesRun(), 0);

    const QStringList extensions = bundledList(bundledExtensions);
    EXPECT_FALSE(extensions.isEmpty());
    EXPECT_EQ(preferences.ignoreList(), extensions);
    EXPECT_EQ(preferences.ignoredPaths(), bundledList(bundledIgnoreList, u"Preferences"_s));
    EXPECT_EQ(preferences.propertyMap().size(), 13);
    EXPECT_TRUE(UserDefaults(settingsFile()).objectForKey(u"MinimumFileSize"_s).isNull());
}

TEST_F(PreferencesTest, MissingOrBrokenResourcesGiveEmptyListsAndOnlyABrokenExtensionListIsLogged)
{
    struct Case
    {
        const char *name;
        QByteArray extensions; // empty: no such file
        QByteArray ignoreList;
        bool logged;
    };
    const Case cases[] = {
        {"no resources", {}, {}, false},
        {"not property lists", "not a list", "<plist><dict>", true},
        {"wrong shapes", plistOf("<dict/>"), plistOf("<array><string>/x</string></array>"), false},
        {"no Preferences entry", plistOf("<array/>"), plistOf("<dict/>"), false},
    };
    for (const Case &entry : cases) {
        const QString name = QString::fromLatin1(entry.name);
        const QString extensions = entry.extensions.isEmpty()
            ? m_folder.filePath(name + u"-missing"_s)
            : m_folder.writeFile(name + u"-extensions.plist"_s, entry.extensions);
        const QString ignoreList = entry.ignoreList.isEmpty()
            ? m_folder.filePath(name + u"-missing"_s)
            : m_folder.writeFile(name + u"-ignore.plist"_s, entry.ignoreList);
        const LogCapture log;
        const Preferences &preferences = launch(extensions, ignoreList);
        EXPECT_TRUE(preferences.ignoreList().isEmpty()) << entry.name;
        EXPECT_TRUE(preferences.ignoredPaths().isEmpty()) << entry.name;
        EXPECT_EQ(preferences.minFileSize(), 20000.0) << entry.name;
        EXPECT_TRUE(preferences.useTrash()) << entry.name;
        EXPECT_EQ(m_defaults->objectForKey(u"IgnoreList"_s), QVariant(QStringList())) << entry.name;
        const QStringList lines = log.lines();
        EXPECT_EQ(lines.size(), entry.logged ? 1 : 0) << entry.name;
        if (entry.logged && !lines.isEmpty()) {
            EXPECT_TRUE(lines.first().startsWith(
                "Could not load ignore list because of error: "_L1)) << entry.name;
        }
    }
}

TEST_F(PreferencesTest, StoredMinimumSizeIsTakenAtSinglePrecision)
{
    store(u"MinimumFileSize"_s, 20000.3);
    EXPECT_EQ(launch().minFileSize(), 20000.30078125);
}

TEST_F(PreferencesTest, StoredValuesOfTheWrongTypeReadAsNothing)
{
    store(u"MinimumFileSize"_s, u"large"_s);
    store(u"UseTrash"_s, QStringList{u"yes"_s});
    store(u"AutoSelectType"_s, QVariantMap{{u"a"_s, 1}});
    store(u"IgnoreList"_s, u"pdf"_s);
    store(u"IgnoredPaths"_s, qint64(4));
    const Preferences &preferences = launch();
    // Numbers that are none read as their defaults.
    EXPECT_EQ(preferences.minFileSize(), 20000.0);
    EXPECT_FALSE(preferences.useTrash());
    EXPECT_EQ(preferences.autoSelectType(), 1);
    EXPECT_TRUE(preferences.ignoreList().isEmpty());
    EXPECT_TRUE(preferences.ignoredPaths().isEmpty());
}

// A number that is missing, no number, of another type or out of range reads as its default,
// with a log line; a number in range is taken as it is.
TEST_F(PreferencesTest, ANumberThatCannotBeReadIsItsDefault)
{
    const struct {
        const char *what;
        QString key;
        QVariant stored;
        double minFileSize;
        qint64 unit;
        qint64 autoSelect;
        bool logged;
    } cases[] = {
        {"garbage text", u"MinimumFileSize"_s, u"\x01\x7f garbage"_s, 20000, 1, 1, true},
        {"a number followed by garbage", u"MinimumFileSize"_s, u"5000abc"_s, 20000, 1, 1, true},
        {"a negative size", u"MinimumFileSize"_s, -5.0, 20000, 1, 1, true},
        {"a list", u"MinimumFileSize"_s, QStringList{u"1"_s}, 20000, 1, 1, true},
        {"a size in range", u"MinimumFileSize"_s, 5000.0, 5000, 1, 1, false},
        {"a size as text", u"MinimumFileSize"_s, u" 300 "_s, 300, 1, 1, false},
        {"no such unit", u"MinimumFileSizeType"_s, qint64(9), 20000, 1, 1, true},
        {"a unit in range", u"MinimumFileSizeType"_s, qint64(2), 20000, 2, 1, false},
        {"no such rule", u"AutoSelectType"_s, qint64(-1), 20000, 1, 1, true},
        {"the other rule", u"AutoSelectType"_s, qint64(0), 20000, 1, 0, false},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.what);
        QFile::remove(settingsFile());
        store(test.key, test.stored);
        const LogCapture log;
        const Preferences &preferences = launch();
        EXPECT_EQ(preferences.minFileSize(), test.minFileSize);
        EXPECT_EQ(preferences.minFileSizeType(), test.unit);
        EXPECT_EQ(preferences.autoSelectType(), test.autoSelect);
        const QStringList lines = log.lines();
        EXPECT_EQ(std::any_of(lines.cbegin(), lines.cend(), [&test](const QString &line) { return line.contains(test.key); }),
                  test.logged)
            << lines.join(u" | "_s).toStdString();
    }
}

// A settings file that is garbage as a whole starts with the defaults.
TEST_F(PreferencesTest, AGarbageSettingsFileStartsWithTheDefaults)
{
    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x89PNG\r\n\x1a\n[General]\nMinimumFileSize=\xff\xfe\x00junk\nAutoSelectType=@ByteArray(\x01)\n");
    file.close();
    const Preferences &preferences = launch();
    EXPECT_EQ(preferences.minFileSize(), 20000.0);
    EXPECT_EQ(preferences.minFileSizeType(), 1);
    EXPECT_EQ(preferences.autoSelectType(), 1);
}

TEST_F(PreferencesTest, EverySetterWritesItsKeyThroughAndTheNextLaunchReadsIt)
{
    struct Case
    {
        const char *key;
        std::function<void(Preferences &)> set;
        QVariant expected;
        std::function<bool(const Preferences &)> readBack;
    };
    const QStringList folders{u"/srv/a"_s};
    const Case cases[] = {
        {"IgnoreList", [](Preferences &p) { p.setIgnoreList(QStringList{u"iso"_s}); },
         QStringList{u"iso"_s}, [](const Preferences &p) { return p.ignoreList() == QStringList{u"iso"_s}; }},
        {"IgnoredPaths", [&](Preferences &p) { p.setIgnoredPaths(folders); }, folders,
         [&](const Preferences &p) { return p.ignoredPaths() == folders; }},
        {"MinimumFileSize", [](Preferences &p) { p.setMinFileSize(1.5e6); }, 1.5e6,
         [](const Preferences &p) { return p.minFileSize() == 1.5e6; }},
        {"MinimumFileSizeType", [](Preferences &p) { p.setMinFileSizeType(2); }, qint64(2),
         [](const Preferences &p) { return p.minFileSizeType() == 2; }},
        {"UseTrash", [](Preferences &p) { p.setUseTrash(false); }, false,
         [](const Preferences &p) { return !p.useTrash(); }},
        {"UseHardLinks", [](Preferences &p) { p.setUseHardLinks(true); }, true,
         [](const Preferences &p) { return p.useHardLinks(); }},
        {"AutoSelectType", [](Preferences &p) { p.setAutoSelectType(0); }, qint64(0),
         [](const Preferences &p) { return p.autoSelectType() == 0; }},
        {"SuppressSelectAllWarning", [](Preferences &p) { p.setSuppressSelectAllWarning(true); }, true,
         [](const Preferences &p) { return p.suppressSelectAllWarning(); }},
        {"SuppressFinderWarning", [](Preferences &p) { p.setSuppressFinderWarning(true); }, true,
         [](const Preferences &p) { return p.suppressFinderWarning(); }},
        {"SuppressSelectAllFilesWarning",
         [](Preferences &p) { p.setSuppressSelectAllFilesWarning(true); }, true,
         [](const Preferences &p) { return p.suppressSelectAllFilesWarning(); }},
        {"SuppressDeselectAllFilesWarning",
         [](Preferences &p) { p.setSuppressDeselectAllFilesWarning(true); }, true,
         [](const Preferences &p) { return p.suppressDeselectAllFilesWarning(); }},
        {"TimesRun", [](Preferences &p) { p.setTimesRun(9); }, qint64(9),
         [](const Preferences &p) { return p.timesRun() == 9; }},
        {"FirstRun", [](Preferences &p) { p.setFirstRun(false); }, false,
         [](const Preferences &p) { return !p.firstRun(); }},
    };
    for (const Case &entry : cases) {
        const QString key = QString::fromLatin1(entry.key);
        entry.set(launch());
        EXPECT_EQ(stored(key), entry.expected) << entry.key;
        EXPECT_TRUE(entry.readBack(launch())) << entry.key;
    }
}

TEST_F(PreferencesTest, SettingTheCurrentValueStillWrites)
{
    Preferences &preferences = launch();
    ASSERT_TRUE(preferences.useTrash());
    ASSERT_FALSE(stored(u"UseTrash"_s).isValid());
    preferences.setUseTrash(true);
    EXPECT_EQ(stored(u"UseTrash"_s), QVariant(true));
}

TEST_F(PreferencesTest, SettingIgnoredPathsToNothingRemovesTheKeyUntilTheNextLaunchShowsTheDefaults)
{
    const QString ignoreList = m_folder.writeFile(
        u"IgnoreList.plist"_s,
        plistOf("<dict><key>Preferences</key><array><string>/media/</string></array></dict>"));
    Preferences &preferences = launch(bundledExtensions, ignoreList);
    EXPECT_EQ(preferences.ignoredPaths(), QStringList{u"/media/"_s});

    preferences.setIgnoredPaths(QStringList{u"/home/x"_s});
    ASSERT_TRUE(stored(u"IgnoredPaths"_s).isValid());
    preferences.setIgnoredPaths(std::nullopt);
    EXPECT_FALSE(stored(u"IgnoredPaths"_s).isValid());
    EXPECT_TRUE(preferences.ignoredPaths().isEmpty());

    // An empty list, unlike nothing, is a stored value of its own.
    preferences.setIgnoreList(QStringList());
    EXPECT_EQ(stored(u"IgnoreList"_s), QVariant(QStringList()));

    const Preferences &next = launch(bundledExtensions, ignoreList);
    EXPECT_EQ(next.ignoredPaths(), QStringList{u"/media/"_s});
    EXPECT_TRUE(next.ignoreList().isEmpty());
}

TEST_F(PreferencesTest, TimesRunIsKeptAsItIs)
{
    store(u"TimesRun"_s, qint64(5));
    Preferences &preferences = launch();
    preferences.incrementTimesRun();
    EXPECT_EQ(preferences.timesRun(), 5);
    EXPECT_EQ(stored(u"TimesRun"_s), QVariant(qint64(5)));
}

TEST_F(PreferencesTest, APropertyMissingFromTheMapIsLoggedAndNotWritten)
{
    Preferences &preferences = launch();
    QMap<QString, QString> map = preferences.propertyMap();
    map.remove(u"useHardLinks"_s);
    preferences.setPropertyMap(map);
    const LogCapture log;
    preferences.setUseHardLinks(true);
    EXPECT_TRUE(log.contains(u"DEBUG: Could not map: useHardLinks to a settings key"_s));
    EXPECT_FALSE(stored(u"UseHardLinks"_s).isValid());
    EXPECT_TRUE(preferences.useHardLinks());
}

TEST(SharedPreferencesTest, IsOneInstanceOverTheStandardUserDefaults)
{
    QStandardPaths::setTestModeEnabled(true);
    Preferences &shared = Preferences::sharedPreferences();
    EXPECT_EQ(&shared, &Preferences::sharedPreferences());
}
