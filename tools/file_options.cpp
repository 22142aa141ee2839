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
        } else if (arguments.takeFlag("--layer")) {
            options.layers.emplace_back(arguments.takeValue("--layer"));
        } else if (arguments.takeFlag("--threads")) {
            options.threads = parseCount(arguments.takeValue("--threads"), "--threads", 1, 1024);
        } else {
            options.paths.emplace_back(arguments.takePositional());
        }
    }
    if (std::count(options.paths.begin(), options.paths.end(), "-") > 1) {
        throw usageError("only one file can come from standard input");
    }
    if (options.layers.size() > 1 && options.layers.size() != options.paths.size()) {
        throw usageError("give --layer once for every source or once per source");
    }
    return options;
}

const std::string& layerOf(const FileOptions& options, std::size_t index) {
    static const std::string kFirst;
    if (options.layers.empty()) return kFirst;
    return options.layers.size() == 1 ? options.layers[0] : options.layers[index];
}

}  // namespace spatialgeom::tool
