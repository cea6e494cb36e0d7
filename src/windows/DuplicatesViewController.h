#pragma once

#include "platform/gui/FileRevealer.h"
#include "windows/DuplicateGroupsModel.h"
#include "windows/LCDStatusViewController.h"
#include "windows/RQViewController.h"
#include "windows/RemovalHandOff.h"
#include "windows/SelectionRules.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class DuplicateDetailsModel;
class DuplicateGroupsProxyModel;
class Preferences;
class PreviewKeyFilter;

class QAction;
class QButtonGroup;
class QItemSelection;

class QMenu;
class QMessageBox;
class RQFile;
class RQMemoryFormatter;
class RQTimer;
namespace Ui {
class DuplicatesViewController;
}

// The results screen: the duplicate groups of a scan in a table that a category, a search
// text and a sort key choose and order, the copies of the chosen groups in a second table
// where the user ticks what goes, a preview of the current copy, and the rules that tick many
// copies at once. It keeps the running total of the ticked bytes, enables the main window's
// Next buttons from it, and hands the ticked files to the removal sheet. Main thread only.
class DuplicatesViewController final : public RQViewController
{
    Q_OBJECT

public:
    using Groups = DuplicateGroupsModel::Groups;
    // Called with true when the removal may go on.
    using Completion = std::function<void(bool proceed)>;

    // Where the divider between the groups and the copies may go.
    static constexpr int minimumGroupsWidth = 230;
    static constexpr int maximumGroupsWidth = 400;
    // How far the preview pane's divider stays from the bottom of its split.
    static constexpr int previewReserve = 100;

    // The groups of a scan, in the scan's order, and the folders that were scanned.
    DuplicatesViewController(Groups groups, QStringList rootPaths, Preferences &preferences,
                             QObject *parent = nullptr);
    ~DuplicatesViewController() override;
    Q_DISABLE_COPY_MOVE(DuplicatesViewController)

    QAbstractButton *touchBarViewNextButton() const { return m_touchBarViewNextButton; }

    // Handed over by the main window when it shows the results; held weakly. The browser
    // writes the status panel's select title and enables both Next buttons from its total.
    void setLcdStatusViewController(LCDStatusViewController *controller) { m_lcdStatusViewController = controller; }
    void setStatusLabel(QLabel *label) { m_statusLabel = label; }
    void setNextButton(QAbstractButton *button) { m_nextButton = button; }
    void setTouchBarNextButton(QAbstractButton *button) { m_touchBarNextButton = button; }
    void setFileRevealer(const FileRevealer &revealer) { m_revealer = revealer; }

    DuplicateGroupsModel *groupsModel() const { return m_groups; }
    DuplicateGroupsProxyModel *visibleGroups() const { return m_visible; }
    DuplicateDetailsModel *detailsModel() const { return m_details; }
    // The outlets of the interface file; null until the view is loaded.
    Ui::DuplicatesViewController *form() const { return m_form.get(); }
    QMenu *autoselectMenu() const { return m_autoselectMenu; }
    QMenu *sortMenu() const { return m_sortMenu; }

    void rq_viewWillAppear() override;
    void rq_viewDidAppear() override;
    // Chooses the first visible group (or nothing when none is visible), gives the screen the
    // focus and totals; run 0.2 s after the screen appears.
    void firstRowSetUp();

    void didChangeCategory(qint64 category);
    // An item index of the sort menu: 0 to 4 a key, 6 ascending, 7 descending.
    void didChangeSort(qint64 item);
    void controlTextDidChange(const QString &text);
    // Visible rows of the groups table; none leaves the copies as they are.
    void didSelectFilesAtRows(QList<int> visibleRows);

    void didClickSelectButton(qint64 segment);
    void selectAll();
    void deselectAll();
    void autoSelectWithOption(qint64 option);
    void autoselectWithRootPath(const QString &rootPath);
    // Ticks or unticks the current row of the copies table, as a click on its box does.
    void tickCurrentCopy();

    // The total is taken once, 0.2 s after the last of a burst of changes.
    void updateBottomToolbar();
    void actuallyUpdateBottomToolbar();
    // The pending total, if any.
    const std::shared_ptr<RQTimer> &calculationDelayTimer() const { return m_calculationDelayTimer; }
    double selectedTotal() const { return m_selectedTotal; }

    // Before the removal sheet opens: when a group (hidden ones too) would lose every copy,
    // asks whether to remove them all; completion(true) only when the user says so or when no
    // group would.
    void confirmWhollySelectedGroups(Completion completion);
    void didOpenFinalizeView();
    void didCloseFinalizeView();
    bool isKeyMonitorInstalled() const;
    SelectionRules::Files selectedFiles() const;
    RemovalHandOff removalHandOff() const;

    // Shows the preview panel, or hides it when it shows.
    void quickLook();
    // Reveals every copy of the visible group, asking first for more than two.
    void showGroupInFinder(int visibleRow);

protected:
    QWidget *loadView() override;
    void viewDidLoad() override;

private:
    void limitSplitViews();
    void buildTouchBarView();
    void chainTabOrder();
    void hideEmptyCategories();
    void buildSortMenu();
    void updateSortMenu();
    void buildMenu();
    void connectTables();
    void refreshDuplicatesArray();
    void rebuildDetailsFromChosenGroups();
    void scrollToChosenGroups();
    QList<int> chosenGroupRows() const;
    void clearDetails();
    void didChooseCopy();
    void didClickDetailsHeader(int column);
    void selectionDidChange(const RQFile *file);
    void warnUserAboutSelectionIfNeeded(const RQFile *file);
    void showInFinder(const std::shared_ptr<RQFile> &file);
    Groups visibleGroupList() const;
    Groups groupsAt(const QList<int> &groupRows) const;
    void afterPass();
    void confirmMenuRule(std::function<void()> pass);
    // Runs the pass at once when suppressed, else after the user says yes to the question.
    void askThenRun(bool suppressed, const QString &question, const QString &button,
                    void (Preferences::*setSuppressed)(bool), std::function<void()> pass);
    QMessageBox *makeAlert(const QString &text, const QStringList &buttons, bool withSuppression);
    void showAlert(QMessageBox *alert, std::function<void(qint64 code, bool suppress)> answered);

    Preferences &m_preferences;
    QStringList m_rootPaths;
    DuplicateGroupsModel *m_groups;
    DuplicateGroupsProxyModel *m_visible;
    DuplicateDetailsModel *m_details;
    std::unique_ptr<Ui::DuplicatesViewController> m_form;
    std::unique_ptr<RQMemoryFormatter> m_memoryFormatter;
    QButtonGroup *m_categoryButtons = nullptr;
    QMenu *m_sortMenu = nullptr;
    QList<QAction *> m_sortItems;
    QMenu *m_autoselectMenu = nullptr;
    PreviewKeyFilter *m_keyFilter;
    FileRevealer m_revealer;
    std::shared_ptr<RQTimer> m_calculationDelayTimer;
    // The screen's own touch bar view: Select All, Deselect All and a Next that acts through
    // the main window's touch bar Next, which this view covers while the screen shows.
    std::unique_ptr<QWidget> m_touchBarView;
    QAbstractButton *m_touchBarViewNextButton = nullptr;
    QPointer<LCDStatusViewController> m_lcdStatusViewController;
    QPointer<QLabel> m_statusLabel;
    QPointer<QAbstractButton> m_nextButton;
    QPointer<QAbstractButton> m_touchBarNextButton;
    qint64 m_sortOption = 0;
    qint64 m_sortOrder = 7;
    int m_detailSortColumn = -1;
    bool m_detailSortAscending = false;
    double m_selectedTotal = 0;
    bool m_finalizeViewOpen = false;
    bool m_refreshing = false;
};
