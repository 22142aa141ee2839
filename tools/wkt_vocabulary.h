// The characters the library's text reader turns into tokens. The reader
// skips any other character after echoing it to standard output, which
// would mix stray bytes into the tool's own output; the tool refuses such
// text before parsing instead.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace spatialgeom::tool {

// The offset of the first byte of text that the library's reader cannot
// turn into a token (space, tab and line feed between tokens are fine), or
// nullopt when there is none: spatialParse_findUnmatchedByte.
std::optional<std::size_t> firstUnexpectedCharacter(std::string_view text);

// "unexpected character 'x' at column 7" (columns from 1; bytes that are
// not printable ASCII are written as \xNN).
std::string describeUnexpectedCharacter(std::string_view text, std::size_t offset);

}  // namespace spatialgeom::tool
