// Inputs at the limits: a text of 100 MB parses (no deep recursion, linear
// work), and records whose size would pass 32 bits are refused cleanly,
// without reading vertices or allocating.
#include <gtest/gtest.h>

#include <string>

#include "record_test_builder.h"

using namespace testrecords;

namespace {

constexpr std::size_t kLargeText = 100u << 20;
constexpr std::uint32_t kLargestRecord = 0xfffffff8u;  // sizes are multiples of 8

// A coordinate written with 40 digits after the point (the parser keeps
// what a double holds): few vertices per megabyte keep the record small.
std::string longNumber(int value) { return std::to_string(value) + "." + std::string(39, '0') + "1"; }

// "geometrycollection(point(<spaces>1 2 3),multilinestring((...),...))" of
// at least kLargeText bytes: lines of 1000 vertices of long numbers.
std::string largeCollection(std::uint32_t* vertexCount) {
    std::string text = "GEOMETRYCOLLECTION(POINT(" + std::string(8u << 20, ' ') + "1 2 3),MULTILINESTRING(";
    text.reserve(kLargeText + (1u << 20));
    *vertexCount = 1;
    for (int line = 0; text.size() < kLargeText; ++line) {
        text += line == 0 ? "(" : ",(";
        for (int i = 0; i < 1000; ++i, ++*vertexCount) {
            if (i > 0) text += ',';
            text += longNumber(i) + " " + longNumber(line) + " -" + longNumber(i);
        }
        text += ")";
    }
    text += "))";
    return text;
}

TEST(LargeInput, A100MegabyteTextParses) {
    std::uint32_t vertexCount = 0;
    std::string text = largeCollection(&vertexCount);
    LibraryRecord record;
    ASSERT_EQ(spatialParse_string(text.c_str(), record.out()), 0);
    std::uint32_t size = 0;
    ASSERT_EQ(spatialWKB_getSize(record.get(), &size), SPATIAL_SUCCESS);
    EXPECT_EQ(spatialWKB_checkRecord(record.get(), size), SPATIAL_SUCCESS);
    const std::uint32_t lines = (vertexCount - 1) / 1000;
    // 24 + a point of 40 + a multilinestring: 24 + lines * (8 + 8 + 24000).
    EXPECT_EQ(size, 24u + 40u + 24u + lines * 24016u);
    DPoint3d low, high;
    ASSERT_EQ(spatialWKB_getMultiLineRange(static_cast<const std::uint8_t*>(record.get()) + 64, &low, &high),
              SPATIAL_SUCCESS);
    EXPECT_DOUBLE_EQ(high.y, lines - 1.0);
    EXPECT_DOUBLE_EQ(low.z, -999.0);

    // The same text cut one byte short fails at its end.
    text.pop_back();
    void* none = nullptr;
    EXPECT_EQ(spatialParse_string(text.c_str(), &none), SPATIAL_PARSE_SYNTAX_ERROR);
    EXPECT_STREQ(spatialParse_errorString(), "parse error, at or near \"\"\n");
    EXPECT_EQ(none, nullptr);
}

// 100 MB of opening parentheses: refused at the first one the grammar
// cannot take, whatever follows.
TEST(LargeInput, DeepNestingIsRefusedAtOnce) {
    const std::string text = "MULTIPOLYGON" + std::string(kLargeText, '(');
    void* none = nullptr;
    EXPECT_EQ(spatialParse_string(text.c_str(), &none), SPATIAL_PARSE_SYNTAX_ERROR);
    EXPECT_STREQ(spatialParse_errorString(), "parse error, at or near \"(\"\n");
}

// A linestring header that claims vertexCount vertices in one subline; the
// vertices themselves are not there (nothing reads them).
Record claimedLine(std::uint32_t vertexCount, std::uint32_t totalSize) {
    Record line;
    line.header(SPATIAL_TYPE_LINESTRING, totalSize).count(1).pad().word(vertexCount);
    return line;
}

// 32 + 24 * 178956969 is the largest linestring size in 32 bits; one
// vertex more, or a member of the largest size in a collection, has no size.
TEST(LargeInput, TheLargestSizeIsKeptAndOneMoreIsRefused) {
    const Record largest = claimedLine(178956969, 0);
    std::uint32_t size = 0;
    ASSERT_EQ(spatialWKB_getLineSize(largest.data(), &size), SPATIAL_SUCCESS);
    EXPECT_EQ(size, kLargestRecord);
    const Record collection =
        Record().header(SPATIAL_TYPE_COLLECTION).count(1).member(claimedLine(178956969, kLargestRecord));
    for (const Record& beyond : {claimedLine(178956970, 0), collection}) {
        size = 7;
        EXPECT_EQ(spatialWKB_calculateSize(beyond.data(), &size), SPATIAL_FAILURE);
        EXPECT_EQ(spatialWKB_getSize(beyond.data(), &size), SPATIAL_FAILURE);
        EXPECT_EQ(size, 7u);
    }
    void* copy = nullptr;
    EXPECT_EQ(spatialWKB_copy(collection.data(), &copy), SPATIAL_FAILURE);
}

// Growing by one subline of one vertex the largest record, or one whose
// size alone passes 4 GiB: refused before the block is resized (the block
// is the test's, which realloc must never see), record and variable
// unchanged.
TEST(LargeInput, GrowingBeyondThirtyTwoBitsIsRefused) {
    for (Record line : {claimedLine(178956969, kLargestRecord), claimedLine(0xFFFFFFF0u, 0)}) {
        const Record before = line;
        void* geom = line.data();
        const DPoint3d vertex{1, 2, 3};
        EXPECT_EQ(spatialWKB_addLineToLine(&vertex, 1, &geom), SPATIAL_FAILURE);
        EXPECT_EQ(geom, line.data());
        EXPECT_TRUE(line == before);
    }
}

}  // namespace
