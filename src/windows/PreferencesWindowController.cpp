#include "windows/PreferencesWindowController.h"

#include "ui_PreferencesWindowController.h"

#include "controls/AnimationUtilities.h"
#include "controls/WindowContentSize.h"
#include "foundation/RQMemoryFormatter.h"
#include "photolibraries/RQiPhotoLibrary.h"
#include "platform/DirectoryWalker.h"
#include "platform/LeadingNumber.h"
#include "platform/gui/FolderChooser.h"
#include "services/Preferences.h"
#include "windows/IgnoredFoldersModel.h"
#include "windows/RQAboutViewController.h"

#include <QActionGroup>
#include <QFileInfo>
#include <QMainWindow>

#include <algorithm>

namespace {

constexpr int fadeMilliseconds = 100;

// A number as a person writes it: no exponent and no trailing zeros ("20", not "20.0").
QString numberText(double value)
{
    QString text = QString::number(value, 'f', 6);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

// The extensions field holds comma-separated tokens, kept as typed less the blanks around
// them; empty tokens are dropped.
QStringList tokens(const QString &text)
{
    QStringList list;
    for (const QString &token : text.split(u',')) {
        if (const QString trimmed = token.trimmed(); !trimmed.isEmpty())
            list.append(trimmed);
    }
    return list;
}

QList<int> selectedRows(const QAbstractItemView &view)
{
    QList<int> rows;
    for (const QModelIndex &index : view.selectionModel()->selectedRows())
        rows.append(index.row());
    return rows;
}

} // namespace

PreferencesWindowController::PreferencesWindowController(Preferences &preferences, QObject *parent)
    : RQWindowController(parent)
    , m_preferences(preferences)
{
}

PreferencesWindowController::~PreferencesWindowController() = default;

QWidget *PreferencesWindowController::loadWindow()
{
    return loadForm<QMainWindow>(m_ui);
}

void PreferencesWindowController::windowDidLoad()
{
    auto *panes = new QActionGroup(window());
    panes->addAction(m_ui->generalAction);
    panes->addAction(m_ui->aboutAction);
    m_ui->generalAction->setChecked(true);

    m_ignoredFolders = new IgnoredFoldersModel(this);
    m_ignoredFolders->setDropRule([this](const QString &path) { return shouldAcceptFileWithURL(path); });
    m_ui->ignoredTableView->setModel(m_ignoredFolders);
    m_ui->ignoredTableView->setDeleteDelegate(this);

    updateUI();
    connectControls();
    // The window keeps the size of the pane it shows; only a pane change resizes it.
    rq_removeResizing(*window());
    setCurrentView(m_ui->generalView, false);
}

void PreferencesWindowController::connectControls()
{
    const Ui::PreferencesWindowController &ui = *m_ui;
    connect(ui.generalAction, &QAction::triggered, this, &PreferencesWindowController::openGeneral);
    connect(ui.aboutAction, &QAction::triggered, this, &PreferencesWindowController::openAbout);
    connect(ui.useTrashCheckbox, &QCheckBox::clicked, this,
            [this](bool checked) { m_preferences.setUseTrash(checked); });
    connect(ui.useHardLinksCheckbox, &QCheckBox::clicked, this,
            [this](bool checked) { m_preferences.setUseHardLinks(checked); });
    connect(ui.autoSelectButton, &QComboBox::activated, this,
            [this](int index) { m_preferences.setAutoSelectType(index); });
    connect(ui.fileSizeDropdown, &QComboBox::activated, this,
            &PreferencesWindowController::didChangeMemoryType);
    connect(ui.fileSizeTextField, &QLineEdit::textEdited, this,
            &PreferencesWindowController::updateFileSizeValue);
    // Return leaves the field, and no control keeps the keyboard.
    connect(ui.fileSizeTextField, &QLineEdit::editingFinished, ui.fileSizeTextField,
            [field = ui.fileSizeTextField] { field->clearFocus(); });
    connect(ui.ignoredExtensionsField, &QLineEdit::textEdited, this,
            &PreferencesWindowController::didChangeIgnoredExtensions);
    connect(ui.addFolderButton, &QToolButton::clicked, this, &PreferencesWindowController::addFolder);
    connect(ui.removeFolderButton, &QToolButton::clicked, this,
            &PreferencesWindowController::removeFolder);
    connect(m_ignoredFolders, &IgnoredFoldersModel::pathsDropped, this,
            &PreferencesWindowController::addFilePaths);
}

void PreferencesWindowController::showWindow()
{
    QWidget *shown = window();
    shown->show();
    shown->raise();
    shown->activateWindow();
}

void PreferencesWindowController::updateUI()
{
    const Ui::PreferencesWindowController &ui = *m_ui;
    ui.useTrashCheckbox->setChecked(m_preferences.useTrash());
    ui.useHardLinksCheckbox->setChecked(m_preferences.useHardLinks());
    const qint64 unit = m_preferences.minFileSizeType();
    ui.fileSizeTextField->setText(
        numberText(RQMemoryFormatter::convertBytes(m_preferences.minFileSize(), unit)));
    ui.fileSizeDropdown->setCurrentIndex(int(unit));
    ui.ignoredExtensionsField->setText(m_preferences.ignoreList().join(QStringLiteral(", ")));
    // A long list shows from its start.
    ui.ignoredExtensionsField->setCursorPosition(0);
    // Any selection rule other than 0 keeps the newest file.
    ui.autoSelectButton->setCurrentIndex(m_preferences.autoSelectType() == 0 ? 0 : 1);
    m_ignoredFolders->setPaths(m_preferences.ignoredPaths());
}

void PreferencesWindowController::didChangeMemoryType(int unit)
{
    m_preferences.setMinFileSizeType(unit);
    updateFileSizeValue();
}

void PreferencesWindowController::updateFileSizeValue()
{
    // Read as a single-precision number, as the field's value always was.
    const float typed = float(leadingNumber(m_ui->fileSizeTextField->text()));
    m_preferences.setMinFileSize(
        RQMemoryFormatter::convertValue(typed, m_ui->fileSizeDropdown->currentIndex(), 0));
}

void PreferencesWindowController::didChangeIgnoredExtensions(const QString &text)
{
    m_preferences.setIgnoreList(tokens(text));
}

void PreferencesWindowController::openGeneral()
{
    setCurrentView(m_ui->generalView, true);
}

void PreferencesWindowController::openAbout()
{
    window(); // the menu may ask for About before the window was ever built
    // A toolbar click has checked the item already; anything else selects it here.
    const bool fromToolbar = m_ui->aboutAction->isChecked();
    m_ui->aboutAction->setChecked(true);
    if (!m_aboutViewController)
        m_aboutViewController = new RQAboutViewController(this);
    setCurrentView(m_aboutViewController->view(), fromToolbar);
}

void PreferencesWindowController::setCurrentView(QWidget *view, bool animated)
{
    if (!view || view == m_currentView)
        return;
    const bool replacing = !m_currentView.isNull();
    if (replacing) {
        m_ui->contentLayout->removeWidget(m_currentView);
        m_currentView->hide();
    }
    rq_setContentSize(*window(), windowSizeFor(*view), animated && replacing);
    m_ui->contentLayout->addWidget(view);
    view->show();
    if (replacing)
        fadeIn(*view);
    m_currentView = view;
}

void PreferencesWindowController::fadeIn(QWidget &view)
{
    rq_fadeIn(view, fadeMilliseconds);
}

QSize PreferencesWindowController::windowSizeFor(const QWidget &view) const
{
    const QSize pane = view.sizeHint().expandedTo(view.minimumSize());
    return {pane.width(), pane.height() + m_ui->toolbar->sizeHint().height()};
}

void PreferencesWindowController::addFilePaths(const QStringList &paths)
{
    const QStringList listed = m_preferences.ignoredPaths();
    QStringList added;
    std::copy_if(paths.cbegin(), paths.cend(), std::back_inserter(added),
                 [&listed](const QString &path) { return !listed.contains(path); });
    m_preferences.setIgnoredPaths(listed + added);
    m_ignoredFolders->appendPaths(added);
}

bool PreferencesWindowController::shouldAcceptFileWithURL(const QString &path) const
{
    const QFileInfo item(path);
    // What cannot be read counts as neither folder nor package.
    if (!item.isDir())
        return false;
    if (DirectoryWalker::isPackageName(item.fileName()) && !iPhotoLibrary().pathIsPhotoLibrary(path))
        return false;
    return !m_preferences.ignoredPaths().contains(path);
}

void PreferencesWindowController::removeFolder()
{
    const QList<int> rows = selectedRows(*m_ui->ignoredTableView);
    if (rows.isEmpty())
        return;
    // Row by row, so a folder listed twice loses only the row chosen and the table and the
    // settings stay alike.
    m_ignoredFolders->removePathsAt(rows);
    m_preferences.setIgnoredPaths(m_ignoredFolders->paths());
}

void PreferencesWindowController::tableViewDeleteFromKeyboard(RQDeleteTableView &)
{
    removeFolder();
}

void PreferencesWindowController::addFolder()
{
    const QPointer<PreferencesWindowController> self(this);
    FolderChooser::open(
        window(), [](const QString &path) { return QFileInfo(path).isDir(); },
        [self](const QStringList &chosen) {
            if (self && !chosen.isEmpty())
                self->addFilePaths(chosen);
        });
}

const RQiPhotoLibrary &PreferencesWindowController::iPhotoLibrary() const
{
    if (m_iPhotoLibrary)
        return *m_iPhotoLibrary;
    static const RQiPhotoLibrary shared;
    return shared;
}
