// spatialgeom: the command-line tool of the library. Dispatches to one
// command per verb; every failure ends with a message on standard error and
// a non-zero exit status.
#pragma once

namespace spatialgeom::tool {

// The whole tool: argv[1] names the command, the rest are its arguments.
// Returns the exit status (tool_error.h), after flushing standard output.
int toolMain(int argc, char** argv);

}  // namespace spatialgeom::tool
