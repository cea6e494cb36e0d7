#pragma once

#include <QStyledItemDelegate>

// Paints one file from the roles of FileRowRoles: a tick box, the name, the creation date,
// the parent folder, the size and a reveal button, or only some of these. A click on the box
// sets Qt::CheckStateRole on the row's checkable index, so the tick goes through the model
// (which tells everyone); a click on the reveal button posts "RQShowInFinder" with the file.
// A file with an issue is greyed and struck through, and its box does not take clicks; nor does
// the box of a file inside a ticked folder, drawn half ticked and greyed.
class HSFileCellView final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum Part {
        CheckBox = 0x1,
        Texts = 0x2,
        RevealButton = 0x4,
    };
    Q_DECLARE_FLAGS(Parts, Part)

    static constexpr int rowHeight = 58;

    explicit HSFileCellView(Parts parts, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(HSFileCellView)

    Parts parts() const { return m_parts; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    QRect checkBoxRect(const QRect &row) const;
    QRect nameRect(const QRect &row) const;
    QRect subtitleRect(const QRect &row) const;
    QRect pathRect(const QRect &row) const;
    QRect sizeRect(const QRect &row) const;
    QRect revealButtonRect(const QRect &row) const;

    // The path in the width, its folder part elided in the middle and its last component kept
    // whole; only a last component wider than the width itself is elided.
    static QString elidedPath(const QString &path, const QFontMetrics &metrics, int width);
    // The text broken at word ends into at most maxLines lines of the width; the last one is
    // elided at its end when text is left over.
    static QStringList wrappedLines(const QString &text, const QFontMetrics &metrics, int width, int maxLines);

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    void paintCheckBox(QPainter &painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    void paintTexts(QPainter &painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    static void paintRevealButton(QPainter &painter, const QRect &button, bool dark);
    static QModelIndex checkableIndex(const QModelIndex &index);
    // The file lies in a ticked folder, which takes it along whatever its own tick says.
    static bool isCovered(const QModelIndex &index);

    Parts m_parts;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(HSFileCellView::Parts)
