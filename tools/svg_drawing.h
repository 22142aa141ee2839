// Drawing geometries as an SVG picture, projected on the XY plane (y up):
// polygons filled with their holes left open (even-odd rule), lines as
// strokes, points as dots. Each input file gets its own colour; geometries
// marked as highlighted are drawn in red over the others.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace spatialgeom::tool {

struct DrawnGeometry {
    const void* record;
    std::string title;    // shown by viewers as a tooltip, e.g. "a.wkt:3"
    std::uint32_t layer;  // chooses the colour (the input file)
    bool highlighted;
};

// Writes a complete, well-formed SVG document to out.
void writeSvg(std::FILE* out, const std::vector<DrawnGeometry>& geometries);

}  // namespace spatialgeom::tool
