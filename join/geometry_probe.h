// A record tested against many others within one tolerance, as the join
// tests a record against its candidates: prepared once
// (queries/prepared_geometry.h) when that pays, else tested pair by pair as
// unionMeets does.
//
// When it pays, measured with bench/peers/prepare_break_even (the join
// comparison's data around a polygon of n vertices): only a prepared
// polygon saves anything per test (a line or point kind is gathered at
// each test all the same: 3 to 5% less, within the noise). Preparing a
// polygon costs about 3.4 + 0.027 n us and saves about 0.0041 (n - 24) us
// per candidate, so it pays from (830 + 6.6 n) / (n - 24) candidates: 16
// at 128 vertices, 11 at 256, 8 at 1,024, 7 at 4,096. At 64 vertices it
// takes about 30, at 32 about 80, and under 32 a prepared test costs as
// much as a stateless one: polygons that small are never prepared.
#pragma once

#include <cstddef>
#include <memory>

#include "join/collection_union.h"
#include "queries/prepared_geometry.h"

namespace spatialgeom {

class GeometryProbe {
public:
    // Polygons of fewer vertices (their rings' vertices together) are
    // gathered at each test.
    static constexpr std::uint32_t kPreparedFromVertices = 64;

    // Whether preparing a record whose polygons of kPreparedFromVertices
    // or more hold `vertices` vertices in all pays for `candidates` tests.
    static bool worthPreparing(std::uint64_t vertices, std::size_t candidates) {
        return vertices >= kPreparedFromVertices &&
               static_cast<double>(candidates) * (static_cast<double>(vertices) - 24.0) >=
                   830.0 + 6.6 * static_cast<double>(vertices);
    }

    // record: accepted by unionKinds; it must outlive the probe.
    // candidates: how many records it is to be tested against. Throws
    // std::bad_alloc when memory runs out.
    GeometryProbe(const Byte* record, double tolerance, std::size_t candidates);

    // unionMeets(record, other, tolerance). Throws std::bad_alloc.
    bool meets(const Byte* other) const;

    bool prepared() const { return prepared_ != nullptr; }

private:
    const Byte* record_;
    double tolerance_;
    std::unique_ptr<PreparedGeometry> prepared_;
};

}  // namespace spatialgeom
