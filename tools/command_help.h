// The tool's help: the overview (spatialgeom --help), each command's usage
// (spatialgeom COMMAND --help) and the version lines (spatialgeom --version).
// All of it goes to standard output; help2man builds the manual page from
// the overview and the version.
#pragma once

#include <span>
#include <string_view>

namespace spatialgeom::tool {

// The overview: every command's synopsis and summary, then the notes that
// apply to all of them.
extern const char* const kOverview;

// The usage of one command (synopsis, summary, its options), or nullptr
// for an unknown name.
const char* commandUsage(std::string_view command);

// True when one of a command's arguments asks for its help ("--help" or
// "-h"): help wins over whatever else is on the line.
bool asksForHelp(std::span<char* const> arguments);

// "spatialgeom VERSION" then "library: libspatialgeom VERSION", the second
// from the library actually loaded.
void printVersion();

}  // namespace spatialgeom::tool
