// Every capacity, index, count and length parameter of the record and
// reader exports one below, at and one above its limit, one table per
// family. (The writers' capacities are swept whole in wkt_writer_test and
// ogc_wkb_test, the checker's length in record_check_test.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "queries/prepared_geometry.h"
#include "record_test_builder.h"

using namespace testrecords;

namespace {

const DPoint3d kUnwritten{-7, -7, -7};

Vertices joined(std::initializer_list<Vertices> parts) {
    Vertices all;
    for (const Vertices& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The readers of records.h. Each row calls a reader on its record into an
// array of 12 vertices holding kUnwritten and expects its status, the count
// it writes (99: none), the vertices first in the array, and kUnwritten
// from `untouchedFrom` on (a copy never passes its capacity; a refusal
// before copying writes nothing). A reader that answers also refuses a null
// record, a record of another kind and each null output, writing nothing.
TEST(RecordLimits, ReadersAtEveryCapacityAndIndex) {
    const Vertices a = vertices(2), b = vertices(3, 100), c = vertices(4, 200);
    const Record point = testrecords::point(c[1]);
    const Record line = testrecords::line({a, b});                  // sublines of 2 and 3
    const Record polygon = testrecords::polygon({{a, b}, {c}});     // rings of 5 (2 + 3) and 4
    const Record multipoint = multiPoint(c);                        // 4 points
    const Record multiline = multiLine({{c}, {a, b}});              // lines of 4 and 5 (2 + 3)
    const Record multipolygon = multiPolygon({{{c}}, {{a}, {b}}});  // polygons of 4 and 5 (rings 2 + 3)
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
    const auto lineAt = [&](uint32_t n) { return copying(spatialWKB_lineGetPoints, n); };
    const auto polygonAt = [&](uint32_t n) { return copying(spatialWKB_polygonGetPoints, n); };
    const auto pointsAt = [&](uint32_t n) { return copying(spatialWKB_mpointGetPoints, n); };
    const auto pointAt = [&](uint32_t i) { return onePoint(spatialWKB_mpointGetPoint, i); };
    const auto lineOf = [&](uint32_t i, uint32_t n) { return copying(spatialWKB_mlineGetPoints, i, n); };
    const auto lineCount = [&](uint32_t i) { return counting(spatialWKB_mlineGetPointCount, i); };
    const auto polygonOf = [&](uint32_t i, uint32_t n) { return copying(spatialWKB_mpolygonGetPoints, i, n); };
    const auto polygonCount = [&](uint32_t i) { return counting(spatialWKB_mpolygonGetPointCount, i); };
    const Row rows[] = {
        {"point", point, onePoint(spatialWKB_pointGetPoint), ok, none, {c[1]}, 1},
        // Whole sublines: around the first subline (2) and the whole line (5).
        {"line, count", line, counting(spatialWKB_lineGetPointCount), ok, 5, {}, 0},
        {"line, capacity 1", line, lineAt(1), fail, 0, {}, 0},
        {"line, capacity 2", line, lineAt(2), fail, 2, a, 2},
        {"line, capacity 3", line, lineAt(3), fail, 2, a, 2},
        {"line, capacity 4", line, lineAt(4), fail, 2, a, 2},
        {"line, capacity 5", line, lineAt(5), ok, 5, joined({a, b}), 5},
        {"line, capacity 6", line, lineAt(6), ok, 5, joined({a, b}), 5},
        // Whole rings: around the outer ring (5) and the polygon (9).
        {"polygon, count", polygon, counting(spatialWKB_polygonGetPointCount), ok, 9, {}, 0},
        {"polygon, capacity 4", polygon, polygonAt(4), fail, 0, {}, 4},
        {"polygon, capacity 5", polygon, polygonAt(5), fail, 5, joined({a, b}), 5},
        {"polygon, capacity 6", polygon, polygonAt(6), fail, 5, joined({a, b}), 6},
        {"polygon, capacity 8", polygon, polygonAt(8), fail, 5, joined({a, b}), 8},
        {"polygon, capacity 9", polygon, polygonAt(9), ok, 9, joined({a, b, c}), 9},
        {"polygon, capacity 10", polygon, polygonAt(10), ok, 9, joined({a, b, c}), 9},
        // All points or nothing.
        {"multipoint, count", multipoint, counting(spatialWKB_mpointGetPointCount), ok, 4, {}, 0},
        {"multipoint, capacity 3", multipoint, pointsAt(3), fail, none, {}, 0},
        {"multipoint, capacity 4", multipoint, pointsAt(4), ok, 4, c, 4},
        {"multipoint, capacity 5", multipoint, pointsAt(5), ok, 4, c, 4},
        {"multipoint, index 3", multipoint, pointAt(3), ok, none, {c[3]}, 1},
        {"multipoint, index 4", multipoint, pointAt(4), fail, none, {}, 0},
        {"multipoint, index 5", multipoint, pointAt(5), fail, none, {}, 0},
        {"multipoint, index 2^32-1", multipoint, pointAt(~0u), fail, none, {}, 0},
        // Member lines by index (2 lines), then capacity.
        {"multiline, line 1, capacity 4", multiline, lineOf(1, 4), fail, 2, a, 2},
        {"multiline, line 1, capacity 5", multiline, lineOf(1, 5), ok, 5, joined({a, b}), 5},
        {"multiline, line 1, capacity 6", multiline, lineOf(1, 6), ok, 5, joined({a, b}), 5},
        {"multiline, line 0, capacity 3", multiline, lineOf(0, 3), fail, 0, {}, 0},
        {"multiline, line 0, capacity 4", multiline, lineOf(0, 4), ok, 4, c, 4},
        {"multiline, line count", multiline, counting(spatialWKB_mlineGetLineCount), ok, 2, {}, 0},
        {"multiline, line 2", multiline, lineOf(2, 8), fail, none, {}, 0},
        {"multiline, line 3", multiline, lineOf(3, 8), fail, none, {}, 0},
        {"multiline, count of line 1", multiline, lineCount(1), ok, 5, {}, 0},
        {"multiline, count of line 2", multiline, lineCount(2), fail, none, {}, 0},
        {"multiline, count of line 3", multiline, lineCount(3), fail, none, {}, 0},
        // Member polygons by index (2 polygons), then capacity.
        {"multipolygon, polygon 1, capacity 1", multipolygon, polygonOf(1, 1), fail, 0, {}, 1},
        {"multipolygon, polygon 1, capacity 2", multipolygon, polygonOf(1, 2), fail, 2, a, 2},
        {"multipolygon, polygon 1, capacity 4", multipolygon, polygonOf(1, 4), fail, 2, a, 4},
        {"multipolygon, polygon 1, capacity 5", multipolygon, polygonOf(1, 5), ok, 5, joined({a, b}), 5},
        {"multipolygon, polygon 1, capacity 6", multipolygon, polygonOf(1, 6), ok, 5, joined({a, b}), 5},
        {"multipolygon, polygon 0, capacity 3", multipolygon, polygonOf(0, 3), fail, 0, {}, 3},
        {"multipolygon, polygon 0, capacity 4", multipolygon, polygonOf(0, 4), ok, 4, c, 4},
        {"multipolygon, polygon count", multipolygon, counting(spatialWKB_mpolygonGetPolyCount), ok, 2, {}, 0},
        {"multipolygon, polygon 2", multipolygon, polygonOf(2, 8), fail, none, {}, 0},
        {"multipolygon, polygon 3", multipolygon, polygonOf(3, 8), fail, none, {}, 0},
        {"multipolygon, count of polygon 1", multipolygon, polygonCount(1), ok, 5, {}, 0},
        {"multipolygon, count of polygon 2", multipolygon, polygonCount(2), fail, none, {}, 0},
        {"multipolygon, count of polygon 3", multipolygon, polygonCount(3), fail, none, {}, 0},
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
