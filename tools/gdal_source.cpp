#include "tools/gdal_source.h"

#include <cpl_conv.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cstdint>
#include <vector>

#include "spatialgeom/types.h"
#include "spatialgeom/wkb.h"
#include "tools/gdal_scope.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

std::string typeName(const OGRGeometry& geometry) { return OGRGeometryTypeToName(geometry.getGeometryType()); }

// The record of a feature's geometry, or null with the reason it cannot be
// taken.
RecordPtr recordOf(const OGRGeometry* geometry, std::string* reason) {
    if (geometry == nullptr) {
        *reason = "no geometry";
        return RecordPtr();
    }
    const OGRwkbGeometryType type = geometry->getGeometryType();
    if (OGR_GT_IsNonLinear(type)) {
        *reason = "curved geometry (" + typeName(*geometry) + ")";
        return RecordPtr();
    }
    if (geometry->IsMeasured()) {
        *reason = "M values (" + typeName(*geometry) + ")";
        return RecordPtr();
    }
    const OGRwkbGeometryType flat = wkbFlatten(type);
    if (flat < wkbPoint || flat > wkbGeometryCollection) {
        *reason = "a kind records do not hold (" + typeName(*geometry) + ")";
        return RecordPtr();
    }
    if (geometry->IsEmpty()) {
        *reason = "empty geometry";
        return RecordPtr();
    }
    const std::size_t size = geometry->WkbSize();
    if (size > UINT32_MAX) {
        *reason = "too large for a record";
        return RecordPtr();
    }
    std::vector<unsigned char> bytes(size);
    if (geometry->exportToWkb(wkbNDR, bytes.data(), wkbVariantIso) != OGRERR_NONE) {
        *reason = "GDAL cannot write it as WKB";
        return RecordPtr();
    }
    RecordPtr record;
    if (spatialWKB_fromOgcWkb(bytes.data(), static_cast<std::uint32_t>(size), record.out()) != SPATIAL_SUCCESS) {
        *reason = "a part a record cannot hold (an empty part, or a collection inside a collection)";
    }
    return record;
}

std::string layerNames(GDALDataset& dataset) {
    std::string names;
    for (int i = 0; i < dataset.GetLayerCount(); ++i) {
        if (i > 0) names += ", ";
        names += dataset.GetLayer(i)->GetName();
    }
    return names;
}

OGRLayer& chooseLayer(GDALDataset& dataset, const std::string& path, const std::string& name) {
    if (dataset.GetLayerCount() == 0) throw inputError(path + " has no vector layer");
    OGRLayer* layer = name.empty() ? dataset.GetLayer(0) : dataset.GetLayerByName(name.c_str());
    if (layer == nullptr) {
        throw usageError(path + " has no layer '" + name + "' (its layers: " + layerNames(dataset) + ")");
    }
    return *layer;
}

std::string crsText(OGRLayer& layer) {
    const OGRSpatialReference* reference = layer.GetSpatialRef();
    if (reference == nullptr) return "";
    char* text = nullptr;
    std::string wkt;
    if (reference->exportToWkt(&text) == OGRERR_NONE && text != nullptr) wkt = text;
    CPLFree(text);
    return wkt;
}

}  // namespace

Features readGdalSource(const std::string& path, const std::string& layerName) {
    const GdalScope gdal;
    const GDALDatasetUniquePtr dataset(
        GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    if (!dataset) {
        const std::string why = gdal.lastMessage();
        throw inputError("cannot open " + path + " as a vector data source" + (why.empty() ? "" : ": " + why));
    }
    OGRLayer& layer = chooseLayer(*dataset, path, layerName);

    Features features;
    features.source = path;
    features.layer = layer.GetName();
    features.spatialReference = crsText(layer);
    std::int64_t position = 0;
    layer.ResetReading();
    for (OGRFeatureUniquePtr feature(layer.GetNextFeature()); feature; feature.reset(layer.GetNextFeature())) {
        std::int64_t id = feature->GetFID();
        if (id == OGRNullFID) id = position;
        ++position;
        std::string reason;
        RecordPtr record = recordOf(feature->GetGeometryRef(), &reason);
        if (record) {
            features.records.push_back(std::move(record));
            features.ids.push_back(id);
        } else {
            features.skipped.push_back({id, std::move(reason)});
        }
    }
    return features;
}

}  // namespace spatialgeom::tool
