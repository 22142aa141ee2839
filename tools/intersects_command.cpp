// spatialgeom intersects A B [--tolerance T]: "true" or "false".
#include <cstdio>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/geometry_queries.h"
#include "tools/input_text.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {

int runIntersects(CommandLine& arguments) {
    double tolerance = 0.0;
    std::vector<std::string_view> texts;
    while (!arguments.done()) {
        if (arguments.takeFlag("--tolerance")) {
            tolerance = parseTolerance(arguments.takeValue("--tolerance"));
        } else {
            texts.push_back(arguments.takePositional());
        }
    }
    if (texts.size() != 2) throw usageError("intersects needs two geometries");
    if (texts[0] == "-" && texts[1] == "-") throw usageError("only one geometry can come from standard input");
    const RecordPtr a = geometryFromArgument(texts[0]);
    const RecordPtr b = geometryFromArgument(texts[1]);
    std::puts(geometriesMeet(a.get(), b.get(), tolerance) ? "true" : "false");
    return kExitSuccess;
}

}  // namespace spatialgeom::tool
