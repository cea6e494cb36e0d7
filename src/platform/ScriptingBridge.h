#pragma once

#include "platform/ScriptingApplication.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

// The system's scripting services: scriptable applications by bundle identifier, launching
// them, the automation-permission service, compiled scripts and bringing this program to
// the front.
//
// This platform has no scriptable applications: every application answers the class name
// "ScriptingApplication" (not scriptable), none is launched by bundle identifier, there is no
// permission service and no script can run. Tests put a bridge of their own in with setCurrent. Calls block until the service or
// the application answers; the removal queue makes them.
class ScriptingBridge
{
public:
    // The event class and identifier that stand for any event.
    static constexpr quint32 typeWildCard = 0x2A2A2A2A;

    ScriptingBridge() = default;
    virtual ~ScriptingBridge() = default;
    ScriptingBridge(const ScriptingBridge &) = delete;
    ScriptingBridge &operator=(const ScriptingBridge &) = delete;

    // The bridge in use: the system's unless a test has set its own.
    static ScriptingBridge &current();
    // The bridge must outlive its use; null puts the system's back. Not thread-safe: set it
    // while no removal runs.
    static void setCurrent(ScriptingBridge *bridge);

    // Never null.
    virtual std::shared_ptr<ScriptingApplication>
    applicationWithBundleIdentifier(const QString &bundleIdentifier) = 0;

    // No value when the system has no automation-permission service; otherwise its status,
    // 0 when this program may send such events to the application. With askUserIfNeeded the
    // service may show a prompt, and the call waits for the user.
    virtual std::optional<qint32> determinePermissionToAutomateTarget(
        const QString &bundleIdentifier, quint32 eventClass, quint32 eventID,
        bool askUserIfNeeded) = 0;

    // Runs a compiled script and answers its result as text; no value when the script cannot
    // run, fails or gives nothing.
    virtual std::optional<QString> executeScript(const QByteArray &script) = 0;

    // Starts the application without showing it, when it is installed; the outcome is not
    // reported (a missing application shows in its scripting object instead).
    virtual void launchApplicationHidden(const QString &bundleIdentifier) = 0;

    // Brings this program to the front, even over the application it just scripted.
    virtual void activateIgnoringOtherApps() = 0;
};
