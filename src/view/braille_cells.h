#pragma once
#include <QString>
#include <cstddef>

class MinMaxPyramid;

// A channel over a run of rows drawn as a line of Unicode braille cells, for a braille
// display. The rows are cut into 2 x cells stretches of (nearly) equal length; each cell shows
// two neighbouring stretches, the left one in its left dot column (dots 7, 3, 2, 1 from bottom
// to top) and the right one in its right column (dots 8, 6, 5, 4). A stretch's dot stands at
// one of four heights: the middle of its lowest and highest value, scaled from the lowest to
// the highest value of all the rows. A flat run stays at the bottom; a stretch with no finite
// value has no dot. With fewer rows than stretches, each row is a stretch of its own.
namespace BrailleCells {

// The rows [first, first + count) cut into stretches for a line of `cells` cells.
struct Layout {
    int first = 0;
    int count = 0;
    int stretches = 0;

    Layout(int first, int count, int cells);
    int cells() const { return (stretches + 1) / 2; }
    // Rows [stretchStart(k), stretchStart(k + 1)) make up stretch k.
    int stretchStart(int k) const;
    // The cell whose stretches hold `row`; rows outside the run give the nearest cell.
    int cellOfRow(int row) const;
    // The row in the middle of a cell's two stretches (the cell is taken into the line).
    int middleRowOfCell(int cell) const;
};

// The line for `values` (the whole channel; only the layout's rows are read). With a summary
// of the same values the extremes of each stretch cost a few reads however long it is.
QString line(const double *values, const Layout &layout, const MinMaxPyramid *summary = nullptr);

// The cell with a dot at `leftLevel` and `rightLevel` (0 = bottom to 3 = top; -1 = no dot).
QChar cell(int leftLevel, int rightLevel);

} // namespace BrailleCells
