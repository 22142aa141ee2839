#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "spatialgeom/spatialgeom.h"
#include "tests/record_test_builder.h"

namespace spatialgeom {
namespace {

namespace rec = testrecords;
using rec::Vertices;
using TestRecord = rec::Record;

using RecordWriter = std::function<std::int32_t(const void*, SpatialWChar*, std::int32_t)>;

constexpr SpatialWChar kUntouched = u'#';

// The outcome of one writer call into a buffer of capacity characters,
// followed by guard characters that must stay untouched.
struct Written {
    std::int32_t result;
    std::string text;  // up to the terminator when the result is positive
    bool guardIntact;
};

Written write(const RecordWriter& writer, const void* element, std::int32_t capacity) {
    constexpr std::size_t kGuard = 8;
    std::vector<SpatialWChar> buffer(static_cast<std::size_t>(capacity) + kGuard, kUntouched);
    Written out{writer(element, buffer.data(), capacity), "", true};
    if (out.result > 0 && out.result < capacity) {
        EXPECT_EQ(buffer[static_cast<std::size_t>(out.result)], 0) << "text not terminated";
        out.text.assign(buffer.begin(), buffer.begin() + out.result);
    }
    for (std::size_t i = static_cast<std::size_t>(capacity); i < buffer.size(); ++i) {
        out.guardIntact = out.guardIntact && buffer[i] == kUntouched;
    }
    return out;
}

// The text written with ample room; result and text length must agree.
std::string textOf(const RecordWriter& writer, const void* element) {
    const Written out = write(writer, element, 1 << 16);
    EXPECT_EQ(out.result, static_cast<std::int32_t>(out.text.size())) << out.text;
    return out.text;
}

const Vertices kSquare = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 0, 0}};
const Vertices kHole = {{1, 1, 0}, {2, 1, 0}, {2, 2, 0}, {1, 1, 0}};
const Vertices kTwo = {{0, 0, 0}, {1.5, 2.25, -3}};
const Vertices kThree = {{7, 8, 9}, {10, 11, 12}, {13, 14, 15}};

struct TextCase {
    const char* name;
    TestRecord record;
    RecordWriter writer;
    const char* expected;
};

// The writer of a body at `offset` bytes into the record.
RecordWriter bodyWriter(std::int32_t (*writer)(const void*, SpatialWChar*, std::int32_t), std::size_t offset) {
    return [writer, offset](const void* record, SpatialWChar* buffer, std::int32_t capacity) {
        return writer(static_cast<const std::uint8_t*>(record) + offset, buffer, capacity);
    };
}

// A writer of the vertices kTwo, whatever the record.
RecordWriter listWriter(std::int32_t (*writer)(std::uint32_t, const DPoint3d*, SpatialWChar*, std::int32_t)) {
    return [writer](const void*, SpatialWChar* buffer, std::int32_t capacity) {
        return writer(2, kTwo.data(), buffer, capacity);
    };
}

// spatialWKB_convertBinaryToText, whose capacity is in bytes: an odd byte
// more is no room for another character.
template <std::uint32_t kOddByte = 0>
std::int32_t convert(const void* record, SpatialWChar* buffer, std::int32_t capacity) {
    return spatialWKB_convertBinaryToText(record, buffer, static_cast<std::uint32_t>(capacity) * 2 + kOddByte);
}

// The record's text read back into a byte buffer.
std::vector<std::uint8_t> readBack(const void* record) {
    const std::string narrowText = textOf(convert<>, record);
    const std::u16string text(narrowText.begin(), narrowText.end());
    std::uint32_t size = 0;
    EXPECT_EQ(spatialWKB_getSizeFromTextGeom(text.c_str(), &size), SPATIAL_SUCCESS);
    std::vector<std::uint64_t> storage(size / 8 + 1);
    EXPECT_EQ(spatialWKB_convertTextToBinary(text.c_str(), storage.data(), size), SPATIAL_SUCCESS);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(storage.data());
    return {bytes, bytes + size};
}

std::vector<TextCase> textCases() {
    const TestRecord point = rec::point({1, 2, 3});
    const TestRecord line = rec::line({kTwo});
    // A polygon body starts 16 bytes in; its first ring 8 bytes further.
    const TestRecord twoRings = rec::polygon({{kTwo, kThree}, {kHole}});
    return {
        {"point", point, spatialWKT_point, "point(1 2 3)"},
        {"linestring", line, spatialWKT_linestring, "linestring(0 0 0,1.5 2.25 -3)"},
        {"linestring of two sublines, all vertices in one list", rec::line({kTwo, kThree}), spatialWKT_linestring,
         "linestring(0 0 0,1.5 2.25 -3,7 8 9,10 11 12,13 14 15)"},
        {"linestring whose first subline is empty", rec::line({{}, kTwo}), spatialWKT_linestring,
         "linestring(0 0 0,1.5 2.25 -3)"},
        {"multipoint", rec::multiPoint({{1, 2, 3}, {4, 5, 6}}), spatialWKT_multipoint, "multipoint((1 2 3),(4 5 6))"},
        {"polygon with a hole", rec::polygon({{kSquare}, {kHole}}), spatialWKT_polygon,
         "polygon((0 0 0,4 0 0,4 4 0,0 0 0),(1 1 0,2 1 0,2 2 0,1 1 0))"},
        {"polygon whose outer ring has two sublines, one ring", rec::polygon({{kTwo, kThree}}), spatialWKT_polygon,
         "polygon((0 0 0,1.5 2.25 -3,7 8 9,10 11 12,13 14 15))"},
        {"multilinestring line of two sublines, one list each", rec::multiLine({{kTwo, kThree}}),
         spatialWKT_multilinestring, "multilinestring((0 0 0,1.5 2.25 -3),(7 8 9,10 11 12,13 14 15))"},
        {"multilinestring of two lines", rec::multiLine({{kTwo}, {kThree}}), spatialWKT_multilinestring,
         "multilinestring((0 0 0,1.5 2.25 -3),(7 8 9,10 11 12,13 14 15))"},
        {"multipolygon of a one-ring and a two-ring polygon", rec::multiPolygon({{{kSquare}}, {{kSquare}, {kHole}}}),
         spatialWKT_multipolygon,
         "multipolygon(((0 0 0,4 0 0,4 4 0,0 0 0)),((0 0 0,4 0 0,4 4 0,0 0 0),(1 1 0,2 1 0,2 2 0,1 1 0)))"},
        {"multipolygon ring of two sublines", rec::multiPolygon({{{kTwo, kThree}}}), spatialWKT_multipolygon,
         "multipolygon(((0 0 0,1.5 2.25 -3,7 8 9,10 11 12,13 14 15)))"},
        {"collection", rec::collection({point, line}), spatialWKT_geometryCollection,
         "geometrycollection(point(1 2 3),linestring(0 0 0,1.5 2.25 -3))"},
        {"empty multilinestring", rec::multiLine({}), spatialWKT_multilinestring, "multilinestring()"},
        {"empty multipolygon", rec::multiPolygon({}), spatialWKT_multipolygon, "multipolygon()"},
        {"empty collection", rec::collection({}), spatialWKT_geometryCollection, "geometrycollection()"},
        {"dispatch of a multipoint", rec::multiPoint({{1, 2, 3}}), spatialWKT_geometry, "multipoint((1 2 3))"},
        {"bytes to text", point, convert<>, "point(1 2 3)"},
        {"bytes to text of a collection", rec::collection({point}), convert<>, "geometrycollection(point(1 2 3))"},
        {"bytes to text, an odd byte more", rec::collection({point}), convert<1>, "geometrycollection(point(1 2 3))"},
        {"ring sequence", twoRings, bodyWriter(spatialWKT_ringSeq, 16),
         "(0 0 0,1.5 2.25 -3,7 8 9,10 11 12,13 14 15),(1 1 0,2 1 0,2 2 0,1 1 0)"},
        {"subline sequence", twoRings, bodyWriter(spatialWKT_sublineSeq, 24),
         "(0 0 0,1.5 2.25 -3),(7 8 9,10 11 12,13 14 15)"},
        {"vertex list", point, listWriter(spatialWKT_pointList), "0 0 0,1.5 2.25 -3"},
        {"parenthesised vertex list", point, listWriter(spatialWKT_multipointList), "(0 0 0),(1.5 2.25 -3)"},
    };
}

// Every capacity up to the text's length is refused without writing past
// it: 0 for the first `keywordRoom` capacities (a container's keyword and
// parenthesis do not fit), then -1; the length plus one and plus two write
// the text.
void expectEveryCapacity(const RecordWriter& writer, const void* record, const std::string& expected,
                         std::int32_t keywordRoom = 0) {
    const auto length = static_cast<std::int32_t>(expected.size());
    for (std::int32_t capacity = 1; capacity <= length + 2; ++capacity) {
        const Written out = write(writer, record, capacity);
        ASSERT_EQ(out.result, capacity > length ? length : capacity <= keywordRoom ? 0 : -1) << capacity;
        ASSERT_TRUE(out.guardIntact) << capacity;
        if (capacity > length) {
            EXPECT_EQ(out.text, expected);
        }
    }
}

// With ample room each kind writes its text; it needs room for the text
// and its terminator. The simple kinds give -1 when the keyword does not
// fit, the containers 0.
TEST(WktWriter, WritesEachKindAndNeedsRoomForTextAndTerminator) {
    for (const TextCase& c : textCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(textOf(c.writer, c.record.data()), c.expected);
        const std::string_view text(c.expected);
        const bool container = text.starts_with("multilinestring") || text.starts_with("multipolygon") ||
                               text.starts_with("geometrycollection");
        expectEveryCapacity(c.writer, c.record.data(), c.expected,
                            container ? static_cast<std::int32_t>(text.find('(') + 1) : 0);
    }
}

// Null arguments and non-positive capacities: -1 from the per-kind writers
// (0 for an empty list), 32768 from the dispatch and the conversion.
TEST(WktWriter, RefusesBadArgumentsAndWritesNothingForEmptyLists) {
    const TestRecord point = rec::point({1, 2, 3});
    SpatialWChar buffer[64];
    EXPECT_EQ(write(listWriter(spatialWKT_pointList), nullptr, 0).result, 0);
    EXPECT_EQ(write(bodyWriter(spatialWKT_sublineSeq, 24), rec::polygon({{kTwo}}).data(), 0).result, 0);
    EXPECT_EQ(write(bodyWriter(spatialWKT_ringSeq, 16), rec::polygon({}).data(), 64).result, 0);
    EXPECT_EQ(write(bodyWriter(spatialWKT_sublineSeq, 16), rec::line({}).data(), 64).result, 0);
    EXPECT_EQ(spatialWKB_convertBinaryToText(point.data(), buffer, 1), 32768);  // capacity 0
    EXPECT_EQ(spatialWKB_convertBinaryToText(nullptr, buffer, 32), 32768);
    EXPECT_EQ(spatialWKB_convertBinaryToText(point.data(), nullptr, 32), 32768);
    EXPECT_EQ(write(spatialWKT_point, point.data(), 0).result, -1);
    EXPECT_EQ(write(spatialWKT_point, point.data(), -4).result, -1);
    EXPECT_EQ(spatialWKT_point(nullptr, buffer, 64), -1);
    EXPECT_EQ(spatialWKT_point(point.data(), nullptr, 64), -1);
    EXPECT_EQ(spatialWKT_geometryCollection(nullptr, buffer, 64), -1);
    EXPECT_EQ(spatialWKT_ringSeq(nullptr, buffer, 64), -1);
    EXPECT_EQ(spatialWKT_pointList(1, nullptr, buffer, 64), -1);
    EXPECT_EQ(spatialWKT_pointList(0, nullptr, buffer, 64), 0);
    EXPECT_EQ(spatialWKT_geometry(nullptr, buffer, 64), 32768);
    EXPECT_EQ(spatialWKT_geometry(point.data(), nullptr, 64), 32768);
    EXPECT_EQ(spatialWKT_geometry(point.data(), buffer, 0), 32768);
    EXPECT_EQ(spatialWKT_geometry(rec::collection({}).data(), buffer, 64), 32768);
    for (std::uint32_t type : {0u, 8u, 9u})
        EXPECT_EQ(spatialWKT_geometry(rec::ofType(type).data(), buffer, 64), 32768) << type;
}

// A member whose text is exactly 32768 characters long is still written:
// that length is not mistaken for the dispatch failure code.
TEST(WktWriter, CollectionMemberOf32768Characters) {
    // "linestring(" + 5459 vertices of 5 or 6 characters and their commas + ")".
    Vertices vertices(5459, DPoint3d{0, 0, 0});
    for (int i = 0; i < 3; ++i) vertices[static_cast<std::size_t>(i)].x = 10;
    const TestRecord line = rec::line({vertices});
    ASSERT_EQ(textOf(spatialWKT_linestring, line.data()).size(), 32768u);
    const std::string text = textOf(spatialWKT_geometryCollection, rec::collection({line}).data());
    EXPECT_EQ(text.size(), 19u + 32768u + 1u);
}

// Restores the process-wide precision and numeric locale when a test ends.
class PrecisionTest : public ::testing::Test {
protected:
    void TearDown() override {
        spatialWKT_setPrecision(saved_);
        std::setlocale(LC_NUMERIC, savedLocale_.c_str());
    }

private:
    std::int32_t saved_ = spatialWKT_getPrecision();
    std::string savedLocale_ = std::setlocale(LC_NUMERIC, nullptr);
};

TEST_F(PrecisionTest, SetReturnsThePreviousAndAppliesToEveryCoordinate) {
    EXPECT_EQ(spatialWKT_setPrecision(10), 6);
    EXPECT_EQ(spatialWKT_setPrecision(-3), 10);
    EXPECT_EQ(spatialWKT_getPrecision(), -3);
    const TestRecord point = rec::point({3.14159, 1234567, 0.00001});
    const struct {
        std::int32_t precision;
        const char* text;
    } cases[] = {{6, "point(3.14159 1.23457e+06 1e-05)"},
                 {3, "point(3.14 1.23e+06 1e-05)"},
                 {0, "point(3 1e+06 1e-05)"},
                 {-1, "point(3.14159 1.23457e+06 1e-05)"}};
    for (const auto& c : cases) {
        spatialWKT_setPrecision(c.precision);
        EXPECT_EQ(textOf(spatialWKT_point, point.data()), c.text) << c.precision;
    }
    spatialWKT_setPrecision(10);
    EXPECT_EQ(textOf(spatialWKT_point, rec::point({-0.0, 100000, 1234567}).data()), "point(-0 100000 1234567)");
}

// Lists long enough for the writer to switch, as the room shrinks, from
// writing short numbers straight in to its bounded path, with a vertex of
// more digits than the precision among them, plain and parenthesised: at
// every capacity the text is complete or refused, and nothing is written
// past the capacity. Beyond precision 17 every vertex takes the general
// path, which writes straight in when the room is ample.
TEST_F(PrecisionTest, LongListsAtEveryCapacity) {
    Vertices vertices;
    for (int i = 0; i < 12; ++i) vertices.push_back({123456.789012 + i, -654321.098765 - i, 1234.5 + i});
    vertices[5].y = 0.1234567890123456;
    for (const std::int32_t precision : {12, 19}) {
        spatialWKT_setPrecision(precision);
        for (const bool multi : {false, true}) {
            std::string expected = multi ? "multipoint(" : "linestring(";
            for (const DPoint3d& v : vertices) {
                char text[128];
                std::snprintf(text, sizeof text, multi ? "%s(%.*g %.*g %.*g)" : "%s%.*g %.*g %.*g",
                              &v == vertices.data() ? "" : ",", precision, v.x, precision, v.y, precision, v.z);
                expected += text;
            }
            expected += ")";
            const TestRecord record = multi ? rec::multiPoint(vertices) : rec::line({vertices});
            const RecordWriter writer = multi ? spatialWKT_multipoint : spatialWKT_linestring;
            expectEveryCapacity(writer, record.data(), expected);
            EXPECT_EQ(textOf(writer, record.data()), expected);
        }
    }
}

// Everything the writer writes at precision 17 reads back to the same
// bytes: each kind, with several rings, members and holes, and a collection
// of them all, with vertices of every scale that "%.17g" and strtod keep.
TEST_F(PrecisionTest, EveryKindReadsBackByteForByte) {
    spatialWKT_setPrecision(17);
    static const double values[] = {0.1, -2.5e-300, 1e300, 123456789.123456789, 5e-324, -0.0, 1.0 / 3.0, -7.0};
    const auto awkward = [](std::size_t n, double shift) {
        Vertices result;
        for (std::size_t i = 0; i < n; ++i)
            result.push_back({values[i % 8] + shift, values[(i + 3) % 8] * (1 + shift), values[(i + 5) % 8] - shift});
        return result;
    };
    const auto a = awkward(5, 0), b = awkward(4, 0.25), c = awkward(7, -1.5);
    const auto first = [](const Vertices& v, std::size_t n) { return Vertices(v.begin(), v.begin() + n); };
    std::vector<TestRecord> records = {rec::point(a[1]),
                                       rec::line({a}),
                                       rec::polygon({{a}, {b}}),
                                       rec::multiPoint(c),
                                       rec::multiLine({{b}, {first(c, 1)}}),
                                       rec::multiPolygon({{{a}, {b}}, {{c}, {first(a, 3)}, {first(b, 2)}}})};
    records.push_back(rec::collection(records));
    for (const TestRecord& record : records) {
        const TestRecord made = record.withLibraryPads();
        EXPECT_EQ(readBack(record.data()), rec::bytesOf(made.data())) << "type " << rec::wordAt(made.data(), 8);
    }
}

// Under a locale whose decimal separator is a comma, numbers are still
// written and read with a point, on the short and the general number paths.
TEST_F(PrecisionTest, NumbersIgnoreTheHostLocale) {
    const auto comma = [] { return std::string(std::localeconv()->decimal_point) == ","; };
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"})
        if (std::setlocale(LC_NUMERIC, name) != nullptr && comma()) break;
    if (!comma()) GTEST_SKIP() << "no locale with a decimal comma is installed";
    const TestRecord line = rec::line({{{1.5, 2.25, -3}, {3.14159, 1234567, 0.00001}}});
    EXPECT_EQ(textOf(convert<>, line.data()), "linestring(1.5 2.25 -3,3.14159 1.23457e+06 1e-05)");
    spatialWKT_setPrecision(3);
    EXPECT_EQ(textOf(convert<>, line.data()), "linestring(1.5 2.25 -3,3.14 1.23e+06 1e-05)");
    spatialWKT_setPrecision(17);
    EXPECT_EQ(readBack(line.data()), rec::bytesOf(line.withLibraryPads().data()));
}

}  // namespace
}  // namespace spatialgeom
