#pragma once

#include <QAccessibleWidget>

class RQProgressIndicator;

// What assistive technology learns of a progress bar: its role and its percentage.
class RQProgressIndicatorAccessible final : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit RQProgressIndicatorAccessible(RQProgressIndicator *indicator);

    // Registers the interface for every RQProgressIndicator; idempotent.
    static void install();
    // The whole percent of a progress from 0 to 1; 0 before the first value.
    static int percentage(double progress);

    QString text(QAccessible::Text textType) const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant &value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    const RQProgressIndicator &indicator() const;
};
