#include "tools/record_outline.h"

#include <cstdint>

#include "spatialgeom/records.h"
#include "tools/collection_members.h"

namespace spatialgeom::tool {
namespace {

class OutlineBuilder {
public:
    explicit OutlineBuilder(Outline* outline) : outline_(*outline) {}

    static std::int32_t visitRun(void* context, const SpatialVertexRun* run) {
        static_cast<OutlineBuilder*>(context)->addRun(*run);
        return 0;
    }

private:
    void addRun(const SpatialVertexRun& run) {
        if (run.elementType == SPATIAL_TYPE_POINT) {  // one piece per point
            for (std::uint32_t k = 0; k < run.count; ++k) {
                beginPiece(PieceKind::kPoint);
                beginRun();
                appendVertices(run.vertices + k, 1);
            }
            return;
        }
        // A line: one run per subline. A polygon: one run per ring, its
        // sublines joined.
        const bool isLine = run.elementType == SPATIAL_TYPE_LINESTRING;
        const bool newElement = !inElement_ || run.element != element_;
        if (newElement) beginPiece(isLine ? PieceKind::kLine : PieceKind::kPolygon);
        if (isLine || newElement || run.ring != ring_) beginRun();
        appendVertices(run.vertices, run.count);
        inElement_ = true;
        element_ = run.element;
        ring_ = run.ring;
    }

    void beginPiece(PieceKind kind) {
        outline_.pieces.push_back({kind, static_cast<std::uint32_t>(outline_.runs.size()), 0});
    }

    void beginRun() {
        outline_.runs.push_back({static_cast<std::uint32_t>(outline_.vertices.size()), 0});
        ++outline_.pieces.back().runCount;
    }

    void appendVertices(const DPoint3d* vertices, std::uint32_t count) {
        outline_.vertices.insert(outline_.vertices.end(), vertices, vertices + count);
        outline_.runs.back().count += count;
    }

    Outline& outline_;
    bool inElement_ = false;  // element_ and ring_ are those of the last line or polygon run
    std::uint32_t element_ = 0;
    std::uint32_t ring_ = 0;
};

}  // namespace

Outline outlineOf(const void* record) {
    Outline outline;
    OutlineBuilder builder(&outline);
    spatialWKB_forEachVertexRun(record, OutlineBuilder::visitRun, &builder);
    everyMember(record, [&](const void*) {  // collections only
        ++outline.collectionMembers;
        return true;
    });
    return outline;
}

const char* kindName(std::uint32_t type) {
    switch (type) {
        case SPATIAL_TYPE_POINT: return "point";
        case SPATIAL_TYPE_LINESTRING: return "linestring";
        case SPATIAL_TYPE_POLYGON: return "polygon";
        case SPATIAL_TYPE_MULTIPOINT: return "multipoint";
        case SPATIAL_TYPE_MULTILINESTRING: return "multilinestring";
        case SPATIAL_TYPE_MULTIPOLYGON: return "multipolygon";
        case SPATIAL_TYPE_COLLECTION: return "geometrycollection";
        default: return "unknown";
    }
}

}  // namespace spatialgeom::tool
