// Writing geometries through GDAL (built only when GDAL is found): a new
// data source of one layer, by way of ISO WKB.
#pragma once

#include <cstddef>
#include <string>

#include "tools/feature_source.h"

namespace spatialgeom::tool {

// Replaces path with a data source of GDAL's driver (e.g. "GPKG",
// "GeoJSON") holding one layer: named as the features' layer, else after
// path's file name without its extension; of the features' CRS when they
// have one. Each record becomes a feature of the same id with no attribute
// (the GeoJSON driver writes the id as the feature's "id"; its coordinates
// get 17 significant digits, so they read back exactly). Records that
// spatialWKB_toOgcWkb refuses are reported on standard error as
// "path:id: reason" and left out; returns their count. inputError when the
// driver is missing or the data source cannot be made or written.
std::size_t writeGdalDataset(const std::string& path, const char* driver, const Features& features);

}  // namespace spatialgeom::tool
