// Well-Known Text and WKB read into records, with the reason of a refusal.
//
// The library's parse message is process-wide: the message of the latest
// parse in any thread. Parses run in parallel under a shared lock; the
// text of a refused one is parsed again under the exclusive lock to read
// its own message. Called with the interpreter lock released.
#pragma once

#include <cstddef>
#include <string>

#include "spatialgeom/record_ptr.h"

namespace spatialgeom::python {

// A new record, or null and the reason.
struct ReadOutcome {
    RecordPtr record;
    std::string error;
};

// text: length bytes of UTF-8 followed by a NUL. Text with a byte that
// forms no token (the library's reader would echo it to standard output)
// is refused before parsing, with the byte and its column.
ReadOutcome parseWkt(const char* text, std::size_t length);

// length bytes of OGC WKB (ISO or extended, either byte order).
ReadOutcome readWkb(const void* bytes, std::size_t length);

}  // namespace spatialgeom::python
