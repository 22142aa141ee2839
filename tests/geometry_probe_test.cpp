// The join's probe (join/geometry_probe.h): which records it prepares (a
// polygon kind with a polygon large enough, and enough candidates), and
// that prepared or not it answers as the stateless export over the parts.
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "join/geometry_probe.h"
#include "mixed_records.h"
#include "pairwise_answers.h"
#include "spatialgeom/queries.h"

namespace {

using namespace testrecords;
using spatialgeom::Byte;
using spatialgeom::GeometryProbe;

const Byte* bytes(const Record& record) { return static_cast<const Byte*>(record.data()); }
const Byte* bytes(const void* record) { return static_cast<const Byte*>(record); }

// A closed ring of `vertices` vertices (the last repeats the first) around
// (cx, cy), its plane tilted in z through z = 0 at its centre.
Vertices ring(std::uint32_t vertices, double cx, double cy, double radius, bool clockwise = false) {
    Vertices v;
    for (std::uint32_t k = 0; k + 1 < vertices; ++k) {
        const double a = 6.283185307179586 * k / (vertices - 1) * (clockwise ? -1 : 1);
        const double x = cx + radius * std::cos(a), y = cy + radius * std::sin(a);
        v.push_back({x, y, 0.1 * (x - cx)});
    }
    v.push_back(v.front());
    return v;
}

// The break-even of the header: 11 candidates at 256 vertices, 8 at 1,024,
// none enough under 64.
TEST(GeometryProbe, PreparesPolygonKindsFromTheirBreakEven) {
    const Record at256 = polygon({{ring(256, 0, 0, 5)}});
    const Record at1024 = polygon({{ring(1024, 0, 0, 5)}});
    const Record at64 = polygon({{ring(64, 0, 0, 5)}});
    const Record at63 = polygon({{ring(63, 0, 0, 5)}});
    // The vertices of the outer ring and the hole together.
    const Record withHole = polygon({{ring(248, 0, 0, 5)}, {ring(8, 0, 0, 1, true)}});
    const Record oneLarge = multiPolygon({{{ring(5, 20, 0, 1)}}, {{ring(256, 0, 0, 5)}}});
    std::vector<SublineSeqs> many;
    for (int k = 0; k < 40; ++k) many.push_back({{ring(60, 3.0 * k, 0, 1)}});
    const Record manySmall = multiPolygon(many);  // 2,400 vertices, no polygon of 64
    const Record longLine = line({vertices(4096)});
    const Record inCollection = collection({polygon({{ring(1024, 0, 0, 5)}})});
    const struct {
        const Record* record;
        std::size_t candidates;
        bool prepared;
    } cases[] = {
        {&at256, 11, true},
        {&at256, 10, false},
        {&at1024, 8, true},
        {&at1024, 7, false},
        {&at64, 1000, true},
        {&at63, 100000, false},
        {&withHole, 11, true},
        {&withHole, 10, false},
        {&oneLarge, 11, true},
        {&oneLarge, 10, false},
        {&manySmall, 100000, false},
        {&longLine, 100000, false},
        {&inCollection, 100000, false},
    };
    for (const auto& row : cases) {
        const GeometryProbe probe(bytes(*row.record), 0.0, row.candidates);
        EXPECT_EQ(probe.prepared(), row.prepared) << "case " << (&row - cases);
    }
}

// The stateless export over the parts (a collection meets what one of its
// members meets).
bool meetsByParts(const void* a, const void* b, double tolerance) { return !meetingPairs({a}, {b}, tolerance).empty(); }

TEST(GeometryProbe, AnswersAsTheStatelessExportPreparedOrNot) {
    // A tilted polygon with a hole and a multipolygon holding one such
    // polygon and a small one, in the middle of random records of every kind (collections
    // and records without vertices included).
    constexpr std::uint32_t n = GeometryProbe::kPreparedFromVertices;
    const Record holed = polygon({{ring(n + 40, 10, 10, 6)}, {ring(40, 10, 10, 2, true)}});
    const Record multi = multiPolygon({{{ring(n, 10, 10, 6)}}, {{ring(6, 2, 2, 1)}}});
    MixedRecords records(11);
    const std::vector<const void*> others = records.list(200);
    for (const Record* probeRecord : {&holed, &multi})
        for (double tolerance : {0.0, 0.25, 1.0})
            for (std::size_t candidates : {std::size_t{1}, std::size_t{1000}}) {
                const GeometryProbe probe(bytes(*probeRecord), tolerance, candidates);
                ASSERT_EQ(probe.prepared(), candidates > 1);
                std::size_t hits = 0;
                for (const void* other : others) {
                    if (other == nullptr) continue;
                    const bool expected = meetsByParts(probeRecord->data(), other, tolerance);
                    EXPECT_EQ(probe.meets(bytes(other)), expected) << "tolerance " << tolerance;
                    hits += expected;
                }
                EXPECT_GT(hits, 10u);
                EXPECT_LT(hits, others.size() - 10);
            }
}

}  // namespace
