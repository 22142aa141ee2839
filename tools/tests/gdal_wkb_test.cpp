// The library's WKB against GDAL's: WKB that GDAL's OGRGeometry::exportToWkb
// writes (every kind, holes, 2D and 3D, both byte orders, ISO and the older
// z flag) reads as the record the WKT parser makes, and the library's WKB
// reads back in GDAL as the same geometry, byte for byte.
#include <gtest/gtest.h>

#ifdef SPATIALGEOM_TOOL_WITH_GDAL

#include <ogr_geometry.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "spatialgeom/parse.h"
#include "spatialgeom/record_ptr.h"
#include "spatialgeom/records.h"
#include "spatialgeom/wkb.h"

namespace spatialgeom::tool::testing {
namespace {

struct Case {
    const char* gdal;  // GDAL's WKT with z
    const char* ours;  // the same in the library's WKT
};

const Case kCases[] = {
    {"POINT Z (1 2 3)", "POINT(1 2 3)"},
    {"LINESTRING Z (0 0 0,1 1 1,2 0 -1.5)", "LINESTRING(0 0 0,1 1 1,2 0 -1.5)"},
    {"POLYGON Z ((0 0 0,4 0 0,4 4 1,0 4 0,0 0 0),(1 1 0,3 1 0,3 3 0,1 3 0,1 1 0),(0.5 0.5 0,0.7 0.5 0,0.6 0.7 0,0.5 "
     "0.5 0))",
     "POLYGON((0 0 0,4 0 0,4 4 1,0 4 0,0 0 0),(1 1 0,3 1 0,3 3 0,1 3 0,1 1 0),(0.5 0.5 0,0.7 0.5 0,0.6 0.7 0,0.5 0.5 "
     "0))"},
    {"MULTIPOINT Z ((1 2 3),(4 5 6),(-7 8e+20 9))", "MULTIPOINT((1 2 3),(4 5 6),(-7 8e+20 9))"},
    {"MULTILINESTRING Z ((0 0 0,1 1 1),(2 2 2,3 3 3,4 4 5))", "MULTILINESTRING((0 0 0,1 1 1),(2 2 2,3 3 3,4 4 5))"},
    {"MULTIPOLYGON Z (((0 0 0,4 0 0,4 4 0,0 0 0)),((10 10 1,14 10 1,14 14 1,10 14 1,10 10 1),(11 11 1,12 11 1,12 "
     "12 1,11 11 1)))",
     "MULTIPOLYGON(((0 0 0,4 0 0,4 4 0,0 0 0)),((10 10 1,14 10 1,14 14 1,10 14 1,10 10 1),(11 11 1,12 11 1,12 12 "
     "1,11 11 1)))"},
    {"GEOMETRYCOLLECTION Z (POINT Z (1 2 3),LINESTRING Z (0 0 0,1 1 1),POLYGON Z ((0 0 0,2 0 0,2 2 0,0 0 0),(0.5 "
     "0.2 0,1 0.2 0,1 0.6 0,0.5 0.2 0)),MULTIPOINT Z ((5 5 5),(6 6 6)),MULTILINESTRING Z ((0 0 1,1 0 1)),MULTIPOLYGON "
     "Z (((0 0 2,1 0 2,1 1 2,0 0 2))))",
     "GEOMETRYCOLLECTION(POINT(1 2 3),LINESTRING(0 0 0,1 1 1),POLYGON((0 0 0,2 0 0,2 2 0,0 0 0),(0.5 0.2 0,1 0.2 "
     "0,1 0.6 0,0.5 0.2 0)),MULTIPOINT((5 5 5),(6 6 6)),MULTILINESTRING((0 0 1,1 0 1)),MULTIPOLYGON(((0 0 2,1 0 2,1 1 "
     "2,0 0 2))))"},
    {"GEOMETRYCOLLECTION Z EMPTY", nullptr},
};

// The text with every third coordinate of each "x y z" group dropped
// (flat) or made 0 (!flat), and " Z" dropped after keywords when flat.
std::string withoutZ(const std::string& text, bool flat) {
    std::string out;
    std::string group;
    auto flush = [&] {
        std::vector<std::string> numbers;
        std::size_t at = 0;
        while (at < group.size()) {
            const std::size_t begin = group.find_first_not_of(' ', at);
            if (begin == std::string::npos) break;
            const std::size_t end = std::min(group.find(' ', begin), group.size());
            numbers.push_back(group.substr(begin, end - begin));
            at = end;
        }
        if (numbers.size() == 3 && (std::isdigit(static_cast<unsigned char>(numbers[0].back())) != 0)) {
            out += numbers[0] + " " + numbers[1] + (flat ? "" : " 0");
        } else {
            out += group;
        }
        group.clear();
    };
    for (char c : text) {
        if (c == '(' || c == ')' || c == ',') {
            flush();
            out += c;
        } else {
            group += c;
        }
    }
    flush();
    if (flat) {
        for (std::size_t at = out.find(" Z "); at != std::string::npos; at = out.find(" Z ")) out.erase(at, 2);
    }
    return out;
}

std::unique_ptr<OGRGeometry> gdalGeometry(const std::string& text) {
    OGRGeometry* geometry = nullptr;
    EXPECT_EQ(OGRGeometryFactory::createFromWkt(text.c_str(), nullptr, &geometry), OGRERR_NONE) << text;
    return std::unique_ptr<OGRGeometry>(geometry);
}

std::vector<unsigned char> gdalWkb(const OGRGeometry& geometry, OGRwkbByteOrder order, OGRwkbVariant variant) {
    std::vector<unsigned char> bytes(geometry.WkbSize());
    EXPECT_EQ(geometry.exportToWkb(order, bytes.data(), variant), OGRERR_NONE);
    return bytes;
}

RecordPtr parsed(const std::string& text) {
    RecordPtr record;
    EXPECT_EQ(spatialParse_string(text.c_str(), record.out()), 0) << text;
    return record;
}

std::string recordBytes(const void* record) {
    std::uint32_t size = 0;
    if (record == nullptr || spatialWKB_getSize(record, &size) != SPATIAL_SUCCESS) return "(none)";
    return std::string(static_cast<const char*>(record), size);
}

std::vector<unsigned char> ourWkb(const void* record) {
    std::uint32_t size = 0;
    EXPECT_EQ(spatialWKB_toOgcWkb(record, nullptr, 0, &size), SPATIAL_BUFFER_TOO_SMALL);
    std::vector<unsigned char> bytes(size);
    EXPECT_EQ(spatialWKB_toOgcWkb(record, bytes.data(), size, &size), SPATIAL_SUCCESS);
    return bytes;
}

TEST(GdalWkb, GdalsWkbReadsAsTheParsedRecord) {
    for (const Case& c : kCases) {
        if (c.ours == nullptr) continue;
        struct Dialect {
            bool threeD;
            OGRwkbByteOrder order;
            OGRwkbVariant variant;
        };
        const Dialect dialects[] = {{true, wkbNDR, wkbVariantIso},    {true, wkbXDR, wkbVariantIso},
                                    {true, wkbNDR, wkbVariantOldOgc}, {true, wkbXDR, wkbVariantOldOgc},
                                    {false, wkbNDR, wkbVariantIso},   {false, wkbXDR, wkbVariantIso}};
        for (const Dialect& dialect : dialects) {
            const std::string gdalText = dialect.threeD ? c.gdal : withoutZ(c.gdal, true);
            const std::string ourText = dialect.threeD ? c.ours : withoutZ(c.ours, false);
            const auto geometry = gdalGeometry(gdalText);
            ASSERT_TRUE(geometry);
            ASSERT_EQ(geometry->Is3D(), dialect.threeD) << gdalText;
            const std::vector<unsigned char> wkb = gdalWkb(*geometry, dialect.order, dialect.variant);
            RecordPtr record;
            ASSERT_EQ(spatialWKB_fromOgcWkb(wkb.data(), static_cast<std::uint32_t>(wkb.size()), record.out()),
                      SPATIAL_SUCCESS)
                << gdalText << " order " << dialect.order << " variant " << dialect.variant;
            const RecordPtr expected = parsed(ourText);
            EXPECT_EQ(recordBytes(record.get()), recordBytes(expected.get()))
                << gdalText << " order " << dialect.order << " variant " << dialect.variant;
        }
    }
}

TEST(GdalWkb, OurWkbReadsBackInGdalIdentically) {
    for (const Case& c : kCases) {
        if (c.ours == nullptr) continue;
        const RecordPtr record = parsed(c.ours);
        const std::vector<unsigned char> ours = ourWkb(record.get());
        OGRGeometry* read = nullptr;
        ASSERT_EQ(OGRGeometryFactory::createFromWkb(ours.data(), nullptr, &read, ours.size(), wkbVariantIso),
                  OGRERR_NONE)
            << c.gdal;
        const std::unique_ptr<OGRGeometry> geometry(read);
        const auto expected = gdalGeometry(c.gdal);
        EXPECT_TRUE(geometry->Equals(expected.get())) << c.gdal;
        EXPECT_EQ(gdalWkb(*geometry, wkbNDR, wkbVariantIso), ours) << c.gdal;
        EXPECT_EQ(gdalWkb(*expected, wkbNDR, wkbVariantIso), ours) << c.gdal;
    }
}

TEST(GdalWkb, EmptyCollectionsAgreeAndEmptyPointsAreRefused) {
    // An empty collection is a record; GDAL writes and reads it the same.
    for (const char* text : {"GEOMETRYCOLLECTION Z EMPTY", "MULTIPOLYGON Z EMPTY", "MULTILINESTRING EMPTY"}) {
        const auto geometry = gdalGeometry(text);
        const std::vector<unsigned char> wkb = gdalWkb(*geometry, wkbNDR, wkbVariantIso);
        RecordPtr record;
        ASSERT_EQ(spatialWKB_fromOgcWkb(wkb.data(), static_cast<std::uint32_t>(wkb.size()), record.out()),
                  SPATIAL_SUCCESS)
            << text;
        const std::vector<unsigned char> back = ourWkb(record.get());
        OGRGeometry* read = nullptr;
        ASSERT_EQ(OGRGeometryFactory::createFromWkb(back.data(), nullptr, &read, back.size(), wkbVariantIso),
                  OGRERR_NONE);
        const std::unique_ptr<OGRGeometry> again(read);
        EXPECT_TRUE(again->IsEmpty()) << text;
        EXPECT_EQ(wkbFlatten(again->getGeometryType()), wkbFlatten(geometry->getGeometryType())) << text;
    }
    // What no record holds, GDAL's bytes or not, is refused with nothing made.
    for (const char* text :
         {"POINT Z EMPTY", "LINESTRING EMPTY", "POLYGON Z EMPTY", "MULTIPOINT Z EMPTY", "MULTIPOINT Z (EMPTY,(1 2 3))",
          "POINT M (1 2 3)", "POINT ZM (1 2 3 4)", "GEOMETRYCOLLECTION Z (GEOMETRYCOLLECTION Z (POINT Z (1 2 3)))"}) {
        const auto geometry = gdalGeometry(text);
        ASSERT_TRUE(geometry) << text;
        const std::vector<unsigned char> wkb = gdalWkb(*geometry, wkbNDR, wkbVariantIso);
        void* record = nullptr;
        EXPECT_EQ(spatialWKB_fromOgcWkb(wkb.data(), static_cast<std::uint32_t>(wkb.size()), &record), SPATIAL_FAILURE)
            << text;
        EXPECT_EQ(record, nullptr);
    }
}

}  // namespace
}  // namespace spatialgeom::tool::testing

#else

TEST(GdalWkb, NeedsGdal) { GTEST_SKIP() << "built without GDAL"; }

#endif
