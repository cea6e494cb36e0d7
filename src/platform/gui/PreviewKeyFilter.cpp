#include "platform/gui/PreviewKeyFilter.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

PreviewKeyFilter::PreviewKeyFilter(QObject *parent)
    : QObject(parent)
{
}

PreviewKeyFilter::~PreviewKeyFilter()
{
    remove();
}

void PreviewKeyFilter::addWindow(QWidget *window)
{
    m_windows.append(window);
}

void PreviewKeyFilter::install()
{
    if (m_installed)
        return;
    qApp->installEventFilter(this);
    m_installed = true;
}

void PreviewKeyFilter::remove()
{
    if (!m_installed)
        return;
    qApp->removeEventFilter(this);
    m_installed = false;
}

bool PreviewKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    const bool press = event->type() == QEvent::KeyPress;
    // Taking the shortcut override too keeps a button's or a view's own Space binding out.
    if (!press && event->type() != QEvent::ShortcutOverride)
        return false;
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    if (keyEvent->key() != Qt::Key_Space)
        return false;
    const Qt::KeyboardModifiers modifiers = keyEvent->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier && modifiers != Qt::ControlModifier)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !watches(widget) || typesText(QApplication::focusWidget()))
        return false;
    if (!press) {
        event->accept();
        return true;
    }
    if (!keyEvent->isAutoRepeat()) {
        if (modifiers == Qt::ControlModifier)
            emit tickRequested();
        else
            emit previewRequested();
    }
    return true;
}

bool PreviewKeyFilter::watches(const QWidget *widget) const
{
    const QWidget *window = widget->window();
    for (const QPointer<QWidget> &watched : m_windows) {
        if (watched && watched->window() == window)
            return true;
    }
    return false;
}

bool PreviewKeyFilter::typesText(const QWidget *focus)
{
    if (!focus)
        return false;
    if (qobject_cast<const QLineEdit *>(focus) || qobject_cast<const QAbstractSpinBox *>(focus))
        return true;
    if (const auto *text = qobject_cast<const QTextEdit *>(focus))
        return !text->isReadOnly();
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(focus))
        return !plain->isReadOnly();
    return false;
}
