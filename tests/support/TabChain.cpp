#include "support/TabChain.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

QList<QWidget *> tabStops(QWidget *start)
{
    start->setFocus();
    QList<QWidget *> reached;
    for (QWidget *focus = QApplication::focusWidget(); focus && !reached.contains(focus);
         focus = QApplication::focusWidget()) {
        reached.append(focus);
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return reached;
}
