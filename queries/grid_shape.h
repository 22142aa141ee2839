// The shape of a uniform grid over a rectangle of two axes: how many
// columns and rows, and the cell of a coordinate on each axis. Shared by
// the grids that index segments (segment_grid.h, planar_pairs.h).
#pragma once

#include <cstdint>

namespace spatialgeom {

struct GridShape {
    std::uint32_t columns = 1, rows = 1;
    double uExtent = 0.0, vExtent = 0.0;  // of the rectangle
    double uScale = 0.0, vScale = 0.0;    // cells per unit; 0 on an axis of one cell

    // About cells cells (at least one), about square; an axis without a
    // positive finite extent gets a single cell.
    static GridShape forCells(std::uint32_t cells, double uExtent, double vExtent);
    // Half the columns and half the rows (at least one each), same rectangle.
    GridShape coarser() const;
    bool single() const { return columns == 1 && rows == 1; }

    // The cell of x on an axis of count cells starting at origin, clamped
    // to the grid without branches; NaN goes to cell 0.
    static std::uint32_t slot(double x, double origin, double scale, std::uint32_t count) {
        const double f = (x - origin) * scale, last = count - 1;
        return static_cast<std::uint32_t>(f > 0.0 ? (f < last ? f : last) : 0.0);
    }
};

}  // namespace spatialgeom
