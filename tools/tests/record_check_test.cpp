#include "tools/record_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "spatialgeom/records.h"
#include "tools/geometry_queries.h"
#include "tools/geometry_text.h"
#include "tools/record.h"
#include "tools/record_outline.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

// The record's bytes in an 8-byte aligned buffer.
std::vector<std::uint64_t> bytesOf(const void* record, std::uint32_t* size) {
    spatialWKB_getSize(record, size);
    std::vector<std::uint64_t> words((*size + 7) / 8);
    std::memcpy(words.data(), record, *size);
    return words;
}

std::vector<Record> sampleRecords() {
    const DPoint3d square[] = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}};
    const DPoint3d hole[] = {{1, 1, 0}, {3, 1, 0}, {3, 3, 0}, {1, 1, 0}};
    std::vector<Record> records;
    void* made = nullptr;
    spatialWKB_createPoint(square, &made);
    records.emplace_back(made);
    spatialWKB_createLine(square, 3, &made);
    spatialWKB_addLineToLine(hole, 2, &made);
    records.emplace_back(made);
    spatialWKB_createPolygon(square, 5, &made);
    spatialWKB_addRingToPolygon(hole, 4, &made);
    records.emplace_back(made);
    spatialWKB_createMultiPoint(square, 4, &made);
    records.emplace_back(made);
    spatialWKB_createMultiLine(square, 2, &made);
    spatialWKB_addLineToMultiLine(hole, 3, &made);
    records.emplace_back(made);
    spatialWKB_createMultiPolygon(square, 5, &made);
    spatialWKB_addPolyToMultiPoly(square, 4, &made);
    spatialWKB_addRingToMultiPoly(hole, 4, &made);
    records.emplace_back(made);
    return records;
}

TEST(RecordCheck, AcceptsEveryKindAndRefusesEveryTruncation) {
    for (const Record& record : sampleRecords()) {
        ASSERT_TRUE(record);
        std::uint32_t size = 0;
        const std::vector<std::uint64_t> words = bytesOf(record.get(), &size);
        EXPECT_EQ(recordFault(words.data(), size), "") << "type " << static_cast<const std::uint32_t*>(record.get())[2];
        for (std::uint32_t length = 0; length < size; ++length) {
            EXPECT_NE(recordFault(words.data(), length), "") << length << " of " << size;
        }
    }
}

TEST(RecordCheck, RefusesCorruptWords) {
    const std::vector<Record> records = sampleRecords();
    std::uint32_t size = 0;
    std::vector<std::uint64_t> words = bytesOf(records[2].get(), &size);  // polygon with a hole
    auto word = [&](std::size_t offset) -> std::uint32_t* {
        return reinterpret_cast<std::uint32_t*>(reinterpret_cast<unsigned char*>(words.data()) + offset);
    };
    const std::vector<std::uint64_t> original = words;
    struct Case {
        std::size_t offset;
        std::uint32_t value;
        const char* fault;
    };
    const Case cases[] = {
        {8, 0, "unknown geometry type 0"},
        {8, 8, "unknown geometry type 8"},
        {12, 8, "totalSize 8 differs"},
        {16, 3, "the bytes end"},          // one ring too many
        {16, 0xffffffffu, "the bytes end"},
        {36, 0x0aaaaaabu, "the bytes end"},  // 24 * count wraps 32 bits
        {16, 1, "bytes after the end"},     // the hole left over
    };
    for (const Case& c : cases) {
        words = original;
        *word(c.offset) = c.value;
        if (c.offset == 16 && c.value == 1) *word(12) = 0;
        const std::string fault = recordFault(words.data(), size);
        EXPECT_NE(fault.find(c.fault), std::string::npos) << c.offset << "=" << c.value << ": " << fault;
    }
}

TEST(RecordCheck, CollectionMembersMustBeSimpleRecords) {
    // A collection of one point, built by hand: 24 + 40 bytes.
    std::uint64_t words[8] = {};
    auto* w = reinterpret_cast<std::uint32_t*>(words);
    w[0] = 1, w[1] = 1, w[2] = 7, w[3] = 64, w[4] = 1;
    w[6] = 1, w[7] = 1, w[8] = 1, w[9] = 40;
    EXPECT_EQ(recordFault(words, 64), "");
    w[8] = 7;  // a nested collection
    EXPECT_NE(recordFault(words, 64), "");
    w[8] = 1, w[4] = 2;  // a second member beyond the bytes
    EXPECT_NE(recordFault(words, 64), "");
}

// Whatever the checker accepts must be safe to walk, size, range and write
// (the sanitizer build turns any stray read into a failure).
TEST(RecordCheck, AcceptedMutationsAreSafeToUse) {
    std::mt19937 random(11);
    std::size_t accepted = 0;
    for (const Record& record : sampleRecords()) {
        std::uint32_t size = 0;
        const std::vector<std::uint64_t> original = bytesOf(record.get(), &size);
        std::uniform_int_distribution<std::uint32_t> offset(0, size - 1);
        for (int trial = 0; trial < 3000; ++trial) {
            std::vector<std::uint64_t> words = original;
            auto* bytes = reinterpret_cast<unsigned char*>(words.data());
            for (int flips = 1 + trial % 3; flips > 0; --flips) {
                bytes[offset(random)] = static_cast<unsigned char>(trial % 2 ? random() : random() % 4);
            }
            if (!recordFault(words.data(), size).empty()) continue;
            ++accepted;
            DRange3d range;
            geometryRange(words.data(), &range);
            outlineOf(words.data());
            try {
                writeGeometry(words.data());
            } catch (const ToolError&) {
            }
        }
    }
    EXPECT_GT(accepted, 100u);
}

}  // namespace
}  // namespace spatialgeom::tool
