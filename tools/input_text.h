// Reading the tool's inputs: whole files and standard input.
#pragma once

#include <string>
#include <string_view>

#include "spatialgeom/record_ptr.h"

namespace spatialgeom::tool {

// The whole file; "-" is standard input. inputError when it cannot be read.
std::string readInput(std::string_view path);

// A WKT argument: the text itself, or standard input for "-". Trailing
// white space (a final line break, a carriage return) is dropped.
std::string geometryArgument(std::string_view argument);

// The record of a WKT argument; inputError with the parser's message when
// the text is refused.
RecordPtr geometryFromArgument(std::string_view argument);

}  // namespace spatialgeom::tool
