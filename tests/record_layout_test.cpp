// Byte layouts, sizes, copies and releases of records, checked against
// offsets computed independently of the library.
#include <gtest/gtest.h>

#include <functional>

#include "record_test_support.h"
#include "records/navigation.h"

using namespace testing_support;

namespace {

using Creator = std::function<uint32_t(const DPoint3d*, uint32_t, void**)>;

struct NestedKind {
    const char* name;
    Creator create;
    uint32_t type;
    std::vector<std::size_t> countWordOffsets;  // each holds 1, its pad word follows
    std::size_t vertexCountOffset;              // sublineReserved sits 4 bytes before
    std::size_t firstVertexOffset;
};

const std::vector<NestedKind>& nestedKinds() {
    static const std::vector<NestedKind> kinds = {
        {"linestring", spatialWKB_createLine, 2, {16}, 28, 32},
        {"polygon", spatialWKB_createPolygon, 3, {16, 24}, 36, 40},
        {"multilinestring", spatialWKB_createMultiLine, 5, {16, 24}, 36, 40},
        {"multipolygon", spatialWKB_createMultiPolygon, 6, {16, 24, 32}, 44, 48},
    };
    return kinds;
}

void expectHeader(const void* record, uint32_t type, uint32_t totalSize) {
    EXPECT_EQ(wordAt(record, 0), 1u);
    EXPECT_EQ(wordAt(record, 4), 1u);
    EXPECT_EQ(wordAt(record, 8), type);
    EXPECT_EQ(wordAt(record, 12), totalSize);
}

TEST(RecordCreators, NestedKindsAreLaidOutAtTheirOffsets) {
    for (const NestedKind& kind : nestedKinds()) {
        for (uint32_t n : {1u, 2u, 5u}) {
            SCOPED_TRACE(std::string(kind.name) + " n=" + std::to_string(n));
            const auto input = vertices(n);
            Record record;
            ASSERT_EQ(kind.create(input.data(), n, record.out()), SPATIAL_SUCCESS);
            const uint32_t size = static_cast<uint32_t>(kind.firstVertexOffset + 24 * n);
            expectHeader(record.get(), kind.type, size);
            for (std::size_t offset : kind.countWordOffsets) {
                EXPECT_EQ(wordAt(record.get(), offset), 1u);
                EXPECT_EQ(wordAt(record.get(), offset + 4), 0u) << "pad words are cleared";
            }
            EXPECT_EQ(wordAt(record.get(), kind.vertexCountOffset - 4), 0u);
            EXPECT_EQ(wordAt(record.get(), kind.vertexCountOffset), n);
            for (uint32_t i = 0; i < n; ++i)
                EXPECT_TRUE(samePoint(vertexAt(record.get(), kind.firstVertexOffset + 24 * i), input[i]));
            uint32_t computed = 0;
            EXPECT_EQ(spatialWKB_calculateSize(record.get(), &computed), SPATIAL_SUCCESS);
            EXPECT_EQ(computed, size);
        }
    }
}

TEST(RecordCreators, PointAndMultipointLayouts) {
    const DPoint3d point{1, 2, 3};
    Record pointRecord;
    ASSERT_EQ(spatialWKB_createPoint(&point, pointRecord.out()), SPATIAL_SUCCESS);
    expectHeader(pointRecord.get(), 1, 40);
    EXPECT_TRUE(samePoint(vertexAt(pointRecord.get(), 16), point));

    const auto input = vertices(3);
    Record multipoint;
    ASSERT_EQ(spatialWKB_createMultiPoint(input.data(), 3, multipoint.out()), SPATIAL_SUCCESS);
    expectHeader(multipoint.get(), 4, 96);
    EXPECT_EQ(wordAt(multipoint.get(), 16), 3u);
    for (uint32_t i = 0; i < 3; ++i) EXPECT_TRUE(samePoint(vertexAt(multipoint.get(), 24 + 24 * i), input[i]));
}

TEST(RecordCreators, RefuseMissingArgumentsAndZeroCounts) {
    const auto input = vertices(2);
    void* const untouched = reinterpret_cast<void*>(0x1234);
    std::vector<Creator> creators = {spatialWKB_createLine, spatialWKB_createPolygon, spatialWKB_createMultiPoint,
                                     spatialWKB_createMultiLine, spatialWKB_createMultiPolygon};
    for (const Creator& create : creators) {
        void* out = untouched;
        EXPECT_EQ(create(input.data(), 0, &out), SPATIAL_FAILURE);
        EXPECT_EQ(create(nullptr, 2, &out), SPATIAL_FAILURE);
        EXPECT_EQ(create(input.data(), 2, nullptr), SPATIAL_FAILURE);
        EXPECT_EQ(out, untouched);
    }
    void* out = untouched;
    EXPECT_EQ(spatialWKB_createPoint(nullptr, &out), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_createPoint(input.data(), nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(out, untouched);
}

TEST(RecordCreators, RefuseSizesBeyondThirtyTwoBitsWithoutAllocating) {
    // 32 + 24 * 0xFFFFFFFF bytes cannot be described by totalSize; the
    // vertex pointer is never read because the size check comes first.
    const DPoint3d one{0, 0, 0};
    void* out = nullptr;
    EXPECT_EQ(spatialWKB_createLine(&one, 0xFFFFFFFFu, &out), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_createMultiPoint(&one, 0xB0000000u, &out), SPATIAL_FAILURE);
    EXPECT_EQ(out, nullptr);
}

// A linestring of two sublines (2 and 3 vertices): 16 + 8 + 56 + 80 = 160.
ByteWriter twoSublineLine(std::uint32_t totalSize) {
    ByteWriter w;
    w.header(2, totalSize).words(2);
    w.words(0, 2);
    for (const auto& v : vertices(2)) w.vertex(v);
    w.words(0, 3);
    for (const auto& v : vertices(3, 100)) w.vertex(v);
    return w;
}

TEST(RecordSizes, MultiSublineLinesAndTypedSizeExports) {
    ByteWriter line = twoSublineLine(0);
    ASSERT_EQ(line.size(), 160u);
    uint32_t size = 0;
    EXPECT_EQ(spatialWKB_getLineSize(line.data(), &size), SPATIAL_SUCCESS);
    EXPECT_EQ(size, 160u);
    EXPECT_EQ(spatialWKB_getSize(line.data(), &size), SPATIAL_SUCCESS) << "totalSize 0: computed";
    EXPECT_EQ(size, 160u);
    EXPECT_EQ(spatialgeom::sublineSeqVertexCount(line.data() + 16), 5u);
    EXPECT_EQ(spatialWKB_getPointSize(line.data(), &size), SPATIAL_SUCCESS) << "reads no type";
    EXPECT_EQ(size, 40u);

    ByteWriter emptyMultipoint;
    emptyMultipoint.header(4, 0).words(0);
    EXPECT_EQ(spatialWKB_getMultiPointSize(emptyMultipoint.data(), &size), SPATIAL_SUCCESS);
    EXPECT_EQ(size, 24u);
    for (uint32_t type : {5u, 6u, 7u}) {
        ByteWriter empty;
        empty.header(type, 0).words(0);
        EXPECT_EQ(spatialWKB_calculateSize(empty.data(), &size), SPATIAL_SUCCESS);
        EXPECT_EQ(size, 24u) << "empty container of type " << type;
    }
    EXPECT_EQ(spatialWKB_getLineSize(nullptr, &size), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_getLineSize(line.data(), nullptr), SPATIAL_FAILURE);
}

TEST(RecordSizes, StoredTotalSizeIsTrustedAndUnknownTypesFail) {
    ByteWriter line = twoSublineLine(1000);
    uint32_t size = 0;
    EXPECT_EQ(spatialWKB_getSize(line.data(), &size), SPATIAL_SUCCESS);
    EXPECT_EQ(size, 1000u);
    EXPECT_EQ(spatialWKB_calculateSize(line.data(), &size), SPATIAL_SUCCESS);
    EXPECT_EQ(size, 160u) << "calculateSize ignores totalSize";

    ByteWriter reserved;
    reserved.header(8, 0).words(0);
    size = 77;
    EXPECT_EQ(spatialWKB_calculateSize(reserved.data(), &size), SPATIAL_SUCCESS);
    EXPECT_EQ(size, 77u) << "type 8 leaves the size alone";
    EXPECT_EQ(spatialWKB_getSize(reserved.data(), &size), SPATIAL_FAILURE) << "type 8 has no size";
    void* copy = nullptr;
    EXPECT_EQ(spatialWKB_copy(reserved.data(), &copy), SPATIAL_FAILURE);
    EXPECT_EQ(copy, nullptr);

    for (uint32_t type : {0u, 9u}) {
        ByteWriter unknown;
        unknown.header(type, 0).words(0);
        EXPECT_EQ(spatialWKB_calculateSize(unknown.data(), &size), SPATIAL_FAILURE);
        EXPECT_EQ(spatialWKB_getSize(unknown.data(), &size), SPATIAL_FAILURE);
    }
}

// A collection of a point (40 bytes) and a 2-vertex linestring (80 bytes).
ByteWriter pointAndLineCollection(uint32_t memberTotalSize) {
    const DPoint3d point{1, 2, 3};
    ByteWriter w;
    w.header(7, 0).words(2);
    w.header(1, memberTotalSize ? 40 : 0).vertex(point);
    w.header(2, memberTotalSize ? 80 : 0).words(1).words(0, 2);
    for (const auto& v : vertices(2)) w.vertex(v);
    return w;
}

TEST(RecordSizes, CollectionsSumTheirRoundedMembers) {
    for (uint32_t stored : {0u, 1u}) {
        ByteWriter collection = pointAndLineCollection(stored);
        uint32_t size = 0;
        EXPECT_EQ(spatialWKB_calculateSize(collection.data(), &size), SPATIAL_SUCCESS);
        EXPECT_EQ(size, 144u);
        const auto* first = collection.data() + 24;
        EXPECT_EQ(spatialgeom::nextMember(first), collection.data() + 64);
    }
}

TEST(RecordSizes, CollectionWalkStopsAtAMemberWithoutSize) {
    // Members: point, type 8 without totalSize, point. The walk counts the
    // first point only; nextMember cannot step over the type 8 member.
    const DPoint3d point{1, 2, 3};
    ByteWriter w;
    w.header(7, 0).words(3);
    w.header(1, 40).vertex(point);
    w.header(8, 0).vertex(point);
    w.header(1, 40).vertex(point);
    uint32_t size = 0;
    EXPECT_EQ(spatialWKB_calculateSize(w.data(), &size), SPATIAL_SUCCESS);
    EXPECT_EQ(size, 64u);
    EXPECT_EQ(spatialgeom::nextMember(w.data() + 64), nullptr);
    EXPECT_FALSE(spatialgeom::forEachMember(w.data(), [](const auto*) { return true; }));
}

TEST(RecordLifetime, CopyIsIndependentAndDestroyClearsTheVariable) {
    ByteWriter collection = pointAndLineCollection(1);
    collection.patchWord(12, 144);
    Record copy;
    ASSERT_EQ(spatialWKB_copy(collection.data(), copy.out()), SPATIAL_SUCCESS);
    EXPECT_EQ(std::memcmp(copy.get(), collection.data(), 144), 0);
    collection.patchWord(16, 0);
    EXPECT_EQ(wordAt(copy.get(), 16), 2u);

    void* variable = nullptr;
    ASSERT_EQ(spatialWKB_copy(copy.get(), &variable), SPATIAL_SUCCESS);
    EXPECT_EQ(spatialWKB_destroyGeomCollection(&variable), SPATIAL_SUCCESS);
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(spatialWKB_destroyGeom(&variable), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_destroyGeom(nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_copy(nullptr, &variable), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_copy(copy.get(), nullptr), SPATIAL_FAILURE);
}

}  // namespace
