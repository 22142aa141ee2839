// Well-Known Binary: the writer's exact bytes, hand-written input of every
// dialect, round trips, and every refusal with its boundary cases.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "record_test_builder.h"

using namespace testrecords;
using Bytes = std::vector<uint8_t>;

namespace {

// Doubles as stored: L little-endian, B big-endian.
#define L0 "0000000000000000"
#define L1 "000000000000f03f"
#define L2 "0000000000000040"
#define L3 "0000000000000840"
#define L4 "0000000000001040"
#define LNAN "000000000000f87f"
#define B1 "3ff0000000000000"
#define B2 "4000000000000000"
#define B3 "4008000000000000"
#define B4 "4010000000000000"

Bytes fromHex(const std::string& hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        if (hex[i] == ' ') ++i;
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// The text's record. Byte vectors come from operator new, aligned for
// doubles: the record bytes here are usable as records in place.
Bytes parsed(const std::string& wkt) {
    LibraryRecord record;
    EXPECT_EQ(spatialParse_string(wkt.c_str(), record.out()), 0) << wkt;
    return bytesOf(record.get());
}

// Reads a copy of the bytes at an odd address at the very end of its block
// (a read past them is a heap overflow under the sanitizers); the record's
// bytes, checked, or the status and *outGeom untouched.
uint32_t decode(const Bytes& bytes, Bytes* record) {
    const std::unique_ptr<uint8_t[]> block(new uint8_t[bytes.size() + 1]);
    std::copy(bytes.begin(), bytes.end(), block.get() + 1);
    int marker = 0;
    void* geom = &marker;
    const uint32_t status = spatialWKB_fromOgcWkb(block.get() + 1, static_cast<uint32_t>(bytes.size()), &geom);
    if (status != SPATIAL_SUCCESS) {
        EXPECT_EQ(geom, &marker);
        return status;
    }
    *record = bytesOf(geom);
    EXPECT_EQ(spatialWKB_checkRecord(geom, static_cast<uint32_t>(record->size())), SPATIAL_SUCCESS);
    spatialWKB_destroyGeom(&geom);
    return status;
}

Bytes decoded(const Bytes& bytes) {
    Bytes record;
    EXPECT_EQ(decode(bytes, &record), SPATIAL_SUCCESS);
    return record;
}

// The input reads as the record, and none of its prefixes, nor the input
// with a byte more, reads at all.
void expectReadWholeOnly(const Bytes& input, const Bytes& record) {
    Bytes read;
    for (std::size_t length = 0; length < input.size(); ++length)
        EXPECT_EQ(decode(Bytes(input.begin(), input.begin() + length), &read), SPATIAL_FAILURE) << length;
    EXPECT_EQ(decoded(input), record);
    Bytes longer = input;
    longer.push_back(0);
    EXPECT_EQ(decode(longer, &read), SPATIAL_FAILURE);
}

struct HexCase {
    const char* wkt;
    const char* hex;
};

// Every kind, little-endian, ISO codes 1001 to 1007.
const HexCase kWritten[] = {
    {"point(1 2 3)", "01e9030000" L1 L2 L3},
    {"linestring(0 0 0,1 2 3)", "01ea030000 02000000" L0 L0 L0 L1 L2 L3},
    {"polygon((0 0 0,4 0 0,0 4 0,0 0 0),(1 1 0,2 1 0,1 2 0,1 1 0))",
     "01eb030000 02000000 04000000" L0 L0 L0 L4 L0 L0 L0 L4 L0 L0 L0 L0 "04000000" L1 L1 L0 L2 L1 L0 L1 L2 L0 L1 L1 L0},
    {"multipoint((1 2 3),(0 0 0))", "01ec030000 02000000 01e9030000" L1 L2 L3 "01e9030000" L0 L0 L0},
    {"multilinestring((0 0 0,1 1 1),(2 2 2))",
     "01ed030000 02000000 01ea030000 02000000" L0 L0 L0 L1 L1 L1 "01ea030000 01000000" L2 L2 L2},
    {"multipolygon(((0 0 0,1 0 0,0 1 0,0 0 0)),((2 2 2,4 2 2,2 4 2,2 2 2)))",
     "01ee030000 02000000 01eb030000 01000000 04000000" L0 L0 L0 L1 L0 L0 L0 L1 L0 L0 L0 L0
     "01eb030000 01000000 04000000" L2 L2 L2 L4 L2 L2 L2 L4 L2 L2 L2 L2},
    {"geometrycollection(point(1 2 3),linestring(0 0 0,1 1 1))",
     "01ef030000 02000000 01e9030000" L1 L2 L3 "01ea030000 02000000" L0 L0 L0 L1 L1 L1},
};

// Each kind writes its bytes, which read back to its record (and only
// whole). Too small by
// one: -5, the size, nothing written; a null buffer, of any capacity: a
// size query; the exact size (at an odd address: no alignment assumed) and
// one more: the bytes and nothing after them.
TEST(OgcWkb, WritesEachKindAsEncodedByHand) {
    for (const HexCase& c : kWritten) {
        SCOPED_TRACE(c.wkt);
        const Bytes record = parsed(c.wkt), expected = fromHex(c.hex);
        expectReadWholeOnly(expected, record);
        const auto exact = static_cast<uint32_t>(expected.size());
        const struct {
            int offset;  // of the buffer into a guarded block; -1: no buffer
            uint32_t capacity, status;
        } calls[] = {{0, exact - 1, SPATIAL_BUFFER_TOO_SMALL},
                     {-1, 0, SPATIAL_BUFFER_TOO_SMALL},
                     {-1, UINT32_MAX, SPATIAL_BUFFER_TOO_SMALL},
                     {1, exact, SPATIAL_SUCCESS},
                     {0, exact + 1, SPATIAL_SUCCESS}};
        for (const auto& call : calls) {
            Bytes block(exact + 8, 0xAB), owed = block;
            uint32_t size = 0;
            uint8_t* buffer = call.offset < 0 ? nullptr : block.data() + call.offset;
            EXPECT_EQ(spatialWKB_toOgcWkb(record.data(), buffer, call.capacity, &size), call.status) << call.capacity;
            EXPECT_EQ(size, exact);
            if (call.status == SPATIAL_SUCCESS) std::copy(expected.begin(), expected.end(), owed.begin() + call.offset);
            EXPECT_EQ(block, owed) << call.capacity;
        }
    }
}

TEST(OgcWkb, RoundTripsRecordsByteForByte) {
    std::vector<Bytes> records;
    for (const char* wkt : {
             "point(-1.5 1e+300 0.1)",
             "linestring(1 2 3)",
             "polygon((0 0 0,9 0 0,0 9 0,0 0 0),(1 1 0,2 1 0,1 2 0),(5 5 5))",
             "multipoint((1 2 3),(4 5 6),(7 8 9))",
             "multilinestring((1 1 1,2 2 2),(3 3 3),(4 4 4,5 5 5,6 6 6))",
             "multipolygon(((0 0 0,1 0 0,0 1 0),(0.1 0.1 0)),((5 5 5)),((7 7 7,8 8 8),(9 9 9),(6 6 6)))",
             "geometrycollection(point(1 2 3),linestring(1 1 1,2 2 2),polygon((0 0 0,1 0 0,0 1 0),(0.2 0.2 0)),"
             "multipoint((4 4 4)),multilinestring((1 2 3),(3 2 1)),multipolygon(((1 1 1)),((2 2 2),(3 3 3))))",
         })
        records.push_back(parsed(wkt));
    // Coordinates no text holds: signed zero, infinity, a subnormal, NaN
    // beside numbers.
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (const DPoint3d& p : {DPoint3d{-0.0, inf, 5e-324}, DPoint3d{nan, 1, 2}, DPoint3d{nan, nan, 0}})
        records.push_back(bytesOf(point(p).data()));
    records.push_back(bytesOf(multiPoint({{1, nan, nan}, {-inf, 0, -0.0}}).withLibraryPads().data()));
    // Empty containers: count 0.
    for (uint32_t type : {SPATIAL_TYPE_MULTILINESTRING, SPATIAL_TYPE_MULTIPOLYGON, SPATIAL_TYPE_COLLECTION})
        records.push_back(bytesOf(ofType(type).finish().withLibraryPads().data()));
    records.push_back(
        bytesOf(collection({ofType(SPATIAL_TYPE_MULTIPOLYGON).finish(), point({1, 2, 3})}).withLibraryPads().data()));
    // Many small elements: a reader or writer that walked the elements again
    // for each one would take hours here.
    std::string manyRings = "polygon((0 0 0)", manyMembers = "geometrycollection(point(1 2 3)";
    for (int i = 0; i < 100000; ++i) {
        manyRings += ",(1 2 3)";
        manyMembers += ",multipolygon(((1 2 3),(4 5 6)))";
    }
    records.push_back(parsed(manyRings + ")"));
    records.push_back(parsed(manyMembers + ")"));
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(decoded(ogcWkbOf(records[i].data())), records[i]);
    }
}

// Input of every dialect and byte order, each to the record of its text.
const HexCase kRead[] = {
    {"point(1 2 0)", "0101000000" L1 L2},
    {"linestring(1 2 0,3 1 0)", "0000000002 00000002" B1 B2 B3 B1},
    {"polygon((0 0 0,1 0 0,0 1 0,0 0 0))", "00000003eb 00000001 00000004" L0 L0 L0 B1 L0 L0 L0 B1 L0 L0 L0 L0},
    {"point(1 2 3)", "0101000080" L1 L2 L3},
    {"point(1 2 3)", "01010000a0 e6100000" L1 L2 L3},
    {"multipoint((1 2 0))", "0020000004 000010e6 00000001 0000000001" B1 B2},
    {"polygon((0 0 0,4 0 0,0 4 0,0 0 0),(1 1 0,2 1 0,1 2 0,1 1 0))",
     "00a0000003 000010e6 00000002 00000004" L0 L0 L0 B4 L0 L0 L0 B4 L0 L0 L0 L0
     "00000004" B1 B1 L0 B2 B1 L0 B1 B2 L0 B1 B1 L0},
    // Each member with its own byte order and dimension.
    {"multilinestring((1 2 3),(3 2 1,1 1 1))",
     "0000000005 00000002 01ea030000 01000000" L1 L2 L3 "00000003ea 00000002" B3 B2 B1 B1 B1 B1},
    {"multipoint((1 2 0),(1 2 3))", "01ec030000 02000000 0101000000" L1 L2 "01e9030000" L1 L2 L3},
    {"geometrycollection(point(1 2 0),multipolygon(((1 1 0))))",
     "0107000020 e6100000 02000000 0101000020 e6100000" L1 L2 "0000000006 00000001 0000000003 00000001 00000001" B1 B1},
};

TEST(OgcWkb, ReadsEachDialectAndByteOrder) {
    for (const HexCase& c : kRead) {
        SCOPED_TRACE(c.hex);
        expectReadWholeOnly(fromHex(c.hex), parsed(c.wkt));
    }
    // Empty containers and NaN beside a number: no text holds them.
    EXPECT_EQ(decoded(fromHex("01ed030000 00000000")),
              bytesOf(ofType(SPATIAL_TYPE_MULTILINESTRING).finish().withLibraryPads().data()));
    EXPECT_EQ(decoded(fromHex("0000000007 00000000")),
              bytesOf(ofType(SPATIAL_TYPE_COLLECTION).finish().withLibraryPads().data()));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(decoded(fromHex("0101000000" LNAN L1)), bytesOf(point({nan, 1, 0}).data()));
}

// Records the writer gives another shape, as the text writer does (its
// texts of such records: wkt_writer_test): the vertices of a line's or
// ring's sublines joined, each subline of a member line a line of its own,
// sublines without vertices dropped.
TEST(OgcWkb, WritesSublinesAsTheTextWriterDoes) {
    const std::pair<Record, const char*> cases[] = {
        {line({vertices(2), vertices(1, 100)}), "linestring(0 1 2,10 11 12,100 101 102)"},
        {line({vertices(1), {}, vertices(1, 5)}), "linestring(0 1 2,5 6 7)"},
        {polygon({{vertices(2), vertices(2, 50)}, {vertices(1, 3)}}),
         "polygon((0 1 2,10 11 12,50 51 52,60 61 62),(3 4 5))"},
        {multiLine({{vertices(2), vertices(1, 50)}, {vertices(1, 7)}}),
         "multilinestring((0 1 2,10 11 12),(50 51 52),(7 8 9))"},
        {multiPolygon({{{vertices(1)}, {vertices(1, 3), {}, vertices(1, 4)}}}),
         "multipolygon(((0 1 2),(3 4 5,4 5 6)))"},
        {collection({line({vertices(1), vertices(1, 3)}), multiLine({{vertices(1), vertices(1, 3)}})}),
         "geometrycollection(linestring(0 1 2,3 4 5),multilinestring((0 1 2),(3 4 5)))"},
    };
    for (const auto& [record, wkt] : cases) EXPECT_EQ(ogcWkbOf(record.data()), ogcWkbOf(parsed(wkt).data())) << wkt;
}

TEST(OgcWkb, RefusesWhatNoRecordHolds) {
    const struct {
        const char* name;
        const char* hex;
    } cases[] = {
        {"byte order 2", "0200000001" B1 B2},
        {"type 0", "0100000000" L1 L2},
        {"type 8", "0108000000 00000000"},
        {"triangle", "0111000000 00000000"},
        {"code 1000", "01e8030000" L1 L2 L3},
        {"code 1008", "01f0030000 00000000"},
        {"ISO m", "01d1070000" L1 L2 L3},
        {"ISO zm", "01b90b0000" L1 L2 L3 L4},
        // Laid out so that ignoring the m flag would read them whole.
        {"m flag", "0101000040" L1 L2},
        {"z and m flags", "01010000c0" L1 L2 L3},
        {"ISO code with the z flag", "01e9030080" L1 L2 L3},
        {"unknown flag bit", "0101000010" L1 L2},
        {"linestring of 2^32-1 points", "01ea030000 ffffffff" L1 L2 L3},
        {"linestring one point short", "01ea030000 02000000" L1 L2 L3},
        {"polygon of 2^32-1 rings", "01eb030000 ffffffff 01000000" L1 L2 L3},
        {"multipoint of 2^32-1 points", "01ec030000 ffffffff 01e9030000" L1 L2 L3},
        {"multilinestring of 2^32-1 lines", "01ed030000 ffffffff 01ea030000 01000000" L1 L2 L3},
        {"multipolygon of 2^32-1 polygons", "01ee030000 ffffffff 01eb030000 00000000"},
        {"collection of 2^32-1 members", "01ef030000 ffffffff 01e9030000" L1 L2 L3},
        // Members whose bodies read whole as the kind expected.
        {"multipoint holding a collection", "01ec030000 01000000 01ef030000" L1 L2 L3},
        {"multipoint holding a multipoint", "01ec030000 01000000 01ec030000 01000000 01e9030000" L1 L2 L3},
        {"multilinestring holding a multipoint", "01ed030000 01000000 01ec030000 01000000" L1 L2 L3},
        {"multipolygon holding a multilinestring", "01ee030000 01000000 01ed030000 01000000 01000000" L1 L2 L3},
        {"collection in a collection", "01ef030000 01000000 01ef030000 00000000"},
        {"empty point", "0101000000" LNAN LNAN},
        {"empty point with z", "01e9030000" LNAN LNAN LNAN},
        {"empty multipoint", "01ec030000 00000000"},
        {"multipoint of an empty point", "01ec030000 01000000 0101000000" LNAN LNAN},
        {"empty linestring", "01ea030000 00000000"},
        {"polygon without rings", "01eb030000 00000000"},
        {"polygon of an empty ring", "01eb030000 01000000 00000000"},
        {"multilinestring of an empty line", "01ed030000 01000000 01ea030000 00000000"},
        {"multipolygon of a polygon without rings", "01ee030000 01000000 01eb030000 00000000"},
        {"collection of an empty point", "01ef030000 01000000 0101000000" LNAN LNAN},
        {"collection of an empty linestring", "01ef030000 01000000 01ea030000 00000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes record;
        EXPECT_EQ(decode(fromHex(c.hex), &record), SPATIAL_FAILURE);
    }
    int marker = 0;
    void* geom = &marker;
    const Bytes point = fromHex(kWritten[0].hex);
    EXPECT_EQ(spatialWKB_fromOgcWkb(nullptr, 29, &geom), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_fromOgcWkb(point.data(), 29, nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(geom, &marker);
}

// Records the WKB writer cannot express: refused, the size and buffer
// untouched. Those of kinds 1 to 7 without a text (all but the NaN points,
// which the text writer writes) are refused by their kind's text writer
// too: -1.
TEST(OgcWkb, RefusesRecordsTheEncodingCannotExpress) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        Record record;
        bool noText = true;
    } cases[] = {
        {"type 0", ofType(0)},
        {"type 8", ofType(SPATIAL_TYPE_RESERVED)},
        {"point of NaNs", point({nan, nan, nan}), false},
        {"linestring without sublines", line({})},
        {"linestring of empty sublines", line({{}, {}})},
        {"polygon without rings", polygon({})},
        {"polygon ring without sublines", polygon({{vertices(3)}, {}})},
        {"polygon with an empty ring", polygon({{vertices(3)}, {{}}})},
        {"polygon of an empty outer ring", polygon({{{}}})},
        {"empty multipoint", multiPoint({})},
        {"multipoint with a point of NaNs", multiPoint({{1, 2, 3}, {nan, nan, nan}}), false},
        {"multilinestring line without sublines", multiLine({{vertices(2)}, {}})},
        {"multilinestring line with an empty subline", multiLine({{vertices(2), {}}})},
        {"multipolygon member without rings", multiPolygon({{{vertices(3)}}, {}})},
        {"multipolygon member with an empty ring", multiPolygon({{{{}}}})},
        {"collection in a collection", collection({point({1, 2, 3}), ofType(SPATIAL_TYPE_COLLECTION).finish()})},
        {"collection member of type 8", collection({ofType(SPATIAL_TYPE_RESERVED).finish()})},
        {"collection member of type 9", collection({ofType(9)})},
        {"collection member that cannot be written", collection({line({})})},
        {"collection with a point of NaNs", collection({point({nan, nan, nan})}), false},
    };
    using TextWriter = int32_t (*)(const void*, SpatialWChar*, int32_t);
    const TextWriter textWriters[] = {
        spatialWKT_point,           spatialWKT_linestring,   spatialWKT_polygon,           spatialWKT_multipoint,
        spatialWKT_multilinestring, spatialWKT_multipolygon, spatialWKT_geometryCollection};
    std::vector<SpatialWChar> text(1 << 16);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        uint32_t size = 12345;
        uint8_t buffer[64] = {};
        EXPECT_EQ(spatialWKB_toOgcWkb(c.record.data(), buffer, sizeof buffer, &size), SPATIAL_FAILURE);
        EXPECT_EQ(size, 12345u);
        EXPECT_EQ(buffer[0], 0);
        const uint32_t type = wordAt(c.record.data(), 8);
        if (c.noText && type >= SPATIAL_TYPE_POINT && type <= SPATIAL_TYPE_COLLECTION) {
            EXPECT_EQ(textWriters[type - 1](c.record.data(), text.data(), 1 << 16), -1);
        }
    }
    uint32_t size = 0;
    EXPECT_EQ(spatialWKB_toOgcWkb(nullptr, nullptr, 0, &size), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_toOgcWkb(point({1, 2, 3}).data(), nullptr, 0, nullptr), SPATIAL_FAILURE);
}

}  // namespace
