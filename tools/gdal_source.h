// Reading a vector data source through GDAL (built only when GDAL is
// found): the geometries of one layer, by way of ISO WKB.
#pragma once

#include <string>

#include "tools/feature_source.h"

namespace spatialgeom::tool {

// The features of the layer named (the first when layer is ""), with their
// FIDs (a feature without one gets its position from 0). Each geometry
// goes to ISO WKB and through spatialWKB_fromOgcWkb; 2D ones get z = 0.
// Skipped with the reason: no geometry, an empty one, curves, M values,
// kinds records do not hold (surfaces, TINs), and what the WKB reader
// refuses (empty parts, collections in collections). inputError when the
// source cannot be opened or has no layer; usageError listing the layers
// when the layer named is not there.
Features readGdalSource(const std::string& path, const std::string& layer);

}  // namespace spatialgeom::tool
