#pragma once

#include "platform/NotificationCenter.h"
#include "platform/gui/FileRevealer.h"
#include "platform/gui/UrlOpener.h"
#include "removal/KMHSFileRemover.h"
#include "windows/RQWindowController.h"
#include "windows/RemovalHandOff.h"

#include <QPointer>

#include <functional>
#include <memory>

class KMTouchBarProgressIndicator;
class PreviewKeyFilter;
class QAbstractAnimation;
class QLabel;
class QPushButton;
class RemovalListModel;
class SheetDialog;

namespace Ui {
class FinalizeWindowController;
}

// The sheet that confirms a removal: it lists the ticked files (they may be unticked here),
// explains the Photos step when Photos items are among them, removes the ticked ones through
// one file remover while showing progress, lists what could not be removed with a message
// each, and hands the outcome back. What it reports is what the remover reports: a file that
// failed is never counted as removed.
//
// Calling order: controllerWithSelectedFiles, the two blocks and the parent window, then
// beginSheet. The sheet ends by Back (didCancelBlock) or after a removal (didCompleteBlock,
// on a later turn of the event loop); Esc and the title-bar close take one of those roads or,
// while removing, are ignored. Main thread only.
class FinalizeWindowController final : public RQWindowController, private KMHSFileRemoverDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FinalizeWindowController)

public:
    enum class State { List, PhotosStep, Removing, Failures, Finished };

    // Bytes freed, items removed, and whether Photos items were among the ticked files.
    using DidCompleteBlock = std::function<void(double totalFreed, qint64 totalDuplicates, bool hasPhotosFiles)>;
    using DidCancelBlock = std::function<void()>;


    static std::unique_ptr<FinalizeWindowController> controllerWithSelectedFiles(const RemovalHandOff &handOff);
    ~FinalizeWindowController() override;

    void setDidCompleteBlock(DidCompleteBlock block) { m_didCompleteBlock = std::move(block); }
    void setDidCancelBlock(DidCancelBlock block) { m_didCancelBlock = std::move(block); }
    void setParentWindow(QWidget *window) { m_parentWindow = window; }
    // Opens the sheet window-modal on the parent window.
    void beginSheet();

    State state() const { return m_state; }
    // While a removal runs the application must not quit: the remover would be cut off between
    // a move and its link, and the outcome never shown.
    bool isRemoving() const { return m_state == State::Removing; }
    double totalFreed() const { return m_totalFreed; }
    qint64 totalDuplicates() const { return m_totalDuplicates; }
    RemovalListModel *listModel() const { return m_model; }
    SheetDialog *sheet();

    // The view the sheet shows on the touch bar while listing (its Clean button among them).
    QWidget *touchBarView() const { return m_touchBarView.get(); }

    // For tests: where web pages and the Photos library go instead of the desktop, and the
    // bus on which the file manager is asked.
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }
    void setFileRevealer(const FileRevealer &revealer) { m_revealer = revealer; }

    // Actions.
    void didClickFinishedButton();
    void didClickCancelButton();
    void actuallyRemoveFiles();
    void openPhotos();
    void contactSupport();
    void showInFinder();
    void quickLook();

protected:
    QWidget *loadWindow() override;
    void windowDidLoad() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FinalizeWindowController(const RemovalHandOff &handOff);

    void fileRemoverDidRemoveFileWithDetails(KMHSFileRemover *remover, KMHSDetails details) override;
    void fileRemoverDidStartCreatingAliases(KMHSFileRemover *remover) override;
    void fileRemoverDidCompleteWithErrors(KMHSFileRemover *remover, const KMHSErrorDictionary &errors,
                                          qint64 totalRemoved, quint64 spaceFreed) override;

    void makeTouchBarViews();
    void setUpList();
    void setState(State state, QWidget *page, QWidget *touchBarView);
    void setCurrentView(QWidget &page);
    void showOnlyPage(QWidget &page);
    void logState() const;
    void escapePressed();
    void selectionDidChange();
    void addNotificationObservers();
    void removeNotificationObservers();
    void showPhotosInfoIfNeeded();
    void deleteSelectedFiles();
    void setProgressText(const QString &text);
    void didFinishWithErrors(const KMHSErrorDictionary &errors);
    void finish();
    void launchPhotos();
    void showContextMenu(const QPoint &position);
    void tickCurrentRow();
    void showCurrentPreview();
    QStringList rowsToActOn(const QModelIndex &clicked) const;

    RemovalHandOff m_handOff;
    std::unique_ptr<Ui::FinalizeWindowController> m_ui;
    RemovalListModel *m_model = nullptr;
    KMHSFileRemover m_fileRemover;
    State m_state = State::List;
    QPointer<QWidget> m_currentView;
    QPointer<QAbstractAnimation> m_pageFade;
    bool m_didClean = false;
    double m_totalFreed = 0;
    qint64 m_totalDuplicates = 0;
    std::optional<NotificationCenter::Token> m_tickObserver;
    QPointer<QWidget> m_parentWindow;
    DidCompleteBlock m_didCompleteBlock;
    DidCancelBlock m_didCancelBlock;
    UrlOpener m_openUrl;
    FileRevealer m_revealer;
    PreviewKeyFilter *m_keyFilter = nullptr;
    // The touch bar's views, ours to keep.
    std::unique_ptr<QWidget> m_touchBarView;
    std::unique_ptr<QWidget> m_touchBarPhotosView;
    std::unique_ptr<QWidget> m_touchBarRemovingView;
    QPushButton *m_touchBarCleanButton = nullptr;
    KMTouchBarProgressIndicator *m_touchBarProgressIndicator = nullptr;
    QLabel *m_touchBarRemovalLabel = nullptr;
};
