#include "records/record_transform.h"

#include "kernel/transform3d.h"
#include "records/vertex_runs.h"

namespace spatialgeom {

void transformRecord(const transform& t, Byte* record, std::uint32_t kind) {
    forEachVertexRunAs(record, kind, 0, [&](const VertexRun& run) {
        // The record is the caller's own, writable block.
        auto* vertices = const_cast<DPoint3d*>(run.vertices);
        kernel::applyToPoints(t, vertices, vertices, run.count);
        return true;
    });
}

}  // namespace spatialgeom
