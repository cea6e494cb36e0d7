#pragma once

#include "windows/AboutViewBase.h"

#include <memory>

namespace Ui {
class AboutViewController;
}

// A second, plainer About view: name and version on one line, the copyright line and the
// four links. Offered, though nothing in the application shows it.
class AboutViewController final : public AboutViewBase
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutViewController)

public:
    explicit AboutViewController(QObject *parent = nullptr);
    ~AboutViewController() override;

    // "<name> v<version>".
    void setAppNameAndVersion() override;

    // Outlets, once the view is loaded.
    const Ui::AboutViewController &ui() const { return *m_ui; }

protected:
    QWidget *loadView() override;
    QLabel *copyrightLabel() const override;
    LinkButtons linkButtons() const override;

private:
    std::unique_ptr<Ui::AboutViewController> m_ui;
};
