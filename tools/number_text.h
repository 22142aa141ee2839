// Numbers as the tool prints them, in the C locale whatever the environment.
// (The library's writer formats coordinates its own way, as "%.*g".)
#pragma once

#include <string>

namespace spatialgeom::tool {

// The shortest text that reads back as value; with significantDigits > 0,
// that many digits at most ("%g" style).
std::string numberText(double value, int significantDigits = 0);

}  // namespace spatialgeom::tool
