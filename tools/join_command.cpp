// spatialgeom join A B [--layer NAME]... [--tolerance T] [--threads N]:
// "i j" for every pair of features whose geometries meet, by their ids
// (line numbers from 1, FIDs), in the order the sources list them.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/feature_source.h"
#include "tools/file_options.h"
#include "tools/spatial_join.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

RecordList recordsOf(const Features& file) {
    RecordList records;
    records.reserve(file.records.size());
    for (const RecordPtr& record : file.records) records.push_back(record.get());
    return records;
}

void printPairs(const std::vector<MeetingPair>& pairs, const Features& first, const Features& second) {
    std::string out;
    char number[24];
    auto append = [&](std::int64_t id, char after) {
        const auto end = std::to_chars(number, number + sizeof number, id).ptr;
        out.append(number, end);
        out += after;
    };
    for (const MeetingPair& pair : pairs) {
        append(first.ids[pair.first], ' ');
        append(second.ids[pair.second], '\n');
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
    const Features first = loadFeatures(options.paths[0], layerOf(options, 0), options.threads);
    reportSkippedFeatures(first);
    const Features second = loadFeatures(options.paths[1], layerOf(options, 1), options.threads);
    reportSkippedFeatures(second);
    printPairs(meetingPairs(recordsOf(first), recordsOf(second), options.tolerance, options.threads), first, second);
    return first.skipped.empty() && second.skipped.empty() ? kExitSuccess : kExitBadInput;
}

}  // namespace spatialgeom::tool
