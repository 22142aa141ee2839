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

// Corrupt words, and records of the right size whose structure is
// forbidden (every size word agrees with the bytes and the layout, yet the
// checker must refuse them), each for the reason its row gives; and the
// few edits that leave a record.
TEST(RecordCheck, RefusesCorruptWordsAndForbiddenStructures) {
    const std::vector<Record> samples = sampleRecords();
    // The polygon: an outer ring of 5, a hole of 4: 24 + 8+8+120 + 8+8+96.
    const Record &polygon = samples[2], &pointAndPolygon = samples[6];  // members at 24 and 64
    ASSERT_EQ(polygon.size(), 272u);
    const auto edited = [](Record record, std::initializer_list<std::pair<std::size_t, std::uint32_t>> words) {
        for (auto [offset, value] : words) record.setWord(offset, value);
        return record;
    };
    const auto retyped = [&](const Record& record, std::uint32_t type) { return edited(record, {{8, type}}); };
    const Record p = point({1, 2, 3});
    const Record square = testrecords::polygon({{{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 0, 0}}}});
    // A multipoint of one point (48 bytes) whose count c makes 24 + 24 c
    // wrap 32 bits to 48: c = 1 + 2^29. Likewise a vertex count of 2 + 2^29
    // in a line of 2 vertices (80 bytes), and a subline count of 1 + 2^29
    // (8 bytes each: 2^32) in a line of one empty subline.
    const Record wrappingPoints = edited(multiPoint({{1, 2, 3}}), {{16, 0x20000001u}});
    const struct {
        const char* what;
        Record bytes;
        bool wellSized = false;  // the stored size is the bytes' own
        std::uint32_t expected = SPATIAL_FAILURE;
    } rows[] = {
        {"type 0", retyped(polygon, 0)},
        {"type 8, which has no layout", retyped(polygon, 8)},
        {"unknown type", retyped(polygon, 9)},
        {"a polygon read as a collection", retyped(polygon, 7)},
        {"a totalSize other than the layout's", edited(polygon, {{12, 8}})},
        {"a totalSize beyond the layout's", edited(polygon, {{12, 280}})},
        {"one ring too many", edited(polygon, {{16, 3}})},
        {"a ring count at the maximum", edited(polygon, {{16, 0xffffffffu}})},
        {"a subline too many in the outer ring", edited(polygon, {{24, 2}})},
        {"a vertex too many", edited(polygon, {{36, 6}})},
        {"24 * count wraps 32 bits", edited(polygon, {{36, 0x0aaaaaabu}})},
        {"a vertex count at the maximum", edited(polygon, {{36, 0xffffffffu}})},
        {"one ring fewer: the stored size is now wrong", edited(polygon, {{16, 1}})},
        {"one ring fewer, no stored size: still a record", edited(polygon, {{16, 1}, {12, 0}}), false, SPATIAL_SUCCESS},
        {"the collection as made", pointAndPolygon, true, SPATIAL_SUCCESS},
        {"member of type 0", edited(pointAndPolygon, {{32, 0}})},
        {"the point member claims 48 bytes", edited(pointAndPolygon, {{36, 48}})},
        {"a member more than the bytes hold", edited(pointAndPolygon, {{16, 3}, {12, 0}})},
        {"a collection inside a collection", collection({p, collection({p})}), true},
        {"an empty collection inside a collection", collection({ofType(SPATIAL_TYPE_COLLECTION).finish()}), true},
        {"a member of type 8 with a point's size and body", collection({retyped(p, SPATIAL_TYPE_RESERVED)}), true},
        {"a member of type 8 after a good member", collection({p, retyped(p, SPATIAL_TYPE_RESERVED)}), true},
        {"a member of an unknown type with a point's size", collection({p, retyped(p, 9)}), true},
        {"a member of type 0 with a point's size", collection({retyped(p, 0)}), true},
        {"type 8 at the top with a polygon's size and body", retyped(square, SPATIAL_TYPE_RESERVED), true},
        {"a point count whose size wraps 32 bits onto the stored size", wrappingPoints, true},
        {"a vertex count whose size wraps 32 bits onto the stored size",
         edited(line({vertices(2)}), {{28, 0x20000002u}}), true},
        {"a subline count whose size wraps 32 bits onto the stored size", edited(line({{}}), {{16, 0x20000001u}}),
         true},
        {"the same, in a collection member", collection({p, wrappingPoints}), true},
        {"a multipolygon of polygons whose ring counts wrap",
         edited(multiPolygon({{{vertices(3)}}}), {{24, 0x20000001u}}), true},
    };
    for (const auto& row : rows) {
        if (row.wellSized) {
            EXPECT_EQ(wordAt(row.bytes.data(), 12), row.bytes.size()) << row.what;
        }
        EXPECT_EQ(check(row.bytes), row.expected) << row.what;
    }
    // Empty kinds with count 0 are records (24 bytes).
    for (std::uint32_t type : {4u, 5u, 6u, 7u}) EXPECT_EQ(check(ofType(type).finish()), SPATIAL_SUCCESS) << type;
    // No block, or a block 4 bytes off the 8-byte alignment of records.
    EXPECT_EQ(spatialWKB_checkRecord(nullptr, 40), SPATIAL_FAILURE);
    std::vector<std::uint64_t> shifted(6);
    std::memcpy(reinterpret_cast<std::uint8_t*>(shifted.data()) + 4, samples[0].data(), 40);
    EXPECT_EQ(spatialWKB_checkRecord(reinterpret_cast<std::uint8_t*>(shifted.data()) + 4, 40), SPATIAL_FAILURE);
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

// Whatever the checker accepts must be safe to read, size, copy, range,
// transform, write and intersect (the sanitizer build turns any stray read
// into a failure), and its size must agree with the checker's walk: each
// sample with an extreme coordinate over any 8 bytes (infinities, NaN and
// the extremes of the doubles are not the checker's business), and with a
// few random bytes changed.
TEST(RecordCheck, AcceptedVariantsAreSafeToUse) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const double big = std::numeric_limits<double>::max(), tiny = std::numeric_limits<double>::denorm_min();
    const double extremes[] = {inf, -inf, nan, big, -big, tiny, -tiny, 1e154, 0.0};
    std::mt19937 random(11);
    const PartnerRecords partners;
    std::size_t accepted = 0;
    for (const Record& original : sampleRecords()) {
        for (std::uint32_t offset = 16; offset + 8 <= original.size(); offset += 8) {
            for (double extreme : extremes) {
                Record bytes = original;
                std::memcpy(bytes.bytes() + offset, &extreme, sizeof extreme);
                if (check(bytes) != SPATIAL_SUCCESS) continue;  // a count word was overwritten
                EXPECT_TRUE(exerciseRecord(bytes.data(), partners)) << offset;
            }
        }
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
