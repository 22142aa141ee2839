// The arguments shared by the commands that work on data sources (join,
// svg): the sources, --layer NAME, --tolerance T and --threads N, in any
// order, among the command's own options.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/command_line.h"

namespace spatialgeom::tool {

struct FileOptions {
    std::vector<std::string> paths;
    // None, one for every source, or one per source in order.
    std::vector<std::string> layers;
    double tolerance = 0.0;
    std::uint32_t threads = defaultThreadCount();
};

// Reads every remaining argument. At most one path may be "-"; usage error
// for a count of --layer other than 0, 1 or the count of paths. A command's
// own options go to takeOwnOption first: it consumes the option (and its
// value) and returns true when the next argument is one of them.
FileOptions readFileOptions(CommandLine& arguments, const std::function<bool(CommandLine&)>& takeOwnOption = {});

// The layer of the index-th path ("" for the first layer).
const std::string& layerOf(const FileOptions& options, std::size_t index);

}  // namespace spatialgeom::tool
