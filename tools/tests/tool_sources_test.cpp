// The tool on data sources other than WKT lines, run as a user runs it:
// hex WKB lines always; GeoPackage and GeoJSON files built with GDAL's own
// API when the tool is built with GDAL (skipped otherwise): join's pairs
// by FID, --layer, features that cannot be taken, info, svg and convert's
// round trips.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tool_runner.h"

#ifdef SPATIALGEOM_TOOL_WITH_GDAL
#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#endif

namespace spatialgeom::tool::testing {
namespace {

const char* const kExamplePairs = "1 2\n2 3\n2 8\n4 7\n4 8\n";

// A path in the test's temporary folder where nothing is yet.
std::string freshPath(const std::string& name) {
    const std::string path = temporaryFile(name, "");
    std::filesystem::remove(path);
    return path;
}

// The examples converted to files of the extension: a's file reads back
// as a.wkt's text, and the join of the two answers as on the text (line
// numbers become FIDs). Returns the path of a's file.
std::string expectExamplesRoundTrip(const std::string& extension) {
    const std::string a = freshPath("a" + extension), b = freshPath("b" + extension);
    expectRuns({{{"convert", examplePath("a.wkt"), a}},
                {{"convert", examplePath("b.wkt"), b}},
                {{"convert", a, "-"}, 0, runTool({"convert", examplePath("a.wkt"), "-"}).out},
                {{"join", a, b}, 0, kExamplePairs}});
    return a;
}

TEST(ToolSources, HexWkbLinesRoundTrip) {
    const std::string hex = expectExamplesRoundTrip(".hex");
    // The point of line 3, POINT(50 50 0): ISO code 1001, little-endian.
    const std::string lines = fileContent(hex);
    EXPECT_NE(lines.find("\n01E9030000000000000000494000000000000049400000000000000000\n"), std::string::npos) << lines;
}

TEST(ToolSources, BadHexLinesAreReportedAndSkipped) {
    const std::string hex = temporaryFile("bad.hex",
                                          "01E9030000000000000000494000000000000049400000000000000000\n"
                                          "01E90300\n"
                                          "\n"
                                          "01E9030000000000000000494000000000000049400000000000000000F\n"
                                          " 0z\r\n"
                                          "01e9030000000000000000000000000000000000000000000000000000\r\n");
    expectRuns(
        {{{"convert", hex, "-"},
          1,
          "point(50 50 0)\npoint(0 0 0)\n",
          {hex + ":2: not WKB", hex + ":4: an odd number of hex digits", hex + ":5: not a hex digit at column 3"}}});
}

#ifdef SPATIALGEOM_TOOL_WITH_GDAL

struct TestFeature {
    GIntBig fid;
    const char* wkt;  // GDAL's WKT; null for a feature without geometry
};

struct TestLayer {
    const char* name;
    std::vector<TestFeature> features;
    int epsg = 0;  // the layer's CRS; 0 for none
};

// GDAL's warnings (a GeoPackage extension registered) kept from the log.
struct QuietGdal {
    QuietGdal() { CPLPushErrorHandler(CPLQuietErrorHandler); }
    ~QuietGdal() { CPLPopErrorHandler(); }
};

// A new data source of GDAL's driver at path, written with GDAL's API.
void makeDataset(const std::string& path, const char* driverName, const std::vector<TestLayer>& layers) {
    GDALAllRegister();
    const QuietGdal quiet;
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    ASSERT_NE(driver, nullptr) << driverName;
    const GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    ASSERT_TRUE(dataset) << path;
    for (const TestLayer& test : layers) {
        OGRSpatialReference reference;
        if (test.epsg != 0) {
            ASSERT_EQ(reference.importFromEPSG(test.epsg), OGRERR_NONE);
        }
        OGRLayer* layer = dataset->CreateLayer(test.name, test.epsg != 0 ? &reference : nullptr, wkbUnknown, nullptr);
        ASSERT_NE(layer, nullptr) << test.name;
        for (const TestFeature& wanted : test.features) {
            OGRFeature feature(layer->GetLayerDefn());
            feature.SetFID(wanted.fid);
            if (wanted.wkt != nullptr) {
                OGRGeometry* geometry = nullptr;
                ASSERT_EQ(OGRGeometryFactory::createFromWkt(wanted.wkt, nullptr, &geometry), OGRERR_NONE) << wanted.wkt;
                feature.SetGeometryDirectly(geometry);
            }
            ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE) << wanted.wkt;
        }
    }
}

const TestLayer kRoads = {"roads",
                          {{10, "LINESTRING (0 0,10 10)"},
                           {20, "POINT Z (50 50 0)"},
                           {30, "POLYGON Z ((100 100 0,110 100 0,110 110 0,100 110 0,100 100 0))"}}};
const TestLayer kSites = {
    "sites", {{7, "POINT (5 5)"}, {8, "POINT Z (105 105 0)"}, {9, "POINT Z (50 50 1)"}, {11, "POINT Z (5 5 3)"}}};

// One GeoPackage of both layers and a GeoJSON file of the sites, made once.
struct Sources {
    std::string geoPackage = freshPath("layers.gpkg");
    std::string geoJson = freshPath("sites.geojson");
    Sources() {
        makeDataset(geoPackage, "GPKG", {kRoads, kSites});
        makeDataset(geoJson, "GeoJSON", {kSites});
    }
};

const Sources& sources() {
    static const Sources made;
    return made;
}

TEST(ToolGdalSources, JoinPrintsThePairsByFid) {
    const std::string& gpkg = sources().geoPackage;
    // Line 10 (2D, z = 0) passes through site 7 (2D); site 8 is in square
    // 30; site 9 is 1 above point 20; site 11 is 3 above the line.
    // The first layer by default; a GeoJSON source; a WKT source of lines.
    const std::string lines = temporaryFile("probe.wkt", "POINT(105 105 0)\n\nPOINT(5 5 3)\n");
    expectRuns({
        {{"join", gpkg, gpkg, "--layer", "roads", "--layer", "sites", "--tolerance", "1"}, 0, "10 7\n20 9\n30 8\n"},
        {{"join", gpkg, sources().geoJson}, 0, "10 7\n30 8\n"},
        {{"join", lines, sources().geoJson}, 0, "1 8\n3 11\n"},
    });
}

TEST(ToolGdalSources, UnknownLayersAndSourcesAreRefused) {
    const std::string& gpkg = sources().geoPackage;
    const std::string notData = temporaryFile("not-data.json", "this is no data source");
    expectRuns({
        {{"join", gpkg, gpkg, "--layer", "rivers"},
         2,
         "",
         {gpkg + " has no layer 'rivers' (its layers: roads, sites)"}},
        {{"join", gpkg, gpkg, "--layer", "a", "--layer", "b", "--layer", "c"}, 2},
        {{"info", "POINT(0 0 0)", "--layer", "roads"}, 2},
        {{"join", notData, gpkg}, 1, "", {"cannot open " + notData + " as a vector data source"}},
    });
}

TEST(ToolGdalSources, FeaturesThatCannotBeTakenAreReportedAndSkipped) {
    const std::string odd = freshPath("odd.gpkg");
    makeDataset(odd, "GPKG",
                {{"odd",
                  {{1, "CIRCULARSTRING Z (0 0 0,1 1 0,2 0 0)"},
                   {2, "POINT M (5 5 1)"},
                   {3, "POINT EMPTY"},
                   {4, nullptr},
                   {5, "POINT Z (5 5 0)"},
                   {6, "MULTIPOINT Z ((1 1 1),(2 2 2))"},
                   {7, "POLYHEDRALSURFACE Z (((0 0 0,0 1 0,1 1 0,0 0 0)))"},
                   {8, "GEOMETRYCOLLECTION (GEOMETRYCOLLECTION (POINT (1 1)))"}}}});
    std::vector<std::string> reasons;
    for (const std::string reason : {":1: curved geometry", ":2: M values", ":3: empty geometry", ":4: no geometry",
                                     ":7: a kind records do not hold", ":8: a part a record cannot hold"}) {
        reasons.push_back(odd + reason);
    }
    expectRuns({{{"join", odd, sources().geoPackage, "--layer", "odd", "--layer", "sites"}, 1, "5 7\n", reasons}});

    const ToolRun info = runTool({"info", odd});
    EXPECT_EQ(info.exitStatus, 1);
    EXPECT_NE(info.out.find("layer: odd\ngeometries: 2\nskipped: 6\npoint: 1\nmultipoint: 1\n"), std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("range: 1 1 0 .. 5 5 2\n"), std::string::npos) << info.out;
}

TEST(ToolGdalSources, InfoAndSvgNameFeaturesByFid) {
    const std::string& gpkg = sources().geoPackage;
    expectRuns(
        {{{"info", gpkg, "--layer", "roads"},
          0,
          "source: " + gpkg +
              "\nlayer: roads\ngeometries: 3\nskipped: 0\npoint: 1\nlinestring: 1\npolygon: 1\n"
              "polygons: 1\nrings: 1\nlines: 1\npoints: 1\nvertices: 8\nbytes: 280\nrange: 0 0 0 .. 110 110 0\n"}});

    const ToolRun svg = runTool({"svg", gpkg, sources().geoJson, "--layer", "roads", "--layer", "sites"});
    EXPECT_EQ(svg.exitStatus, 0) << svg.err;
    EXPECT_NE(svg.out.find("<title>" + gpkg + ":30</title>"), std::string::npos);
    EXPECT_NE(svg.out.find("<title>" + sources().geoJson + ":11</title>"), std::string::npos);
}

TEST(ToolGdalSources, ConvertRoundTripsThroughGeoPackageAndGeoJson) {
    // The layer is named after the file.
    for (const std::string extension : {".gpkg", ".geojson"}) {
        const std::string a = expectExamplesRoundTrip(extension);
        EXPECT_NE(runTool({"info", a}).out.find("\nlayer: a\n"), std::string::npos) << extension;
    }
    // A GeoPackage to a GeoPackage, layer chosen; numbers kept to the last
    // bit, and the CRS along.
    const std::string exact = freshPath("exact.gpkg"), copy = freshPath("copy.gpkg");
    const std::string json = freshPath("exact-copy.geojson"), exactCopy = freshPath("exact-copy.gpkg");
    makeDataset(
        exact, "GPKG",
        {{"exact", {{3, "POINT (0.1 0.30000000000000004)"}, {4, "POINT Z (1.2345678901234567 -98765.4321 7)"}}, 3857}});
    const std::string point4 = "point(1.2345678901234567 -98765.432100000005 7)\n";
    expectRuns({{{"convert", sources().geoPackage, copy, "--layer", "sites"}},
                {{"join", sources().geoPackage, copy, "--layer", "roads", "--layer", "sites"}, 0, "10 7\n30 8\n"},
                {{"convert", exact, "-"}, 0, "point(0.10000000000000001 0.30000000000000004 0)\n" + point4},
                {{"convert", exact, json}},
                {{"convert", exact, exactCopy}}});
    // GDAL's GeoJSON writer rounds 0.30000000000000004 to 0.3; other
    // numbers keep every digit.
    const std::string fromJson = runTool({"convert", json, "-"}).out;
    EXPECT_NE(fromJson.find("\n" + point4), std::string::npos) << fromJson;
    const GDALDatasetUniquePtr copied(GDALDataset::Open(exactCopy.c_str(), GDAL_OF_VECTOR));
    ASSERT_TRUE(copied);
    OGRSpatialReference* reference = copied->GetLayer(0)->GetSpatialRef();
    ASSERT_NE(reference, nullptr);
    EXPECT_STREQ(reference->GetAuthorityCode(nullptr), "3857");
    EXPECT_STREQ(copied->GetLayer(0)->GetName(), "exact");
}

#else

TEST(ToolGdalSources, NeedGdal) { GTEST_SKIP() << "built without GDAL"; }

#endif

}  // namespace
}  // namespace spatialgeom::tool::testing
