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
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "queries/prepared_geometry.h"
#include "queries/record_distance.h"
#include "spatialgeom/prepared.h"
#include "tests/record_exercise.h"

using namespace fuzz_support;

namespace {

constexpr std::size_t kMaxRecordBytes = 1024;

// Status and answer of a test, as one number.
std::uint64_t outcome(std::uint32_t status, std::uint32_t result) { return (std::uint64_t{status} << 32) | result; }

void compare(const void* record, const std::vector<const void*>& others, const std::vector<double>& tolerances) {
    void* handle = nullptr;
    const std::uint32_t status = spatialWKB_prepareGeometry(record, &handle);
    const std::uint32_t type = spatialgeom::recordType(static_cast<const spatialgeom::Byte*>(record));
    std::uint32_t probe = 0;
    const bool hasVertices =
        spatialWKB_intersectGeometry(record, record, 0.0, &probe) == SPATIAL_SUCCESS;  // refused without vertices
    require((status == SPATIAL_SUCCESS) == (type >= 1 && type <= 6 && hasVertices),
            "a record is prepared exactly when the stateless test takes it");
    if (status != SPATIAL_SUCCESS) return;
    // Every polygon shared, however small: the shared parts on fuzzed rings.
    const auto everyShared = spatialgeom::PreparedGeometry::prepare(static_cast<const spatialgeom::Byte*>(record), 0);
    require(everyShared != nullptr, "a record prepared through the interface is prepared with every polygon shared");
    for (const void* other : others) {
        for (double tolerance : tolerances) {
            std::uint32_t expected = 7, viaHandle = 7, shared = 7;
            const std::uint32_t expectedStatus = spatialWKB_intersectGeometry(record, other, tolerance, &expected);
            const std::uint32_t handleStatus = spatialWKB_intersectPrepared(handle, other, tolerance, &viaHandle);
            require(outcome(expectedStatus, expected) == outcome(handleStatus, viaHandle),
                    "a prepared geometry answers as the stateless test");
            bool meets = false;
            const bool ok = everyShared->intersects(static_cast<const spatialgeom::Byte*>(other), tolerance, &meets);
            if (ok) shared = meets ? 1 : 0;
            require(outcome(ok ? SPATIAL_SUCCESS : SPATIAL_FAILURE, shared) == outcome(expectedStatus, expected),
                    "a geometry with every polygon shared answers as the stateless test");
        }
        // Distances to points only: those of larger fuzzed records may take
        // the rational path for seconds.
        if (spatialgeom::recordType(static_cast<const spatialgeom::Byte*>(other)) != SPATIAL_TYPE_POINT) continue;
        double distance = -1, sharedDistance = -1;
        DPoint3d onRecord{}, onOther{}, onShared{}, onSharedOther{};
        const bool measured = spatialWKB_distance(record, other, &distance, &onRecord, &onOther) == SPATIAL_SUCCESS;
        const bool sharedMeasured = spatialgeom::preparedDistance(
            *everyShared, static_cast<const spatialgeom::Byte*>(other), &sharedDistance, &onShared, &onSharedOther);
        require(measured == sharedMeasured &&
                    (!measured || (std::memcmp(&distance, &sharedDistance, sizeof distance) == 0 &&
                                   std::memcmp(&onRecord, &onShared, sizeof onRecord) == 0 &&
                                   std::memcmp(&onOther, &onSharedOther, sizeof onOther) == 0)),
                "a geometry with every polygon shared measures distances to a point as the stateless export");
    }
    require(spatialWKB_destroyPrepared(&handle) == SPATIAL_SUCCESS && handle == nullptr, "destroy clears the handle");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testing_support::PartnerRecords partners;
    InputReader input(data, size);
    const double tolerance = input.take<double>();
    const std::size_t firstSize = input.take<std::uint32_t>() % (input.restSize() + 1);
    const ExactCopy first(input.rest(), firstSize), second(input.rest() + firstSize, input.restSize() - firstSize);
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
