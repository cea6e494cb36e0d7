#include "windows/MWPhotosDeleteWindowController.h"

#include "TouchBarFixture.h"
#include "support/FakeScriptingBridge.h"
#include "support/TabChain.h"
#include "windows/RQTouchBarController.h"
#include "windows/SheetDialog.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

class MWPhotosDeleteWindowControllerTest : public TouchBarFixture
{
protected:
    // The sheet up on a shown parent, counting its closes and catching the pages it opens.
    MWPhotosDeleteWindowController &openSheet()
    {
        m_parent.show();
        m_sheet = MWPhotosDeleteWindowController::controller();
        m_sheet->setDidCloseBlock([this] { ++m_closes; });
        m_sheet->setUrlOpener([this](const QUrl &url) { m_opened.append(url); });
        m_sheet->beginSheetInWindow(&m_parent);
        return *m_sheet;
    }
    QPushButton *button(const char *name) const
    {
        return m_sheet->sheet()->findChild<QPushButton *>(QString::fromLatin1(name));
    }

    QWidget m_parent;
    std::unique_ptr<MWPhotosDeleteWindowController> m_sheet;
    int m_closes = 0;
    QList<QUrl> m_opened;
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
    MWPhotosDeleteWindowController &sheet = openSheet();

    button("openPhotosButton")->click();

    EXPECT_TRUE(sheet.sheet()->isVisible());
    EXPECT_EQ(bridge.photos->activations, 0);
    EXPECT_TRUE(m_opened.isEmpty());
    EXPECT_EQ(m_closes, 0);
    button("supportButton")->click();
    EXPECT_EQ(m_opened.size(), 1);
    EXPECT_TRUE(sheet.sheet()->isVisible());
}

// Tab reaches the three buttons; Return is Done wherever the focus is, so the sheet ends and
// nothing opens.
TEST_F(MWPhotosDeleteWindowControllerTest, TabReachesEveryButtonAndReturnIsDone)
{
    MWPhotosDeleteWindowController &sheet = openSheet();
    sheet.sheet()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.sheet()));

    QWidget *start = button("supportButton");
    const QList<QWidget *> reached = tabStops(start);
    EXPECT_EQ(reached, (QList<QWidget *>{button("supportButton"), button("openPhotosButton"), button("doneButton")}));
    for (QWidget *each : std::as_const(reached))
        EXPECT_FALSE(each->accessibleName().isEmpty());

    start->setFocus();
    QTest::keyClick(start, Qt::Key_Return);
    EXPECT_FALSE(sheet.sheet()->isVisible());
    EXPECT_EQ(m_closes, 1);
    EXPECT_TRUE(m_opened.isEmpty());
}

} // namespace
