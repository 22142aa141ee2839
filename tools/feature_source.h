// The geometries of a data source, read whole, each with its feature id:
// - a file of one WKT geometry per line (".wkt", or "-" for standard input;
//   without GDAL, any file): ids are line numbers from 1;
// - a file of one hex WKB geometry per line (".hex"): ids are line numbers;
// - through GDAL, any vector data source it opens (GeoPackage, Shapefile,
//   FlatGeobuf, GeoJSON, CSV with a WKT column...): ids are the features'
//   FIDs, geometries of one layer (the first unless named).
// A geometry that cannot be taken is listed with its id and the reason and
// left out; only a source that cannot be opened at all stops.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "spatialgeom/record_ptr.h"

namespace spatialgeom::tool {

struct SkippedFeature {
    std::int64_t id;
    std::string reason;
};

struct Features {
    std::string source;            // as named by the user
    std::string layer;             // the layer read; "" for line files
    std::string spatialReference;  // the layer's CRS as WKT; "" when none or a line file
    bool lines = false;            // a line file: ids are line numbers
    // records[i] has id ids[i]; a null record (a blank line) takes part in
    // nothing.
    std::vector<RecordPtr> records;
    std::vector<std::int64_t> ids;
    std::vector<SkippedFeature> skipped;  // in reading order
};

// True when path ends with extension (lower case, e.g. ".gpkg"), in any
// case.
bool hasExtension(const std::string& path, std::string_view extension);

// True when path is read as one WKT geometry per line: "-", a name ending
// in ".wkt" (any case), or any name in a build without GDAL.
bool isWktLinesPath(const std::string& path);

// True when path is read as one hex WKB geometry per line: a name ending in
// ".hex" (any case).
bool isHexLinesPath(const std::string& path);

// Reads the source. layer names the layer of a GDAL source ("" for the
// first) and is ignored for line files. WKT lines are parsed on `threads`
// threads. inputError when the source cannot be opened or read; usageError
// naming the layers there are when the layer does not exist.
Features loadFeatures(const std::string& path, const std::string& layer, std::uint32_t threads);

// Prints the first 100 skipped features as "source:id: reason" on standard
// error, then how many more there are.
void reportSkippedFeatures(const Features& features);

}  // namespace spatialgeom::tool
