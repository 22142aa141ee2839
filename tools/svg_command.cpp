// spatialgeom svg [--layer NAME]... [--tolerance T] [--threads N] SOURCE...
// > out.svg: the geometries of the sources drawn on XY, those meeting
// another one highlighted.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/feature_source.h"
#include "tools/file_options.h"
#include "tools/spatial_join.h"
#include "tools/svg_drawing.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {

int runSvg(CommandLine& arguments) {
    const FileOptions options = readFileOptions(arguments);
    if (options.paths.empty()) throw usageError("svg needs at least one file");

    std::vector<Features> files;
    bool refusedLines = false;
    for (std::size_t i = 0; i < options.paths.size(); ++i) {
        files.push_back(loadFeatures(options.paths[i], layerOf(options, i), options.threads));
        reportSkippedFeatures(files.back());
        refusedLines = refusedLines || !files.back().skipped.empty();
    }
    std::vector<DrawnGeometry> drawn;
    RecordList records;
    for (std::uint32_t layer = 0; layer < files.size(); ++layer) {
        const Features& file = files[layer];
        for (std::size_t i = 0; i < file.records.size(); ++i) {
            if (!file.records[i]) continue;
            drawn.push_back({file.records[i].get(), file.source + ":" + std::to_string(file.ids[i]), layer, false});
            records.push_back(file.records[i].get());
        }
    }
    for (const MeetingPair& pair : meetingPairs(records, records, options.tolerance, options.threads)) {
        if (pair.first != pair.second) drawn[pair.first].highlighted = true;
    }
    writeSvg(stdout, drawn);
    return refusedLines ? kExitBadInput : kExitSuccess;
}

}  // namespace spatialgeom::tool
