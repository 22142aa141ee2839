// Well-Known Text in and out of records, as the tool needs it: parsing with
// a message fit for the user, and writing into a std::string.
#pragma once

#include <string>
#include <string_view>

#include "spatialgeom/record_ptr.h"

namespace spatialgeom::tool {

struct ParsedGeometry {
    RecordPtr record;   // null when the text was refused
    std::string error;  // why, when it was refused
};

// Parses text, which must be followed by a NUL in memory (text.data()
// [text.size()] == 0, as std::string guarantees). Text with bytes
// outside the reader's vocabulary is refused without calling the parser.
// The message comes from spatialParse_errorString, which is process-wide:
// call this from one thread at a time when the message matters.
ParsedGeometry parseGeometry(std::string_view text);

// The same without the message: safe to call from many threads at once.
RecordPtr parseGeometryQuietly(std::string_view text);

// The record as text at the writer's current precision; inputError when
// the writer cannot write it.
std::string writeGeometry(const void* record);

}  // namespace spatialgeom::tool
