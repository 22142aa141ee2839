// Hex WKB text: a geometry as the hexadecimal digits of its ISO WKB with z
// (little-endian, upper-case digits), one geometry per line of a ".hex"
// file, as databases print WKB.
#pragma once

#include <string>
#include <string_view>

#include "spatialgeom/record_ptr.h"

namespace spatialgeom::tool {

// The record's WKB as hex digits; inputError when spatialWKB_toOgcWkb
// refuses the record.
std::string hexWkbOf(const void* record);

// The record of a line of hex WKB (either case, surrounding blanks ignored);
// null with *error set (columns from 1 in line) when the text is not an even
// count of hex digits or the bytes are not WKB that a record holds.
RecordPtr recordFromHexWkb(std::string_view line, std::string* error);

}  // namespace spatialgeom::tool
