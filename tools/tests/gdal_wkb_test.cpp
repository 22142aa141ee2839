// The library's WKB against GDAL's: WKB that GDAL's OGRGeometry::exportToWkb
// writes (every kind, holes, 2D and 3D, both byte orders, ISO and the older
// z flag) reads as the record the WKT parser makes of GDAL's WKT, and the
// library writes GDAL's bytes.
#include <gtest/gtest.h>

#ifdef SPATIALGEOM_TOOL_WITH_GDAL

#include <ogr_geometry.h>

#include <memory>
#include <string>
#include <vector>

#include "spatialgeom/parse.h"
#include "spatialgeom/record_ptr.h"
#include "spatialgeom/records.h"
#include "spatialgeom/wkb.h"

namespace spatialgeom::tool::testing {
namespace {

// In GDAL's WKT with z (also read in 2D): a collection holding every kind,
// holes and a member of several polygons included. (Each kind on its own
// goes through the same reader and writer: ogc_wkb_test.)
const char* const kCollection =
    "GEOMETRYCOLLECTION Z (POINT Z (1 2 3),LINESTRING Z (0 0 0,1 1 1,2 0 -1.5),POLYGON Z ((0 0 0,4 0 0,4 4 1,0 4 0,0 0 "
    "0),(1 1 0,3 1 0,3 3 0,1 3 0,1 1 0),(0.5 0.5 0,0.7 0.5 0,0.6 0.7 0,0.5 0.5 0)),MULTIPOINT Z ((1 2 3),(4 5 6),(-7 "
    "8e+20 9)),MULTILINESTRING Z ((0 0 0,1 1 1),(2 2 2,3 3 3,4 4 5)),MULTIPOLYGON Z (((0 0 0,4 0 0,4 4 0,0 0 0)),((10 "
    "10 1,14 10 1,14 14 1,10 14 1,10 10 1),(11 11 1,12 11 1,12 12 1,11 11 1))))";

std::unique_ptr<OGRGeometry> gdalGeometry(const std::string& text) {
    OGRGeometry* geometry = nullptr;
    EXPECT_EQ(OGRGeometryFactory::createFromWkt(text.c_str(), nullptr, &geometry), OGRERR_NONE) << text;
    return std::unique_ptr<OGRGeometry>(geometry);
}

// The geometry in the library's WKT, from GDAL's own writer: z (0 where
// GDAL has none), no "Z" and no space before a parenthesis.
std::string ourText(const OGRGeometry& geometry) {
    const std::unique_ptr<OGRGeometry> copy(geometry.clone());
    copy->set3D(TRUE);
    OGRWktOptions options;
    options.variant = wkbVariantIso;
    options.precision = 17;
    std::string text = copy->exportToWkt(options);
    for (std::size_t at = text.find(" Z"); at != std::string::npos; at = text.find(" Z")) text.erase(at, 2);
    for (std::size_t at = text.find(" ("); at != std::string::npos; at = text.find(" (")) text.erase(at, 1);
    return text;
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

// In every dialect it reads as the record of its text, and the library
// writes the bytes GDAL writes (ISO, little-endian), which GDAL therefore
// reads back as the same geometry.
TEST(GdalWkb, ReadsGdalsWkbAndWritesGdalsBytes) {
    const auto geometry = gdalGeometry(kCollection);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(ourWkb(parsed(ourText(*geometry)).get()), gdalWkb(*geometry, wkbNDR, wkbVariantIso));
    for (const bool threeD : {true, false}) {
        const std::unique_ptr<OGRGeometry> written(geometry->clone());
        if (!threeD) written->flattenTo2D();
        for (const OGRwkbByteOrder order : {wkbNDR, wkbXDR}) {
            for (const OGRwkbVariant variant : {wkbVariantIso, wkbVariantOldOgc}) {
                const std::vector<unsigned char> wkb = gdalWkb(*written, order, variant);
                RecordPtr record;
                ASSERT_EQ(spatialWKB_fromOgcWkb(wkb.data(), static_cast<std::uint32_t>(wkb.size()), record.out()),
                          SPATIAL_SUCCESS)
                    << ourText(*written) << " order " << order << " variant " << variant;
                EXPECT_EQ(recordBytes(record.get()), recordBytes(parsed(ourText(*written)).get()))
                    << ourText(*written) << " order " << order << " variant " << variant;
            }
        }
    }
}

}  // namespace
}  // namespace spatialgeom::tool::testing

#else

TEST(GdalWkb, NeedsGdal) { GTEST_SKIP() << "built without GDAL"; }

#endif
