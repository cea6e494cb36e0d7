#include "korrim/RQCore.h"

#include "foundation/ApplicationConstants.h"

RQCore &RQCore::sharedInstance()
{
    static RQCore core;
    return core;
}

RQCore::RQCore()
    : m_openUrl(desktopUrlOpener())
{
}

void RQCore::applicationDidLaunchWithConfig(const RQCConfig &config)
{
    m_calls.append(QStringLiteral("applicationDidLaunchWithConfig"));
    m_launchConfig = config;
    if (m_launchHandler)
        m_launchHandler(config);
}

bool RQCore::canShowMainWindow()
{
    m_calls.append(QStringLiteral("canShowMainWindow"));
    return m_canShowMainWindow;
}

void RQCore::rateApp()
{
    m_calls.append(QStringLiteral("rateApp"));
    m_openUrl(ApplicationConstants::ratingAddress());
}

void RQCore::showWindow()
{
    m_calls.append(QStringLiteral("showWindow"));
    m_openUrl(ApplicationConstants::mailingListAddress());
}

void RQCore::reset()
{
    m_calls.clear();
    m_launchConfig.reset();
    m_canShowMainWindow = true;
    m_openUrl = desktopUrlOpener();
    m_launchHandler = {};
}
