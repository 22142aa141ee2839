#include "tools/source_summary.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "spatialgeom/records.h"
#include "tools/command_line.h"
#include "tools/feature_source.h"
#include "tools/geometry_queries.h"
#include "tools/number_text.h"
#include "tools/record_outline.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

struct Totals {
    std::map<std::uint32_t, std::size_t> kinds;  // by type code
    std::size_t polygons = 0;
    std::size_t rings = 0;
    std::size_t lines = 0;
    std::size_t points = 0;
    std::size_t vertices = 0;
    std::uint64_t bytes = 0;
    bool ranged = false;
    DRange3d range{};
};

void add(Totals& totals, const void* record) {
    std::uint32_t type = 0;
    std::uint32_t bytes = 0;
    spatialWKB_getType(record, &type);
    spatialWKB_getSize(record, &bytes);
    ++totals.kinds[type];
    totals.bytes += bytes;
    const Outline outline = outlineOf(record);
    totals.vertices += outline.vertices.size();
    for (const Piece& piece : outline.pieces) {
        switch (piece.kind) {
            case PieceKind::kPolygon:
                ++totals.polygons;
                totals.rings += piece.runCount;
                break;
            case PieceKind::kLine: ++totals.lines; break;
            case PieceKind::kPoint: ++totals.points; break;
        }
    }
    DRange3d range;
    if (!geometryRange(record, &range)) return;
    if (!totals.ranged) {
        totals.range = range;
        totals.ranged = true;
        return;
    }
    totals.range.low = {std::min(totals.range.low.x, range.low.x), std::min(totals.range.low.y, range.low.y),
                        std::min(totals.range.low.z, range.low.z)};
    totals.range.high = {std::max(totals.range.high.x, range.high.x), std::max(totals.range.high.y, range.high.y),
                         std::max(totals.range.high.z, range.high.z)};
}

std::string formatPoint(const DPoint3d& p) { return numberText(p.x) + " " + numberText(p.y) + " " + numberText(p.z); }

}  // namespace

bool namesSource(const std::string& argument) {
    if (argument == "-") return false;
    if (isHexLinesPath(argument) || hasExtension(argument, ".wkt")) return true;
    std::error_code ignored;
    return std::filesystem::exists(argument, ignored);
}

int printSourceSummary(const std::string& path, const std::string& layer) {
    const Features features = loadFeatures(path, layer, defaultThreadCount());
    reportSkippedFeatures(features);
    Totals totals;
    std::size_t read = 0;
    for (const RecordPtr& record : features.records) {
        if (!record) continue;
        ++read;
        add(totals, record.get());
    }
    std::printf("source: %s\n", path.c_str());
    if (!features.lines) std::printf("layer: %s\n", features.layer.c_str());
    std::printf("geometries: %zu\nskipped: %zu\n", read, features.skipped.size());
    for (const auto& [type, count] : totals.kinds) std::printf("%s: %zu\n", kindName(type), count);
    std::printf("polygons: %zu\nrings: %zu\nlines: %zu\npoints: %zu\nvertices: %zu\nbytes: %llu\n", totals.polygons,
                totals.rings, totals.lines, totals.points, totals.vertices,
                static_cast<unsigned long long>(totals.bytes));
    if (totals.ranged) {
        std::printf("range: %s .. %s\n", formatPoint(totals.range.low).c_str(), formatPoint(totals.range.high).c_str());
    } else {
        std::printf("range: none\n");
    }
    return features.skipped.empty() ? kExitSuccess : kExitBadInput;
}

}  // namespace spatialgeom::tool
