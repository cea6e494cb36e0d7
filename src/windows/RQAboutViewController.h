#pragma once

#include "windows/AboutViewBase.h"

#include <memory>

namespace Ui {
class RQAboutViewController;
}

// The About pane of the Preferences window: the application's icon, name and version, the
// copyright line and the four links.
class RQAboutViewController final : public AboutViewBase
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RQAboutViewController)

public:
    explicit RQAboutViewController(QObject *parent = nullptr);
    ~RQAboutViewController() override;

    // The application's name, and "Version" with its version.
    void setAppNameAndVersion() override;

    // Outlets, once the view is loaded.
    const Ui::RQAboutViewController &ui() const { return *m_ui; }

protected:
    QWidget *loadView() override;
    QLabel *copyrightLabel() const override;
    LinkButtons linkButtons() const override;

private:
    std::unique_ptr<Ui::RQAboutViewController> m_ui;
};
