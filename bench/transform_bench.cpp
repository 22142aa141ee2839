#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "spatialgeom/transform.h"

namespace {

transform sampleRotation() {
    transform t;
    const DPoint3d point0{1, 2, 3}, point1{4, -1, 5};
    transform_initRotationAboutLine(&t, &point0, &point1, 0.3);
    return t;
}

void BM_PointArray(benchmark::State& state) {
    const transform t = sampleRotation();
    std::vector<DPoint3d> points(static_cast<std::size_t>(state.range(0)), DPoint3d{1, 2, 3});
    for (auto _ : state) {
        transform_pointArray(&t, static_cast<unsigned>(points.size()), points.data());
        benchmark::DoNotOptimize(points.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PointArray)->Arg(16)->Arg(4096);

// A linestring of n sublines of 4 vertices each, laid out by hand.
std::vector<std::uint64_t> lineOfSublines(std::uint32_t sublines) {
    const std::uint32_t size = 24 + sublines * (8 + 4 * 24);
    std::vector<std::uint64_t> storage(size / 8);
    auto* bytes = reinterpret_cast<unsigned char*>(storage.data());
    const std::uint32_t header[6] = {1, 1, SPATIAL_TYPE_LINESTRING, size, sublines, 0};
    std::memcpy(bytes, header, sizeof header);
    for (std::uint32_t i = 0; i < sublines; ++i) {
        const std::uint32_t subline[2] = {0, 4};
        std::memcpy(bytes + 24 + i * (8 + 4 * 24), subline, sizeof subline);
    }
    return storage;
}

void BM_TransformLineOfSublines(benchmark::State& state) {
    const transform t = sampleRotation();
    std::vector<std::uint64_t> record = lineOfSublines(static_cast<std::uint32_t>(state.range(0)));
    for (auto _ : state) {
        spatialWKB_transformGeometry(&t, record.data());
        benchmark::DoNotOptimize(record.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 4);
}
BENCHMARK(BM_TransformLineOfSublines)->Arg(1024);

}  // namespace
