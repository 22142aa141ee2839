#include "tools/spatial_join.h"

#include <algorithm>
#include <limits>
#include <new>

#include "spatialgeom/join.h"
#include "tools/progress_bar.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {

std::vector<MeetingPair> meetingPairs(const RecordList& first, const RecordList& second, double tolerance,
                                      std::uint32_t threads) {
    constexpr std::size_t kMostRecords = std::numeric_limits<std::uint32_t>::max();
    if (first.size() > kMostRecords || second.size() > kMostRecords) throw inputError("too many geometries to join");
    // With a bar to move, slices of the first list, each joined by a call
    // of its own, which measures and indexes the second list again: up to
    // 50 slices, fewer when the second list is the larger (ten for lists of
    // equal length), so that indexing stays a small part of the work.
    // Without a bar, one call.
    const bool shown = ProgressBar::wanted();
    const double bySize =
        10.0 * static_cast<double>(first.size()) / static_cast<double>(std::max<std::size_t>(second.size(), 1));
    const auto slices = shown ? static_cast<std::size_t>(std::clamp(bySize, 1.0, 50.0)) : 1;
    const std::size_t slice = std::max<std::size_t>((first.size() + slices - 1) / slices, 1);
    ProgressBar progress("joining", first.size(), shown);
    struct Found {
        std::vector<MeetingPair> pairs;
        std::uint32_t offset = 0;
    } found;
    for (std::size_t begin = 0; begin < first.size(); begin += slice) {
        const std::size_t count = std::min(slice, first.size() - begin);
        found.offset = static_cast<std::uint32_t>(begin);
        const std::uint32_t status = spatialWKB_joinRecords(
            first.data() + begin, static_cast<std::uint32_t>(count), second.data(),
            static_cast<std::uint32_t>(second.size()), tolerance, threads,
            [](void* context, std::uint32_t i, std::uint32_t j) {
                auto* found = static_cast<Found*>(context);
                found->pairs.emplace_back(found->offset + i, j);
            },
            &found);
        // The records are the parser's and the tolerance was checked: only
        // memory is left to fail.
        if (status != SPATIAL_SUCCESS) throw std::bad_alloc();
        progress.advance(count);
    }
    return std::move(found.pairs);
}

}  // namespace spatialgeom::tool
