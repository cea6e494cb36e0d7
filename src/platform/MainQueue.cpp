#include "platform/MainQueue.h"

#include <QCoreApplication>
#include <QMetaObject>

void MainQueue::async(Task task)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || !task)
        return;
    QMetaObject::invokeMethod(application, std::move(task), Qt::QueuedConnection);
}
