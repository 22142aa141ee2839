// spatialgeom join A.wkt B.wkt [--tolerance T] [--threads N]: "i j" for
// every pair of lines (from 1) whose geometries meet, sorted.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/file_options.h"
#include "tools/geometry_file.h"
#include "tools/spatial_join.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

RecordList recordsOf(const GeometryFile& file) {
    RecordList records;
    records.reserve(file.records.size());
    for (const RecordPtr& record : file.records) records.push_back(record.get());
    return records;
}

void printPairs(const std::vector<MeetingPair>& pairs) {
    std::string out;
    char number[16];
    auto append = [&](std::uint32_t index, char after) {
        const auto end = std::to_chars(number, number + sizeof number, std::uint64_t{index} + 1).ptr;
        out.append(number, end);
        out += after;
    };
    for (const MeetingPair& pair : pairs) {
        append(pair.first, ' ');
        append(pair.second, '\n');
        if (out.size() > (1u << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace

int runJoin(CommandLine& arguments) {
    const FileOptions options = readFileOptions(arguments);
    if (options.paths.size() != 2) throw usageError("join needs two files");
    const GeometryFile first = loadGeometryFile(options.paths[0], options.threads);
    reportLineErrors(first);
    const GeometryFile second = loadGeometryFile(options.paths[1], options.threads);
    reportLineErrors(second);
    printPairs(meetingPairs(recordsOf(first), recordsOf(second), options.tolerance, options.threads));
    return first.errors.empty() && second.errors.empty() ? kExitSuccess : kExitBadInput;
}

}  // namespace spatialgeom::tool
