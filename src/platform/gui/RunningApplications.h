#pragma once

#include <QIcon>
#include <QList>
#include <QString>

// An application that runs now, as the desktop lists it.
struct RunningApplication
{
    QString bundleIdentifier;
    QString localizedName;
    QIcon icon;
    // Tells two instances of one application apart.
    qint64 processIdentifier = 0;
};

// The running applications of the desktop, and bringing one forward. Linux keeps no list of
// running applications by their identifiers, so the system's layer lists none; tests stand in
// their own.
class RunningApplications
{
public:
    RunningApplications() = default;
    virtual ~RunningApplications() = default;
    RunningApplications(const RunningApplications &) = delete;
    RunningApplications &operator=(const RunningApplications &) = delete;

    static RunningApplications &system();

    // In the order the desktop gives them.
    virtual QList<RunningApplication> runningApplications() const { return {}; }
    // Brings all the application's windows forward; false when it cannot.
    virtual bool activate(const RunningApplication &application)
    {
        static_cast<void>(application);
        return false;
    }
};
