#pragma once

#include <functional>

class QObject;
class QParallelAnimationGroup;

// Runs the animations that changes adds to a group, all at once; the group belongs to owner
// and deletes itself when done. Answers the running group.
QParallelAnimationGroup *rq_runAnimationGroup(QObject *owner,
                                             const std::function<void(QParallelAnimationGroup &)> &changes);
