// The segment grid's build keeps its entries linear: boxes spanning many
// cells make it coarsen until they register at most 4n + 16 entries,
// whichever axis reaches a single cell first.
#include <cstdint>

#include <gtest/gtest.h>

#include "queries/segment_grid.h"

namespace {

using spatialgeom::ScratchScope;
using spatialgeom::ScratchVector;
using spatialgeom::SegmentGrid;

TEST(SegmentGrid, CoarsensUntilTheEntriesStayLinear) {
    constexpr std::uint32_t n = 400;
    const struct {
        const char* what;
        double width, height, rise;  // box i starts at (i, i * rise)
    } rows[] = {
        // A strip of one row: the columns alone must coarsen.
        {"boxes across a thin strip", 2 * n, 1e-7, 1e-6},
        // Along a diagonal, each box over five of the first grid's columns:
        // just above the bound.
        {"boxes over five columns", 85, 0.5, 1},
    };
    for (const auto& row : rows) {
        const ScratchScope scratch;
        ScratchVector<DRange3d> boxes;
        for (std::uint32_t i = 0; i < n; ++i) {
            const DPoint3d low{double(i), i * row.rise, 0};
            boxes.push_back({low, {low.x + row.width, low.y + row.height, 0}});
        }
        SegmentGrid grid;
        grid.build(boxes, 0, 1);
        std::uint64_t entries = 0;  // the cells each box registers in
        for (const DRange3d& b : boxes)
            entries += std::uint64_t{grid.column(b.high.x) - grid.column(b.low.x) + 1} *
                       (grid.row(b.high.y) - grid.row(b.low.y) + 1);
        EXPECT_LE(entries, 4 * n + 16) << row.what << ": " << grid.columns() << " x " << grid.rows();
    }
}

}  // namespace
