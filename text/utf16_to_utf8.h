// Wide (UTF-16) text to narrow (UTF-8) text, for the wide-text parses.
#pragma once

#include <string>

namespace spatialgeom {

// Converts the NUL-terminated UTF-16 text (not null) to UTF-8 into *out,
// replacing its contents. Returns false when the text holds an unpaired
// surrogate (*out then holds the part before it). Throws std::bad_alloc.
bool utf16ToUtf8(const char16_t* text, std::string* out);

}  // namespace spatialgeom
