#include "tools/gdal_writer.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "spatialgeom/types.h"
#include "spatialgeom/wkb.h"
#include "tools/gdal_scope.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

// The record as a GDAL geometry, or null when it has no WKB.
std::unique_ptr<OGRGeometry> geometryOf(const void* record) {
    std::uint32_t size = 0;
    if (spatialWKB_toOgcWkb(record, nullptr, 0, &size) != SPATIAL_BUFFER_TOO_SMALL) return nullptr;
    std::vector<unsigned char> bytes(size);
    if (spatialWKB_toOgcWkb(record, bytes.data(), size, &size) != SPATIAL_SUCCESS) return nullptr;
    OGRGeometry* geometry = nullptr;
    if (OGRGeometryFactory::createFromWkb(bytes.data(), nullptr, &geometry, size, wkbVariantIso) != OGRERR_NONE) {
        delete geometry;
        return nullptr;
    }
    return std::unique_ptr<OGRGeometry>(geometry);
}

std::string failure(const std::string& what, const GdalScope& gdal) {
    const std::string why = gdal.lastMessage();
    return what + (why.empty() ? "" : ": " + why);
}

}  // namespace

std::size_t writeGdalDataset(const std::string& path, const char* driverName, const Features& features) {
    const GdalScope gdal;
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    if (driver == nullptr) throw inputError(std::string("this GDAL has no ") + driverName + " driver");
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path, ignored)) std::filesystem::remove(path, ignored);
    GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!dataset) throw inputError(failure("cannot create " + path, gdal));

    OGRSpatialReference reference;
    reference.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    const bool referenced =
        !features.spatialReference.empty() && reference.importFromWkt(features.spatialReference.c_str()) == OGRERR_NONE;
    const std::string name = features.layer.empty() ? std::filesystem::path(path).stem().string() : features.layer;
    // GeoJSON coordinates at 17 significant digits read back as the same
    // doubles (its default, 15, rounds them).
    CPLStringList options;
    if (std::string(driverName) == "GeoJSON") options.SetNameValue("SIGNIFICANT_FIGURES", "17");
    OGRLayer* layer =
        dataset->CreateLayer(name.c_str(), referenced ? &reference : nullptr, OGR_GT_SetZ(wkbUnknown), options.List());
    if (layer == nullptr) throw inputError(failure("cannot make a layer in " + path, gdal));

    // One transaction: GeoPackage writes are slow feature by feature.
    const bool transaction = dataset->StartTransaction() == OGRERR_NONE;
    std::size_t refused = 0;
    for (std::size_t i = 0; i < features.records.size(); ++i) {
        if (!features.records[i]) continue;
        std::unique_ptr<OGRGeometry> geometry = geometryOf(features.records[i].get());
        if (!geometry) {
            std::fprintf(stderr, "%s:%lld: the geometry cannot be written as WKB\n", path.c_str(),
                         static_cast<long long>(features.ids[i]));
            ++refused;
            continue;
        }
        OGRFeature feature(layer->GetLayerDefn());
        feature.SetGeometryDirectly(geometry.release());
        feature.SetFID(features.ids[i]);
        if (layer->CreateFeature(&feature) != OGRERR_NONE) {
            throw inputError(failure("cannot write feature " + std::to_string(features.ids[i]) + " to " + path, gdal));
        }
    }
    if (transaction && dataset->CommitTransaction() != OGRERR_NONE) {
        throw inputError(failure("cannot write " + path, gdal));
    }
    // Some drivers write at the close: its failure is the write's.
    CPLErrorReset();
    GDALClose(GDALDataset::ToHandle(dataset.release()));
    if (CPLGetLastErrorType() >= CE_Failure) throw inputError(failure("cannot write " + path, gdal));
    return refused;
}

}  // namespace spatialgeom::tool
