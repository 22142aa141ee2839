// Writing throughput of the text writer, in characters of text per second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "spatialgeom/record_ptr.h"
#include "spatialgeom/text.h"

namespace {

// Surveyed-looking coordinates: several digits before and after the point.
std::vector<DPoint3d> sampleVertices(std::uint32_t count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> plan(-250000.0, 250000.0), height(-50.0, 3000.0);
    std::vector<DPoint3d> vertices(count);
    for (DPoint3d& v : vertices) v = {plan(random), plan(random), height(random)};
    return vertices;
}

using spatialgeom::RecordPtr;

// Writes the records over and over into one ample buffer.
void writeRecords(benchmark::State& state, const std::vector<const void*>& records) {
    std::vector<SpatialWChar> buffer(std::size_t{1} << 24);
    const auto capacity = static_cast<std::int32_t>(buffer.size());
    std::int64_t characters = 0;
    for (auto _ : state) {
        for (const void* record : records) {
            const std::int32_t written = spatialWKT_geometry(record, buffer.data(), capacity);
            if (written < 1) {
                state.SkipWithError("the text did not fit");
                return;
            }
            characters += written;
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(characters * static_cast<std::int64_t>(sizeof(SpatialWChar)));
    state.counters["chars/s"] = benchmark::Counter(static_cast<double>(characters), benchmark::Counter::kIsRate);
}

void BM_WriteLargeLinestring(benchmark::State& state) {
    const std::vector<DPoint3d> vertices = sampleVertices(static_cast<std::uint32_t>(state.range(0)), 1);
    RecordPtr line;
    spatialWKB_createLine(vertices.data(), static_cast<std::uint32_t>(vertices.size()), line.out());
    writeRecords(state, {line.get()});
}
BENCHMARK(BM_WriteLargeLinestring)->Arg(100000);

// Data kept to micrometres (12 significant digits), written at precision 12:
// every number round-trips at the precision, the writer's common case.
void BM_WriteSurveyedLinestring(benchmark::State& state) {
    std::vector<DPoint3d> vertices = sampleVertices(static_cast<std::uint32_t>(state.range(0)), 4);
    for (DPoint3d& v : vertices) {
        v.x = std::round(v.x * 1e6) / 1e6;
        v.y = std::round(v.y * 1e6) / 1e6;
        v.z = std::round(v.z * 1e3) / 1e3;
    }
    RecordPtr line;
    spatialWKB_createLine(vertices.data(), static_cast<std::uint32_t>(vertices.size()), line.out());
    const std::int32_t previous = spatialWKT_setPrecision(12);
    writeRecords(state, {line.get()});
    spatialWKT_setPrecision(previous);
}
BENCHMARK(BM_WriteSurveyedLinestring)->Arg(100000);

// state.range(0) polygons, each an outer ring of 64 vertices and one hole of 16.
void BM_WriteLargeMultiPolygon(benchmark::State& state) {
    RecordPtr multiPolygon;
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(state.range(0)); ++i) {
        const std::vector<DPoint3d> outer = sampleVertices(64, 2 * i), hole = sampleVertices(16, 2 * i + 1);
        if (i == 0) spatialWKB_createMultiPolygon(outer.data(), 64, multiPolygon.out());
        else spatialWKB_addPolyToMultiPoly(outer.data(), 64, multiPolygon.out());
        spatialWKB_addRingToMultiPoly(hole.data(), 16, multiPolygon.out());
    }
    writeRecords(state, {multiPolygon.get()});
}
BENCHMARK(BM_WriteLargeMultiPolygon)->Arg(1000);

void BM_WriteManyPoints(benchmark::State& state) {
    const std::vector<DPoint3d> vertices = sampleVertices(static_cast<std::uint32_t>(state.range(0)), 3);
    std::vector<RecordPtr> points(vertices.size());
    std::vector<const void*> records;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        spatialWKB_createPoint(&vertices[i], points[i].out());
        records.push_back(points[i].get());
    }
    writeRecords(state, records);
}
BENCHMARK(BM_WriteManyPoints)->Arg(10000);

}  // namespace
