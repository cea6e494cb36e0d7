#include "platform/ScriptingBridge.h"

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

class UnscriptableApplication final : public ScriptingApplication
{
public:
    QString className() const override { return u"ScriptingApplication"_s; }
    bool respondsToSelector(const QString &) const override { return false; }
    QString id() const override { return {}; }
    bool isRunning() const override { return false; }
    void activate() override {}
};

class SystemScriptingBridge final : public ScriptingBridge
{
public:
    std::shared_ptr<ScriptingApplication> applicationWithBundleIdentifier(const QString &) override
    {
        return std::make_shared<UnscriptableApplication>();
    }

    std::optional<qint32> determinePermissionToAutomateTarget(const QString &, quint32, quint32,
                                                              bool) override
    {
        return std::nullopt;
    }

    std::optional<QString> executeScript(const QByteArray &) override { return std::nullopt; }

    void launchApplicationHidden(const QString &) override {}

    // Nothing was scripted, so nothing took the front.
    void activateIgnoringOtherApps() override {}
};

SystemScriptingBridge &systemBridge()
{
    static SystemScriptingBridge bridge;
    return bridge;
}

std::atomic<ScriptingBridge *> currentBridge = nullptr;

} // namespace

ScriptingBridge &ScriptingBridge::current()
{
    ScriptingBridge *bridge = currentBridge.load();
    return bridge ? *bridge : systemBridge();
}

void ScriptingBridge::setCurrent(ScriptingBridge *bridge)
{
    currentBridge.store(bridge);
}
