// WKT parse and write: ours (spatialParse_string, spatialWKB_convertBinaryToText)
// against GEOS's WKT reader and writer, on the same texts.
#include <vector>

#include "comparison.h"
#include "spatialgeom/parse.h"
#include "spatialgeom/records.h"
#include "spatialgeom/text.h"
#include "timing.h"

namespace comparison {
namespace {

struct Parsed {
    std::vector<void*> ours;
    std::vector<GEOSGeometry*> geos;
};

Parsed parseBoth(GEOSContextHandle_t geos, GEOSWKTReader* reader, const TextSet& set, Report* report) {
    Parsed parsed;
    std::size_t ourVertices = 0, geosVertices = 0;
    for (const std::string& text : set.texts) {
        void* record = nullptr;
        if (spatialParse_string(text.c_str(), &record) == 0) ourVertices += recordVertexCount(record);
        parsed.ours.push_back(record);
        GEOSGeometry* g = GEOSWKTReader_read_r(geos, reader, text.c_str());
        if (g != nullptr) geosVertices += static_cast<std::size_t>(GEOSGetNumCoordinates_r(geos, g));
        parsed.geos.push_back(g);
    }
    if (ourVertices != set.vertexCount || geosVertices != set.vertexCount)
        report->warn("parse of " + set.name + ": " + std::to_string(ourVertices) + " vertices read by ours, " +
                     std::to_string(geosVertices) + " by GEOS, " + std::to_string(set.vertexCount) + " written");
    return parsed;
}

void compareParse(GEOSContextHandle_t geos, GEOSWKTReader* reader, const TextSet& set, Report* report) {
    const double bytes = static_cast<double>(set.bytes()), count = static_cast<double>(set.texts.size());
    const double ours = medianRate([&] {
        for (const std::string& text : set.texts) {
            void* record = nullptr;
            spatialParse_string(text.c_str(), &record);
            spatialWKB_destroyGeom(&record);
        }
        return set.texts.size();
    });
    const double theirs = medianRate([&] {
        for (const std::string& text : set.texts)
            GEOSGeom_destroy_r(geos, GEOSWKTReader_read_r(geos, reader, text.c_str()));
        return set.texts.size();
    });
    report->add({"WKT parse", set.name, "MB/s", ours * bytes / count / 1e6, "GEOS", theirs * bytes / count / 1e6, 5.0});
    report->add({"WKT parse", set.name, "geometries/s", ours, "GEOS", theirs, 5.0});
}

void compareWrite(GEOSContextHandle_t geos, const Parsed& parsed, const TextSet& set, Report* report) {
    GEOSWKTWriter* writer = GEOSWKTWriter_create_r(geos);
    GEOSWKTWriter_setTrim_r(geos, writer, 1);
    GEOSWKTWriter_setRoundingPrecision_r(geos, writer, 6);  // decimals: the data's 12 significant digits
    GEOSWKTWriter_setOutputDimension_r(geos, writer, 3);
    const int32_t previous = spatialWKT_setPrecision(12);
    std::vector<SpatialWChar> buffer(2 * set.bytes() / set.texts.size() + 1024);
    std::size_t ourChars = 0, geosChars = 0;
    const double ours = medianRate([&] {
        ourChars = 0;
        for (void* record : parsed.ours) {
            const int32_t n =
                spatialWKB_convertBinaryToText(record, buffer.data(), static_cast<uint32_t>(buffer.size() * 2));
            ourChars += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        return parsed.ours.size();
    });
    const double theirs = medianRate([&] {
        geosChars = 0;
        for (GEOSGeometry* g : parsed.geos) {
            char* text = GEOSWKTWriter_write_r(geos, writer, g);
            geosChars += std::char_traits<char>::length(text);
            GEOSFree_r(geos, text);
        }
        return parsed.geos.size();
    });
    spatialWKT_setPrecision(previous);
    GEOSWKTWriter_destroy_r(geos, writer);
    const double count = static_cast<double>(set.texts.size());
    report->add({"WKT write", set.name, "geometries/s", ours, "GEOS", theirs, 5.0});
    report->add({"WKT write", set.name, "MB/s of own text", ours * ourChars / count / 1e6, "GEOS",
                 theirs * geosChars / count / 1e6, 0.0});
}

}  // namespace

void compareText(GEOSContextHandle_t geos, Report* report) {
    GEOSWKTReader* reader = GEOSWKTReader_create_r(geos);
    for (const TextSet& set : textSets()) {
        compareParse(geos, reader, set, report);
        Parsed parsed = parseBoth(geos, reader, set, report);
        compareWrite(geos, parsed, set, report);
        for (void*& record : parsed.ours) spatialWKB_destroyGeom(&record);
        for (GEOSGeometry* g : parsed.geos) GEOSGeom_destroy_r(geos, g);
    }
    GEOSWKTReader_destroy_r(geos, reader);
}

}  // namespace comparison
