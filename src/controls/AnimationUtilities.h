#pragma once

#include <functional>

class QAbstractAnimation;
class QObject;
class QParallelAnimationGroup;
class QWidget;

// Runs the animations that changes adds to a group, all at once; the group belongs to owner
// and deletes itself when done. Answers the running group.
QParallelAnimationGroup *rq_runAnimationGroup(QObject *owner,
                                             const std::function<void(QParallelAnimationGroup &)> &changes);

// Fades the view in from transparent over the time, through an opacity effect that the view
// drops once opaque, since drawing through one costs. The fade belongs to the view and deletes
// itself when it stops. Answers the running fade.
QAbstractAnimation *rq_fadeIn(QWidget &view, int milliseconds);
