#pragma once

#include <QDialog>

#include <functional>

// A sheet's window whose Esc key and title-bar close go where its controller says (Back,
// Done, Close or nothing), so that a sheet never ends without its controller's closing steps.
// Without a handler they reject the dialog as usual.
class SheetDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SheetDialog)

public:
    explicit SheetDialog(QWidget *parent = nullptr);

    void setRejectHandler(std::function<void()> handler) { m_rejectHandler = std::move(handler); }

    // Opens window-modal on the parent window (on its own without one).
    void beginSheetOnWindow(QWidget *parent);

    void reject() override;

private:
    std::function<void()> m_rejectHandler;
};
