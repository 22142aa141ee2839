// The join's probe (join/geometry_probe.h): which records it prepares (a
// polygon kind with a polygon large enough, and enough candidates). (Its
// answers, prepared or not: join_records_test.)
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "join/geometry_probe.h"
#include "record_test_builder.h"

namespace {

using namespace testrecords;
using spatialgeom::Byte;
using spatialgeom::GeometryProbe;

const Byte* bytes(const Record& record) { return static_cast<const Byte*>(record.data()); }

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

}  // namespace
