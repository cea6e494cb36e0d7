#pragma once

#include "controls/AttributedTitle.h"
#include "platform/gui/NamedImage.h"

#include <QPushButton>
#include <QStyleOptionButton>

#include <memory>

class RQButtonCell;

// A push button that paints through a cell, which draws its bezel, its interior (image and
// title) and its focus ring. Interface files pick the cell by the cellClass property; the
// standard cell draws as the style does. Space presses the button, Return presses a default
// button, and Tab reaches it.
class CellButton : public QPushButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CellButton)
    Q_PROPERTY(QString cellClass READ cellClass WRITE setCellClass)
    Q_PROPERTY(int bezelStyle READ bezelStyle WRITE setBezelStyle)
    Q_PROPERTY(int tag READ tag WRITE setTag)

public:
    explicit CellButton(QWidget *parent = nullptr);
    ~CellButton() override;

    // The class name of the cell; an unknown name gives the standard cell.
    QString cellClass() const { return m_cellClass; }
    void setCellClass(const QString &className);
    const RQButtonCell &cell() const { return *m_cell; }

    // The look asked of the cell (1 rounded push button, 11 textured square button, ...).
    int bezelStyle() const { return m_bezelStyle; }
    void setBezelStyle(int style);
    int tag() const { return m_tag; }
    void setTag(int tag);

    // Drawn pressed: while the mouse holds the button down, or as a subclass decides.
    virtual bool isHighlighted() const;
    virtual NamedImage image() const;
    virtual AttributedTitle attributedTitle() const;
    // The style's description of the button as it should be drawn now.
    QStyleOptionButton styleOption() const;

protected:
    void setCell(std::unique_ptr<RQButtonCell> cell);
    RQButtonCell &mutableCell() { return *m_cell; }
    // How opaque the whole button is drawn while disabled.
    void setDisabledOpacity(qreal opacity);

    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    std::unique_ptr<RQButtonCell> m_cell;
    QString m_cellClass;
    int m_bezelStyle = 0;
    int m_tag = 0;
    qreal m_disabledOpacity = 1;
};
