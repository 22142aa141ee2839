#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

#include "record_test_builder.h"
#include "spatialgeom/records.h"
#include "spatialgeom/transform.h"

namespace {

using testrecords::Record;
using testrecords::Vertices;

// Distinct vertices, so that a vertex transformed twice or not at all, or
// one written to the wrong place, shows.
class VertexSource {
public:
    Vertices next(std::size_t n) {
        Vertices vertices;
        for (std::size_t i = 0; i < n; ++i, ++counter_) vertices.push_back({counter_, 100.0 + counter_, -counter_});
        return vertices;
    }

private:
    double counter_ = 1.0;
};

DPoint3d vertexAt(const Record& record, std::size_t offset) {
    DPoint3d p;
    std::memcpy(&p, record.bytes() + offset, sizeof p);
    return p;
}

bool sameBytes(const Record& a, const Record& b) {
    return a.size() == b.size() && std::memcmp(a.bytes(), b.bytes(), a.size()) == 0;
}

constexpr DPoint3d kShift{10.0, -20.0, 0.5};

transform shift() {
    transform t;
    transform_initTranslation(&t, &kShift);
    return t;
}

// Every vertex moved by kShift exactly once; every other byte unchanged.
void expectShiftedOnce(const Record& before, const Record& after) {
    ASSERT_EQ(before.size(), after.size());
    std::set<std::size_t> vertexBytes;
    for (std::size_t offset : before.vertexOffsets()) {
        const DPoint3d was = vertexAt(before, offset), now = vertexAt(after, offset);
        EXPECT_EQ(now.x, was.x + kShift.x) << "vertex at " << offset;
        EXPECT_EQ(now.y, was.y + kShift.y) << "vertex at " << offset;
        EXPECT_EQ(now.z, was.z + kShift.z) << "vertex at " << offset;
        for (std::size_t i = 0; i < sizeof(DPoint3d); ++i) vertexBytes.insert(offset + i);
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (!vertexBytes.contains(i)) {
            EXPECT_EQ(after.bytes()[i], before.bytes()[i]) << "byte " << i;
        }
    }
}

using RecordTransform = uint32_t (*)(const transform*, void*);

struct KindCase {
    const char* name;
    std::uint32_t type;
    RecordTransform kindExport;
};

// A record of the kind with several sublines, rings and members, and empty
// elements between filled ones.
Record sampleRecord(std::uint32_t type) {
    VertexSource v;
    switch (type) {
        case SPATIAL_TYPE_POINT: return testrecords::point(v.next(1)[0]);
        case SPATIAL_TYPE_LINESTRING: return testrecords::line({v.next(2), v.next(0), v.next(3)});
        case SPATIAL_TYPE_MULTIPOINT: return testrecords::multiPoint(v.next(4));
        case SPATIAL_TYPE_POLYGON:
            return testrecords::polygon({{v.next(3), v.next(2)}, {}, {v.next(4)}, {v.next(1), v.next(1), v.next(2)}});
        case SPATIAL_TYPE_MULTILINESTRING:
            return testrecords::multiLine({{v.next(3), v.next(2)}, {}, {v.next(4)}, {v.next(1), v.next(1), v.next(2)}});
        default:
            return testrecords::multiPolygon({{{v.next(4)}, {v.next(2), v.next(3)}},
                                              {},
                                              {{v.next(5)}},
                                              {{v.next(1), v.next(3)}, {}, {v.next(4)}}});
    }
}

class RecordTransformByKind : public testing::TestWithParam<KindCase> {};

TEST_P(RecordTransformByKind, MovesEveryVertexOnceAndNothingElse) {
    const KindCase& c = GetParam();
    const Record original = sampleRecord(c.type);
    const transform t = shift();
    for (RecordTransform entry : {c.kindExport, spatialWKB_transformGeometry}) {
        Record record = original;
        ASSERT_EQ(entry(&t, record.data()), SPATIAL_SUCCESS);
        expectShiftedOnce(original, record);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RecordTransformByKind,
    testing::Values(KindCase{"Point", SPATIAL_TYPE_POINT, spatialWKB_transformPoint},
                    KindCase{"Line", SPATIAL_TYPE_LINESTRING, spatialWKB_transformLine},
                    KindCase{"Polygon", SPATIAL_TYPE_POLYGON, spatialWKB_transformPolygon},
                    KindCase{"MultiPoint", SPATIAL_TYPE_MULTIPOINT, spatialWKB_transformMultiPoint},
                    KindCase{"MultiLine", SPATIAL_TYPE_MULTILINESTRING, spatialWKB_transformMultiLine},
                    KindCase{"MultiPolygon", SPATIAL_TYPE_MULTIPOLYGON, spatialWKB_transformMultiPolygon}),
    [](const testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });

TEST(RecordTransform, PolygonAndMultiLineAreOneWalk) {
    const transform t = shift();
    Record asPolygon = sampleRecord(SPATIAL_TYPE_MULTILINESTRING);
    Record asMultiLine = asPolygon;
    spatialWKB_transformPolygon(&t, asPolygon.data());
    spatialWKB_transformMultiLine(&t, asMultiLine.data());
    EXPECT_TRUE(sameBytes(asPolygon, asMultiLine));
}

TEST(RecordTransform, EmptyBodiesAreLeftAlone) {
    const transform t = shift();
    for (std::uint32_t type : {SPATIAL_TYPE_LINESTRING, SPATIAL_TYPE_POLYGON, SPATIAL_TYPE_MULTIPOINT,
                               SPATIAL_TYPE_MULTILINESTRING, SPATIAL_TYPE_MULTIPOLYGON}) {
        Record record = testrecords::ofType(type);
        const Record original = record;
        EXPECT_EQ(spatialWKB_transformGeometry(&t, record.data()), SPATIAL_SUCCESS) << type;
        EXPECT_TRUE(sameBytes(record, original)) << type;
    }
}

TEST(RecordTransform, RefusedTypesLeaveTheRecordUntouched) {
    const transform t = shift();
    // A collection holding one point: neither the collection nor its member
    // is transformed; nor is anything under a code outside 1..6.
    for (std::uint32_t type : {0u, SPATIAL_TYPE_COLLECTION, SPATIAL_TYPE_RESERVED, 9u, 0xFFFFFFFFu}) {
        Record record = testrecords::collectionOfPoint({1, 2, 3});
        std::memcpy(static_cast<unsigned char*>(record.data()) + 8, &type, sizeof type);
        const Record original = record;
        EXPECT_EQ(spatialWKB_transformGeometry(&t, record.data()), SPATIAL_FAILURE) << type;
        EXPECT_TRUE(sameBytes(record, original)) << type;
    }
}

TEST(RecordTransform, NullArgumentsAreRefused) {
    const transform t = shift();
    Record record = sampleRecord(SPATIAL_TYPE_POINT);
    const Record original = record;
    for (RecordTransform entry : {spatialWKB_transformGeometry, spatialWKB_transformPoint, spatialWKB_transformLine,
                                  spatialWKB_transformPolygon, spatialWKB_transformMultiPoint,
                                  spatialWKB_transformMultiLine, spatialWKB_transformMultiPolygon}) {
        EXPECT_EQ(entry(nullptr, record.data()), SPATIAL_FAILURE);
        EXPECT_EQ(entry(&t, nullptr), SPATIAL_FAILURE);
    }
    EXPECT_TRUE(sameBytes(record, original));
}

// All vertices of a record made by the creators, in storage order.
std::vector<DPoint3d> readVertices(const void* record) {
    DPoint3d vertices[32];
    uint32_t count = 0, type = 0;
    spatialWKB_getType(record, &type);
    if (type == SPATIAL_TYPE_LINESTRING) {
        EXPECT_EQ(spatialWKB_lineGetPoints(record, 32, vertices, &count), SPATIAL_SUCCESS);
    } else if (type == SPATIAL_TYPE_POLYGON) {
        EXPECT_EQ(spatialWKB_polygonGetPoints(record, 32, vertices, &count), SPATIAL_SUCCESS);
    } else {
        uint32_t polygons = 0;
        spatialWKB_mpolygonGetPolyCount(record, &polygons);
        for (uint32_t i = 0, inPolygon = 0; i < polygons; ++i, count += inPolygon) {
            EXPECT_EQ(spatialWKB_mpolygonGetPoints(record, i, 32 - count, vertices + count, &inPolygon),
                      SPATIAL_SUCCESS);
        }
    }
    return {vertices, vertices + count};
}

// Records made by the creators and growers: a polygon with a hole, a
// multipolygon of two polygons (the first with a hole) and a linestring
// grown to two sublines. Moved there, every vertex is shifted once; moved
// back, the record is byte-identical to what it was.
struct CreatedCase {
    const char* name;
    uint32_t (*create)(const DPoint3d*, uint32_t, void**);
    uint32_t (*grow)(const DPoint3d*, uint32_t, void**);
    uint32_t (*growMore)(const DPoint3d*, uint32_t, void**);
};

TEST(RecordTransform, CreatedRecordsMoveOnceAndBackByteForByte) {
    const DPoint3d outer[] = {{0, 0, 0}, {8, 0, 0}, {8, 8, 1}, {0, 8, 1}, {0, 0, 0}};
    const DPoint3d hole[] = {{2, 2, 0}, {4, 2, 0}, {4, 4, 0}, {2, 2, 0}};
    const DPoint3d back{-kShift.x, -kShift.y, -kShift.z};
    const transform forward = shift();
    transform backward;
    transform_initTranslation(&backward, &back);
    for (const CreatedCase& c :
         {CreatedCase{"polygon", spatialWKB_createPolygon, spatialWKB_addRingToPolygon, nullptr},
          CreatedCase{"multipolygon", spatialWKB_createMultiPolygon, spatialWKB_addRingToMultiPoly,
                      spatialWKB_addPolyToMultiPoly},
          CreatedCase{"linestring", spatialWKB_createLine, spatialWKB_addLineToLine, nullptr}}) {
        void* record = nullptr;
        ASSERT_EQ(c.create(outer, 5, &record), SPATIAL_SUCCESS) << c.name;
        ASSERT_EQ(c.grow(hole, 4, &record), SPATIAL_SUCCESS) << c.name;
        if (c.growMore != nullptr) {
            ASSERT_EQ(c.growMore(hole, 4, &record), SPATIAL_SUCCESS) << c.name;
        }
        uint32_t size = 0;
        ASSERT_EQ(spatialWKB_getSize(record, &size), SPATIAL_SUCCESS);
        const std::vector<unsigned char> bytesBefore(static_cast<unsigned char*>(record),
                                                     static_cast<unsigned char*>(record) + size);
        const std::vector<DPoint3d> verticesBefore = readVertices(record);

        ASSERT_EQ(spatialWKB_transformGeometry(&forward, record), SPATIAL_SUCCESS) << c.name;
        const std::vector<DPoint3d> verticesAfter = readVertices(record);
        ASSERT_EQ(verticesAfter.size(), verticesBefore.size()) << c.name;
        EXPECT_EQ(verticesAfter.size(), c.growMore != nullptr ? 13u : 9u) << c.name;
        for (std::size_t i = 0; i < verticesAfter.size(); ++i) {
            EXPECT_EQ(verticesAfter[i].x, verticesBefore[i].x + kShift.x) << c.name << " " << i;
            EXPECT_EQ(verticesAfter[i].y, verticesBefore[i].y + kShift.y) << c.name << " " << i;
            EXPECT_EQ(verticesAfter[i].z, verticesBefore[i].z + kShift.z) << c.name << " " << i;
        }

        ASSERT_EQ(spatialWKB_transformGeometry(&backward, record), SPATIAL_SUCCESS) << c.name;
        EXPECT_EQ(std::memcmp(record, bytesBefore.data(), size), 0) << c.name;
        spatialWKB_destroyGeom(&record);
    }
}

}  // namespace
