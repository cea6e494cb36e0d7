#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

// One item of a touch bar: an identifier, the view it shows (none for an empty item) and the
// label offered when the user customises the bar. A value; the view is not owned.
class CustomTouchBarItem final
{
public:
    CustomTouchBarItem(QString identifier, QWidget *view, QString customizationLabel);

    QString identifier() const { return m_identifier; }
    QWidget *view() const { return m_view; }
    QString customizationLabel() const { return m_customizationLabel; }

    friend bool operator==(const CustomTouchBarItem &, const CustomTouchBarItem &) = default;

private:
    QString m_identifier;
    QPointer<QWidget> m_view;
    QString m_customizationLabel;
};
