#pragma once

#include <QDialog>
#include <QAbstractItemView>
#include <QPointer>

class PreviewView;

// The shared preview window: one at a time, a tool window of the window that first asked for
// it, gone with that window. The arrow keys pressed in it move the current row of the
// navigation view, whose owner then shows the new row's file here.
class PreviewPanel final : public QDialog
{
    Q_OBJECT

public:
    // The panel, made as a tool window of the owner when there is none.
    static PreviewPanel *sharedPreviewPanel(QWidget *owner);
    // The panel if it exists, else null.
    static PreviewPanel *existingPanel();

    PreviewView *previewView() const { return m_view; }
    void setNavigationView(QAbstractItemView *view) { m_navigationView = view; }
    QAbstractItemView *navigationView() const { return m_navigationView; }

    // Shows and raises the panel, or hides it when it is showing.
    void toggle();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    explicit PreviewPanel(QWidget *owner);

    PreviewView *m_view;
    QPointer<QAbstractItemView> m_navigationView;
};
