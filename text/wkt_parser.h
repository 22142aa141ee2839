// The parser of the geometry text.
//
//   input     := geometry END
//              | GEOMETRYCOLLECTION ( geometry {, geometry} ) END
//   geometry  := POINT ( triple )
//              | LINESTRING ( vertices )
//              | POLYGON ( rings )
//              | MULTIPOINT ( ( triple ) {, ( triple )} )
//              | MULTILINESTRING ( rings )
//              | MULTIPOLYGON ( ( rings ) {, ( rings )} )
//   rings     := ( vertices ) {, ( vertices )}
//   vertices  := triple {, triple}
//   triple    := number number number
//
// Tokens come from WktScanner. A polygon's first ring is its exterior ring,
// the others its holes. Rings are not checked for closure or size.
#pragma once

#include <array>
#include <string_view>

#include "text/parsed_text.h"

namespace spatialgeom {

inline constexpr int kParseAccepted = 0;
inline constexpr int kParseSyntaxError = 1;

// A parse message: NUL-terminated, at most 127 characters.
using ParseMessage = std::array<char, 128>;

// Parses text (which ends at the end of the view). Returns kParseAccepted
// with the geometries in *out (which must start empty), or kParseSyntaxError when the text is not
// one geometry or collection of the grammar: the parse stops at the first
// token that cannot continue such a text, and *message receives
// "parse error, at or near \"TOKEN\"\n", quoting that token as written
// (empty at the end of the text), cut to 127 characters. *message is not
// touched on success. Unmatched bytes up to the failing token are echoed by
// the scanner. Throws std::bad_alloc when memory runs out.
//
// Reentrant; O(n) time and memory in the size of the text.
int parseWkt(std::string_view text, ParsedText* out, ParseMessage* message);

}  // namespace spatialgeom
