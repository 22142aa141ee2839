// The tests' owner of one prepared geometry: prepares the record when made
// (status holds the result), destroys the handle when it goes. The
// intersection's answer, and a distance call's whole answer, which the
// prepared exports must give bit for bit as the stateless ones.
#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <ostream>

#include "spatialgeom/prepared.h"
#include "spatialgeom/queries.h"

namespace testrecords {

class Prepared {
public:
    explicit Prepared(const void* record) { status = spatialWKB_prepareGeometry(record, &handle); }
    ~Prepared() {
        if (handle != nullptr) spatialWKB_destroyPrepared(&handle);
    }
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    void* handle = nullptr;
    std::uint32_t status = 7;
};

// The intersection's answer (0 or 1), or 2 + status when refused; the same
// through a prepared geometry's handle.
inline std::uint32_t intersection(const void* a, const void* b, double tolerance) {
    std::uint32_t result = 7;
    const std::uint32_t status = spatialWKB_intersectGeometry(a, b, tolerance, &result);
    return status == SPATIAL_SUCCESS ? result : 2 + status;
}

inline std::uint32_t preparedIntersection(const void* handle, const void* other, double tolerance) {
    std::uint32_t result = 7;
    const std::uint32_t status = spatialWKB_intersectPrepared(handle, other, tolerance, &result);
    return status == SPATIAL_SUCCESS ? result : 2 + status;
}

// Status, distance and both points, compared by bits (any NaN equals any
// NaN).
struct DistanceAnswer {
    std::uint32_t status = 7;
    double distance = -7;
    DPoint3d onFirst{-7, -7, -7}, onSecond{-7, -7, -7};

    bool operator==(const DistanceAnswer& o) const {
        const auto same = [](double a, double b) {
            return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) || (a != a && b != b);
        };
        const auto samePoint = [&](const DPoint3d& a, const DPoint3d& b) {
            return same(a.x, b.x) && same(a.y, b.y) && same(a.z, b.z);
        };
        return status == o.status && same(distance, o.distance) && samePoint(onFirst, o.onFirst) &&
               samePoint(onSecond, o.onSecond);
    }
};

inline std::ostream& operator<<(std::ostream& out, const DistanceAnswer& a) {
    char text[256];
    std::snprintf(text, sizeof text, "status %u, %.17g, (%.17g %.17g %.17g) (%.17g %.17g %.17g)", a.status, a.distance,
                  a.onFirst.x, a.onFirst.y, a.onFirst.z, a.onSecond.x, a.onSecond.y, a.onSecond.z);
    return out << text;
}

inline DistanceAnswer statelessDistance(const void* a, const void* b) {
    DistanceAnswer r;
    r.status = spatialWKB_distance(a, b, &r.distance, &r.onFirst, &r.onSecond);
    return r;
}

inline DistanceAnswer preparedDistance(const void* handle, const void* other) {
    DistanceAnswer r;
    r.status = spatialWKB_distancePrepared(handle, other, &r.distance, &r.onFirst, &r.onSecond);
    return r;
}

}  // namespace testrecords
