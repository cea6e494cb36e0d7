#include "windows/RQQuitAppsWindowController.h"

#include "platform/gui/RunningApplications.h"

#include "support/EventLoop.h"
#include "support/ScreenCapture.h"

#include <QDialog>
#include <QLabel>
#include <QTableWidget>
#include <QPainter>
#include <QPushButton>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString photos = u"com.apple.Photos"_s;

// Stands in for the desktop's list of running applications, which Linux does not keep.
class FakeRunningApplications final : public RunningApplications
{
public:
    QList<RunningApplication> runningApplications() const override { return running; }
    bool activate(const RunningApplication &application) override
    {
        activated.push_back(application.processIdentifier);
        return true;
    }

    void launch(const QString &identifier, const QString &name, qint64 processIdentifier, QColor colour)
    {
        QPixmap icon(48, 48);
        icon.fill(Qt::transparent);
        QPainter painter(&icon);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(colour);
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(QRectF(4, 4, 40, 40), 10, 10);
        painter.end();
        running.append({identifier, name, QIcon(icon), processIdentifier});
    }
    void quit(qint64 processIdentifier)
    {
        running.removeIf([processIdentifier](const auto &application) {
            return application.processIdentifier == processIdentifier;
        });
    }

    QList<RunningApplication> running;
    std::vector<qint64> activated;
};

// The controller as the scan start-up drives it, with every completion recorded.
struct SheetRun
{
    explicit SheetRun(FakeRunningApplications &applications) : controller(applications)
    {
        parent.resize(500, 340);
        parent.show();
        controller.setApplications({photos});
    }

    void begin()
    {
        controller.beginSheetForWindow(&parent);
        controller.setCompletionBlock([this](bool cancelled) { completions.push_back(cancelled); });
    }
    QDialog *sheet() { return qobject_cast<QDialog *>(controller.window()); }

    QWidget parent;
    RQQuitAppsWindowController controller;
    std::vector<bool> completions;
};

} // namespace

TEST(RQQuitAppsWindowControllerTest, NothingRunningShowsNoSheet)
{
    FakeRunningApplications applications;
    applications.launch(u"org.example.Other"_s, u"Other"_s, 10, Qt::gray);
    RQQuitAppsWindowController controller(applications);
    controller.setApplications({photos});
    EXPECT_FALSE(controller.shouldDisplay());
    EXPECT_FALSE(controller.isWindowLoaded());

    RQQuitAppsWindowController system;
    system.setApplications({photos});
    EXPECT_FALSE(system.shouldDisplay()) << "Linux lists no running applications";
}

TEST(RQQuitAppsWindowControllerTest, QuittingTheApplicationEndsTheSheetAndReportsLater)
{
    FakeRunningApplications applications;
    applications.launch(photos, u"Photos"_s, 20, Qt::blue);
    SheetRun run(applications);
    ASSERT_TRUE(run.controller.shouldDisplay());
    run.begin();
    EXPECT_TRUE(run.sheet()->isVisible());
    EXPECT_EQ(run.sheet()->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(run.controller.isPolling());
    EXPECT_EQ(run.controller.tableView()->rowCount(), 1);

    applications.quit(20);
    run.controller.updateRunningApplications();
    EXPECT_FALSE(run.sheet()->isVisible());
    EXPECT_FALSE(run.controller.isPolling());
    EXPECT_TRUE(run.completions.empty()) << "reported a moment after the sheet ended";
    ASSERT_TRUE(processEventsUntil([&run] { return !run.completions.empty(); }));
    EXPECT_EQ(run.completions, std::vector<bool>{false});
}

TEST(RQQuitAppsWindowControllerTest, CancelReportsOnceEvenIfTheApplicationQuitsSoonAfter)
{
    FakeRunningApplications applications;
    applications.launch(photos, u"Photos"_s, 20, Qt::blue);
    SheetRun run(applications);
    run.begin();
    run.controller.cancelButton()->click();
    EXPECT_EQ(run.completions, std::vector<bool>{true});
    EXPECT_FALSE(run.sheet()->isVisible());
    EXPECT_FALSE(run.controller.isPolling());

    applications.quit(20);
    run.controller.updateRunningApplications();
    processEventsFor(500);
    EXPECT_EQ(run.completions, std::vector<bool>{true});
}

TEST(RQQuitAppsWindowControllerTest, EachInstanceHasARowThatBringsItForward)
{
    FakeRunningApplications applications;
    applications.launch(photos, u"Photos"_s, 20, QColor(0x3b, 0x82, 0xf6));
    applications.launch(u"org.example.Other"_s, u"Other"_s, 10, Qt::gray);
    applications.launch(photos, u"Photos (second window)"_s, 21, QColor(0xf5, 0x9e, 0x0b));
    SheetRun run(applications);
    run.begin();
    QTableWidget &table = *run.controller.tableView();
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.item(1, 0)->text(), u"Photos (second window)"_s);

    const auto [single, twice] = ScreenCapture::save(*run.sheet(), u"quit-applications-sheet"_s);
    for (const QImage &image : {single, twice}) {
        const int ratio = static_cast<int>(image.devicePixelRatio());
        const QRect label = run.controller.titleLabel()->geometry();
        bool ink = false;
        for (int x = label.left(); x < label.right() && !ink; ++x)
            ink = QColor(image.pixel(x * ratio, label.center().y() * ratio)).lightness() < 100;
        EXPECT_TRUE(ink) << "the title is drawn at " << ratio;
    }

    // A double click below the rows hits no row.
    run.controller.handleDoubleClick(table.rowAt(table.viewport()->height() - 1));
    run.controller.activateApplicationAtRow(2);
    EXPECT_TRUE(applications.activated.empty());
    run.controller.handleDoubleClick(0);
    qobject_cast<QPushButton *>(table.cellWidget(1, 1))->click();
    EXPECT_EQ(applications.activated, (std::vector<qint64>{20, 21}));

    // A different instance of the same count is a change too.
    applications.quit(21);
    applications.launch(photos, u"Photos again"_s, 22, Qt::blue);
    run.controller.updateRunningApplications();
    EXPECT_EQ(table.item(1, 0)->text(), u"Photos again"_s);
    applications.quit(20);
    run.controller.updateRunningApplications();
    ASSERT_EQ(table.rowCount(), 1);
    EXPECT_TRUE(run.controller.isPolling());
}
