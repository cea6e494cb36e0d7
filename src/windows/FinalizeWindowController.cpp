#include "windows/FinalizeWindowController.h"

#include "controls/AnimationUtilities.h"
#include "controls/KMTouchBarProgressIndicator.h"
#include "controls/ResultsNotifications.h"
#include "controls/WindowContentSize.h"
#include "foundation/ApplicationConstants.h"
#include "photolibraries/RQPhotosLibrary.h"
#include "platform/ApplicationRegistry.h"
#include "removal/KMHSPhotosFileRemover.h"
#include "platform/ScriptingApplication.h"
#include "platform/ScriptingBridge.h"
#include "platform/gui/AlertSheet.h"
#include "platform/gui/FileRevealer.h"
#include "platform/gui/PreviewKeyFilter.h"
#include "platform/gui/PreviewPanel.h"
#include "platform/gui/PreviewView.h"
#include "scanning/RQFile.h"
#include "windows/RQTouchBarController.h"
#include "windows/RemovalListModel.h"
#include "windows/RemovalRowDelegate.h"
#include "windows/SheetDialog.h"
#include "windows/WindowsLogging.h"

#include "ui_FinalizeWindowController.h"

#include <QAbstractAnimation>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int fadeMilliseconds = 200;

// A page's own size: its preferred width (at least the width it asks for), and the height its
// wrapped texts take at that width.
QSize pageSize(const QWidget &page)
{
    QSize size = page.sizeHint().expandedTo(page.minimumSizeHint()).expandedTo(page.minimumSize());
    if (page.hasHeightForWidth())
        size.setHeight(std::max(page.heightForWidth(size.width()), page.minimumSizeHint().height()));
    return size;
}

} // namespace

std::unique_ptr<FinalizeWindowController> FinalizeWindowController::controllerWithSelectedFiles(
    const RemovalHandOff &handOff)
{
    return std::unique_ptr<FinalizeWindowController>(new FinalizeWindowController(handOff));
}

FinalizeWindowController::FinalizeWindowController(const RemovalHandOff &handOff)
    : m_handOff(handOff), m_openUrl(desktopUrlOpener())
{
    m_model = new RemovalListModel(handOff.files, this);
    m_fileRemover.setDelegate(this);
    addNotificationObservers();
    m_keyFilter = new PreviewKeyFilter(this);
    connect(m_keyFilter, &PreviewKeyFilter::previewRequested, this, &FinalizeWindowController::quickLook);
    connect(m_keyFilter, &PreviewKeyFilter::tickRequested, this, &FinalizeWindowController::tickCurrentRow);
    qApp->installEventFilter(this);
}

FinalizeWindowController::~FinalizeWindowController()
{
    qApp->removeEventFilter(this);
    removeNotificationObservers();
    // No message of the remover may reach a controller on its way out.
    m_fileRemover.setDelegate(nullptr);
    if (isWindowLoaded())
        delete window();
}

SheetDialog *FinalizeWindowController::sheet()
{
    return static_cast<SheetDialog *>(window());
}

QWidget *FinalizeWindowController::loadWindow()
{
    return loadForm<SheetDialog>(m_ui);
}

void FinalizeWindowController::windowDidLoad()
{
    makeTouchBarViews();
    setUpList();
    sheet()->setRejectHandler([this] { escapePressed(); });
    connect(m_ui->cleanButton, &QPushButton::clicked, this, &FinalizeWindowController::didClickFinishedButton);
    connect(m_ui->backButton, &QPushButton::clicked, this, &FinalizeWindowController::didClickCancelButton);
    connect(m_ui->photosBackButton, &QPushButton::clicked, this, &FinalizeWindowController::didClickCancelButton);
    connect(m_ui->photosButton, &QPushButton::clicked, this, &FinalizeWindowController::actuallyRemoveFiles);
    connect(m_ui->openPhotosButton, &QPushButton::clicked, this, &FinalizeWindowController::openPhotos);
    connect(m_ui->supportButton, &QPushButton::clicked, this, &FinalizeWindowController::contactSupport);
    m_keyFilter->addWindow(sheet());
    setState(State::List, m_ui->tableContainerView, m_touchBarView.get());
    selectionDidChange();
}

void FinalizeWindowController::makeTouchBarViews()
{
    m_touchBarView = std::make_unique<QWidget>();
    m_touchBarCleanButton = new QPushButton(u"Clean"_s, m_touchBarView.get());
    connect(m_touchBarCleanButton, &QPushButton::clicked, this, &FinalizeWindowController::didClickFinishedButton);
    m_touchBarPhotosView = std::make_unique<QWidget>();
    auto *continueButton = new QPushButton(u"Continue"_s, m_touchBarPhotosView.get());
    connect(continueButton, &QPushButton::clicked, this, &FinalizeWindowController::actuallyRemoveFiles);
    m_touchBarRemovingView = std::make_unique<QWidget>();
    auto *removing = new QHBoxLayout(m_touchBarRemovingView.get());
    m_touchBarProgressIndicator = new KMTouchBarProgressIndicator(m_touchBarRemovingView.get());
    m_touchBarRemovalLabel = new QLabel(m_touchBarRemovingView.get());
    removing->addWidget(m_touchBarProgressIndicator);
    removing->addWidget(m_touchBarRemovalLabel);
}

void FinalizeWindowController::setUpList()
{
    QListView *list = m_ui->tableView;
    list->setModel(m_model);
    list->setItemDelegate(new RemovalRowDelegate(list));
    connect(list, &QListView::doubleClicked, this, &FinalizeWindowController::showInFinder);
    connect(list, &QWidget::customContextMenuRequested, this, &FinalizeWindowController::showContextMenu);
    connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FinalizeWindowController::showCurrentPreview);
}

void FinalizeWindowController::beginSheet()
{
    m_keyFilter->install();
    sheet()->beginSheetOnWindow(m_parentWindow);
    logState();
}

void FinalizeWindowController::setState(State state, QWidget *page, QWidget *touchBarView)
{
    m_state = state;
    // Before the change of size, which a pinned sheet ends pinned to.
    if (state == State::PhotosStep || state == State::Removing)
        rq_removeResizing(*sheet());
    else if (state == State::Failures)
        rq_makeResizable(*sheet());
    if (page)
        setCurrentView(*page);
    if (touchBarView)
        RQTouchBarController::sharedController().pushTouchBarView(touchBarView);
    QPushButton *defaultButton = state == State::PhotosStep ? m_ui->photosButton : m_ui->cleanButton;
    defaultButton->setDefault(true);
    if (sheet()->isVisible())
        logState();
}

// The sheet takes the page's size, around its centre, and the page fades in; the first page
// is shown as it is.
void FinalizeWindowController::setCurrentView(QWidget &page)
{
    if (&page == m_currentView)
        return;
    const bool replacing = !m_currentView.isNull();
    if (replacing) {
        if (m_pageFade)
            m_pageFade->stop();
        m_currentView->setGraphicsEffect(nullptr);
    }
    showOnlyPage(page);
    const QSize size = pageSize(page);
    if (sheet()->isVisible())
        rq_setContentSize(*sheet(), size, replacing);
    else
        sheet()->resize(size); // the sheet is placed over its parent when it opens
    if (replacing)
        m_pageFade = rq_fadeIn(page, fadeMilliseconds);
    m_currentView = &page;
}

// The hidden pages count for nothing in the stack's sizes, so the sheet can be as small as the
// shown page.
void FinalizeWindowController::showOnlyPage(QWidget &page)
{
    QStackedWidget *stack = m_ui->stack;
    for (int index = 0; index < stack->count(); ++index) {
        const auto policy = stack->widget(index) == &page ? QSizePolicy::Preferred : QSizePolicy::Ignored;
        stack->widget(index)->setSizePolicy(policy, policy);
    }
    stack->setCurrentWidget(&page);
}

// The sheet's line in the windows log: its state and the rows it lists, each failed row with
// the message it shows.
void FinalizeWindowController::logState() const
{
    ScreenFields fields;
    switch (m_state) {
    case State::List:
        fields = {{u"title"_s, m_ui->tableTitleLabel->text()},
                  {u"rows"_s, QString::number(m_model->rowCount())},
                  {u"clean"_s, m_ui->cleanButton->isEnabled() ? u"enabled"_s : u"disabled"_s}};
        for (int row = 0; row < m_model->rowCount(); ++row)
            fields.append({u"path%1"_s.arg(row + 1), RemovalListModel::displayPath(*m_model->fileAt(row))});
        logScreen(2, u"sheet", fields);
        break;
    case State::Removing:
        logScreen(2, u"sheet-removing");
        break;
    case State::Failures:
        fields = {{u"title"_s, m_ui->tableTitleLabel->text()},
                  {u"failed"_s, QString::number(m_model->rowCount())},
                  {u"button"_s, m_ui->cleanButton->text()}};
        for (int row = 0; row < m_model->rowCount(); ++row) {
            const RQFile &file = *m_model->fileAt(row);
            fields.append({u"path%1"_s.arg(row + 1), RemovalListModel::displayPath(file)});
            fields.append({u"message%1"_s.arg(row + 1), m_model->messageForFile(file)});
        }
        logScreen(2, u"sheet-failures", fields);
        break;
    case State::PhotosStep:
    case State::Finished:
        break;
    }
}

// Esc and the title-bar close: the road a button would take, never a silent end.
void FinalizeWindowController::escapePressed()
{
    switch (m_state) {
    case State::List:
    case State::PhotosStep:
        didClickCancelButton();
        break;
    case State::Failures:
        didClickFinishedButton();
        break;
    case State::Removing:
    case State::Finished:
        break;
    }
}

bool FinalizeWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Quit && watched == qApp && isRemoving()) {
        QApplication::beep();
        event->ignore();
        return true;
    }
    return RQWindowController::eventFilter(watched, event);
}

void FinalizeWindowController::addNotificationObservers()
{
    if (m_tickObserver)
        return;
    m_tickObserver = NotificationCenter::defaultCenter().addObserver(
        RQDidToggleSelectedNotification, nullptr, this, [this](const Notification &) { selectionDidChange(); });
}

void FinalizeWindowController::removeNotificationObservers()
{
    if (!m_tickObserver)
        return;
    NotificationCenter::defaultCenter().removeObserver(*m_tickObserver);
    m_tickObserver.reset();
}

void FinalizeWindowController::selectionDidChange()
{
    if (!m_ui)
        return;
    const bool enabled = m_model->hasSelectedFile();
    m_ui->cleanButton->setEnabled(enabled);
    m_touchBarCleanButton->setEnabled(enabled);
}

void FinalizeWindowController::didClickFinishedButton()
{
    if (m_didClean) {
        finish();
        return;
    }
    if (m_state != State::List)
        return;
    removeNotificationObservers();
    showPhotosInfoIfNeeded();
}

void FinalizeWindowController::didClickCancelButton()
{
    if (m_state == State::PhotosStep) {
        addNotificationObservers();
        setState(State::List, m_ui->tableContainerView, m_touchBarView.get());
        selectionDidChange();
        return;
    }
    if (m_state != State::List)
        return;
    m_state = State::Finished;
    m_keyFilter->remove();
    sheet()->done(QDialog::Rejected);
    if (m_didCancelBlock)
        m_didCancelBlock();
}

void FinalizeWindowController::showPhotosInfoIfNeeded()
{
    const auto &files = m_model->files();
    const bool hasPhotosItem
        = std::any_of(files.begin(), files.end(), [](const auto &file) { return file->inPhotosLibrary(); });
    if (!RQPhotosLibrary::sharedInstance().currentLibraryPath().isEmpty() && hasPhotosItem) {
        setState(State::PhotosStep, m_ui->photosInfoView, m_touchBarPhotosView.get());
        return;
    }
    deleteSelectedFiles();
}

void FinalizeWindowController::actuallyRemoveFiles()
{
    if (m_state != State::PhotosStep)
        return;
    const auto photos = ScriptingBridge::current().applicationWithBundleIdentifier(
        QString::fromLatin1(KMHSPhotosFileRemover::bundleIdentifier));
    if (photos && photos->isRunning()) {
        deleteSelectedFiles();
        return;
    }
    auto *alert = new QMessageBox(QMessageBox::Warning, QString(),
                                  u"You must open the Photos app first and select 'All Photos' section from the sidebar."_s);
    rq_addButtonWithTitle(*alert, u"Open Photos"_s);
    rq_addButtonWithTitle(*alert, u"Cancel"_s);
    rq_beginSheetModalForWindow(alert, sheet(), [self = QPointer(this)](qint64 returnCode) {
        if (self && returnCode == AlertFirstButtonReturn)
            self->launchPhotos();
    });
}

void FinalizeWindowController::deleteSelectedFiles()
{
    setState(State::Removing, m_ui->deleteProgressView, m_touchBarRemovingView.get());
    m_touchBarProgressIndicator->startAnimation();
    const auto ticked = m_model->selectedFiles();
    // Set before the check: a removal of nothing must not hand back an earlier removal's answer.
    RQPhotosLibrary::sharedInstance().setHasPhotosFilesSelected(false);
    if (ticked.empty()) {
        finish();
        return;
    }
    RQPhotosLibrary::sharedInstance().setHasPhotosFilesSelected(
        std::any_of(ticked.begin(), ticked.end(), [](const auto &file) { return file->inPhotosLibrary(); }));
    m_didClean = true;
    m_ui->progressIndicator->setMaximum(int(ticked.size()));
    m_ui->progressIndicator->setValue(0);
    setProgressText(u"Files Removed: 0, Files Remaining: %1"_s.arg(ticked.size()));
    m_fileRemover.setUseTrash(m_handOff.useTrash);
    m_fileRemover.setMakeAliases(m_handOff.useHardLinks);
    m_fileRemover.removeFiles(ticked);
}

void FinalizeWindowController::setProgressText(const QString &text)
{
    m_ui->progressStatusLabel->setText(text);
    m_touchBarRemovalLabel->setText(text);
}

void FinalizeWindowController::fileRemoverDidRemoveFileWithDetails(KMHSFileRemover *, KMHSDetails details)
{
    setProgressText(u"Files Removed: %1, Files Remaining: %2"_s.arg(details.filesRemoved)
                        .arg(details.totalFiles - details.filesRemoved));
    m_ui->progressIndicator->setValue(int(details.filesRemoved));
}

void FinalizeWindowController::fileRemoverDidStartCreatingAliases(KMHSFileRemover *)
{
    m_ui->progressIndicator->setMaximum(1);
    m_ui->progressIndicator->setValue(1);
    setProgressText(u"Creating aliases..."_s);
}

void FinalizeWindowController::fileRemoverDidCompleteWithErrors(KMHSFileRemover *, const KMHSErrorDictionary &errors,
                                                                qint64 totalRemoved, quint64 spaceFreed)
{
    setProgressText(u"Finished!"_s);
    m_totalFreed = double(spaceFreed);
    m_totalDuplicates = totalRemoved;
    if (errors.isEmpty())
        finish();
    else
        didFinishWithErrors(errors);
}

void FinalizeWindowController::didFinishWithErrors(const KMHSErrorDictionary &errors)
{
    m_model->showFailures(errors);
    QTimer::singleShot(0, this, [this] {
        m_ui->cleanButton->setText(u"Close"_s);
        m_ui->cleanButton->setAccessibleName(u"Close"_s);
        m_ui->cleanButton->setEnabled(true);
        m_ui->backButton->hide();
        m_ui->tableTitleLabel->setText(u"The following files could not be removed"_s);
        m_ui->tableSubtitleLabel->setText(u"Some files were unable to be removed because of permission issues or "
                                          u"other applications preventing deletion."_s);
        m_state = State::Failures;
        setState(State::Failures, m_ui->tableContainerView, nullptr);
    });
}

void FinalizeWindowController::finish()
{
    QTimer::singleShot(0, this, [this] {
        if (m_state == State::Finished)
            return;
        m_state = State::Finished;
        m_keyFilter->remove();
        sheet()->done(QDialog::Accepted);
        if (m_didCompleteBlock)
            m_didCompleteBlock(m_totalFreed, m_totalDuplicates,
                               RQPhotosLibrary::sharedInstance().hasPhotosFilesSelected());
    });
}

void FinalizeWindowController::openPhotos()
{
    launchPhotos();
}

void FinalizeWindowController::launchPhotos()
{
    const QString library = RQPhotosLibrary::sharedInstance().currentLibraryPath();
    if (library.isEmpty()
        || !ApplicationRegistry::system().applicationWithBundleIdentifier(QString::fromLatin1(KMHSPhotosFileRemover::bundleIdentifier)))
        return;
    m_openUrl(QUrl::fromLocalFile(library));
}

void FinalizeWindowController::contactSupport()
{
    m_openUrl(ApplicationConstants::supportAddress());
}

void FinalizeWindowController::showInFinder()
{
    const QModelIndex current = m_ui->tableView->currentIndex();
    if (current.isValid())
        m_revealer.revealPaths({m_model->fileAt(current.row())->path()}, sheet());
}

QStringList FinalizeWindowController::rowsToActOn(const QModelIndex &clicked) const
{
    QItemSelectionModel *selection = m_ui->tableView->selectionModel();
    QModelIndexList rows = selection->selectedRows();
    if (clicked.isValid() && !selection->isSelected(clicked))
        rows = {clicked};
    QStringList paths;
    for (const QModelIndex &row : std::as_const(rows))
        paths.append(m_model->fileAt(row.row())->path());
    return paths;
}

// A popup rather than a nested event loop: the rows are taken now, as the user saw them.
void FinalizeWindowController::showContextMenu(const QPoint &position)
{
    const QStringList paths = rowsToActOn(m_ui->tableView->indexAt(position));
    auto *menu = new QMenu(m_ui->tableView);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *reveal = menu->addAction(u"Show in File Manager"_s);
    reveal->setEnabled(!paths.isEmpty());
    connect(reveal, &QAction::triggered, this, [this, paths] { m_revealer.revealPaths(paths, sheet()); });
    menu->popup(m_ui->tableView->viewport()->mapToGlobal(position));
}

void FinalizeWindowController::tickCurrentRow()
{
    // Only the list takes ticks: once Clean is pressed the files belong to the removal.
    if (m_state != State::List)
        return;
    const QModelIndex current = m_ui->tableView->currentIndex();
    if (current.isValid())
        m_model->setData(current, m_model->fileAt(current.row())->isSelected() ? Qt::Unchecked : Qt::Checked,
                         Qt::CheckStateRole);
}

void FinalizeWindowController::quickLook()
{
    if (PreviewPanel *panel = PreviewPanel::existingPanel(); panel && panel->isVisible()) {
        panel->toggle();
        return;
    }
    PreviewPanel *panel = PreviewPanel::sharedPreviewPanel(sheet());
    panel->setNavigationView(m_ui->tableView);
    showCurrentPreview();
    panel->toggle();
    m_ui->tableView->setFocus();
}

void FinalizeWindowController::showCurrentPreview()
{
    PreviewPanel *panel = PreviewPanel::existingPanel();
    if (!panel)
        return;
    const QModelIndex current = m_ui->tableView->currentIndex();
    if (!current.isValid()) {
        panel->previewView()->clear();
        return;
    }
    const auto file = m_model->fileAt(current.row());
    panel->previewView()->setPreviewItem(file->path(), file->fileName(), file->fileSize());
}
