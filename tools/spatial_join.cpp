#include "tools/spatial_join.h"

#include <algorithm>
#include <limits>

#include "tools/box_tree.h"
#include "tools/geometry_queries.h"
#include "tools/parallel.h"
#include "tools/progress_bar.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

constexpr std::size_t kRangesPerChunk = 4096;
constexpr std::size_t kProbesPerChunk = 256;
// A geometry with at least this many candidates is tested as a probe,
// prepared when that pays (GeometryProbe).
constexpr std::size_t kPreparedFromCandidates = 4;

// The boxes of the records that have one, and their positions.
struct BoxedRecords {
    std::vector<DRange3d> boxes;
    std::vector<std::uint32_t> ids;
};

BoxedRecords boxesOf(const RecordList& records, std::uint32_t threads) {
    std::vector<DRange3d> ranges(records.size());
    std::vector<unsigned char> hasRange(records.size(), 0);
    parallelFor(records.size(), threads, kRangesPerChunk, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            hasRange[i] = records[i] != nullptr && geometryRange(records[i], &ranges[i]);
        }
    });
    BoxedRecords boxed;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!hasRange[i]) continue;
        boxed.boxes.push_back(ranges[i]);
        boxed.ids.push_back(static_cast<std::uint32_t>(i));
    }
    return boxed;
}

}  // namespace

std::vector<MeetingPair> meetingPairs(const RecordList& first, const RecordList& second, double tolerance,
                                      std::uint32_t threads) {
    constexpr std::size_t kMostRecords = std::numeric_limits<std::uint32_t>::max();
    if (first.size() > kMostRecords || second.size() > kMostRecords) throw inputError("too many geometries to join");
    const BoxedRecords probes = boxesOf(first, threads);
    const BoxedRecords indexed = boxesOf(second, threads);
    const BoxTree tree(indexed.boxes, indexed.ids);

    // One answer list per chunk of probes, filled in any order, joined in
    // probe order: probes are in index order, so the result is sorted.
    const std::size_t chunks = (probes.ids.size() + kProbesPerChunk - 1) / kProbesPerChunk;
    std::vector<std::vector<MeetingPair>> answers(chunks);
    ProgressBar progress("joining", probes.ids.size(), ProgressBar::wanted());
    parallelFor(probes.ids.size(), threads, kProbesPerChunk, [&](std::size_t begin, std::size_t end) {
        std::vector<MeetingPair>& found = answers[begin / kProbesPerChunk];
        std::vector<std::uint32_t> candidates;
        for (std::size_t k = begin; k < end; ++k) {
            const std::uint32_t i = probes.ids[k];
            candidates.clear();
            tree.query(widened(probes.boxes[k], tolerance), [&](std::uint32_t j) { candidates.push_back(j); });
            std::sort(candidates.begin(), candidates.end());
            if (candidates.size() >= kPreparedFromCandidates) {
                const GeometryProbe probe(first[i], tolerance);
                for (std::uint32_t j : candidates)
                    if (probe.meets(second[j])) found.emplace_back(i, j);
            } else {
                for (std::uint32_t j : candidates)
                    if (geometriesMeet(first[i], second[j], tolerance)) found.emplace_back(i, j);
            }
        }
        progress.advance(end - begin);
    });

    std::vector<MeetingPair> pairs;
    for (const auto& chunk : answers) pairs.insert(pairs.end(), chunk.begin(), chunk.end());
    return pairs;
}

}  // namespace spatialgeom::tool
