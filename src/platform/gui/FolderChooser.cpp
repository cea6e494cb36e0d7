#include "platform/gui/FolderChooser.h"

#include "platform/gui/ShouldEnableProxyModel.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>

namespace {

QFileDialog *makeDialog(QWidget *window)
{
    auto *dialog = new QFileDialog(window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Choose"));
    dialog->setDirectory(QDir::homePath());
    return dialog;
}

// The dialog picks one folder in folder mode; its list and detail views (the ones over our
// model) take several once their selection is widened.
void allowSeveralFolders(QFileDialog &dialog, const QAbstractItemModel *model)
{
    for (QAbstractItemView *view : dialog.findChildren<QAbstractItemView *>()) {
        if (view->model() == model)
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
}

} // namespace

QFileDialog *FolderChooser::open(QWidget *window, ShouldEnable shouldEnable, Completion completion)
{
    QFileDialog *dialog = makeDialog(window);
    auto *proxy = new ShouldEnableProxyModel(std::move(shouldEnable), dialog);
    dialog->setProxyModel(proxy);
    allowSeveralFolders(*dialog, proxy);

    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, proxy, completion = std::move(completion)](int result) {
                         QStringList chosen;
                         if (result == QDialog::Accepted) {
                             for (const QString &path : dialog->selectedFiles()) {
                                 if (proxy->shouldEnable(path))
                                     chosen.append(path);
                             }
                         }
                         if (completion)
                             completion(chosen);
                     });
    dialog->open();
    return dialog;
}
