#include "windows/LCDStatusViewController.h"

#include "ui_LCDStatusViewController.h"

#include "controls/MWToolbarStatusView.h"
#include "controls/RQProgressIndicator.h"
#include "foundation/RQTimer.h"
#include "windows/LCDStatusPanelAccessible.h"

#include <QEvent>
#include <QLabel>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int slideMilliseconds = 300;
constexpr double dotsInterval = 0.5;

// The interface file names each state view's title after its view: "scanningView" has
// "scanningTitleLabel".
QLabel *titleLabelOf(const QWidget &stateView)
{
    QString name = stateView.objectName();
    name.replace(u"View"_s, u"TitleLabel"_s);
    return stateView.findChild<QLabel *>(name);
}

} // namespace

LCDStatusViewController::LCDStatusViewController(QObject *parent)
    : RQViewController(parent)
{
}

LCDStatusViewController::~LCDStatusViewController()
{
    // The timer keeps itself alive while it runs; its block must not outlive this controller.
    if (m_scanningTimer)
        m_scanningTimer->invalidate();
}

QWidget *LCDStatusViewController::loadView()
{
    return loadInterfaceForm<MWToolbarStatusView>(m_form);
}

void LCDStatusViewController::viewDidLoad()
{
    RQViewController::viewDidLoad();
    LCDStatusPanelAccessible::install();
    Ui::LCDStatusViewController &outlets = form();
    // The dots come and go without moving the title.
    QSizePolicy dotsPolicy = outlets.dotsLabel->sizePolicy();
    dotsPolicy.setRetainSizeWhenHidden(true);
    outlets.dotsLabel->setSizePolicy(dotsPolicy);
    outlets.dotsLabel->hide();
    for (QWidget *stateView : {outlets.availableSpaceView, outlets.scanningView,
                               outlets.cleaningView, outlets.finishedView,
                               outlets.noDuplicatesView, outlets.selectView, outlets.congratsView})
        stateView->hide();

    // Children of the container: a panel destroyed mid-slide takes its slide with it.
    m_transition = new QParallelAnimationGroup(outlets.animationContainer);
    m_incomingSlide = new QPropertyAnimation(m_transition);
    m_outgoingSlide = new QPropertyAnimation(m_transition);
    for (QPropertyAnimation *part : {m_incomingSlide, m_outgoingSlide}) {
        part->setPropertyName("pos");
        part->setDuration(slideMilliseconds);
        m_transition->addAnimation(part);
    }
    connect(m_transition, &QAbstractAnimation::finished, this,
            &LCDStatusViewController::didFinishSlide);
    outlets.animationContainer->installEventFilter(this);

    showAvailableSpaceView();
    setProgress(0.0);
}

void LCDStatusViewController::setCurrentViewAnimated(QWidget *view, bool animated)
{
    if (view == m_currentView)
        return;
    if (m_transition->state() == QAbstractAnimation::Running)
        m_transition->setCurrentTime(m_transition->totalDuration());
    QWidget *replaced = m_currentView;
    m_currentView = view;
    fitCurrentView();
    if (replaced && animated) {
        slide(view, replaced);
    } else {
        if (replaced)
            replaced->hide();
        view->show();
    }
    if (replaced == form().scanningView)
        stopScanningTimer();
    LCDStatusPanelAccessible::setTitleLabel(*this->view(), titleLabelOf(*view));
}

void LCDStatusViewController::slide(QWidget *incoming, QWidget *outgoing)
{
    const int height = form().animationContainer->height();
    m_outgoingView = outgoing;
    m_incomingSlide->setTargetObject(incoming);
    m_incomingSlide->setStartValue(QPoint(0, height));
    m_incomingSlide->setEndValue(QPoint(0, 0));
    m_outgoingSlide->setTargetObject(outgoing);
    m_outgoingSlide->setStartValue(QPoint(0, 0));
    m_outgoingSlide->setEndValue(QPoint(0, -height));
    incoming->move(0, height);
    incoming->show();
    m_transition->start();
}

void LCDStatusViewController::didFinishSlide()
{
    if (!m_outgoingView)
        return;
    m_outgoingView->hide();
    m_outgoingView->move(0, 0);
    m_outgoingView = nullptr;
}

void LCDStatusViewController::fitCurrentView()
{
    if (m_currentView)
        m_currentView->setGeometry(form().animationContainer->rect());
}

bool LCDStatusViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == form().animationContainer) {
        if (m_transition->state() == QAbstractAnimation::Running)
            m_transition->setCurrentTime(m_transition->totalDuration());
        fitCurrentView();
    }
    return RQViewController::eventFilter(watched, event);
}

void LCDStatusViewController::showAvailableSpaceView()
{
    setCurrentView(availableSpaceView());
}

void LCDStatusViewController::showScanningView()
{
    stopScanningTimer();
    scanningTitleLabel()->setText(u"Scanning"_s);
    setCurrentView(scanningView());
    toggleScanningTimer();
}

void LCDStatusViewController::showCleaningView()
{
    setCurrentView(cleaningView());
}

void LCDStatusViewController::showFinishedView()
{
    setCurrentView(finishedView());
}

void LCDStatusViewController::showSelectView()
{
    setCurrentView(selectView());
}

void LCDStatusViewController::showCongratsView()
{
    setCurrentView(congratsView());
}

void LCDStatusViewController::showNoDuplicatesView()
{
    setCurrentView(noDuplicatesView());
}

void LCDStatusViewController::stopScanningTimer()
{
    if (!m_scanningTimer)
        return;
    dotsLabel()->hide();
    m_scanningTimer->invalidate();
    m_scanningTimer.reset();
}

void LCDStatusViewController::toggleScanningTimer()
{
    if (m_scanningTimer) {
        stopScanningTimer();
        return;
    }
    dotsLabel()->show();
    m_scanningTimer = RQTimer::timerWithInterval(dotsInterval, true, {},
                                                 [this](RQTimer &) { advanceScanningDots(); });
}

void LCDStatusViewController::advanceScanningDots()
{
    QLabel *dots = dotsLabel();
    const QString text = dots->text();
    dots->setText(text == u"..."_s ? QString() : text + u'.');
}

void LCDStatusViewController::setProgress(double progress)
{
    RQProgressIndicator *bar = progressBar();
    const double shown = bar->progress();
    if (progress != shown || std::isnan(progress) || std::isnan(shown))
        bar->setProgressAnimated(progress, false);
}

Ui::LCDStatusViewController &LCDStatusViewController::form()
{
    view();
    return *m_form;
}

QWidget *LCDStatusViewController::availableSpaceView()
{
    return form().availableSpaceView;
}

QWidget *LCDStatusViewController::scanningView()
{
    return form().scanningView;
}

QWidget *LCDStatusViewController::cleaningView()
{
    return form().cleaningView;
}

QWidget *LCDStatusViewController::finishedView()
{
    return form().finishedView;
}

QWidget *LCDStatusViewController::noDuplicatesView()
{
    return form().noDuplicatesView;
}

QWidget *LCDStatusViewController::selectView()
{
    return form().selectView;
}

QWidget *LCDStatusViewController::congratsView()
{
    return form().congratsView;
}

QLabel *LCDStatusViewController::scanningTitleLabel()
{
    return form().scanningTitleLabel;
}

QLabel *LCDStatusViewController::finishedTitleLabel()
{
    return form().finishedTitleLabel;
}

QLabel *LCDStatusViewController::selectTitleLabel()
{
    return form().selectTitleLabel;
}

QLabel *LCDStatusViewController::dotsLabel()
{
    return form().dotsLabel;
}

RQProgressIndicator *LCDStatusViewController::progressBar()
{
    return form().progressBar;
}
