#pragma once

#include <QTableView>

class RQDeleteTableViewDelegate;

// A table that hands Delete and Backspace to its delete delegate, whatever is selected, so
// the delegate decides what goes; every other key works as in any table. What is dropped on
// it is listed, never taken away, so a drop is always offered as a copy.
class RQDeleteTableView final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RQDeleteTableView)

public:
    explicit RQDeleteTableView(QWidget *parent = nullptr);

    // Not owned; it must outlive the table or be reset first. Without one the two keys do
    // nothing.
    RQDeleteTableViewDelegate *deleteDelegate() const { return m_deleteDelegate; }
    void setDeleteDelegate(RQDeleteTableViewDelegate *deleteDelegate)
    {
        m_deleteDelegate = deleteDelegate;
    }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    RQDeleteTableViewDelegate *m_deleteDelegate = nullptr;
};
