#include "tools/gdal_scope.h"

#include <cpl_error.h>
#include <gdal.h>

#include <mutex>

namespace spatialgeom::tool {

GdalScope::GdalScope() {
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
}

GdalScope::~GdalScope() { CPLPopErrorHandler(); }

std::string GdalScope::lastMessage() const {
    const char* message = CPLGetLastErrorMsg();
    return message == nullptr ? std::string() : std::string(message);
}

}  // namespace spatialgeom::tool
