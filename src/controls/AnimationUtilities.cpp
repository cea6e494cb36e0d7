#include "controls/AnimationUtilities.h"

#include <QGraphicsOpacityEffect>
#include <QParallelAnimationGroup>
#include <QPointer>
#include <QPropertyAnimation>
#include <QWidget>

QParallelAnimationGroup *rq_runAnimationGroup(QObject *owner,
                                             const std::function<void(QParallelAnimationGroup &)> &changes)
{
    auto *group = new QParallelAnimationGroup(owner);
    changes(*group);
    group->start(QAbstractAnimation::DeleteWhenStopped);
    return group;
}

QAbstractAnimation *rq_fadeIn(QWidget &view, int milliseconds)
{
    auto *effect = new QGraphicsOpacityEffect(&view);
    effect->setOpacity(0.0);
    view.setGraphicsEffect(effect);
    const auto opacityToOne = [effect, milliseconds](QParallelAnimationGroup &group) {
        auto *opacity = new QPropertyAnimation(effect, "opacity", &group);
        opacity->setDuration(milliseconds);
        opacity->setEndValue(1.0);
        group.addAnimation(opacity);
    };
    // The view's, not the effect's: the fade drops the effect at its end, and must not go with it
    // while it ends. A fade whose effect the view dropped early stops with the effect.
    QParallelAnimationGroup *fade = rq_runAnimationGroup(&view, opacityToOne);
    QObject::connect(fade, &QAbstractAnimation::finished, &view, [faded = QPointer(&view)] {
        if (faded)
            faded->setGraphicsEffect(nullptr);
    });
    return fade;
}
