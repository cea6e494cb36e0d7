#include "EventLoop.h"

#include <QAbstractAnimation>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>

bool processEventsUntil(const std::function<bool()> &condition, int timeoutMilliseconds)
{
    QDeadlineTimer deadline(timeoutMilliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

bool processEventsUntilAnimationsEnd(const QObject &owner, int timeoutMilliseconds)
{
    return processEventsUntil(
        [&owner] {
            const auto animations = owner.findChildren<QAbstractAnimation *>();
            return std::none_of(animations.cbegin(), animations.cend(), [](const QAbstractAnimation *animation) {
                return animation->state() == QAbstractAnimation::Running;
            });
        },
        timeoutMilliseconds);
}

void finishAnimations(const QObject &owner)
{
    for (QAbstractAnimation *animation : owner.findChildren<QAbstractAnimation *>()) {
        if (animation->state() == QAbstractAnimation::Running && !animation->group())
            animation->setCurrentTime(animation->totalDuration());
    }
}

void processEventsFor(int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
}
