#pragma once

#include "korrim/RQCConfig.h"
#include "platform/gui/UrlOpener.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Stands in for the maker's framework. It has no windows of its own: every call returns at
// once and touches no network, file or bus; the rating and mailing-list calls open their web
// pages instead. Main thread only.
//
// Tests see what the application asked of it: the calls in order, the launch configuration,
// and a handler that runs inside the launch call, where the framework would open its welcome
// window.
class RQCore final
{
public:
    using LaunchHandler = std::function<void(const RQCConfig &config)>;

    // The same object on every call.
    static RQCore &sharedInstance();

    RQCore(const RQCore &) = delete;
    RQCore &operator=(const RQCore &) = delete;

    void applicationDidLaunchWithConfig(const RQCConfig &config);
    // YES: the application shows its main window at once. NO would leave it hidden until the
    // welcome window closes.
    bool canShowMainWindow();
    // Leads the user to the rating page.
    void rateApp();
    // Shows the mailing-list sign-up (its web page here).
    void showWindow();

    // Seams for tests.
    void setCanShowMainWindow(bool canShow) { m_canShowMainWindow = canShow; }
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }
    void setLaunchHandler(LaunchHandler handler) { m_launchHandler = std::move(handler); }
    // The names of the calls above, in the order they came.
    QStringList calls() const { return m_calls; }
    std::optional<RQCConfig> launchConfig() const { return m_launchConfig; }
    // Forgets the calls and the configuration and puts every seam back as it starts.
    void reset();

private:
    RQCore();

    QStringList m_calls;
    std::optional<RQCConfig> m_launchConfig;
    bool m_canShowMainWindow = true;
    UrlOpener m_openUrl;
    LaunchHandler m_launchHandler;
};
