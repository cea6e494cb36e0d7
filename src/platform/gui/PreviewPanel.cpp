#include "platform/gui/PreviewPanel.h"

#include "platform/gui/PreviewView.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace {

QPointer<PreviewPanel> &sharedPanel()
{
    static QPointer<PreviewPanel> panel;
    return panel;
}

bool isNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

} // namespace

PreviewPanel *PreviewPanel::sharedPreviewPanel(QWidget *owner)
{
    QPointer<PreviewPanel> &panel = sharedPanel();
    if (!panel)
        panel = new PreviewPanel(owner);
    return panel;
}

PreviewPanel *PreviewPanel::existingPanel()
{
    return sharedPanel();
}

PreviewPanel::PreviewPanel(QWidget *owner)
    : QDialog(owner, Qt::Tool), m_view(new PreviewView())
{
    setWindowTitle(tr("Preview"));
    setAccessibleName(tr("Preview"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    resize(480, 400);
}

void PreviewPanel::toggle()
{
    if (isVisible()) {
        hide();
        return;
    }
    show();
    raise();
    activateWindow();
}

void PreviewPanel::keyPressEvent(QKeyEvent *event)
{
    if (m_navigationView && isNavigationKey(event->key())) {
        QKeyEvent forwarded(event->type(), event->key(), event->modifiers(), event->text(),
                            event->isAutoRepeat(), ushort(event->count()));
        QCoreApplication::sendEvent(m_navigationView, &forwarded);
        return;
    }
    QDialog::keyPressEvent(event);
}
