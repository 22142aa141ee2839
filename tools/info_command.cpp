// spatialgeom info [WKT|-]: kind, counts, record size and 3D range.
// spatialgeom info SOURCE [--layer NAME]: the same summed over a source.
#include <cstdio>

#include "spatialgeom/records.h"
#include "tools/commands.h"
#include "tools/geometry_queries.h"
#include "tools/input_text.h"
#include "tools/number_text.h"
#include "tools/record_outline.h"
#include "tools/source_summary.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

struct Counts {
    std::size_t polygons = 0;
    std::size_t rings = 0;
    std::size_t lines = 0;
    std::size_t points = 0;
};

Counts countPieces(const Outline& outline) {
    Counts counts;
    for (const Piece& piece : outline.pieces) {
        switch (piece.kind) {
            case PieceKind::kPolygon:
                ++counts.polygons;
                counts.rings += piece.runCount;
                break;
            case PieceKind::kLine: ++counts.lines; break;
            case PieceKind::kPoint: ++counts.points; break;
        }
    }
    return counts;
}

std::string formatPoint(const DPoint3d& p) { return numberText(p.x) + " " + numberText(p.y) + " " + numberText(p.z); }

}  // namespace

int runInfo(CommandLine& arguments) {
    std::string layer;
    if (arguments.takeFlag("--layer")) layer = arguments.takeValue("--layer");
    const std::string_view source = arguments.done() ? "-" : arguments.takePositional();
    if (layer.empty() && arguments.takeFlag("--layer")) layer = arguments.takeValue("--layer");
    arguments.expectNoMore();
    if (namesSource(std::string(source))) return printSourceSummary(std::string(source), layer);
    if (!layer.empty()) throw usageError("--layer names a layer of a data source, not of WKT text");
    const RecordPtr record = geometryFromArgument(source);

    std::uint32_t type = 0;
    std::uint32_t bytes = 0;
    spatialWKB_getType(record.get(), &type);
    spatialWKB_getSize(record.get(), &bytes);
    const Outline outline = outlineOf(record.get());
    const Counts counts = countPieces(outline);

    std::printf("kind: %s\n", kindName(type));
    if (type == SPATIAL_TYPE_COLLECTION) std::printf("members: %u\n", outline.collectionMembers);
    std::printf("polygons: %zu\nrings: %zu\nlines: %zu\npoints: %zu\nvertices: %zu\nbytes: %u\n", counts.polygons,
                counts.rings, counts.lines, counts.points, outline.vertices.size(), bytes);
    DRange3d range;
    if (geometryRange(record.get(), &range)) {
        std::printf("range: %s .. %s\n", formatPoint(range.low).c_str(), formatPoint(range.high).c_str());
    } else {
        std::printf("range: none\n");
    }
    return kExitSuccess;
}

}  // namespace spatialgeom::tool
