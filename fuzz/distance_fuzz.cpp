// The distance export against the exact reference of the tests
// (tests/exact_reference.h): two small geometries of any kind decoded from
// the input; the run stops when, in either argument order, the distance is
// not the exact one rounded upwards, a point lies off its geometry or the
// points are not that far apart (beyond a few ulps of the coordinates'
// magnitude), the intersection export disagrees with the distance at it
// or one ulp either side, or the distance against the first geometry
// prepared differs from it in any bit (value or points).
//
// Input: ten bytes the target does not read (so that the seeds of the
// exact-intersection target serve here too), then the two geometries
// (geometry_decoder.h).
#include <cmath>
#include <cstdio>
#include <optional>

#include "fuzz/fuzz_support.h"
#include "fuzz/geometry_decoder.h"
#include "tests/exact_reference.h"
#include "tests/prepared_owner.h"

using namespace fuzz_support;
using namespace exact;

namespace {

[[noreturn]] void fail(const RefGeometry& a, const RefGeometry& b, const char* what, double d) {
    std::fprintf(stderr, "distance %.17g\n", d);
    failPair(a, b, what);
}

void check(const RefGeometry& a, const RefGeometry& b, const void* ra, const void* rb,
           const std::optional<mpq_class>& d2) {
    const testrecords::DistanceAnswer answer = testrecords::statelessDistance(ra, rb);
    const double d = answer.distance;
    if (answer.status != SPATIAL_SUCCESS) fail(a, b, "failure status", d);
    const testrecords::Prepared prepared(ra);
    if (prepared.status != SPATIAL_SUCCESS) fail(a, b, "preparing failed", d);
    const testrecords::DistanceAnswer viaPrepared = testrecords::preparedDistance(prepared.handle, rb);
    if (!(viaPrepared == answer)) fail(a, b, "the prepared distance differs", viaPrepared.distance);
    if (const char* fault = distanceFault(a, b, *d2, d, answer.onFirst, answer.onSecond)) fail(a, b, fault, d);
    for (double t : {d, std::nextafter(d, 0.0), std::nextafter(d, INFINITY)}) {
        const Owed owed = owedAnswer(a, b, d2, t);
        const std::uint32_t meets = testrecords::intersection(ra, rb, t);
        if (meets > 1) fail(a, b, "intersection failed", d);
        if (owed != Owed::either && meets != std::uint32_t(owed == Owed::yes))
            fail(a, b, "the intersection export disagrees", d);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkDecodedPair(data, size,
                     [](const RefGeometry& a, const RefGeometry& b, const void* ra, const void* rb,
                        const std::optional<mpq_class>& squaredDistance) {
                         if (!squaredDistance) return;
                         check(a, b, ra, rb, squaredDistance);
                         check(b, a, rb, ra, squaredDistance);
                     });
    return 0;
}
