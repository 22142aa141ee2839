// spatialgeom join A.wkt B.wkt [--tolerance T] [--threads N]: "i j" for
// every pair of lines (from 1) whose geometries meet, sorted.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/geometry_file.h"
#include "tools/spatial_join.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

RecordList recordsOf(const GeometryFile& file) {
    RecordList records;
    records.reserve(file.records.size());
    for (const Record& record : file.records) records.push_back(record.get());
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
    double tolerance = 0.0;
    std::uint32_t threads = defaultThreadCount();
    std::vector<std::string> paths;
    while (!arguments.done()) {
        if (arguments.takeFlag("--tolerance")) {
            tolerance = parseTolerance(arguments.takeValue("--tolerance"));
        } else if (arguments.takeFlag("--threads")) {
            threads = parseCount(arguments.takeValue("--threads"), "--threads", 1, 1024);
        } else {
            paths.emplace_back(arguments.takePositional());
        }
    }
    if (paths.size() != 2) throw usageError("join needs two files");
    if (paths[0] == "-" && paths[1] == "-") throw usageError("only one file can come from standard input");

    const GeometryFile first = loadGeometryFile(paths[0], threads);
    reportLineErrors(first);
    const GeometryFile second = loadGeometryFile(paths[1], threads);
    reportLineErrors(second);
    printPairs(meetingPairs(recordsOf(first), recordsOf(second), tolerance, threads));
    return first.errors.empty() && second.errors.empty() ? kExitSuccess : kExitBadInput;
}

}  // namespace spatialgeom::tool
