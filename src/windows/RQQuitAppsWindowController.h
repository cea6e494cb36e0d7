#pragma once

#include "windows/RQWindowController.h"

#include "platform/gui/RunningApplications.h"

#include <QStringList>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTableWidget;
class RQTimer;
namespace Ui {
class RQQuitAppsWindowController;
}

// A sheet that asks the user to quit the listed applications before a scan: it lists those that
// run, looks again every second, and ends itself once none is left. The user quits them the
// usual way, brings one forward from its row, or cancels. The sheet never quits anything.
// Main thread only.
class RQQuitAppsWindowController final : public RQWindowController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RQQuitAppsWindowController)

public:
    // cancelled: true when the user pressed Cancel, false once none of the applications runs.
    using CompletionBlock = std::function<void(bool cancelled)>;

    static constexpr double pollInterval = 1.0;
    static constexpr double reportDelay = 0.3;

    // Asks the given layer which applications run; the system's by default.
    explicit RQQuitAppsWindowController(RunningApplications &applications = RunningApplications::system(),
                                        QObject *parent = nullptr);
    ~RQQuitAppsWindowController() override;

    // The identifiers of the applications to quit; looks at once which of them run.
    QStringList applications() const { return m_applications; }
    void setApplications(const QStringList &bundleIdentifiers);
    // At least one of the applications runs, so the sheet is worth showing.
    bool shouldDisplay() const { return !m_appsToClose.isEmpty(); }

    // Shows the sheet window-modal on the window and starts looking every second.
    void beginSheetForWindow(QWidget *parent);
    // Read when due, so it may be set after the sheet began. Runs at most once.
    void setCompletionBlock(CompletionBlock block) { m_completionBlock = std::move(block); }

    // One look at the running applications.
    void updateRunningApplications();
    // Reports the cancel at once, then ends the sheet and stops looking.
    void cancel();
    void handleDoubleClick(int row);
    void activateApplicationAtRow(int row);

    QList<RunningApplication> appsToClose() const { return m_appsToClose; }
    bool isPolling() const { return m_timer != nullptr; }
    // Outlets of the loaded window.
    QTableWidget *tableView() const;
    QPushButton *cancelButton() const;
    QLabel *titleLabel() const;

protected:
    QWidget *loadWindow() override;
    void windowDidLoad() override;

private:
    void reloadTable();
    void endSheet();
    void stopPolling();
    void complete(bool cancelled);

    RunningApplications &m_runningApplications;
    QStringList m_applications;
    QList<RunningApplication> m_appsToClose;
    CompletionBlock m_completionBlock;
    bool m_completed = false;
    std::shared_ptr<RQTimer> m_timer;
    std::unique_ptr<Ui::RQQuitAppsWindowController> m_ui;
};
