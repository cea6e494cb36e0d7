#include "windows/MWPhotosDeleteWindowController.h"

#include "TouchBarFixture.h"
#include "support/FakeScriptingBridge.h"
#include "windows/RQTouchBarController.h"
#include "windows/SheetDialog.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

class MWPhotosDeleteWindowControllerTest : public TouchBarFixture
{
};

namespace {

// Done by its button, by Esc and by the title-bar close, with and without a close block: the
// sheet ends each time and the block, when set, runs once.
TEST_F(MWPhotosDeleteWindowControllerTest, EveryWayOutIsDone)
{
    enum Way { Button, Escape, Close };
    for (const Way way : {Button, Escape, Close}) {
        for (const bool withBlock : {false, true}) {
            QWidget parent;
            parent.show();
            int closes = 0;
            auto sheet = MWPhotosDeleteWindowController::controller();
            if (withBlock)
                sheet->setDidCloseBlock([&closes] { ++closes; });
            sheet->beginSheetInWindow(&parent);
            ASSERT_TRUE(sheet->sheet()->isVisible());
            EXPECT_EQ(sheet->sheet()->windowModality(), Qt::WindowModal);
            EXPECT_EQ(stackViews().last(), sheet->touchBarView());
            if (way == Button)
                sheet->sheet()->findChild<QPushButton *>(QStringLiteral("doneButton"))->click();
            else if (way == Escape)
                QTest::keyClick(sheet->sheet(), Qt::Key_Escape);
            else
                sheet->sheet()->close();
            EXPECT_FALSE(sheet->sheet()->isVisible()) << way << withBlock;
            EXPECT_EQ(closes, withBlock ? 1 : 0) << way;
        }
    }
}

TEST_F(MWPhotosDeleteWindowControllerTest, OpenPhotosWithoutPhotosDoesNothing)
{
    FakeScriptingBridge bridge;
    bridge.photos = std::make_shared<FakePhotos>();
    QWidget parent;
    parent.show();
    int closes = 0;
    QList<QUrl> opened;
    auto sheet = MWPhotosDeleteWindowController::controller();
    sheet->setDidCloseBlock([&closes] { ++closes; });
    sheet->setUrlOpener([&opened](const QUrl &url) { opened.append(url); });
    sheet->beginSheetInWindow(&parent);

    sheet->sheet()->findChild<QPushButton *>(QStringLiteral("openPhotosButton"))->click();

    EXPECT_TRUE(sheet->sheet()->isVisible());
    EXPECT_EQ(bridge.photos->activations, 0);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(closes, 0);
    sheet->sheet()->findChild<QPushButton *>(QStringLiteral("supportButton"))->click();
    EXPECT_EQ(opened.size(), 1);
    EXPECT_TRUE(sheet->sheet()->isVisible());
}

} // namespace
