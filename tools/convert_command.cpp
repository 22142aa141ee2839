// spatialgeom convert IN OUT [--layer NAME] [--precision N]: the geometries
// of any source written to OUT, in the format its extension names: ".wkt"
// (or "-", standard output) WKT lines, ".hex" hex WKB lines, and through
// GDAL ".geojson" and ".gpkg".
#include <cstdio>
#include <string>

#include "spatialgeom/text.h"
#include "tools/commands.h"
#include "tools/feature_source.h"
#include "tools/geometry_text.h"
#include "tools/hex_wkb.h"
#include "tools/output_file.h"
#include "tools/tool_error.h"
#ifdef SPATIALGEOM_TOOL_WITH_GDAL
#include "tools/gdal_writer.h"
#endif

namespace spatialgeom::tool {
namespace {

// Every double reads back as itself at 17 significant digits.
constexpr std::int32_t kExactPrecision = 17;

enum class OutputFormat { kWktLines, kHexLines, kGeoJson, kGeoPackage };

OutputFormat formatOf(const std::string& path) {
    if (path == "-" || hasExtension(path, ".wkt")) return OutputFormat::kWktLines;
    if (hasExtension(path, ".hex")) return OutputFormat::kHexLines;
    if (hasExtension(path, ".geojson")) return OutputFormat::kGeoJson;
    if (hasExtension(path, ".gpkg")) return OutputFormat::kGeoPackage;
    throw usageError("convert: cannot tell the format of " + path + " (.wkt, .hex, .geojson or .gpkg)");
}

// One line per record; a record the line writer refuses is reported and
// left out. Returns how many were. The file appears only once complete.
template <typename WriteLine>
std::size_t writeLines(const std::string& path, const Features& features, WriteLine&& lineOf) {
    OutputFile output(path);
    std::FILE* out = output.stream();
    std::size_t refused = 0;
    for (std::size_t i = 0; i < features.records.size(); ++i) {
        if (!features.records[i]) continue;
        try {
            const std::string line = lineOf(features.records[i].get());
            std::fwrite(line.data(), 1, line.size(), out);
            std::fputc('\n', out);
        } catch (const ToolError& error) {
            std::fprintf(stderr, "%s:%lld: %s\n", features.source.c_str(), static_cast<long long>(features.ids[i]),
                         error.what());
            ++refused;
        }
    }
    output.commit();
    return refused;
}

std::size_t writeOutput(const std::string& path, const Features& features) {
    switch (formatOf(path)) {
        case OutputFormat::kWktLines: return writeLines(path, features, writeGeometry);
        case OutputFormat::kHexLines: return writeLines(path, features, hexWkbOf);
        case OutputFormat::kGeoJson:
        case OutputFormat::kGeoPackage:
#ifdef SPATIALGEOM_TOOL_WITH_GDAL
            return writeGdalDataset(path, formatOf(path) == OutputFormat::kGeoJson ? "GeoJSON" : "GPKG", features);
#else
            throw usageError("convert: " + path + " needs GDAL, and this spatialgeom was built without it");
#endif
    }
    return 0;
}

}  // namespace

int runConvert(CommandLine& arguments) {
    std::vector<std::string> paths;
    std::string layer;
    std::int32_t precision = kExactPrecision;
    while (!arguments.done()) {
        if (arguments.takeFlag("--layer")) {
            layer = arguments.takeValue("--layer");
        } else if (arguments.takeFlag("--precision")) {
            precision = parsePrecision(arguments.takeValue("--precision"));
        } else {
            paths.emplace_back(arguments.takePositional());
        }
    }
    if (paths.size() != 2) throw usageError("convert needs IN and OUT");
    formatOf(paths[1]);  // a wrong OUT is told before IN is read
    if (paths[0] == paths[1] && paths[0] != "-") throw usageError("convert: IN and OUT are the same file");
    spatialWKT_setPrecision(precision);

    const Features features = loadFeatures(paths[0], layer, defaultThreadCount());
    reportSkippedFeatures(features);
    const std::size_t refused = writeOutput(paths[1], features);
    return features.skipped.empty() && refused == 0 ? kExitSuccess : kExitBadInput;
}

}  // namespace spatialgeom::tool
