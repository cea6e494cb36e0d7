#pragma once

#include "controls/CellButton.h"
#include "controls/RQShadow.h"

#include <QPointer>

#include <functional>
#include <optional>

// The application's general button: shows its image's "-hover" variant while the pointer is
// over it (in the active application), shows the pointing hand, can act as a toggle or a tab,
// can act on mouse-down, calls either a click handler or a target's action, and can draw its
// title in a colour with a shadow. Main thread only.
class RQButton : public CellButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RQButton)
    Q_PROPERTY(bool toggleButton READ toggleButton WRITE setToggleButton)
    Q_PROPERTY(bool tabButton READ tabButton WRITE setTabButton)
    Q_PROPERTY(bool showsCursor READ showsCursor WRITE setShowsCursor)
    Q_PROPERTY(bool actionOnMouseDown READ actionOnMouseDown WRITE setActionOnMouseDown)
    Q_PROPERTY(QString imageName READ imageName WRITE setImageName)
    Q_PROPERTY(QColor titleColor READ titleColor WRITE setTitleColor)
    Q_PROPERTY(int state READ state WRITE setState)

public:
    using ClickHandler = std::function<void(RQButton &)>;

    explicit RQButton(QWidget *parent = nullptr);

    bool toggleButton() const { return m_toggleButton; }
    void setToggleButton(bool toggle);
    bool tabButton() const { return m_tabButton; }
    void setTabButton(bool tab);
    bool showsCursor() const { return m_showsCursor; }
    void setShowsCursor(bool shows);
    bool actionOnMouseDown() const { return m_actionOnMouseDown; }
    void setActionOnMouseDown(bool onMouseDown);

    NamedImage image() const override { return m_image; }
    // Shows a new image, whose "-hover" variant is looked up again.
    void setImage(const NamedImage &image);
    // highlighted: a swap of the hover, which keeps the image to come back to.
    void setImage(const NamedImage &image, bool highlighted);
    QString imageName() const { return m_image.name(); }
    void setImageName(const QString &name);
    NamedImage highlightedImage() const { return m_highlightedImage; }
    NamedImage defaultImage() const { return m_defaultImage; }

    // The one handler of clicks: a handler replaces a target's action and the other way round.
    void setWasClickedBlock(const ClickHandler &handler);
    void setTarget(QObject *target, const ClickHandler &action);

    QString title() const { return text(); }
    void setTitle(const QString &title);
    QColor titleColor() const { return m_titleColor; }
    void setTitleColor(const QColor &color);
    std::optional<RQShadow> textShadow() const { return m_textShadow; }
    void setTextShadow(const std::optional<RQShadow> &shadow);
    AttributedTitle attributedTitle() const override;
    // The name assistive technologies read, in place of the title.
    void setAccessibilityTitle(const QString &title);

    // Toggle buttons: 0 off, 1 on; the button is drawn pressed while it is not 0.
    int state() const { return m_state; }
    void setState(int state);
    bool isHighlighted() const override;

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void configure();
    void lookUpHoverImage();
    void showHoverImage();
    void showDefaultImage();
    void wasClicked();
    void sendAction();
    void updateCursor();
    bool actsAsToggleOrTab() const { return m_toggleButton || m_tabButton; }

    bool m_toggleButton = false;
    bool m_tabButton = false;
    bool m_showsCursor = false;
    bool m_actionOnMouseDown = false;
    bool m_highlighted = false;
    bool m_pressedWithoutTracking = false;
    int m_state = 0;
    NamedImage m_image;
    NamedImage m_highlightedImage;
    NamedImage m_defaultImage;
    ClickHandler m_wasClickedBlock;
    QPointer<QObject> m_target;
    ClickHandler m_action;
    QColor m_titleColor;
    std::optional<RQShadow> m_textShadow;
};
