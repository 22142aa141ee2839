// The join's probe (join/geometry_probe.h): which records it prepares (a
// polygon kind with a polygon large enough, and enough candidates). (Its
// answers, prepared or not: join_records_test.)
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "join/geometry_probe.h"
#include "record_test_builder.h"
#include "ring_around.h"

namespace {

using namespace testrecords;
using spatialgeom::Byte;
using spatialgeom::GeometryProbe;

const Byte* bytes(const Record& record) { return static_cast<const Byte*>(record.data()); }

// A closed ring of `vertices` vertices (the last repeats the first) around
// (cx, cy), its plane tilted in z through z = 0 at its centre.
Vertices ring(std::uint32_t vertices, double cx, double cy, double radius, bool clockwise = false) {
    return ringAround(vertices - 1, cx, cy, radius, 0, clockwise ? -1 : 1, 0.1, 0, 0, true);
}

// The break-even of the header: 11 candidates at 256 vertices, 8 at 1,024,
// 32 at 64, none enough under 64.
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
    // Prepared from breakEven candidates, not at one fewer; 0: never.
    const struct {
        const Record* record;
        std::size_t breakEven;
    } cases[] = {{&at256, 11}, {&at1024, 8},    {&at64, 32},    {&withHole, 11},   {&oneLarge, 11},
                 {&at63, 0},   {&manySmall, 0}, {&longLine, 0}, {&inCollection, 0}};
    for (const auto& row : cases) {
        const std::size_t at = row.breakEven == 0 ? 100000 : row.breakEven;
        EXPECT_EQ(GeometryProbe(bytes(*row.record), 0.0, at).prepared(), row.breakEven > 0)
            << "case " << (&row - cases);
        EXPECT_FALSE(GeometryProbe(bytes(*row.record), 0.0, at - 1).prepared()) << "case " << (&row - cases);
    }
}

}  // namespace
