#pragma once

class QMessageBox;
class QWidget;

// The alert for a sleep lock that could not be taken (RNSInsomniacHelper::enableForDuration
// answering NO). The helper is engine code without widgets, so its alert lives here. A scan
// runs on without the lock, so nothing shows this alert yet.
class InsomniacErrorAlert final
{
public:
    // Shows the alert application-modal without waiting for it; it deletes itself when closed.
    static QMessageBox *showErrorAlert(QWidget *parent = nullptr);

    InsomniacErrorAlert() = delete;
};
