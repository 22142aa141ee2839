// spatialgeom join A B [--layer NAME]... [--tolerance T] [--threads N]
//   [--format pairs|csv|json] [--output FILE]: "i j" for every pair of
// features whose geometries meet, by their ids (line numbers from 1, FIDs),
// in the order the sources list them.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/feature_source.h"
#include "tools/file_options.h"
#include "tools/output_file.h"
#include "tools/spatial_join.h"
#include "tools/table_output.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

RecordList recordsOf(const Features& file) {
    RecordList records;
    records.reserve(file.records.size());
    for (const RecordPtr& record : file.records) records.push_back(record.get());
    return records;
}

// The features' ids, in the chosen format.
void writePairs(const std::vector<MeetingPair>& pairs, const Features& first, const Features& second,
                TableFormat format, std::FILE* out) {
    TableWriter table(out, format, {"a", "b"});
    for (const MeetingPair& pair : pairs) {
        table.add(first.ids[pair.first]);
        table.add(second.ids[pair.second]);
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
    const Features first = loadFeatures(options.paths[0], layerOf(options, 0), options.threads);
    reportSkippedFeatures(first);
    const Features second = loadFeatures(options.paths[1], layerOf(options, 1), options.threads);
    reportSkippedFeatures(second);
    writePairs(meetingPairs(recordsOf(first), recordsOf(second), options.tolerance, options.threads), first, second,
               format, output.stream());
    output.commit();
    return first.skipped.empty() && second.skipped.empty() ? kExitSuccess : kExitBadInput;
}

}  // namespace spatialgeom::tool
