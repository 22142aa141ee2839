// What `spatialgeom info SOURCE` prints: a data source summed up.
#pragma once

#include <string>

namespace spatialgeom::tool {

// True when argument names a data source rather than WKT text: an existing
// file or folder, or a name ending in ".wkt" or ".hex".
bool namesSource(const std::string& argument);

// Prints on standard output the source's name, its layer (GDAL sources),
// the count of geometries read and skipped, the count of each kind, the
// polygons, rings, lines, points, vertices and record bytes of them all, and
// their 3D range ("none" when nothing was read). Skipped features are
// reported on standard error. Returns the exit status: 1 when some were
// skipped, else 0.
int printSourceSummary(const std::string& path, const std::string& layer);

}  // namespace spatialgeom::tool
