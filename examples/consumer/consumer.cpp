// A C++ program using the installed library: parses two geometries, owns
// them through spatialgeom::RecordPtr, and tests them at two tolerances.
#include <spatialgeom/record_ptr.h>
#include <spatialgeom/spatialgeom.h>

#include <cstdint>
#include <cstdio>

namespace {

using Record = spatialgeom::RecordPtr;

Record parse(const char* text) {
    Record record;
    if (spatialParse_string(text, record.out()) != 0) {
        std::fprintf(stderr, "cannot parse %s: %s", text, spatialParse_errorString());
    }
    return record;
}

bool meets(const Record& a, const Record& b, double tolerance) {
    std::uint32_t result = 0;
    return spatialWKB_intersectGeometry(a.get(), b.get(), tolerance, &result) == SPATIAL_SUCCESS && result == 1;
}

}  // namespace

int main() {
    const Record line = parse("LINESTRING(0 0 0,10 0 0)");
    const Record point = parse("POINT(5 0.5 0)");
    if (!line || !point) return 1;
    const bool near = meets(line, point, 1.0);
    const bool far = meets(line, point, 0.1);
    std::printf("within 1: %s, within 0.1: %s\n", near ? "true" : "false", far ? "true" : "false");
    return near && !far ? 0 : 1;
}
