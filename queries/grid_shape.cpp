#include "queries/grid_shape.h"

#include <algorithm>
#include <cmath>

namespace spatialgeom {
namespace {

bool spread(double extent) { return extent > 0.0 && std::isfinite(extent); }

// The scales of shape's columns and rows over its extents.
GridShape scaled(GridShape shape) {
    shape.uScale = shape.columns > 1 ? shape.columns / shape.uExtent : 0.0;
    shape.vScale = shape.rows > 1 ? shape.rows / shape.vExtent : 0.0;
    return shape;
}

}  // namespace

GridShape GridShape::forCells(std::uint32_t cells, double uExtent, double vExtent) {
    GridShape shape;
    shape.uExtent = uExtent;
    shape.vExtent = vExtent;
    const std::uint32_t n = std::max<std::uint32_t>(1, cells);
    if (spread(uExtent) && spread(vExtent)) {
        const double ideal = std::sqrt(n * (uExtent / vExtent));
        shape.columns = static_cast<std::uint32_t>(std::clamp(std::round(ideal), 1.0, double(n)));
        shape.rows = std::max<std::uint32_t>(1, n / shape.columns);
    } else if (spread(uExtent)) {
        shape.columns = n;
    } else if (spread(vExtent)) {
        shape.rows = n;
    }
    return scaled(shape);
}

GridShape GridShape::coarser() const {
    GridShape shape = *this;
    shape.columns = std::max<std::uint32_t>(1, columns / 2);
    shape.rows = std::max<std::uint32_t>(1, rows / 2);
    return scaled(shape);
}

}  // namespace spatialgeom
