#pragma once

#include <QAccessibleWidget>

class QLabel;

// What assistive technology learns of the status panel: its name is the text of the title
// label of the state view shown, read when asked, so it follows every change of the title.
class LCDStatusPanelAccessible final : public QAccessibleWidget
{
public:
    explicit LCDStatusPanelAccessible(QWidget *panel);

    // Registers the interface for the status panel's root view; idempotent.
    static void install();
    // The label whose text names the panel from now on.
    static void setTitleLabel(QWidget &panel, QLabel *titleLabel);

    QString text(QAccessible::Text textType) const override;
};
