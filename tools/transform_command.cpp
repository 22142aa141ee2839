// spatialgeom transform [--translate X,Y,Z] [--scale SX,SY,SZ[@FX,FY,FZ]]
//   [--rotate DEG [--axis X0,Y0,Z0,X1,Y1,Z1]] [--mirror PX,PY,PZ/NX,NY,NZ]
//   [--precision N] WKT
// The transforms apply in the order given; the result is printed as WKT.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "spatialgeom/records.h"
#include "spatialgeom/text.h"
#include "spatialgeom/transform.h"
#include "tools/collection_members.h"
#include "tools/commands.h"
#include "tools/geometry_text.h"
#include "tools/input_text.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

transform translation(std::string_view text) {
    const DPoint3d offset = parsePoint(text, "--translate");
    transform t;
    transform_initTranslation(&t, &offset);
    return t;
}

// "SX,SY,SZ" about the origin or "SX,SY,SZ@FX,FY,FZ" about a fixed point.
transform scaling(std::string_view text) {
    const std::size_t at = text.find('@');
    const DPoint3d factors = parsePoint(text.substr(0, at), "--scale");
    const DPoint3d fixed =
        at == std::string_view::npos ? DPoint3d{0, 0, 0} : parsePoint(text.substr(at + 1), "--scale");
    transform t;
    transform_initScale(&t, &factors, &fixed);
    return t;
}

// Degrees about the axis through two points; the z axis when none is given.
transform rotation(double degrees, std::string_view axis) {
    const std::vector<double> ends =
        axis.empty() ? std::vector<double>{0, 0, 0, 0, 0, 1} : parseNumberList(axis, 6, "--axis");
    const DPoint3d from{ends[0], ends[1], ends[2]};
    const DPoint3d to{ends[3], ends[4], ends[5]};
    if (from.x == to.x && from.y == to.y && from.z == to.z) throw usageError("--axis needs two different points");
    double radians = 0.0;
    transform_degrees2radians(degrees, &radians);
    transform t;
    transform_initRotationAboutLine(&t, &from, &to, radians);
    return t;
}

// "PX,PY,PZ/NX,NY,NZ": the plane through P with normal N.
transform mirror(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) throw usageError("--mirror needs PX,PY,PZ/NX,NY,NZ");
    const DPoint3d point = parsePoint(text.substr(0, slash), "--mirror");
    const DPoint3d normal = parsePoint(text.substr(slash + 1), "--mirror");
    if (normal.x == 0 && normal.y == 0 && normal.z == 0) throw usageError("--mirror needs a non-zero normal");
    transform t;
    transform_initMirror(&t, &point, &normal);
    return t;
}

// Transforms a record of any kind in place; collections member by member.
bool transformRecord(const transform& t, void* record) {
    std::uint32_t type = 0;
    spatialWKB_getType(record, &type);
    if (type != SPATIAL_TYPE_COLLECTION) return spatialWKB_transformGeometry(&t, record) == SPATIAL_SUCCESS;
    // The members lie inside the record, which is ours to change.
    return everyMember(record, [&](const void* member) { return transformRecord(t, const_cast<void*>(member)); });
}

}  // namespace

int runTransform(CommandLine& arguments) {
    transform combined;
    transform_initIdentity(&combined);
    auto then = [&](const transform& next) { transform_multiply(&next, &combined, &combined); };
    std::string_view source;
    while (!arguments.done()) {
        if (arguments.takeFlag("--translate")) {
            then(translation(arguments.takeValue("--translate")));
        } else if (arguments.takeFlag("--scale")) {
            then(scaling(arguments.takeValue("--scale")));
        } else if (arguments.takeFlag("--rotate")) {
            const double degrees = parseNumber(arguments.takeValue("--rotate"), "--rotate");
            const std::string_view axis = arguments.takeFlag("--axis") ? arguments.takeValue("--axis") : "";
            then(rotation(degrees, axis));
        } else if (arguments.takeFlag("--axis")) {
            throw usageError("--axis belongs right after --rotate DEG");
        } else if (arguments.takeFlag("--mirror")) {
            then(mirror(arguments.takeValue("--mirror")));
        } else if (arguments.takeFlag("--precision")) {
            spatialWKT_setPrecision(parsePrecision(arguments.takeValue("--precision")));
        } else if (source.empty()) {
            source = arguments.takePositional();
        } else {
            throw usageError("transform takes one geometry");
        }
    }
    if (source.empty()) throw usageError("transform needs a geometry");
    const RecordPtr record = geometryFromArgument(source);
    if (!transformRecord(combined, record.get())) throw inputError("the geometry cannot be transformed");
    std::puts(writeGeometry(record.get()).c_str());
    return kExitSuccess;
}

}  // namespace spatialgeom::tool
