#include "platform/gui/InsomniacErrorAlert.h"

#include "foundation/ApplicationConstants.h"
#include "platform/gui/AlertSheet.h"

#include <QMessageBox>

using namespace Qt::StringLiterals;

QMessageBox *InsomniacErrorAlert::showErrorAlert(QWidget *parent)
{
    auto *alert = new QMessageBox(parent);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setText(u"Could not disable the computer from sleeping."_s);
    alert->setInformativeText(u"Unfortunately we got an error when trying to prevent the computer from sleeping. "
                              "\n\nIf you continue to see this error, please contact us at "_s
                              + ApplicationConstants::supportEmailAddress() + u'.');
    rq_addButtonWithTitle(*alert, u"Okay"_s);
    alert->setWindowModality(Qt::ApplicationModal);
    alert->show();
    return alert;
}
