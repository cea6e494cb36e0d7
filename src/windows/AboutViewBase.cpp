#include "windows/AboutViewBase.h"

#include "foundation/ApplicationConstants.h"

#include <QAbstractButton>
#include <QDate>
#include <QLabel>

AboutViewBase::AboutViewBase(QObject *parent)
    : RQViewController(parent)
    , m_openUrl(desktopUrlOpener())
{
}

void AboutViewBase::viewDidLoad()
{
    RQViewController::viewDidLoad();
    setAppNameAndVersion();
    setCopyright();
    const LinkButtons buttons = linkButtons();
    connect(buttons.faq, &QAbstractButton::clicked, this, &AboutViewBase::faqButtonPressed);
    connect(buttons.fan, &QAbstractButton::clicked, this, &AboutViewBase::fanButtonPressed);
    connect(buttons.twitter, &QAbstractButton::clicked, this, &AboutViewBase::twitterButtonPressed);
    connect(buttons.rovaquin, &QAbstractButton::clicked, this, &AboutViewBase::rovaquinButtonPressed);
}

void AboutViewBase::setCopyright()
{
    QLabel *label = copyrightLabel();
    label->setText(label->text().replace(QStringLiteral("CURRENT_YEAR"), QString::number(year())));
}

qint64 AboutViewBase::year()
{
    return QDate::currentDate().year();
}

void AboutViewBase::openURL(const QUrl &address)
{
    m_openUrl(address);
}

void AboutViewBase::faqButtonPressed()
{
    openURL(ApplicationConstants::supportAddress());
}

void AboutViewBase::fanButtonPressed()
{
    openURL(ApplicationConstants::facebookAddress());
}

void AboutViewBase::twitterButtonPressed()
{
    openURL(ApplicationConstants::twitterAddress());
}

void AboutViewBase::rovaquinButtonPressed()
{
    openURL(ApplicationConstants::makerAddress());
}
