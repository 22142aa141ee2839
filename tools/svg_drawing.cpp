#include "tools/svg_drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "tools/number_text.h"
#include "tools/record_outline.h"

namespace spatialgeom::tool {
namespace {

constexpr std::array<const char*, 6> kLayerColours = {"#4477aa", "#228833", "#ccbb44", "#66ccee", "#aa3377", "#bbbbbb"};
constexpr const char* kHighlightColour = "#ee3333";

// The page, in pixels: the drawing's square and what surrounds it.
constexpr double kPlotSide = 710.0;
constexpr double kLeft = 70.0;  // room for the y labels
constexpr double kRight = 20.0;
constexpr double kTop = 20.0;
constexpr double kTitleHeight = 30.0;
constexpr double kBelowPlot = 60.0;  // the x labels and the scale bar
constexpr double kLegendRow = 22.0;
constexpr double kPageWidth = kLeft + kPlotSide + kRight;

const char* layerColour(std::uint32_t layer) { return kLayerColours[layer % kLayerColours.size()]; }

// Pixels need no more than 7 digits; labels 6.
std::string pixels(double value) { return numberText(value, 7); }
std::string label(double value) { return numberText(value, 6); }

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
        return side > 0.0 && std::isfinite(side) ? side : 1.0;
    }
};

// From data coordinates to the page: the extent with a 5 % margin, scaled
// to fit the plot square, y up.
struct PageMap {
    double left = 0.0;   // data x at the plot's left side
    double top = 0.0;    // data y at the plot's top side
    double scale = 1.0;  // pixels per data unit
    double plotX = kLeft;
    double plotY = kTop;
    double plotWidth = kPlotSide;
    double plotHeight = kPlotSide;

    PageMap(const Extent& extent, double plotTop) : plotY(plotTop) {
        const double margin = 0.05 * extent.size();
        const double centreX = extent.empty() ? 0.0 : extent.minX / 2 + extent.maxX / 2;
        const double centreY = extent.empty() ? 0.0 : extent.minY / 2 + extent.maxY / 2;
        const double width = (extent.empty() ? 0.0 : extent.maxX - extent.minX) + 2 * margin;
        const double height = (extent.empty() ? 0.0 : extent.maxY - extent.minY) + 2 * margin;
        scale = kPlotSide / std::max(width, height);
        if (!std::isfinite(scale) || scale <= 0.0) scale = 1.0;
        plotWidth = std::clamp(width * scale, 1.0, kPlotSide);
        plotHeight = std::clamp(height * scale, 1.0, kPlotSide);
        left = centreX - plotWidth / scale / 2;
        top = centreY + plotHeight / scale / 2;
    }
    double x(double dataX) const { return plotX + (dataX - left) * scale + 0.0; }
    double y(double dataY) const { return plotY + (top - dataY) * scale + 0.0; }
    double right() const { return left + plotWidth / scale; }
    double bottom() const { return top - plotHeight / scale; }
    std::string point(const DPoint3d& p) const { return pixels(x(p.x)) + " " + pixels(y(p.y)); }
};

std::string pathData(const PageMap& page, const Outline& outline, const Piece& piece, bool closed) {
    std::string data;
    for (std::uint32_t r = piece.firstRun; r < piece.firstRun + piece.runCount; ++r) {
        const VertexRun& run = outline.runs[r];
        for (std::uint32_t v = 0; v < run.count; ++v) {
            data += v == 0 ? 'M' : 'L';
            data += page.point(outline.vertices[run.first + v]);
            data += ' ';
        }
        if (closed && run.count > 0) data += "Z ";
    }
    return data;
}

void writeGeometry(std::FILE* out, const PageMap& page, const DrawnGeometry& geometry, const Outline& outline) {
    const char* colour = geometry.highlighted ? kHighlightColour : layerColour(geometry.layer);
    std::string element = "<g fill=\"" + std::string(colour) + "\" stroke=\"" + colour + "\"><title>" +
                          escapeXml(geometry.title) + "</title>";
    for (const Piece& piece : outline.pieces) {
        switch (piece.kind) {
            case PieceKind::kPolygon:
                element += "<path class=\"polygon\" d=\"" + pathData(page, outline, piece, true) + "\"/>";
                break;
            case PieceKind::kLine:
                element += "<path class=\"line\" d=\"" + pathData(page, outline, piece, false) + "\"/>";
                break;
            case PieceKind::kPoint: {
                const DPoint3d& p = outline.vertices[outline.runs[piece.firstRun].first];
                element += "<circle cx=\"" + pixels(page.x(p.x)) + "\" cy=\"" + pixels(page.y(p.y)) + "\" r=\"3\"/>";
                break;
            }
        }
    }
    element += "</g>\n";
    std::fputs(element.c_str(), out);
}

std::string text(double x, double y, const char* anchor, const std::string& content) {
    return "<text x=\"" + pixels(x) + "\" y=\"" + pixels(y) + "\" text-anchor=\"" + anchor + "\">" +
           escapeXml(content) + "</text>\n";
}

std::string line(double x1, double y1, double x2, double y2) {
    return "<line x1=\"" + pixels(x1) + "\" y1=\"" + pixels(y1) + "\" x2=\"" + pixels(x2) + "\" y2=\"" + pixels(y2) +
           "\"/>\n";
}

// The frame around the plot, its corners' coordinates, and the scale bar.
void writeFrameAndScale(std::FILE* out, const PageMap& page) {
    const double x0 = page.plotX, y0 = page.plotY;
    const double x1 = x0 + page.plotWidth, y1 = y0 + page.plotHeight;
    std::string frame = "<g class=\"frame\">\n<rect class=\"frame\" x=\"" + pixels(x0) + "\" y=\"" + pixels(y0) +
                        "\" width=\"" + pixels(page.plotWidth) + "\" height=\"" + pixels(page.plotHeight) + "\"/>\n";
    frame += text(x0, y1 + 16, "start", label(page.left));
    frame += text(x1, y1 + 16, "end", label(page.right()));
    frame += text(x0 - 6, y1, "end", label(page.bottom()));
    frame += text(x0 - 6, y0 + 10, "end", label(page.top));
    frame += text((x0 + x1) / 2, y1 + 16, "middle", "x");
    frame += text(x0 - 6, (y0 + y1) / 2, "end", "y");
    frame += "</g>\n";

    // About a quarter of the plot's width, at most.
    const double length = scaleBarLength(page.plotWidth / 4 / page.scale);
    const double barPixels = length * page.scale;
    const double barY = y1 + 40;
    frame += "<g class=\"scale\">\n" + line(x1 - barPixels, barY, x1, barY) +
             line(x1 - barPixels, barY - 5, x1 - barPixels, barY + 5) + line(x1, barY - 5, x1, barY + 5);
    frame += text(x1 - barPixels / 2, barY - 6, "middle", label(length));
    frame += "</g>\n";
    std::fputs(frame.c_str(), out);
}

void writeLegend(std::FILE* out, const SvgCaptions& captions, double top) {
    std::string legend = "<g class=\"legend\">\n";
    auto entry = [&](std::size_t row, const char* colour, const std::string& name) {
        const double y = top + static_cast<double>(row) * kLegendRow;
        legend += "<rect x=\"" + pixels(kLeft) + "\" y=\"" + pixels(y) + "\" width=\"16\" height=\"16\" fill=\"" +
                  colour + "\" stroke=\"" + colour + "\"/>\n";
        legend += text(kLeft + 24, y + 13, "start", name);
    };
    for (std::size_t layer = 0; layer < captions.layerNames.size(); ++layer) {
        entry(layer, layerColour(static_cast<std::uint32_t>(layer)), captions.layerNames[layer]);
    }
    entry(captions.layerNames.size(), kHighlightColour, captions.highlightName);
    legend += "</g>\n";
    std::fputs(legend.c_str(), out);
}

}  // namespace

double scaleBarLength(double limit) {
    double power = std::pow(10.0, std::floor(std::log10(limit)));
    // log10 may round across a power of ten.
    if (power > limit) power /= 10;
    if (power * 10 <= limit) power *= 10;
    for (double step : {5.0, 2.0}) {
        if (step * power <= limit) return step * power;
    }
    return power;
}

void writeSvg(std::FILE* out, const std::vector<DrawnGeometry>& geometries, const SvgCaptions& captions) {
    std::vector<Outline> outlines;
    outlines.reserve(geometries.size());
    Extent extent;
    for (const DrawnGeometry& geometry : geometries) {
        outlines.push_back(outlineOf(geometry.record));
        for (const DPoint3d& p : outlines.back().vertices) extent.add(p);
    }
    const double plotTop = kTop + (captions.title.empty() ? 0.0 : kTitleHeight);
    const PageMap page(extent, plotTop);
    const double legendTop = plotTop + page.plotHeight + kBelowPlot;
    const double height = legendTop + static_cast<double>(captions.layerNames.size() + 1) * kLegendRow + 10;

    std::fprintf(out,
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%s\" height=\"%s\" viewBox=\"0 0 %s %s\">\n"
                 "<style>path,circle{stroke-width:1.5;stroke-linejoin:round}"
                 ".polygon{fill-rule:evenodd;fill-opacity:0.35}.line{fill:none}"
                 "text{font-family:sans-serif;font-size:12px;fill:#333333}"
                 ".title{font-size:18px}"
                 "rect.frame{fill:none;stroke:#aaaaaa;stroke-width:1}"
                 ".scale line{stroke:#333333;stroke-width:1.5}"
                 ".legend rect{fill-opacity:0.35;stroke-width:1.5}</style>\n",
                 pixels(kPageWidth).c_str(), pixels(height).c_str(), pixels(kPageWidth).c_str(),
                 pixels(height).c_str());
    if (!captions.title.empty()) {
        const std::string title = "<text class=\"title\" x=\"" + pixels(kPageWidth / 2) + "\" y=\"" +
                                  pixels(kTop + 18) + "\" text-anchor=\"middle\">" + escapeXml(captions.title) +
                                  "</text>\n";
        std::fputs(title.c_str(), out);
    }
    writeFrameAndScale(out, page);
    // Highlighted geometries last, so that they are drawn on top.
    for (bool highlighted : {false, true}) {
        for (std::size_t i = 0; i < geometries.size(); ++i) {
            if (geometries[i].highlighted == highlighted) writeGeometry(out, page, geometries[i], outlines[i]);
        }
    }
    writeLegend(out, captions, legendTop);
    std::fputs("</svg>\n", out);
}

}  // namespace spatialgeom::tool
