#include "platform/gui/PreviewKeyFilter.h"
#include "platform/gui/PreviewPanel.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Counts the space-bar presses that reach the watched object.
class SpaceCounter final : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space)
            ++count;
        return false;
    }
};

// A window with a list of checkable rows, a text field and a spin box.
class PreviewKeyFilterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int row = 0; row < 3; ++row) {
            auto *item = new QStandardItem(u"row %1"_s.arg(row));
            item->setCheckable(true);
            m_model.appendRow(item);
        }
        m_view->setModel(&m_model);
        auto *layout = new QVBoxLayout(&m_window);
        layout->addWidget(m_view);
        layout->addWidget(m_field);
        layout->addWidget(m_spinBox);
        m_window.show();
        m_window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
        m_view->setCurrentIndex(m_model.index(0, 0));
        m_view->installEventFilter(&m_spacesAtView);
        m_filter.addWindow(&m_window);
        m_filter.install();
    }

    Qt::CheckState firstRowCheck() const { return m_model.item(0)->checkState(); }

    SpaceCounter m_spacesAtView;
    QWidget m_window;
    QStandardItemModel m_model;
    QTableView *m_view = new QTableView();
    QLineEdit *m_field = new QLineEdit();
    QSpinBox *m_spinBox = new QSpinBox();
    PreviewKeyFilter m_filter;
};

} // namespace

TEST_F(PreviewKeyFilterTest, SpaceAsksForThePreviewUnlessTextIsTyped)
{
    QSignalSpy preview(&m_filter, &PreviewKeyFilter::previewRequested);
    QSignalSpy tick(&m_filter, &PreviewKeyFilter::tickRequested);

    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_Space);
    EXPECT_EQ(preview.count(), 1);
    // The view never saw it, so its row is not ticked.
    EXPECT_EQ(m_spacesAtView.count, 0);
    EXPECT_EQ(firstRowCheck(), Qt::Unchecked);
    QTest::keyClick(m_view, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(tick.count(), 1);
    // Other modified spaces pass on.
    QTest::keyClick(m_view, Qt::Key_Space, Qt::AltModifier);
    EXPECT_EQ(preview.count() + tick.count(), 2);

    m_field->setFocus();
    QTest::keyClicks(m_field, u"a b"_s);
    EXPECT_EQ(m_field->text(), u"a b"_s);
    m_spinBox->setFocus();
    QTest::keyClick(m_spinBox, Qt::Key_Space);
    EXPECT_EQ(preview.count(), 1);

    m_filter.remove();
    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_Space);
    EXPECT_EQ(preview.count(), 1);
    EXPECT_EQ(m_spacesAtView.count, 2);
}

TEST_F(PreviewKeyFilterTest, ArrowsInThePanelMoveTheNavigationRow)
{
    PreviewPanel *panel = PreviewPanel::sharedPreviewPanel(&m_window);
    EXPECT_EQ(PreviewPanel::sharedPreviewPanel(nullptr), panel);
    panel->setNavigationView(m_view);
    panel->toggle();
    EXPECT_TRUE(panel->isVisible());
    QTest::keyClick(panel, Qt::Key_Down);
    QTest::keyClick(panel, Qt::Key_Down);
    EXPECT_EQ(m_view->currentIndex().row(), 2);
    QTest::keyClick(panel, Qt::Key_Up);
    EXPECT_EQ(m_view->currentIndex().row(), 1);
    panel->toggle();
    EXPECT_FALSE(panel->isVisible());
}
