#include "korrim/RQCHappinessManager.h"
#include "korrim/RQCWelcomeNotifications.h"
#include "korrim/RQCore.h"

#include "foundation/ApplicationConstants.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

class RQCoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        core().reset();
        core().setUrlOpener([this](const QUrl &url) { m_opened.append(url); });
        RQCHappinessManager::sharedInstance().reset();
    }
    void TearDown() override { core().reset(); }

    static RQCore &core() { return RQCore::sharedInstance(); }

    QList<QUrl> m_opened;
};

} // namespace

TEST_F(RQCoreTest, EachCallIsRecordedAndOpensAtMostItsOwnPageWithoutAWindow)
{
    struct Case
    {
        QString call;
        std::function<void()> run;
        QList<QUrl> opened;
    };
    const Case cases[] = {
        {u"applicationDidLaunchWithConfig"_s, [] { core().applicationDidLaunchWithConfig({}); }, {}},
        {u"canShowMainWindow"_s, [] { EXPECT_TRUE(core().canShowMainWindow()); }, {}},
        {u"rateApp"_s, [] { core().rateApp(); }, {ApplicationConstants::ratingAddress()}},
        {u"showWindow"_s, [] { core().showWindow(); }, {ApplicationConstants::mailingListAddress()}},
    };
    for (const Case &entry : cases) {
        SCOPED_TRACE(entry.call.toStdString());
        core().reset();
        core().setUrlOpener([this](const QUrl &url) { m_opened.append(url); });
        m_opened.clear();
        entry.run();
        EXPECT_EQ(core().calls(), QStringList{entry.call});
        EXPECT_EQ(m_opened, entry.opened);
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    }
}

TEST_F(RQCoreTest, TheAddressesAreDistinctPagesOfTheReservedDomain)
{
    const QList<QUrl> addresses = {
        ApplicationConstants::supportAddress(),      ApplicationConstants::socialAddress(),
        ApplicationConstants::makerAddress(),        ApplicationConstants::facebookAddress(),
        ApplicationConstants::twitterAddress(),      ApplicationConstants::productShortAddress(),
        ApplicationConstants::tweetPageAddress(),    ApplicationConstants::feedDialogAddress(),
        ApplicationConstants::ratingAddress(),       ApplicationConstants::mailingListAddress(),
    };
    for (const QUrl &address : addresses) {
        EXPECT_TRUE(address.isValid()) << address.toString().toStdString();
        EXPECT_EQ(address.scheme(), u"https"_s);
        EXPECT_EQ(address.host(), u"marrowick.example"_s);
        EXPECT_EQ(addresses.count(address), 1) << address.toString().toStdString();
    }
}

TEST_F(RQCoreTest, TheLaunchKeepsItsConfigurationAndRunsTheHandlerInsideTheCall)
{
    EXPECT_EQ(&RQCore::sharedInstance(), &core());
    std::optional<RQCConfig> seen;
    core().setLaunchHandler([&](const RQCConfig &config) {
        seen = config;
        EXPECT_EQ(core().calls(), QStringList{u"applicationDidLaunchWithConfig"_s});
    });
    RQCConfig config;
    config.setAppStoreID(QString::number(ApplicationConstants::storeIdentifier));
    config.setShowsRunAtLoginButton(false);
    core().applicationDidLaunchWithConfig(config);

    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->appStoreID(), u"1480000018"_s);
    ASSERT_TRUE(core().launchConfig().has_value());
    EXPECT_EQ(core().launchConfig()->appStoreID(), u"1480000018"_s);
    EXPECT_FALSE(core().launchConfig()->showsRunAtLoginButton());
}

TEST_F(RQCoreTest, TheMainWindowMayShowUnlessATestSaysOtherwise)
{
    EXPECT_TRUE(core().canShowMainWindow());
    core().setCanShowMainWindow(false);
    EXPECT_FALSE(core().canShowMainWindow());
    core().reset();
    EXPECT_TRUE(core().canShowMainWindow());
}

TEST_F(RQCoreTest, TheSatisfactionPromptOnlyNotesItsStart)
{
    RQCHappinessManager &manager = RQCHappinessManager::sharedInstance();
    EXPECT_EQ(&manager, &RQCHappinessManager::sharedInstance());
    manager.start();
    manager.start();
    EXPECT_EQ(manager.startCount(), 2);
    EXPECT_TRUE(m_opened.isEmpty());
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST_F(RQCoreTest, TheWelcomeNamesAreTwoDifferentNames)
{
    EXPECT_FALSE(RQCWelcomeNotifications::windowDidOpen().isEmpty());
    EXPECT_NE(RQCWelcomeNotifications::windowDidOpen(), RQCWelcomeNotifications::windowDidClose());
}
