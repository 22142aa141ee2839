// spatialgeom join A.wkt B.wkt [--tolerance T] [--threads N]
//   [--format pairs|csv|json] [--output FILE]: "i j" for every pair of
// lines (from 1) whose geometries meet, sorted.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/file_options.h"
#include "tools/geometry_file.h"
#include "tools/output_file.h"
#include "tools/spatial_join.h"
#include "tools/table_output.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

RecordList recordsOf(const GeometryFile& file) {
    RecordList records;
    records.reserve(file.records.size());
    for (const RecordPtr& record : file.records) records.push_back(record.get());
    return records;
}

// Line numbers from 1, in the chosen format.
void writePairs(const std::vector<MeetingPair>& pairs, TableFormat format, std::FILE* out) {
    TableWriter table(out, format, {"a", "b"});
    for (const MeetingPair& pair : pairs) {
        table.add(std::uint64_t{pair.first} + 1);
        table.add(std::uint64_t{pair.second} + 1);
        table.endRow();
    }
}

}  // namespace

int runJoin(CommandLine& arguments) {
    TableFormat format = TableFormat::kPairs;
    std::string outputPath;
    const FileOptions options = readFileOptions(arguments, [&](CommandLine& line) {
        if (line.takeFlag("--format")) {
            format = parseTableFormat(line.takeValue("--format"));
        } else if (line.takeFlag("--output")) {
            outputPath = line.takeValue("--output");
        } else {
            return false;
        }
        return true;
    });
    if (options.paths.size() != 2) throw usageError("join needs two files");
    OutputFile output(outputPath);  // before the work: a bad path fails at once
    const GeometryFile first = loadGeometryFile(options.paths[0], options.threads);
    reportLineErrors(first);
    const GeometryFile second = loadGeometryFile(options.paths[1], options.threads);
    reportLineErrors(second);
    const std::vector<MeetingPair> pairs =
        meetingPairs(recordsOf(first), recordsOf(second), options.tolerance, options.threads);
    writePairs(pairs, format, output.stream());
    output.commit();
    return first.errors.empty() && second.errors.empty() ? kExitSuccess : kExitBadInput;
}

}  // namespace spatialgeom::tool
