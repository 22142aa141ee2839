// Intersections of large geometries whose boxes overlap but which do not
// meet, against the cost of testing every segment pair.
#include <benchmark/benchmark.h>

#include "queries/element_tests.h"
#include "spatialgeom/queries.h"
#include "tests/comb_geometry.h"
#include "tests/record_test_builder.h"

namespace {

using namespace testrecords;
using testgeometry::combRing;
using testgeometry::weavingLine;

struct CombPair {
    Record polygon, line;
};

CombPair combPair() {
    const int teeth = 250;  // about 1,000 vertices each
    return {testrecords::polygon({{combRing(teeth)}}), testrecords::line({weavingLine(teeth - 1)})};
}

void BM_LineVersusPolygonNotMeeting(benchmark::State& state) {
    const CombPair pair = combPair();
    uint32_t result = 0;
    for (auto _ : state) {
        spatialWKB_intersectLineStringPolygon(pair.line.data(), pair.polygon.data(), 0.1, &result);
        benchmark::DoNotOptimize(result);
    }
    if (result != 0) state.SkipWithError("the comb and the line meet");
}
BENCHMARK(BM_LineVersusPolygonNotMeeting)->Unit(benchmark::kMicrosecond);

void BM_LineVersusLineNotMeeting(benchmark::State& state) {
    const CombPair pair = combPair();
    const Record boundary = testrecords::line({combRing(250)});
    uint32_t result = 0;
    for (auto _ : state) {
        spatialWKB_intersectLineStringLineString(pair.line.data(), boundary.data(), 0.1, &result);
        benchmark::DoNotOptimize(result);
    }
    if (result != 0) state.SkipWithError("the lines meet");
}
BENCHMARK(BM_LineVersusLineNotMeeting)->Unit(benchmark::kMicrosecond);

// The baseline the index avoids: every segment of the line against every
// edge of the comb.
void BM_EverySegmentPairBaseline(benchmark::State& state) {
    const Vertices ring = combRing(250), line = weavingLine(249);
    bool any = false;
    for (auto _ : state) {
        for (std::size_t i = 1; i < line.size(); ++i)
            for (std::size_t j = 0; j < ring.size(); ++j)
                any |= spatialgeom::segmentsWithin({line[i - 1], line[i]}, {ring[j], ring[(j + 1) % ring.size()]}, 0.1);
        benchmark::DoNotOptimize(any);
    }
}
BENCHMARK(BM_EverySegmentPairBaseline)->Unit(benchmark::kMicrosecond);

}  // namespace
