#include "windows/LCDStatusPanelAccessible.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace {

// The panel's root view as the interface file names it, and where it keeps its title label.
constexpr auto panelName = "LCDStatusViewController";
constexpr auto titleLabelProperty = "rq_statusTitleLabel";

QAccessibleInterface *makeInterface(const QString & /*className*/, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget && widget->objectName() == QLatin1StringView(panelName))
        return new LCDStatusPanelAccessible(widget);
    return nullptr;
}

} // namespace

LCDStatusPanelAccessible::LCDStatusPanelAccessible(QWidget *panel)
    : QAccessibleWidget(panel, QAccessible::StatusBar)
{
}

void LCDStatusPanelAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

void LCDStatusPanelAccessible::setTitleLabel(QWidget &panel, QLabel *titleLabel)
{
    panel.setProperty(titleLabelProperty, QVariant::fromValue<QObject *>(titleLabel));
    QAccessibleEvent event(&panel, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

QString LCDStatusPanelAccessible::text(QAccessible::Text textType) const
{
    if (textType == QAccessible::Name) {
        const auto *label =
            qobject_cast<QLabel *>(widget()->property(titleLabelProperty).value<QObject *>());
        if (label)
            return label->text();
    }
    return QAccessibleWidget::text(textType);
}
