#include "join/record_join.h"

#include <algorithm>

#include "join/box_tree.h"
#include "join/geometry_probe.h"
#include "join/parallel_loop.h"
#include "join/record_boxes.h"

namespace spatialgeom {
namespace {

constexpr std::size_t kProbesPerChunk = 256;

}  // namespace

bool joinRecords(const void* const* a, std::uint32_t aCount, const void* const* b, std::uint32_t bCount,
                 double tolerance, std::uint32_t threads, std::vector<JoinPair>* pairs) {
    BoxedRecords probes, indexed;
    if (!boxesOf(a, aCount, threads, unionRange, &probes) || !boxesOf(b, bCount, threads, unionRange, &indexed))
        return false;
    pairs->clear();
    if (probes.ids.empty() || indexed.ids.empty()) return true;
    const BoxTree tree(indexed.boxes, indexed.ids);

    // One answer list per chunk of probes, filled in any order, joined in
    // probe order: probes are in position order, so the result is sorted.
    const std::size_t chunks = (probes.ids.size() + kProbesPerChunk - 1) / kProbesPerChunk;
    std::vector<std::vector<JoinPair>> answers(chunks);
    parallelFor(probes.ids.size(), threads, kProbesPerChunk, [&](std::size_t begin, std::size_t end) {
        std::vector<JoinPair>& found = answers[begin / kProbesPerChunk];
        std::vector<std::uint32_t> candidates;
        for (std::size_t k = begin; k < end; ++k) {
            const std::uint32_t i = probes.ids[k];
            candidates.clear();
            tree.query(kernel::widenedBox(probes.boxes[k], tolerance),
                       [&](std::uint32_t j) { candidates.push_back(j); });
            std::sort(candidates.begin(), candidates.end());
            const GeometryProbe probe(static_cast<const Byte*>(a[i]), tolerance, candidates.size());
            for (std::uint32_t j : candidates)
                if (probe.meets(static_cast<const Byte*>(b[j]))) found.emplace_back(i, j);
        }
    });

    std::size_t total = 0;
    for (const auto& chunk : answers) total += chunk.size();
    pairs->reserve(total);
    for (const auto& chunk : answers) pairs->insert(pairs->end(), chunk.begin(), chunk.end());
    return true;
}

}  // namespace spatialgeom
