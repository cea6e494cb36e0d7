#include "windows/RQQuitAppsWindowController.h"

#include "foundation/RQDispatch.h"
#include "foundation/RQTimer.h"

#include "ui_RQQuitAppsWindowController.h"

#include <QDialog>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>

namespace {

bool sameApplications(const QList<RunningApplication> &one, const QList<RunningApplication> &other)
{
    return std::equal(one.cbegin(), one.cend(), other.cbegin(), other.cend(), [](const auto &a, const auto &b) {
        return a.processIdentifier == b.processIdentifier && a.bundleIdentifier == b.bundleIdentifier
            && a.localizedName == b.localizedName;
    });
}

} // namespace

RQQuitAppsWindowController::RQQuitAppsWindowController(RunningApplications &applications, QObject *parent)
    : RQWindowController(parent), m_runningApplications(applications)
{
}

RQQuitAppsWindowController::~RQQuitAppsWindowController()
{
    m_completionBlock = nullptr;
    stopPolling();
}

void RQQuitAppsWindowController::setApplications(const QStringList &bundleIdentifiers)
{
    m_applications = bundleIdentifiers;
    updateRunningApplications();
}

void RQQuitAppsWindowController::beginSheetForWindow(QWidget *parent)
{
    auto *sheet = qobject_cast<QDialog *>(window());
    sheet->setParent(parent, Qt::Sheet | Qt::Dialog);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->open();
}

void RQQuitAppsWindowController::updateRunningApplications()
{
    const QList<RunningApplication> running = m_runningApplications.runningApplications();
    QList<RunningApplication> found;
    for (const QString &identifier : std::as_const(m_applications)) {
        for (const RunningApplication &application : running) {
            if (application.bundleIdentifier == identifier)
                found.append(application);
        }
    }
    if (found.isEmpty()) {
        // The last list stays, so rows asked for meanwhile still answer.
        stopPolling();
        endSheet();
        RQDispatchAfterMain([controller = QPointer(this)] {
            if (controller)
                controller->complete(false);
        }, reportDelay);
        return;
    }
    const bool changed = !sameApplications(found, m_appsToClose);
    m_appsToClose = found;
    if (changed)
        reloadTable();
}

void RQQuitAppsWindowController::cancel()
{
    complete(true);
    // Nothing more is reported, so nothing needs looking at any more.
    stopPolling();
    endSheet();
}

void RQQuitAppsWindowController::handleDoubleClick(int row)
{
    if (row < 0)
        return;
    activateApplicationAtRow(row);
}

void RQQuitAppsWindowController::activateApplicationAtRow(int row)
{
    if (row < 0 || row >= m_appsToClose.size())
        return;
    m_runningApplications.activate(m_appsToClose.at(row));
}

QTableWidget *RQQuitAppsWindowController::tableView() const
{
    return m_ui ? m_ui->tableView : nullptr;
}

QPushButton *RQQuitAppsWindowController::cancelButton() const
{
    return m_ui ? m_ui->cancelButton : nullptr;
}

QLabel *RQQuitAppsWindowController::titleLabel() const
{
    return m_ui ? m_ui->titleLabel : nullptr;
}

QWidget *RQQuitAppsWindowController::loadWindow()
{
    return loadForm<QDialog>(m_ui);
}

void RQQuitAppsWindowController::windowDidLoad()
{
    auto *sheet = qobject_cast<QDialog *>(window());
    QHeaderView *header = m_ui->tableView->horizontalHeader();
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &RQQuitAppsWindowController::cancel);
    // Esc and the window's close button cancel too.
    connect(sheet, &QDialog::rejected, this, &RQQuitAppsWindowController::cancel);
    connect(m_ui->tableView, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { handleDoubleClick(row); });
    reloadTable();
    updateRunningApplications();
    if (m_completed || m_appsToClose.isEmpty())
        return;
    m_timer = RQTimer::timerWithInterval(pollInterval, true, {}, [controller = QPointer(this)](RQTimer &) {
        if (controller)
            controller->updateRunningApplications();
    });
}

void RQQuitAppsWindowController::reloadTable()
{
    if (!m_ui)
        return;
    QTableWidget &table = *m_ui->tableView;
    table.setRowCount(static_cast<int>(m_appsToClose.size()));
    for (int row = 0; row < table.rowCount(); ++row) {
        const RunningApplication &application = m_appsToClose.at(row);
        table.setItem(row, 0, new QTableWidgetItem(application.icon, application.localizedName));
        auto *show = new QPushButton(tr("Show"));
        show->setAutoDefault(false);
        show->setAccessibleName(tr("Show %1").arg(application.localizedName));
        connect(show, &QPushButton::clicked, this, [this, row] { activateApplicationAtRow(row); });
        table.setCellWidget(row, 1, show);
    }
}

void RQQuitAppsWindowController::endSheet()
{
    if (isWindowLoaded())
        window()->hide();
}

void RQQuitAppsWindowController::stopPolling()
{
    if (m_timer)
        m_timer->invalidate();
    m_timer.reset();
}

void RQQuitAppsWindowController::complete(bool cancelled)
{
    if (m_completed)
        return;
    m_completed = true;
    if (m_completionBlock)
        m_completionBlock(cancelled);
}
