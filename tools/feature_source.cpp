#include "tools/feature_source.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "tools/geometry_file.h"
#include "tools/hex_wkb.h"
#include "tools/input_text.h"
#ifdef SPATIALGEOM_TOOL_WITH_GDAL
#include "tools/gdal_source.h"
#endif

namespace spatialgeom::tool {
namespace {

// A listing of a source that is no geometry at all should not flood the
// terminal.
constexpr std::size_t kMostReported = 100;

Features wktLines(const std::string& path, std::uint32_t threads) {
    GeometryFile file = loadGeometryFile(path, threads);
    Features features;
    features.source = path;
    features.lines = true;
    features.records = std::move(file.records);
    features.ids.resize(features.records.size());
    for (std::size_t i = 0; i < features.ids.size(); ++i) features.ids[i] = static_cast<std::int64_t>(i + 1);
    for (LineError& error : file.errors) {
        features.skipped.push_back({static_cast<std::int64_t>(error.line), std::move(error.message)});
    }
    return features;
}

Features hexLines(const std::string& path) {
    const std::string content = readInput(path);
    Features features;
    features.source = path;
    features.lines = true;
    std::size_t begin = 0;
    std::int64_t line = 0;
    while (begin < content.size()) {
        std::size_t end = content.find('\n', begin);
        if (end == std::string::npos) end = content.size();
        const std::string_view text(content.data() + begin, end - begin);
        begin = end + 1;
        ++line;
        if (text.find_first_not_of(" \t\r") == std::string_view::npos) continue;
        std::string error;
        RecordPtr record = recordFromHexWkb(text, &error);
        if (!record) {
            features.skipped.push_back({line, std::move(error)});
            continue;
        }
        features.records.push_back(std::move(record));
        features.ids.push_back(line);
    }
    return features;
}

}  // namespace

bool hasExtension(const std::string& path, std::string_view extension) {
    if (path.size() < extension.size()) return false;
    return std::equal(extension.begin(), extension.end(), path.end() - static_cast<std::ptrdiff_t>(extension.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

bool isWktLinesPath(const std::string& path) {
#ifdef SPATIALGEOM_TOOL_WITH_GDAL
    return path == "-" || hasExtension(path, ".wkt");
#else
    return !isHexLinesPath(path);
#endif
}

bool isHexLinesPath(const std::string& path) { return hasExtension(path, ".hex"); }

Features loadFeatures(const std::string& path, [[maybe_unused]] const std::string& layer, std::uint32_t threads) {
    if (isWktLinesPath(path)) return wktLines(path, threads);
    if (isHexLinesPath(path)) return hexLines(path);
#ifdef SPATIALGEOM_TOOL_WITH_GDAL
    return readGdalSource(path, layer);
#else
    return wktLines(path, threads);
#endif
}

void reportSkippedFeatures(const Features& features) {
    const std::size_t shown = std::min(features.skipped.size(), kMostReported);
    for (std::size_t i = 0; i < shown; ++i) {
        const SkippedFeature& skipped = features.skipped[i];
        std::fprintf(stderr, "%s:%lld: %s\n", features.source.c_str(), static_cast<long long>(skipped.id),
                     skipped.reason.c_str());
    }
    if (features.skipped.size() > shown) {
        std::fprintf(stderr, "%s: %zu more %s\n", features.source.c_str(), features.skipped.size() - shown,
                     features.lines ? "lines refused" : "features skipped");
    }
}

}  // namespace spatialgeom::tool
