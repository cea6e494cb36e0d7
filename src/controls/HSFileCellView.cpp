#include "controls/HSFileCellView.h"

#include "controls/ResultRoles.h"
#include "controls/ResultRowStyle.h"
#include "controls/ResultsNotifications.h"
#include "controls/ResultsTableColors.h"
#include "foundation/RQMemoryFormatter.h"
#include "platform/NotificationCenter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QWidget>

namespace {

constexpr int margin = 8;
constexpr int boxSize = 16;
constexpr int buttonSize = 16;
constexpr int sizeWidth = 90;

bool isDark(const QStyleOptionViewItem &option)
{
    return option.state.testFlag(QStyle::State_Selected) && option.state.testFlag(QStyle::State_Active)
        && (!option.widget || option.widget->hasFocus());
}

} // namespace

HSFileCellView::HSFileCellView(Parts parts, QObject *parent)
    : QStyledItemDelegate(parent), m_parts(parts)
{
}

QRect HSFileCellView::checkBoxRect(const QRect &row) const
{
    if (!m_parts.testFlag(CheckBox))
        return {};
    const int x = m_parts.testFlag(Texts) ? row.x() + margin : row.x() + (row.width() - boxSize) / 2;
    return {x, row.y() + (row.height() - boxSize) / 2, boxSize, boxSize};
}

QRect HSFileCellView::revealButtonRect(const QRect &row) const
{
    if (!m_parts.testFlag(RevealButton))
        return {};
    return {row.right() + 1 - margin - buttonSize, row.bottom() + 1 - 8 - buttonSize, buttonSize, buttonSize};
}

QRect HSFileCellView::sizeRect(const QRect &row) const
{
    return {row.right() + 1 - margin - sizeWidth, row.y() + 4, sizeWidth, 18};
}

QRect HSFileCellView::nameRect(const QRect &row) const
{
    const int left = m_parts.testFlag(CheckBox) ? checkBoxRect(row).right() + 1 + margin : row.x() + margin;
    return {left, row.y() + 4, sizeRect(row).x() - margin - left, 18};
}

QRect HSFileCellView::subtitleRect(const QRect &row) const
{
    const QRect name = nameRect(row);
    return {name.x(), name.bottom() + 1, name.width(), 16};
}

QRect HSFileCellView::pathRect(const QRect &row) const
{
    const QRect subtitle = subtitleRect(row);
    const int right = m_parts.testFlag(RevealButton) ? revealButtonRect(row).x() - margin : row.right() - margin;
    return {subtitle.x(), subtitle.bottom() + 1, right - subtitle.x(), 16};
}

void HSFileCellView::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const
{
    painter->save();
    if (option.state.testFlag(QStyle::State_Selected)) {
        painter->fillRect(option.rect, isDark(option) ? option.palette.color(QPalette::Active, QPalette::Highlight)
                                                      : vxTableViewColor_secondarySelection());
    }
    if (m_parts.testFlag(CheckBox))
        paintCheckBox(*painter, option, index);
    if (m_parts.testFlag(Texts))
        paintTexts(*painter, option, index);
    if (m_parts.testFlag(RevealButton))
        paintRevealButton(*painter, revealButtonRect(option.rect), isDark(option));
    painter->restore();
}

void HSFileCellView::paintCheckBox(QPainter &painter, const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const
{
    const bool hasIssue = index.data(FileRowRoles::HasIssueRole).toBool();
    const bool covered = isCovered(index);
    QStyleOptionButton box;
    box.rect = checkBoxRect(option.rect);
    // The box of a file that cannot be removed, or that goes with its ticked folder, is drawn
    // in the disabled colours; the covered one half ticked, as the folder decides for it.
    box.palette = option.palette;
    if (hasIssue || covered)
        box.palette.setCurrentColorGroup(QPalette::Disabled);
    box.state = QStyle::State_Active;
    box.state |= hasIssue || covered ? QStyle::State_None : QStyle::State_Enabled;
    if (covered)
        box.state |= QStyle::State_NoChange;
    else
        box.state |= index.data(FileRowRoles::IsSelectedRole).toBool() ? QStyle::State_On : QStyle::State_Off;
    QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_CheckBox, &box, &painter, option.widget);
}

void HSFileCellView::paintTexts(QPainter &painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const
{
    static const RQMemoryFormatter formatter;
    const bool hasIssue = index.data(FileRowRoles::HasIssueRole).toBool();
    // The issue's grey wins over the selected row's white.
    QColor name = isDark(option) ? QColor(Qt::white) : vx_resultRowNameColor();
    QColor other = isDark(option) ? QColor(Qt::white) : vx_resultRowSubtitleColor();
    if (hasIssue)
        name = other = option.palette.color(QPalette::Disabled, QPalette::Text);

    QFont nameFont = vx_resultRowFont(12, true);
    nameFont.setStrikeOut(hasIssue);
    painter.setFont(nameFont);
    painter.setPen(name);
    const QRect nameArea = nameRect(option.rect);
    painter.drawText(nameArea, Qt::AlignLeft | Qt::AlignVCenter,
                     elidedPath(index.data(FileRowRoles::FileNameRole).toString(), painter.fontMetrics(),
                                nameArea.width()));

    painter.setFont(vx_resultRowFont(10, false));
    painter.setPen(other);
    const QRect subtitleArea = subtitleRect(option.rect);
    // A failure's reason may take the path's line as well; the whole text is in the tip.
    const int lines = hasIssue ? 2 : 1;
    const QStringList subtitle = wrappedLines(index.data(FileRowRoles::CreationDateTextRole).toString(),
                                              painter.fontMetrics(), subtitleArea.width(), lines);
    for (qsizetype line = 0; line < subtitle.size(); ++line)
        painter.drawText(subtitleArea.translated(0, int(line) * subtitleArea.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         subtitle[line]);
    const QRect pathArea = pathRect(option.rect);
    painter.drawText(pathArea, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(index.data(FileRowRoles::FolderPathRole).toString(),
                                                      Qt::ElideMiddle, pathArea.width()));
    painter.drawText(sizeRect(option.rect), Qt::AlignRight | Qt::AlignVCenter,
                     formatter.stringFromBytes(index.data(FileRowRoles::FileSizeRole).toDouble()));
}

QString HSFileCellView::elidedPath(const QString &path, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    const qsizetype slash = path.lastIndexOf(u'/', path.size() - 2);
    const QString name = slash < 0 ? path : path.mid(slash);
    const int folderWidth = width - metrics.horizontalAdvance(name);
    if (slash <= 0 || folderWidth < metrics.horizontalAdvance(QChar(0x2026)))
        return metrics.elidedText(path.mid(slash < 0 ? 0 : slash + 1), Qt::ElideMiddle, width);
    return metrics.elidedText(path.left(slash), Qt::ElideMiddle, folderWidth) + name;
}

QStringList HSFileCellView::wrappedLines(const QString &text, const QFontMetrics &metrics, int width, int maxLines)
{
    QStringList lines;
    QString rest = text.trimmed();
    while (!rest.isEmpty() && lines.size() < maxLines - 1) {
        if (metrics.horizontalAdvance(rest) <= width)
            break;
        // The longest run of whole words that fits; a word wider than the line stays for the
        // last line's elision.
        qsizetype end = -1;
        for (qsizetype space = rest.indexOf(u' '); space > 0; space = rest.indexOf(u' ', space + 1)) {
            if (metrics.horizontalAdvance(rest.left(space)) > width)
                break;
            end = space;
        }
        if (end < 0)
            break;
        lines.append(rest.left(end));
        rest = rest.mid(end + 1).trimmed();
    }
    if (!rest.isEmpty() || lines.isEmpty())
        lines.append(metrics.elidedText(rest, Qt::ElideRight, width));
    return lines;
}

void HSFileCellView::paintRevealButton(QPainter &painter, const QRect &button, bool dark)
{
    // A round button with an arrow pointing at the file's place.
    const QColor ink = dark ? QColor(Qt::white) : QColor(0x8a, 0x93, 0x9e);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawEllipse(QRectF(button).adjusted(0.5, 0.5, -0.5, -0.5));
    const QPointF centre = QRectF(button).center();
    QPainterPath arrow;
    arrow.moveTo(centre + QPointF(-3.5, -3.5));
    arrow.lineTo(centre + QPointF(3, 0));
    arrow.lineTo(centre + QPointF(-3.5, 3.5));
    painter.setPen(QPen(dark ? QColor(0x3b, 0x87, 0xcf) : QColor(Qt::white), 1.8, Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(arrow);
    painter.restore();
}

QSize HSFileCellView::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return {m_parts.testFlag(Texts) ? option.rect.width() : boxSize + 2 * margin, rowHeight};
}

bool HSFileCellView::isCovered(const QModelIndex &index)
{
    return !index.data(FileRowRoles::CoveringFolderRole).toString().isEmpty();
}

QModelIndex HSFileCellView::checkableIndex(const QModelIndex &index)
{
    if (index.flags().testFlag(Qt::ItemIsUserCheckable))
        return index;
    const QModelIndex first = index.siblingAtColumn(0);
    return first.flags().testFlag(Qt::ItemIsUserCheckable) ? first : QModelIndex();
}

bool HSFileCellView::editorEvent(QEvent *event, QAbstractItemModel *model,
                                 const QStyleOptionViewItem &option, const QModelIndex &index)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease
        && type != QEvent::MouseButtonDblClick)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const QPoint at = mouse->position().toPoint();
    const bool inBox = checkBoxRect(option.rect).contains(at);
    const bool inButton = revealButtonRect(option.rect).contains(at);
    if (!inBox && !inButton)
        return false;
    // Presses on the box or the button neither select nor open the row.
    if (type != QEvent::MouseButtonRelease)
        return true;
    if (inBox) {
        const QModelIndex checkable = checkableIndex(index);
        if (checkable.isValid() && !index.data(FileRowRoles::HasIssueRole).toBool() && !isCovered(index)) {
            const bool ticked = index.data(FileRowRoles::IsSelectedRole).toBool();
            model->setData(checkable, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        }
    } else {
        const QVariant file = index.data(FileRowRoles::FileRole);
        if (file.isValid())
            NotificationCenter::defaultCenter().post(RQShowInFinderNotification, nullptr,
                                                     {{RQShowInFinderFileKey, file}});
    }
    return true;
}
