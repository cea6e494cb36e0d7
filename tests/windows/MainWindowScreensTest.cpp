#include "windows/MainWindowController.h"

#include "controls/RQFileDropView.h"
#include "windows/DuplicatesViewController.h"
#include "windows/LCDStatusViewController.h"
#include "windows/StatsViewController.h"

#include "MainWindowFixture.h"
#include "support/ScreenCapture.h"

#include <QLabel>

#include <functional>

using namespace Qt::StringLiterals;
using namespace mainwindow;

namespace {

// The main window in each of its states as a user sees it, kept as PNG files under
// build/screens for review, each checked at 1x and 2x where its look can go wrong.
class MainWindowScreensTest : public MainWindowFixture
{
protected:
    using Check = std::function<void(const QImage &image, qreal ratio)>;

    // Saves the window (or the widget) at both ratios and runs the check on each image.
    void shoot(const QString &name, const Check &check, QWidget *widget = nullptr)
    {
        finishTransitions();
        QCoreApplication::sendPostedEvents();
        const auto [oneX, twoX] = ScreenCapture::save(widget ? *widget : window(), name);
        EXPECT_EQ(twoX.size(), oneX.size() * 2) << name.toStdString();
        SCOPED_TRACE(name.toStdString());
        check(oneX, 1);
        check(twoX, 2);
    }

    // The widget's rectangle in the window, in the image's pixels.
    QRect placeOf(const QWidget &widget, qreal ratio)
    {
        const QRect inWindow(widget.mapTo(&window(), QPoint(0, 0)), widget.size());
        return QRect(inWindow.topLeft() * ratio, inWindow.size() * ratio);
    }

    static int countPixels(const QImage &image, const QRect &area, const std::function<bool(const QColor &)> &test)
    {
        int count = 0;
        const QRect clipped = area.intersected(image.rect());
        for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
            for (int x = clipped.left(); x <= clipped.right(); ++x)
                count += test(image.pixelColor(x, y)) ? 1 : 0;
        }
        return count;
    }
    // Text and figures: the statistics' grey-blue counts as ink, the lined background does not.
    static bool isInk(const QColor &colour) { return colour.alpha() > 200 && colour.lightness() < 170; }
    static bool near(const QColor &colour, const QColor &expected, int tolerance = 24)
    {
        return std::abs(colour.red() - expected.red()) <= tolerance
            && std::abs(colour.green() - expected.green()) <= tolerance
            && std::abs(colour.blue() - expected.blue()) <= tolerance;
    }

    // Some of the drop area's outer band wears the border's grey; its inside does not.
    Check ringIsGrey()
    {
        return [this](const QImage &image, qreal ratio) {
            RQFileDropView &zone = *form().dropZoneView;
            const QRect area = placeOf(zone, ratio);
            const QColor grey = zone.strokeColor();
            const QRect topBand(area.left() + int(20 * ratio), area.top(), area.width() - int(40 * ratio), int(3 * ratio));
            EXPECT_GT(countPixels(image, topBand, [&](const QColor &c) { return near(c, grey); }), topBand.width() / 3);
            const QRect inside = area.adjusted(int(6 * ratio), int(6 * ratio), int(-6 * ratio), int(-6 * ratio));
            EXPECT_EQ(countPixels(image, QRect(inside.left(), inside.top(), inside.width(), int(2 * ratio)),
                                  [&](const QColor &c) { return near(c, grey, 6); }),
                      0);
        };
    }
    Check imageCentreIs(const QColor &expected)
    {
        return [this, expected](const QImage &image, qreal ratio) {
            const QColor centre = image.pixelColor(placeOf(*form().dropImageView, ratio).center());
            EXPECT_TRUE(near(centre, expected)) << centre.name().toStdString();
        };
    }
    Check hasInk(const std::function<QWidget *()> &widget, int atLeast = 20)
    {
        return [this, widget, atLeast](const QImage &image, qreal ratio) {
            EXPECT_GE(countPixels(image, placeOf(*widget(), ratio), isInk), atLeast * ratio * ratio);
        };
    }
    // The enabled Next button: a blue pill with its white title on it.
    Check nextIsBlueWithItsTitle()
    {
        return [this](const QImage &image, qreal ratio) {
            const QRect button = placeOf(*form().nextButton, ratio);
            const int blue = countPixels(image, button, [](const QColor &c) {
                return c.blue() > c.red() + 60 && c.blue() > c.green() + 20;
            });
            const int white = countPixels(image, button, [](const QColor &c) { return c.lightness() > 235; });
            EXPECT_GT(blue, button.width() * button.height() / 3);
            EXPECT_GT(white, 20 * ratio * ratio);
        };
    }
    static Check all(std::initializer_list<Check> checks)
    {
        return [list = std::vector<Check>(checks)](const QImage &image, qreal ratio) {
            for (const Check &check : list)
                check(image, ratio);
        };
    }
    QWidget *statusPanel() { return controller().lcdStatusViewController()->view(); }
};

} // namespace

TEST_F(MainWindowScreensTest, ChoosingFolders)
{
    const QColor addBlue(0x20, 0x94, 0xfa);
    auto label = [this]() -> QWidget * { return form().selectLabel; };
    shoot(u"main-window-start-empty"_s, all({ringIsGrey(), imageCentreIs(addBlue), hasInk(label)}));
    choose({m_folder.makeFolder(u"Holiday Photos"_s)});
    shoot(u"main-window-start-one-folder"_s, all({ringIsGrey(), hasInk(label),
                                                   [this](const QImage &image, qreal ratio) {
                                                       // The folder's icon replaces the blue cross.
                                                       const QRect picture = placeOf(*form().dropImageView, ratio);
                                                       EXPECT_GT(countPixels(image, picture, [](const QColor &c) { return c.alpha() > 200; }),
                                                                 picture.width() * picture.height() / 8);
                                                   }}));
    choose({m_folder.makeFolder(u"Music"_s)});
    shoot(u"main-window-start-two-folders"_s, all({ringIsGrey(), hasInk(label)}));
    form().dropZoneView->startAnimation();
    for (int tick = 0; tick < 4; ++tick)
        form().dropZoneView->tick();
    shoot(u"main-window-start-marching"_s, all({ringIsGrey(), hasInk(label)}));
    form().dropZoneView->stopAnimation();
}

TEST_F(MainWindowScreensTest, ScanningResultsAndNoResults)
{
    auto panel = [this]() -> QWidget * { return statusPanel(); };
    auto statistics = [this]() -> QWidget * { return controller().statsViewController()->view(); };
    choose({treeWithDuplicates()});
    controller().goNext();
    // A cancelled scan sends nothing more, so the window stays as it is while the scan runs.
    controller().duplicateFinder()->cancel();
    shoot(u"main-window-scanning"_s, all({hasInk(panel), hasInk(statistics),
                                          [this](const QImage &, qreal) { EXPECT_TRUE(controller().isScanning()); }}));

    makeWindow();
    scan({treeWithDuplicates()});
    shoot(u"main-window-results"_s, all({hasInk(panel), hasInk(statistics), nextIsBlueWithItsTitle()}));

    makeWindow();
    scan({treeWithoutDuplicates()});
    shoot(u"main-window-no-results"_s, all({hasInk(panel), hasInk(statistics)}));

    makeWindow();
    scan({u"/etc"_s});
    const auto status = [this]() -> QWidget * { return form().statusLabel; };
    shoot(u"main-window-no-results-refused"_s, all({hasInk(panel), hasInk(statistics), hasInk(status)}));
}

TEST_F(MainWindowScreensTest, ResultsBrowserAndFinishedScreen)
{
    scan({treeWithDuplicates()});
    controller().goNext();
    processEventsFor(300);
    shoot(u"main-window-step2"_s, all({hasInk([this]() -> QWidget * { return statusPanel(); }),
                                       hasInk([this]() -> QWidget * { return controller().duplicatesViewController()->view(); })}));
    controller().showFinishedView(3'400'000'000, 1204, false);
    shoot(u"main-window-step4"_s, all({hasInk([this]() -> QWidget * { return statusPanel(); }),
                                       hasInk([this]() -> QWidget * { return controller().currentView(); }, 200)}));
}

TEST_F(MainWindowScreensTest, BackAndQuitAlerts)
{
    scan({treeWithDuplicates()});
    QTest::mouseClick(form().backButton, Qt::LeftButton);
    QMessageBox *back = waitForAlert();
    ASSERT_NE(back, nullptr);
    auto alertInk = [](QMessageBox *alert) {
        return [alert](const QImage &image, qreal ratio) {
            int ink = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    ink += isInk(image.pixelColor(x, y)) ? 1 : 0;
            }
            EXPECT_GT(ink, 200 * ratio * ratio);
            EXPECT_EQ(image.size(), alert->size() * ratio);
        };
    };
    shoot(u"main-window-back-alert"_s, alertInk(back), back);
    press(*back, u"Cancel"_s);
    processEventsUntil([] { return shownAlert() == nullptr; }, 2000);

    window().close();
    QMessageBox *quit = shownAlert();
    ASSERT_NE(quit, nullptr);
    shoot(u"main-window-quit-alert"_s, alertInk(quit), quit);
    press(*quit, u"Cancel"_s);
}
