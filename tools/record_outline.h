// A record flattened into the pieces a reader of the geometry sees: points,
// lines (one run of vertices per subline) and polygons (one run per ring,
// outer ring first, each ring's sublines joined). The tool counts and draws
// from it; the library's vertex run visitor walks the layout.
#pragma once

#include <cstdint>
#include <vector>

#include "spatialgeom/types.h"

namespace spatialgeom::tool {

enum class PieceKind { kPoint, kLine, kPolygon };

struct VertexRun {
    std::uint32_t first;  // index into Outline::vertices
    std::uint32_t count;
};

struct Piece {
    PieceKind kind;
    std::uint32_t firstRun;  // index into Outline::runs
    std::uint32_t runCount;
};

struct Outline {
    std::vector<DPoint3d> vertices;
    std::vector<VertexRun> runs;
    std::vector<Piece> pieces;
    std::uint32_t collectionMembers = 0;  // members of a collection
};

// The outline of a well-formed record of types 1 to 7. Members of a
// collection that have no vertex runs (type 8, unknown codes) add nothing
// but their count; a line, ring or polygon without sublines adds no piece
// or run (the parser makes none).
Outline outlineOf(const void* record);

// The name of a type code as the text writer spells the kind
// ("polygon", "geometrycollection"), or "unknown".
const char* kindName(std::uint32_t type);

}  // namespace spatialgeom::tool
