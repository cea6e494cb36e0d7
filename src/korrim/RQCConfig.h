#pragma once

#include <QString>

// The launch configuration handed to the maker's framework: the application's store
// identifier (decimal text) and whether its welcome window offers a run-at-login button.
class RQCConfig final
{
public:
    RQCConfig() = default;

    QString appStoreID() const { return m_appStoreID; }
    void setAppStoreID(const QString &appStoreID) { m_appStoreID = appStoreID; }
    bool showsRunAtLoginButton() const { return m_showsRunAtLoginButton; }
    void setShowsRunAtLoginButton(bool shows) { m_showsRunAtLoginButton = shows; }

private:
    QString m_appStoreID;
    bool m_showsRunAtLoginButton = true;
};
