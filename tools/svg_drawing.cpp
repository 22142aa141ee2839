#include "tools/svg_drawing.h"

#include <algorithm>
#include <array>
#include <limits>

#include "tools/number_text.h"
#include "tools/record_outline.h"

namespace spatialgeom::tool {
namespace {

constexpr std::array<const char*, 6> kLayerColours = {"#4477aa", "#228833", "#ccbb44", "#66ccee", "#aa3377", "#bbbbbb"};
constexpr const char* kHighlightColour = "#ee3333";

// 10 significant digits are plenty for a picture.
std::string number(double value) { return numberText(value, 10); }

std::string escapeXml(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

// SVG's y axis points down: y is negated so that the picture has y up
// (adding 0 turns -0 into 0).
double svgY(double y) { return -y + 0.0; }
std::string svgPoint(const DPoint3d& p) { return number(p.x) + " " + number(svgY(p.y)); }

std::string pathData(const Outline& outline, const Piece& piece, bool closed) {
    std::string data;
    for (std::uint32_t r = piece.firstRun; r < piece.firstRun + piece.runCount; ++r) {
        const VertexRun& run = outline.runs[r];
        for (std::uint32_t v = 0; v < run.count; ++v) {
            data += (v == 0 ? "M" : "L") + svgPoint(outline.vertices[run.first + v]) + " ";
        }
        if (closed && run.count > 0) data += "Z ";
    }
    return data;
}

struct Extent {
    double minX = std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();

    void add(const DPoint3d& p) {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    bool empty() const { return minX > maxX; }
    // The larger side; 1 for a picture of one point or of nothing.
    double size() const {
        const double side = empty() ? 0.0 : std::max(maxX - minX, maxY - minY);
        return side > 0.0 ? side : 1.0;
    }
};

void writeGeometry(std::FILE* out, const DrawnGeometry& geometry, const Outline& outline, double dotRadius) {
    const char* colour = geometry.highlighted ? kHighlightColour : kLayerColours[geometry.layer % kLayerColours.size()];
    std::string element = "<g fill=\"" + std::string(colour) + "\" stroke=\"" + colour + "\"><title>" +
                          escapeXml(geometry.title) + "</title>";
    for (const Piece& piece : outline.pieces) {
        switch (piece.kind) {
            case PieceKind::kPolygon:
                element += "<path class=\"polygon\" d=\"" + pathData(outline, piece, true) + "\"/>";
                break;
            case PieceKind::kLine:
                element += "<path class=\"line\" d=\"" + pathData(outline, piece, false) + "\"/>";
                break;
            case PieceKind::kPoint: {
                const DPoint3d& p = outline.vertices[outline.runs[piece.firstRun].first];
                element += "<circle cx=\"" + number(p.x) + "\" cy=\"" + number(svgY(p.y)) + "\" r=\"" +
                           number(dotRadius) + "\"/>";
                break;
            }
        }
    }
    element += "</g>\n";
    std::fputs(element.c_str(), out);
}

}  // namespace

void writeSvg(std::FILE* out, const std::vector<DrawnGeometry>& geometries) {
    std::vector<Outline> outlines;
    outlines.reserve(geometries.size());
    Extent extent;
    for (const DrawnGeometry& geometry : geometries) {
        outlines.push_back(outlineOf(geometry.record));
        for (const DPoint3d& p : outlines.back().vertices) extent.add(p);
    }
    const double margin = 0.05 * extent.size();
    const double left = extent.empty() ? 0.0 : extent.minX - margin;
    const double top = extent.empty() ? 0.0 : svgY(extent.maxY) - margin;
    const double width = (extent.empty() ? 0.0 : extent.maxX - extent.minX) + 2 * margin;
    const double height = (extent.empty() ? 0.0 : extent.maxY - extent.minY) + 2 * margin;

    // Strokes in user units, a fixed share of the picture: renderers
    // disagree on non-scaling strokes.
    std::fprintf(out,
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800\" height=\"%s\" viewBox=\"%s %s %s %s\">\n"
                 "<style>path,circle{stroke-width:%s;stroke-linejoin:round}"
                 ".polygon{fill-rule:evenodd;fill-opacity:0.35}.line{fill:none}</style>\n",
                 number(std::max(1.0, std::min(8000.0, 800.0 * height / width))).c_str(), number(left).c_str(),
                 number(top).c_str(), number(width).c_str(), number(height).c_str(),
                 number(0.002 * extent.size()).c_str());
    // Highlighted geometries last, so that they are drawn on top.
    for (bool highlighted : {false, true}) {
        for (std::size_t i = 0; i < geometries.size(); ++i) {
            if (geometries[i].highlighted == highlighted) {
                writeGeometry(out, geometries[i], outlines[i], 0.004 * extent.size());
            }
        }
    }
    std::fputs("</svg>\n", out);
}

}  // namespace spatialgeom::tool
