// spatialgeom nearest A B [--layer NAME]... [--max-distance D] [--threads N]
//   [--format pairs|csv|json] [--output FILE]: for each feature of B, the
// feature of A nearest to it and their distance, by ids, in B's order.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "spatialgeom/join.h"
#include "tools/command_line.h"
#include "tools/commands.h"
#include "tools/feature_source.h"
#include "tools/file_options.h"
#include "tools/output_file.h"
#include "tools/progress_bar.h"
#include "tools/table_output.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

struct NearestFeature {
    std::uint32_t second;  // index in B
    std::uint32_t first;   // index of its nearest in A
    double distance;
};

std::vector<const void*> recordsOf(const Features& file) {
    std::vector<const void*> records;
    records.reserve(file.records.size());
    for (const RecordPtr& record : file.records) records.push_back(record.get());
    return records;
}

// The library's search (spatialWKB_nearestRecords) over slices of B, so
// that a progress bar can follow it (each call indexes A again: up to 50
// slices, fewer when A is the larger); one call without a bar.
std::vector<NearestFeature> nearestFeatures(const std::vector<const void*>& first,
                                            const std::vector<const void*>& second, double maxDistance,
                                            std::uint32_t threads) {
    constexpr std::size_t kMostRecords = std::numeric_limits<std::uint32_t>::max();
    if (first.size() > kMostRecords || second.size() > kMostRecords) throw inputError("too many geometries to search");
    const bool shown = ProgressBar::wanted();
    const double bySize =
        10.0 * static_cast<double>(second.size()) / static_cast<double>(std::max<std::size_t>(first.size(), 1));
    const auto slices = shown ? static_cast<std::size_t>(std::clamp(bySize, 1.0, 50.0)) : 1;
    const std::size_t slice = std::max<std::size_t>((second.size() + slices - 1) / slices, 1);
    ProgressBar progress("searching", second.size(), shown);
    struct Found {
        std::vector<NearestFeature> nearest;
        std::uint32_t offset = 0;
    } found;
    for (std::size_t begin = 0; begin < second.size(); begin += slice) {
        const std::size_t count = std::min(slice, second.size() - begin);
        found.offset = static_cast<std::uint32_t>(begin);
        const std::uint32_t status = spatialWKB_nearestRecords(
            first.data(), static_cast<std::uint32_t>(first.size()), second.data() + begin,
            static_cast<std::uint32_t>(count), maxDistance, threads,
            [](void* context, std::uint32_t j, std::uint32_t i, double distance) {
                auto* found = static_cast<Found*>(context);
                found->nearest.push_back({found->offset + j, i, distance});
            },
            &found);
        // The records are the parser's and the distance was checked: only
        // memory is left to fail.
        if (status != SPATIAL_SUCCESS) throw std::bad_alloc();
        progress.advance(count);
    }
    return std::move(found.nearest);
}

double parseMaxDistance(std::string_view text) {
    if (text == "inf" || text == "infinity") return INFINITY;
    const double distance = parseNumber(text, "--max-distance");
    if (distance < 0.0) throw usageError("--max-distance must not be negative");
    return distance;
}

}  // namespace

int runNearest(CommandLine& arguments) {
    TableFormat format = TableFormat::kPairs;
    std::string outputPath;
    double maxDistance = INFINITY;
    const FileOptions options = readFileOptions(arguments, [&](CommandLine& line) {
        if (line.takeFlag("--format")) {
            format = parseTableFormat(line.takeValue("--format"));
        } else if (line.takeFlag("--output")) {
            outputPath = line.takeValue("--output");
        } else if (line.takeFlag("--max-distance")) {
            maxDistance = parseMaxDistance(line.takeValue("--max-distance"));
        } else if (line.takeFlag("--tolerance")) {
            throw usageError("nearest takes --max-distance, not --tolerance");
        } else {
            return false;
        }
        return true;
    });
    if (options.paths.size() != 2) throw usageError("nearest needs two files");
    OutputFile output(outputPath);  // before the work: a bad path fails at once
    const Features first = loadFeatures(options.paths[0], layerOf(options, 0), options.threads);
    reportSkippedFeatures(first);
    const Features second = loadFeatures(options.paths[1], layerOf(options, 1), options.threads);
    reportSkippedFeatures(second);
    {
        TableWriter table(output.stream(), format, {"b", "a", "distance"});
        for (const NearestFeature& n :
             nearestFeatures(recordsOf(first), recordsOf(second), maxDistance, options.threads)) {
            table.add(second.ids[n.second]);
            table.add(first.ids[n.first]);
            table.add(n.distance);
            table.endRow();
        }
    }
    output.commit();
    return first.skipped.empty() && second.skipped.empty() ? kExitSuccess : kExitBadInput;
}

}  // namespace spatialgeom::tool
