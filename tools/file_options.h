// The arguments shared by the commands that work on WKT files (join, svg):
// the files, --tolerance T and --threads N, in any order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/command_line.h"

namespace spatialgeom::tool {

struct FileOptions {
    std::vector<std::string> paths;
    double tolerance = 0.0;
    std::uint32_t threads = defaultThreadCount();
};

// Reads every remaining argument. At most one path may be "-".
FileOptions readFileOptions(CommandLine& arguments);

}  // namespace spatialgeom::tool
