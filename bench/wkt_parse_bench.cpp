// Parse throughput of spatialParse_string, in bytes of text per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "spatialgeom/parse.h"
#include "spatialgeom/records.h"

namespace {

// Surveyed-looking coordinates, written as the writer writes them ("%.17g").
class CoordinateText {
public:
    explicit CoordinateText(std::uint32_t seed) : random_(seed) {}

    void appendVertex(std::string* text) {
        char vertex[96];
        std::snprintf(vertex, sizeof vertex, "%.17g %.17g %.17g", plan_(random_), plan_(random_), height_(random_));
        *text += vertex;
    }

    // "x y z,x y z,..." of n vertices.
    void appendVertexList(std::size_t n, std::string* text) {
        for (std::size_t i = 0; i < n; ++i) {
            if (i > 0) *text += ',';
            appendVertex(text);
        }
    }

private:
    std::mt19937 random_;
    std::uniform_real_distribution<double> plan_{-250000.0, 250000.0};
    std::uniform_real_distribution<double> height_{-50.0, 3000.0};
};

// Parses every text once per iteration and releases its record.
void parseTexts(benchmark::State& state, const std::vector<std::string>& texts) {
    std::int64_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& text : texts) {
            void* record = nullptr;
            if (spatialParse_string(text.c_str(), &record) != 0) {
                state.SkipWithError("the text did not parse");
                return;
            }
            benchmark::DoNotOptimize(record);
            spatialWKB_destroyGeom(&record);
            bytes += static_cast<std::int64_t>(text.size());
        }
    }
    state.SetBytesProcessed(bytes);
}

void BM_ParseManySmallPoints(benchmark::State& state) {
    CoordinateText coordinates(1);
    std::vector<std::string> texts(1000);
    for (std::string& text : texts) {
        text = "POINT(";
        coordinates.appendVertex(&text);
        text += ")";
    }
    parseTexts(state, texts);
}
BENCHMARK(BM_ParseManySmallPoints);

void BM_ParseLongLinestring(benchmark::State& state) {
    CoordinateText coordinates(2);
    std::string text = "LINESTRING(";
    coordinates.appendVertexList(static_cast<std::size_t>(state.range(0)), &text);
    text += ")";
    parseTexts(state, {text});
}
BENCHMARK(BM_ParseLongLinestring)->Arg(1000)->Arg(100000);

// range(0) polygons, each an outer ring of 64 vertices and four holes of 16.
void BM_ParseMultipolygonWithHoles(benchmark::State& state) {
    CoordinateText coordinates(3);
    std::string text = "MULTIPOLYGON(";
    for (std::int64_t polygon = 0; polygon < state.range(0); ++polygon) {
        text += polygon == 0 ? "((" : ",((";
        coordinates.appendVertexList(64, &text);
        for (int hole = 0; hole < 4; ++hole) {
            text += "),(";
            coordinates.appendVertexList(16, &text);
        }
        text += "))";
    }
    text += ")";
    parseTexts(state, {text});
}
BENCHMARK(BM_ParseMultipolygonWithHoles)->Arg(10)->Arg(1000);

}  // namespace
