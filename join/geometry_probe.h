// A record tested against many others within one tolerance, as the join
// tests a record against its candidates: prepared once
// (queries/prepared_geometry.h) when that pays, a record of kinds 1 to 6 of
// at least kPreparedFromBytes, else tested pair by pair as unionMeets does.
#pragma once

#include <memory>

#include "join/collection_union.h"
#include "queries/prepared_geometry.h"

namespace spatialgeom {

class GeometryProbe {
public:
    // The smallest record worth preparing: below about 256 vertices the
    // prepared object gathers the record at each test anyway.
    static constexpr std::uint64_t kPreparedFromBytes = 256 * sizeof(DPoint3d);

    // record: accepted by unionKinds; it must outlive the probe. Throws
    // std::bad_alloc when memory runs out.
    GeometryProbe(const Byte* record, double tolerance);

    // unionMeets(record, other, tolerance). Throws std::bad_alloc.
    bool meets(const Byte* other) const;

private:
    const Byte* record_;
    double tolerance_;
    std::unique_ptr<PreparedGeometry> prepared_;
};

}  // namespace spatialgeom
