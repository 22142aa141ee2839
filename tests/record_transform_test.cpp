#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "record_test_builder.h"
#include "spatialgeom/records.h"
#include "spatialgeom/transform.h"

namespace {

using testrecords::Record;
using testrecords::Vertices;

constexpr DPoint3d kShift{10.0, -20.0, 0.5};

transform shift() {
    transform t;
    transform_initTranslation(&t, &kShift);
    return t;
}

// The record with every vertex moved by kShift exactly once and every other
// byte unchanged.
Record shiftedOnce(Record record) {
    for (std::size_t offset : record.vertexOffsets()) {
        std::uint8_t* at = record.bytes() + offset;
        DPoint3d p;
        std::memcpy(&p, at, sizeof p);
        p = {p.x + kShift.x, p.y + kShift.y, p.z + kShift.z};
        std::memcpy(at, &p, sizeof p);
    }
    return record;
}

using RecordTransform = uint32_t (*)(const transform*, void*);

// A record of the kind with several sublines, rings and members, and empty
// elements between filled ones. Its vertices are distinct, so that a vertex
// transformed twice or not at all, or one written to the wrong place, shows.
Record sampleRecord(std::uint32_t type) {
    double counter = 1.0;
    const auto v = [&counter](std::size_t n) {
        Vertices vertices;
        for (std::size_t i = 0; i < n; ++i, ++counter) vertices.push_back({counter, 100.0 + counter, -counter});
        return vertices;
    };
    switch (type) {
        case SPATIAL_TYPE_POINT: return testrecords::point(v(1)[0]);
        case SPATIAL_TYPE_LINESTRING: return testrecords::line({v(2), v(0), v(3)});
        case SPATIAL_TYPE_MULTIPOINT: return testrecords::multiPoint(v(4));
        case SPATIAL_TYPE_POLYGON: return testrecords::polygon({{v(3), v(2)}, {}, {v(4)}, {v(1), v(1), v(2)}});
        case SPATIAL_TYPE_MULTILINESTRING:
            return testrecords::multiLine({{v(3), v(2)}, {}, {v(4)}, {v(1), v(1), v(2)}});
        default: return testrecords::multiPolygon({{{v(4)}, {v(2), v(3)}}, {}, {{v(5)}}, {{v(1), v(3)}, {}, {v(4)}}});
    }
}

TEST(RecordTransform, EveryKindMovesEveryVertexOnceAndEmptyOrRefusedRecordsStayAlone) {
    const transform t = shift();
    // Each kind's own export, by type code.
    const RecordTransform kindExports[] = {spatialWKB_transformPoint,     spatialWKB_transformLine,
                                           spatialWKB_transformPolygon,   spatialWKB_transformMultiPoint,
                                           spatialWKB_transformMultiLine, spatialWKB_transformMultiPolygon};
    for (std::uint32_t type = SPATIAL_TYPE_POINT; type <= SPATIAL_TYPE_MULTIPOLYGON; ++type) {
        SCOPED_TRACE(type);
        const Record original = sampleRecord(type);
        for (RecordTransform entry : {kindExports[type - 1], spatialWKB_transformGeometry}) {
            Record record = original;
            EXPECT_EQ(entry(nullptr, record.data()), SPATIAL_FAILURE);
            EXPECT_EQ(entry(&t, nullptr), SPATIAL_FAILURE);
            EXPECT_TRUE(record == original);
            ASSERT_EQ(entry(&t, record.data()), SPATIAL_SUCCESS);
            EXPECT_TRUE(record == shiftedOnce(original));
        }
    }
    // Empty bodies succeed untouched; a collection (whose member point is not
    // transformed either) and codes outside 1..6 are refused untouched.
    for (std::uint32_t type :
         {SPATIAL_TYPE_LINESTRING, SPATIAL_TYPE_POLYGON, SPATIAL_TYPE_MULTIPOINT, SPATIAL_TYPE_MULTILINESTRING,
          SPATIAL_TYPE_MULTIPOLYGON, 0u, SPATIAL_TYPE_COLLECTION, SPATIAL_TYPE_RESERVED, 9u, 0xFFFFFFFFu}) {
        const bool refused = type == 0 || type > SPATIAL_TYPE_MULTIPOLYGON;
        Record record = refused ? testrecords::collection({testrecords::point({1, 2, 3})}) : testrecords::ofType(type);
        if (refused) record.setWord(8, type);
        const Record original = record;
        EXPECT_EQ(spatialWKB_transformGeometry(&t, record.data()), refused ? SPATIAL_FAILURE : SPATIAL_SUCCESS) << type;
        EXPECT_TRUE(record == original) << type;
    }
}

}  // namespace
