#include "controls/RQProgressIndicatorAccessible.h"

#include "controls/RQProgressIndicator.h"

#include <algorithm>
#include <cmath>

namespace {

QAccessibleInterface *makeInterface(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(RQProgressIndicator::staticMetaObject.className()))
        return new RQProgressIndicatorAccessible(static_cast<RQProgressIndicator *>(object));
    return nullptr;
}

} // namespace

RQProgressIndicatorAccessible::RQProgressIndicatorAccessible(RQProgressIndicator *indicator)
    : QAccessibleWidget(indicator, QAccessible::ProgressBar)
{
}

void RQProgressIndicatorAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

int RQProgressIndicatorAccessible::percentage(double progress)
{
    return static_cast<int>(std::lround(std::clamp(progress, 0.0, 1.0) * 100.0));
}

QString RQProgressIndicatorAccessible::text(QAccessible::Text textType) const
{
    if (textType == QAccessible::Value)
        return QString::number(percentage(indicator().progress())) + u'%';
    return QAccessibleWidget::text(textType);
}

void *RQProgressIndicatorAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QVariant RQProgressIndicatorAccessible::currentValue() const
{
    return percentage(indicator().progress());
}

void RQProgressIndicatorAccessible::setCurrentValue(const QVariant & /*value*/)
{
    // The bar shows the scan's progress; nobody else sets it.
}

QVariant RQProgressIndicatorAccessible::maximumValue() const
{
    return 100;
}

QVariant RQProgressIndicatorAccessible::minimumValue() const
{
    return 0;
}

QVariant RQProgressIndicatorAccessible::minimumStepSize() const
{
    return 1;
}

const RQProgressIndicator &RQProgressIndicatorAccessible::indicator() const
{
    return *static_cast<const RQProgressIndicator *>(widget());
}
