// Vertex runs: the blocks of vertices a record stores together, walked in
// storage order with the element each belongs to. This is the walk of
// everything that visits every vertex in place (transforms, the vertex run
// visitor of the interface).
//
// Elements are a record's points, lines and polygons, numbered from 0 in
// storage order: a point record is one point, a multipoint one point per
// vertex, a linestring one line, a multilinestring one line per member
// line, a polygon one polygon, a multipolygon one polygon per member, a
// collection the elements of its members, numbered on from member to
// member. An element keeps its number even when it has no run.
//
// Runs: every subline of a line, or of a polygon's ring, is one run (one
// without vertices too, with count 0). The vertices of a point record, and
// all the points of a multipoint, are one run: vertex k of it is element
// `element + k`. An empty multipoint has no run.
#pragma once

#include <cstdint>

#include "records/navigation.h"

namespace spatialgeom {

struct VertexRun {
    std::uint32_t element;      // of the run's first vertex
    std::uint32_t elementType;  // SPATIAL_TYPE_POINT, SPATIAL_TYPE_LINESTRING or SPATIAL_TYPE_POLYGON
    std::uint32_t ring;         // polygons: 0 the outer ring, then the holes; otherwise 0
    std::uint32_t subline;      // within its line or ring; 0 for points
    const DPoint3d* vertices;   // inside the record
    std::uint32_t count;
};

namespace vertex_runs_detail {

// The sublines of a subline sequence, numbered from 0.
template <typename Visit>
bool sublineRuns(const Byte* seq, VertexRun run, Visit& visit) {
    run.subline = 0;
    return forEachSubline(seq, [&](const Byte* subline) {
        run.vertices = sublineVertices(subline);
        run.count = sublineVertexCount(subline);
        const bool goOn = visit(static_cast<const VertexRun&>(run));
        ++run.subline;
        return goOn;
    });
}

// The rings of a polygon, numbered from 0, and their sublines.
template <typename Visit>
bool ringRuns(const Byte* rings, VertexRun run, Visit& visit) {
    run.ring = 0;
    return forEachSublineSeq(rings, [&](const Byte* ring) {
        const bool goOn = sublineRuns(ring, run, visit);
        ++run.ring;
        return goOn;
    });
}

}  // namespace vertex_runs_detail

// Calls visit(const VertexRun&) for each run of the record read as `kind`
// (1 to 6; the type code is not read), its elements numbered from
// firstElement. visit returns false to stop the walk. False when it did;
// true when the walk completed, and for other kinds (no run at all).
// One pass, no allocation.
template <typename Visit>
bool forEachVertexRunAs(const Byte* record, std::uint32_t kind, std::uint32_t firstElement, Visit&& visit) {
    using namespace vertex_runs_detail;
    VertexRun run{firstElement, SPATIAL_TYPE_POINT, 0, 0, nullptr, 0};
    switch (kind) {
        case SPATIAL_TYPE_POINT:
            run.vertices = pointVertex(record);
            run.count = 1;
            return visit(static_cast<const VertexRun&>(run));
        case SPATIAL_TYPE_MULTIPOINT:
            run.vertices = multiPointVertices(record);
            run.count = bodyCount(record);
            return run.count == 0 || visit(static_cast<const VertexRun&>(run));
        case SPATIAL_TYPE_LINESTRING:
            run.elementType = SPATIAL_TYPE_LINESTRING;
            return sublineRuns(lineBody(record), run, visit);
        case SPATIAL_TYPE_POLYGON:
            run.elementType = SPATIAL_TYPE_POLYGON;
            return ringRuns(polygonBody(record), run, visit);
        case SPATIAL_TYPE_MULTILINESTRING:
            run.elementType = SPATIAL_TYPE_LINESTRING;
            return forEachSublineSeq(multiLineBody(record), [&](const Byte* line) {
                const bool goOn = sublineRuns(line, run, visit);
                ++run.element;
                return goOn;
            });
        case SPATIAL_TYPE_MULTIPOLYGON:
            run.elementType = SPATIAL_TYPE_POLYGON;
            return forEachPolygon(record, [&](const Byte* polygon) {
                const bool goOn = ringRuns(polygon, run, visit);
                ++run.element;
                return goOn;
            });
        default: return true;
    }
}

// The number of elements of the record read as `kind` (0 for other kinds).
inline std::uint32_t elementCountAs(const Byte* record, std::uint32_t kind) {
    switch (kind) {
        case SPATIAL_TYPE_POINT:
        case SPATIAL_TYPE_LINESTRING:
        case SPATIAL_TYPE_POLYGON: return 1;
        case SPATIAL_TYPE_MULTIPOINT:
        case SPATIAL_TYPE_MULTILINESTRING:
        case SPATIAL_TYPE_MULTIPOLYGON: return bodyCount(record);
        default: return 0;
    }
}

// The runs of a record of any type: kinds 1 to 6 by their type code, a
// collection member by member (members of other types have no runs). False
// when visit stopped the walk, the type code is not 1 to 7 (nothing is
// visited), or a collection member's position cannot be found (the walk
// ends there); true when the walk completed.
template <typename Visit>
bool forEachVertexRun(const Byte* record, Visit&& visit) {
    const std::uint32_t type = recordType(record);
    if (type < SPATIAL_TYPE_POINT || type > SPATIAL_TYPE_COLLECTION) return false;
    if (type != SPATIAL_TYPE_COLLECTION) return forEachVertexRunAs(record, type, 0, visit);
    std::uint32_t element = 0;
    return forEachMember(record, [&](const Byte* member) {
        const std::uint32_t kind = recordType(member);
        if (!forEachVertexRunAs(member, kind, element, visit)) return false;
        element += elementCountAs(member, kind);
        return true;
    });
}

}  // namespace spatialgeom
