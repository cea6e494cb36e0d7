#include "windows/FinishedViewController.h"

#include "TouchBarFixture.h"
#include "korrim/RQCHappinessManager.h"
#include "photolibraries/RQPhotosLibrary.h"
#include "platform/NotificationCenter.h"
#include "support/EventLoop.h"
#include "windows/MWPhotosDeleteWindowController.h"
#include "windows/SheetDialog.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrlQuery>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Catches the pages the screen opens in the browser.
class PageCatcher final : public QObject
{
    Q_OBJECT

public:
    PageCatcher() { QDesktopServices::setUrlHandler(u"https"_s, this, "open"); }
    ~PageCatcher() override { QDesktopServices::unsetUrlHandler(u"https"_s); }
    Q_DISABLE_COPY_MOVE(PageCatcher)

    Q_INVOKABLE void open(const QUrl &url) { urls.append(url); }

    QList<QUrl> urls;
};

} // namespace

class FinishedViewControllerTest : public TouchBarFixture
{
protected:
    void TearDown() override
    {
        RQPhotosLibrary::sharedInstance().reset();
        RQCHappinessManager::sharedInstance().reset();
        TouchBarFixture::TearDown();
    }

    std::unique_ptr<FinishedViewController> loaded(double freed, qint64 count, bool photos = false)
    {
        auto screen = FinishedViewController::controllerWithTotalFreed(freed, count, photos);
        screen->setParentWindow(&m_parent);
        m_parent.show();
        screen->view();
        return screen;
    }

    QWidget m_parent;
};

TEST_F(FinishedViewControllerTest, TitleTellsTheCount)
{
    const struct {
        qint64 count;
        QString title;
    } cases[] = {
        {0, u"No duplicates were removed."_s},
        {1, u"1 duplicate has been removed!"_s},
        {1234, u"%1 duplicates have been removed!"_s.arg(QLocale::system().toString(1234))},
    };
    for (const auto &test : cases) {
        EXPECT_EQ(FinishedViewController::titleForCount(test.count), test.title) << test.count;
        EXPECT_EQ(loaded(5e6, test.count)->titleLabel()->text(), test.title);
    }
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(FinishedViewController::titleForCount(1234, english), u"1,234 duplicates have been removed!"_s);
    EXPECT_EQ(FinishedViewController::titleForCount(1, english), u"1 duplicate has been removed!"_s);
}

TEST_F(FinishedViewControllerTest, NothingRemovedShowsNothingFreedButTheTouchBarKeepsTheSize)
{
    const auto screen = loaded(5e6, 0);
    QString shown = screen->view()->findChild<QLabel *>(u"totalFreedLabel"_s)->text().remove(u' ');
    ASSERT_TRUE(shown.endsWith(u"KB"_s)) << shown.toStdString();
    shown.chop(2);
    bool isNumber = false;
    EXPECT_EQ(shown.toDouble(&isNumber), 0.0);
    EXPECT_TRUE(isNumber);
    RQMemoryFormatter formatter;
    formatter.setMinimumUnit(1);
    EXPECT_EQ(screen->touchBarLabel()->text(),
              u"Marrowick freed %1 from your Mac!"_s.arg(formatter.stringFromBytes(5e6)));
    EXPECT_TRUE(screen->touchBarLabel()->text().contains(u"MB"_s));
}

// The prompt after a large clean-up only; the touch bar shows this screen's view alone.
TEST_F(FinishedViewControllerTest, PromptAfterALargeCleanUp)
{
    const struct {
        double freed;
        int starts;
    } cases[] = {{1e9, 1}, {999999999, 0}, {std::numeric_limits<double>::quiet_NaN(), 0}, {2e12, 1}};
    for (const auto &test : cases) {
        RQCHappinessManager::sharedInstance().reset();
        const auto screen = loaded(test.freed, 3);
        screen->showPhotosHelpIfNeeded();
        EXPECT_EQ(RQCHappinessManager::sharedInstance().startCount(), test.starts) << test.freed;
        EXPECT_EQ(stackViews(), QList<QWidget *>{screen->touchBarView()});
    }
}

// The Photos help sheet comes only with a current library and removed Photos items; its
// Done leads to the closing step.
TEST_F(FinishedViewControllerTest, PhotosHelpSheetWhenPhotosItemsWent)
{
    const struct {
        bool library;
        bool photos;
        bool sheet;
    } cases[] = {{true, true, true}, {true, false, false}, {false, true, false}};
    for (const auto &test : cases) {
        RQPhotosLibrary::sharedInstance().setCurrentLibraryPath(test.library ? u"/photos/Library.photoslibrary"_s
                                                                             : QString());
        RQCHappinessManager::sharedInstance().reset();
        const auto screen = loaded(2e9, 5, test.photos);
        screen->showPhotosHelpIfNeeded();
        MWPhotosDeleteWindowController *sheet = screen->photosDeleteWindowController();
        ASSERT_EQ(sheet != nullptr, test.sheet) << test.library << test.photos;
        if (!sheet) {
            EXPECT_EQ(RQCHappinessManager::sharedInstance().startCount(), 1);
            continue;
        }
        EXPECT_TRUE(sheet->sheet()->isVisible());
        EXPECT_EQ(RQCHappinessManager::sharedInstance().startCount(), 0);
        sheet->sheet()->findChild<QPushButton *>(u"doneButton"_s)->click();
        ASSERT_TRUE(processEventsUntil([&] { return !screen->photosDeleteWindowController(); }));
        EXPECT_EQ(RQCHappinessManager::sharedInstance().startCount(), 1);
        EXPECT_EQ(stackViews(), QList<QWidget *>{screen->touchBarView()});
    }
}

// Every value reaches the page exactly as written: nothing becomes a fragment, a blank or a
// format.
TEST_F(FinishedViewControllerTest, ShareAddressesCarryTheMessageExactly)
{
    const QString message = u"Tom & Jerry #1 + 50% caf\u00e9 %@ %%26"_s;
    const struct {
        qint64 service;
        QString key;
    } cases[] = {{FinishedViewController::Twitter, u"text"_s}, {FinishedViewController::Facebook, u"name"_s}};
    for (const auto &test : cases) {
        const QUrl url = FinishedViewController::shareAddress(test.service, message);
        EXPECT_EQ(url.scheme(), u"https"_s);
        EXPECT_FALSE(url.hasFragment());
        const QString wire = QString::fromLatin1(url.toEncoded());
        EXPECT_FALSE(wire.contains(u'+')) << wire.toStdString();
        EXPECT_FALSE(wire.contains(u'#')) << wire.toStdString();
        EXPECT_EQ(QUrlQuery(url).queryItemValue(test.key, QUrl::FullyDecoded), message) << test.key.toStdString();
    }
    const QUrlQuery feed(FinishedViewController::shareAddress(FinishedViewController::Facebook, message));
    QStringList keys;
    for (const auto &item : feed.queryItems())
        keys.append(item.first);
    EXPECT_EQ(keys, (QStringList{u"app_id"_s, u"link"_s, u"name"_s, u"redirect_uri"_s}));
    EXPECT_TRUE(FinishedViewController::shareAddress(FinishedViewController::Twitter, message)
                    .path()
                    .endsWith(u"/intent/tweet"_s));
}

TEST_F(FinishedViewControllerTest, SharingOpensThePageInTheBrowser)
{
    PageCatcher pages;
    const auto screen = loaded(1.6e9, 1234);
    screen->view()->findChild<QPushButton *>(u"tweetButton"_s)->click();
    screen->view()->findChild<QPushButton *>(u"likeButton"_s)->click();
    ASSERT_EQ(pages.urls.size(), 2);
    const QString tweet = QUrlQuery(pages.urls[0]).queryItemValue(u"text"_s, QUrl::FullyDecoded);
    EXPECT_TRUE(tweet.startsWith(u"I just cleared 2 GB using Marrowick for Linux. Check it out here: "_s))
        << tweet.toStdString();
    EXPECT_TRUE(tweet.endsWith(u" #marrowick #rovaquin"_s)) << tweet.toStdString();
    const QString post = QUrlQuery(pages.urls[1]).queryItemValue(u"name"_s, QUrl::FullyDecoded);
    EXPECT_FALSE(post.contains(u'#'));
    EXPECT_EQ(post + u" #marrowick #rovaquin"_s, tweet);
}

TEST_F(FinishedViewControllerTest, ScanAgainIsPosted)
{
    int posts = 0;
    QObject context;
    NotificationCenter::defaultCenter().addObserver(u"ScanAgain"_s, nullptr, &context,
                                                    [&posts](const Notification &) { ++posts; });
    const auto screen = loaded(1, 1);
    screen->view()->findChild<QPushButton *>(u"scanAgainButton"_s)->click();
    processEventsUntil([&posts] { return posts > 0; }, 1000);
    EXPECT_EQ(posts, 1);
}

#include "FinishedViewControllerTest.moc"
