#include "controls/CellButton.h"

#include "controls/RQButtonCell.h"
#include "platform/gui/PainterPixelRatio.h"

#include <QEvent>
#include <QPainter>

CellButton::CellButton(QWidget *parent)
    : QPushButton(parent), m_cell(std::make_unique<RQButtonCell>())
{
}

CellButton::~CellButton() = default;

void CellButton::setCellClass(const QString &className)
{
    m_cellClass = className;
    setCell(RQButtonCell::cellNamed(className));
}

void CellButton::setCell(std::unique_ptr<RQButtonCell> cell)
{
    m_cell = cell ? std::move(cell) : std::make_unique<RQButtonCell>();
    update();
}

void CellButton::setBezelStyle(int style)
{
    m_bezelStyle = style;
    update();
}

void CellButton::setTag(int tag)
{
    m_tag = tag;
    update();
}

void CellButton::setDisabledOpacity(qreal opacity)
{
    m_disabledOpacity = opacity;
    update();
}

bool CellButton::isHighlighted() const
{
    return isDown();
}

NamedImage CellButton::image() const
{
    return {};
}

AttributedTitle CellButton::attributedTitle() const
{
    return {text(), font(), {}};
}

QStyleOptionButton CellButton::styleOption() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    if (isHighlighted())
        option.state |= QStyle::State_Sunken;
    if (const NamedImage shown = image(); !shown.isNull()) {
        QIcon icon;
        for (const qreal ratio : {1.0, 2.0})
            icon.addPixmap(shown.pixmap(shown.size(), ratio));
        option.icon = icon;
        option.iconSize = shown.size().toSize();
    }
    return option;
}

void CellButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // As the style's own painter does, so cells that leave the drawing to the style match it.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (isEnabled() || m_disabledOpacity >= 1) {
        m_cell->draw(painter, *this);
        return;
    }
    // The button fades as a whole, as one layer: its title stays white over its own face.
    const qreal ratio = painterPixelRatio(painter);
    QImage layer(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer);
        layerPainter.setRenderHint(QPainter::SmoothPixmapTransform);
        m_cell->draw(layerPainter, *this);
    }
    painter.setOpacity(m_disabledOpacity);
    painter.drawImage(QPointF(0, 0), layer);
}

void CellButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QPushButton::changeEvent(event);
}
