#pragma once

#include "controls/RQShadow.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

// How a button's title is drawn beyond its text and font. An invalid colour means the
// palette's button text colour.
struct TitleAttributes
{
    QColor color;
    std::optional<RQShadow> shadow;
    // Extra space between letters, in points (negative draws them closer).
    qreal kerning = 0;

    bool isPlain() const { return !shadow && kerning == 0; }
    friend bool operator==(const TitleAttributes &, const TitleAttributes &) = default;
};

// A title with its font and attributes, always drawn centred on its line.
struct AttributedTitle
{
    QString text;
    QFont font;
    TitleAttributes attributes;

    // The title with further attributes laid over its own: a colour, shadow or kerning that
    // added has replaces the title's.
    AttributedTitle adding(const TitleAttributes &added) const
    {
        AttributedTitle result = *this;
        if (added.color.isValid())
            result.attributes.color = added.color;
        if (added.shadow)
            result.attributes.shadow = added.shadow;
        if (added.kerning != 0)
            result.attributes.kerning = added.kerning;
        return result;
    }

    friend bool operator==(const AttributedTitle &, const AttributedTitle &) = default;
};
