#include "tools/geometry_file.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "tools/geometry_text.h"
#include "tools/input_text.h"
#include "tools/parallel.h"
#include "tools/progress_bar.h"

namespace spatialgeom::tool {
namespace {

constexpr std::size_t kLinesPerChunk = 512;
// A file that is no WKT at all should not flood the terminal.
constexpr std::size_t kMostReportedLines = 100;

bool isBlank(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

// Cuts content into lines in place: each line feed, and a carriage return
// before it, becomes a NUL, so every line is a terminated text.
std::vector<std::string_view> splitLines(std::string& content) {
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    while (begin < content.size()) {
        std::size_t end = content.find('\n', begin);
        if (end == std::string::npos) end = content.size();
        if (end < content.size()) content[end] = '\0';
        std::size_t last = end;
        if (last > begin && content[last - 1] == '\r') content[--last] = '\0';
        lines.emplace_back(content.data() + begin, last - begin);
        begin = end + 1;
    }
    return lines;
}

}  // namespace

GeometryFile loadGeometryFile(const std::string& path, std::uint32_t threads) {
    std::string content = readInput(path);
    const std::vector<std::string_view> lines = splitLines(content);
    GeometryFile file{path, std::vector<RecordPtr>(lines.size()), {}};

    ProgressBar progress("reading " + path, lines.size(), ProgressBar::wanted());
    parallelFor(lines.size(), threads, kLinesPerChunk, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            if (!isBlank(lines[i])) file.records[i] = parseGeometryQuietly(lines[i]);
        }
        progress.advance(end - begin);
    });
    // The parser's message is process-wide: refused lines are parsed again,
    // one at a time, for their message. They are few, so this costs little.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (file.records[i] || isBlank(lines[i])) continue;
        ParsedGeometry again = parseGeometry(lines[i]);
        if (again.record) {
            file.records[i] = std::move(again.record);
        } else {
            file.errors.push_back({i + 1, again.error});
        }
    }
    return file;
}

void reportLineErrors(const GeometryFile& file) {
    const std::size_t shown = std::min(file.errors.size(), kMostReportedLines);
    for (std::size_t i = 0; i < shown; ++i) {
        const LineError& error = file.errors[i];
        std::fprintf(stderr, "%s:%zu: %s\n", file.path.c_str(), error.line, error.message.c_str());
    }
    if (file.errors.size() > shown) {
        std::fprintf(stderr, "%s: %zu more lines refused\n", file.path.c_str(), file.errors.size() - shown);
    }
}

}  // namespace spatialgeom::tool
