// The rings of a polygon as stored: every vertex of every ring (outer ring
// first, then the holes) in one array, and the closed edges they make. A
// ring is all vertices of its sublines in order, closed from the last to
// the first; a ring of one vertex has one edge of zero length, a ring
// without vertices none.
#pragma once

#include <algorithm>
#include <cstdint>

#include "kernel/segment_distance.h"
#include "queries/call_scratch.h"
#include "records/navigation.h"

namespace spatialgeom {

struct PolygonRings {
    // Edge i runs from vertex i to the next vertex of ring `ring`.
    struct Edge {
        std::uint32_t from, to, ring;
    };

    ScratchVector<DPoint3d> vertices;
    // Ring r holds vertices[ringStart[r] .. ringStart[r + 1]).
    ScratchVector<std::uint32_t> ringStart;

    // Copies the vertices of a ring sequence. Cost: one pass over them.
    void gather(const Byte* rings) {
        vertices.reserve(vertices.size() + ringSeqVertexCount(rings));
        ringStart.reserve(ringStart.size() + spatialgeom::ringCount(rings) + 1);
        forEachSublineSeq(rings, [&](const Byte* seq) {
            ringStart.push_back(static_cast<std::uint32_t>(vertices.size()));
            forEachSubline(seq, [&](const Byte* subline) {
                const DPoint3d* v = sublineVertices(subline);
                vertices.insert(vertices.end(), v, v + sublineVertexCount(subline));
                return true;
            });
            return true;
        });
        ringStart.push_back(static_cast<std::uint32_t>(vertices.size()));
    }

    std::uint32_t ringCount() const { return static_cast<std::uint32_t>(ringStart.size()) - 1; }
    std::uint32_t edgeCount() const { return static_cast<std::uint32_t>(vertices.size()); }
    const DPoint3d* ring(std::uint32_t r) const { return vertices.data() + ringStart[r]; }
    std::uint32_t ringSize(std::uint32_t r) const { return ringStart[r + 1] - ringStart[r]; }

    // Every edge in ring order (edge i is visited i-th), stopping (false)
    // when visit returns false.
    template <typename Visit>
    bool forEachEdge(Visit&& visit) const {
        for (std::uint32_t r = 0; r + 1 < ringStart.size(); ++r)
            if (!forEachRingEdge(r, visit)) return false;
        return true;
    }

    // The edges of ring r in order, stopping (false) when visit returns
    // false.
    template <typename Visit>
    bool forEachRingEdge(std::uint32_t r, Visit&& visit) const {
        const std::uint32_t first = ringStart[r], end = ringStart[r + 1];
        for (std::uint32_t i = first; i < end; ++i)
            if (!visit(Edge{i, i + 1 < end ? i + 1 : first, r})) return false;
        return true;
    }

    // Edge i. Cost: O(log rings).
    Edge edgeAt(std::uint32_t i) const {
        const std::uint32_t r =
            static_cast<std::uint32_t>(std::upper_bound(ringStart.begin(), ringStart.end(), i) - ringStart.begin() - 1);
        return {i, i + 1 < ringStart[r + 1] ? i + 1 : ringStart[r], r};
    }

    kernel::Segment3d segment(const Edge& e) const { return {vertices[e.from], vertices[e.to]}; }
};

}  // namespace spatialgeom
