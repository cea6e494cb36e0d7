#include "windows/MWPhotosDeleteWindowController.h"

#include "foundation/ApplicationConstants.h"
#include "platform/ApplicationRegistry.h"
#include "removal/KMHSPhotosFileRemover.h"
#include "platform/ScriptingBridge.h"
#include "windows/RQTouchBarController.h"
#include "windows/SheetDialog.h"

#include "ui_MWPhotosDeleteWindowController.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

std::unique_ptr<MWPhotosDeleteWindowController> MWPhotosDeleteWindowController::controller()
{
    return std::unique_ptr<MWPhotosDeleteWindowController>(new MWPhotosDeleteWindowController);
}

MWPhotosDeleteWindowController::MWPhotosDeleteWindowController() : m_openUrl(desktopUrlOpener()) {}

MWPhotosDeleteWindowController::~MWPhotosDeleteWindowController()
{
    if (isWindowLoaded())
        delete window();
}

SheetDialog *MWPhotosDeleteWindowController::sheet()
{
    return static_cast<SheetDialog *>(window());
}

QWidget *MWPhotosDeleteWindowController::loadWindow()
{
    return loadForm<SheetDialog>(m_ui);
}

void MWPhotosDeleteWindowController::windowDidLoad()
{
    sheet()->setRejectHandler([this] { done(); });
    connect(m_ui->doneButton, &QPushButton::clicked, this, &MWPhotosDeleteWindowController::done);
    connect(m_ui->openPhotosButton, &QPushButton::clicked, this, &MWPhotosDeleteWindowController::openPhotos);
    connect(m_ui->supportButton, &QPushButton::clicked, this, &MWPhotosDeleteWindowController::openSupport);
    m_touchBarView = std::make_unique<QLabel>(u"Delete the gathered duplicates in Photos"_s);
}

void MWPhotosDeleteWindowController::beginSheetInWindow(QWidget *parent)
{
    sheet()->beginSheetOnWindow(parent);
    RQTouchBarController::sharedController().pushTouchBarView(m_touchBarView.get());
}

void MWPhotosDeleteWindowController::done()
{
    sheet()->done(QDialog::Accepted);
    if (m_didCloseBlock)
        m_didCloseBlock();
}

// Photos is launched only where it is installed; this platform has none, so nothing happens.
void MWPhotosDeleteWindowController::openPhotos()
{
    const QString photos = QString::fromLatin1(KMHSPhotosFileRemover::bundleIdentifier);
    if (ApplicationRegistry::system().applicationWithBundleIdentifier(photos))
        ScriptingBridge::current().applicationWithBundleIdentifier(photos)->activate();
}

void MWPhotosDeleteWindowController::openSupport()
{
    m_openUrl(ApplicationConstants::supportAddress());
}
