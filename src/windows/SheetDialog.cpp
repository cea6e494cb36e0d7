#include "windows/SheetDialog.h"

SheetDialog::SheetDialog(QWidget *parent) : QDialog(parent) {}

void SheetDialog::reject()
{
    if (m_rejectHandler)
        m_rejectHandler();
    else
        QDialog::reject();
}

void SheetDialog::beginSheetOnWindow(QWidget *parent)
{
    if (parent)
        setParent(parent, windowFlags() | Qt::Sheet);
    setWindowModality(Qt::WindowModal);
    open();
}
