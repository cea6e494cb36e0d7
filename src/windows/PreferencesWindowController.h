#pragma once

#include "controls/RQDeleteTableViewDelegate.h"
#include "windows/RQWindowController.h"

#include <QPointer>

#include <memory>

class IgnoredFoldersModel;
class Preferences;
class RQAboutViewController;
class RQiPhotoLibrary;

namespace Ui {
class PreferencesWindowController;
}

// The Preferences window: a toolbar with the panes General and About; in General a control
// for every user setting, each written the moment it changes (there is no OK or Apply). The
// controls show the settings as they were when the window was built. Folders dropped on the
// ignored-folders table are taken only when every one is a folder not listed yet (a package
// only when it is a known iPhoto library). Main thread only.
class PreferencesWindowController final : public RQWindowController,
                                          public RQDeleteTableViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PreferencesWindowController)

public:
    // The settings must outlive the controller.
    explicit PreferencesWindowController(Preferences &preferences, QObject *parent = nullptr);
    ~PreferencesWindowController() override;

    // Shows the window, built on first use, and brings it to the front; the same window on
    // every call.
    void showWindow();

    // The panes. From the toolbar the change is animated; openAbout from elsewhere (the menu)
    // selects the About item itself and changes at once.
    void openGeneral();
    void openAbout();
    QWidget *currentView() const { return m_currentView; }
    // Made on the first visit to About; null before.
    RQAboutViewController *aboutViewController() const { return m_aboutViewController; }

    // Adds the paths not listed yet, in their order, to the ignored folders.
    void addFilePaths(const QStringList &paths);
    // Whether a dropped item may join the ignored folders: a folder, or a package that the
    // iPhoto library list knows, that is not listed yet.
    bool shouldAcceptFileWithURL(const QString &path) const;
    // Removes the selected folders; nothing without a selection.
    void removeFolder();
    void tableViewDeleteFromKeyboard(RQDeleteTableView &tableView) override;

    // The iPhoto library list the drop rule asks; not owned. Without one, a list shared by
    // every controller is read the first time a package is judged.
    void setiPhotoLibrary(const RQiPhotoLibrary *library) { m_iPhotoLibrary = library; }

    // Outlets, once the window is built.
    const Ui::PreferencesWindowController &ui() const { return *m_ui; }
    IgnoredFoldersModel &ignoredFoldersModel() const { return *m_ignoredFolders; }

protected:
    QWidget *loadWindow() override;
    void windowDidLoad() override;

private:
    void connectControls();
    void updateUI();
    void updateFileSizeValue();
    void didChangeMemoryType(int unit);
    void didChangeIgnoredExtensions(const QString &text);
    void addFolder();
    void setCurrentView(QWidget *view, bool animated);
    void fadeIn(QWidget &view);
    QSize windowSizeFor(const QWidget &view) const;
    const RQiPhotoLibrary &iPhotoLibrary() const;

    Preferences &m_preferences;
    std::unique_ptr<Ui::PreferencesWindowController> m_ui;
    IgnoredFoldersModel *m_ignoredFolders = nullptr;
    QPointer<QWidget> m_currentView;
    RQAboutViewController *m_aboutViewController = nullptr;
    const RQiPhotoLibrary *m_iPhotoLibrary = nullptr;
};
