// The tool's commands. Each reads its arguments (after the command name)
// from the command line, writes its answer on standard output and returns
// the exit status; failures are thrown as ToolError.
#pragma once

#include "tools/command_line.h"

namespace spatialgeom::tool {

int runInfo(CommandLine& arguments);
int runIntersects(CommandLine& arguments);
int runTransform(CommandLine& arguments);
int runEncode(CommandLine& arguments);
int runDecode(CommandLine& arguments);
int runJoin(CommandLine& arguments);
int runNearest(CommandLine& arguments);
int runSvg(CommandLine& arguments);
int runConvert(CommandLine& arguments);
int runDistance(CommandLine& arguments);

}  // namespace spatialgeom::tool
