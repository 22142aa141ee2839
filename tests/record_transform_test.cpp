#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "record_test_builder.h"
#include "spatialgeom/records.h"
#include "spatialgeom/transform.h"

namespace {

using testrecords::Record;
using testrecords::Vertices;

bool sameBytes(const Record& a, const Record& b) {
    return a.size() == b.size() && std::memcmp(a.bytes(), b.bytes(), a.size()) == 0;
}

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
        unsigned char* at = static_cast<unsigned char*>(record.data()) + offset;
        DPoint3d p;
        std::memcpy(&p, at, sizeof p);
        p = {p.x + kShift.x, p.y + kShift.y, p.z + kShift.z};
        std::memcpy(at, &p, sizeof p);
    }
    return record;
}

using RecordTransform = uint32_t (*)(const transform*, void*);

struct KindCase {
    std::uint32_t type;
    RecordTransform kindExport;
};

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
        case SPATIAL_TYPE_MULTILINESTRING: return testrecords::multiLine({{v(3), v(2)}, {}, {v(4)}, {v(1), v(1), v(2)}});
        default: return testrecords::multiPolygon({{{v(4)}, {v(2), v(3)}}, {}, {{v(5)}}, {{v(1), v(3)}, {}, {v(4)}}});
    }
}

TEST(RecordTransform, EveryKindMovesEveryVertexOnceAndNothingElse) {
    const transform t = shift();
    for (const KindCase& c : {KindCase{SPATIAL_TYPE_POINT, spatialWKB_transformPoint},
                              KindCase{SPATIAL_TYPE_LINESTRING, spatialWKB_transformLine},
                              KindCase{SPATIAL_TYPE_POLYGON, spatialWKB_transformPolygon},
                              KindCase{SPATIAL_TYPE_MULTIPOINT, spatialWKB_transformMultiPoint},
                              KindCase{SPATIAL_TYPE_MULTILINESTRING, spatialWKB_transformMultiLine},
                              KindCase{SPATIAL_TYPE_MULTIPOLYGON, spatialWKB_transformMultiPolygon}}) {
        SCOPED_TRACE(c.type);
        const Record original = sampleRecord(c.type);
        for (RecordTransform entry : {c.kindExport, spatialWKB_transformGeometry}) {
            Record record = original;
            EXPECT_EQ(entry(nullptr, record.data()), SPATIAL_FAILURE);
            EXPECT_EQ(entry(&t, nullptr), SPATIAL_FAILURE);
            EXPECT_TRUE(sameBytes(record, original));
            ASSERT_EQ(entry(&t, record.data()), SPATIAL_SUCCESS);
            EXPECT_TRUE(sameBytes(record, shiftedOnce(original)));
        }
    }
}

TEST(RecordTransform, PolygonAndMultiLineAreOneWalk) {
    const transform t = shift();
    Record asPolygon = sampleRecord(SPATIAL_TYPE_MULTILINESTRING), asMultiLine = asPolygon;
    spatialWKB_transformPolygon(&t, asPolygon.data());
    spatialWKB_transformMultiLine(&t, asMultiLine.data());
    EXPECT_TRUE(sameBytes(asPolygon, asMultiLine));
}

// Empty bodies succeed untouched; a collection (whose member point is not
// transformed either) and codes outside 1..6 are refused untouched.
TEST(RecordTransform, EmptyBodiesAndRefusedTypesAreLeftAlone) {
    const transform t = shift();
    for (std::uint32_t type : {SPATIAL_TYPE_LINESTRING, SPATIAL_TYPE_POLYGON, SPATIAL_TYPE_MULTIPOINT,
                               SPATIAL_TYPE_MULTILINESTRING, SPATIAL_TYPE_MULTIPOLYGON, 0u, SPATIAL_TYPE_COLLECTION,
                               SPATIAL_TYPE_RESERVED, 9u, 0xFFFFFFFFu}) {
        const bool refused = type == 0 || type > SPATIAL_TYPE_MULTIPOLYGON;
        Record record = refused ? testrecords::collectionOfPoint({1, 2, 3}) : testrecords::ofType(type);
        if (refused) std::memcpy(static_cast<unsigned char*>(record.data()) + 8, &type, sizeof type);
        const Record original = record;
        EXPECT_EQ(spatialWKB_transformGeometry(&t, record.data()), refused ? SPATIAL_FAILURE : SPATIAL_SUCCESS) << type;
        EXPECT_TRUE(sameBytes(record, original)) << type;
    }
}

// Records made by the creators and growers: a polygon with a hole, a
// multipolygon of two polygons (the first with a hole) and a linestring
// grown to two sublines. Moved there, each is byte-identical to the record
// made from the moved vertices; moved back, to what it was.
struct CreatedCase {
    const char* name;
    uint32_t (*create)(const DPoint3d*, uint32_t, void**);
    uint32_t (*grow)(const DPoint3d*, uint32_t, void**);
    uint32_t (*growMore)(const DPoint3d*, uint32_t, void**);

    std::vector<unsigned char> bytesOf(DPoint3d offset) const {
        DPoint3d outer[] = {{0, 0, 0}, {8, 0, 0}, {8, 8, 1}, {0, 8, 1}, {0, 0, 0}};
        DPoint3d hole[] = {{2, 2, 0}, {4, 2, 0}, {4, 4, 0}, {2, 2, 0}};
        for (DPoint3d& p : outer) p = {p.x + offset.x, p.y + offset.y, p.z + offset.z};
        for (DPoint3d& p : hole) p = {p.x + offset.x, p.y + offset.y, p.z + offset.z};
        void* record = nullptr;
        uint32_t size = 0;
        EXPECT_EQ(create(outer, 5, &record), SPATIAL_SUCCESS);
        EXPECT_EQ(grow(hole, 4, &record), SPATIAL_SUCCESS);
        EXPECT_EQ(growMore == nullptr ? SPATIAL_SUCCESS : growMore(hole, 4, &record), SPATIAL_SUCCESS);
        EXPECT_EQ(spatialWKB_getSize(record, &size), SPATIAL_SUCCESS);
        const auto* bytes = static_cast<unsigned char*>(record);
        std::vector<unsigned char> copy(bytes, bytes + size);
        spatialWKB_destroyGeom(&record);
        return copy;
    }
};

TEST(RecordTransform, CreatedRecordsMoveOnceAndBackByteForByte) {
    const DPoint3d back{-kShift.x, -kShift.y, -kShift.z};
    const transform forward = shift();
    transform backward;
    transform_initTranslation(&backward, &back);
    for (const CreatedCase& c :
         {CreatedCase{"polygon", spatialWKB_createPolygon, spatialWKB_addRingToPolygon, nullptr},
          CreatedCase{"multipolygon", spatialWKB_createMultiPolygon, spatialWKB_addRingToMultiPoly,
                      spatialWKB_addPolyToMultiPoly},
          CreatedCase{"linestring", spatialWKB_createLine, spatialWKB_addLineToLine, nullptr}}) {
        SCOPED_TRACE(c.name);
        const std::vector<unsigned char> original = c.bytesOf({0, 0, 0}), moved = c.bytesOf(kShift);
        std::vector<unsigned char> record = original;
        ASSERT_EQ(spatialWKB_transformGeometry(&forward, record.data()), SPATIAL_SUCCESS);
        EXPECT_EQ(record, moved);
        ASSERT_EQ(spatialWKB_transformGeometry(&backward, record.data()), SPATIAL_SUCCESS);
        EXPECT_EQ(record, original);
    }
}

}  // namespace
