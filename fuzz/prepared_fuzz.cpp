// Prepared geometries on fuzzed records: two records cut from the input,
// each checked, prepared (through the interface, and with every polygon
// shared however small) and tested against the other, itself and a record
// of each kind at the tolerances given, every answer and status compared
// with the stateless test's, and the distances of the geometry with every
// polygon shared to the points with the stateless export's, bit for bit.
//
// Input: a tolerance (8 bytes), the first record's length (4 bytes), then
// the bytes of the first record and of the second. Records beyond
// kMaxRecordBytes are skipped: the exact path of a skew polygon against
// another costs far more than linear time, and a run must not stall on
// one input (the grids are built at every size all the same).
#include <memory>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "queries/prepared_geometry.h"
#include "queries/record_distance.h"
#include "tests/prepared_owner.h"
#include "tests/record_exercise.h"

using namespace fuzz_support;

namespace {

constexpr std::size_t kMaxRecordBytes = 1024;

void compare(const void* record, const std::vector<const void*>& others, const std::vector<double>& tolerances) {
    testrecords::Prepared prepared(record);
    const std::uint32_t type = spatialgeom::recordType(static_cast<const spatialgeom::Byte*>(record));
    const bool hasVertices = testrecords::intersection(record, record, 0.0) <= 1;  // refused without vertices
    require((prepared.status == SPATIAL_SUCCESS) == (type >= 1 && type <= 6 && hasVertices),
            "a record is prepared exactly when the stateless test takes it");
    if (prepared.status != SPATIAL_SUCCESS) return;
    // Every polygon shared, however small: the shared parts on fuzzed rings.
    const auto everyShared = spatialgeom::PreparedGeometry::prepare(static_cast<const spatialgeom::Byte*>(record), 0);
    require(everyShared != nullptr, "a record prepared through the interface is prepared with every polygon shared");
    for (const void* other : others) {
        const auto* otherBytes = static_cast<const spatialgeom::Byte*>(other);
        for (double tolerance : tolerances) {
            const std::uint32_t expected = testrecords::intersection(record, other, tolerance);
            require(testrecords::preparedIntersection(prepared.handle, other, tolerance) == expected,
                    "a prepared geometry answers as the stateless test");
            bool meets = false;
            const bool ok = everyShared->intersects(otherBytes, tolerance, &meets);
            require((ok ? std::uint32_t{meets} : 2 + SPATIAL_FAILURE) == expected,
                    "a geometry with every polygon shared answers as the stateless test");
        }
        // Distances to points only: those of larger fuzzed records may take
        // the rational path for seconds.
        if (spatialgeom::recordType(otherBytes) != SPATIAL_TYPE_POINT) continue;
        const testrecords::DistanceAnswer expected = testrecords::statelessDistance(record, other);
        testrecords::DistanceAnswer shared;
        shared.status =
            spatialgeom::preparedDistance(*everyShared, otherBytes, &shared.distance, &shared.onFirst, &shared.onSecond)
                ? SPATIAL_SUCCESS
                : SPATIAL_FAILURE;
        require(shared.status == expected.status && (shared.status != SPATIAL_SUCCESS || shared == expected),
                "a geometry with every polygon shared measures distances to a point as the stateless export");
    }
    require(spatialWKB_destroyPrepared(&prepared.handle) == SPATIAL_SUCCESS && prepared.handle == nullptr,
            "destroy clears the handle");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testing_support::PartnerRecords partners;
    InputReader input(data, size);
    const double tolerance = input.take<double>();
    const std::size_t firstSize = input.take<std::uint32_t>() % (input.restSize() + 1);
    const ExactCopy first(input.rest(), input.rest() + firstSize),
        second(input.rest() + firstSize, input.rest() + input.restSize());
    std::vector<const void*> records;  // the copies that hold a whole record
    for (const ExactCopy* r : {&first, &second})
        if (r->size() <= kMaxRecordBytes && spatialWKB_checkRecord(r->data(), r->size()) == SPATIAL_SUCCESS)
            records.push_back(r->data());
    std::vector<const void*> others(records);
    for (std::uint32_t type = SPATIAL_TYPE_POINT; type <= SPATIAL_TYPE_MULTIPOLYGON; ++type)
        others.push_back(partners.ofType(type));
    for (const void* record : records) compare(record, others, {0.0, tolerance, 0.5});
    return 0;
}
