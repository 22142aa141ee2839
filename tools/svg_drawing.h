// Drawing geometries as an SVG picture, projected on the XY plane (y up):
// polygons filled with their holes left open (even-odd rule), lines as
// strokes, points as dots. Each input file gets its own colour; geometries
// marked as highlighted are drawn in red over the others. Around the
// drawing: an optional title, a light frame labelled with the coordinate
// range, a scale bar in the data's units and a legend naming each file's
// colour and the highlight's meaning.
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

struct SvgCaptions {
    std::string title;                    // above the drawing; none when empty
    std::vector<std::string> layerNames;  // the legend's entry of each layer
    std::string highlightName;            // the legend's entry of the highlight
};

// Writes a complete, well-formed SVG document to out. Coordinates are
// written in pixels (the drawing fits a 710-pixel square), so that
// renderers working in single precision draw far-off data as well as data
// near the origin.
void writeSvg(std::FILE* out, const std::vector<DrawnGeometry>& geometries, const SvgCaptions& captions);

// The scale bar's length: the largest 1, 2 or 5 times a power of ten that
// is at most limit (limit > 0 and finite).
double scaleBarLength(double limit);

}  // namespace spatialgeom::tool
