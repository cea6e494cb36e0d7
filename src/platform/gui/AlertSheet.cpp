#include "platform/gui/AlertSheet.h"

#include "foundation/RQDispatch.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QVariant>

namespace {

constexpr char returnCodeProperty[] = "rq_returnCode";

qint64 returnCode(const QMessageBox &alert)
{
    QAbstractButton *pressed = alert.clickedButton();
    if (!pressed)
        return 0;
    const QVariant code = pressed->property(returnCodeProperty);
    if (code.isValid())
        return code.toLongLong();
    return qint64(alert.standardButton(pressed));
}

void beginSheet(QMessageBox &alert, QWidget *window, const AlertCompletionHandler &handler)
{
    if (window && alert.parentWidget() != window)
        alert.setParent(window, alert.windowFlags());
    alert.setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(&alert, &QDialog::finished, &alert, [&alert, handler](int) {
        if (handler)
            handler(returnCode(alert));
        alert.deleteLater();
    });
    alert.open();
}

} // namespace

QPushButton *rq_addButtonWithTitle(QMessageBox &alert, const QString &title)
{
    const qint64 code = AlertFirstButtonReturn + alert.buttons().size();
    const bool first = alert.buttons().isEmpty();
    QPushButton *button =
        alert.addButton(title, first ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    button->setProperty(returnCodeProperty, code);
    if (first)
        alert.setDefaultButton(button);
    return button;
}

void rq_beginSheetModalForWindow(QMessageBox *alert, QWidget *window, double delay,
                                 AlertCompletionHandler handler)
{
    if (!alert)
        return;
    const QPointer<QMessageBox> guardedAlert(alert);
    const QPointer<QWidget> guardedWindow(window);
    RQDispatchAfterMain(
        [guardedAlert, guardedWindow, handler = std::move(handler)] {
            if (guardedAlert)
                beginSheet(*guardedAlert, guardedWindow.data(), handler);
        },
        delay);
}

void rq_beginSheetModalForWindow(QMessageBox *alert, QWidget *window,
                                 AlertCompletionHandler handler)
{
    rq_beginSheetModalForWindow(alert, window, 0.0, std::move(handler));
}
