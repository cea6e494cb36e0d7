#include "controls/AnimationUtilities.h"

#include <QParallelAnimationGroup>

QParallelAnimationGroup *rq_runAnimationGroup(QObject *owner,
                                             const std::function<void(QParallelAnimationGroup &)> &changes)
{
    auto *group = new QParallelAnimationGroup(owner);
    changes(*group);
    group->start(QAbstractAnimation::DeleteWhenStopped);
    return group;
}
