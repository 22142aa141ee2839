// Files of one WKT geometry per line, parsed on several threads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "spatialgeom/record_ptr.h"

namespace spatialgeom::tool {

struct LineError {
    std::size_t line;  // from 1
    std::string message;
};

struct GeometryFile {
    std::string path;
    // One slot per line of the file (line i + 1 at index i); null for a
    // blank line or a line that was refused.
    std::vector<RecordPtr> records;
    std::vector<LineError> errors;  // in line order
};

// Reads and parses the file ("-" is standard input). A line ends at a line
// feed; a carriage return before it is dropped; blank lines are skipped.
// inputError when the file cannot be read; refused lines are listed in
// errors with the parser's message.
GeometryFile loadGeometryFile(const std::string& path, std::uint32_t threads);

// Prints the first 100 refused lines as "path:line: message" on standard
// error, then how many more there are.
void reportLineErrors(const GeometryFile& file);

}  // namespace spatialgeom::tool
