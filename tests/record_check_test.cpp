// spatialWKB_checkRecord: accepts well-formed records, refuses every
// truncation and corruption that would lead a reader outside the bytes, and
// whatever it accepts is safe to hand to every other export.
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "record_exercise.h"
#include "record_test_builder.h"

using namespace testrecords;
using testing_support::exerciseRecord;
using testing_support::PartnerRecords;

namespace {

std::uint32_t check(const Record& record, std::uint32_t length) {
    return spatialWKB_checkRecord(record.data(), length);
}
std::uint32_t check(const Record& record) { return check(record, record.size()); }

// One record of each kind 1 to 6 with several sublines, rings and
// elements, then a collection of the point and the polygon.
std::vector<Record> sampleRecords() {
    const Vertices square = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}};
    const Vertices hole = {{1, 1, 0}, {3, 1, 0}, {3, 3, 0}, {1, 1, 0}};
    const auto first = [](const Vertices& v, std::size_t n) { return Vertices(v.begin(), v.begin() + n); };
    const Record point = testrecords::point(square[0]), polygon = testrecords::polygon({{square}, {hole}});
    return {point,
            line({first(square, 3), first(hole, 2)}),
            polygon,
            multiPoint(first(square, 4)),
            multiLine({{first(square, 2)}, {first(hole, 3)}}),
            multiPolygon({{{square}}, {{first(square, 4)}, {hole}}}),
            collection({point, polygon})};
}

TEST(RecordCheck, AcceptsEveryKindAndRefusesEveryTruncation) {
    for (Record& record : sampleRecords()) {
        SCOPED_TRACE("type " + std::to_string(wordAt(record.data(), 8)));
        const std::uint32_t size = record.size();
        for (std::uint32_t length = 0; length <= size; ++length)
            EXPECT_EQ(check(record, length), length == size ? SPATIAL_SUCCESS : SPATIAL_FAILURE) << length;
        // Bytes after the record are the caller's business.
        record.word(~0u).word(~0u);
        EXPECT_EQ(check(record, size + 1), SPATIAL_SUCCESS);
        EXPECT_EQ(check(record), SPATIAL_SUCCESS);
        // Neither a stored size of 0 nor the exact one is a fault.
        record.setWord(12, 0);
        EXPECT_EQ(check(record, size), SPATIAL_SUCCESS);
    }
}

TEST(RecordCheck, RefusesCorruptWordsAndBadBlocks) {
    const std::vector<Record> samples = sampleRecords();
    ASSERT_EQ(samples[2].size(), 272u);  // outer ring of 5, a hole of 4: 24 + 8+8+120 + 8+8+96
    struct Case {
        std::size_t sample;  // 2: the polygon; 6: the collection, a point at 24 and a polygon at 64
        std::vector<std::pair<std::size_t, std::uint32_t>> words;
        const char* what;
        std::uint32_t expected = SPATIAL_FAILURE;
    };
    const Case cases[] = {
        {2, {{8, 0}}, "type 0"},
        {2, {{8, 8}}, "type 8, which has no layout"},
        {2, {{8, 9}}, "unknown type"},
        {2, {{8, 7}}, "a polygon read as a collection"},
        {2, {{12, 8}}, "a totalSize other than the layout's"},
        {2, {{12, 280}}, "a totalSize beyond the layout's"},
        {2, {{16, 3}}, "one ring too many"},
        {2, {{16, 0xffffffffu}}, "a ring count at the maximum"},
        {2, {{24, 2}}, "a subline too many in the outer ring"},
        {2, {{36, 6}}, "a vertex too many"},
        {2, {{36, 0x0aaaaaabu}}, "24 * count wraps 32 bits"},
        {2, {{36, 0xffffffffu}}, "a vertex count at the maximum"},
        {2, {{16, 1}}, "one ring fewer: the stored size is now wrong"},
        {2, {{16, 1}, {12, 0}}, "one ring fewer, no stored size: still a record", SPATIAL_SUCCESS},
        {6, {}, "the collection as made", SPATIAL_SUCCESS},
        {6, {{32, 0}}, "member of type 0"},
        {6, {{36, 48}}, "the point member claims 48 bytes"},
        {6, {{16, 3}, {12, 0}}, "a member more than the bytes hold"},
    };
    for (const Case& c : cases) {
        Record bytes = samples[c.sample];
        for (auto [offset, value] : c.words) bytes.setWord(offset, value);
        EXPECT_EQ(check(bytes), c.expected) << c.what;
    }
    // Empty kinds with count 0 are records (24 bytes).
    for (std::uint32_t type : {4u, 5u, 6u, 7u}) EXPECT_EQ(check(ofType(type).finish()), SPATIAL_SUCCESS) << type;
    // No block, or a block 4 bytes off the 8-byte alignment of records.
    EXPECT_EQ(spatialWKB_checkRecord(nullptr, 40), SPATIAL_FAILURE);
    std::vector<std::uint64_t> shifted(6);
    std::memcpy(reinterpret_cast<std::uint8_t*>(shifted.data()) + 4, samples[0].data(), 40);
    EXPECT_EQ(spatialWKB_checkRecord(reinterpret_cast<std::uint8_t*>(shifted.data()) + 4, 40), SPATIAL_FAILURE);
}

// Records of the right size whose structure is forbidden: every size word
// agrees with the bytes and the layout, yet the checker must refuse them,
// for the reason each row gives.
TEST(RecordCheck, RefusesWellSizedForbiddenStructures) {
    const Record p = point({1, 2, 3});
    const Record square = polygon({{{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 0, 0}}}});
    const auto retyped = [](Record record, std::uint32_t type) {
        record.setWord(8, type);
        return record;
    };
    const auto withWord = [](Record record, std::size_t offset, std::uint32_t value) {
        record.setWord(offset, value);
        return record;
    };
    // A multipoint of one point (48 bytes) whose count c makes 24 + 24 c
    // wrap 32 bits to 48: c = 1 + 2^29. Likewise a vertex count of 2 + 2^29
    // in a line of 2 vertices (80 bytes), and a subline count of 1 + 2^29
    // (8 bytes each: 2^32) in a line of one empty subline.
    const Record multipoint = multiPoint({{1, 2, 3}}), twoVertices = line({vertices(2)}), empty = line({{}});
    const struct {
        const char* reason;
        Record bytes;
    } rows[] = {
        {"a collection inside a collection", collection({p, collection({p})})},
        {"an empty collection inside a collection", collection({ofType(SPATIAL_TYPE_COLLECTION).finish()})},
        {"a member of type 8 with a point's size and body", collection({retyped(p, SPATIAL_TYPE_RESERVED)})},
        {"a member of type 8 after a good member", collection({p, retyped(p, SPATIAL_TYPE_RESERVED)})},
        {"a member of an unknown type with a point's size", collection({p, retyped(p, 9)})},
        {"a member of type 0 with a point's size", collection({retyped(p, 0)})},
        {"type 8 at the top with a polygon's size and body", retyped(square, SPATIAL_TYPE_RESERVED)},
        {"a point count whose size wraps 32 bits onto the stored size", withWord(multipoint, 16, 0x20000001u)},
        {"a vertex count whose size wraps 32 bits onto the stored size", withWord(twoVertices, 28, 0x20000002u)},
        {"a subline count whose size wraps 32 bits onto the stored size", withWord(empty, 16, 0x20000001u)},
        {"the same, in a collection member", collection({p, withWord(multipoint, 16, 0x20000001u)})},
        {"a multipolygon of polygons whose ring counts wrap",
         withWord(multiPolygon({{{vertices(3)}}}), 24, 0x20000001u)},
    };
    for (const auto& row : rows) {
        // The stored size is the bytes' own size.
        EXPECT_EQ(wordAt(row.bytes.data(), 12), row.bytes.size()) << row.reason;
        EXPECT_EQ(check(row.bytes), SPATIAL_FAILURE) << row.reason;
    }
}

// Many empty sublines or members that the bytes hold: each costs 8 bytes,
// so huge counts end at the end of the bytes.
TEST(RecordCheck, HugeCountsOfEmptyElementsEndWithTheBytes) {
    constexpr std::uint32_t kEmpties = 100000;
    Record line = testrecords::line(Sublines(kEmpties));
    EXPECT_EQ(check(line), SPATIAL_SUCCESS);
    line.setWord(16, 0xffffffffu);
    EXPECT_EQ(check(line), SPATIAL_FAILURE);
}

// Coordinates are not the checker's business: infinities, NaN and the
// extremes of the doubles pass it, and every export must cope with them.
TEST(RecordCheck, AcceptedRecordsWithExtremeCoordinatesAreSafeToUse) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const double big = std::numeric_limits<double>::max(), tiny = std::numeric_limits<double>::denorm_min();
    const double extremes[] = {inf, -inf, nan, big, -big, tiny, -tiny, 1e154, 0.0};
    const PartnerRecords partners;
    for (const Record& original : sampleRecords()) {
        for (std::uint32_t offset = 16; offset + 8 <= original.size(); offset += 8) {
            for (double extreme : extremes) {
                Record bytes = original;
                std::memcpy(bytes.bytes() + offset, &extreme, sizeof extreme);
                if (check(bytes) != SPATIAL_SUCCESS) continue;  // a count word was overwritten
                EXPECT_TRUE(exerciseRecord(bytes.data(), partners)) << offset;
            }
        }
    }
}

// Whatever the checker accepts must be safe to read, size, copy, range,
// transform, write and intersect (the sanitizer build turns any stray read
// into a failure), and its size must agree with the checker's walk.
TEST(RecordCheck, AcceptedMutationsAreSafeToUse) {
    std::mt19937 random(11);
    const PartnerRecords partners;
    std::size_t accepted = 0;
    for (const Record& original : sampleRecords()) {
        std::uniform_int_distribution<std::uint32_t> offset(0, original.size() - 1);
        for (int trial = 0; trial < 600; ++trial) {
            Record bytes = original;
            for (int flips = 1 + trial % 3; flips > 0; --flips)
                bytes.bytes()[offset(random)] = static_cast<std::uint8_t>(trial % 2 ? random() : random() % 4);
            if (check(bytes) != SPATIAL_SUCCESS) continue;
            ++accepted;
            EXPECT_TRUE(exerciseRecord(bytes.data(), partners)) << "trial " << trial;
        }
    }
    EXPECT_GT(accepted, 400u);
}

}  // namespace
