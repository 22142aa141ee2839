#include "tools/file_options.h"

#include <algorithm>

#include "tools/tool_error.h"

namespace spatialgeom::tool {

FileOptions readFileOptions(CommandLine& arguments, const std::function<bool(CommandLine&)>& takeOwnOption) {
    FileOptions options;
    while (!arguments.done()) {
        if (takeOwnOption && takeOwnOption(arguments)) continue;
        if (arguments.takeFlag("--tolerance")) {
            options.tolerance = parseTolerance(arguments.takeValue("--tolerance"));
        } else if (arguments.takeFlag("--threads")) {
            options.threads = parseCount(arguments.takeValue("--threads"), "--threads", 1, 1024);
        } else {
            options.paths.emplace_back(arguments.takePositional());
        }
    }
    if (std::count(options.paths.begin(), options.paths.end(), "-") > 1) {
        throw usageError("only one file can come from standard input");
    }
    return options;
}

}  // namespace spatialgeom::tool
