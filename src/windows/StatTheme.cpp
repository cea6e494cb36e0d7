#include "windows/StatTheme.h"

#include "controls/ColorUtilities.h"

using namespace Qt::StringLiterals;

namespace {

QString describe(const QColor &colour)
{
    return colour.isValid() ? colour.name(QColor::HexRgb) : u"(null)"_s;
}

} // namespace

QColor StatTheme::backgroundColor() const
{
    if (!m_look)
        return {};
    const EasyColour &colour = m_look->background;
    return rq_colorWithEasyHue(colour.hue, colour.saturation, colour.brightness);
}

QColor StatTheme::textColor() const
{
    if (!m_look)
        return {};
    const EasyColour &colour = m_look->text;
    return rq_colorWithEasyHue(colour.hue, colour.saturation, colour.brightness);
}

QString StatTheme::separatorImageName() const
{
    return m_look ? QString::fromLatin1(m_look->separatorImageName) : QString();
}

QString StatTheme::description() const
{
    const QString className = m_look ? QString::fromLatin1(m_look->className) : u"StatTheme"_s;
    const QString imageName = separatorImageName();
    return u"<%1: 0x%2, backgroundColor=%3, textColor=%4, separatorImageName=%5>"_s.arg(
        className, QString::number(reinterpret_cast<quintptr>(this), 16),
        describe(backgroundColor()), describe(textColor()),
        imageName.isEmpty() ? u"(null)"_s : imageName);
}
