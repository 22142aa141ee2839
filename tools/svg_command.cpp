// spatialgeom svg [--layer NAME]... [--tolerance T] [--threads N]
//   [--title TEXT] [--output FILE] SOURCE... > out.svg: the geometries of the
// sources drawn on XY, those meeting another one highlighted, with a legend
// and a scale.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/feature_source.h"
#include "tools/file_options.h"
#include "tools/output_file.h"
#include "tools/spatial_join.h"
#include "tools/svg_drawing.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {

int runSvg(CommandLine& arguments) {
    SvgCaptions captions;
    std::string outputPath;
    const FileOptions options = readFileOptions(arguments, [&](CommandLine& line) {
        if (line.takeFlag("--title")) {
            captions.title = line.takeValue("--title");
        } else if (line.takeFlag("--output")) {
            outputPath = line.takeValue("--output");
        } else {
            return false;
        }
        return true;
    });
    if (options.paths.empty()) throw usageError("svg needs at least one file");
    OutputFile output(outputPath);  // before the work: a bad path fails at once

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
    for (const Features& file : files)
        captions.layerNames.push_back(file.source == "-" ? "standard input" : file.source);
    captions.highlightName = "meets another geometry";
    writeSvg(output.stream(), drawn, captions);
    output.commit();
    return refusedLines ? kExitBadInput : kExitSuccess;
}

}  // namespace spatialgeom::tool
