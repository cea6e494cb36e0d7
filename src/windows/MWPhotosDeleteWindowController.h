#pragma once

#include "platform/gui/UrlOpener.h"
#include "windows/RQWindowController.h"

#include <functional>
#include <memory>

class SheetDialog;

namespace Ui {
class MWPhotosDeleteWindowController;
}

// The sheet that tells the user where removed Photos items went: into an album in Photos,
// to be deleted there. It ends only by Done (Esc and the title-bar close act as Done), which
// runs the close block. Main thread only.
class MWPhotosDeleteWindowController final : public RQWindowController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MWPhotosDeleteWindowController)

public:

    static std::unique_ptr<MWPhotosDeleteWindowController> controller();
    ~MWPhotosDeleteWindowController() override;

    void setDidCloseBlock(std::function<void()> block) { m_didCloseBlock = std::move(block); }
    // For tests: where web pages go instead of the desktop's browser.
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }

    // Opens the sheet window-modal on the parent and shows its touch bar view.
    void beginSheetInWindow(QWidget *parent);
    SheetDialog *sheet();
    QWidget *touchBarView() const { return m_touchBarView.get(); }

    void done();
    void openPhotos();
    void openSupport();

protected:
    QWidget *loadWindow() override;
    void windowDidLoad() override;

private:
    MWPhotosDeleteWindowController();

    std::unique_ptr<Ui::MWPhotosDeleteWindowController> m_ui;
    std::unique_ptr<QWidget> m_touchBarView;
    std::function<void()> m_didCloseBlock;
    UrlOpener m_openUrl;
};
