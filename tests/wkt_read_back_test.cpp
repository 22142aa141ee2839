// Everything the text writer writes reads back: the same kind and the same
// vertices (all of them exact at precision 17).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "record_test_support.h"

using namespace testing_support;

namespace {

// Sets the writer's precision for one test.
class Precision {
public:
    explicit Precision(int32_t digits) : previous_(spatialWKT_setPrecision(digits)) {}
    ~Precision() { spatialWKT_setPrecision(previous_); }

private:
    int32_t previous_;
};

std::vector<uint8_t> bytesOf(const void* record) {
    uint32_t size = 0;
    EXPECT_EQ(spatialWKB_getSize(record, &size), 0u);
    const auto* bytes = static_cast<const uint8_t*>(record);
    return {bytes, bytes + size};
}

// Writes the record as text and reads the text back into a byte buffer.
std::vector<uint8_t> readBack(const void* record) {
    std::vector<SpatialWChar> text(1 << 16);
    const int32_t written =
        spatialWKB_convertBinaryToText(record, text.data(), static_cast<uint32_t>(text.size() * sizeof text[0]));
    EXPECT_GT(written, 0);
    uint32_t size = 0;
    EXPECT_EQ(spatialWKB_getSizeFromTextGeom(text.data(), &size), SPATIAL_SUCCESS);
    std::vector<uint64_t> storage(size / 8 + 1);
    EXPECT_EQ(spatialWKB_convertTextToBinary(text.data(), storage.data(), size), SPATIAL_SUCCESS);
    const auto* bytes = reinterpret_cast<const uint8_t*>(storage.data());
    return {bytes, bytes + size};
}

// Vertices that %.17g writes and strtod reads back exactly, of every scale.
std::vector<DPoint3d> awkward(uint32_t n, double shift) {
    static const double values[] = {0.1, -2.5e-300, 1e300, 123456789.123456789, 5e-324, -0.0, 1.0 / 3.0, -7.0};
    std::vector<DPoint3d> result;
    for (uint32_t i = 0; i < n; ++i) {
        result.push_back({values[i % 8] + shift, values[(i + 3) % 8] * (1 + shift), values[(i + 5) % 8] - shift});
    }
    return result;
}

TEST(ReadBack, EveryKindComesBackByteForByte) {
    const Precision precision(17);
    const auto a = awkward(5, 0);
    const auto b = awkward(4, 0.25);
    const auto c = awkward(7, -1.5);
    std::vector<Record> records(6);
    ASSERT_EQ(spatialWKB_createPoint(&a[1], records[0].out()), 0u);
    ASSERT_EQ(spatialWKB_createLine(a.data(), 5, records[1].out()), 0u);
    ASSERT_EQ(spatialWKB_createPolygon(a.data(), 5, records[2].out()), 0u);
    ASSERT_EQ(spatialWKB_addRingToPolygon(b.data(), 4, records[2].out()), 0u);
    ASSERT_EQ(spatialWKB_createMultiPoint(c.data(), 7, records[3].out()), 0u);
    ASSERT_EQ(spatialWKB_createMultiLine(b.data(), 4, records[4].out()), 0u);
    ASSERT_EQ(spatialWKB_addLineToMultiLine(c.data(), 1, records[4].out()), 0u);
    ASSERT_EQ(spatialWKB_createMultiPolygon(a.data(), 5, records[5].out()), 0u);
    ASSERT_EQ(spatialWKB_addRingToMultiPoly(b.data(), 4, records[5].out()), 0u);
    ASSERT_EQ(spatialWKB_addPolyToMultiPoly(c.data(), 7, records[5].out()), 0u);
    ASSERT_EQ(spatialWKB_addRingToMultiPoly(a.data(), 3, records[5].out()), 0u);
    ASSERT_EQ(spatialWKB_addRingToMultiPoly(b.data(), 2, records[5].out()), 0u);

    ByteWriter collection;
    uint32_t total = 24;
    for (const Record& member : records) total += static_cast<uint32_t>(bytesOf(member.get()).size());
    collection.header(SPATIAL_TYPE_COLLECTION, total).words(static_cast<uint32_t>(records.size()));
    for (const Record& member : records) {
        const auto bytes = bytesOf(member.get());
        collection.raw(bytes.data(), bytes.size());
    }

    for (const Record& record : records) {
        SCOPED_TRACE(wordAt(record.get(), 8));
        EXPECT_EQ(readBack(record.get()), bytesOf(record.get()));
    }
    EXPECT_EQ(readBack(collection.data()), bytesOf(collection.data()));
}

TEST(ReadBack, SublinesOfALineComeBackAsOne) {
    const Precision precision(17);
    const auto first = awkward(2, 0);
    const auto second = awkward(3, 2);
    Record line;
    ASSERT_EQ(spatialWKB_createLine(first.data(), 2, line.out()), 0u);
    ASSERT_EQ(spatialWKB_addLineToLine(second.data(), 3, line.out()), 0u);
    const std::vector<uint8_t> back = readBack(line.get());
    ASSERT_EQ(back.size(), 32u + 24 * 5);
    EXPECT_EQ(wordAt(back.data(), 8), SPATIAL_TYPE_LINESTRING);
    EXPECT_EQ(wordAt(back.data(), 28), 5u);
    std::vector<DPoint3d> expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(samePoint(vertexAt(back.data(), 32 + 24 * i), expected[i])) << i;
    }
}

TEST(ReadBack, CoordinatesAreRoundedAsTheWriterRoundedThem) {
    const Precision precision(6);
    const DPoint3d point{0.12345678, -98765.4321, 1e-7 / 3};
    Record record;
    ASSERT_EQ(spatialWKB_createPoint(&point, record.out()), 0u);
    const std::vector<uint8_t> back = readBack(record.get());
    ASSERT_EQ(back.size(), 40u);
    auto rounded = [](double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.6g", value);
        return std::strtod(text, nullptr);
    };
    EXPECT_TRUE(samePoint(vertexAt(back.data(), 16), {rounded(point.x), rounded(point.y), rounded(point.z)}));
}

}  // namespace
