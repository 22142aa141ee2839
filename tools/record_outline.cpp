#include "tools/record_outline.h"

#include "records/navigation.h"

namespace spatialgeom::tool {
namespace {

class OutlineBuilder {
public:
    explicit OutlineBuilder(Outline* outline) : outline_(*outline) {}

    void addRecord(const Byte* record) {
        switch (recordType(record)) {
            case SPATIAL_TYPE_POINT: addPoint(*pointVertex(record)); break;
            case SPATIAL_TYPE_LINESTRING: addLine(lineBody(record)); break;
            case SPATIAL_TYPE_POLYGON: addPolygon(polygonBody(record)); break;
            case SPATIAL_TYPE_MULTIPOINT: addMultiPoint(record); break;
            case SPATIAL_TYPE_MULTILINESTRING:
                forEachSublineSeq(multiLineBody(record), [&](const Byte* line) { return addLine(line); });
                break;
            case SPATIAL_TYPE_MULTIPOLYGON:
                forEachPolygon(record, [&](const Byte* rings) { return addPolygon(rings); });
                break;
            case SPATIAL_TYPE_COLLECTION:
                forEachMember(record, [&](const Byte* member) {
                    ++outline_.collectionMembers;
                    addRecord(member);
                    return true;
                });
                break;
            default: break;
        }
    }

private:
    void addPoint(const DPoint3d& point) {
        beginPiece(PieceKind::kPoint);
        beginRun();
        outline_.vertices.push_back(point);
    }

    void addMultiPoint(const Byte* record) {
        const DPoint3d* points = multiPointVertices(record);
        for (std::uint32_t i = 0, n = bodyCount(record); i < n; ++i) addPoint(points[i]);
    }

    // A line: one run per subline.
    bool addLine(const Byte* seq) {
        beginPiece(PieceKind::kLine);
        forEachSubline(seq, [&](const Byte* subline) {
            beginRun();
            appendVertices(subline);
            return true;
        });
        return true;
    }

    // A polygon: one run per ring, the ring's sublines joined.
    bool addPolygon(const Byte* rings) {
        beginPiece(PieceKind::kPolygon);
        forEachSublineSeq(rings, [&](const Byte* ring) {
            beginRun();
            forEachSubline(ring, [&](const Byte* subline) {
                appendVertices(subline);
                return true;
            });
            return true;
        });
        return true;
    }

    void beginPiece(PieceKind kind) {
        outline_.pieces.push_back({kind, static_cast<std::uint32_t>(outline_.runs.size()), 0});
    }

    void beginRun() {
        outline_.runs.push_back({static_cast<std::uint32_t>(outline_.vertices.size()), 0});
        ++outline_.pieces.back().runCount;
    }

    void appendVertices(const Byte* subline) {
        const DPoint3d* vertices = sublineVertices(subline);
        const std::uint32_t count = sublineVertexCount(subline);
        outline_.vertices.insert(outline_.vertices.end(), vertices, vertices + count);
        outline_.runs.back().count += count;
    }

    Outline& outline_;
};

}  // namespace

Outline outlineOf(const void* record) {
    Outline outline;
    OutlineBuilder(&outline).addRecord(static_cast<const Byte*>(record));
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
