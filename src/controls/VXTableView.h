#pragma once

#include <QTableView>

#include <vector>

// A table that continues its rows' banded look into the empty space below them, so that a
// short list still fills its pane with bands.
class VXTableView final : public QTableView
{
    Q_OBJECT

public:
    explicit VXTableView(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(VXTableView)

    // The tops of the background bands for a clip that ends at clipBottom: h, 2h, ... up to
    // and including the first at or past clipBottom. The strip from 0 to h is the table's own.
    static std::vector<int> backgroundBandTops(int clipBottom, int rowHeight);
    // The tops of the bands that fill the space below the rows, whose last row ends at
    // rowsBottom: one behind the last row, then one per row height while above clipBottom.
    static std::vector<int> gridBandTops(int rowsBottom, int clipBottom, int rowHeight);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int rowsBottom() const;
};
