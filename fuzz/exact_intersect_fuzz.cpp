// The intersection exports against the exact reference of the tests
// (tests/exact_reference.h): two small geometries of any kind and a
// tolerance decoded from the input; any answer in either argument order
// that differs from the exact one stops the run.
//
// Input: a tolerance, then the two geometries (geometry_decoder.h).
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "fuzz/fuzz_support.h"
#include "fuzz/geometry_decoder.h"
#include "tests/exact_reference.h"
#include "tests/prepared_owner.h"

using namespace fuzz_support;
using namespace exact;

namespace {

// The tolerance by mode: a named value, raw bytes, or the exact distance
// rounded and moved by ulps % 4 ulps (decided once the distance is
// known).
double tolerance(std::uint8_t mode, std::int8_t ulps, double raw, const std::optional<mpq_class>& squaredDistance) {
    constexpr double kNamed[] = {
        0.0,  -0.0,     1e-300, std::numeric_limits<double>::denorm_min(), 1e-12, 5e-8, 0.5, 1, 2,
        1e10, INFINITY, -1,     std::numeric_limits<double>::quiet_NaN()};
    switch (mode % 4) {
        case 0: return kNamed[mode / 4 % (sizeof kNamed / sizeof kNamed[0])];
        case 1: return raw;
        default: {
            double t = squaredDistance ? roundedSqrt(*squaredDistance) : 1.0;
            for (int i = ulps % 4; i != 0; i += i > 0 ? -1 : 1) t = std::nextafter(t, i > 0 ? INFINITY : -INFINITY);
            return t;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputReader head(data, size);
    const std::uint8_t mode = head.take<std::uint8_t>();
    const std::int8_t ulps = head.take<std::int8_t>();
    const double raw = head.take<double>();
    checkDecodedPair(
        data, size,
        [&](const RefGeometry& a, const RefGeometry& b, const void* ra, const void* rb,
            const std::optional<mpq_class>& squaredDistance) {
            const double t = tolerance(mode, ulps, raw, squaredDistance);
            const Owed owed = owedAnswer(a, b, squaredDistance, t);
            for (bool swapped : {false, true}) {
                const std::uint32_t result = testrecords::intersection(swapped ? rb : ra, swapped ? ra : rb, t);
                if (result <= 1 && (result == std::uint32_t(owed == Owed::yes) || owed == Owed::either)) continue;
                char what[200];
                std::snprintf(what, sizeof what,
                              "tolerance %.17g%s: library %u (refused: 2 + status), exact %d (distance^2 %.17g)", t,
                              swapped ? " (B, A)" : "", result, int(owed == Owed::yes),
                              squaredDistance ? squaredDistance->get_d() : INFINITY);
                failPair(a, b, what);
            }
        });
    return 0;
}
