#include "windows/FinishedViewController.h"

#include "controls/MWLinedBackgroundView.h"
#include "controls/MWSpaceLabel.h"
#include "controls/VXView.h"
#include "foundation/ApplicationConstants.h"
#include "korrim/RQCHappinessManager.h"
#include "korrim/RQCore.h"
#include "photolibraries/RQPhotosLibrary.h"
#include "platform/NotificationCenter.h"
#include "platform/gui/UrlOpener.h"
#include "windows/MWPhotosDeleteWindowController.h"
#include "windows/RQTouchBarController.h"

#include "ui_FinishedViewController.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {

const QColor fillColor = QColor::fromHsvF(0, 0, 0.95f);
const QColor borderColor = QColor::fromHsvF(0, 0, 0.80f);

QString encoded(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

} // namespace

std::unique_ptr<FinishedViewController> FinishedViewController::controllerWithTotalFreed(double totalFreed,
                                                                                         qint64 totalDuplicates,
                                                                                         bool hasPhotosDupes)
{
    std::unique_ptr<FinishedViewController> controller(new FinishedViewController);
    controller->m_totalFreed = totalFreed;
    controller->m_totalDuplicates = totalDuplicates;
    controller->m_hasPhotosDupes = hasPhotosDupes;
    return controller;
}

FinishedViewController::~FinishedViewController() = default;

QWidget *FinishedViewController::loadView()
{
    return loadForm(m_ui);
}

QLabel *FinishedViewController::titleLabel() const
{
    return m_ui ? m_ui->titleLabel : nullptr;
}

QString FinishedViewController::titleForCount(qint64 totalDuplicates, const QLocale &locale)
{
    if (totalDuplicates == 0)
        return u"No duplicates were removed."_s;
    const bool one = totalDuplicates == 1;
    return u"%1 %2 %3 been removed!"_s.arg(locale.toString(totalDuplicates),
                                            one ? u"duplicate"_s : u"duplicates"_s, one ? u"has"_s : u"have"_s);
}

void FinishedViewController::viewDidLoad()
{
    RQViewController::viewDidLoad();
    m_ui->backgroundView->setBackgroundImageName(u"background-icons"_s);
    m_ui->backgroundView->setBackgroundColor(fillColor);
    m_ui->linedBackgroundView->setBackgroundColor(Qt::transparent);
    m_ui->containerView->setCornerRadius(4);
    m_ui->containerView->setBorderWidth(1);
    m_ui->containerView->setBorderColor(borderColor);
    m_ui->containerView->setBackgroundColor(fillColor);

    m_memoryFormatter.setMinimumUnit(1);
    m_ui->titleLabel->setText(titleForCount(m_totalDuplicates));
    m_memoryArray = m_memoryFormatter.arrayFromBytes(m_totalDuplicates != 0 ? m_totalFreed : 0);
    m_ui->totalFreedLabel->setSizeUnitAnimated(m_memoryArray.value(0).toFloat(), m_memoryArray.value(1).toString(),
                                               false);
    m_touchBarLabel = std::make_unique<QLabel>(
        u"Marrowick freed %1 from your Mac!"_s.arg(m_memoryFormatter.stringFromBytes(m_totalFreed)));
    setTouchBarView(m_touchBarLabel.get());

    connect(m_ui->rateButton, &QPushButton::clicked, this, &FinishedViewController::rate);
    connect(m_ui->likeButton, &QPushButton::clicked, this, &FinishedViewController::like);
    connect(m_ui->tweetButton, &QPushButton::clicked, this, &FinishedViewController::tweet);
    connect(m_ui->quit, &QPushButton::clicked, this, &FinishedViewController::quit);
    connect(m_ui->scanAgainButton, &QPushButton::clicked, this, &FinishedViewController::scanAgain);
    QTimer::singleShot(500, this, &FinishedViewController::showPhotosHelpIfNeeded);
}

void FinishedViewController::showPhotosHelpIfNeeded()
{
    if (RQPhotosLibrary::sharedInstance().currentLibraryPath().isEmpty() || !m_hasPhotosDupes) {
        closingStep();
        return;
    }
    m_photosDeleteWindowController = MWPhotosDeleteWindowController::controller();
    m_photosDeleteWindowController->setDidCloseBlock([this] {
        QTimer::singleShot(300, this, [this] {
            m_photosDeleteWindowController.reset();
            closingStep();
        });
    });
    m_photosDeleteWindowController->beginSheetInWindow(m_parentWindow);
}

void FinishedViewController::closingStep()
{
    RQTouchBarController::sharedController().setTouchBarViews({touchBarView()});
    // A size that is not a number counts as below.
    if (m_totalFreed >= promptThreshold)
        RQCHappinessManager::sharedInstance().start();
}

void FinishedViewController::rate()
{
    RQCore::sharedInstance().rateApp();
}

QString FinishedViewController::shareMessage(qint64 service) const
{
    const QString size = u"%1 %2"_s.arg(QString::number(m_memoryArray.value(0).toFloat(), 'f', 0),
                                        m_memoryArray.value(1).toString());
    QString message = u"I just cleared %1 using Marrowick for Linux. Check it out here: %2"_s.arg(
        size, ApplicationConstants::productShortAddress().toString());
    if (service == Twitter)
        message += u" #marrowick #rovaquin"_s;
    return message;
}

QUrl FinishedViewController::shareAddress(qint64 service, const QString &message)
{
    QUrlQuery query;
    QUrl address;
    if (service == Twitter) {
        address = ApplicationConstants::tweetPageAddress();
        query.addQueryItem(u"text"_s, encoded(message));
    } else {
        address = ApplicationConstants::feedDialogAddress();
        query.addQueryItem(u"app_id"_s, QString::number(ApplicationConstants::feedDialogApplicationIdentifier));
        query.addQueryItem(u"link"_s, encoded(ApplicationConstants::productShortAddress().toString()));
        query.addQueryItem(u"name"_s, encoded(message));
        query.addQueryItem(u"redirect_uri"_s, encoded(ApplicationConstants::makerAddress().toString()));
    }
    address.setQuery(query);
    return address;
}

void FinishedViewController::share(qint64 service)
{
    desktopUrlOpener()(shareAddress(service, shareMessage(service)));
}

void FinishedViewController::quit()
{
    QCoreApplication::quit();
}

void FinishedViewController::scanAgain()
{
    NotificationCenter::defaultCenter().post(u"ScanAgain"_s);
}
