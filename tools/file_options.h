// The arguments shared by the commands that work on WKT files (join, svg):
// the files, --tolerance T and --threads N, in any order, among the
// command's own options.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/command_line.h"

namespace spatialgeom::tool {

struct FileOptions {
    std::vector<std::string> paths;
    double tolerance = 0.0;
    std::uint32_t threads = defaultThreadCount();
};

// Reads every remaining argument. At most one path may be "-". A command's
// own options go to takeOwnOption first: it consumes the option (and its
// value) and returns true when the next argument is one of them.
FileOptions readFileOptions(CommandLine& arguments, const std::function<bool(CommandLine&)>& takeOwnOption = {});

}  // namespace spatialgeom::tool
