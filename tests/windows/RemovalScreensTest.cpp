#include "windows/FinalizeWindowController.h"
#include "controls/HSFileCellView.h"
#include "windows/FinishedViewController.h"
#include "windows/MWPhotosDeleteWindowController.h"

#include "photolibraries/RQPhotosLibrary.h"
#include "support/ArtPalette.h"
#include "support/EventLoop.h"
#include "support/FakeScriptingBridge.h"
#include "support/RemovalFixture.h"
#include "support/ScreenCapture.h"
#include "windows/RemovalListModel.h"
#include "windows/RemovalRowDelegate.h"
#include "windows/SheetDialog.h"

#include <QLabel>
#include <QListView>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

int countPixels(const QImage &image, const QRect &area, const std::function<bool(const QColor &)> &test)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixelColor(x, y)) ? 1 : 0;
    }
    return count;
}

void expectDoubleSize(const std::pair<QImage, QImage> &shots)
{
    EXPECT_EQ(shots.second.size(), shots.first.size() * 2);
}

bool near(const QColor &colour, const QColor &wanted)
{
    return std::abs(colour.red() - wanted.red()) <= 8 && std::abs(colour.green() - wanted.green()) <= 8
        && std::abs(colour.blue() - wanted.blue()) <= 8;
}

// Pixels of the palette colour inside the named button, at 1x and at 2x.
std::pair<int, int> buttonPixels(const std::pair<QImage, QImage> &shots, const QWidget &window, const char *button,
                                 const QString &paletteName)
{
    const auto *widget = window.findChild<QWidget *>(QString::fromLatin1(button));
    if (!widget)
        return {-1, -1};
    const QRect area(widget->mapTo(&window, QPoint()), widget->size());
    const QColor wanted = artPaletteColour(paletteName);
    const auto test = [&wanted](const QColor &colour) { return near(colour, wanted); };
    const QRect twice(area.topLeft() * 2, area.size() * 2);
    return {countPixels(shots.first, area, test), countPixels(shots.second, twice, test)};
}

// The default button wears the blue pill; another button the push look's grey outline.
void expectThemedButtons(const std::pair<QImage, QImage> &shots, const QWidget &window, const char *defaultButton,
                         const char *otherButton)
{
    const auto [blue, blueTwice] = buttonPixels(shots, window, defaultButton, u"accent"_s);
    EXPECT_GT(blue, 300) << defaultButton;
    EXPECT_GT(blueTwice, 4 * 300) << defaultButton;
    if (otherButton) {
        EXPECT_GT(buttonPixels(shots, window, otherButton, u"stroke-push"_s).first, 40) << otherButton;
        EXPECT_EQ(buttonPixels(shots, window, otherButton, u"accent"_s).first, 0) << otherButton;
    }
}

} // namespace

// The sheets and the finished screen as a user sees them, kept as PNG files under
// build/screens for review.
class RemovalScreensTest : public RemovalFixture
{
protected:
    void TearDown() override
    {
        RQPhotosLibrary::sharedInstance().reset();
        RemovalFixture::TearDown();
    }
};

TEST_F(RemovalScreensTest, RemovalSheetInEachState)
{
    KMHSFileRemover::FileList files;
    // The last one's folders are too long for its row: they are elided, its name is not.
    for (const QString &name : {u"Holiday/IMG_0042.jpg"_s, u"Holiday copy/IMG_0042.jpg"_s, u"Reports/q3.pdf"_s,
                                u"Pictures/Holidays in the mountains, summer 2019/Family and friends/birthday-photo.jpg"_s}) {
        files.push_back(file(name, name.toUtf8().repeated(2000)));
        files.back()->setSelected(true);
    }
    files.push_back(folder(u"Old backup/"_s));
    files.back()->setSelected(true);
    files[0]->setInPhotosLibrary(true);
    if (!sealFolder(u"Reports"_s))
        GTEST_SKIP() << "no folder here can refuse a removal";
    RQPhotosLibrary::sharedInstance().setCurrentLibraryPath(dataPath(u"Pictures.photoslibrary"_s));
    FakeScriptingBridge bridge;
    bridge.photos = std::make_shared<FakePhotos>();
    bridge.photos->running = true;
    files[0]->setSelected(false);

    QWidget parent;
    parent.resize(800, 600);
    parent.show();
    auto sheet = FinalizeWindowController::controllerWithSelectedFiles({files, false, false});
    sheet->setParentWindow(&parent);
    sheet->setDidCancelBlock([] {});
    sheet->beginSheet();
    SheetDialog &window = *sheet->sheet();
    const auto listShots = ScreenCapture::save(window, u"removal-sheet-list"_s);
    expectDoubleSize(listShots);
    expectThemedButtons(listShots, window, "cleanButton", "backButton");

    window.findChild<QPushButton *>(u"cleanButton"_s)->click();
    ASSERT_EQ(sheet->state(), FinalizeWindowController::State::PhotosStep);
    ASSERT_TRUE(processEventsUntilAnimationsEnd(window));
    const auto photosShots = ScreenCapture::save(window, u"removal-sheet-photos"_s);
    expectDoubleSize(photosShots);
    expectThemedButtons(photosShots, window, "photosButton", "openPhotosButton");

    window.findChild<QPushButton *>(u"photosButton"_s)->click();
    ASSERT_EQ(sheet->state(), FinalizeWindowController::State::Removing);
    // At once: the removal must not end before its shot.
    finishAnimations(window);
    expectDoubleSize(ScreenCapture::save(window, u"removal-sheet-removing"_s));

    ASSERT_TRUE(processEventsUntil([&] { return sheet->state() == FinalizeWindowController::State::Failures; }, 60000));
    ASSERT_TRUE(processEventsUntilAnimationsEnd(window));
    const auto shots = ScreenCapture::save(window, u"removal-sheet-failures"_s);
    expectDoubleSize(shots);
    expectThemedButtons(shots, window, "cleanButton", nullptr);
    // The failed row wears the caution icon: warm, saturated pixels where the icon goes.
    auto *list = window.findChild<QListView *>(u"tableView"_s);
    ASSERT_EQ(list->model()->rowCount(), 1);
    const QRect row = list->visualRect(list->model()->index(0, 0));
    const QRect icon = RemovalRowDelegate::iconRect(row).translated(list->viewport()->mapTo(&window, QPoint()));
    const int warm = countPixels(shots.first, icon, [](const QColor &colour) {
        return colour.hsvSaturationF() > 0.5 && colour.hsvHueF() >= 0 && colour.hsvHueF() < 0.2;
    });
    EXPECT_GT(warm, 20);
    // Its tick box is drawn disabled: no dark pixels of a live tick.
    const QRect box = HSFileCellView(HSFileCellView::CheckBox | HSFileCellView::Texts)
                          .checkBoxRect(RemovalRowDelegate::cellRect(row))
                          .translated(list->viewport()->mapTo(&window, QPoint()));
    EXPECT_EQ(countPixels(shots.first, box, [](const QColor &colour) { return colour.valueF() < 0.35; }), 0);
}

TEST_F(RemovalScreensTest, FinishedScreen)
{
    QWidget parent;
    parent.show();
    auto screen = FinishedViewController::controllerWithTotalFreed(1.6e9, 1234, false);
    screen->setParentWindow(&parent);
    QWidget &view = *screen->view();
    view.resize(640, 420);
    const auto shots = ScreenCapture::save(view, u"finished-screen"_s);
    expectDoubleSize(shots);

    auto *container = view.findChild<QWidget *>(u"containerView"_s);
    const QRect box(container->mapTo(&view, QPoint()), container->size());
    const QColor fill = shots.first.pixelColor(box.left() + 6, box.top() + 3);
    const QColor border = shots.first.pixelColor(box.left(), box.center().y());
    EXPECT_NEAR(fill.valueF(), 0.95, 0.01);
    EXPECT_NEAR(fill.hsvSaturationF(), 0, 0.01);
    EXPECT_NEAR(border.valueF(), 0.80, 0.01);
    QLabel *title = screen->titleLabel();
    const QRect titleArea(title->mapTo(&view, QPoint()), title->size());
    EXPECT_GT(countPixels(shots.first, titleArea, [](const QColor &colour) { return colour.valueF() < 0.4; }), 50);
    expectThemedButtons(shots, view, "scanAgainButton", "quit");
}

TEST_F(RemovalScreensTest, PhotosHelpSheet)
{
    QWidget parent;
    parent.show();
    auto sheet = MWPhotosDeleteWindowController::controller();
    sheet->beginSheetInWindow(&parent);
    const auto shots = ScreenCapture::save(*sheet->sheet(), u"photos-help-sheet"_s);
    expectDoubleSize(shots);
    expectThemedButtons(shots, *sheet->sheet(), "doneButton", "openPhotosButton");
}
