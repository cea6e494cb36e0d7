#include "windows/DuplicatesViewController.h"

#include "controls/HSFileCellView.h"
#include "controls/HSTableCellView.h"
#include "controls/ItemViewReload.h"
#include "controls/ResultsNotifications.h"
#include "controls/RQTouchBarButton.h"
#include "controls/ResultsTableColors.h"
#include "controls/VXCategoryButton.h"
#include "foundation/RQDispatch.h"
#include "foundation/RQMemoryFormatter.h"
#include "foundation/RQTimer.h"
#include "platform/FileTypeInfo.h"
#include "platform/NotificationCenter.h"
#include "platform/gui/AlertSheet.h"
#include "platform/gui/PreviewKeyFilter.h"
#include "platform/gui/PreviewPanel.h"
#include "platform/gui/PreviewView.h"
#include "scanning/RQDuplicateFiles.h"
#include "scanning/RQFile.h"
#include "services/Preferences.h"
#include "windows/DuplicateDetailsModel.h"
#include "windows/DuplicateGroupsProxyModel.h"
#include "windows/LCDStatusViewController.h"
#include "windows/StatThemeDefault.h"
#include "windows/WindowsLogging.h"

#include "ui_DuplicatesViewController.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>

using namespace Qt::StringLiterals;

namespace {

// The category bar's titles, by category number.
const char *const categoryTitles[] = {
    QT_TRANSLATE_NOOP("DuplicatesViewController", "All"),
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Folders"),
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Images"),
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Documents"),
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Movies"),
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Audio"),
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Archives"),
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Applications"),
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Other"),
};

// The sort menu's items by index; the empty one is the separator.
const char *const sortTitles[] = {
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Size"),
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Kind"),
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Name"),
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Number of Copies"),
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Selected Size"),
    "",
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Ascending"),
    QT_TRANSLATE_NOOP("DuplicatesViewController", "Descending"),
};

constexpr qint64 ascendingItem = DuplicateGroupsProxyModel::Ascending;
constexpr qint64 descendingItem = DuplicateGroupsProxyModel::Descending;

QString lastPathComponent(const QString &path)
{
    return FileTypeInfo::displayName(path);
}

} // namespace

DuplicatesViewController::DuplicatesViewController(Groups groups, QStringList rootPaths,
                                                   Preferences &preferences, QObject *parent)
    : RQViewController(parent),
      m_preferences(preferences),
      m_rootPaths(std::move(rootPaths)),
      m_groups(new DuplicateGroupsModel(std::move(groups), this)),
      m_visible(new DuplicateGroupsProxyModel(m_groups, this)),
      m_details(new DuplicateDetailsModel(m_groups, this)),
      m_memoryFormatter(std::make_unique<RQMemoryFormatter>()),
      m_keyFilter(new PreviewKeyFilter(this))
{
    m_visible->setSortOption(m_sortOption);
    m_visible->setSortOrder(m_sortOrder);
    m_visible->refresh();
    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.addObserver(RQDidToggleSelectedNotification, nullptr, this, [this](const Notification &notification) {
        selectionDidChange(static_cast<const RQFile *>(notification.object));
    });
    center.addObserver(RQShowInFinderNotification, nullptr, this, [this](const Notification &notification) {
        showInFinder(notification.userInfo.value(RQShowInFinderFileKey).value<std::shared_ptr<RQFile>>());
    });
    connect(m_keyFilter, &PreviewKeyFilter::previewRequested, this, &DuplicatesViewController::quickLook);
    connect(m_keyFilter, &PreviewKeyFilter::tickRequested, this, &DuplicatesViewController::tickCurrentCopy);
    m_keyFilter->install();
}

DuplicatesViewController::~DuplicatesViewController()
{
    if (m_calculationDelayTimer)
        m_calculationDelayTimer->invalidate();
}

QWidget *DuplicatesViewController::loadView()
{
    return loadForm(m_form);
}

void DuplicatesViewController::viewDidLoad()
{
    m_keyFilter->addWindow(view());
    // The path and size labels under the pane name the copy; the pane shows it only.
    m_form->previewView->setShowsNameAndSize(false);
    updateSortMenu();
    hideEmptyCategories();
    m_form->detailBackgroundView->setBackgroundColor(StatThemeDefault().backgroundColor());
    m_form->topDetailBackgroundView->setBackgroundColor(vx_duplicateBackgroundColor());
    buildMenu();
    connectTables();
    limitSplitViews();
    buildTouchBarView();
    m_form->categoryContainer->setFixedHeight(36);

    auto *segments = new QButtonGroup(this);
    segments->addButton(m_form->selectNoneButton, 0);
    segments->addButton(m_form->keepOldestButton, 1);
    segments->addButton(m_form->keepNewestButton, 2);
    connect(segments, &QButtonGroup::idClicked, this, &DuplicatesViewController::didClickSelectButton);
    connect(m_form->selectAllButton, &QAbstractButton::clicked, this, &DuplicatesViewController::selectAll);
    connect(m_form->deselectAllButton, &QAbstractButton::clicked, this, &DuplicatesViewController::deselectAll);
    connect(m_form->autoselectButton, &QAbstractButton::clicked, this, [this] {
        m_autoselectMenu->popup(m_form->autoselectButton->mapToGlobal(QPoint(0, m_form->autoselectButton->height())));
    });
    connect(m_form->searchField, &QLineEdit::textChanged, this, &DuplicatesViewController::controlTextDidChange);
    chainTabOrder();
}

void DuplicatesViewController::chainTabOrder()
{
    // The category buttons are made after the form, so the chain is set here, left to right
    // and top to bottom; Tab leaves the tables rather than moving between their cells.
    QList<QWidget *> chain;
    for (QAbstractButton *category : m_categoryButtons->buttons())
        chain.append(category);
    chain += {m_form->sortDropdown, m_form->searchField, m_form->filesTableView, m_form->detailsTableView,
              m_form->selectNoneButton, m_form->keepOldestButton, m_form->keepNewestButton,
              m_form->selectAllButton, m_form->deselectAllButton, m_form->autoselectButton};
    m_form->filesTableView->setTabKeyNavigation(false);
    m_form->detailsTableView->setTabKeyNavigation(false);
    for (qsizetype index = 1; index < chain.size(); ++index)
        QWidget::setTabOrder(chain[index - 1], chain[index]);
}

void DuplicatesViewController::limitSplitViews()
{
    // The groups keep their width as the window resizes; their divider stays between
    // minimumGroupsWidth and maximumGroupsWidth.
    QSplitter *outer = m_form->splitView;
    outer->setStretchFactor(0, 0);
    outer->setStretchFactor(1, 1);
    m_form->groupsPane->setMinimumWidth(minimumGroupsWidth);
    m_form->groupsPane->setMaximumWidth(maximumGroupsWidth);
    outer->setSizes({300, 600});
    // The preview pane's divider stops previewReserve short of the split's full height.
    QSplitter *inner = m_form->detailSplitView;
    m_form->detailBackgroundView->setMinimumHeight(previewReserve - inner->handleWidth());
    inner->setSizes({360, 200});
}

void DuplicatesViewController::buildTouchBarView()
{
    m_touchBarView = std::make_unique<QWidget>();
    m_touchBarView->setObjectName(u"touchBarView"_s);
    m_touchBarView->setAutoFillBackground(true);
    QPalette palette = m_touchBarView->palette();
    palette.setColor(QPalette::Window, QColor(0x1c, 0x1f, 0x24));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Button, QColor(0x3a, 0x3f, 0x46));
    m_touchBarView->setPalette(palette);
    auto *layout = new QHBoxLayout(m_touchBarView.get());
    const auto addButton = [&](std::unique_ptr<RQTouchBarButtonCell> cell, const QString &title) {
        auto *button = new RQTouchBarButton(std::move(cell), m_touchBarView.get());
        button->setText(title);
        button->setAccessibleName(title);
        layout->addWidget(button);
        return button;
    };
    connect(addButton(std::make_unique<RQNormalTouchBarButtonCell>(), tr("Select All")), &QAbstractButton::clicked,
            this, &DuplicatesViewController::selectAll);
    connect(addButton(std::make_unique<RQNormalTouchBarButtonCell>(), tr("Deselect All")), &QAbstractButton::clicked,
            this, &DuplicatesViewController::deselectAll);
    layout->addStretch();
    m_touchBarViewNextButton = addButton(std::make_unique<RQBlueTouchBarButtonCell>(), tr("Next"));
    m_touchBarViewNextButton->setEnabled(false);
    connect(m_touchBarViewNextButton, &QAbstractButton::clicked, this, [this] {
        if (m_touchBarNextButton)
            m_touchBarNextButton->click();
    });
    setTouchBarView(m_touchBarView.get());
}

void DuplicatesViewController::hideEmptyCategories()
{
    m_categoryButtons = new QButtonGroup(this);
    m_categoryButtons->setExclusive(true);
    auto *layout = m_form->categoryContainer->layout();
    static_cast<QHBoxLayout *>(layout)->addStretch();
    for (qint64 category = 0; category < DuplicateGroupsModel::categoryCount; ++category) {
        if (category != 0 && m_groups->totalForCategory(category) == 0)
            continue;
        auto *button = new VXCategoryButton(m_form->categoryContainer);
        button->setText(tr(categoryTitles[category]));
        button->setAccessibleName(button->text());
        button->setRepresentedCategory(category);
        button->setChecked(category == 0);
        m_categoryButtons->addButton(button, int(category));
        layout->addWidget(button);
    }
    static_cast<QHBoxLayout *>(layout)->addStretch();
    m_form->categoryContainer->setAutoFillBackground(true);
    QPalette palette = m_form->categoryContainer->palette();
    palette.setColor(QPalette::Window, QColor(0x4a, 0x55, 0x63));
    m_form->categoryContainer->setPalette(palette);
    // All groups and a single category say the same: no bar.
    if (m_categoryButtons->buttons().size() == 2)
        m_form->categoryContainer->hide();
    connect(m_categoryButtons, &QButtonGroup::idClicked, this,
            [this](int id) { didChangeCategory(static_cast<VXCategoryButton *>(m_categoryButtons->button(id))->representedCategory()); });
}

void DuplicatesViewController::buildSortMenu()
{
    m_sortMenu = new QMenu(m_form->sortDropdown);
    for (qint64 index = 0; index < qint64(std::size(sortTitles)); ++index) {
        QAction *item = index == 5 ? m_sortMenu->addSeparator() : m_sortMenu->addAction(tr(sortTitles[index]));
        item->setCheckable(index != 5);
        m_sortItems.append(item);
        connect(item, &QAction::triggered, this, [this, index] { didChangeSort(index); });
    }
    m_form->sortDropdown->setMenu(m_sortMenu);
    m_form->sortDropdown->setPopupMode(QToolButton::InstantPopup);
}

void DuplicatesViewController::updateSortMenu()
{
    if (!m_sortMenu)
        buildSortMenu();
    for (qint64 index = 0; index < m_sortItems.size(); ++index) {
        if (index != 5)
            m_sortItems[index]->setChecked(index == m_sortOption || index == m_sortOrder);
    }
    const qint64 shown = m_sortOption >= 0 && m_sortOption < 5 ? m_sortOption : 0;
    m_form->sortDropdown->setText(m_sortItems[shown]->text());
}

void DuplicatesViewController::buildMenu()
{
    m_autoselectMenu = new QMenu(m_form->autoselectButton);
    m_autoselectMenu->clear();
    for (qint64 tag : {0, 1}) {
        QAction *item = m_autoselectMenu->addAction(tag == 0 ? tr("Keep Oldest Duplicates") : tr("Keep Newest Duplicates"));
        connect(item, &QAction::triggered, this, [this, tag] { autoSelectWithOption(tag); });
    }
    if (m_rootPaths.size() <= 1)
        return;
    m_autoselectMenu->addSeparator();
    for (const QString &root : std::as_const(m_rootPaths)) {
        QAction *item = m_autoselectMenu->addAction(tr("Keep all from '%1'").arg(lastPathComponent(root)));
        item->setData(root);
        connect(item, &QAction::triggered, this, [this, root] { autoselectWithRootPath(root); });
    }
}

void DuplicatesViewController::connectTables()
{
    VXTableView *groupsTable = m_form->filesTableView;
    groupsTable->setModel(m_visible);
    groupsTable->setItemDelegate(new HSTableCellView(groupsTable));
    groupsTable->horizontalHeader()->hide();
    groupsTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    groupsTable->verticalHeader()->setDefaultSectionSize(HSTableCellView::rowHeight);
    groupsTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(groupsTable->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_refreshing)
            didSelectFilesAtRows(chosenGroupRows());
    });
    connect(groupsTable, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { showGroupInFinder(index.row()); });

    VXTableView *detailsTable = m_form->detailsTableView;
    detailsTable->setModel(m_details);
    detailsTable->setItemDelegateForColumn(DuplicateDetailsModel::TickColumn,
                                           new HSFileCellView(HSFileCellView::CheckBox, detailsTable));
    detailsTable->setItemDelegateForColumn(DuplicateDetailsModel::FileColumn,
                                           new HSFileCellView(HSFileCellView::Texts | HSFileCellView::RevealButton, detailsTable));
    detailsTable->setSelectionMode(QAbstractItemView::SingleSelection);
    detailsTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    detailsTable->verticalHeader()->setDefaultSectionSize(HSFileCellView::rowHeight);
    detailsTable->horizontalHeader()->setSectionResizeMode(DuplicateDetailsModel::TickColumn, QHeaderView::Fixed);
    detailsTable->setColumnWidth(DuplicateDetailsModel::TickColumn, 32);
    detailsTable->horizontalHeader()->setSectionsClickable(true);
    connect(detailsTable->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &DuplicatesViewController::didClickDetailsHeader);
    connect(detailsTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &DuplicatesViewController::didChooseCopy);
    connect(detailsTable, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        showInFinder(m_details->fileAt(index.row()));
    });
}

void DuplicatesViewController::rq_viewWillAppear()
{
    RQViewController::rq_viewWillAppear();
    qint64 copies = 0;
    for (const auto &group : m_groups->groups())
        copies += group->count() - 1;
    if (m_statusLabel) {
        m_statusLabel->setText(copies == 1 ? tr("%1 duplicate found").arg(copies) : tr("%1 duplicates found").arg(copies));
        m_statusLabel->show();
    }
}

void DuplicatesViewController::rq_viewDidAppear()
{
    RQViewController::rq_viewDidAppear();
    const QPointer<DuplicatesViewController> self(this);
    RQDispatchAfterMain([self] {
        if (self)
            self->firstRowSetUp();
    }, 0.2);
}

void DuplicatesViewController::firstRowSetUp()
{
    view();
    if (m_visible->rowCount() == 0) {
        // Nothing is visible (a search left nothing): nothing to choose.
        m_form->filesTableView->clearSelection();
        clearDetails();
    } else {
        m_form->filesTableView->selectRow(0);
        didSelectFilesAtRows({0});
    }
    view()->setFocus();
    updateBottomToolbar();
}

void DuplicatesViewController::didChangeCategory(qint64 category)
{
    view();
    m_visible->setCategory(category);
    refreshDuplicatesArray();
    if (m_visible->rowCount() > 0) {
        m_form->filesTableView->selectRow(0);
        didSelectFilesAtRows({0});
    } else {
        clearDetails();
    }
}

void DuplicatesViewController::didChangeSort(qint64 item)
{
    view();
    if (item == ascendingItem || item == descendingItem)
        m_sortOrder = item;
    else
        m_sortOption = item;
    updateSortMenu();
    m_visible->setSortOption(m_sortOption);
    m_visible->setSortOrder(m_sortOrder);
    refreshDuplicatesArray();
}

void DuplicatesViewController::controlTextDidChange(const QString &text)
{
    view();
    m_visible->setSearchText(text);
    refreshDuplicatesArray();
}

void DuplicatesViewController::refreshDuplicatesArray()
{
    // The proxy keeps chosen groups by identity; a chosen group the filter hides leaves the
    // choice, and the copies shown follow what is still chosen.
    m_refreshing = true;
    m_visible->refresh();
    m_refreshing = false;
    rebuildDetailsFromChosenGroups();
    scrollToChosenGroups();
}

void DuplicatesViewController::scrollToChosenGroups()
{
    // A new order can carry the chosen groups out of sight, and a list with no chosen row in
    // view beside the copies of one reads as a lost choice.
    const QList<int> chosen = chosenGroupRows();
    if (chosen.isEmpty())
        return;
    const int current = m_form->filesTableView->currentIndex().row();
    const int shown = chosen.contains(current) ? current : chosen.front();
    m_form->filesTableView->scrollTo(m_visible->index(shown, 0));
}

void DuplicatesViewController::rebuildDetailsFromChosenGroups()
{
    QList<int> groupRows;
    for (const int row : chosenGroupRows())
        groupRows.append(m_visible->groupRow(row));
    std::sort(groupRows.begin(), groupRows.end());
    if (groupRows.isEmpty())
        clearDetails();
    else if (groupRows != m_details->groupRows())
        didSelectFilesAtRows(chosenGroupRows());
}

QList<int> DuplicatesViewController::chosenGroupRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_form->filesTableView->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void DuplicatesViewController::clearDetails()
{
    m_details->clear();
    m_form->previewView->clear();
    m_form->pathLabel->setText(QString());
    m_form->sizeLabel->setText(QString());
    if (PreviewPanel *panel = PreviewPanel::existingPanel())
        panel->previewView()->clear();
}

void DuplicatesViewController::didSelectFilesAtRows(QList<int> visibleRows)
{
    view();
    if (visibleRows.isEmpty())
        return;
    QList<int> groupRows;
    for (const int row : std::as_const(visibleRows))
        groupRows.append(m_visible->groupRow(row));
    m_details->setGroupRows(groupRows);
    if (m_details->rowCount() > 0)
        m_form->detailsTableView->selectRow(0);
}

void DuplicatesViewController::didChooseCopy()
{
    const int row = m_form->detailsTableView->currentIndex().row();
    if (row < 0 || row >= m_details->rowCount())
        return;
    const RQFile &file = *m_details->fileAt(row);
    m_form->previewView->setPreviewItem(file.path(), file.fileName(), file.fileSize());
    m_form->pathLabel->setText(lastPathComponent(file.path()));
    m_form->sizeLabel->setText(m_memoryFormatter->stringFromBytes(file.fileSize()));
    if (PreviewPanel *panel = PreviewPanel::existingPanel(); panel && panel->isVisible())
        panel->previewView()->setPreviewItem(file.path(), file.fileName(), file.fileSize());
}

void DuplicatesViewController::didClickDetailsHeader(int column)
{
    bool ascending = true;
    if (column == m_detailSortColumn)
        ascending = !m_detailSortAscending;
    else if (column == DuplicateDetailsModel::FileColumn && m_detailSortColumn < 0)
        ascending = false; // the list already runs oldest first
    m_detailSortColumn = column;
    m_detailSortAscending = ascending;
    const Qt::SortOrder order = ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
    QHeaderView *header = m_form->detailsTableView->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, order);
    m_details->sort(column, order);
}

void DuplicatesViewController::didClickSelectButton(qint64 segment)
{
    if (SelectionRules::applySegment(segment, groupsAt(m_details->groupRows())))
        afterPass();
}

void DuplicatesViewController::selectAll()
{
    askThenRun(m_preferences.suppressSelectAllFilesWarning(),
               tr("Are you sure you want to auto select all visible duplicates?"), tr("Select"),
               &Preferences::setSuppressSelectAllFilesWarning, [this] {
                   SelectionRules::keepOldestOrNewest(visibleGroupList(), m_preferences.autoSelectType() == 0);
                   afterPass();
               });
}

void DuplicatesViewController::deselectAll()
{
    askThenRun(m_preferences.suppressDeselectAllFilesWarning(),
               tr("Are you sure you want to deselect all visible duplicates?"), tr("Deselect"),
               &Preferences::setSuppressDeselectAllFilesWarning, [this] {
                   SelectionRules::untickAll(visibleGroupList());
                   afterPass();
               });
}

void DuplicatesViewController::askThenRun(bool suppressed, const QString &question, const QString &button,
                                          void (Preferences::*setSuppressed)(bool), std::function<void()> pass)
{
    if (suppressed) {
        pass();
        return;
    }
    // The box is stored whatever the answer; the pass runs on the first button only.
    QMessageBox *alert = makeAlert(question, {button, tr("Cancel")}, true);
    showAlert(alert, [this, setSuppressed, pass = std::move(pass)](qint64 code, bool suppress) {
        if (suppress)
            (m_preferences.*setSuppressed)(true);
        if (code == AlertFirstButtonReturn)
            pass();
    });
}

void DuplicatesViewController::autoSelectWithOption(qint64 option)
{
    confirmMenuRule([this, option] {
        SelectionRules::keepOldestOrNewest(visibleGroupList(), option == 0);
        afterPass();
    });
}

void DuplicatesViewController::autoselectWithRootPath(const QString &rootPath)
{
    confirmMenuRule([this, rootPath] {
        SelectionRules::keepAllFromRootPath(visibleGroupList(), rootPath);
        afterPass();
    });
}

void DuplicatesViewController::confirmMenuRule(std::function<void()> pass)
{
    if (m_preferences.suppressSelectAllFilesWarning()) {
        pass();
        return;
    }
    QMessageBox *alert = makeAlert(tr("Are you sure you want to auto select all visible duplicates?"),
                                   {tr("Select"), tr("Cancel")}, true);
    alert->setInformativeText(tr("This will undo any selections you have made."));
    showAlert(alert, [this, pass = std::move(pass)](qint64 code, bool suppress) {
        if (code == AlertSecondButtonReturn)
            return;
        if (suppress)
            m_preferences.setSuppressSelectAllFilesWarning(true);
        pass();
    });
}

void DuplicatesViewController::tickCurrentCopy()
{
    const int row = m_form ? m_form->detailsTableView->currentIndex().row() : -1;
    if (row >= 0 && row < m_details->rowCount())
        m_details->setFileSelected(row, !m_details->fileAt(row)->isSelected());
}

void DuplicatesViewController::afterPass()
{
    m_details->selectionDidChange();
    if (m_form) {
        rq_reloadDataMaintainingSelection(*m_form->filesTableView);
        rq_reloadDataMaintainingSelection(*m_form->detailsTableView);
    }
    updateBottomToolbar();
}

void DuplicatesViewController::selectionDidChange(const RQFile *file)
{
    if (!m_preferences.suppressSelectAllWarning())
        warnUserAboutSelectionIfNeeded(file);
    // A tick made elsewhere (the removal sheet) reaches the badges too.
    m_groups->selectionDidChange();
    updateBottomToolbar();
}

void DuplicatesViewController::warnUserAboutSelectionIfNeeded(const RQFile *file)
{
    // While the removal sheet is open it judges its own list; asking here would untick the
    // sheet's row behind the user's back.
    if (m_finalizeViewOpen || !file || !file->isSelected())
        return;
    const int row = m_details->rowOfFile(file);
    if (row < 0)
        return;
    const auto &group = m_groups->groupAt(m_details->entries()[std::size_t(row)].groupRow);
    if (!SelectionRules::tickLeavesNoCopy(*group))
        return;
    QMessageBox *alert = makeAlert(
        tr("Are you sure you want to select all copies of '%1' (including the original) for removal?").arg(file->fileName()),
        {tr("Select"), tr("Cancel")}, true);
    const std::shared_ptr<RQFile> ticked = m_details->fileAt(row);
    showAlert(alert, [this, ticked](qint64 code, bool suppress) {
        if (suppress)
            m_preferences.setSuppressSelectAllWarning(true);
        if (code == AlertFirstButtonReturn)
            return;
        const int current = m_details->rowOfFile(ticked.get());
        if (current >= 0) {
            m_details->setFileSelectedWithoutNotice(current, false);
        } else {
            ticked->setSelected(false);
            m_groups->selectionDidChange();
        }
        updateBottomToolbar();
    });
}

void DuplicatesViewController::updateBottomToolbar()
{
    if (m_calculationDelayTimer)
        m_calculationDelayTimer->invalidate();
    const QPointer<DuplicatesViewController> self(this);
    m_calculationDelayTimer = RQTimer::timerWithInterval(0.2, false, {}, [self](RQTimer &) {
        if (self)
            self->actuallyUpdateBottomToolbar();
    });
}

void DuplicatesViewController::actuallyUpdateBottomToolbar()
{
    m_selectedTotal = SelectionRules::selectedTotal(m_groups->groups());
    const bool any = m_selectedTotal > 0;
    for (const QPointer<QAbstractButton> &button :
         {m_nextButton, m_touchBarNextButton, QPointer<QAbstractButton>(m_touchBarViewNextButton)}) {
        if (button)
            button->setEnabled(any);
    }
    if (m_lcdStatusViewController) {
        QLabel *title = m_lcdStatusViewController->selectTitleLabel();
        title->setText(any ? tr("%1 will be made available").arg(m_memoryFormatter->stringFromBytes(m_selectedTotal))
                           : tr("Select files to remove"));
        // Only the main window hands the panel over, so only its results screen is logged.
        logScreen(2, u"select", {{u"status"_s, title->text()}, {u"next"_s, any ? u"enabled"_s : u"disabled"_s}});
    }
    if (m_form) {
        m_form->filesTableView->viewport()->update();
        m_form->detailsTableView->viewport()->update();
    }
}

void DuplicatesViewController::confirmWhollySelectedGroups(Completion completion)
{
    const Groups wholly = SelectionRules::whollySelectedGroups(m_groups->groups());
    if (wholly.empty()) {
        completion(true);
        return;
    }
    QMessageBox *alert = makeAlert(tr("Remove every copy of these groups?"), {tr("Cancel"), tr("Remove Every Copy")}, false);
    alert->setInformativeText(SelectionRules::describeGroups(wholly));
    alert->setEscapeButton(alert->defaultButton());
    showAlert(alert, [completion = std::move(completion)](qint64 code, bool) {
        completion(code == AlertSecondButtonReturn);
    });
}

void DuplicatesViewController::didOpenFinalizeView()
{
    m_finalizeViewOpen = true;
    m_keyFilter->remove();
}

void DuplicatesViewController::didCloseFinalizeView()
{
    m_finalizeViewOpen = false;
    m_keyFilter->install();
}

bool DuplicatesViewController::isKeyMonitorInstalled() const
{
    return m_keyFilter->isInstalled();
}

SelectionRules::Files DuplicatesViewController::selectedFiles() const
{
    return SelectionRules::selectedFiles(m_groups->groups());
}

RemovalHandOff DuplicatesViewController::removalHandOff() const
{
    return SelectionRules::removalHandOff(m_groups->groups(), m_preferences);
}

void DuplicatesViewController::quickLook()
{
    if (PreviewPanel *panel = PreviewPanel::existingPanel(); panel && panel->isVisible()) {
        panel->hide();
        return;
    }
    PreviewPanel *panel = PreviewPanel::sharedPreviewPanel(view());
    m_keyFilter->addWindow(panel);
    panel->setNavigationView(m_form->detailsTableView);
    const int row = m_form->detailsTableView->currentIndex().row();
    if (row >= 0 && row < m_details->rowCount()) {
        const RQFile &file = *m_details->fileAt(row);
        panel->previewView()->setPreviewItem(file.path(), file.fileName(), file.fileSize());
    } else {
        panel->previewView()->clear();
    }
    panel->toggle();
}

void DuplicatesViewController::showInFinder(const std::shared_ptr<RQFile> &file)
{
    if (file)
        m_revealer.revealPaths({file->path()}, view()->window());
}

void DuplicatesViewController::showGroupInFinder(int visibleRow)
{
    if (visibleRow < 0 || visibleRow >= m_visible->rowCount())
        return;
    QStringList paths;
    for (const auto &member : m_groups->groupAt(m_visible->groupRow(visibleRow))->duplicates())
        paths.append(member->path());
    if (paths.size() <= 2 || m_preferences.suppressFinderWarning()) {
        m_revealer.revealPaths(paths, view()->window());
        return;
    }
    QMessageBox *alert = makeAlert(tr("Are you sure you want to show %1 files in the file manager?").arg(paths.size()),
                                   {tr("Show"), tr("Cancel")}, true);
    showAlert(alert, [this, paths](qint64 code, bool suppress) {
        if (suppress)
            m_preferences.setSuppressFinderWarning(true);
        if (code == AlertFirstButtonReturn)
            m_revealer.revealPaths(paths, view()->window());
    });
}

DuplicatesViewController::Groups DuplicatesViewController::visibleGroupList() const
{
    Groups visible;
    visible.reserve(std::size_t(m_visible->rowCount()));
    for (int row = 0; row < m_visible->rowCount(); ++row)
        visible.push_back(m_groups->groupAt(m_visible->groupRow(row)));
    return visible;
}

DuplicatesViewController::Groups DuplicatesViewController::groupsAt(const QList<int> &groupRows) const
{
    Groups groups;
    for (const int row : groupRows)
        groups.push_back(m_groups->groupAt(row));
    return groups;
}

QMessageBox *DuplicatesViewController::makeAlert(const QString &text, const QStringList &buttons, bool withSuppression)
{
    auto *alert = new QMessageBox();
    alert->setText(text);
    for (const QString &title : buttons)
        rq_addButtonWithTitle(*alert, title);
    if (withSuppression)
        alert->setCheckBox(new QCheckBox(tr("Do not show this message again")));
    return alert;
}

void DuplicatesViewController::showAlert(QMessageBox *alert, std::function<void(qint64, bool)> answered)
{
    const QPointer<QMessageBox> guarded(alert);
    const QPointer<DuplicatesViewController> self(this);
    rq_beginSheetModalForWindow(alert, view()->window(), [self, guarded, answered = std::move(answered)](qint64 code) {
        if (!self)
            return;
        const bool suppress = guarded && guarded->checkBox() && guarded->checkBox()->isChecked();
        answered(code, suppress);
    });
    logScreen(2, u"alert", {{u"message"_s, alert->text()}});
}
