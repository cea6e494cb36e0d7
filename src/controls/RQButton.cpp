#include "controls/RQButton.h"

#include "platform/gui/ImageLoader.h"

#include <QGuiApplication>
#include <QMouseEvent>

RQButton::RQButton(QWidget *parent) : CellButton(parent)
{
    configure();
}

void RQButton::configure()
{
    connect(this, &QAbstractButton::clicked, this, &RQButton::wasClicked);
    connect(this, &QAbstractButton::pressed, this, [this] {
        if (m_actionOnMouseDown && !actsAsToggleOrTab())
            sendAction();
    });
    lookUpHoverImage();
}

void RQButton::setToggleButton(bool toggle)
{
    m_toggleButton = toggle;
}

void RQButton::setTabButton(bool tab)
{
    m_tabButton = tab;
}

void RQButton::setShowsCursor(bool shows)
{
    m_showsCursor = shows;
    updateCursor();
}

void RQButton::setActionOnMouseDown(bool onMouseDown)
{
    m_actionOnMouseDown = onMouseDown;
}

void RQButton::setImage(const NamedImage &image)
{
    setImage(image, false);
}

void RQButton::setImage(const NamedImage &image, bool highlighted)
{
    m_image = image;
    if (!highlighted) {
        m_defaultImage = {};
        // Looked up for every new image: the hover variant of the image before would otherwise
        // come back on the next hover.
        lookUpHoverImage();
    }
    updateCursor();
    update();
}

void RQButton::setImageName(const QString &name)
{
    setImage(ImageLoader::imageNamed(name));
}

void RQButton::lookUpHoverImage()
{
    m_highlightedImage = m_image.isNull()
        ? NamedImage()
        : ImageLoader::imageNamed(m_image.name() + QStringLiteral("-hover"));
}

void RQButton::setWasClickedBlock(const ClickHandler &handler)
{
    m_wasClickedBlock = handler;
    m_target = nullptr;
    m_action = nullptr;
}

void RQButton::setTarget(QObject *target, const ClickHandler &action)
{
    m_target = target;
    m_action = action;
    m_wasClickedBlock = nullptr;
}

void RQButton::setTitle(const QString &title)
{
    setText(title);
    updateCursor();
}

void RQButton::setTitleColor(const QColor &color)
{
    if (color == m_titleColor)
        return;
    m_titleColor = color;
    update();
}

void RQButton::setTextShadow(const std::optional<RQShadow> &shadow)
{
    m_textShadow = shadow;
    update();
}

AttributedTitle RQButton::attributedTitle() const
{
    return {text(), font(), {m_titleColor, m_textShadow, 0}};
}

void RQButton::setAccessibilityTitle(const QString &title)
{
    setAccessibleName(title);
}

void RQButton::setState(int state)
{
    m_state = state;
    m_highlighted = state != 0;
    update();
}

bool RQButton::isHighlighted() const
{
    return CellButton::isHighlighted() || m_highlighted;
}

void RQButton::enterEvent(QEnterEvent *event)
{
    CellButton::enterEvent(event);
    if (QGuiApplication::applicationState() == Qt::ApplicationActive)
        showHoverImage();
}

void RQButton::leaveEvent(QEvent *event)
{
    CellButton::leaveEvent(event);
    showDefaultImage();
}

void RQButton::showHoverImage()
{
    if (m_highlightedImage.isNull() || !isEnabled())
        return;
    if (m_defaultImage.isNull())
        m_defaultImage = m_image;
    setImage(m_highlightedImage, true);
}

void RQButton::showDefaultImage()
{
    if (m_highlightedImage.isNull() || m_defaultImage.isNull() || !isEnabled())
        return;
    setImage(m_defaultImage, true);
}

void RQButton::mousePressEvent(QMouseEvent *event)
{
    if (actsAsToggleOrTab()) {
        // No tracking: the click counts wherever the pointer is let go.
        if (event->button() == Qt::LeftButton) {
            m_pressedWithoutTracking = true;
            m_highlighted = true;
            update();
        }
        return;
    }
    showDefaultImage();
    CellButton::mousePressEvent(event);
}

void RQButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (!actsAsToggleOrTab()) {
        CellButton::mouseReleaseEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton && m_pressedWithoutTracking) {
        m_pressedWithoutTracking = false;
        click();
    }
}

void RQButton::wasClicked()
{
    if (m_tabButton) {
        m_highlighted = true;
        update();
    } else if (m_toggleButton) {
        setState(m_state == 0 ? 1 : 0);
    }
    if (!m_actionOnMouseDown || actsAsToggleOrTab())
        sendAction();
}

void RQButton::sendAction()
{
    if (m_wasClickedBlock)
        m_wasClickedBlock(*this);
    else if (m_target && m_action)
        m_action(*this);
}

void RQButton::updateCursor()
{
    if (!m_image.isNull() || !text().isEmpty() || m_showsCursor)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}
