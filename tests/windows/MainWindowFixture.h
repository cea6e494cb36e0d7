#pragma once

#include "platform/PowerInhibitor.h"
#include "platform/UserDefaults.h"
#include "platform/gui/RunningApplications.h"
#include "platform/gui/UserNotifications.h"
#include "services/Preferences.h"
#include "services/RNSInsomniacHelper.h"
#include "windows/LCDStatusViewController.h"
#include "windows/MainWindowController.h"
#include "windows/RQTouchBarController.h"

#include "TouchBarFixture.h"
#include "support/EventLoop.h"
#include "support/TemporaryFolder.h"
#include "ui_MainWindowController.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace mainwindow {

using namespace Qt::StringLiterals;

// The power service, which needs the system bus: every lock is a real descriptor, so the
// helper holds and releases it as it would a service's.
class FakeInhibitor final : public PowerInhibitor
{
public:
    InhibitorLock inhibit(const QString &, const QString &) override
    {
        return InhibitorLock(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    }
};

// The desktop's notification service, which needs a session bus with one on it.
class FakeNotifications final : public UserNotifications
{
public:
    bool isAvailable() const override { return true; }
    void deliver(const QString &title, const QString &informativeText) override
    {
        delivered.push_back(title + u" / "_s + informativeText);
    }
    std::vector<QString> delivered;
};

// Linux lists no running applications by identifier; the Photos application is made up.
class FakeRunningApplications final : public RunningApplications
{
public:
    QList<RunningApplication> runningApplications() const override { return running; }
    void launchPhotos() { running.append({u"com.apple.Photos"_s, u"Photos"_s, QIcon(), 77}); }
    void quitAll() { running.clear(); }
    QList<RunningApplication> running;
};

// The main window over its own settings, power service, notifications and applications, in
// a temporary folder where the tests make the trees they scan; the touch bar is on so that
// its views can be followed.
class MainWindowFixture : public TouchBarFixture
{
protected:
    void SetUp() override
    {
        TouchBarFixture::SetUp();
        // The trees the tests make hold small files.
        m_preferences.setMinFileSize(0);
        makeWindow();
    }

    void TearDown() override
    {
        closeAlerts();
        m_controller.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        TouchBarFixture::TearDown();
    }

    void makeWindow()
    {
        m_controller.reset();
        m_controller = std::make_unique<MainWindowController>();
        m_controller->setPreferences(m_preferences);
        m_controller->setUserDefaults(m_defaults);
        m_controller->setInsomniacHelper(m_insomniac);
        m_controller->setRunningApplications(m_applications);
        m_controller->setUserNotifications(m_notifications);
        m_controller->setActiveProbe([this] { return m_active; });
        m_controller->setTerminateHandler([this] { ++m_terminations; });
        m_controller->showWindow();
    }

    MainWindowController &controller() { return *m_controller; }
    Ui::MainWindowController &form() { return *m_controller->form(); }
    QMainWindow &window() { return *m_controller->mainWindow(); }

    // Two folders that hold one pair of equal files, and one that holds only different ones.
    QString treeWithDuplicates()
    {
        m_folder.writeFile(u"dups/a/photo.jpg"_s, "the same bytes");
        m_folder.writeFile(u"dups/b/photo copy.jpg"_s, "the same bytes");
        m_folder.writeFile(u"dups/b/other.txt"_s, "something else");
        return m_folder.filePath(u"dups"_s);
    }
    QString treeWithoutDuplicates()
    {
        m_folder.writeFile(u"unique/one.txt"_s, "one");
        m_folder.writeFile(u"unique/two.txt"_s, "two two");
        return m_folder.filePath(u"unique"_s);
    }

    // Chooses the folders as the chooser would.
    void choose(const QStringList &paths) { form().contentView->chooserDidEnd(paths); }

    // Chooses the folders, presses Start and waits for the scan to end.
    void scan(const QStringList &paths)
    {
        choose(paths);
        QTest::mouseClick(form().startButton, Qt::LeftButton);
        ASSERT_TRUE(controller().isScanning());
        ASSERT_TRUE(processEventsUntil([this] { return !controller().isScanning(); }));
    }

    // Ends the fade of the screen and the change of the window's size where they are running.
    void finishTransitions()
    {
        if (QAbstractAnimation *fade = controller().screenTransition())
            fade->setCurrentTime(fade->totalDuration());
        if (QAbstractAnimation *slide = controller().lcdStatusViewController()->transition();
            slide && slide->state() == QAbstractAnimation::Running)
            slide->setCurrentTime(slide->totalDuration());
        if (auto *resize = window().findChild<QPropertyAnimation *>(u"rq_contentSizeAnimation"_s,
                                                                     Qt::FindDirectChildrenOnly))
            resize->setCurrentTime(resize->totalDuration());
    }

    static QMessageBox *shownAlert()
    {
        for (QWidget *widget : QApplication::topLevelWidgets() + QApplication::allWidgets()) {
            auto *alert = qobject_cast<QMessageBox *>(widget);
            if (alert && alert->isVisible())
                return alert;
        }
        return nullptr;
    }
    static QMessageBox *waitForAlert()
    {
        processEventsUntil([] { return shownAlert() != nullptr; }, 3000);
        return shownAlert();
    }
    static void press(QMessageBox &alert, const QString &title)
    {
        for (QAbstractButton *button : alert.buttons()) {
            if (button->text() == title) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        ADD_FAILURE() << "no button " << title.toStdString();
    }
    static void closeAlerts()
    {
        while (QMessageBox *alert = shownAlert())
            alert->done(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TemporaryFolder m_folder;
    UserDefaults m_defaults{m_folder.filePath(u"defaults.ini"_s)};
    Preferences m_preferences{m_defaults, u":/plists/DefaultIgnoredExtensions.plist"_s,
                              u":/plists/IgnoreList.plist"_s};
    RNSInsomniacHelper m_insomniac{std::make_unique<FakeInhibitor>()};
    FakeRunningApplications m_applications;
    FakeNotifications m_notifications;
    bool m_active = true;
    int m_terminations = 0;
    std::unique_ptr<MainWindowController> m_controller;
};

} // namespace mainwindow
