// Every capacity, index, count and length parameter of the record and
// reader exports one below, at and one above its limit, one table per
// family. (The writers' capacities are swept whole in wkt_writer_test and
// ogc_wkb_test, the checker's length in record_check_test.)
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "queries/prepared_geometry.h"
#include "record_test_builder.h"

using namespace testrecords;

namespace {

const DPoint3d kUnwritten{-7, -7, -7};

// The readers of records.h. Each row calls a reader on its record into an
// array of 12 vertices holding kUnwritten and expects its status, the count
// it writes (99: none), the vertices first in the array, and kUnwritten
// from `untouchedFrom` on (a copy never passes its capacity; a refusal
// before copying writes nothing). A reader that answers also refuses a null
// record, a record of another kind and each null output, writing nothing.
TEST(RecordLimits, ReadersAtEveryCapacityAndIndex) {
    const Vertices a = vertices(2), b = vertices(3, 100), c = vertices(4, 200);
    const Record point = testrecords::point(c[1]);
    const Record line = testrecords::line({a, b});               // sublines of 2 and 3
    const Record polygon = testrecords::polygon({{a, b}, {c}});  // rings of 5 (2 + 3) and 4
    const Record multipoint = multiPoint(c);                     // 4 points
    const Record mline = multiLine({{c}, {a, b}});               // lines of 4 and 5 (2 + 3)
    const Record mpolygon = multiPolygon({{{c}}, {{a}, {b}}});   // polygons of 4 and 5 (rings 2 + 3)
    Vertices ab = a, abc;                                        // a then b; a, b then c
    ab.insert(ab.end(), b.begin(), b.end());
    abc = ab;
    abc.insert(abc.end(), c.begin(), c.end());
    using Call = std::function<uint32_t(const void*, DPoint3d*, uint32_t*)>;
    struct Row {
        std::string what;
        const Record& record;
        Call call;
        uint32_t status, count;
        Vertices copied;
        uint32_t untouchedFrom;
    };
    constexpr uint32_t ok = SPATIAL_SUCCESS, fail = SPATIAL_FAILURE, none = 99;
    // A reader called with the record and its leading arguments, then the
    // array and the count (copying), the count alone or one point.
    const auto copying = [](auto read, auto... leading) {
        return Call([=](const void* r, DPoint3d* out, uint32_t* n) { return read(r, leading..., out, n); });
    };
    const auto counting = [](auto read, auto... leading) {
        return Call([=](const void* r, DPoint3d*, uint32_t* n) { return read(r, leading..., n); });
    };
    const auto onePoint = [](auto read, auto... leading) {
        return Call([=](const void* r, DPoint3d* out, uint32_t*) { return read(r, leading..., out); });
    };
    const Row rows[] = {
        {"point", point, onePoint(spatialWKB_pointGetPoint), ok, none, {c[1]}, 1},
        // Whole sublines: around the first subline (2) and the whole line (5).
        {"line, count", line, counting(spatialWKB_lineGetPointCount), ok, 5, {}, 0},
        {"line, capacity 1", line, copying(spatialWKB_lineGetPoints, 1u), fail, 0, {}, 0},
        {"line, capacity 2", line, copying(spatialWKB_lineGetPoints, 2u), fail, 2, a, 2},
        {"line, capacity 3", line, copying(spatialWKB_lineGetPoints, 3u), fail, 2, a, 2},
        {"line, capacity 4", line, copying(spatialWKB_lineGetPoints, 4u), fail, 2, a, 2},
        {"line, capacity 5", line, copying(spatialWKB_lineGetPoints, 5u), ok, 5, ab, 5},
        {"line, capacity 6", line, copying(spatialWKB_lineGetPoints, 6u), ok, 5, ab, 5},
        // Whole rings: around the outer ring (5) and the polygon (9).
        {"polygon, count", polygon, counting(spatialWKB_polygonGetPointCount), ok, 9, {}, 0},
        {"polygon, capacity 4", polygon, copying(spatialWKB_polygonGetPoints, 4u), fail, 0, {}, 4},
        {"polygon, capacity 5", polygon, copying(spatialWKB_polygonGetPoints, 5u), fail, 5, ab, 5},
        {"polygon, capacity 6", polygon, copying(spatialWKB_polygonGetPoints, 6u), fail, 5, ab, 6},
        {"polygon, capacity 8", polygon, copying(spatialWKB_polygonGetPoints, 8u), fail, 5, ab, 8},
        {"polygon, capacity 9", polygon, copying(spatialWKB_polygonGetPoints, 9u), ok, 9, abc, 9},
        {"polygon, capacity 10", polygon, copying(spatialWKB_polygonGetPoints, 10u), ok, 9, abc, 9},
        // All points or nothing.
        {"multipoint, count", multipoint, counting(spatialWKB_mpointGetPointCount), ok, 4, {}, 0},
        {"multipoint, capacity 3", multipoint, copying(spatialWKB_mpointGetPoints, 3u), fail, none, {}, 0},
        {"multipoint, capacity 4", multipoint, copying(spatialWKB_mpointGetPoints, 4u), ok, 4, c, 4},
        {"multipoint, capacity 5", multipoint, copying(spatialWKB_mpointGetPoints, 5u), ok, 4, c, 4},
        {"multipoint, index 3", multipoint, onePoint(spatialWKB_mpointGetPoint, 3u), ok, none, {c[3]}, 1},
        {"multipoint, index 4", multipoint, onePoint(spatialWKB_mpointGetPoint, 4u), fail, none, {}, 0},
        {"multipoint, index 5", multipoint, onePoint(spatialWKB_mpointGetPoint, 5u), fail, none, {}, 0},
        {"multipoint, index 2^32-1", multipoint, onePoint(spatialWKB_mpointGetPoint, ~0u), fail, none, {}, 0},
        // Member lines by index (2 lines), then capacity.
        {"mline 1, capacity 4", mline, copying(spatialWKB_mlineGetPoints, 1u, 4u), fail, 2, a, 2},
        {"mline 1, capacity 5", mline, copying(spatialWKB_mlineGetPoints, 1u, 5u), ok, 5, ab, 5},
        {"mline 1, capacity 6", mline, copying(spatialWKB_mlineGetPoints, 1u, 6u), ok, 5, ab, 5},
        {"mline 0, capacity 3", mline, copying(spatialWKB_mlineGetPoints, 0u, 3u), fail, 0, {}, 0},
        {"mline 0, capacity 4", mline, copying(spatialWKB_mlineGetPoints, 0u, 4u), ok, 4, c, 4},
        {"mline count", mline, counting(spatialWKB_mlineGetLineCount), ok, 2, {}, 0},
        {"mline 2", mline, copying(spatialWKB_mlineGetPoints, 2u, 8u), fail, none, {}, 0},
        {"mline 3", mline, copying(spatialWKB_mlineGetPoints, 3u, 8u), fail, none, {}, 0},
        {"count of mline 1", mline, counting(spatialWKB_mlineGetPointCount, 1u), ok, 5, {}, 0},
        {"count of mline 2", mline, counting(spatialWKB_mlineGetPointCount, 2u), fail, none, {}, 0},
        {"count of mline 3", mline, counting(spatialWKB_mlineGetPointCount, 3u), fail, none, {}, 0},
        // Member polygons by index (2 polygons), then capacity.
        {"mpolygon 1, capacity 1", mpolygon, copying(spatialWKB_mpolygonGetPoints, 1u, 1u), fail, 0, {}, 1},
        {"mpolygon 1, capacity 2", mpolygon, copying(spatialWKB_mpolygonGetPoints, 1u, 2u), fail, 2, a, 2},
        {"mpolygon 1, capacity 4", mpolygon, copying(spatialWKB_mpolygonGetPoints, 1u, 4u), fail, 2, a, 4},
        {"mpolygon 1, capacity 5", mpolygon, copying(spatialWKB_mpolygonGetPoints, 1u, 5u), ok, 5, ab, 5},
        {"mpolygon 1, capacity 6", mpolygon, copying(spatialWKB_mpolygonGetPoints, 1u, 6u), ok, 5, ab, 5},
        {"mpolygon 0, capacity 3", mpolygon, copying(spatialWKB_mpolygonGetPoints, 0u, 3u), fail, 0, {}, 3},
        {"mpolygon 0, capacity 4", mpolygon, copying(spatialWKB_mpolygonGetPoints, 0u, 4u), ok, 4, c, 4},
        {"mpolygon count", mpolygon, counting(spatialWKB_mpolygonGetPolyCount), ok, 2, {}, 0},
        {"mpolygon 2", mpolygon, copying(spatialWKB_mpolygonGetPoints, 2u, 8u), fail, none, {}, 0},
        {"mpolygon 3", mpolygon, copying(spatialWKB_mpolygonGetPoints, 3u, 8u), fail, none, {}, 0},
        {"count of mpolygon 1", mpolygon, counting(spatialWKB_mpolygonGetPointCount, 1u), ok, 5, {}, 0},
        {"count of mpolygon 2", mpolygon, counting(spatialWKB_mpolygonGetPointCount, 2u), fail, none, {}, 0},
        {"count of mpolygon 3", mpolygon, counting(spatialWKB_mpolygonGetPointCount, 3u), fail, none, {}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<DPoint3d> out(12, kUnwritten);
        uint32_t count = none;
        EXPECT_EQ(row.call(row.record.data(), out.data(), &count), row.status);
        EXPECT_EQ(count, row.count);
        for (std::size_t k = 0; k < row.copied.size(); ++k) EXPECT_TRUE(samePoint(out[k], row.copied[k])) << k;
        for (std::size_t k = std::max<std::size_t>(row.untouchedFrom, row.copied.size()); k < out.size(); ++k)
            EXPECT_TRUE(samePoint(out[k], kUnwritten)) << k;
        if (row.status != ok) continue;
        out[0] = kUnwritten;
        count = none;
        EXPECT_EQ(row.call(nullptr, out.data(), &count), fail);
        EXPECT_EQ(row.call((&row.record == &point ? line : point).data(), out.data(), &count), fail);
        if (!row.copied.empty()) {
            EXPECT_EQ(row.call(row.record.data(), nullptr, &count), fail);
        }
        if (row.count != none) {
            EXPECT_EQ(row.call(row.record.data(), out.data(), nullptr), fail);
        }
        EXPECT_TRUE(samePoint(out[0], kUnwritten));
        EXPECT_EQ(count, none);
    }
}

// The creators' counts: 0 is refused, 1 is a record; one vertex more than
// a record of 32-bit size holds is refused before any vertex is read (one
// is there), as is a count whose byte size wraps 32 bits. Null arguments
// are refused too; nothing is stored.
TEST(RecordLimits, CreatorCounts) {
    using Creator = uint32_t (*)(const DPoint3d*, uint32_t, void**);
    const struct {
        const char* what;
        Creator create;
        uint32_t largest;  // (2^32 - 1 - fixed bytes) / 24
    } creators[] = {
        {"line", spatialWKB_createLine, 178956969},                  // 32 + 24 n
        {"polygon", spatialWKB_createPolygon, 178956968},            // 40 + 24 n
        {"multipoint", spatialWKB_createMultiPoint, 178956969},      // 24 + 24 n
        {"multiline", spatialWKB_createMultiLine, 178956968},        // 40 + 24 n
        {"multipolygon", spatialWKB_createMultiPolygon, 178956968},  // 48 + 24 n
    };
    const DPoint3d one{1, 2, 3};
    void* out = nullptr;
    EXPECT_EQ(spatialWKB_createPoint(nullptr, &out), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_createPoint(&one, nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(out, nullptr);
    for (const auto& c : creators) {
        SCOPED_TRACE(c.what);
        void* const untouched = reinterpret_cast<void*>(0x1234);
        void* out = untouched;
        for (uint32_t count : {0u, c.largest + 1, 0xB0000000u, 0xFFFFFFFFu})
            EXPECT_EQ(c.create(&one, count, &out), SPATIAL_FAILURE) << count;
        EXPECT_EQ(c.create(nullptr, 1, &out), SPATIAL_FAILURE);
        EXPECT_EQ(c.create(&one, 1, nullptr), SPATIAL_FAILURE);
        EXPECT_EQ(out, untouched);
        LibraryRecord made;
        ASSERT_EQ(c.create(&one, 1, made.out()), SPATIAL_SUCCESS);
        uint32_t size = 0;
        ASSERT_EQ(spatialWKB_getSize(made.get(), &size), SPATIAL_SUCCESS);
        // The count refused above is the first whose size passes 32 bits.
        const uint64_t fixed = size - 24;
        EXPECT_LE(fixed + 24ull * c.largest, 0xFFFFFFFFull);
        EXPECT_GT(fixed + 24ull * (c.largest + 1), 0xFFFFFFFFull);
    }
}

// The text readers: the destination's byte capacity around the record's
// size (40 for a point; one byte in, as the destination need not be
// aligned), and the length of the bytes searched around an unmatched byte,
// a NUL and a keyword.
TEST(ReaderLimits, CapacityAndLength) {
    const std::vector<uint8_t> point = bytesOf(testrecords::point({1, 2, 3}).withLibraryPads().data());
    for (uint32_t capacity : {39u, 40u, 41u}) {
        SCOPED_TRACE(capacity);
        std::vector<uint8_t> buffer(49, 0xAB), expected = buffer;
        const bool fits = capacity >= 40;
        EXPECT_EQ(spatialWKB_convertTextToBinary(u"POINT(1 2 3)", buffer.data() + 1, capacity),
                  fits ? SPATIAL_SUCCESS : SPATIAL_BUFFER_TOO_SMALL);
        if (fits) std::copy(point.begin(), point.end(), expected.begin() + 1);
        EXPECT_EQ(buffer, expected);
    }
    const struct {
        const char* text;
        uint64_t length;
        int32_t found;
        uint64_t offset;
    } searches[] = {
        {"POINT(1 2 3)x", 12, 0, 99},  // up to the unmatched byte
        {"POINT(1 2 3)x", 13, 1, 12},  // ending with it
        {"POINT(1 2 3)x", 14, 1, 12},  // and the terminator after it
        {"POINTS", 4, 1, 0},           // a keyword cut short: "POIN" is no token
        {"POINTS", 5, 0, 99},         {"POINTS", 6, 1, 5},  {"x", 0, 0, 99}, {"x", 1, 1, 0},
        {"POINT(1\0 2 3)", 13, 1, 7},  // a NUL is a byte like any other
        {nullptr, 0, 0, 99},          {nullptr, 1, -1, 99},
    };
    testing::internal::CaptureStdout();
    for (const auto& s : searches) {
        uint64_t offset = 99;
        EXPECT_EQ(spatialParse_findUnmatchedByte(s.text, s.length, &offset), s.found) << s.text << " " << s.length;
        EXPECT_EQ(offset, s.offset) << s.text << " " << s.length;
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(spatialParse_findUnmatchedByte("x", 1, nullptr), -1);
}

// A prepared record shares each polygon of at least its threshold of
// vertices and copies the smaller ones: 7, 8 and 9 vertices against 8.
TEST(PreparedLimits, PolygonsSharedFromTheirThreshold) {
    for (const std::uint32_t count : {7u, 8u, 9u}) {
        Vertices ring;
        for (std::uint32_t i = 0; i < count; ++i) {
            const double a = 2 * std::numbers::pi * i / count;
            ring.push_back({std::cos(a), std::sin(a), 0});
        }
        const Record record = polygon({{ring}});
        const auto prepared =
            spatialgeom::PreparedGeometry::prepare(static_cast<const spatialgeom::Byte*>(record.data()), 8);
        ASSERT_NE(prepared, nullptr);
        EXPECT_EQ(prepared->sharedPolygon(0) != nullptr, count >= 8) << count << " vertices";
    }
}

}  // namespace
