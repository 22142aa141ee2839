#include "record_queries.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <new>
#include <string>

#include "module_errors.h"
#include "spatialgeom/prepared.h"
#include "spatialgeom/queries.h"
#include "spatialgeom/records.h"
#include "spatialgeom/transform.h"

namespace spatialgeom::python {
namespace {

bool isCollection(const void* record) { return recordType(record) == SPATIAL_TYPE_COLLECTION; }

// Calls visit(member) for each member of a collection while it returns
// true; false when a member stopped the walk. An exception of visit ends
// the walk and is thrown again here, not through the library's frames.
template <typename Visit>
bool everyMember(const void* collection, Visit&& visit) {
    struct Walk {
        Visit& visit;
        bool stopped = false;
        std::exception_ptr error;
    } walk{visit, false, nullptr};
    spatialWKB_forEachMember(
        collection,
        [](void* context, const void* member) -> std::int32_t {
            auto* walk = static_cast<Walk*>(context);
            try {
                walk->stopped = !walk->visit(member);
            } catch (...) {
                walk->error = std::current_exception();
                walk->stopped = true;
            }
            return walk->stopped ? 1 : 0;
        },
        &walk);
    if (walk.error) std::rethrow_exception(walk.error);
    return !walk.stopped;
}

void unite(DRange3d* range, const DRange3d& other) {
    range->low = {std::min(range->low.x, other.low.x), std::min(range->low.y, other.low.y),
                  std::min(range->low.z, other.low.z)};
    range->high = {std::max(range->high.x, other.high.x), std::max(range->high.y, other.high.y),
                   std::max(range->high.z, other.high.z)};
}

bool hasVertex(const void* record) {
    DRange3d range;
    return recordRange(record, &range);
}

// The answer of an intersection export: a refusal is a record without
// vertices, which meets nothing, or else memory the library could not have.
bool answer(std::uint32_t status, std::uint32_t result, const void* a, const void* b) {
    if (status == SPATIAL_SUCCESS) return result == 1;
    if (hasVertex(a) && hasVertex(b)) throw std::bad_alloc();
    return false;
}

}  // namespace

unsigned recordType(const void* record) {
    std::uint32_t type = 0;
    spatialWKB_getType(record, &type);
    return type;
}

bool recordRange(const void* record, DRange3d* range) {
    if (!isCollection(record)) return spatialWKB_getRange(record, &range->low, &range->high) == SPATIAL_SUCCESS;
    bool any = false;
    everyMember(record, [&](const void* member) {
        DRange3d memberRange;
        if (recordRange(member, &memberRange)) {
            if (any) {
                unite(range, memberRange);
            } else {
                *range = memberRange;
            }
            any = true;
        }
        return true;
    });
    return any;
}

bool recordsMeet(const void* a, const void* b, double tolerance) {
    if (isCollection(a)) return !everyMember(a, [&](const void* member) { return !recordsMeet(member, b, tolerance); });
    if (isCollection(b)) return !everyMember(b, [&](const void* member) { return !recordsMeet(a, member, tolerance); });
    std::uint32_t result = 0;
    const std::uint32_t status = spatialWKB_intersectGeometry(a, b, tolerance, &result);
    return answer(status, result, a, b);
}

bool preparedMeets(const void* prepared, const void* a, const void* b, double tolerance) {
    if (prepared == nullptr || isCollection(b)) return recordsMeet(a, b, tolerance);
    std::uint32_t result = 0;
    const std::uint32_t status = spatialWKB_intersectPrepared(prepared, b, tolerance, &result);
    return answer(status, result, a, b);
}

void* prepareRecord(const void* record) {
    if (isCollection(record)) return nullptr;
    void* prepared = nullptr;
    if (spatialWKB_prepareGeometry(record, &prepared) == SPATIAL_SUCCESS) return prepared;
    if (hasVertex(record)) throw std::bad_alloc();
    return nullptr;
}

double recordDistance(const void* a, const void* b) {
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    if (isCollection(a) || isCollection(b)) {
        // The least over the member pairs; NaN when one is NaN, or when no
        // pair has vertices on both sides.
        const void* collection = isCollection(a) ? a : b;
        const void* other = collection == a ? b : a;
        double least = std::numeric_limits<double>::infinity();
        bool measured = false;
        everyMember(collection, [&](const void* member) {
            const double d = recordDistance(member, other);
            if (std::isnan(d)) {
                if (hasVertex(member) && hasVertex(other)) {
                    least = kNone;
                    measured = true;
                    return false;
                }
                return true;
            }
            least = std::min(least, d);
            measured = true;
            return true;
        });
        return measured ? least : kNone;
    }
    double distance = 0;
    if (spatialWKB_distance(a, b, &distance, nullptr, nullptr) == SPATIAL_SUCCESS) return distance;
    if (hasVertex(a) && hasVertex(b)) throw std::bad_alloc();
    return kNone;
}

double preparedDistance(const void* prepared, const void* a, const void* b) {
    if (prepared == nullptr || isCollection(b)) return recordDistance(a, b);
    double distance = 0;
    if (spatialWKB_distancePrepared(prepared, b, &distance, nullptr, nullptr) == SPATIAL_SUCCESS) return distance;
    if (hasVertex(a) && hasVertex(b)) throw std::bad_alloc();
    return std::numeric_limits<double>::quiet_NaN();
}

void transformRecord(const transform& t, void* record) {
    if (isCollection(record)) {
        // The members lie inside the record, which is the caller's own copy.
        everyMember(record, [&](const void* member) {
            transformRecord(t, const_cast<void*>(member));
            return true;
        });
        return;
    }
    if (spatialWKB_transformGeometry(&t, record) != SPATIAL_SUCCESS)
        throw GeometryError("the library cannot transform a record of type " + std::to_string(recordType(record)));
}

}  // namespace spatialgeom::python
