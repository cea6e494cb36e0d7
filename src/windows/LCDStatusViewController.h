#pragma once

#include "windows/RQViewController.h"

#include <QPointer>

#include <memory>

class QLabel;
class QParallelAnimationGroup;
class QPropertyAnimation;
class RQProgressIndicator;
class RQTimer;
namespace Ui {
class LCDStatusViewController;
}

// The status display in the main window's toolbar: one state view at a time, the next one
// sliding up from below in 0.3 s; while scanning, dots that move after the title and the
// scan's progress bar. The panel's accessible name is the title of the state view shown.
// Main thread only.
class LCDStatusViewController final : public RQViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LCDStatusViewController)

public:
    explicit LCDStatusViewController(QObject *parent = nullptr);
    ~LCDStatusViewController() override;

    void setCurrentView(QWidget *view) { setCurrentViewAnimated(view, true); }
    // Switching to the view already shown does nothing; a switch during a slide first ends
    // the slide.
    void setCurrentViewAnimated(QWidget *view, bool animated);
    QWidget *currentView() const { return m_currentView; }

    void showAvailableSpaceView();
    // Titles the view "Scanning" and starts the dots afresh.
    void showScanningView();
    void showCleaningView();
    void showFinishedView();
    void showSelectView();
    void showCongratsView();
    void showNoDuplicatesView();

    void stopScanningTimer();
    // Stops running dots, or starts them.
    void toggleScanningTimer();
    // The dots timer's block: "..." becomes "", any other text gets one more ".".
    void advanceScanningDots();
    const std::shared_ptr<RQTimer> &scanningTimer() const { return m_scanningTimer; }

    // Sets a value that differs from the bar's, without animation.
    void setProgress(double progress);

    // The interface file's views and the labels that others write; the view is loaded first.
    QWidget *availableSpaceView();
    QWidget *scanningView();
    QWidget *cleaningView();
    QWidget *finishedView();
    QWidget *noDuplicatesView();
    QWidget *selectView();
    QWidget *congratsView();
    QLabel *scanningTitleLabel();
    QLabel *finishedTitleLabel();
    QLabel *selectTitleLabel();
    QLabel *dotsLabel();
    RQProgressIndicator *progressBar();
    // The slide between two state views, for tests that end it with setCurrentTime().
    QParallelAnimationGroup *transition() const { return m_transition; }

protected:
    QWidget *loadView() override;
    void viewDidLoad() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Ui::LCDStatusViewController &form();
    void slide(QWidget *incoming, QWidget *outgoing);
    void didFinishSlide();
    void fitCurrentView();

    std::unique_ptr<Ui::LCDStatusViewController> m_form;
    QPointer<QWidget> m_currentView;
    QPointer<QWidget> m_outgoingView;
    QParallelAnimationGroup *m_transition = nullptr;
    QPropertyAnimation *m_incomingSlide = nullptr;
    QPropertyAnimation *m_outgoingSlide = nullptr;
    std::shared_ptr<RQTimer> m_scanningTimer;
};
