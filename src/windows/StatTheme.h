#pragma once

#include <QColor>
#include <QString>

#include <optional>

// The colours of the scan statistics panel: its background, its text and the divider image
// between the counters. The base theme has none; its subclasses each give one look, and
// make new colours on every call.
class StatTheme
{
public:
    StatTheme() = default;

    QColor backgroundColor() const;
    QColor textColor() const;
    QString separatorImageName() const;
    // "<StatThemeRed: 0x…, backgroundColor=#ffdbdb, textColor=#996565,
    // separatorImageName=red-divider>"; a value the theme lacks reads "(null)".
    QString description() const;

protected:
    // Hue in degrees, saturation and brightness in percent.
    struct EasyColour
    {
        double hue;
        double saturation;
        double brightness;
    };
    struct Look
    {
        const char *className;
        EasyColour background;
        EasyColour text;
        const char *separatorImageName;
    };
    explicit StatTheme(const Look &look) : m_look(look) {}

private:
    std::optional<Look> m_look;
};
